// Source lines to the epoch's sample rows: the hot path of a PSG run. It
// allocates nothing: the record's read buffer holds one read, the caller's
// buffer the rows.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "bramwick.h"
#include "store/engine_trace.h"
#include "ostrel.h"
#include "source/field_reader.h"
#include "source/line_rows.h"
#include "source/step_blocks.h"
#include "source/sample_pairs.h"
#include "source/wide_vectors.h"
#include "psg_internal.h"

namespace {

constexpr int32_t kSampleMax = 32767;

enum class TraceKind { kNormal, kTimeResolution };

// What turning a line into a row needs, fixed for one call. The per-sample
// loops have no branches, so that the compiler can vectorise them.
struct RowMaker {
    int32_t channels;
    int32_t valueKind;  // SourceValueKind
    bool traced;        // calibrated values with the trace on
    TraceKind traceKind;
    int32_t sign;
    bool on[kPatternRowCount];
    uint32_t onMask[kPatternRowCount];  // 1 for a channel that is on: its clamps are counted
    uint64_t onBits[kPatternRowCount];  // the same, all ones
    // MAG x sign, limited to +-32768: any larger factor clamps every
    // non-zero value just the same, and the product stays in 32 bits.
    int32_t adFactor[kPatternRowCount];
    // The same in 16 bits, and all-ones for a channel that is on, when
    // every factor fits (all but a factor of 32768).
    bool narrowFactors;
    bool unitFactors;  // every factor 1: a value is its own sample
    int16_t adFactor16[kPatternRowCount];
    int16_t onMask16[kPatternRowCount];
    // VU x MAG and EU; 0 and 1 for a channel that is off, which stores 0.
    double numerator[kPatternRowCount];
    double eu[kPatternRowCount];
};

void SetUpMaker(const AppRecord* record, TraceKind traceKind, RowMaker* maker) {
    const MontagePattern* pattern = CurrentPsgSlot(const_cast<AppRecord*>(record));
    maker->channels = record->ChannelCount;
    maker->valueKind = record->OrgCalDataType;
    maker->traced = maker->valueKind == kCalibratedValues && EngineTraceEnabled() != 0;
    maker->traceKind = traceKind;
    maker->sign = record->PolarityCopy != 0 ? -1 : 1;
    maker->narrowFactors = true;
    maker->unitFactors = true;
    for (int32_t c = 0; c < maker->channels; ++c) {
        const PsgChannelRow& row = pattern->PsgRows[c];
        const int32_t magnification = psg::Magnification(row);
        const int64_t factor = int64_t{magnification} * maker->sign;
        maker->on[c] = psg::RowOn(row);
        maker->onMask[c] = maker->on[c] ? 1u : 0u;
        maker->onBits[c] = maker->on[c] ? ~uint64_t{0} : 0;
        maker->adFactor[c] = static_cast<int32_t>(std::clamp<int64_t>(factor, -32768, 32768));
        maker->narrowFactors = maker->narrowFactors && maker->adFactor[c] <= INT16_MAX;
        maker->unitFactors = maker->unitFactors && maker->adFactor[c] == 1;
        maker->adFactor16[c] = static_cast<int16_t>(std::min(maker->adFactor[c], INT16_MAX));
        maker->onMask16[c] = maker->on[c] ? -1 : 0;
        maker->numerator[c] = maker->on[c] ? static_cast<double>(row.VU) * magnification : 0.0;
        maker->eu[c] = maker->on[c] ? row.EU : 1.0;
    }
}

// VU x MAG x value / EU; NaN (an EU or VU of 0, which the start refuses,
// met after a change during the run) counts as 0.
double Counts(const RowMaker& maker, int32_t c, float value) {
    const double v = maker.numerator[c] * static_cast<double>(value) / maker.eu[c];
    return v == v ? v : 0.0;
}

// Toward zero and within +-32767: values of 32768 and more become 32767,
// of -32768 and less -32767.
int16_t Sample(double counts) {
    return static_cast<int16_t>(static_cast<int32_t>(std::clamp(counts, -32767.0, 32767.0)));
}

// Stored at -32767 or 32767 although the value scales beyond them.
uint32_t Clamped(double counts) { return (counts >= 32768.0) | (counts <= -32768.0); }

// A value the reader already stored at a 16-bit limit, and counted as beyond
// the 16-bit range, is not counted again when it is also clipped.
uint32_t NewlyClipped(uint32_t clipped, uint32_t clippedAtLimit, uint32_t readerSaturated) {
    return clipped - std::min(clippedAtLimit, readerSaturated);
}

int32_t TracedInt(double counts) {
    if (counts > 2147483647.0) return 2147483647;
    if (counts < -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(counts);
}

// The traced form of the calibrated loop: each value and its sample before
// clamping.
uint32_t TracedCalibratedRow(const RowMaker& maker, const float* values, int16_t* row) {
    uint32_t clipped = 0;
    for (int32_t c = 0; c < maker.channels; ++c) {
        const double counts = Counts(maker, c, values[c]);
        clipped += Clamped(counts) & maker.onMask[c];
        row[c] = static_cast<int16_t>(Sample(counts) * maker.sign);
        if (!maker.on[c]) continue;
        char text[96];
        const int32_t before = TracedInt(std::trunc(counts));
        if (maker.traceKind == TraceKind::kNormal)
            std::snprintf(text, sizeof text, "Val = %f  %i ", static_cast<double>(values[c]),
                          before);
        else
            std::snprintf(text, sizeof text, "D%i =  %i    %3.3f", c, before,
                          static_cast<double>(values[c]));
        BramwickTrace(text);
    }
    return clipped;
}

// A/D channels from first on: value x factor, clamped to +-32767; clamps of
// channels that are on counted, and of those the values the reader stored
// at a 16-bit limit.
void ScaleAd(const RowMaker& maker, int32_t first, const int16_t* values, int16_t* row,
             uint32_t* clamped, uint32_t* atLimit) {
    for (int32_t c = first; c < maker.channels; ++c) {
        const int32_t product = int32_t{values[c]} * maker.adFactor[c];
        const uint32_t out = ((product > kSampleMax) | (product < -kSampleMax)) & maker.onMask[c];
        *clamped += out;
        *atLimit += out & ((values[c] == INT16_MIN) | (values[c] == INT16_MAX));
        row[c] = static_cast<int16_t>(std::clamp(product, -kSampleMax, kSampleMax));
    }
}

#if defined(__SSE2__)
// Two eights' clamps (16-bit lanes, all-ones) into their counts.
void CountClamps(__m128i clamps, __m128i atLimit, uint32_t* clamped, uint32_t* clampedAtLimit) {
    const uint32_t bits = static_cast<uint32_t>(_mm_movemask_epi8(clamps));
    if (bits == 0) return;
    const uint32_t limitBits = static_cast<uint32_t>(_mm_movemask_epi8(atLimit));
    // Each lane gives two bits.
    for (uint32_t lane = 0; lane < 16; lane += 2) {
        *clamped += bits >> lane & 1u;
        *clampedAtLimit += limitBits >> lane & 1u;
    }
}
#endif

#if defined(__SSE2__)
// ScaleEightsAd when every factor is 1: only -32768 lies beyond, and it is
// at a 16-bit limit.
int32_t CopyEightsAd(const RowMaker& maker, const int16_t* values, int16_t* row, uint32_t* clamped,
                     uint32_t* atLimit) {
    int32_t c = 0;
    for (; c + 8 <= maker.channels; c += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + c));
        const __m128i out =
            _mm_and_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(INT16_MIN)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(maker.onMask16 + c)));
        CountClamps(out, out, clamped, atLimit);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + c),
                         _mm_max_epi16(v, _mm_set1_epi16(static_cast<int16_t>(-kSampleMax))));
    }
    return c;
}
#endif

