// Group and item writers shared by the file writers and their memory-file
// twins: the same bytes at the same offsets, only the destination differs.
#ifndef KAVF32_ITEM_WRITER_H
#define KAVF32_ITEM_WRITER_H

#include <cstdint>

#include "byte_sink.h"
#include "handle.h"

namespace kavf {

enum class ItemBody { Text, Words, Longs, Image };

struct ItemPlan {
    uint16_t kind;
    uint16_t id;
    uint32_t countField;
    uint64_t words;  // item length
    ItemBody body;
    const KavfTextElement* elements;
    uint32_t elementCount;
    const void* values;   // words, longs or image bytes; null = zero body
    uint64_t valueCount;  // values, or image bytes
    uint32_t mode;
};

// Each returns false for arguments the writers refuse.
bool PlanTextItem(uint32_t id, uint32_t count, const KavfTextElement* elements, ItemPlan& plan);
void PlanWordItem(uint32_t mode, uint32_t id, uint32_t count, const uint16_t* values,
                  ItemPlan& plan);
void PlanLongItem(uint32_t mode, uint32_t id, uint32_t count, const uint32_t* values,
                  ItemPlan& plan);
void PlanImageItem(uint32_t id, uint32_t byteCount, const void* data, ItemPlan& plan);

// Results: the new write offset, 0 when refused or failed (nothing changes).
uint32_t WriteGroupStart(KavfHandle& h, Target target, uint32_t group, uint32_t offset);
uint32_t WriteGroupEnd(KavfHandle& h, Target target, uint32_t group);
uint32_t WriteItem(KavfHandle& h, Target target, const ItemPlan& plan);

// The open group a record may be added to (1..64), 0 when none is open.
uint16_t OpenGroup(const KavfHandle& h);

}  // namespace kavf

#endif
