// Sweep wave items. Sweeps lie back to back after the header; the position
// is the item's length so far while writing, so each sweep goes after the
// previous one and the closed item's length covers all of them. Reading
// leaves the record's length in the position, the step to the next sweep.
#include <cstring>

#include "api.h"
#include "file_io.h"
#include "record_items.h"

namespace kavf {
namespace {

constexpr uint32_t kSweepHeaderValues = 16;
constexpr uint16_t kMaxSweeps = 0xFFFF;  // the header counts sweeps in 16 bits

// Bytes per sample for the width code bits / 16, 0 for an unknown width.
uint32_t SampleBytes(uint16_t bits) {
    switch (bits / 16) {
        case 1: return 2;
        case 2: return 4;
        default: return 0;
    }
}

// A sweep record: header, samples, and 32 zero bytes after 32-bit samples.
uint64_t SweepRecordBytes(uint32_t points, uint32_t sampleBytes) {
    return kSweepHeaderBytes + Mul(points, sampleBytes) + (sampleBytes == 4 ? 32 : 0);
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI CreateKavfSweepWaveInfo(KAVFHANDLE handle, uint32_t id,
                                                     const KavfSweepInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr) return 0;
    uint8_t header[kWaveHeaderBytes] = {};
    PutBe32(header, kWaveHeaderWords);
    PutBe16(header + 4, info->type);
    PutBe16(header + 6, id);
    PutBe32(header + 8, info->points);
    PutBe32(header + 12, info->value12);
    PutBe16(header + 16, info->bits);
    PutBe16(header + 18, info->value18);
    PutBe16(header + 20, info->value20);
    PutBe16(header + 22, info->value22);
    PutBe16(header + 24, info->raw);
    if (!StartRecordItem(*h, header, CurrentItem::Sweep, id)) return 0;
    h->frameCount = info->points;
    h->interval = info->value12;
    h->bits = info->bits;
    h->sweepRaw = info->raw;
    h->extra = 0;
    h->secondExtra = 0;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfSweepWave(KAVFHANDLE handle, const uint16_t* header,
                                                 const void* samples) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || header == nullptr || !CanAppend(*h, CurrentItem::Sweep)) return 0;
    uint32_t width = SampleBytes(h->bits);
    uint32_t points = h->frameCount;
    if (width == 0 || (samples == nullptr && points > 0) || h->extra == kMaxSweeps) return 0;
    uint64_t bytes = SweepRecordBytes(points, width);
    ByteSink sink;
    if (!OpenRecord(*h, sink, bytes)) return 0;
    for (uint32_t i = 0; i < kSweepHeaderValues; ++i) SinkPutBe16(sink, header[i]);
    SinkPutValues(sink, samples, points, width, h->sweepRaw == 0);
    if (!SinkClose(sink)) return 0;
    CommitRecord(*h, bytes);
    ++h->extra;
    ++h->secondExtra;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfSweepWaveEnd(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::Sweep) return 0;
    uint64_t end = uint64_t{h->recordOffset} + 2 * uint64_t{h->position};
    uint8_t header[kWaveHeaderBytes];
    if (!FitsOffset(end) || ReadAt(*h, h->recordOffset, header, sizeof header) != sizeof header)
        return 0;
    PutBe32(header, h->position);
    PutBe32(header + 8, h->frameCount);
    PutBe16(header + 20, h->extra);
    PutBe16(header + 22, h->secondExtra);
    if (!WriteAt(*h, h->recordOffset, header, sizeof header)) return 0;
    return static_cast<uint32_t>(end);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfSweepWave(KAVFHANDLE handle, uint16_t* header, void* samples) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || header == nullptr) return 0;
    uint32_t width = SampleBytes(h->bits);
    uint32_t points = h->frameCount;
    if (width == 0 || (samples == nullptr && points > 0)) return 0;
    uint64_t sampleBytes = Mul(points, width);
    uint64_t offset = h->dataPosition;
    if (!FitsOffset(offset + kSweepHeaderBytes + sampleBytes)) return 0;
    uint8_t head[kSweepHeaderBytes];
    int64_t gotHead = ReadZeroFilled(*h, offset, head, sizeof head);
    if (gotHead < static_cast<int64_t>(sizeof head)) return 0;
    int64_t gotSamples = ReadZeroFilled(*h, offset + kSweepHeaderBytes, samples, sampleBytes);
    if (gotSamples <= 0) return 0;  // a record is more than its header
    Be16ToNative(head, kSweepHeaderValues);
    std::memcpy(header, head, sizeof head);
    if (h->sweepRaw == 0) {
        uint8_t* s = static_cast<uint8_t*>(samples);
        if (width == 2)
            Be16ToNative(s, points);
        else
            Be32ToNative(s, points);
    }
    h->position = static_cast<uint32_t>(SweepRecordBytes(points, width) / 2);
    return static_cast<uint32_t>(sizeof head + static_cast<uint64_t>(gotSamples));
}