// ScaleAd eight channels at a time while they last and the factors fit 16
// bits: the first channel left.
int32_t ScaleEightsAd(const RowMaker& maker, const int16_t* values, int16_t* row, uint32_t* clamped,
                      uint32_t* atLimit) {
    int32_t c = 0;
#if defined(__SSE2__)
    if (maker.unitFactors) return CopyEightsAd(maker, values, row, clamped, atLimit);
    if (!maker.narrowFactors) return 0;
    const __m128i high = _mm_set1_epi32(kSampleMax);
    const __m128i low = _mm_set1_epi32(-kSampleMax);
    for (; c + 8 <= maker.channels; c += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values + c));
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(maker.adFactor16 + c));
        const __m128i lo = _mm_mullo_epi16(v, f);
        const __m128i hi = _mm_mulhi_epi16(v, f);
        const __m128i first = _mm_unpacklo_epi16(lo, hi);
        const __m128i second = _mm_unpackhi_epi16(lo, hi);
        const __m128i beyond = _mm_packs_epi32(
            _mm_or_si128(_mm_cmpgt_epi32(first, high), _mm_cmplt_epi32(first, low)),
            _mm_or_si128(_mm_cmpgt_epi32(second, high), _mm_cmplt_epi32(second, low)));
        const __m128i out = _mm_and_si128(
            beyond, _mm_loadu_si128(reinterpret_cast<const __m128i*>(maker.onMask16 + c)));
        const __m128i atEdge = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(INT16_MIN)),
                                            _mm_cmpeq_epi16(v, _mm_set1_epi16(INT16_MAX)));
        CountClamps(out, _mm_and_si128(out, atEdge), clamped, atLimit);
        // The pack saturates at the 16-bit limits; -32768 becomes -32767.
        const __m128i samples = _mm_max_epi16(_mm_packs_epi32(first, second),
                                              _mm_set1_epi16(static_cast<int16_t>(-kSampleMax)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + c), samples);
    }
