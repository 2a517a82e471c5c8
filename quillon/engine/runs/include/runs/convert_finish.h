// The end of a conversion run as the convert pages report it: the run is
// ended by the functions of the kind that owns the output, and the status
// line says "ended normally" only when the file holds everything the source
// gave; otherwise, in red, why not and what the file holds.
#ifndef QUILLON_CONVERT_FINISH_H
#define QUILLON_CONVERT_FINISH_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "store/reasons.h"

struct RunEnd {
    uint16_t kind;        // RunKind that owned the output; kRunNone when none did
    uint32_t flags;       // EegFinishFlags or PsgFinishFlags
    uint64_t framesHeld;  // frames (EEG) or data records (PSG) in the file
};

struct FinishMessage {
    int32_t causeCode;  // the worst REASON_END_* code; REASON_NONE for a whole file
    int32_t holdsCode;  // REASON_HOLDS_*: what the file holds, appended; 0 for nothing
    bool warning;       // shown in red
    uint64_t frames;    // %1
    uint64_t count;     // %2
    uint64_t tenths;    // %.3: the seconds the frames span, in tenths
};

// One reason the file is not the whole source: a REASON_END_* code, and
// for lines not data or odd values how many there were.
struct RunEndCause {
    int32_t code;
    uint64_t count;
};

// Room for every cause at once.
constexpr int32_t kRunEndCauseLimit = 12;

extern "C" {

// Ends the run that owns the output (interrupt: before the source is used
// up, as at exit) by its own kind's functions, whatever the output kind
// shows now. settingsPath receives an EEG run's next file number in
// automatic mode; null keeps it unsaved (user-named files).
void FinishOwnedRun(AppRecord* record, const char* settingsPath, bool interrupt, RunEnd* end);

// Every cause that applies to the end of a run, the worst first; record
// gives its counts. Returns how many were stored (at most max).
int32_t ListRunEndCauses(const AppRecord* record, const RunEnd* end, RunEndCause* causes,
                         int32_t max);

// The status line for the end of a run (its worst cause); record gives its
// counts.
void DescribeRunEnd(const AppRecord* record, const RunEnd* end, FinishMessage* message);

// What the main window's status bar tells after the run: IDS_OUTCOME_*
// for a whole file, a stopped run or one that did not write everything.
int32_t RunOutcomeStringId(const FinishMessage* message);

// The message as a reason of code: values frames, count, tenths; detail
// the system's reason errorText (may be null).
Reason FinishReason(const FinishMessage* message, int32_t code, const char* errorText);

// pattern filled from FinishReason (store/reasons.h names the
// placeholders). Returns the length written.
int32_t FormatFinishText(const char* pattern, const FinishMessage* message, const char* errorText,
                         char* out, size_t size);
}

#endif
