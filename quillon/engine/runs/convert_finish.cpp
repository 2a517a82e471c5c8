#include "runs/convert_finish.h"

#include <cstdio>
#include <cstring>

#include "eeg/eeg_run.h"
#include "ids/convert_ids.h"
#include "psg/psg_run.h"

namespace {

struct EndFlags {
    bool readFailed, writeFailed, interrupted, layoutChanged, waveFull, sourceLeft, removed,
        notClosed, noReference, numberNotSaved;
};

EndFlags EegEndFlags(uint32_t f, bool numberExpected) {
    const bool removed = (f & kEegFinishRemoved) != 0;
    return EndFlags{(f & kEegFinishReadFailed) != 0,
                    (f & kEegFinishWriteFailed) != 0,
                    (f & kEegFinishInterrupted) != 0,
                    (f & kEegFinishLayoutChanged) != 0,
                    (f & kEegFinishWaveFull) != 0,
                    false,
                    removed,
                    !removed && !(f & kEegFinishWaveClosed),
                    !removed && !(f & kEegFinishReferenceWritten),
                    !removed && numberExpected && !(f & kEegFinishFileNumberSaved)};
}

EndFlags PsgEndFlags(uint32_t f) {
    const bool removed = (f & kPsgFinishRemoved) != 0;
    return EndFlags{(f & kPsgFinishReadFailed) != 0,
                    (f & kPsgFinishWriteFailed) != 0,
                    (f & kPsgFinishInterrupted) != 0,
                    (f & kPsgFinishLayoutChanged) != 0,
                    false,
                    (f & kPsgFinishSourceLeft) != 0,
                    removed,
                    !removed && !(f & kPsgFinishClosed),
                    false,
                    false};
}

uint64_t NotDataLines(const ConversionTally& t) {
    return t.BlankLines + t.ShortLines + t.NoNumberLines + t.NulLines + t.OverLongLines;
}

// The causes that explain why the file is not the whole source, the worst
// first.
struct CauseRow {
    int32_t code;
    bool EndFlags::*flag;
};

constexpr CauseRow kCauses[] = {
    {REASON_END_READ_FAILED, &EndFlags::readFailed},
    {REASON_END_WRITE_FAILED, &EndFlags::writeFailed},
    {REASON_END_LAYOUT_CHANGED, &EndFlags::layoutChanged},
    {REASON_END_INTERRUPTED, &EndFlags::interrupted},
    {REASON_END_NO_DATA, &EndFlags::removed},
    {REASON_END_NOT_CLOSED, &EndFlags::notClosed},
    {REASON_END_WAVE_FULL, &EndFlags::waveFull},
    {REASON_END_SOURCE_LEFT, &EndFlags::sourceLeft},
    {REASON_END_NO_REFERENCE, &EndFlags::noReference},
    {REASON_END_NUMBER_NOT_SAVED, &EndFlags::numberNotSaved},
};

// Lines that were not data and values not stored as read come last: the
// file holds the source, only not every byte of it.
int32_t TallyCauses(const ConversionTally& t, RunEndCause* causes, int32_t at, int32_t max) {
    const RunEndCause counted[] = {
        {REASON_END_NOT_DATA_LINES, NotDataLines(t)},
        {REASON_END_ODD_VALUES, t.SaturatedValues + t.NotNumbers + t.ClippedValues}};
    for (const RunEndCause& cause : counted)
        if (cause.count != 0 && at < max) causes[at++] = cause;
    return at;
}

EndFlags FlagsOf(const AppRecord* record, const RunEnd* end) {
    return end->kind == kRunEeg ? EegEndFlags(end->flags, record->CopyPrivateFile == 0)
                                : PsgEndFlags(end->flags);
}

// The seconds frames span, in tenths: an EEG frame is one sample line, a
// PSG frame one epoch of FrameTime seconds.
uint64_t TenthsHeld(const AppRecord* record, uint16_t kind, uint64_t frames) {
    constexpr uint64_t kTenths = 10;
    if (kind == kRunEeg)
        return record->SampleRate > 0 ? frames * kTenths / static_cast<uint64_t>(record->SampleRate)
                                      : 0;
    return record->FrameTime > 0 ? frames * kTenths * static_cast<uint64_t>(record->FrameTime) : 0;
}

}  // namespace

extern "C" void FinishOwnedRun(AppRecord* record, const char* settingsPath, bool interrupt,
                               RunEnd* end) {
    RunEnd result{kRunNone, 0, 0};
    if (record != nullptr) {
        result.kind = record->RunOwner;
        if (result.kind == kRunEeg) {
            result.flags = interrupt ? InterruptEegConversion(record, settingsPath)
                                     : FinishEegConversion(record, settingsPath);
            result.framesHeld = record->FramesDone;
        } else if (result.kind == kRunPsg) {
            // The finish counts the frames the recording holds.
            const bool hadOutput = record->OutputFile != 0;
            result.flags = interrupt ? InterruptPsgConversion(record) : FinishPsgConversion(record);
            result.framesHeld = hadOutput ? record->FramesDone : 0;
        }
    }
    if (end != nullptr) *end = result;
}

extern "C" int32_t ListRunEndCauses(const AppRecord* record, const RunEnd* end, RunEndCause* causes,
                                    int32_t max) {
    if (record == nullptr || end == nullptr || end->kind == kRunNone || causes == nullptr) return 0;
    const EndFlags e = FlagsOf(record, end);
    int32_t n = 0;
    for (const CauseRow& row : kCauses)
        if (e.*row.flag && n < max) causes[n++] = RunEndCause{row.code, 0};
    return TallyCauses(record->Tally, causes, n, max);
}

extern "C" void DescribeRunEnd(const AppRecord* record, const RunEnd* end, FinishMessage* message) {
    if (message == nullptr) return;
    *message = FinishMessage{REASON_NONE, REASON_NONE, false, 0, 0, 0};
    RunEndCause worst;
    if (ListRunEndCauses(record, end, &worst, 1) == 0) return;
    const bool removed = FlagsOf(record, end).removed;
    message->causeCode = worst.code;
    message->warning = true;
    message->frames = removed ? 0 : end->framesHeld;
    message->tenths = TenthsHeld(record, end->kind, message->frames);
    message->count = worst.count;
    message->holdsCode = removed ? REASON_HOLDS_REMOVED : REASON_HOLDS_FRAMES;
}

extern "C" int32_t RunOutcomeStringId(const FinishMessage* message) {
    if (message == nullptr || !message->warning) return IDS_OUTCOME_FINISHED;
    return message->causeCode == REASON_END_INTERRUPTED ? IDS_OUTCOME_STOPPED : IDS_OUTCOME_FAILED;
}

extern "C" Reason FinishReason(const FinishMessage* message, int32_t code, const char* errorText) {
    Reason reason = MakeReason(code);
    if (message != nullptr) {
        reason.values[0] = static_cast<int64_t>(message->frames);
        reason.values[1] = static_cast<int64_t>(message->count);
        reason.values[2] = static_cast<int64_t>(message->tenths);
    }
    if (errorText != nullptr) std::snprintf(reason.detail, sizeof reason.detail, "%s", errorText);
    return reason;
}

extern "C" int32_t FormatFinishText(const char* pattern, const FinishMessage* message,
                                    const char* errorText, char* out, size_t size) {
    const Reason reason = FinishReason(message, REASON_NONE, errorText);
    return ExpandReasonPattern(pattern, &reason, nullptr, out, size);
}
