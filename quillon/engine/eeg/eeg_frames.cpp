// Source lines to frames: the hot path of an EEG run. It allocates nothing:
// the record's read buffer holds one read, the step block the frames.
#include <cstring>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "source/field_reader.h"
#include "source/line_rows.h"
#include "source/sample_pairs.h"
#include "source/wide_vectors.h"

namespace {

// What turning one line into a frame needs, fixed for a step.
struct FrameMaker {
    int32_t channels;
    int32_t valueKind;  // SourceValueKind
    bool inverted;
    bool firstStepEvents;
    uint32_t frameWords;
    // Calibrated sources: per channel, whether the row scales its values,
    // and the row's scale.
    bool scaled[kPatternRowCount];
    uint64_t scaledBits[kPatternRowCount];  // all ones where scaled
    // The row's float scale, as doubles: exact.
    double numerator[kPatternRowCount];
    double denominator[kPatternRowCount];
};

void SetUpMaker(const AppRecord* record, FrameMaker* maker) {
    maker->channels = record->ChannelCount;
    maker->valueKind = record->OrgCalDataType;
    maker->inverted = record->PolarityCopy != 0;
    maker->firstStepEvents = record->CopyFileType == kOutputEegFiling32 && record->FramesDone == 0;
    maker->frameWords = static_cast<uint32_t>(record->ChannelCount) + 1u;
    const MontagePattern* pattern = CurrentEegSlot(const_cast<AppRecord*>(record));
    for (int32_t c = 0; c < maker->channels; ++c) {
        const EegMontageRow* row = pattern != nullptr ? &pattern->EegRows[c] : nullptr;
        uint16_t source = row != nullptr ? row->SOURCE : kTraceUnused;
        // A row without a sensitivity has no scale: it stores 0 like an unused one.
        maker->scaled[c] = IsWrittenKind(source) && row->ScaleDenominator != 0.0f;
        maker->scaledBits[c] = maker->scaled[c] ? ~uint64_t{0} : 0;
        maker->numerator[c] = row != nullptr ? row->ScaleNumerator : 0.0f;
        maker->denominator[c] = row != nullptr ? row->ScaleDenominator : 0.0f;
    }
}

// The first step's frames 1, 2 and 3 from the data start carry the marks,
// data frames and zero frames alike.
void MarkFirstFrames(const FrameMaker& maker, uint32_t made, uint16_t* frames) {
    static const uint16_t kMarks[] = {kEventFirst, kEventSecond, kEventThird};
    if (!maker.firstStepEvents) return;
    for (uint32_t k = 1; k <= 3 && k < made; ++k)
        frames[size_t{k} * maker.frameWords] = kMarks[k - 1];
}

int16_t ScaledSample(double numerator, float value, double denominator, uint32_t* saturated) {
    const double v = numerator * static_cast<double>(value) / denominator;
    if (v >= 32768.0) return ++*saturated, 32767;
    if (v <= -32768.0) return ++*saturated, -32767;
    if (!(v == v)) return 0;
    return static_cast<int16_t>(v);  // toward zero
}

// Calibrated channels from first on into samples.
void Scale(const FrameMaker& maker, int32_t first, const float* values, int16_t* samples,
           uint32_t* saturated) {
    for (int32_t c = first; c < maker.channels; ++c) {
        int16_t v = maker.scaled[c] ? ScaledSample(maker.numerator[c], values[c],
                                                   maker.denominator[c], saturated)
                                    : 0;
        samples[c] = maker.inverted ? static_cast<int16_t>(-v) : v;
    }
}

// Scale four channels at a time, then two, while they last: the same double
// operations in the same order, so the same samples, with a fraction of the
// divisions' cost. The first channel left.
int32_t ScalePairs(const FrameMaker& maker, const float* values, int16_t* samples,
                   uint32_t* saturated) {
    // Channels not scaled count as 0, so they are never beyond.
    const QuadScale quads{maker.numerator,  maker.denominator, maker.scaledBits,
                          maker.scaledBits, maker.channels,    maker.inverted};
    int32_t c = ScaleCalibratedQuads(quads, values, samples, saturated);
#if defined(QUILLON_PAIRS_SCALED)
    using namespace sample_pairs;
    const __m128i negate = _mm_set1_epi32(maker.inverted ? -1 : 0);
    for (; c + 2 <= maker.channels; c += 2) {
        const __m128d v = ScaledPair(_mm_loadu_pd(maker.numerator + c), values + c,
                                     _mm_loadu_pd(maker.denominator + c));
        // The channels not scaled count as 0.
        const __m128d counts = _mm_and_pd(
            v, _mm_castsi128_pd(
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(maker.scaledBits + c))));
        const uint32_t beyond = BeyondBits(counts);
        *saturated += (beyond & 1u) + (beyond >> 1);
        StorePair(counts, negate, samples + c);
    }
#else
    (void)maker, (void)values, (void)samples, (void)saturated;
#endif
    return c;
}

