// Built with AVX2 (see wide_line.h); nothing here runs unless the processor
// has it. Each register holds four fields' last eight bytes, one in each
// quarter, where plain_line's hold two: every step is plain_line's own,
// except how a line's commas are found (their places from a table, a byte
// of comma bits at a time) and that only the fields before the values are
// searched for unusual bytes, since the octets check every value byte. The
// scaling is the pair loops' (source/sample_pairs.h) four channels wide.
#include "wide_line.h"

#if defined(QUILLON_WIDE_LINES)

#include <immintrin.h>

#include "line_ends.h"
#include "plain_line.h"

namespace {

using namespace plain_line;

constexpr int32_t kWideFields = 8;
// The 64-bit elements 0 2 1 3: a pack of two registers leaves their fields
// in the order 0 1 4 5 | 2 3 6 7.
constexpr int kInOrder = 0xD8;

// Eight bytes at each of a, b, c and d as one register.
inline __m256i LoadQuarters(const void* a, const void* b, const void* c, const void* d) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(LoadHalves(a, b)), LoadHalves(c, d), 1);
}

inline __m256i Ones() { return _mm256_set1_epi8(-1); }

inline __m256i AtAndBelowLastNonDigit(__m256i nonDigit) {
    __m256i smeared = _mm256_or_si256(nonDigit, _mm256_srli_epi64(nonDigit, 8));
    smeared = _mm256_or_si256(smeared, _mm256_srli_epi64(smeared, 16));
    return _mm256_or_si256(smeared, _mm256_srli_epi64(smeared, 32));
}

inline __m256i AtAndAbovePoint(__m256i point) {
    __m256i smeared = _mm256_or_si256(point, _mm256_slli_epi64(point, 8));
    smeared = _mm256_or_si256(smeared, _mm256_slli_epi64(smeared, 16));
    return _mm256_or_si256(smeared, _mm256_slli_epi64(smeared, 32));
}

inline __m256i FourDigitSums(__m256i digits) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i tensAndOnes = _mm256_set1_epi32(0x0001000A);
    const __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi8(digits, zero), tensAndOnes);
    const __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi8(digits, zero), tensAndOnes);
    return _mm256_madd_epi16(_mm256_packs_epi32(low, high), _mm256_set1_epi32(0x00010064));
}

// Eight fields' values, in order, from two registers of FourDigitSums.
inline __m256i OctetValues(__m256i firstQuad, __m256i secondQuad) {
    const __m256i values =
        _mm256_madd_epi16(_mm256_packs_epi32(firstQuad, secondQuad), _mm256_set1_epi32(0x00012710));
    return _mm256_permute4x64_epi64(values, kInOrder);
}

inline __m256i DigitsOf(__m256i bytes) { return _mm256_sub_epi8(bytes, _mm256_set1_epi8('0')); }

inline __m256i IsDigit(__m256i digits) {
    return _mm256_cmpeq_epi8(_mm256_min_epu8(digits, _mm256_set1_epi8(9)), digits);
}

// GroupFlaws and EdgeFlaws of a line in one: a field whose edges are not
// whole counts among the bad bytes.
struct WideFlaws {
    __m256i badBytes;
    __m256i saturated;  // of the channels' values, a count per lane
};

inline WideFlaws NoFlaws() { return WideFlaws{_mm256_setzero_si256(), _mm256_setzero_si256()}; }

inline uint32_t LaneSum(__m256i counts) {
    __m128i sums =
        _mm_add_epi32(_mm256_castsi256_si128(counts), _mm256_extracti128_si256(counts, 1));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, 0x4E));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, 0xB1));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(sums));
}

inline bool Plain(const WideFlaws& flaws) { return _mm256_movemask_epi8(flaws.badBytes) == 0; }

