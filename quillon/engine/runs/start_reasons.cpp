#include "runs/start_reasons.h"

#include <cstdio>

#include "eeg/eeg_header.h"

namespace {

int32_t Written(int n, size_t size) {
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int32_t>(size - 1);
}

}  // namespace

extern "C" int32_t FormatEegStartReason(const AppRecord* record, int32_t outcome, const char* path,
                                        char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (record == nullptr || path == nullptr) return 0;
    char reference[kPathSize + 8] = "";
    MakeEegReferencePath(path, reference, sizeof reference);
    const char* reason = record->RunErrorText[0] != '\0' ? record->RunErrorText : "unknown reason";
    int n = 0;
    switch (outcome) {
        case kEegStarted: n = std::snprintf(out, size, "the conversion started"); break;
        case kEegStartRunning: n = std::snprintf(out, size, "a conversion is still running"); break;
        case kEegStartNotEegType:
            n = std::snprintf(out, size, "the output type is not an EEG file");
            break;
        case kEegStartBadLayout:
            n = std::snprintf(out, size, "the source layout cannot be converted");
            break;
        case kEegStartPathTooLong:
            n = std::snprintf(out, size, "the output path \"%s\" is too long", path);
            break;
        case kEegStartOutputExists:
            n = std::snprintf(out, size, "the output file \"%s\" exists; it is never overwritten",
                              path);
            break;
        case kEegStartReferenceExists:
            n = std::snprintf(out, size, "the reference file \"%s\" of the output exists",
                              reference);
            break;
        case kEegStartNoMemory:
            n = std::snprintf(out, size, "not enough memory for a conversion step");
            break;
        case kEegStartCannotCreate:
            n = std::snprintf(out, size, "cannot create the output file \"%s\": %s", path, reason);
            break;
        case kEegStartNoVolume:
            n = std::snprintf(out, size, "the output volume is not ready");
            break;
        case kEegStartSourceUnusable:
            n = std::snprintf(out, size, "the source cannot be converted");
            break;
        default: n = std::snprintf(out, size, "start outcome %d", outcome); break;
    }
    return Written(n, size);
}

namespace {

// What a PSG reason's text is filled with, in its order.
enum ReasonArguments {
    kNoArgument,
    kValue,
    kSlotNumber,
    kValueAndLimit,
    kChannel,
    kChannelAndValue
};

struct PsgReason {
    int32_t outcome;
    ReasonArguments arguments;
    int32_t limit;
    const char* text;
};

const PsgReason kPsgReasons[] = {
    {kPsgStarted, kNoArgument, 0, "the conversion started"},
    {kPsgStartRunning, kNoArgument, 0, "a conversion is still running"},
    {kPsgStartTargetExists, kNoArgument, 0, "the target file exists; it is never overwritten"},
    {kPsgStartNoTarget, kNoArgument, 0, "no target file was chosen"},
    {kPsgStartNoChannels, kNoArgument, 0, "no source channel is switched on"},
    {kPsgStartNoSource, kNoArgument, 0, "no source file is open"},
    {kPsgStartBadPattern, kSlotNumber, 0, "PSG pattern %d does not exist"},
    {kPsgStartBadChannelCount, kValueAndLimit, kPatternRowCount,
     "%d source channels: at most %d can be converted"},
    {kPsgStartBadFieldMode, kValue, 0, "field delimiter %d is none of comma, blank and tab"},
    {kPsgStartBadValueKind, kValue, 0, "data type %d is neither A/D nor calibrated values"},
    {kPsgStartBadFrameTime, kValueAndLimit, kPsgMaxFrameTime,
     "frame time %d s: it must be 1 to %d seconds"},
    {kPsgStartBadSampleRate, kValueAndLimit, kPsgMaxSampleRate,
     "sampling rate %d Hz: it must be 1 to %d Hz"},
    {kPsgStartBadTimeResolutionRate, kValue, 0,
     "sampling rate %d Hz: with the original time resolution (one line a millisecond) it must "
     "divide 1000 Hz"},
    {kPsgStartBadChannelRate, kChannelAndValue, 0,
     "channel %d: rate divisor %d gives a rate below 1 Hz"},
    {kPsgStartUnevenChannelRate, kChannelAndValue, 0,
     "channel %d: rate divisor %d does not give a whole number of samples per epoch"},
    {kPsgStartZeroEu, kChannel, 0,
     "channel %d: CAL (EU) is 0, so calibrated values cannot be scaled"},
    {kPsgStartZeroVu, kChannel, 0, "channel %d: AD (VU) is 0, so calibrated values would all be 0"},
    {kPsgStartBadPhysicalRange, kChannel, 0,
     "channel %d: the physical range 32767 x CAL / AD is too large or too fine for the file's "
     "header"},
    {kPsgStartTooManySamples, kNoArgument, 0,
     "the channels give more samples than one epoch can hold"},
    {kPsgStartNoMemory, kNoArgument, 0, "not enough memory for the conversion's buffers"},
    {kPsgStartCannotCreate, kNoArgument, 0, "the target file cannot be created"},
    {kPsgStartNotReady, kNoArgument, 0, "the PSG library could not prepare the file's header"},
    {kPsgStartRefused, kNoArgument, 0, "the PSG library refused the channel definitions"},
    {kPsgStartSourceUnusable, kNoArgument, 0, "the source cannot be converted"},
};

}  // namespace

extern "C" int32_t FormatPsgStartReason(const PsgStartResult* result, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (result == nullptr) return 0;
    const PsgReason* reason = nullptr;
    for (const PsgReason& entry : kPsgReasons)
        if (entry.outcome == result->outcome) reason = &entry;
    if (reason == nullptr)
        return Written(std::snprintf(out, size, "start outcome %d", result->outcome), size);
    int32_t first = result->value;
    int32_t second = reason->limit;
    switch (reason->arguments) {
        case kSlotNumber: first = result->value + 1; break;
        case kChannel: first = result->sourceChannel; break;
        case kChannelAndValue:
            first = result->sourceChannel;
            second = result->value;
            break;
        default: break;
    }
    // Texts use the arguments they name, in this order; the rest are ignored.
    return Written(std::snprintf(out, size, reason->text, first, second), size);
}

namespace {

// The allowed values of a setting, worded.
void FormatRange(const SettingProblem& problem, char* out, size_t size) {
    switch (problem.rangeKind) {
        case kRangeInterval: std::snprintf(out, size, "%d..%d", problem.low, problem.high); break;
        case kRangeAtLeast: std::snprintf(out, size, "%d or more", problem.low); break;
        case kRangeFrameTimes: std::snprintf(out, size, "1, 2, 5 or 10"); break;
        case kRangeMagnification:
            std::snprintf(out, size, "1, 10, ... 1000000000 or -10, -100, ... -1000000");
            break;
        case kRangeRateDivisor: std::snprintf(out, size, "1, 2, 4, 5, 10, 20 or 50"); break;
        case kRangePsgMagnification:
            std::snprintf(out, size, "1, 10, 100, 1000 or 10000 (0 reads as 1)");
            break;
        default: std::snprintf(out, size, "range %d", problem.rangeKind); break;
    }
}

}  // namespace

extern "C" int32_t FormatSettingProblem(const SettingProblem* problem, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (problem == nullptr) return 0;
    char range[64];
    FormatRange(*problem, range, sizeof range);
    char row[24] = "";
    if (problem->row > 0) std::snprintf(row, sizeof row, " for row %d", problem->row);
    return Written(std::snprintf(out, size, "[%s] %s is %d%s; it must be %s", problem->section,
                                 problem->key, problem->value, row, range),
                   size);
}
