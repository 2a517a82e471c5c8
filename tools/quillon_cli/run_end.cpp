#include "run_end.h"

#include <cinttypes>
#include <cstdio>

#include "convert_report.h"
#include "eeg/eeg_header.h"
#include "interrupts.h"
#include "runs/convert_finish.h"

namespace {

// How each cause ends the report; its English is the engine's reason
// table. Causes before the summary end the report; those after it follow
// the summary and counts.
struct CauseEnding {
    int32_t cause;
    int status;
    bool afterSummary;
};

constexpr CauseEnding kEndings[] = {
    {REASON_END_READ_FAILED, kExitFailed, false},
    {REASON_END_WRITE_FAILED, kExitFailed, false},
    {REASON_END_LAYOUT_CHANGED, kExitFailed, false},
    {REASON_END_INTERRUPTED, kExitInterrupted, false},
    {REASON_END_NO_DATA, kExitFailed, false},
    {REASON_END_NOT_CLOSED, kExitFailed, false},
    {REASON_END_SOURCE_LEFT, kExitFailed, false},
    {REASON_END_NO_REFERENCE, kExitFailed, true},
    {REASON_END_NUMBER_NOT_SAVED, kExitFailed, true},
    {REASON_END_WAVE_FULL, kExitPartial, true},
};

struct EndedRun {
    const AppRecord* record;
    RunEnd end;
    FinishMessage message;
    RunEndCause causes[kRunEndCauseLimit];
    int32_t causeCount;
    const RunEndNames* names;
};

const CauseEnding* EndingOf(int32_t cause) {
    for (const CauseEnding& row : kEndings)
        if (row.cause == cause) return &row;
    return nullptr;
}

bool Has(const EndedRun& run, int32_t cause) {
    for (int32_t i = 0; i < run.causeCount; ++i)
        if (run.causes[i].code == cause) return true;
    return false;
}

std::string Worded(const EndedRun& run, int32_t code);

std::string Holds(const EndedRun& run) {
    return Worded(run, run.message.holdsCode == REASON_HOLDS_REMOVED ? REASON_HOLDS_REMOVED
                                                                     : REASON_HOLDS_FRAMES);
}

std::string Seconds(const EndedRun& run) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f",
                  static_cast<double>(run.message.frames) * run.names->secondsPerFrame);
    return seconds;
}

std::string ReferenceFile(const EndedRun& run) {
    char reference[kPathSize + 8] = "";
    MakeEegReferencePath(run.names->output.c_str(), reference, sizeof reference);
    return Quoted(reference);
}

std::string Value(const EndedRun& run, char name) {
    const RunEndNames& n = *run.names;
    switch (name) {
        case 'p': return Quoted(n.output.c_str());
        case 's': return Quoted(n.source.c_str());
        case 'e':
            return run.record->RunErrorText[0] != '\0' ? run.record->RunErrorText
                                                       : "no reason given";
        case 'h': return Holds(run);
        case 'c': return n.closing;
        case 'b': return std::to_string(n.readTo);
        case 'r': return ReferenceFile(run);
        case 'f': return std::to_string(run.record->EEGFileNo);
        case 'i': return Quoted(n.settings != nullptr ? n.settings : "");
        case 'n': return std::to_string(run.end.framesHeld);
        case 't': return Seconds(run);
        default: return std::string("%") + name;
    }
}

// The engine's English of code with this run's names.
std::string Worded(const EndedRun& run, int32_t code) {
    const char* english = EnglishReasonPattern(code);
    std::string text;
    for (const char* p = english != nullptr ? english : ""; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] != '\0')
            text += Value(run, *++p);
        else
            text += *p;
    }
    return text;
}

// The worst cause the summary cannot follow, or null.
const CauseEnding* Ending(const EndedRun& run) {
    for (int32_t i = 0; i < run.causeCount; ++i) {
        const CauseEnding* row = EndingOf(run.causes[i].code);
        if (row != nullptr && !row->afterSummary) return row;
    }
    return nullptr;
}

// What the finish could not do, in the order a reader checks it; a partial
// file is reported only for a run that is otherwise whole.
int AfterSummary(const EndedRun& run, int status) {
    for (const CauseEnding& row : kEndings) {
        if (!row.afterSummary || !Has(run, row.cause)) continue;
        if (row.status == kExitPartial && status != kExitConverted) continue;
        status = Fail(row.status, Worded(run, row.cause));
    }
    return status;
}

}  // namespace

int EndConversionRun(AppRecord* record, const RunEndNames& names) {
    EndedRun run{};
    run.record = record;
    run.names = &names;
    const bool interrupt = InterruptRequested() && record->OutputFile != 0;
    FinishOwnedRun(record, names.settings, interrupt, &run.end);
    DescribeRunEnd(record, &run.end, &run.message);
    run.causeCount = ListRunEndCauses(record, &run.end, run.causes, kRunEndCauseLimit);
    const CauseEnding* ending = Ending(run);
    if (ending != nullptr) {
        // Only an interrupted run goes on to its counts: what it read is in the file.
        Fail(ending->status, Worded(run, ending->cause));
        if (ending->status != kExitInterrupted) return ending->status;
    } else {
        const std::string suffix =
            names.summarySuffix != nullptr ? names.summarySuffix(names) : std::string();
        std::printf("%s: %" PRIu64 " frames, %" PRIu32 " steps%s\n", names.output.c_str(),
                    run.end.framesHeld, record->StepCount, suffix.c_str());
        std::fflush(stdout);
    }
    PrintTally(record->Tally);
    return AfterSummary(run, ending != nullptr ? ending->status : kExitConverted);
}
