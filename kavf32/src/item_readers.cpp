// Word, long and image items, the flow wave description, single frames and
// the listing of a group, delivered in native byte order.
#include <algorithm>
#include <cstring>
#include <vector>

#include "api.h"
#include "file_io.h"
#include "flow_frames.h"
#include "item_lookup.h"

namespace kavf {
namespace {

constexpr uint32_t kUnitTableEntries = sizeof(KavfUnitTable{}.id) / sizeof(uint16_t);

// Values of an item's body that lie inside the item.
uint64_t BodyUnits(uint64_t lengthWords, uint64_t unitWords) {
    return lengthWords >= 6 ? (lengthWords - 6) / unitWords : 0;
}

// Reads n values of width bytes from the item body into out, native order.
// Missing bytes read as zero; false when nothing could be read.
bool ReadValues(KavfHandle& h, const FoundItem& item, void* out, uint64_t n, size_t width) {
    uint64_t bytes = n * width;
    if (ReadZeroFilled(h, uint64_t{item.offset} + kItemHeaderBytes, out, bytes) <= 0) return false;
    uint8_t* p = static_cast<uint8_t*>(out);
    for (uint64_t i = 0; i < n; ++i, p += width) {
        if (width == 2) {
            uint16_t v = GetBe16(p);
            std::memcpy(p, &v, 2);
        } else {
            uint32_t v = GetBe32(p);
            std::memcpy(p, &v, 4);
        }
    }
    return true;
}

// Long arrays: never past the item nor past its stored count.
uint64_t LongsToRead(const FoundItem& item, uint64_t lengthWords, uint64_t max) {
    uint64_t inside = std::min<uint64_t>(BodyUnits(lengthWords, 2), item.count);
    return max == 0 ? inside : std::min(max, inside);
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI ReadKavfWordData(KAVFHANDLE handle, uint16_t* values, uint32_t group,
                                              uint32_t id, uint32_t max) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || values == nullptr || !FindItem(*h, group, id, item)) return 0;
    uint64_t inside = BodyUnits(Low16(item.lengthWords), 1);
    uint64_t n = Low16(max) == 0 ? inside : std::min<uint64_t>(Low16(max), inside);
    if (n == 0 || !ReadValues(*h, item, values, n, 2)) return 0;
    return static_cast<uint32_t>(n);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfLongData(KAVFHANDLE handle, uint32_t* values, uint32_t group,
                                              uint32_t id, uint32_t max) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || values == nullptr || !FindItem(*h, group, id, item)) return 0;
    uint64_t n = std::min<uint64_t>(LongsToRead(item, Low16(item.lengthWords), Low16(max)), 0xFFFF);
    if (n == 0 || !ReadValues(*h, item, values, n, 4)) return 0;
    return static_cast<uint32_t>(n);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfLongDataEx(KAVFHANDLE handle, uint32_t* values, uint32_t group,
                                                uint32_t id, uint32_t max) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || values == nullptr || !FindItem(*h, group, id, item)) return 0;
    uint64_t n = LongsToRead(item, item.lengthWords, max);
    if (n == 0 || !ReadValues(*h, item, values, n, 4)) return 0;
    return static_cast<uint32_t>(n);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfImageData(KAVFHANDLE handle, void* data, uint32_t group,
                                               uint32_t id, uint32_t maxBytes) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || data == nullptr || !FindItem(*h, group, id, item)) return 0;
    uint64_t body = ItemBytes(item) >= kItemHeaderBytes ? ItemBytes(item) - kItemHeaderBytes : 0;
    uint64_t n = std::min<uint64_t>(body, maxBytes);
    if (n == 0 || ReadZeroFilled(*h, uint64_t{item.offset} + kItemHeaderBytes, data, n) < 0)
        return 0;
    return static_cast<uint32_t>(n);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                              KavfWaveInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr) return 0;
    std::memset(info, 0, offsetof(KavfWaveInfo, unused));
    h->frameCount = 0;
    FoundItem item;
    if (!FindItem(*h, group, id, item) || !FitsOffset(uint64_t{item.offset} + kWaveHeaderBytes))
        return 0;
    const uint8_t* head = item.header;
    uint16_t type = GetBe16(head + 4);
    uint16_t bits = GetBe16(head + 16);
    uint16_t channels = GetBe16(head + 18);
    h->recordOffset = item.offset;
    h->dataPosition = item.offset + static_cast<uint32_t>(kWaveHeaderBytes);
    h->recordId = Low16(id);
    h->recordGroup = Low16(group);
    h->recordType = type;
    h->frameCount = GetBe32(head + 8);
    h->interval = GetBe32(head + 12);
    h->channels = channels;
    h->position = 0;
    info->type = type;
    info->frames = h->frameCount;
    info->interval = h->interval;
    info->bits = bits;
    info->channels = channels;
    if (IsFlowWaveType(type)) {
        h->current = CurrentItem::FlowWave;
        h->frameSize = FrameBytes(type, bits, channels);
        h->wideSamples = WideSamples(type, bits) ? 1 : 0;
        if (type == KAVF_WAVE_EVENT) info->extraC = GetBe16(head + 20);
    } else {
        // No frame layout: frame operations refuse this item.
        h->current = CurrentItem::None;
        h->frameSize = 0;
        if (type == KAVF_WAVE_EXTRA_0205 || type == KAVF_WAVE_EXTRA_0206) {
            info->extraA = GetBe16(head + 20);
            info->extraB = GetBe16(head + 22);
        }
    }
    return type;
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfWaveData(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                              uint32_t frame, uint16_t* event, int16_t* samples) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || !FindItem(*h, group, id, item)) return 0;
    uint16_t type = GetBe16(item.header + 4);
    uint16_t bits = GetBe16(item.header + 16);
    uint32_t channels = GetBe16(item.header + 18);
    if (channels > 0 && samples == nullptr) return 0;
    bool wide = WideSamples(type, bits);
    uint32_t eventBytes = HasEventWord(type) ? 2 : 0;
    uint32_t frameSize = (wide ? 2 * channels : EvenChannelBytes(channels)) + eventBytes;
    uint64_t offset = uint64_t{item.offset} + kWaveHeaderBytes + Mul(frame, frameSize);
    std::vector<uint8_t> bytes;
    if (!FitsOffset(offset + frameSize) || !TryResize(bytes, frameSize)) return 0;
    if (frameSize > 0 && ReadZeroFilled(*h, offset, bytes.data(), frameSize) <= 0) return 0;
    if (event != nullptr) *event = eventBytes != 0 ? GetBe16(bytes.data()) : 0;
    const uint8_t* s = bytes.data() + eventBytes;
    for (uint32_t c = 0; c < channels; ++c)
        samples[c] = wide ? static_cast<int16_t>(GetBe16(s + 2 * c)) : static_cast<int8_t>(s[c]);
    return channels;
}

KAVF_EXPORT uint32_t KAVFAPI GetKavfUnitInfo(KAVFHANDLE handle, uint32_t group,
                                             KavfUnitTable* table, uint32_t maxCount) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || table == nullptr || !ReadableGroup(*h, group)) return 0;
    uint32_t limit = std::min<uint32_t>(Low16(maxCount), kUnitTableEntries);
    uint64_t offset = uint64_t{h->groupOffsets[Low16(group)]} + kGroupLengthBytes;
    uint32_t i = 0;
    while (i < limit && FitsOffset(offset)) {
        uint8_t head[kItemHeaderBytes];
        if (ReadZeroFilled(*h, offset, head, sizeof head) < 0) break;
        uint32_t length = GetBe32(head);
        if (length == 0) break;
        table->length[i] = length;
        table->kind[i] = GetBe16(head + 4);
        table->id[i] = GetBe16(head + 6);
        if (table->id[i] == KAVF_ID_UNIT_LIST_END) return i + 1;
        table->count[i] = GetBe32(head + 8);
        offset += 2 * uint64_t{length};
        ++i;
    }
    return i;
}