// Of a quad's bytes at and below each field's last non-digit, the edge bytes
// that show a field not whole: its quarter's first byte not among them (no
// start before the digits) or its last byte among them (no digit last).
inline __m256i EdgeFlaws(__m256i below) {
    const __m256i firstByte = _mm256_set1_epi64x(0xFF);
    const __m256i edgeBytes = _mm256_set1_epi64x(static_cast<int64_t>(0xFF000000000000FFu));
    return _mm256_and_si256(_mm256_xor_si256(below, firstByte), edgeBytes);
}

// Four A/D fields ending at ends[0..3]: as plain_line's SamplePair.
inline __m256i SampleQuad(const char* line, const int16_t* ends, __m256i* minus, WideFlaws* flaws) {
    const __m256i bytes = LoadQuarters(line + ends[0] - 8, line + ends[1] - 8, line + ends[2] - 8,
                                       line + ends[3] - 8);
    const __m256i digits = DigitsOf(bytes);
    const __m256i isDigit = IsDigit(digits);
    const __m256i below = AtAndBelowLastNonDigit(_mm256_xor_si256(isDigit, Ones()));
    const __m256i start = _mm256_andnot_si256(_mm256_srli_epi64(below, 8), below);
    const __m256i comma = _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(','));
    *minus = _mm256_and_si256(start, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('-')));
    const __m256i signedStart = _mm256_and_si256(*minus, _mm256_slli_epi64(comma, 8));
    const __m256i goodStart = _mm256_or_si256(_mm256_and_si256(start, comma), signedStart);
    flaws->badBytes = _mm256_or_si256(
        flaws->badBytes, _mm256_or_si256(_mm256_andnot_si256(goodStart, start), EdgeFlaws(below)));
    return FourDigitSums(_mm256_andnot_si256(below, digits));
}

// A/D: fields first..first + 7, as plain_line's ReadSampleGroup; a lane of
// ofChannels is set where its field is a channel's, whose saturation counts.
inline void ReadSampleOctet(const char* line, const int16_t* ends, int32_t first,
                            __m256i ofChannels, int16_t* out, WideFlaws* flaws) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i minus[2];
    const __m256i firstQuad = SampleQuad(line, ends + first, &minus[0], flaws);
    const __m256i secondQuad = SampleQuad(line, ends + first + 4, &minus[1], flaws);
    const __m256i minusSums = _mm256_permute4x64_epi64(
        _mm256_packs_epi32(_mm256_sad_epu8(minus[0], zero), _mm256_sad_epu8(minus[1], zero)),
        kInOrder);
    const __m256i sign = _mm256_cmpgt_epi32(minusSums, zero);
    const __m256i values =
        _mm256_sub_epi32(_mm256_xor_si256(OctetValues(firstQuad, secondQuad), sign), sign);
    const __m256i beyond =
        _mm256_or_si256(_mm256_cmpgt_epi32(values, _mm256_set1_epi32(INT16_MAX)),
                        _mm256_cmpgt_epi32(_mm256_set1_epi32(INT16_MIN), values));
    flaws->saturated = _mm256_sub_epi32(flaws->saturated, _mm256_and_si256(beyond, ofChannels));
    // The pack saturates at both 16-bit limits, as the general path does.
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(out + first),
        _mm_packs_epi32(_mm256_castsi256_si128(values), _mm256_extracti128_si256(values, 1)));
}

// The lengths of the fields ending at ends[0..7] (ends[-1] + 1 is the
// first one's start), a 16-bit lane each; fields from valid on, past the
// line's count, repeat the last one.
inline __m128i OctetLengths(const int16_t* ends, int32_t valid) {
    const __m128i lengths =
        _mm_sub_epi16(_mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ends)),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(ends - 1))),
                      _mm_set1_epi16(1));
    if (valid >= kWideFields) return lengths;
    alignas(16) int16_t each[kWideFields];
    _mm_store_si128(reinterpret_cast<__m128i*>(each), lengths);
    for (int32_t k = valid; k < kWideFields; ++k) each[k] = each[valid - 1];
    return _mm_load_si128(reinterpret_cast<const __m128i*>(each));
}

