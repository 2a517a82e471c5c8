// Internal: the line readers' fastest path, for lines of comma mode that
// hold only printable single bytes without quotation marks or apostrophes.
// Every field of such a line ends at its comma, so all commas are found
// first, sixteen bytes at a time, and four value fields are then read at
// once: each field's last eight bytes in one half of a vector register. An
// A/D value field whose digits, minus and comma before it fit those eight
// bytes, or a calibrated one of a minus and up to eight digits and a point
// together, reads to what the general path reads from it; a line with any
// other value field is left whole to the general path.
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
// The wide readers' file is built for AVX2 and has its own copies: an
// inline function built for one must never stand in for the other's.
#if defined(__AVX2__)
inline namespace avx2 {
#else
inline namespace baseline {
#endif

// What ReadSamples returns for a line it leaves to the general path.
constexpr int32_t kNotPlain = -1;

// Of count values, those of the first counted channels: the values whose
// flaws are counted.
inline int32_t ChannelValues(int32_t count, int32_t counted) {
    return counted <= 0 ? 0 : count < counted ? count : counted;
}
// Fields read together: the last group may write this many values beyond
// the line's.
constexpr int32_t kGroupFields = 4;

#if defined(__SSE2__)

// Commas a plain line may hold: the fields before the values and one per
// value after the first.
constexpr int32_t kCommaLimit = 2 * kLineValueLimit;
// Words of a line's comma bits, and a spare one that a block may reach.
constexpr int32_t kMaskWords = (kLineByteLimit + 63) / 64 + 1;
// Digits of a value read from one eight-byte half.
constexpr uint32_t kHalfDigits = 8;

struct Tables {
    uint64_t digitBytes[16];  // a field's last n bytes of its word, n = 1..8; none else
    uint8_t ones[16];         // the set bits of a group's 4-bit mask
    double powersOfTen[kHalfDigits + 1];
    double tenthPowers[kHalfDigits + 1];  // the doubles nearest 10^-n
    __m128d pairSigns[4];                 // the signs of two fields, a bit for each minus
    __m128 floatSigns[16];                // the sign bits of four fields, a bit for each minus
};

inline Tables BuildTables() {
    Tables tables{};
    for (uint32_t digits = 1; digits <= kHalfDigits; ++digits)
        tables.digitBytes[digits] = ~uint64_t{0} << (8 * (kHalfDigits - digits));
    for (int32_t bits = 0; bits < 16; ++bits) {
        tables.ones[bits] =
            static_cast<uint8_t>((bits & 1) + (bits >> 1 & 1) + (bits >> 2 & 1) + (bits >> 3 & 1));
    }
    for (int32_t bits = 0; bits < 4; ++bits)
        tables.pairSigns[bits] = _mm_set_pd(bits & 2 ? -1.0 : 1.0, bits & 1 ? -1.0 : 1.0);
    for (int32_t bits = 0; bits < 16; ++bits) {
        tables.floatSigns[bits] = _mm_set_ps(bits & 8 ? -0.0f : 0.0f, bits & 4 ? -0.0f : 0.0f,
                                             bits & 2 ? -0.0f : 0.0f, bits & 1 ? -0.0f : 0.0f);
    }
    double power = 1.0;
    for (uint32_t digits = 0; digits <= kHalfDigits; ++digits, power *= 10.0)
        tables.powersOfTen[digits] = power, tables.tenthPowers[digits] = 1.0 / power;
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

// The byte positions of a plain line's commas into at (kCommaLimit + 8
// long): their count, or kNotPlain for a line with a byte that is not plain
// or more than kCommaLimit commas.
inline int32_t PlainCommaPositions(const char* line, int32_t length, int16_t* at) {
    uint64_t words[kMaskWords];
    if (!FindCommas(line, length, words)) return kNotPlain;
    return CommaPositions(words, (length + 63) >> 6, at);
}

// The value fields of a plain line of length bytes into ends (kCommaLimit +
// 16 long, or what commaPositions needs beyond its at and one more): their
// count, or kNotPlain.
// commaPositions is PlainCommaPositions or a wider one of the same contract.
template <int32_t (*commaPositions)(const char*, int32_t, int16_t*) = PlainCommaPositions>
inline int32_t FindValueFields(const char* line, int32_t length, int32_t bias, int16_t* ends) {
    if (length < 16 || line[length - 1] == ',' || bias < 0) return kNotPlain;
    ends[0] = -1;
    const int32_t commas = commaPositions(line, length, ends + 1);
    if (commas == kNotPlain || commas < bias || commas - bias >= kLineValueLimit) return kNotPlain;
    ends[commas + 1] = static_cast<int16_t>(length);
    // Each field is read from the eight bytes before its end: the first
    // field's must lie in the line.
    if (ends[bias + 1] < 8) return kNotPlain;
    return commas - bias + 1;
}

// The bytes of fields first..first + 3 (the last field repeated past the
// count): each field's last eight bytes and the mask of those that follow
// its sign.
struct GroupBytes {
    const char* words[kGroupFields];
    const uint64_t* kept[kGroupFields];
    uint32_t negatives;  // a bit per field
};

inline void TakeGroup(const Tables& tables, const char* line, const ValueEnds& fields,
                      int32_t first, GroupBytes* group, uint32_t* badFields) {
    group->negatives = 0;
    for (int32_t k = 0; k < kGroupFields; ++k) {
        const int32_t f = first + k < fields.count ? first + k : fields.count - 1;
        const int32_t start = fields.ends[f - 1] + 1;
        const int32_t end = fields.ends[f];
        const uint32_t negative = line[start] == '-';
        const uint32_t bytes = static_cast<uint32_t>(end - start) - negative;
        *badFields |= bytes - 1 >= kHalfDigits;
        group->kept[k] = &tables.digitBytes[bytes & 15];
        group->words[k] = line + end - 8;
        group->negatives |= negative << k;
    }
}

// Fields 2 * pair and 2 * pair + 1 of a group: their bytes less '0', the
// mask of their kept bytes, and which of those are digits.
struct PairBytes {
    __m128i digits;
    __m128i kept;
    __m128i isDigit;
};

inline PairBytes TakePair(const GroupBytes& group, int32_t pair) {
    const __m128i nine = _mm_set1_epi8(9);
    PairBytes bytes;
    bytes.kept = LoadHalves(group.kept[2 * pair], group.kept[2 * pair + 1]);
    bytes.digits = _mm_sub_epi8(LoadHalves(group.words[2 * pair], group.words[2 * pair + 1]),
                                _mm_set1_epi8('0'));
    bytes.isDigit = _mm_cmpeq_epi8(_mm_min_epu8(bytes.digits, nine), bytes.digits);
    return bytes;
}

// Four fields' sums of four digits (two registers of FourDigitSums) as
// their values.
inline __m128i GroupValues(__m128i firstPair, __m128i secondPair) {
    return _mm_madd_epi16(_mm_packs_epi32(firstPair, secondPair), _mm_set1_epi32(0x00012710));
}

// How the groups of a line went.
struct GroupFlaws {
    uint32_t badFields;  // more bytes than a half holds, or none
    __m128i badBytes;    // kept bytes that are neither digits nor a lone point
    uint32_t saturated;
};

// The bytes at and below each half's last byte that is not a digit.
inline __m128i AtAndBelowLastNonDigit(__m128i nonDigit) {
    __m128i smeared = _mm_or_si128(nonDigit, _mm_srli_epi64(nonDigit, 8));
    smeared = _mm_or_si128(smeared, _mm_srli_epi64(smeared, 16));
    return _mm_or_si128(smeared, _mm_srli_epi64(smeared, 32));
}

// How the A/D fields of a line went, besides GroupFlaws: every half must
// hold the byte before its field's digits (its first byte at and below it)
// and end in a digit.
struct EdgeFlaws {
    __m128i starts;      // and-ed: the bytes at and below each field's start
    __m128i lastDigits;  // and-ed: which bytes are digits
};

// Two A/D fields ending at a and b: their sums of four digits. Their digits
// run back from the end to the last byte that is not a digit, which must be
// the comma before the field or a minus right after that comma (in minus).
// So no field start is looked up; a field of more digits than its half
// holds has no such byte and is left to the general path.
inline __m128i SamplePair(const char* a, const char* b, __m128i* minus, GroupFlaws* flaws,
                          EdgeFlaws* edges) {
    const __m128i bytes = LoadHalves(a, b);
    const __m128i digits = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digits, _mm_set1_epi8(9)), digits);
    const __m128i below = AtAndBelowLastNonDigit(_mm_xor_si128(isDigit, _mm_set1_epi8(-1)));
    const __m128i start = _mm_andnot_si128(_mm_srli_epi64(below, 8), below);
    const __m128i comma = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(','));
    *minus = _mm_and_si128(start, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-')));
    const __m128i signedStart = _mm_and_si128(*minus, _mm_slli_epi64(comma, 8));
    const __m128i goodStart = _mm_or_si128(_mm_and_si128(start, comma), signedStart);
    flaws->badBytes = _mm_or_si128(flaws->badBytes, _mm_andnot_si128(goodStart, start));
    edges->starts = _mm_and_si128(edges->starts, below);
    edges->lastDigits = _mm_and_si128(edges->lastDigits, isDigit);
    return FourDigitSums(_mm_andnot_si128(below, digits));
}

// Whether every half of a line had its field's start and a last digit.
inline bool EdgesWhole(const EdgeFlaws& edges) {
    constexpr int32_t kLowBytes = 0x0101;   // byte 0 of each half
    constexpr int32_t kHighBytes = 0x8080;  // byte 7 of each half
    return (_mm_movemask_epi8(edges.starts) & kLowBytes) == kLowBytes &&
           (_mm_movemask_epi8(edges.lastDigits) & kHighBytes) == kHighBytes;
}

// A/D: fields first..first + 3 into out[first..first + 3] (ends holds an
// end for each, the last field's repeated past the count); saturated
// values count among the first channels.
inline void ReadSampleGroup(const Tables& tables, const char* line, const int16_t* ends,
                            int32_t first, int32_t channels, int16_t* out, GroupFlaws* flaws,
                            EdgeFlaws* edges) {
    __m128i minus[2];
    const __m128i firstPair =
        SamplePair(line + ends[first] - 8, line + ends[first + 1] - 8, &minus[0], flaws, edges);
    const __m128i secondPair =
        SamplePair(line + ends[first + 2] - 8, line + ends[first + 3] - 8, &minus[1], flaws, edges);
    // One minus byte or none per half; its sum lands in the field's lane.
    const __m128i minusSums = _mm_packs_epi32(_mm_sad_epu8(minus[0], _mm_setzero_si128()),
                                              _mm_sad_epu8(minus[1], _mm_setzero_si128()));
    const __m128i sign = _mm_cmpgt_epi32(minusSums, _mm_setzero_si128());
    const __m128i values =
        _mm_sub_epi32(_mm_xor_si128(GroupValues(firstPair, secondPair), sign), sign);
    const __m128i beyond = _mm_or_si128(_mm_cmpgt_epi32(values, _mm_set1_epi32(INT16_MAX)),
                                        _mm_cmplt_epi32(values, _mm_set1_epi32(INT16_MIN)));
    const int32_t channelsHere = channels - first;
    const uint32_t ofChannels = channelsHere >= kGroupFields ? 15u
                                : channelsHere <= 0          ? 0u
                                                             : (1u << channelsHere) - 1;
    const uint32_t beyondBits =
        static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(beyond))) & ofChannels;
    flaws->saturated += tables.ones[beyondBits];
    // The pack saturates at both 16-bit limits, as the general path does.
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + first), _mm_packs_epi32(values, values));
}

