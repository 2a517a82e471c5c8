// Eight channels of an epoch's rows as eight columns of their own. Ostrel
// reads a channel one sample after the other from a column, where from the
// rows it would load a cache line for every sample of every channel.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "psg_internal.h"

namespace psg {
namespace {

#if defined(__SSE2__)
__m128i LoadEight(const int16_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

void StoreEight(int16_t* at, __m128i eight) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), eight);
}

// Eight rows of eight samples turned over: sample j of each row into
// column j, columnWords apart.
void TurnEightRows(const int16_t* row, size_t rowWords, int16_t* column, size_t columnWords) {
    __m128i pairs[8];
    for (size_t i = 0; i < 8; i += 2) {
        const __m128i upper = LoadEight(row + i * rowWords);
        const __m128i lower = LoadEight(row + (i + 1) * rowWords);
        pairs[i / 2] = _mm_unpacklo_epi16(upper, lower);      // samples 0-3 of both rows
        pairs[4 + i / 2] = _mm_unpackhi_epi16(upper, lower);  // samples 4-7
    }
    for (size_t half = 0; half < 8; half += 4) {
        const __m128i* p = pairs + half;
        const __m128i quads[4] = {_mm_unpacklo_epi32(p[0], p[1]), _mm_unpackhi_epi32(p[0], p[1]),
                                  _mm_unpacklo_epi32(p[2], p[3]), _mm_unpackhi_epi32(p[2], p[3])};
        for (size_t q = 0; q < 2; ++q) {
            int16_t* out = column + (half + 2 * q) * columnWords;
            StoreEight(out, _mm_unpacklo_epi64(quads[q], quads[2 + q]));
            StoreEight(out + columnWords, _mm_unpackhi_epi64(quads[q], quads[2 + q]));
        }
    }
}
#endif

}  // namespace

void EightColumns(const int16_t* firstRow, size_t rowWords, uint32_t rows, int16_t* columns) {
    uint32_t r = 0;
#if defined(__SSE2__)
    for (; r + 8 <= rows; r += 8)
        TurnEightRows(firstRow + r * rowWords, rowWords, columns + r, rows);
#endif
    for (; r < rows; ++r)
        for (size_t j = 0; j < kEightChannels; ++j)
            columns[j * rows + r] = firstRow[r * rowWords + j];
}

}  // namespace psg