// Four calibrated fields ending at ends[0..3], of lengths (16-bit lanes 0..3
// of lengths): a field's bytes are the last `length` of its quarter, a
// minus and the number; a field longer than a quarter keeps none and is
// flawed. Their bytes less '0', those kept after the minus, which of them
// are digits and where the points are; signs has the sign bit of each
// field with a minus.
struct QuadBytes {
    __m256i digits;
    __m256i kept;
    __m256i isDigit;
    __m256i point;
};

inline QuadBytes TakeQuad(const char* line, const int16_t* ends, __m128i lengths, __m256i* signs) {
    const __m256i bytes = LoadQuarters(line + ends[0] - 8, line + ends[1] - 8, line + ends[2] - 8,
                                       line + ends[3] - 8);
    const __m256i missing = _mm256_sub_epi64(_mm256_set1_epi64x(8), _mm256_cvtepi16_epi64(lengths));
    // A shift by 64 bits or more (no byte, or too many) leaves nothing.
    const __m256i field = _mm256_sllv_epi64(Ones(), _mm256_slli_epi64(missing, 3));
    const __m256i firstByte = _mm256_andnot_si256(_mm256_slli_epi64(field, 8), field);
    const __m256i minus =
        _mm256_and_si256(firstByte, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('-')));
    // A minus byte's sum is 255: its lowest bit becomes the sign bit.
    *signs = _mm256_slli_epi64(_mm256_sad_epu8(minus, _mm256_setzero_si256()), 63);
    QuadBytes quad;
    quad.kept = _mm256_andnot_si256(minus, field);
    quad.digits = DigitsOf(bytes);
    quad.isDigit = IsDigit(quad.digits);
    quad.point =
        _mm256_and_si256(_mm256_cmpeq_epi8(quad.digits, _mm256_set1_epi8('.' - '0')), quad.kept);
    return quad;
}

// The digits of a quad (zero elsewhere), adding its bytes that are neither
// digit nor point, its second points and its fields without a digit to the
// flaws.
inline __m256i QuadDigits(const QuadBytes& quad, __m256i secondPoints, WideFlaws* flaws) {
    const __m256i digitsKept = _mm256_and_si256(quad.isDigit, quad.kept);
    const __m256i bad = _mm256_andnot_si256(_mm256_or_si256(quad.isDigit, quad.point), quad.kept);
    flaws->badBytes = _mm256_or_si256(flaws->badBytes, _mm256_or_si256(bad, secondPoints));
    // A point alone has no digit, nor has a field too long.
    flaws->badBytes =
        _mm256_or_si256(flaws->badBytes, _mm256_cmpeq_epi64(digitsKept, _mm256_setzero_si256()));
    return _mm256_and_si256(quad.digits, digitsKept);
}

// Then as plain_line's CalibratedPair, powers a 64-bit element per field.
inline void CalibratedQuad(const QuadBytes& quad, __m256i* whole, __m256i* fraction,
                           __m256i* powers, WideFlaws* flaws) {
    const __m256i atAndAbove = AtAndAbovePoint(quad.point);
    const __m256i values =
        QuadDigits(quad, _mm256_and_si256(quad.point, _mm256_slli_epi64(atAndAbove, 8)), flaws);
    *whole = FourDigitSums(values);
    *fraction = FourDigitSums(_mm256_and_si256(values, atAndAbove));
    *powers =
        _mm256_sad_epu8(_mm256_and_si256(atAndAbove, _mm256_set1_epi8(1)), _mm256_setzero_si256());
}

// Where the point stands in a line's first value field, when it has one:
// the fields of a line mostly have theirs at the same place from the end.
struct UniformPoint {
    __m256i point;    // its byte in every quarter
    __m256i closing;  // the shuffle that moves each digit before it a byte up
    __m256i powers;   // the bytes from the point on, CalibratedQuad's powers
    bool known;
};