#else
    (void)maker, (void)values, (void)row, (void)clamped, (void)atLimit;
#endif
    return c;
}

// Calibrated channels from first on: VU x MAG x value / EU, toward zero
// within +-32767, times the sign; the clamps of channels that are on counted.
void ScaleCalibrated(const RowMaker& maker, int32_t first, const float* values, int16_t* row,
                     uint32_t* clamped) {
    for (int32_t c = first; c < maker.channels; ++c) {
        const double counts = Counts(maker, c, values[c]);
        *clamped += Clamped(counts) & maker.onMask[c];
        row[c] = static_cast<int16_t>(Sample(counts) * maker.sign);
    }
}

// ScaleCalibrated four channels at a time, then two, while they last: the
// same double operations in the same order, so the same results, with a
// fraction of the divisions' cost. The first channel left.
int32_t ScalePairsCalibrated(const RowMaker& maker, const float* values, int16_t* row,
                             uint32_t* clamped) {
    // A channel that is off has VU x MAG 0: it stores 0 kept or not.
    const QuadScale quads{maker.numerator, maker.eu,       maker.onBits,
                          maker.onBits,    maker.channels, maker.sign < 0};
    int32_t c = ScaleCalibratedQuads(quads, values, row, clamped);
#if defined(QUILLON_PAIRS_SCALED)
    using namespace sample_pairs;
    const __m128i negate = _mm_set1_epi32(maker.sign < 0 ? -1 : 0);
    for (; c + 2 <= maker.channels; c += 2) {
        const __m128d counts =
            ScaledPair(_mm_loadu_pd(maker.numerator + c), values + c, _mm_loadu_pd(maker.eu + c));
        const uint32_t beyond = BeyondBits(counts);
        *clamped += (beyond & 1u & maker.onMask[c]) + (beyond >> 1 & maker.onMask[c + 1]);
        StorePair(counts, negate, row + c);
    }
#else
    (void)maker, (void)values, (void)row, (void)clamped;
#endif
    return c;
}

// One line into one row when it is a data line. flaws (fresh for the line)
// gets the reader's flaws and, in clipped, the values stored at the file's
// digital limits.
RowVerdict MakeRow(const AppRecord* record, const RowMaker& maker, const SourceLine& line,
                   bool traceLine, int16_t* row, FieldFlaws* flaws) {
    if (traceLine) BramwickTrace(line.text);
    if (maker.valueKind == kAdValues) {
        int16_t values[kLineValueLimit];
        const int32_t count = ReadIntegerLine(record, line.text, line.length, values, flaws);
        const RowVerdict verdict = ValuesVerdict(count, maker.channels, *flaws);
        if (verdict != kRowData) return verdict;
        uint32_t clamped = 0;
        uint32_t atLimit = 0;
        const int32_t done = ScaleEightsAd(maker, values, row, &clamped, &atLimit);
        ScaleAd(maker, done, values, row, &clamped, &atLimit);
        flaws->clipped += NewlyClipped(clamped, atLimit, flaws->saturated);
        return kRowData;
    }
    if (maker.valueKind != kCalibratedValues) return kRowShort;
    float values[kLineValueLimit];
    const int32_t count = ReadFloatLine(record, line.text, line.length, values, flaws);
    const RowVerdict verdict = ValuesVerdict(count, maker.channels, *flaws);
    if (verdict != kRowData) return verdict;
    uint32_t clamped = 0;
    if (traceLine) {
        clamped = TracedCalibratedRow(maker, values, row);
    } else {
        const int32_t done = ScalePairsCalibrated(maker, values, row, &clamped);
        ScaleCalibrated(maker, done, values, row, &clamped);
    }
    // A value beyond the float range was counted by the reader; it is clipped too.
    flaws->clipped += NewlyClipped(clamped, clamped, flaws->saturated);
    return kRowData;
}

