// Spectrum items: lines of a 224-byte header and R records of P values.
#include <algorithm>
#include <cstring>

#include "api.h"
#include "file_io.h"
#include "record_items.h"

namespace kavf {
namespace {

constexpr size_t kRecordHeaderValues = 16;

bool IsReadableSpectrum(const KavfHandle& h) {
    return h.current == CurrentItem::Spectrum && h.spectrum.type == KAVF_SPECTRUM;
}

uint8_t* RecordHeaders(KavfSpectrumLine* line) {
    return reinterpret_cast<uint8_t*>(line) + sizeof(KavfSpectrumLine);
}
const uint8_t* RecordHeaders(const KavfSpectrumLine* line) {
    return reinterpret_cast<const uint8_t*>(line) + sizeof(KavfSpectrumLine);
}

uint64_t LineStart(const KavfHandle& h, uint32_t lineIndex) {
    return uint64_t{h.recordOffset} + kWaveHeaderBytes + Mul(lineIndex, h.lineSize);
}

void LineFromFile(const uint8_t* in, KavfSpectrumLine& line) {
    for (size_t i = 0; i < 8; ++i) line.words[i] = GetBe16(in + 2 * i);
    line.value = GetBe32(in + 16);
    std::memset(line.ignored, 0, sizeof line.ignored);
    for (size_t i = 0; i < 32; ++i) line.words32[i] = GetBe16(in + 32 + 2 * i);
    for (size_t i = 0; i < 32; ++i) line.longs[i] = GetBe32(in + 96 + 4 * i);
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI CreateKavfSpectrumInfo(KAVFHANDLE handle, uint32_t id,
                                                    const KavfSpectrumInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr) return 0;
    uint8_t header[kWaveHeaderBytes] = {};
    PutBe32(header, kWaveHeaderWords);
    PutBe16(header + 4, info->type);
    PutBe16(header + 6, id);
    PutBe32(header + 8, info->points);
    PutBe32(header + 12, info->value12);
    PutBe16(header + 16, info->value16);
    PutBe16(header + 18, info->records);
    PutBe32(header + 20, info->value20);
    PutBe16(header + 28, info->raw);
    PutBe16(header + 30, info->value30);
    if (!StartRecordItem(*h, header, CurrentItem::Spectrum, id)) return 0;
    h->spectrum = SpectrumDescription{info->type,
                                      info->points,
                                      info->value12,
                                      info->value16,
                                      info->records,
                                      info->value20,
                                      0,
                                      info->raw,
                                      info->value30,
                                      0};
    uint64_t lineSize = SpectrumLineBytes(info->points, info->records);
    h->lineSize = FitsOffset(lineSize) ? static_cast<uint32_t>(lineSize) : 0;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfSpectrumLine(KAVFHANDLE handle,
                                                    const KavfSpectrumLine* line) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || line == nullptr || !CanAppend(*h, CurrentItem::Spectrum)) return 0;
    ByteSink sink;
    if (!OpenRecord(*h, sink, kSpectrumLineHeaderBytes)) return 0;
    for (uint16_t v : line->words) SinkPutBe16(sink, v);
    SinkPutBe32(sink, line->value);
    SinkPutZeros(sink, sizeof line->ignored);
    for (uint16_t v : line->words32) SinkPutBe16(sink, v);
    for (uint32_t v : line->longs) SinkPutBe32(sink, v);
    if (!SinkClose(sink)) return 0;
    CommitRecord(*h, kSpectrumLineHeaderBytes);
    ++h->spectrum.lines;
    h->spectrum.recordCounter = 0;
    return h->spectrum.lines;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfSpectrumData(KAVFHANDLE handle, const KavfSpectrumLine* line,
                                                    const uint32_t* values, uint32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || line == nullptr || !CanAppend(*h, CurrentItem::Spectrum)) return 0;
    SpectrumDescription& s = h->spectrum;
    // A record belongs to a line and takes that line's next record header:
    // none before the first line, none beyond R per line.
    if (s.lines == 0 || s.recordCounter >= s.records) return 0;
    uint32_t n = std::min(count, s.points);
    if (values == nullptr && n > 0) return 0;
    uint64_t bytes = SpectrumRecordBytes(s.points);
    ByteSink sink;
    if (!OpenRecord(*h, sink, bytes)) return 0;
    const uint8_t* headers =
        RecordHeaders(line) + size_t{s.recordCounter} * kSpectrumRecordHeaderBytes;
    for (size_t i = 0; i < kRecordHeaderValues; ++i) {
        uint16_t v;
        std::memcpy(&v, headers + 2 * i, 2);
        SinkPutBe16(sink, v);
    }
    if (s.raw != 0)
        SinkPut(sink, values, uint64_t{n} * 4);
    else
        for (uint32_t i = 0; i < n; ++i) SinkPutBe32(sink, values[i]);
    if (!SinkClose(sink)) return 0;
    CommitRecord(*h, bytes);
    ++s.recordCounter;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfSpectrumEnd(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::Spectrum) return 0;
    uint64_t end = uint64_t{h->recordOffset} + 2 * uint64_t{h->position};
    uint8_t field[4];
    PutBe32(field, h->position);
    if (!FitsOffset(end) || !WriteAt(*h, h->recordOffset, field, 4)) return 0;
    PutBe32(field, h->spectrum.lines);
    if (!WriteAt(*h, uint64_t{h->recordOffset} + 24, field, 4)) return 0;
    return static_cast<uint32_t>(end);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfSpectrumInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                                  KavfSpectrumInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || info == nullptr || !FindItem(*h, group, id, item)) return 0;
    const uint8_t* head = item.header;
    SpectrumDescription s{GetBe16(head + 4),  GetBe32(head + 8),
                          GetBe32(head + 12), GetBe16(head + 16),
                          GetBe16(head + 18), GetBe32(head + 20),
                          GetBe32(head + 24), GetBe16(head + 28),
                          GetBe16(head + 30), 0};
    uint64_t lineSize = SpectrumLineBytes(s.points, s.records);
    if (!FitsOffset(lineSize) || !FitsOffset(uint64_t{item.offset} + kWaveHeaderBytes)) return 0;
    MakeCurrentForReading(*h, item, group, CurrentItem::Spectrum);
    h->spectrum = s;
    h->lineSize = static_cast<uint32_t>(lineSize);
    *info = KavfSpectrumInfo{s.type,    0,         s.points, s.value12, s.value16,
                             s.records, s.value20, s.lines,  s.raw,     s.value30};
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfSpectrumLine(KAVFHANDLE handle, uint32_t lineIndex,
                                                  KavfSpectrumLine* line) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || line == nullptr || !IsReadableSpectrum(*h)) return 0;
    uint64_t start = LineStart(*h, lineIndex);
    if (!FitsOffset(start + h->lineSize)) return 0;
    uint8_t head[kSpectrumLineHeaderBytes];
    if (ReadZeroFilled(*h, start, head, sizeof head) <= 0) return 0;
    LineFromFile(head, *line);
    uint64_t firstRecord = start + kSpectrumLineHeaderBytes;
    h->position = static_cast<uint32_t>(firstRecord);
    uint64_t recordBytes = SpectrumRecordBytes(h->spectrum.points);
    uint8_t* headers = RecordHeaders(line);
    bool anyRead = false;
    for (uint32_t r = 0; r < h->spectrum.records; ++r) {
        uint8_t* slot = headers + size_t{r} * kSpectrumRecordHeaderBytes;
        int64_t got =
            ReadZeroFilled(*h, firstRecord + r * recordBytes, slot, kSpectrumRecordHeaderBytes);
        if (got == static_cast<int64_t>(kSpectrumRecordHeaderBytes)) anyRead = true;
        Be16ToNative(slot, kRecordHeaderValues);
    }
    return anyRead ? 1 : 0;
}

KAVF_EXPORT int32_t KAVFAPI ReadKavfSpectrumData(KAVFHANDLE handle, uint32_t lineIndex,
                                                 uint32_t record, uint32_t* values) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || values == nullptr || !IsReadableSpectrum(*h)) return 0;
    const SpectrumDescription& s = h->spectrum;
    if (lineIndex >= s.lines || record >= s.records) return 0;
    // The record is addressed by the line asked for, not by the line read last.
    uint64_t recordBytes = SpectrumRecordBytes(s.points);
    uint64_t offset = LineStart(*h, lineIndex) + kSpectrumLineHeaderBytes +
                      Mul(record, recordBytes) + kSpectrumRecordHeaderBytes;
    uint64_t bytes = Mul(s.points, 4);
    if (!FitsOffset(offset + bytes)) return 0;
    int64_t got = ReadZeroFilled(*h, offset, values, bytes);
    if (got <= 0) return static_cast<int32_t>(got);
    if (s.raw == 0) Be32ToNative(reinterpret_cast<uint8_t*>(values), s.points);
    return static_cast<int32_t>(s.points);
}