// For each place of the point in a quarter, the shuffle of its 32 bytes:
// the digits after the point stay, those before it close over it.
struct Closings {
    int8_t bytes[kWideFields][32];
};

constexpr Closings MakeClosings() {
    Closings closings{};
    for (int32_t at = 0; at < kWideFields; ++at)
        for (int32_t b = 0; b < 32; ++b) {
            const int32_t inQuarter = b % 8;
            const int32_t quarter = b % 16 - inQuarter;  // within its 128-bit half
            closings.bytes[at][b] = static_cast<int8_t>(inQuarter > at   ? quarter + inQuarter
                                                        : inQuarter == 0 ? -128
                                                                         : quarter + inQuarter - 1);
        }
    return closings;
}

constexpr Closings kClosings = MakeClosings();

// From the first quad's points: known when the first field has one point.
inline UniformPoint UniformPointOf(__m256i points) {
    const __m256i none = _mm256_setzero_si256();
    const uint64_t first = static_cast<uint64_t>(_mm256_extract_epi64(points, 0));
    const int32_t at = first == 0 ? 0 : __builtin_ctzll(first) / 8;
    if (first == 0 || first != uint64_t{0xFF} << (8 * at))
        return UniformPoint{none, none, none, false};
    return UniformPoint{_mm256_set1_epi64x(static_cast<int64_t>(first)),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kClosings.bytes[at])),
                        _mm256_set1_epi64x(kWideFields - at), true};
}

inline bool HasPointAt(const QuadBytes& quad, const UniformPoint& uniform) {
    return _mm256_movemask_epi8(_mm256_cmpeq_epi64(quad.point, uniform.point)) == -1;
}

// A quad whose fields all have their one point where uniform has it: their
// numbers without the point, four digit sums at a time, with the flaws
// CalibratedQuad finds (no field has a second point).
inline __m256i UniformQuad(const QuadBytes& quad, const UniformPoint& uniform, WideFlaws* flaws) {
    const __m256i values = QuadDigits(quad, _mm256_setzero_si256(), flaws);
    return FourDigitSums(_mm256_shuffle_epi8(values, uniform.closing));
}

// Eight calibrated fields before they become values: V + 9F of each (see
// plain_line's CalibratedPair), and CalibratedQuad's powers and signs.
struct OctetNumbers {
    __m256i numbers;
    __m256i powers[2];  // of fields 0..3 and 4..7
    __m256i signs[2];   // of fields 0..3 and 4..7, as TakeQuad gives them
};

// A number with its point closed over is V + F/10^n times 10^n: ten times
// it is V + 9F, as the general quads have it.
inline __m256i TimesTen(__m256i values) {
    return _mm256_add_epi32(_mm256_slli_epi32(values, 3), _mm256_slli_epi32(values, 1));
}

// The bytes of fields first..first + 7 and their signs.
inline void TakeOctet(const char* line, const int16_t* ends, int32_t first, int32_t count,
                      QuadBytes* quads, __m256i* signs) {
    const __m128i lengths = OctetLengths(ends + first, count - first);
    quads[0] = TakeQuad(line, ends + first, lengths, &signs[0]);
    quads[1] = TakeQuad(line, ends + first + 4, _mm_srli_si128(lengths, 8), &signs[1]);
}

// Eight fields whose points all stand where uniform has it: V + 9F of each.
inline __m256i UniformNumbers(const QuadBytes* quads, const UniformPoint& uniform,
                              WideFlaws* flaws) {
    return TimesTen(
        OctetValues(UniformQuad(quads[0], uniform, flaws), UniformQuad(quads[1], uniform, flaws)));
}

