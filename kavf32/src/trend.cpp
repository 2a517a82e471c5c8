// Trend items. A line is a 64-byte header, P channel records of Q words
// and B data blocks of P 20-byte records. A channel record holds the first
// 2Q bytes of its 192 bytes of content: zero-padded when Q is above 96,
// cut when it is below (the fields cut off read back as zero). Readers step
// from line to line by exactly that size, so what the writers lay out is
// what the readers find.
#include <algorithm>
#include <cstring>

#include "api.h"
#include "file_io.h"
#include "record_items.h"

namespace kavf {
namespace {

bool IsReadableTrend(const KavfHandle& h) {
    return h.current == CurrentItem::Trend && h.trend.type == KAVF_TREND;
}

uint64_t LineStart(const KavfHandle& h, uint32_t lineIndex) {
    return uint64_t{h.recordOffset} + kWaveHeaderBytes + Mul(lineIndex, h.lineSize);
}

void PutRecord(ByteSink& sink, const KavfTrendRecord& r, uint16_t raw) {
    if (raw == 1) {
        SinkPut(sink, &r, sizeof r);
    } else if (raw == 0) {
        SinkPutBe16(sink, r.a);
        SinkPutBe16(sink, r.b);
        SinkPutBe32(sink, r.c);
        SinkPutBe32(sink, r.d);
        SinkPutBe32(sink, r.e);
        SinkPutBe16(sink, r.f);
        SinkPutBe16(sink, r.g);
    } else {
        SinkPutZeros(sink, kTrendRecordBytes);
    }
}

void RecordToNative(uint8_t* p) {
    Be16ToNative(p, 2);
    Be32ToNative(p + 4, 3);
    Be16ToNative(p + 16, 2);
}

void ChannelToNative(uint8_t* p) {
    Be16ToNative(p, 32);
    Be32ToNative(p + 64, 32);
}

// Bytes of a channel record's content that its Q words hold.
uint64_t ChannelContentKept(uint32_t q) {
    return std::min<uint64_t>(2 * uint64_t{q}, kTrendChannelContentBytes);
}

void PutChannel(ByteSink& sink, const KavfTrendChannel& channel, uint32_t q) {
    uint8_t content[kTrendChannelContentBytes];
    uint8_t* at = content;
    for (uint16_t v : channel.words) {
        PutBe16(at, v);
        at += 2;
    }
    for (uint32_t v : channel.longs) {
        PutBe32(at, v);
        at += 4;
    }
    uint64_t kept = ChannelContentKept(q);
    SinkPut(sink, content, kept);
    SinkPutZeros(sink, 2 * uint64_t{q} - kept);
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI CreateKavfTrendInfo(KAVFHANDLE handle, uint32_t id,
                                                 const KavfTrendInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr) return 0;
    uint64_t lineSize = TrendLineBytes(info->points, info->q, info->blocks);
    if (!FitsOffset(lineSize)) return 0;
    uint8_t header[kWaveHeaderBytes] = {};
    PutBe32(header, kWaveHeaderWords);
    PutBe16(header + 4, info->type);
    PutBe16(header + 6, id);
    PutBe32(header + 8, info->points);
    PutBe32(header + 12, info->q);
    PutBe16(header + 16, info->f);
    PutBe16(header + 18, info->blocks);
    PutBe16(header + 24, info->raw);
    if (!StartRecordItem(*h, header, CurrentItem::Trend, id)) return 0;
    h->trend = TrendDescription{info->type,   info->f, info->raw, info->blocks,
                                info->points, info->q, 0,         false};
    h->lineSize = static_cast<uint32_t>(lineSize);
    h->channels = 0;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfTrendLine(KAVFHANDLE handle,
                                                 const KavfTrendLineHeader* header,
                                                 const KavfTrendChannel* channels) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || header == nullptr || !CanAppend(*h, CurrentItem::Trend)) return 0;
    const TrendDescription& t = h->trend;
    if (channels == nullptr && t.points > 0) return 0;
    uint64_t bytes = TrendChannelPartBytes(t.points, t.q);
    ByteSink sink;
    if (!OpenRecord(*h, sink, bytes)) return 0;
    for (uint16_t v : header->words) SinkPutBe16(sink, v);
    for (uint32_t v : header->longs) SinkPutBe32(sink, v);
    for (uint32_t p = 0; p < t.points; ++p) PutChannel(sink, channels[p], t.q);
    if (!SinkClose(sink)) return 0;
    CommitRecord(*h, bytes);
    ++h->trend.lines;
    h->channels = 0;
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI CreateKavfTrendData(KAVFHANDLE handle, const KavfTrendRecord* records,
                                                 uint32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || !CanAppend(*h, CurrentItem::Trend)) return 0;
    const TrendDescription& t = h->trend;
    // Blocks belong to a line, at most B of them, or the readers' line
    // size would no longer match.
    if (t.lines == 0 || h->channels >= t.blocks) return 0;
    uint32_t n = std::min(count, t.points);
    if (records == nullptr && n > 0) return 0;
    uint64_t bytes = TrendBlockBytes(t.points);
    ByteSink sink;
    if (!OpenRecord(*h, sink, bytes)) return 0;
    for (uint32_t i = 0; i < n; ++i) PutRecord(sink, records[i], t.raw);
    if (!SinkClose(sink)) return 0;
    CommitRecord(*h, bytes);
    ++h->channels;
    return h->writeOffset;
}

KAVF_EXPORT uint32_t KAVFAPI SetKavfTrendEnd(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || !CanAppend(*h, CurrentItem::Trend)) return 0;
    uint64_t end = uint64_t{h->recordOffset} + 2 * uint64_t{h->position};
    uint64_t next = uint64_t{h->writeOffset} + 4;
    uint8_t field[4] = {0, 0, 0, 0};
    if (!FitsOffset(next) || !WriteAt(*h, h->writeOffset, field, 4)) return 0;
    PutBe32(field, h->position);
    if (!WriteAt(*h, h->recordOffset, field, 4)) return 0;
    PutBe32(field, h->trend.points);
    if (!WriteAt(*h, uint64_t{h->recordOffset} + 8, field, 4)) return 0;
    // The zero after the item is part of its group, so the group length
    // keeps covering every byte up to the group's own terminator.
    h->writeOffset = static_cast<uint32_t>(next);
    h->groupLengths[h->recordGroup] += 2;
    return static_cast<uint32_t>(end);
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfTrendInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                               KavfTrendInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || info == nullptr || !FindItem(*h, group, id, item)) return 0;
    const uint8_t* head = item.header;
    TrendDescription t{GetBe16(head + 4),
                       GetBe16(head + 16),
                       GetBe16(head + 24),
                       GetBe16(head + 18),
                       GetBe32(head + 8),
                       GetBe32(head + 12),
                       0,
                       false};
    uint64_t lineSize = TrendLineBytes(t.points, t.q, t.blocks);
    if (!FitsOffset(lineSize) || !FitsOffset(uint64_t{item.offset} + kWaveHeaderBytes)) return 0;
    MakeCurrentForReading(*h, item, group, CurrentItem::Trend);
    h->trend = t;
    h->lineSize = static_cast<uint32_t>(lineSize);
    *info = KavfTrendInfo{t.type, t.f, t.raw, t.blocks, t.points, t.q};
    return 1;
}

