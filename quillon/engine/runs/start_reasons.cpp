#include "runs/start_reasons.h"

#include <cstdio>

#include "eeg/eeg_header.h"

namespace {

struct OutcomeCode {
    int32_t outcome;
    int32_t code;
};

constexpr OutcomeCode kEegCodes[] = {
    {kEegStarted, REASON_EEG_STARTED},
    {kEegStartRunning, REASON_EEG_RUNNING},
    {kEegStartNotEegType, REASON_EEG_NOT_EEG_TYPE},
    {kEegStartBadLayout, REASON_EEG_BAD_LAYOUT},
    {kEegStartPathTooLong, REASON_EEG_PATH_TOO_LONG},
    {kEegStartOutputExists, REASON_EEG_OUTPUT_EXISTS},
    {kEegStartReferenceExists, REASON_EEG_REFERENCE_EXISTS},
    {kEegStartNoMemory, REASON_EEG_NO_MEMORY},
    {kEegStartCannotCreate, REASON_EEG_CANNOT_CREATE},
    {kEegStartNoVolume, REASON_EEG_NO_VOLUME},
    {kEegStartSourceUnusable, REASON_EEG_SOURCE_UNUSABLE},
};

// What a PSG reason's values are, in their order.
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
    int32_t code;
    ReasonArguments arguments;
    int32_t limit;
};

const PsgReason kPsgReasons[] = {
    {kPsgStarted, REASON_PSG_STARTED, kNoArgument, 0},
    {kPsgStartRunning, REASON_PSG_RUNNING, kNoArgument, 0},
    {kPsgStartTargetExists, REASON_PSG_TARGET_EXISTS, kNoArgument, 0},
    {kPsgStartNoTarget, REASON_PSG_NO_TARGET, kNoArgument, 0},
    {kPsgStartNoChannels, REASON_PSG_NO_CHANNELS, kNoArgument, 0},
    {kPsgStartNoSource, REASON_PSG_NO_SOURCE, kNoArgument, 0},
    {kPsgStartBadPattern, REASON_PSG_BAD_PATTERN, kSlotNumber, 0},
    {kPsgStartBadChannelCount, REASON_PSG_BAD_CHANNEL_COUNT, kValueAndLimit, kPatternRowCount},
    {kPsgStartBadFieldMode, REASON_PSG_BAD_FIELD_MODE, kValue, 0},
    {kPsgStartBadValueKind, REASON_PSG_BAD_VALUE_KIND, kValue, 0},
    {kPsgStartBadFrameTime, REASON_PSG_BAD_FRAME_TIME, kValueAndLimit, kPsgMaxFrameTime},
    {kPsgStartBadSampleRate, REASON_PSG_BAD_SAMPLE_RATE, kValueAndLimit, kPsgMaxSampleRate},
    {kPsgStartBadTimeResolutionRate, REASON_PSG_BAD_TIME_RESOLUTION_RATE, kValue, 0},
    {kPsgStartBadChannelRate, REASON_PSG_BAD_CHANNEL_RATE, kChannelAndValue, 0},
    {kPsgStartUnevenChannelRate, REASON_PSG_UNEVEN_CHANNEL_RATE, kChannelAndValue, 0},
    {kPsgStartZeroEu, REASON_PSG_ZERO_EU, kChannel, 0},
    {kPsgStartZeroVu, REASON_PSG_ZERO_VU, kChannel, 0},
    {kPsgStartBadPhysicalRange, REASON_PSG_BAD_PHYSICAL_RANGE, kChannel, 0},
    {kPsgStartTooManySamples, REASON_PSG_TOO_MANY_SAMPLES, kNoArgument, 0},
    {kPsgStartNoMemory, REASON_PSG_NO_MEMORY, kNoArgument, 0},
    {kPsgStartCannotCreate, REASON_PSG_CANNOT_CREATE, kNoArgument, 0},
    {kPsgStartNotReady, REASON_PSG_NOT_READY, kNoArgument, 0},
    {kPsgStartRefused, REASON_PSG_REFUSED, kNoArgument, 0},
    {kPsgStartSourceUnusable, REASON_PSG_SOURCE_UNUSABLE, kNoArgument, 0},
};

