// Internal: the A/D line reader's fastest path, for lines of comma mode that
// hold only printable single bytes without quotation marks or apostrophes.
// Every field of such a line ends at its comma, so all commas are found
// first, sixteen bytes at a time, and four value fields are then read at
// once: each field's last eight bytes in one half of a vector register. A
// value field of a minus and up to eight digits reads to what the general
// path reads from it; a line with any other value field is left whole to the
// general path.
#ifndef QUILLON_PLAIN_LINE_H
#define QUILLON_PLAIN_LINE_H

#include <cstdint>
#include <cstring>

#include "source/field_limits.h"
#include "source/field_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plain_line {

// What ReadSamples returns for a line it leaves to the general path.
constexpr int32_t kNotPlain = -1;

#if defined(__SSE2__)

// Commas a plain line may hold: the fields before the values and one per
// value after the first.
constexpr int32_t kCommaLimit = 2 * kLineValueLimit;
constexpr int32_t kMaskWords = (kLineByteLimit + 63) / 64 + 1;
// Digits of a value read from one eight-byte half.
constexpr uint32_t kHalfDigits = 8;
// Fields read together.
constexpr int32_t kGroupFields = 4;

struct Tables {
    uint64_t digitBytes[16];  // the top n bytes of a word, for n digits 1..8
    __m128i negatives[16];    // the lanes of a group's minus signs, one bit per field
    uint8_t ones[16];         // the set bits of a group's 4-bit mask
};

inline Tables BuildTables() {
    Tables tables{};
    for (uint32_t digits = 1; digits <= kHalfDigits; ++digits)
        tables.digitBytes[digits] = ~uint64_t{0} << (8 * (kHalfDigits - digits));
    for (int32_t bits = 0; bits < 16; ++bits) {
        tables.negatives[bits] =
            _mm_set_epi32(-(bits >> 3 & 1), -(bits >> 2 & 1), -(bits >> 1 & 1), -(bits & 1));
        tables.ones[bits] =
            static_cast<uint8_t>((bits & 1) + (bits >> 1 & 1) + (bits >> 2 & 1) + (bits >> 3 & 1));
    }
    return tables;
}

inline const Tables& Constants() {
    static const Tables tables = BuildTables();
    return tables;
}

// The commas of bytes [at, at + 16) from byte keepFrom of them into the
// line's comma words; the block's unusual bytes are or-ed into unusual.
inline void TakeBlock(const char* line, int32_t at, uint32_t keepFrom, uint64_t* words,
                      __m128i* unusual) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + at));
    // Signed, bytes 0x80 and above are below the blank too: they end or start
    // fields of their own in this mode.
    const __m128i odd = _mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(' ')),
                                     _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\''))));
    *unusual = _mm_or_si128(*unusual, odd);
    const uint32_t commas =
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
    const uint64_t mask = uint64_t{commas >> keepFrom << keepFrom};
    const int32_t shift = at & 63;
    words[at >> 6] |= mask << shift;
    if (shift > 48) words[(at >> 6) + 1] |= mask >> (64 - shift);
}

// The line's commas as bits of words; false when the line holds a byte that
// is not plain. The last block overlaps the one before it, so no byte past
// the line is read.
inline bool FindCommas(const char* line, int32_t length, uint64_t* words) {
    const int32_t wordCount = (length + 63) >> 6;
    for (int32_t w = 0; w <= wordCount; ++w) words[w] = 0;
    __m128i unusual = _mm_setzero_si128();
    int32_t at = 0;
    for (; at + 16 <= length; at += 16) TakeBlock(line, at, 0, words, &unusual);
    if (at < length)
        TakeBlock(line, length - 16, static_cast<uint32_t>(at - (length - 16)), words, &unusual);
    return _mm_movemask_epi8(unusual) == 0;
}

inline int32_t CountBits(uint64_t x) {
    // The x86-64 baseline has no population count instruction.
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<int32_t>((x * 0x0101010101010101u) >> 56);
}

// The byte positions of the commas into at (kCommaLimit + 8 long: eight
// are written per word whatever it holds, which spares a branch per comma);
// their count, or kNotPlain beyond kCommaLimit.
inline int32_t CommaPositions(const uint64_t* words, int32_t wordCount, int16_t* at) {
    int32_t count = 0;
    for (int32_t w = 0; w < wordCount; ++w) {
        uint64_t mask = words[w];
        const int32_t found = CountBits(mask);
        if (count + found > kCommaLimit) return kNotPlain;
        const int32_t base = w * 64;
        int16_t* out = at + count;
        for (int32_t i = 0; i < 8; ++i, mask &= mask - 1)
            out[i] = static_cast<int16_t>(base + __builtin_ctzll(mask | uint64_t{1} << 63));
        for (int32_t i = 8; i < found; ++i, mask &= mask - 1)
            out[i] = static_cast<int16_t>(base + __builtin_ctzll(mask));
        count += found;
    }
    return count;
}

// Eight bytes at a and eight at b as one register.
inline __m128i LoadHalves(const void* a, const void* b) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(static_cast<const __m128i*>(a)),
                              _mm_loadl_epi64(static_cast<const __m128i*>(b)));
}