inline void ReadCalibratedOctet(const char* line, const int16_t* ends, int32_t first, int32_t count,
                                OctetNumbers* read, WideFlaws* flaws) {
    QuadBytes quads[2];
    TakeOctet(line, ends, first, count, quads, read->signs);
    __m256i whole[2], fraction[2];
    for (int32_t quad = 0; quad < 2; ++quad)
        CalibratedQuad(quads[quad], &whole[quad], &fraction[quad], &read->powers[quad], flaws);
    const __m256i fractions = OctetValues(fraction[0], fraction[1]);
    read->numbers = _mm256_add_epi32(OctetValues(whole[0], whole[1]),
                                     _mm256_add_epi32(_mm256_slli_epi32(fractions, 3), fractions));
}

// Fields 4 * quad .. 4 * quad + 3 of an octet: their numbers as doubles,
// and their powers of ten from table (powersOfTen or tenthPowers).
inline __m256d QuadNumbers(const OctetNumbers& read, int32_t quad) {
    return _mm256_cvtepi32_pd(quad == 0 ? _mm256_castsi256_si128(read.numbers)
                                        : _mm256_extracti128_si256(read.numbers, 1));
}

inline bool AllLanesEqual(__m256i each) {
    const __m256i same = _mm256_cmpeq_epi64(each, _mm256_permute4x64_epi64(each, 0));
    return _mm256_movemask_pd(_mm256_castsi256_pd(same)) == 15;
}

inline __m256d QuadPowers(const double* table, const OctetNumbers& read, int32_t quad) {
    // The fields of a line mostly have the same count of decimals.
    const __m256i each = read.powers[quad];
    if (AllLanesEqual(each)) return _mm256_broadcast_sd(&table[_mm256_cvtsi256_si32(each) & 15]);
    alignas(32) uint64_t powers[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(powers), each);
    return _mm256_set_pd(table[powers[3] & 15], table[powers[2] & 15], table[powers[1] & 15],
                         table[powers[0] & 15]);
}

// As plain_line's ExactNumbers and NearestFloats, eight at a time. The
// sign bit is flipped where the narrow readers multiply by -1 or flip it:
// the same value either way.
inline __m256d Signed(__m256d values, __m256i signs) {
    return _mm256_xor_pd(values, _mm256_castsi256_pd(signs));
}

// Four numbers over their powers of ten (as tables.powersOfTen has them)
// or by their tenth powers (tables.tenthPowers), signed, into out.
inline void StoreQuad(__m256d numbers, __m256d powers, __m256i signs, double* out) {
    _mm256_storeu_pd(out, Signed(_mm256_div_pd(numbers, powers), signs));
}

inline void StoreQuad(__m256d numbers, __m256d powers, __m256i signs, float* out) {
    _mm_storeu_ps(out, _mm256_cvtpd_ps(Signed(_mm256_mul_pd(numbers, powers), signs)));
}

inline const double* PowerTable(const Tables& tables, double*) { return tables.powersOfTen; }
inline const double* PowerTable(const Tables& tables, float*) { return tables.tenthPowers; }

template <class Value>
inline void FinishOctet(const Tables& tables, const OctetNumbers& read, int32_t first, Value* out) {
    for (int32_t quad = 0; quad < 2; ++quad)
        StoreQuad(QuadNumbers(read, quad), QuadPowers(PowerTable(tables, out), read, quad),
                  read.signs[quad], out + first + 4 * quad);
}

