#include "item_lookup.h"

#include <cstring>

#include "file_io.h"

namespace kavf {

bool ReadableGroup(const KavfHandle& h, uint32_t group) {
    uint16_t g = Low16(group);
    return g != 0 && g <= h.groupCount && g <= kMaxGroups;
}

bool FindItem(KavfHandle& h, uint32_t group, uint32_t id, FoundItem& found) {
    if (!ReadableGroup(h, group)) return false;
    uint16_t wanted = Low16(id);
    uint64_t groupOffset = h.groupOffsets[Low16(group)];
    uint8_t lengthField[4];
    if (ReadZeroFilled(h, groupOffset, lengthField, 4) < 0) return false;
    uint64_t groupWords = GetBe32(lengthField);
    // The first item is compared whatever the group length says, so a flow
    // wave behind a group length of 2 or 4 stays reachable.
    uint64_t offset = groupOffset + kGroupLengthBytes;
    uint64_t total = 2;
    for (uint32_t examined = 0; examined < kMaxItemsPerSearch; ++examined) {
        if (!FitsOffset(offset)) return false;
        std::memset(&found, 0, sizeof found);
        if (ReadZeroFilled(h, offset, found.header, sizeof found.header) < 0) return false;
        uint32_t length = GetBe32(found.header);
        if (length == 0) return false;
        if (GetBe16(found.header + 6) == wanted) {
            found.offset = static_cast<uint32_t>(offset);
            found.lengthWords = length;
            found.kind = GetBe16(found.header + 4);
            found.id = wanted;
            found.count = GetBe32(found.header + 8);
            return true;
        }
        total += length;
        if (total > groupWords) return false;
        offset += 2 * uint64_t{length};
    }
    return false;
}

}  // namespace kavf
