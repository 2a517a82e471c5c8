// Pieces of the platform layer that are the same on every system; each
// system's files supply only what differs.
#ifndef QUILLON_PLATFORM_COMMON_H
#define QUILLON_PLATFORM_COMMON_H

#include <cstddef>

namespace plat_common {

// The running program's full path (system specific). False when unknown or
// longer than size.
bool ExecutablePath(char* path, size_t size);

// The length of text up to its first NUL, at most size.
size_t BoundedLength(const char* text, size_t size);

// Copies the whole UTF-8 characters of utf8[0..length) that fit in out
// with its NUL. Returns the bytes copied.
size_t CopyWholeUtf8(const char* utf8, size_t length, char* out, size_t outSize);

}  // namespace plat_common

#endif