// The octets of a line from the first on while all their points stand
// where the first field has its one point: the first octet not read so.
template <class Value>
int32_t ReadUniformOctets(const Tables& tables, const char* line, const int16_t* ends,
                          int32_t count, Value* out, WideFlaws* flaws) {
    QuadBytes quads[2];
    __m256i signs[2];
    TakeOctet(line, ends, 0, count, quads, signs);
    const UniformPoint uniform = UniformPointOf(quads[0].point);
    if (!uniform.known) return 0;
    const __m256d powers =
        _mm256_broadcast_sd(&PowerTable(tables, out)[_mm256_cvtsi256_si32(uniform.powers) & 15]);
    for (int32_t first = 0;;) {
        if (!HasPointAt(quads[0], uniform) || !HasPointAt(quads[1], uniform)) return first;
        const __m256i numbers = UniformNumbers(quads, uniform, flaws);
        StoreQuad(_mm256_cvtepi32_pd(_mm256_castsi256_si128(numbers)), powers, signs[0],
                  out + first);
        StoreQuad(_mm256_cvtepi32_pd(_mm256_extracti128_si256(numbers, 1)), powers, signs[1],
                  out + first + 4);
        first += kWideFields;
        if (first >= count) return first;
        TakeOctet(line, ends, first, count, quads, signs);
    }
}

// The CRs and LFs of from[0..64) as bits, as line_walker's LineEndBits.
uint64_t LineEndBits(const char* from) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    uint64_t bits = 0;
    for (int32_t half = 0; half < 2; ++half) {
        const __m256i bytes =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 32 * half));
        const uint32_t hits = static_cast<uint32_t>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(bytes, cr), _mm256_cmpeq_epi8(bytes, lf))));
        bits |= uint64_t{hits} << (32 * half);
    }
    return bits;
}

// For each byte of comma bits, the places of its set bits (the rest zero)
// and their count.
struct ByteCommas {
    uint8_t places[256][8];
    uint8_t count[256];
};

constexpr ByteCommas MakeByteCommas() {
    ByteCommas table{};
    for (int32_t bits = 0; bits < 256; ++bits) {
        uint8_t count = 0;
        for (int32_t bit = 0; bit < 8; ++bit)
            if (bits >> bit & 1) table.places[bits][count++] = static_cast<uint8_t>(bit);
        table.count[bits] = count;
    }
    return table;
}

constexpr ByteCommas kByteCommas = MakeByteCommas();

// A block of a line: a register's bytes, one bit each in a mask.
constexpr int32_t kBlockBytes = 32;
// Comma bits taken together, and the places written for them at once.
constexpr int32_t kPartBits = 8;
constexpr int32_t kBlockParts = kBlockBytes / kPartBits;

// Lines this long are read in blocks; shorter ones as plain_line reads them,
// which also searches them whole for unusual bytes.
inline bool InBlocks(int32_t length) { return length >= kBlockBytes; }

// The bytes of the block at from that are unusual, as plain_line's
// TakeBlock has them, as bits.
inline uint32_t UnusualBytes(const char* from) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
    // Signed, bytes 0x80 and above are below the blank too.
    const __m256i odd =
        _mm256_or_si256(_mm256_cmpgt_epi8(_mm256_set1_epi8(' '), bytes),
                        _mm256_or_si256(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('"')),
                                        _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8('\''))));
    return static_cast<uint32_t>(_mm256_movemask_epi8(odd));
}

// Whether bytes [0, end) of a line of length bytes (InBlocks) are all plain.
inline bool PlainBefore(const char* line, int32_t length, int32_t end) {
    for (int32_t at = 0; at < end; at += kBlockBytes) {
        const int32_t from = at + kBlockBytes <= length ? at : length - kBlockBytes;
        // Bit k is byte at + k: those before at were checked already.
        uint32_t unusual = UnusualBytes(line + from) >> (at - from);
        if (end - at < kBlockBytes) unusual &= (1u << (end - at)) - 1;
        if (unusual != 0) return false;
    }
    return true;
}