// The bytes at and above each half's point (none without one).
inline __m128i AtAndAbovePoint(__m128i point) {
    __m128i smeared = _mm_or_si128(point, _mm_slli_epi64(point, 8));
    smeared = _mm_or_si128(smeared, _mm_slli_epi64(smeared, 16));
    return _mm_or_si128(smeared, _mm_slli_epi64(smeared, 32));
}

// A calibrated pair: with the point read as a zero digit the digits give
// V; the digits after it alone give F. V + 9F is the number without its
// point times ten, or the number itself without a point, and powers says
// by which power of ten it is divided: the bytes at and after the point.
inline void CalibratedPair(const PairBytes& bytes, __m128i* whole, __m128i* fraction,
                           __m128i* powers, GroupFlaws* flaws) {
    const __m128i point =
        _mm_and_si128(_mm_cmpeq_epi8(bytes.digits, _mm_set1_epi8('.' - '0')), bytes.kept);
    const __m128i atAndAbove = AtAndAbovePoint(point);
    const __m128i digits = _mm_and_si128(bytes.isDigit, bytes.kept);
    __m128i bad = _mm_andnot_si128(_mm_or_si128(bytes.isDigit, point), bytes.kept);
    bad = _mm_or_si128(bad, _mm_and_si128(point, _mm_slli_epi64(atAndAbove, 8)));  // two points
    flaws->badBytes = _mm_or_si128(flaws->badBytes, bad);
    // A point alone has no digit.
    const uint32_t noDigit =
        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(digits, _mm_setzero_si128())));
    flaws->badFields |= (noDigit & 0xFFu) == 0xFFu || noDigit >> 8 == 0xFFu;
    const __m128i values = _mm_and_si128(bytes.digits, digits);
    *whole = FourDigitSums(values);
    *fraction = FourDigitSums(_mm_and_si128(values, atAndAbove));
    *powers = _mm_sad_epu8(_mm_and_si128(atAndAbove, _mm_set1_epi8(1)), _mm_setzero_si128());
}