KAVF_EXPORT uint32_t KAVFAPI ReadKavfTrendLine(KAVFHANDLE handle, uint32_t lineIndex,
                                               KavfTrendLineHeader* header,
                                               KavfTrendChannel* channels) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || header == nullptr || !IsReadableTrend(*h)) return 0;
    const TrendDescription& t = h->trend;
    if (channels == nullptr && t.points > 0) return 0;
    uint64_t start = LineStart(*h, lineIndex);
    uint64_t channelPart = TrendChannelPartBytes(t.points, t.q);
    if (!FitsOffset(start + h->lineSize)) return 0;
    uint8_t head[kTrendLineHeaderBytes];
    if (ReadZeroFilled(*h, start, head, sizeof head) <= 0) return 0;
    Be16ToNative(head, 8);
    Be32ToNative(head + 16, 12);
    std::memcpy(header, head, sizeof head);
    uint64_t at = start + kTrendLineHeaderBytes;
    uint64_t kept = ChannelContentKept(t.q);
    uint32_t p = 0;
    for (; p < t.points; ++p, at += 2 * uint64_t{t.q}) {
        uint8_t* record = reinterpret_cast<uint8_t*>(&channels[p]);
        std::memset(record, 0, kTrendChannelContentBytes);
        if (kept > 0 && ReadZeroFilled(*h, at, record, kept) <= 0) break;
        ChannelToNative(record);
    }
    // Past the end of the file the remaining channels read as zero.
    if (p < t.points) std::memset(&channels[p], 0, size_t{t.points - p} * sizeof(KavfTrendChannel));
    h->position = static_cast<uint32_t>(start + channelPart);
    h->trend.lineRead = true;
    return 1;
}

KAVF_EXPORT int32_t KAVFAPI ReadKavfTrendData(KAVFHANDLE handle, uint32_t block,
                                              KavfTrendRecord* records) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || records == nullptr || !IsReadableTrend(*h)) return 0;
    const TrendDescription& t = h->trend;
    if (!t.lineRead || block >= t.blocks) return 0;
    uint64_t bytes = TrendBlockBytes(t.points);
    uint64_t offset = uint64_t{h->position} + Mul(block, bytes);
    if (!FitsOffset(offset + bytes)) return 0;
    int64_t got = ReadZeroFilled(*h, offset, records, bytes);
    if (got <= 0) return static_cast<int32_t>(got);
    if (t.raw == 0)
        for (uint32_t i = 0; i < t.points; ++i)
            RecordToNative(reinterpret_cast<uint8_t*>(&records[i]));
    return static_cast<int32_t>(t.points);
}