// The commas of the block at line + from, from byte keepFrom of it, as
// positions into out (kBlockBytes + kPartBits long: kPartBits are written
// per part, whatever it holds, which spares a branch per comma): their count.
inline int32_t BlockCommaPositions(const char* line, int32_t from, uint32_t keepFrom,
                                   int16_t* out) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + from));
    const uint32_t commas = static_cast<uint32_t>(_mm256_movemask_epi8(
                                _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(',')))) >>
                            keepFrom << keepFrom;
    __m128i base = _mm_set1_epi16(static_cast<int16_t>(from));
    int32_t count = 0;
    for (int32_t part = 0; part < kBlockParts; ++part) {
        const uint32_t bits = commas >> (kPartBits * part) & 0xFFu;
        const __m128i places = _mm_cvtepu8_epi16(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kByteCommas.places[bits])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + count), _mm_add_epi16(places, base));
        base = _mm_add_epi16(base, _mm_set1_epi16(kPartBits));
        count += kByteCommas.count[bits];
    }
    return count;
}

// Room for the positions of a line's commas: kCommaLimit and what the last
// block may write past it.
constexpr int32_t kPositionsRoom = kCommaLimit + kBlockBytes + kPartBits;
// ends of a line: the one before the first field, its positions and, past
// the fields, an octet's repeats.
constexpr int32_t kEndsRoom = kPositionsRoom + kWideFields;

// As plain_line's PlainCommaPositions, a block at a time for lines InBlocks,
// but without looking for unusual bytes there (see FindOctetEnds); at is
// kPositionsRoom long.
inline int32_t WideCommaPositions(const char* line, int32_t length, int16_t* at) {
    if (!InBlocks(length)) return PlainCommaPositions(line, length, at);
    int32_t count = 0;
    int32_t from = 0;
    for (; from + kBlockBytes <= length && count <= kCommaLimit; from += kBlockBytes)
        count += BlockCommaPositions(line, from, 0, at + count);
    if (from < length && count <= kCommaLimit) {
        const int32_t last = length - kBlockBytes;
        count += BlockCommaPositions(line, last, static_cast<uint32_t>(from - last), at + count);
    }
    return count > kCommaLimit ? kNotPlain : count;
}

// Where a line's value fields end, the last one's end repeated for the
// octet that runs past the count: the count, or kNotPlain. ends is
// kEndsRoom long.
inline int32_t FindOctetEnds(const char* line, int32_t length, int32_t bias, int16_t* ends) {
    const int32_t count = FindValueFields<WideCommaPositions>(line, length, bias, ends);
    if (count == kNotPlain) return kNotPlain;
    // The octets refuse every value field with a byte that is not a digit,
    // a minus first or, calibrated, a point: only the fields before the
    // values are left to look at.
    if (InBlocks(length) && !PlainBefore(line, length, ends[bias] + 1)) return kNotPlain;
    int16_t* const fieldEnds = ends + bias + 1;
    for (int32_t k = 1; k < kWideFields; ++k) fieldEnds[count - 1 + k] = fieldEnds[count - 1];
    return count;
}

template <class Value>
int32_t ReadWideNumbers(const char* line, int32_t length, int32_t bias, Value* values) {
    int16_t ends[kEndsRoom];
    const int32_t count = FindOctetEnds(line, length, bias, ends);
    if (count == kNotPlain) return kNotPlain;
    const Tables& tables = Constants();
    Value spare[kLineValueLimit + kWideFields];
    Value* out = count + kWideFields <= kLineValueLimit ? values : spare;
    WideFlaws flaws = NoFlaws();
    const int16_t* const fieldEnds = ends + bias + 1;
    for (int32_t first = ReadUniformOctets(tables, line, fieldEnds, count, out, &flaws);
         first < count; first += kWideFields) {
        OctetNumbers read;
        ReadCalibratedOctet(line, fieldEnds, first, count, &read, &flaws);
        FinishOctet(tables, read, first, out);
    }
    if (!Plain(flaws)) return kNotPlain;
    if (out != values) std::memcpy(values, out, sizeof(Value) * static_cast<size_t>(count));
    return count;
}

}  // namespace