// A group of calibrated fields before they become values: V + 9F of each
// (see CalibratedPair), the power of ten it is divided by, and a bit per
// field with a minus.
struct GroupNumbers {
    __m128i numbers;
    alignas(16) uint64_t powers[kGroupFields];
    uint32_t negatives;
};

// Calibrated: fields first..first + 3 as numbers.
inline void ReadCalibratedGroup(const Tables& tables, const char* line, const ValueEnds& fields,
                                int32_t first, GroupNumbers* read, GroupFlaws* flaws) {
    GroupBytes group;
    TakeGroup(tables, line, fields, first, &group, &flaws->badFields);
    __m128i whole[2], fraction[2];
    for (int32_t pair = 0; pair < 2; ++pair) {
        __m128i pairPowers;
        CalibratedPair(TakePair(group, pair), &whole[pair], &fraction[pair], &pairPowers, flaws);
        _mm_store_si128(reinterpret_cast<__m128i*>(read->powers + 2 * pair), pairPowers);
    }
    const __m128i fractions = GroupValues(fraction[0], fraction[1]);
    read->numbers = _mm_add_epi32(GroupValues(whole[0], whole[1]),
                                  _mm_add_epi32(_mm_slli_epi32(fractions, 3), fractions));
    read->negatives = group.negatives;
}

