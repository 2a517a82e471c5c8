// The field modes and the fixed limits of source lines and fields, shared
// by the field cutter and the readers built on it.
#ifndef QUILLON_FIELD_LIMITS_H
#define QUILLON_FIELD_LIMITS_H

#include <stdint.h>

// Field modes (DelimitChar).
constexpr int32_t kFieldModeComma = 0;
constexpr int32_t kFieldModeBlank = 1;
constexpr int32_t kFieldModeTab = 2;

constexpr int32_t kFieldCharLimit = 30;  // characters of a label; a double-byte one counts once
constexpr int32_t kFieldBufferSize = 2 * kFieldCharLimit + 1;
constexpr int32_t kLineByteLimit = 4000;
// A value is read as far as its number goes, so its field is copied whole
// up to the line limit; the rest of a longer text is left unread.
constexpr int32_t kValueCharLimit = kLineByteLimit;
constexpr int32_t kValueBufferSize = 2 * kValueCharLimit + 1;
constexpr int32_t kLineValueLimit = 256;  // values or labels taken from one line

#endif
