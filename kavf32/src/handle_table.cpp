#include "handle_table.h"

#include "handle.h"

namespace kavf {
namespace {

// Slots 1..4095.
HandleTable<KavfHandle, 12> table;

}  // namespace

KAVFHANDLE AddHandle(KavfHandle* record) { return AddToHandleTable(table, record); }
KavfHandle* AccessHandle(KAVFHANDLE value) { return AccessInHandleTable(table, value); }
KavfHandle* RemoveHandle(KAVFHANDLE value) { return RemoveFromHandleTable(table, value); }

}  // namespace kavf
