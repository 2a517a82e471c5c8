#include "runs/convert_finish.h"

#include <cstdio>
#include <cstring>

#include "ids/convert_ids.h"
#include "eeg/eeg_run.h"
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
    int32_t stringId;
    bool EndFlags::*flag;
};

constexpr CauseRow kCauses[] = {
    {IDS_END_READ_FAILED, &EndFlags::readFailed},
    {IDS_END_WRITE_FAILED, &EndFlags::writeFailed},
    {IDS_END_LAYOUT_CHANGED, &EndFlags::layoutChanged},
    {IDS_END_INTERRUPTED, &EndFlags::interrupted},
    {IDS_END_NO_DATA, &EndFlags::removed},
    {IDS_END_NOT_CLOSED, &EndFlags::notClosed},
    {IDS_END_WAVE_FULL, &EndFlags::waveFull},
    {IDS_END_SOURCE_LEFT, &EndFlags::sourceLeft},
    {IDS_END_NO_REFERENCE, &EndFlags::noReference},
    {IDS_END_NUMBER_NOT_SAVED, &EndFlags::numberNotSaved},
};

// Lines that were not data and values not stored as read come last: the
// file holds the source, only not every byte of it.
int32_t TallyCauses(const ConversionTally& t, RunEndCause* causes, int32_t at, int32_t max) {
    const RunEndCause counted[] = {
        {IDS_END_NOT_DATA_LINES, NotDataLines(t)},
        {IDS_END_ODD_VALUES, t.SaturatedValues + t.NotNumbers + t.ClippedValues}};
    for (const RunEndCause& cause : counted)
        if (cause.count != 0 && at < max) causes[at++] = cause;
    return at;
}

EndFlags FlagsOf(const AppRecord* record, const RunEnd* end) {
    return end->kind == kRunEeg ? EegEndFlags(end->flags, record->CopyPrivateFile == 0)
                                : PsgEndFlags(end->flags);
}

// Appends text to out at *used, cut to fit.
void Append(char* out, size_t size, size_t* used, const char* text, size_t length) {
    const size_t room = size - 1 - *used;
    const size_t n = length < room ? length : room;
    std::memcpy(out + *used, text, n);
    *used += n;
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
        if (e.*row.flag && n < max) causes[n++] = RunEndCause{row.stringId, 0};
    return TallyCauses(record->Tally, causes, n, max);
}

extern "C" void DescribeRunEnd(const AppRecord* record, const RunEnd* end, FinishMessage* message) {
    if (message == nullptr) return;
    *message = FinishMessage{IDS_CONVERT_FINISHED, 0, false, 0, 0};
    RunEndCause worst;
    if (ListRunEndCauses(record, end, &worst, 1) == 0) return;
    const bool removed = FlagsOf(record, end).removed;
    message->causeStringId = worst.stringId;
    message->warning = true;
    message->frames = removed ? 0 : end->framesHeld;
    message->count = worst.count;
    message->holdsStringId = removed ? IDS_HOLDS_REMOVED : IDS_HOLDS_FRAMES;
}

extern "C" int32_t FormatFinishText(const char* pattern, const FinishMessage* message,
                                    const char* errorText, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    size_t used = 0;
    for (const char* p = pattern; p != nullptr && *p != '\0' && used + 1 < size; ++p) {
        char number[24];
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2') && message != nullptr) {
            const unsigned long long value = p[1] == '1' ? message->frames : message->count;
            const int n = std::snprintf(number, sizeof number, "%llu", value);
            Append(out, size, &used, number, n > 0 ? static_cast<size_t>(n) : 0);
            ++p;
        } else if (p[0] == '%' && p[1] == 'e') {
            if (errorText != nullptr) Append(out, size, &used, errorText, std::strlen(errorText));
            ++p;
        } else {
            Append(out, size, &used, p, 1);
        }
    }
    out[used] = '\0';
    return static_cast<int32_t>(used);
}
