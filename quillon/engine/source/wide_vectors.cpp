// Built for the baseline: whether the wide paths run is asked here, before
// any code built for AVX2 is called.
#include "source/wide_vectors.h"

#include <atomic>

#include "wide_line.h"

namespace {

std::atomic<bool> gWideVectors{true};

}  // namespace

extern "C" void SetWideVectors(int32_t on) { gWideVectors = on != 0; }

namespace wide_line {

bool Usable() {
#if defined(QUILLON_WIDE_LINES)
    static const bool available = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
    return available && gWideVectors.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

}  // namespace wide_line

int32_t ScaleCalibratedQuads(const QuadScale& scale, const float* values, int16_t* samples,
                             uint32_t* beyond) {
    return wide_line::Usable() ? wide_line::ScaleQuads(scale, values, samples, beyond) : 0;
}
