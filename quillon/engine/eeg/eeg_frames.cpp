// Source lines to frames: the hot path of an EEG run. It allocates nothing:
// the record's read buffer holds one read, the step block the frames.
#include <cstring>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "source/field_reader.h"
#include "source/line_walker.h"
#include "source/source_lines.h"

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
    float numerator[kPatternRowCount];
    float denominator[kPatternRowCount];
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
        maker->numerator[c] = row != nullptr ? row->ScaleNumerator : 0.0f;
        maker->denominator[c] = row != nullptr ? row->ScaleDenominator : 0.0f;
    }
}

uint16_t EventWord(const FrameMaker& maker, uint32_t linesBefore) {
    if (!maker.firstStepEvents) return 0;
    switch (linesBefore) {
        case 1: return kEventFirst;
        case 2: return kEventSecond;
        case 3: return kEventThird;
        default: return 0;
    }
}

int16_t ScaledSample(double numerator, float value, double denominator, uint32_t* saturated) {
    const double v = numerator * static_cast<double>(value) / denominator;
    if (v >= 32768.0) return ++*saturated, 32767;
    if (v <= -32768.0) return ++*saturated, -32767;
    if (!(v == v)) return 0;
    return static_cast<int16_t>(v);  // toward zero
}

// Appends the frame of one line to frame when it is a data line.
bool MakeFrame(const AppRecord* record, const FrameMaker& maker, const char* line,
               uint32_t linesBefore, uint16_t* frame, FieldFlaws* flaws) {
    int16_t* samples = reinterpret_cast<int16_t*>(frame + 1);
    if (maker.valueKind == kAdValues) {
        int16_t values[kLineValueLimit];
        if (ReadIntegerFieldsCounted(record, line, values, flaws) < maker.channels) return false;
        frame[0] = EventWord(maker, linesBefore);
        if (maker.inverted)
            for (int32_t c = 0; c < maker.channels; ++c) {
                // -(-32768) has no 16-bit value: the nearest is 32767.
                const int32_t v = -int32_t{values[c]};
                flaws->saturated += v > INT16_MAX;
                samples[c] = static_cast<int16_t>(v > INT16_MAX ? INT16_MAX : v);
            }
        else
            std::memcpy(samples, values, static_cast<size_t>(maker.channels) * sizeof(int16_t));
        return true;
    }
    if (maker.valueKind != kCalibratedValues) return false;
    float values[kLineValueLimit];
    if (ReadFloatFieldsCounted(record, line, values, flaws) < maker.channels) return false;
    frame[0] = EventWord(maker, linesBefore);
    for (int32_t c = 0; c < maker.channels; ++c) {
        int16_t v = maker.scaled[c] ? ScaledSample(maker.numerator[c], values[c],
                                                   maker.denominator[c], &flaws->saturated)
                                    : 0;
        samples[c] = maker.inverted ? static_cast<int16_t>(-v) : v;
    }
    return true;
}

// Frames of non-data lines: zero frames, and in the step where the source
// ends the end mark after the last data frame.
void FillAfterDataFrames(const FrameMaker& maker, uint32_t wanted, uint32_t lines,
                         uint32_t dataFrames, uint16_t* frames) {
    const bool sourceEnded = lines > 0 && lines < wanted;
    const uint32_t filled = sourceEnded ? wanted : lines;
    if (filled > dataFrames)
        std::memset(frames + size_t{dataFrames} * maker.frameWords, 0,
                    size_t{filled - dataFrames} * maker.frameWords * sizeof(uint16_t));
    if (sourceEnded) frames[size_t{dataFrames} * maker.frameWords] = kEventEnd;
}

}  // namespace

extern "C" uint32_t ReadFrames(AppRecord* record, uint32_t wanted, void* block) {
    if (record == nullptr || record->ReadBuffer == nullptr || block == nullptr ||
        record->ChannelCount < 0 || record->ChannelCount > kEegMaxChannels)
        return 0;
    FrameMaker maker;
    SetUpMaker(record, &maker);
    uint16_t* const frames = static_cast<uint16_t*>(block);
    ConversionTally step{};
    FieldFlaws flaws{};
    uint32_t lines = 0;
    uint32_t dataFrames = 0;
    SourceLines source;
    OpenSourceLines(record, &source);
    SourceLine line;
    SourceLineStep found = kSourceLineFound;
    while (lines < wanted && (found = NextSourceLine(&source, &line)) == kSourceLineFound) {
        // A line that gives no frame stores nothing: its values are not counted.
        FieldFlaws lineFlaws{};
        if (MakeFrame(record, maker, line.text, lines,
                      frames + size_t{dataFrames} * maker.frameWords, &lineFlaws)) {
            ++dataFrames;
            flaws.saturated += lineFlaws.saturated;
            flaws.notNumbers += lineFlaws.notNumbers;
        } else {
            TallyNonDataLine(line.text, line.length, &step);
        }
        ++lines;
    }
    step.DataRows = dataFrames;
    step.SaturatedValues = flaws.saturated;
    step.NotNumbers = flaws.notNumbers;
    CloseSourceLines(&source, found, step);
    if (found == kSourceReadFailed) return 0;
    FillAfterDataFrames(maker, wanted, lines, dataFrames, frames);
    record->FramesDone += lines;
    return lines;
}
