// Internal: FindWholeLines' walk over 64-byte blocks of line-end bits, for
// any way of finding a block's CRs and LFs: the baseline's 16-byte
// registers (line_walker) and the wide file's 32-byte ones (wide_line).
#ifndef QUILLON_LINE_ENDS_H
#define QUILLON_LINE_ENDS_H

#include <cstdint>

#include "source/field_limits.h"
#include "source/line_walker.h"

namespace line_ends {
// The wide file is built for AVX2 and has its own copy: an inline function
// built for one must never stand in for the other's.
#if defined(__AVX2__)
inline namespace avx2 {
#else
inline namespace baseline {
#endif

constexpr int32_t kEndBlock = 64;

// FindWholeLines, with lineEndBits(from) the CRs and LFs of
// from[0..kEndBlock) as bits.
template <uint64_t (*lineEndBits)(const char*)>
inline uint32_t FindWholeLinesWith(const char* text, int32_t at, int32_t end, LineSpan* spans,
                                   uint32_t most) {
    uint32_t count = 0;
    // The line ends of text[block..block + 64) from at on.
    int32_t block = at;
    if (block + kEndBlock > end) return 0;
    uint64_t bits = lineEndBits(text + block);
    while (count < most) {
        while (bits == 0) {
            block += kEndBlock;
            if (block + kEndBlock > end) return count;
            bits = lineEndBits(text + block);
        }
        const int32_t stop = block + __builtin_ctzll(bits);
        // Whether a CR ends the bytes given, and how an over-long line
        // ends, is FindLine's to say.
        if (stop - at > kLineByteLimit || stop + 1 >= end) return count;
        const int32_t next = stop + (text[stop] == '\r' && text[stop + 1] == '\n' ? 2 : 1);
        spans[count++] = LineSpan{at, stop - at, next};
        at = next;
        const int32_t done = next - block;
        if (done < kEndBlock) {
            bits &= ~uint64_t{0} << done;
        } else {
            block = next;
            if (block + kEndBlock > end) return count;
            bits = lineEndBits(text + block);
        }
    }
    return count;
}

}  // namespace avx2 or baseline
}  // namespace line_ends

#endif