namespace wide_line {

int32_t ReadSamples(const char* line, int32_t length, int32_t bias, int32_t counted,
                    int16_t* values, FieldFlaws* flaws) {
    int16_t ends[kEndsRoom];
    const int32_t count = FindOctetEnds(line, length, bias, ends);
    if (count == kNotPlain) return kNotPlain;
    int16_t spare[kLineValueLimit + kWideFields];
    int16_t* out = count + kWideFields <= kLineValueLimit ? values : spare;
    const int32_t channels = ChannelValues(count, counted);
    const __m256i channelCount = _mm256_set1_epi32(channels);
    __m256i fields = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    WideFlaws wide = NoFlaws();
    for (int32_t first = 0; first < count; first += kWideFields) {
        ReadSampleOctet(line, ends + bias + 1, first, _mm256_cmpgt_epi32(channelCount, fields), out,
                        &wide);
        fields = _mm256_add_epi32(fields, _mm256_set1_epi32(kWideFields));
    }
    if (!Plain(wide)) return kNotPlain;
    if (out != values) std::memcpy(values, out, sizeof(int16_t) * static_cast<size_t>(count));
    flaws->saturated += LaneSum(wide.saturated);
    flaws->numbers += static_cast<uint32_t>(channels);
    return count;
}

int32_t ScaleQuads(const QuadScale& given, const float* values, int16_t* samples,
                   uint32_t* beyond) {
    // A copy the stores below cannot reach: its fields stay in registers.
    const QuadScale scale = given;
    const __m128i negate = _mm_set1_epi32(scale.negate ? -1 : 0);
    __m256i tally = _mm256_setzero_si256();
    int32_t c = 0;
    for (; c + 4 <= scale.channels; c += 4) {
        const __m256d products = _mm256_mul_pd(_mm256_loadu_pd(scale.numerators + c),
                                               _mm256_cvtps_pd(_mm_loadu_ps(values + c)));
        __m256d counts = _mm256_div_pd(products, _mm256_loadu_pd(scale.denominators + c));
        counts = _mm256_and_pd(counts, _mm256_cmp_pd(counts, counts, _CMP_ORD_Q));
        counts =
            _mm256_and_pd(counts, _mm256_loadu_pd(reinterpret_cast<const double*>(scale.kept + c)));
        const __m256d outside =
            _mm256_or_pd(_mm256_cmp_pd(counts, _mm256_set1_pd(32768.0), _CMP_GE_OQ),
                         _mm256_cmp_pd(counts, _mm256_set1_pd(-32768.0), _CMP_LE_OQ));
        const __m256i tallied =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(scale.tallied + c));
        tally = _mm256_sub_epi64(tally, _mm256_and_si256(_mm256_castpd_si256(outside), tallied));
        const __m256d within =
            _mm256_min_pd(_mm256_max_pd(counts, _mm256_set1_pd(-32767.0)), _mm256_set1_pd(32767.0));
        const __m128i whole = _mm256_cvttpd_epi32(within);
        const __m128i signedWhole = _mm_sub_epi32(_mm_xor_si128(whole, negate), negate);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + c),
                         _mm_packs_epi32(signedWhole, signedWhole));
    }
    const __m128i pairs =
        _mm_add_epi64(_mm256_castsi256_si128(tally), _mm256_extracti128_si256(tally, 1));
    *beyond += static_cast<uint32_t>(
        _mm_cvtsi128_si64(_mm_add_epi64(pairs, _mm_unpackhi_epi64(pairs, pairs))));
    return c;
}

uint32_t FindWholeLines(const char* text, int32_t at, int32_t end, LineSpan* spans, uint32_t most) {
    return line_ends::FindWholeLinesWith<LineEndBits>(text, at, end, spans, most);
}

int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, double* values) {
    return ReadWideNumbers(line, length, bias, values);
}

int32_t ReadNumbers(const char* line, int32_t length, int32_t bias, float* values) {
    return ReadWideNumbers(line, length, bias, values);
}

}  // namespace wide_line

#endif
