// In-place changes to items of an existing file. Every write stays inside
// the item it updates (the wave description also rewrites its group's
// length, which directly precedes it); no item changes its length.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "api.h"
#include "byte_sink.h"
#include "file_io.h"
#include "item_lookup.h"

namespace kavf {
namespace {

uint64_t ItemEnd(const FoundItem& item) { return uint64_t{item.offset} + ItemBytes(item); }

// The range first .. first + count - 1 of an array item of width-byte
// values, inside both its stored count and its body.
bool RangeInside(const FoundItem& item, uint32_t first, uint32_t count, size_t width) {
    uint64_t bodyValues =
        ItemBytes(item) >= kItemHeaderBytes ? (ItemBytes(item) - kItemHeaderBytes) / width : 0;
    uint64_t end = uint64_t{first} + count;
    return count > 0 && end <= item.count && end <= bodyValues;
}

uint32_t UpdateArray(KAVFHANDLE handle, uint32_t mode, uint32_t group, uint32_t id, uint32_t first,
                     uint32_t count, const void* values, uint16_t kind, size_t width) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || values == nullptr || mode > KAVF_MODE_NATIVE) return 0;
    FoundItem item;
    uint16_t from = Low16(first), n = Low16(count);
    if (!FindItem(*h, group, id, item) || item.kind != kind || !RangeInside(item, from, n, width))
        return 0;
    ByteSink sink;
    uint64_t offset = uint64_t{item.offset} + kItemHeaderBytes + uint64_t{from} * width;
    if (!SinkOpen(sink, *h, Target::File, offset, uint64_t{n} * width)) return 0;
    SinkPutValues(sink, values, n, width, mode == KAVF_MODE_NATIVE);
    return SinkClose(sink) ? n : 0;
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfIndex(KAVFHANDLE handle, uint32_t high, uint32_t low) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || !FindItem(*h, 1, KAVF_ID_REVISIONS, item)) return 0;
    // Only a whole revision history is rewritten: a shorter item with this
    // id would let the 276-byte write run into the next item.
    if (item.kind != KAVF_KIND_LONGS || item.lengthWords < kRevisionItemWords) return 0;
    uint8_t history[kRevisionItemBytes];
    if (ReadAt(*h, item.offset, history, sizeof history) != static_cast<int64_t>(sizeof history))
        return 0;
    uint8_t* longs = history + kItemHeaderBytes;
    uint32_t entries = GetBe32(longs);
    if (entries >= kRevisionMaxEntries) return 0;
    PutBe32(longs + 4 * (1 + 2 * entries), (Low16(high) << 16) | Low16(low));
    PutBe32(longs + 4 * (2 + 2 * entries), static_cast<uint32_t>(std::time(nullptr)));
    PutBe32(longs, entries + 1);
    if (!WriteAt(*h, item.offset, history, sizeof history)) return 0;
    return entries + 1;
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfTextInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                                uint32_t element, uint32_t length,
                                                const char* text) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    uint16_t wanted = Low16(element), textLength = Low16(length);
    if (h == nullptr || (text == nullptr && textLength > 0)) return 0;
    if (!FindItem(*h, group, id, item) || item.kind != KAVF_KIND_TEXT) return 0;
    if (wanted >= Low16(item.count)) return 0;
    uint64_t at = uint64_t{item.offset} + kItemHeaderBytes;
    uint64_t end = ItemEnd(item);
    uint16_t words = 0;
    for (uint32_t i = 0;; ++i) {
        uint8_t head[kTextElementHeaderBytes];
        if (at + sizeof head > end || ReadAt(*h, at, head, sizeof head) != sizeof head) return 0;
        words = GetBe16(head);
        if (words < KAVF_MIN_TEXT_WORDS || at + 2 * uint64_t{words} > end) return 0;
        if (i == wanted) break;
        at += 2 * uint64_t{words};
    }
    // The room after the new text is cleared, so no old text survives in it.
    size_t room = 2 * size_t{words} - kTextElementHeaderBytes;
    size_t stored = std::min<size_t>(textLength, room);
    ByteSink sink;
    if (!SinkOpen(sink, *h, Target::File, at, 2 * uint64_t{words})) return 0;
    SinkPutBe16(sink, words);
    SinkPutBe16(sink, static_cast<uint32_t>(stored));
    if (stored > 0) SinkPut(sink, text, stored);
    return SinkClose(sink) ? 1 : 0;
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfWordInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group,
                                                uint32_t id, uint32_t first, uint32_t count,
                                                const uint16_t* values) {
    return UpdateArray(handle, mode, group, id, first, count, values, KAVF_KIND_WORDS, 2);
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfLongInfo(KAVFHANDLE handle, uint32_t mode, uint32_t group,
                                                uint32_t id, uint32_t first, uint32_t count,
                                                const uint32_t* values) {
    return UpdateArray(handle, mode, group, id, first, count, values, KAVF_KIND_LONGS, 4);
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfImageInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                                 uint32_t offset, uint32_t length,
                                                 const void* data) {
    KavfHandle* h = AccessHandle(handle);
    FoundItem item;
    if (h == nullptr || data == nullptr || !FindItem(*h, group, id, item)) return 0;
    // The caller supplies length + 1 bytes; the range ends at twice the
    // stored byte count and never past the block's body.
    uint64_t body = ItemBytes(item) >= kItemHeaderBytes ? ItemBytes(item) - kItemHeaderBytes : 0;
    uint64_t end = std::min<uint64_t>(2 * uint64_t{item.count}, uint64_t{offset} + length) + 1;
    end = std::min(end, body);
    if (end <= offset) return 0;
    uint64_t bytes = end - offset;
    if (!WriteAt(*h, uint64_t{item.offset} + kItemHeaderBytes + offset, data, bytes)) return 0;
    return static_cast<uint32_t>(bytes);
}

KAVF_EXPORT uint32_t KAVFAPI UpdateKavfWaveInfo(KAVFHANDLE handle, uint32_t group, uint32_t id,
                                                const KavfWaveInfo* info) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || info == nullptr || !IsFlowWaveType(info->type)) return 0;
    FoundItem item;
    if (!FindItem(*h, group, id, item)) return 0;
    // The group length is rewritten too, so the wave must open its group.
    if (item.offset != uint64_t{h->groupOffsets[Low16(group)]} + kGroupLengthBytes) return 0;
    uint64_t dataBytes = Mul(FrameBytes(info->type, info->bits, info->channels), info->frames);
    if (!FitsOffset(dataBytes + kWaveHeaderWords + 4)) return 0;
    uint8_t bytes[36] = {};
    PutBe32(bytes, static_cast<uint32_t>(dataBytes + kWaveHeaderWords + 4));
    PutBe32(bytes + 4, static_cast<uint32_t>(dataBytes + kWaveHeaderWords));
    PutBe16(bytes + 8, info->type);
    PutBe16(bytes + 10, id);
    PutBe32(bytes + 12, info->frames);
    PutBe32(bytes + 16, info->interval);
    PutBe16(bytes + 20, info->bits);
    PutBe16(bytes + 22, info->channels);
    PutBe16(bytes + 24, info->extraA);
    if (!WriteAt(*h, item.offset - kGroupLengthBytes, bytes, sizeof bytes)) return 0;
    h->recordType = info->type;
    h->recordId = Low16(id);
    return 1;
}
