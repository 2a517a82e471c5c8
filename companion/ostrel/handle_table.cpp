#include "handle_table.h"

#include "ostrel_file.h"

namespace ostrel {
namespace {

// Slots 1..255.
HandleTable<OstrelFile, 8> table;

}  // namespace

uint32_t AddFile(OstrelFile* file) { return AddToHandleTable(table, file); }
OstrelFile* AccessFile(uint32_t handle) { return AccessInHandleTable(table, handle); }
OstrelFile* RemoveFile(uint32_t handle) { return RemoveFromHandleTable(table, handle); }

}  // namespace ostrel
