// The field modes and the fixed limits of source lines and fields, shared
// by the field cutter and the readers built on it.
#ifndef QUILLON_FIELD_LIMITS_H
#define QUILLON_FIELD_LIMITS_H

#include <stdint.h>

// Field modes (DelimitChar).
constexpr int32_t kFieldModeComma = 0;
constexpr int32_t kFieldModeBlank = 1;
constexpr int32_t kFieldModeTab = 2;

constexpr int32_t kFieldCharLimit = 30;  // characters; a double-byte one counts once
constexpr int32_t kFieldBufferSize = 2 * kFieldCharLimit + 1;
constexpr int32_t kFieldScanLimit = 4000;  // bytes one field scan looks at
constexpr int32_t kLineByteLimit = 4000;
constexpr int32_t kLineValueLimit = 256;  // values or labels taken from one line

#endif
