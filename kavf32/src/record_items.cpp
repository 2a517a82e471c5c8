#include "record_items.h"

#include <cstring>

#include "file_io.h"
#include "item_writer.h"

namespace kavf {

bool StartRecordItem(KavfHandle& h, const uint8_t (&header)[kWaveHeaderBytes], CurrentItem kind,
                     uint32_t id) {
    uint16_t g = OpenGroup(h);
    uint64_t at = h.writeOffset;
    if (g == 0 || !FitsOffset(at + kWaveHeaderBytes) ||
        !FitsOffset(uint64_t{h.groupLengths[g]} + kWaveHeaderWords))
        return false;
    if (!WriteAt(h, at, header, kWaveHeaderBytes)) return false;
    h.current = kind;
    h.recordOffset = static_cast<uint32_t>(at);
    h.recordGroup = g;
    h.recordType = GetBe16(header + 4);
    h.recordId = Low16(id);
    h.position = kWaveHeaderWords;
    h.writeOffset = static_cast<uint32_t>(at + kWaveHeaderBytes);
    h.dataPosition = h.writeOffset;
    h.groupLengths[g] += kWaveHeaderWords;
    return true;
}

bool CanAppend(const KavfHandle& h, CurrentItem kind) {
    return h.current == kind && OpenGroup(h) == h.recordGroup && h.writeOffset == h.dataPosition;
}

bool OpenRecord(KavfHandle& h, ByteSink& sink, uint64_t bytes) {
    uint64_t words = bytes / 2;
    if (!FitsOffset(uint64_t{h.position} + words) ||
        !FitsOffset(uint64_t{h.groupLengths[h.recordGroup]} + words))
        return false;
    return SinkOpen(sink, h, Target::File, h.dataPosition, bytes);
}

void CommitRecord(KavfHandle& h, uint64_t bytes) {
    uint32_t words = static_cast<uint32_t>(bytes / 2);
    h.writeOffset += static_cast<uint32_t>(bytes);
    h.dataPosition = h.writeOffset;
    h.position += words;
    h.groupLengths[h.recordGroup] += words;
}

void MakeCurrentForReading(KavfHandle& h, const FoundItem& item, uint32_t group, CurrentItem kind) {
    h.current = kind;
    h.recordOffset = item.offset;
    h.recordId = item.id;
    h.recordGroup = Low16(group);
    h.recordType = item.kind;
    h.dataPosition = item.offset + static_cast<uint32_t>(kWaveHeaderBytes);
    h.position = h.dataPosition;
}

void Be16ToNative(uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint16_t v = GetBe16(bytes + 2 * i);
        std::memcpy(bytes + 2 * i, &v, 2);
    }
}

void Be32ToNative(uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t v = GetBe32(bytes + 4 * i);
        std::memcpy(bytes + 4 * i, &v, 4);
    }
}

}  // namespace kavf
