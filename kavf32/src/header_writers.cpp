// Writing a new file front to back: index record, header groups and items,
// and the description of the flow wave.
#include <cstring>

#include "api.h"
#include "file_io.h"
#include "handle.h"
#include "item_writer.h"

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI CreateKavfIndexInfo(KAVFHANDLE handle, const char* magic,
                                                 uint32_t groupCount, uint32_t subItemCount,
                                                 const char* typeName) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || magic == nullptr) return 0;
    uint32_t n = 0;
    while (typeName != nullptr && n < kTypeNameCapacity && typeName[n] != '\0') ++n;
    uint32_t d = PaddedNameBytes(n);
    uint8_t record[kIndexFixedBytes + kTypeNameCapacity] = {};
    std::memcpy(record, magic, 4);
    PutBe32(record + 4, 10 + d / 2);
    PutBe16(record + 8, groupCount);
    PutBe16(record + 10, subItemCount);
    PutBe16(record + 12, 4 + d / 2);
    PutBe16(record + 14, KAVF_KIND_NAME);
    PutBe16(record + 16, 2 + d / 2);
    PutBe16(record + 18, d);
    if (n > 0) std::memcpy(record + 20, typeName, n);
    uint32_t size = kIndexFixedBytes + d;
    if (!WriteAt(*h, 0, record, size)) return 0;
    h->writeOffset = size;
    h->currentGroup = 0;
    h->groupOpen = false;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfGroupStart(KAVFHANDLE handle, uint32_t group,
                                                  uint32_t offset) {
    KavfHandle* h = AccessHandle(handle);
    return h == nullptr ? 0 : WriteGroupStart(*h, Target::File, group, offset);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfGroupEnd(KAVFHANDLE handle, uint32_t group) {
    KavfHandle* h = AccessHandle(handle);
    return h == nullptr ? 0 : WriteGroupEnd(*h, Target::File, group);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfTextInfo(KAVFHANDLE handle, uint32_t id, uint32_t count,
                                                const KavfTextElement* elements) {
    KavfHandle* h = AccessHandle(handle);
    ItemPlan plan;
    if (h == nullptr || !PlanTextItem(id, count, elements, plan)) return 0;
    return WriteItem(*h, Target::File, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                uint32_t count, const uint16_t* values) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanWordItem(mode, id, count, values, plan);
    return WriteItem(*h, Target::File, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                uint32_t count, const uint32_t* values) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanLongItem(mode, id, Low16(count), values, plan);
    return WriteItem(*h, Target::File, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfLongInfoEx(KAVFHANDLE handle, uint32_t mode, uint32_t id,
                                                  uint32_t count, const uint32_t* values) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanLongItem(mode, id, count, values, plan);
    return WriteItem(*h, Target::File, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfImageInfo(KAVFHANDLE handle, uint32_t, uint32_t id,
                                                 uint32_t byteCount, const void* data) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr) return 0;
    ItemPlan plan;
    PlanImageItem(id, byteCount, data, plan);
    return WriteItem(*h, Target::File, plan);
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfWaveInfo(KAVFHANDLE handle, uint32_t id,
                                                const KavfWaveInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr) return 0;
    uint16_t g = OpenGroup(*h);
    uint64_t at = h->writeOffset;
    uint64_t dataStart = at + kWaveHeaderBytes;
    if (g == 0 || !FitsOffset(dataStart)) return 0;
    uint8_t header[kWaveHeaderBytes] = {};
    PutBe32(header, kWaveHeaderWords);
    PutBe16(header + 4, info->type);
    PutBe16(header + 6, id);
    PutBe32(header + 12, info->interval);
    PutBe16(header + 16, info->bits);
    PutBe16(header + 18, info->channels);
    PutBe16(header + 20, info->extraA);
    if (!WriteAt(*h, at, header, sizeof header)) return 0;

    h->current = CurrentItem::FlowWave;
    h->recordOffset = static_cast<uint32_t>(at);
    h->recordGroup = g;
    h->recordType = info->type;
    h->recordId = Low16(id);
    h->interval = info->interval;
    h->bits = info->bits;
    h->channels = info->channels;
    h->extra = info->extraA;
    h->secondExtra = 0;
    h->frameCount = 0;
    h->position = 0;
    // A type without a frame layout gets no frame size: frame operations
    // then refuse instead of using a size left from another wave.
    h->frameSize = FrameBytes(info->type, info->bits, info->channels);
    h->wideSamples = WideSamples(info->type, info->bits) ? 1 : 0;
    h->writeOffset = static_cast<uint32_t>(dataStart);
    h->dataPosition = h->writeOffset;
    return h->dataPosition;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfWaveEnd(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::FlowWave) return 0;
    uint64_t dataBytes = Mul(h->frameSize, h->frameCount);
    uint64_t length = kWaveHeaderWords + dataBytes;
    if (!FitsOffset(length)) return 0;
    uint8_t head[12];
    PutBe32(head, static_cast<uint32_t>(length));
    PutBe16(head + 4, h->recordType);
    PutBe16(head + 6, h->recordId);
    PutBe32(head + 8, h->frameCount);
    if (!WriteAt(*h, h->recordOffset, head, sizeof head)) return 0;
    // The end as the mixed-unit length reads it; beyond 32 bits the wave is
    // still closed, so report a non-zero saturated offset.
    uint64_t end = uint64_t{h->recordOffset} + 2 * length;
    return FitsOffset(end) ? static_cast<uint32_t>(end) : 0xFFFFFFFFu;
}
