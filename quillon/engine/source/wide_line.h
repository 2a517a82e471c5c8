// Internal: the whole-line readers of plain_line with 256-bit registers,
// eight fields at a time where plain_line reads four: the same lines taken,
// the same values and flaws. Built for AVX2 only where the build can
// (QUILLON_WIDE_LINES); whether the processor has it is the caller's to ask.
#ifndef QUILLON_WIDE_LINE_H
#define QUILLON_WIDE_LINE_H

#include <cstdint>

#include "source/field_reader.h"

namespace wide_line {

#if defined(QUILLON_WIDE_LINES)

// As plain_line::ReadSamples.
int32_t ReadSamples(const char* line, int32_t length, int32_t bias, int32_t counted,
                    int16_t* values, FieldFlaws* flaws);

// As plain_line::ReadNumbers: doubles into values (kLineValueLimit +
// kGroupFields long), or for magnification 1 floats (kLineValueLimit long).
int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, double* values);
int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, float* values);

#else

// Never called: the build has no wide readers.
inline int32_t ReadSamples(const char*, int32_t, int32_t, int32_t, int16_t*, FieldFlaws*) {
    return -1;
}
template <class Value>
inline int32_t ReadNumbers(const char*, int32_t, int32_t, Value*) {
    return -1;
}

#endif

}  // namespace wide_line

#endif
