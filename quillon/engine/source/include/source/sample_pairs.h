// Two calibrated samples at a time, for the EEG frames and the PSG rows:
// the same double operations as their one-at-a-time loops, in the same
// order, so the same samples. Only where doubles are evaluated as doubles
// (SSE2 on x86-64), which QUILLON_PAIRS_SCALED tells; elsewhere nothing here
// exists.
#ifndef QUILLON_SAMPLE_PAIRS_H
#define QUILLON_SAMPLE_PAIRS_H

#include <cfloat>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && FLT_EVAL_METHOD == 0
#include <emmintrin.h>

#define QUILLON_PAIRS_SCALED 1

namespace sample_pairs {

// floats[0] and floats[1] as doubles.
inline __m128d TwoDoubles(const float* floats) {
    return _mm_cvtps_pd(
        _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(floats))));
}

// NaN counts as 0.
inline __m128d NanAsZero(__m128d counts) {
    return _mm_and_pd(counts, _mm_cmpord_pd(counts, counts));
}

// numerators times two values over denominators, as the scalar loops
// compute them, NaN as 0.
inline __m128d ScaledPair(__m128d numerators, const float* values, __m128d denominators) {
    return NanAsZero(_mm_div_pd(_mm_mul_pd(numerators, TwoDoubles(values)), denominators));
}

// Bit 0 and bit 1: the counts at or beyond +-32768.
inline uint32_t BeyondBits(__m128d counts) {
    return static_cast<uint32_t>(_mm_movemask_pd(_mm_or_pd(
        _mm_cmpge_pd(counts, _mm_set1_pd(32768.0)), _mm_cmple_pd(counts, _mm_set1_pd(-32768.0)))));
}

// The counts (no NaN) within +-32767 toward zero, negated where negate is
// all ones, into out[0] and out[1].
inline void StorePair(__m128d counts, __m128i negate, int16_t* out) {
    const __m128d within =
        _mm_min_pd(_mm_max_pd(counts, _mm_set1_pd(-32767.0)), _mm_set1_pd(32767.0));
    const __m128i whole = _mm_cvttpd_epi32(within);
    const __m128i signedWhole = _mm_sub_epi32(_mm_xor_si128(whole, negate), negate);
    const uint32_t two =
        static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packs_epi32(signedWhole, signedWhole)));
    std::memcpy(out, &two, sizeof two);
}

}  // namespace sample_pairs

#endif

#endif
