// File access of a handle, in the 32-bit offset space of the format. An
// offset or range beyond it is refused rather than wrapped.
#ifndef KAVF32_FILE_IO_H
#define KAVF32_FILE_IO_H

#include <cstdint>
#include <vector>

#include "handle.h"

namespace kavf {

// Seeks to offset; false when there is no file, the offset lies beyond the
// 32-bit space or the platform refuses.
bool SeekTo(KavfHandle& h, uint64_t offset);
// Reads up to count bytes at the current position: the bytes read (short at
// end of file), or -1 when nothing could be read because of an error.
int64_t ReadHere(KavfHandle& h, void* buffer, uint64_t count);
// Seek and read; -1 when the seek fails.
int64_t ReadAt(KavfHandle& h, uint64_t offset, void* buffer, uint64_t count);
// Reads count bytes at offset; bytes the file does not hold read as zero.
// Returns the bytes actually read, or -1 when the seek fails.
int64_t ReadZeroFilled(KavfHandle& h, uint64_t offset, void* buffer, uint64_t count);
// Writes all count bytes at the current position; false on any failure.
bool WriteHere(KavfHandle& h, const void* buffer, uint64_t count);
// Seek and write; the range must end inside the 32-bit space.
bool WriteAt(KavfHandle& h, uint64_t offset, const void* buffer, uint64_t count);

// Resizes a byte buffer without letting an allocation failure escape.
bool TryResize(std::vector<uint8_t>& buffer, size_t size);

}  // namespace kavf

#endif
