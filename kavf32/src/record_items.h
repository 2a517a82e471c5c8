// Items whose 32-byte header is followed by records appended one at a time:
// sweeps, spectra and trends.
#ifndef KAVF32_RECORD_ITEMS_H
#define KAVF32_RECORD_ITEMS_H

#include <cstdint>

#include "byte_sink.h"
#include "handle.h"
#include "item_lookup.h"

namespace kavf {

// Writes the header at the write offset inside the open group and makes the
// item current: position 16 words, data position just past the header.
bool StartRecordItem(KavfHandle& h, const uint8_t (&header)[kWaveHeaderBytes], CurrentItem kind,
                     uint32_t id);
// Records may be appended while the item's group is still open and nothing
// else was written after the item.
bool CanAppend(const KavfHandle& h, CurrentItem kind);
// Opens a sink for a record of bytes at the data position.
bool OpenRecord(KavfHandle& h, ByteSink& sink, uint64_t bytes);
// Counts a record of bytes that was written: offsets, position and group.
void CommitRecord(KavfHandle& h, uint64_t bytes);
// Makes a found item the current one for reading.
void MakeCurrentForReading(KavfHandle& h, const FoundItem& item, uint32_t group, CurrentItem kind);

// Native values from big-endian bytes, in place, for n values.
void Be16ToNative(uint8_t* bytes, size_t n);
void Be32ToNative(uint8_t* bytes, size_t n);

}  // namespace kavf

#endif