// The numbers of lanes 2 * pair and 2 * pair + 1 as doubles, and the
// entries of table (by the power of ten of each) beside them.
inline __m128d PairNumbers(const GroupNumbers& read, int32_t pair) {
    return _mm_cvtepi32_pd(pair == 0 ? read.numbers : _mm_srli_si128(read.numbers, 8));
}

inline __m128d PairPowers(const double* table, const GroupNumbers& read, int32_t pair) {
    return _mm_set_pd(table[read.powers[2 * pair + 1] & 15], table[read.powers[2 * pair] & 15]);
}

// The numbers' exact quotients by their powers of ten: ten times the digits
// over ten times the power is the same exact quotient, so the division
// rounds to the general path's double.
inline __m128d QuotientPair(const Tables& tables, const GroupNumbers& read, int32_t pair) {
    return _mm_div_pd(PairNumbers(read, pair), PairPowers(tables.powersOfTen, read, pair));
}

// The general path's doubles into out[first..first + 3]: the sign
// multiplies, as there.
inline void ExactNumbers(const Tables& tables, const GroupNumbers& read, int32_t first,
                         double* out) {
    for (int32_t pair = 0; pair < 2; ++pair) {
        const __m128d signs = tables.pairSigns[read.negatives >> (2 * pair) & 3];
        _mm_storeu_pd(out + first + 2 * pair, _mm_mul_pd(QuotientPair(tables, read, pair), signs));
    }
}

// Magnification 1 multiplies by the double nearest 10^-n where the general
// path divides, and the float is the same. A half holds at most seven
// digits beside a point, so a number with one is M/10^k with M < 2^24: never
// halfway between two floats (such points have 25 significant bits), and
// at least 10^-k * 2^-25 of itself, over 2^-49, from every such point,
// while both doubles lie within 2^-52 of it. Without a point n is 0: exact.
static_assert(kHalfDigits <= 8, "a point and seven digits at most");

