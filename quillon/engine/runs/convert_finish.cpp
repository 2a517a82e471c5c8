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

// The first cause that explains why the file is not the whole source, the
// worst first; 0 when there is none.
int32_t CauseOf(const EndFlags& e, const ConversionTally& t, uint64_t* count) {
    *count = 0;
    if (e.readFailed) return IDS_END_READ_FAILED;
    if (e.writeFailed) return IDS_END_WRITE_FAILED;
    if (e.layoutChanged) return IDS_END_LAYOUT_CHANGED;
    if (e.interrupted) return IDS_END_INTERRUPTED;
    if (e.removed) return IDS_END_NO_DATA;
    if (e.notClosed) return IDS_END_NOT_CLOSED;
    if (e.waveFull) return IDS_END_WAVE_FULL;
    if (e.sourceLeft) return IDS_END_SOURCE_LEFT;
    if (e.noReference) return IDS_END_NO_REFERENCE;
    if (e.numberNotSaved) return IDS_END_NUMBER_NOT_SAVED;
    if ((*count = NotDataLines(t)) != 0) return IDS_END_NOT_DATA_LINES;
    if ((*count = t.SaturatedValues + t.NotNumbers) != 0) return IDS_END_ODD_VALUES;
    return 0;
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

extern "C" void DescribeRunEnd(const AppRecord* record, const RunEnd* end, FinishMessage* message) {
    if (message == nullptr) return;
    *message = FinishMessage{IDS_CONVERT_FINISHED, 0, false, 0, 0};
    if (record == nullptr || end == nullptr || end->kind == kRunNone) return;
    const EndFlags e = end->kind == kRunEeg ? EegEndFlags(end->flags, record->CopyPrivateFile == 0)
                                            : PsgEndFlags(end->flags);
    uint64_t count = 0;
    const int32_t cause = CauseOf(e, record->Tally, &count);
    if (cause == 0) return;
    message->causeStringId = cause;
    message->warning = true;
    message->frames = e.removed ? 0 : end->framesHeld;
    message->count = count;
    message->holdsStringId = e.removed ? IDS_HOLDS_REMOVED : IDS_HOLDS_FRAMES;
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
