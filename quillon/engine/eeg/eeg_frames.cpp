// Source lines to frames: the hot path of an EEG run. It allocates nothing:
// the record's read buffer holds one read, the step block the frames.
#include <cstring>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "source/field_reader.h"
#include "source/line_walker.h"
#include "platform.h"

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

// Reads up to kSourceReadBytes at offset; the count read, 0 at the end, -1
// on failure. A count below the request means the source ends in it.
int32_t ReadAt(PlatFile file, int64_t offset, char* buffer) {
    if (file == nullptr || PlatFileSeek(file, offset) != offset) return -1;
    int32_t total = 0;
    while (total < kSourceReadBytes) {
        int32_t got = PlatFileRead(file, buffer + total, kSourceReadBytes - total);
        if (got < 0) return total > 0 ? total : -1;
        if (got == 0) break;
        total += got;
    }
    return total;
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
    static_assert(kReadBufferBytes > static_cast<uint32_t>(kSourceReadBytes), "room for a zero");
    FrameMaker maker;
    SetUpMaker(record, &maker);
    char* const buffer = static_cast<char*>(record->ReadBuffer);
    uint16_t* const frames = static_cast<uint16_t*>(block);
    ConversionTally& tally = record->Tally;
    FieldFlaws flaws{};
    uint32_t lines = 0;
    uint32_t dataFrames = 0;
    int64_t readOffset = record->SourceOffset;

    while (lines < wanted) {
        const int32_t got = ReadAt(record->SourceFile, readOffset, buffer);
        if (got <= 0) break;
        const bool sourceEndsHere = got < kSourceReadBytes;
        buffer[got] = '\0';
        int32_t at = 0;
        while (lines < wanted && at < got) {
            LineSpan span;
            const LineFind found = FindLine(buffer, at, got, sourceEndsHere, &span);
            if (found == kLineCut) break;  // read again from the line's start
            at = span.next;
            if (found == kLineNone) continue;
            if (found == kLineOverLong) {
                ++tally.OverLongLines;  // its first bytes are no line, the rest is read on
                continue;
            }
            char* const line = buffer + span.start;
            line[span.length] = '\0';
            // A line that gives no frame stores nothing: its values are not counted.
            FieldFlaws lineFlaws{};
            if (MakeFrame(record, maker, line, lines,
                          frames + size_t{dataFrames} * maker.frameWords, &lineFlaws)) {
                ++dataFrames;
                flaws.saturated += lineFlaws.saturated;
                flaws.notNumbers += lineFlaws.notNumbers;
            } else {
                TallyNonDataLine(line, span.length, &tally);
            }
            ++lines;
        }
        readOffset += at;
        if (at == 0 || sourceEndsHere) break;
    }
    record->SourceOffset = readOffset;
    tally.DataRows += dataFrames;
    tally.SaturatedValues += flaws.saturated;
    tally.NotNumbers += flaws.notNumbers;
    FillAfterDataFrames(maker, wanted, lines, dataFrames, frames);
    record->FramesDone += lines;
    return lines;
}
