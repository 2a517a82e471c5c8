// 256-bit registers where the processor has them (AVX2, asked once): the
// line readers read eight fields at a time and calibrated values are scaled
// four at a time, with the same operations as the 128-bit paths, so the
// same values.
#ifndef QUILLON_WIDE_VECTORS_H
#define QUILLON_WIDE_VECTORS_H

#include <stdint.h>

extern "C" {
// Whether the wide paths may run (1, the default) or only the 128-bit ones
// (0): both give the same values, and the switch is there to show it.
void SetWideVectors(int32_t on);
}

// Calibrated values of channels [0, channels) to samples, as the pair loops
// of the EEG frames and the PSG rows make them: numerator x value /
// denominator in doubles, NaN as 0, and-ed with kept (all ones to keep, 0
// for 0), within +-32767 toward zero, negated when negate. Counts at or
// beyond +-32768 are added to *beyond where tallied is all ones.
struct QuadScale {
    const double* numerators;
    const double* denominators;
    const uint64_t* kept;
    const uint64_t* tallied;
    int32_t channels;
    bool negate;
};

// Four channels at a time while they last, where the wide paths run: the
// first channel left (0 where they do not run).
int32_t ScaleCalibratedQuads(const QuadScale& scale, const float* values, int16_t* samples,
                             uint32_t* beyond);

#endif