// The numbers times the doubles nearest 10^-n.
inline __m128d ReciprocalPair(const Tables& tables, const GroupNumbers& read, int32_t pair) {
    return _mm_mul_pd(PairNumbers(read, pair), PairPowers(tables.tenthPowers, read, pair));
}

// Magnification 1: the floats of the general path's doubles into
// out[first..first + 3]; the sign is the float's own.
inline void NearestFloats(const Tables& tables, const GroupNumbers& read, int32_t first,
                          float* out) {
    const __m128 floats = _mm_movelh_ps(_mm_cvtpd_ps(ReciprocalPair(tables, read, 0)),
                                        _mm_cvtpd_ps(ReciprocalPair(tables, read, 1)));
    _mm_storeu_ps(out + first, _mm_xor_ps(floats, tables.floatSigns[read.negatives & 15]));
}

// The values of a plain line of length bytes: its count, or kNotPlain.
inline int32_t ReadSamples(const char* line, int32_t length, int32_t bias, int32_t counted,
                           int16_t* values, FieldFlaws* flaws) {
    int16_t ends[kCommaLimit + 16];
    const int32_t count = FindValueFields(line, length, bias, ends);
    if (count == kNotPlain) return kNotPlain;
    int16_t* const fieldEnds = ends + bias + 1;
    for (int32_t k = 1; k < kGroupFields; ++k) fieldEnds[count - 1 + k] = fieldEnds[count - 1];
    int16_t spare[kLineValueLimit + kGroupFields];
    int16_t* out = count + kGroupFields <= kLineValueLimit ? values : spare;
    const Tables& tables = Constants();
    const int32_t channels = ChannelValues(count, counted);
    GroupFlaws group{0, _mm_setzero_si128(), 0};
    EdgeFlaws edges{_mm_set1_epi8(-1), _mm_set1_epi8(-1)};
    for (int32_t first = 0; first < count; first += kGroupFields)
        ReadSampleGroup(tables, line, fieldEnds, first, channels, out, &group, &edges);
    if (_mm_movemask_epi8(group.badBytes) != 0 || !EdgesWhole(edges)) return kNotPlain;
    if (out != values) std::memcpy(values, out, sizeof(int16_t) * static_cast<size_t>(count));
    flaws->saturated += group.saturated;
    flaws->numbers += static_cast<uint32_t>(channels);
    return count;
}

// The same for calibrated values, as doubles before scaling, or with
// magnification 1 as floats (the scaling done), into values
// (kLineValueLimit long); the flaws are left to the caller.
template <class Value>
inline int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, Value* values) {
    int16_t ends[kCommaLimit + 16];
    const int32_t count = FindValueFields(line, length, bias, ends);
    if (count == kNotPlain) return kNotPlain;
    const Tables& tables = Constants();
    GroupFlaws flaws{0, _mm_setzero_si128(), 0};
    Value spare[kLineValueLimit + kGroupFields];
    Value* out = count + kGroupFields <= kLineValueLimit ? values : spare;
    for (int32_t first = 0; first < count; first += kGroupFields) {
        GroupNumbers read;
        ReadCalibratedGroup(tables, line, ValueEnds{ends + bias + 1, count}, first, &read, &flaws);
        if constexpr (sizeof(Value) == sizeof(float))
            NearestFloats(tables, read, first, out);
        else
            ExactNumbers(tables, read, first, out);
    }
    if (flaws.badFields != 0 || _mm_movemask_epi8(flaws.badBytes) != 0) return kNotPlain;
    if (out != values) std::memcpy(values, out, sizeof(Value) * static_cast<size_t>(count));
    return count;
}

#else

inline int32_t ReadSamples(const char*, int32_t, int32_t, int32_t, int16_t*, FieldFlaws*) {
    return kNotPlain;
}

template <class Value>
inline int32_t ReadNumbers(const char*, int32_t, int32_t, Value*) {
    return kNotPlain;
}

#endif

}  // namespace avx2 or baseline
}  // namespace plain_line

#endif