// The frame of one line, made when it is a data line.
RowVerdict MakeFrame(const AppRecord* record, const FrameMaker& maker, const SourceLine& line,
                     uint16_t* frame, FieldFlaws* flaws) {
    int16_t* samples = reinterpret_cast<int16_t*>(frame + 1);
    if (maker.valueKind == kAdValues) {
        int16_t values[kLineValueLimit];
        const int32_t count = ReadIntegerLine(record, line.text, line.length, values, flaws);
        const RowVerdict verdict = ValuesVerdict(count, maker.channels, *flaws);
        if (verdict != kRowData) return verdict;
        frame[0] = 0;
        if (maker.inverted)
            for (int32_t c = 0; c < maker.channels; ++c) {
                // -(-32768) has no 16-bit value: the nearest is 32767.
                const int32_t v = -int32_t{values[c]};
                flaws->saturated += v > INT16_MAX;
                samples[c] = static_cast<int16_t>(v > INT16_MAX ? INT16_MAX : v);
            }
        else
            std::memcpy(samples, values, static_cast<size_t>(maker.channels) * sizeof(int16_t));
        return kRowData;
    }
    if (maker.valueKind != kCalibratedValues) return kRowShort;
    float values[kLineValueLimit];
    const int32_t count = ReadFloatLine(record, line.text, line.length, values, flaws);
    const RowVerdict verdict = ValuesVerdict(count, maker.channels, *flaws);
    if (verdict != kRowData) return verdict;
    frame[0] = 0;
    const int32_t done = ScalePairs(maker, values, samples, &flaws->saturated);
    Scale(maker, done, values, samples, &flaws->saturated);
    return kRowData;
}

// In the step where the source ends, the block behind the last frame: an
// end mark and zero frames (never written: the wave ends at its last frame).
void FillAfterLastFrame(const FrameMaker& maker, uint32_t wanted, uint32_t made, uint16_t* frames) {
    if (made == 0 || made >= wanted) return;
    std::memset(frames + size_t{made} * maker.frameWords, 0,
                size_t{wanted - made} * maker.frameWords * sizeof(uint16_t));
    frames[size_t{made} * maker.frameWords] = kEventEnd;
}

}  // namespace

extern "C" uint32_t ReadFrames(AppRecord* record, uint32_t wanted, void* block) {
    if (record == nullptr || record->ReadBuffer == nullptr || block == nullptr ||
        record->ChannelCount < 0 || record->ChannelCount > kEegMaxChannels)
        return 0;
    FrameMaker maker;
    SetUpMaker(record, &maker);
    uint16_t* const frames = static_cast<uint16_t*>(block);
    const size_t frameBytes = maker.frameWords * sizeof(uint16_t);
    const LineRows rows = ReadLineRows(
        record, wanted, static_cast<char*>(block), frameBytes,
        [&](const SourceLine& line, uint32_t, char* row, FieldFlaws* flaws) {
            return MakeFrame(record, maker, line, reinterpret_cast<uint16_t*>(row), flaws);
        },
        [](const NonDataRun&) {}, line_rows::SplitsRows(maker.valueKind));
    if (rows.failed) return 0;
    MarkFirstFrames(maker, rows.made, frames);
    FillAfterLastFrame(maker, wanted, rows.made, frames);
    record->FramesDone += rows.made;
    return rows.made;
}