// Two fields' digit values (0..9, right-aligned in their halves, zero
// below) as four sums of four digits: high and low of each.
inline __m128i FourDigitSums(__m128i digits) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i tensAndOnes = _mm_set1_epi32(0x0001000A);
    const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(digits, zero), tensAndOnes);
    const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(digits, zero), tensAndOnes);
    return _mm_madd_epi16(_mm_packs_epi32(low, high), _mm_set1_epi32(0x00010064));
}

// Where a line's value fields end: ends[-1] + 1 is the first one's start.
struct ValueEnds {
    const int16_t* ends;
    int32_t count;
};

// How a group of four fields went.
struct GroupFlaws {
    uint32_t badFields;  // a digit count out of 1..8 (a plus sign is no digit)
    __m128i badDigits;   // bytes that should have been digits
    uint32_t saturated;
};

// Fields first..first + 3 (the last field repeated past the count) into
// out[first..first + 3]; saturated values count among the first counted.
inline void ReadGroup(const Tables& tables, const char* line, const ValueEnds& fields,
                      int32_t first, int32_t counted, int16_t* out, GroupFlaws* flaws) {
    const char* words[kGroupFields];
    const uint64_t* digitBytes[kGroupFields];
    uint32_t negatives = 0;
    for (int32_t k = 0; k < kGroupFields; ++k) {
        const int32_t f = first + k < fields.count ? first + k : fields.count - 1;
        const int32_t start = fields.ends[f - 1] + 1;
        const int32_t end = fields.ends[f];
        const unsigned char lead = static_cast<unsigned char>(line[start]);
        const uint32_t negative = lead == '-';
        const uint32_t digits = static_cast<uint32_t>(end - start) - negative;
        flaws->badFields |= (digits - 1 >= kHalfDigits);
        digitBytes[k] = &tables.digitBytes[digits & 15];
        words[k] = line + end - 8;
        negatives |= negative << k;
    }
    const __m128i nine = _mm_set1_epi8(9);
    __m128i values[2];
    for (int32_t pair = 0; pair < 2; ++pair) {
        const __m128i keep = LoadHalves(digitBytes[2 * pair], digitBytes[2 * pair + 1]);
        const __m128i digits =
            _mm_sub_epi8(LoadHalves(words[2 * pair], words[2 * pair + 1]), _mm_set1_epi8('0'));
        const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digits, nine), digits);
        flaws->badDigits = _mm_or_si128(flaws->badDigits, _mm_andnot_si128(isDigit, keep));
        values[pair] = FourDigitSums(_mm_and_si128(digits, keep));
    }
    __m128i sums =
        _mm_madd_epi16(_mm_packs_epi32(values[0], values[1]), _mm_set1_epi32(0x00012710));
    const __m128i sign = tables.negatives[negatives];
    sums = _mm_sub_epi32(_mm_xor_si128(sums, sign), sign);
    const __m128i beyond = _mm_or_si128(_mm_cmpgt_epi32(sums, _mm_set1_epi32(INT16_MAX)),
                                        _mm_cmplt_epi32(sums, _mm_set1_epi32(INT16_MIN)));
    const int32_t channelsHere = counted - first;
    const uint32_t ofChannels = channelsHere >= kGroupFields ? 15u
                                : channelsHere <= 0          ? 0u
                                                             : (1u << channelsHere) - 1;
    const uint32_t beyondBits =
        static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(beyond))) & ofChannels;
    flaws->saturated += tables.ones[beyondBits];
    // The pack saturates at both 16-bit limits, as the general path does.
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + first), _mm_packs_epi32(sums, sums));
}

// The values of a plain line of length bytes: its count, or kNotPlain.
inline int32_t ReadSamples(const char* line, int32_t length, int32_t bias, int32_t counted,
                           int16_t* values, FieldFlaws* flaws) {
    if (length < 16 || line[length - 1] == ',' || bias < 0) return kNotPlain;
    uint64_t words[kMaskWords];
    if (!FindCommas(line, length, words)) return kNotPlain;
    int16_t ends[kCommaLimit + 16];
    ends[0] = -1;
    const int32_t commas = CommaPositions(words, (length + 63) >> 6, ends + 1);
    if (commas < bias || commas - bias >= kLineValueLimit) return kNotPlain;
    ends[commas + 1] = static_cast<int16_t>(length);
    const int32_t count = commas - bias + 1;
    // Each field is read from the eight bytes before its end: the first
    // field's must lie in the line.
    if (ends[bias + 1] < 8) return kNotPlain;
    int16_t spare[kLineValueLimit + kGroupFields];
    int16_t* out = count + kGroupFields <= kLineValueLimit ? values : spare;
    const Tables& tables = Constants();
    const int32_t channels = counted <= 0 ? 0 : count < counted ? count : counted;
    GroupFlaws group{0, _mm_setzero_si128(), 0};
    for (int32_t first = 0; first < count; first += kGroupFields)
        ReadGroup(tables, line, ValueEnds{ends + bias + 1, count}, first, channels, out, &group);
    if (group.badFields != 0 || _mm_movemask_epi8(group.badDigits) != 0) return kNotPlain;
    if (out != values) std::memcpy(values, out, sizeof(int16_t) * static_cast<size_t>(count));
    flaws->saturated += group.saturated;
    flaws->numbers += static_cast<uint32_t>(channels);
    return count;
}

#else

inline int32_t ReadSamples(const char*, int32_t, int32_t, int32_t, int16_t*, FieldFlaws*) {
    return kNotPlain;
}

#endif

}  // namespace plain_line

#endif
