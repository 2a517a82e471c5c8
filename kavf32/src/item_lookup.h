// Finding an item by (group, id) in a file whose group table is filled.
#ifndef KAVF32_ITEM_LOOKUP_H
#define KAVF32_ITEM_LOOKUP_H

#include <cstdint>

#include "handle.h"

namespace kavf {

struct FoundItem {
    uint32_t offset;
    uint32_t lengthWords;
    uint16_t kind;
    uint16_t id;
    uint32_t count;
    uint8_t header[kWaveHeaderBytes];  // first 32 bytes; zero past the file's end
};

// Group number usable by a reader: 1..group count (low 16 bits count).
bool ReadableGroup(const KavfHandle& h, uint32_t group);
// Runs the item search of the group; false when not found.
bool FindItem(KavfHandle& h, uint32_t group, uint32_t id, FoundItem& found);
// Item bytes available from the item start to its declared end.
inline uint64_t ItemBytes(const FoundItem& item) { return 2 * uint64_t{item.lengthWords}; }

}  // namespace kavf

#endif