// Setting codes by SettingRangeKind; a row's code is kRowCodeStep further.
constexpr int32_t kSettingCodes[] = {
    REASON_SETTING_INTERVAL,      REASON_SETTING_AT_LEAST,     REASON_SETTING_FRAME_TIMES,
    REASON_SETTING_MAGNIFICATION, REASON_SETTING_RATE_DIVISOR, REASON_SETTING_PSG_MAGNIFICATION,
};
constexpr int32_t kRowCodeStep = REASON_SETTING_INTERVAL_ROW - REASON_SETTING_INTERVAL;

}  // namespace

extern "C" Reason EegStartReason(const AppRecord* record, int32_t outcome, const char* path) {
    Reason reason = MakeReason(REASON_NONE);
    for (const OutcomeCode& row : kEegCodes)
        if (row.outcome == outcome) reason.code = row.code;
    if (outcome == kEegStartReferenceExists && path != nullptr)
        MakeEegReferencePath(path, reason.path, sizeof reason.path);
    else if (path != nullptr)
        std::snprintf(reason.path, sizeof reason.path, "%s", path);
    if (record != nullptr)
        std::snprintf(reason.detail, sizeof reason.detail, "%s", record->RunErrorText);
    return reason;
}

extern "C" int32_t FormatEegStartReason(const AppRecord* record, int32_t outcome, const char* path,
                                        char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (record == nullptr || path == nullptr) return 0;
    const Reason reason = EegStartReason(record, outcome, path);
    return FormatReasonOrUnknown(&reason, "start outcome", outcome, out, size);
}

extern "C" Reason PsgStartReason(const PsgStartResult* result) {
    Reason reason = MakeReason(REASON_NONE);
    const PsgReason* row = nullptr;
    for (const PsgReason& entry : kPsgReasons)
        if (result != nullptr && entry.outcome == result->outcome) row = &entry;
    if (row == nullptr) return reason;
    reason.code = row->code;
    int64_t first = result->value;
    int64_t second = row->limit;
    switch (row->arguments) {
        case kSlotNumber: first = result->value + 1; break;
        case kChannel: first = result->sourceChannel; break;
        case kChannelAndValue:
            first = result->sourceChannel;
            second = result->value;
            break;
        default: break;
    }
    reason.values[0] = first;
    reason.values[1] = second;
    return reason;
}

extern "C" int32_t FormatPsgStartReason(const PsgStartResult* result, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (result == nullptr) return 0;
    const Reason reason = PsgStartReason(result);
    return FormatReasonOrUnknown(&reason, "start outcome", result->outcome, out, size);
}

extern "C" Reason SettingProblemReason(const SettingProblem* problem) {
    Reason reason = MakeReason(REASON_NONE);
    if (problem == nullptr || problem->rangeKind < 0 ||
        problem->rangeKind >= static_cast<int32_t>(sizeof kSettingCodes / sizeof kSettingCodes[0]))
        return reason;
    reason.code = kSettingCodes[problem->rangeKind] + (problem->row > 0 ? kRowCodeStep : 0);
    reason.values[0] = problem->value;
    reason.values[1] = problem->row;
    reason.values[2] = problem->low;
    reason.values[3] = problem->high;
    std::snprintf(reason.detail, sizeof reason.detail, "[%s] %s", problem->section, problem->key);
    return reason;
}

extern "C" int32_t FormatSettingProblem(const SettingProblem* problem, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    if (problem == nullptr) return 0;
    const Reason reason = SettingProblemReason(problem);
    return FormatReasonOrUnknown(&reason, "range", problem->rangeKind, out, size);
}
