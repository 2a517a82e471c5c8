// Internal: the whole-line readers of plain_line with 256-bit registers,
// eight fields at a time where plain_line reads four: the same lines taken,
// the same values and flaws; the calibrated scaling four channels at a
// time; and the line ends found 32 bytes at a time. Built for AVX2 only
// where the build can (QUILLON_WIDE_LINES); call none of it unless Usable.
#ifndef QUILLON_WIDE_LINE_H
#define QUILLON_WIDE_LINE_H

#include <cstdint>

#include "source/field_reader.h"
#include "source/line_walker.h"
#include "source/wide_vectors.h"

namespace wide_line {

// Whether the build has the wide paths, the processor can run them and
// SetWideVectors allows them; asked in a file built for the baseline.
bool Usable();

#if defined(QUILLON_WIDE_LINES)

// As plain_line::ReadSamples.
int32_t ReadSamples(const char* line, int32_t length, int32_t bias, int32_t counted,
                    int16_t* values, FieldFlaws* flaws);

// As plain_line::ReadNumbers: doubles, or for magnification 1 floats, into
// values (kLineValueLimit long).
int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, double* values);
int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, float* values);

// ScaleCalibratedQuads once Usable.
int32_t ScaleQuads(const QuadScale& scale, const float* values, int16_t* samples, uint32_t* beyond);

// As the baseline's FindWholeLines.
uint32_t FindWholeLines(const char* text, int32_t at, int32_t end, LineSpan* spans, uint32_t most);

#else

// Never called: the build has no wide readers.
inline int32_t ReadSamples(const char*, int32_t, int32_t, int32_t, int16_t*, FieldFlaws*) {
    return -1;
}
template <class Value>
inline int32_t ReadNumbers(const char*, int32_t, int32_t, Value*) {
    return -1;
}
inline int32_t ScaleQuads(const QuadScale&, const float*, int16_t*, uint32_t*) { return 0; }
inline uint32_t FindWholeLines(const char*, int32_t, int32_t, LineSpan*, uint32_t) { return 0; }

#endif

}  // namespace wide_line

#endif