// A run of non-data lines becomes an annotation at the time of its first
// zero row, so the recording says where its zeros stand for no data.
void AnnotateNonDataRun(AppRecord* record, const NonDataRun& run) {
    // With the time resolution on, a source line stands for a millisecond.
    const int64_t rowsPerSecond = record->OrgTimeResSw != 0 ? 1000 : record->SampleRate;
    if (record->OutputFile == 0 || rowsPerSecond <= 0) return;
    // The last epoch may still be going to Ostrel: its notes come first.
    step_blocks::Await(record);
    char text[96];
    std::snprintf(text, sizeof text, "source lines %llu-%llu not data",
                  static_cast<unsigned long long>(run.firstLine),
                  static_cast<unsigned long long>(run.lastLine));
    const int64_t onsetUs = static_cast<int64_t>(run.firstRow) * 1000000 / rowsPerSecond;
    if (OstrelAddAnnotation(record->OutputFile, static_cast<int32_t>(onsetUs / 1000000),
                            static_cast<int32_t>(onsetUs % 1000000), text) == 0)
        ++record->Tally.UnnotedRuns;
}

uint32_t ReadRows(AppRecord* record, uint32_t wanted, void* rows, size_t rowsBytes,
                  TraceKind traceKind) {
    if (record == nullptr || record->ReadBuffer == nullptr || record->SampleBlock == nullptr ||
        rows == nullptr || CurrentPsgSlot(record) == nullptr || record->ChannelCount < 1 ||
        record->ChannelCount > kPatternRowCount)
        return 0;
    const size_t rowBytes = static_cast<size_t>(record->ChannelCount) * sizeof(int16_t);
    if (wanted > rowsBytes / rowBytes) wanted = static_cast<uint32_t>(rowsBytes / rowBytes);

    RowMaker maker;
    SetUpMaker(record, traceKind, &maker);
    char* const out = static_cast<char*>(rows);
    // Lines may be made on two threads; the trace keeps them on one, in order.
    const LineRows made = ReadLineRows(
        record, wanted, out, rowBytes,
        [&](const SourceLine& line, uint32_t slot, char* row, FieldFlaws* flaws) {
            const bool traceLine = maker.traced && (traceKind == TraceKind::kTimeResolution ||
                                                    slot < uint32_t{kPsgTracedLinesPerCall});
            return MakeRow(record, maker, line, traceLine, reinterpret_cast<int16_t*>(row), flaws);
        },
        [record](const NonDataRun& run) { AnnotateNonDataRun(record, run); },
        !maker.traced && line_rows::SplitsRows(maker.valueKind));
    if (made.failed) return 0;
    // The last epoch, which the source does not fill, ends with zero rows.
    if (made.made > 0 && made.made < wanted)
        std::memset(out + made.made * rowBytes, 0, (wanted - made.made) * rowBytes);
    return made.made;
}

}  // namespace

extern "C" uint32_t ReadPsgRows(AppRecord* record, uint32_t wanted, void* rows, size_t rowsBytes) {
    return ReadRows(record, wanted, rows, rowsBytes, TraceKind::kNormal);
}

extern "C" uint32_t ReadPsgRowsTimeResolution(AppRecord* record, uint32_t wanted, void* rows,
                                              size_t rowsBytes) {
    return ReadRows(record, wanted, rows, rowsBytes, TraceKind::kTimeResolution);
}
