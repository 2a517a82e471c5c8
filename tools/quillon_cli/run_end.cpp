#include "run_end.h"

#include <cinttypes>
#include <cstdio>

#include "convert_report.h"
#include "eeg/eeg_header.h"
#include "ids/convert_ids.h"
#include "interrupts.h"
#include "runs/convert_finish.h"

namespace {

// The English for each cause. Causes before the summary end the report;
// those after it follow the summary and counts. %p output, %s source,
// %e the engine's error text, %h what the file holds, %c what cannot be
// closed, %b where reading stopped, %r the reference file, %f the file
// number, %i the settings file, %n the frames held.
struct CauseWording {
    int32_t cause;
    int status;
    bool afterSummary;
    const char* english;
};

constexpr CauseWording kWordings[] = {
    {IDS_END_READ_FAILED, kExitFailed, false, "reading %s failed (%e); %h"},
    {IDS_END_WRITE_FAILED, kExitFailed, false, "writing %p failed (%e); %h"},
    {IDS_END_LAYOUT_CHANGED, kExitFailed, false, "the layout changed during the run; %h"},
    {IDS_END_INTERRUPTED, kExitInterrupted, false, "interrupted; %h"},
    {IDS_END_NO_DATA, kExitFailed, false, "no line of %s was data; %h"},
    {IDS_END_NOT_CLOSED, kExitFailed, false, "cannot close %c"},
    {IDS_END_SOURCE_LEFT, kExitFailed, false, "reading %s failed at byte %b; %h"},
    {IDS_END_NO_REFERENCE, kExitFailed, true,
     "cannot write the reference file %r (%e); %p holds all %n frames and opens without it, "
     "and quillon-cli repair %p writes its reference file"},
    {IDS_END_NUMBER_NOT_SAVED, kExitFailed, true, "cannot save EEGFileNo %f in %i"},
    {IDS_END_WAVE_FULL, kExitPartial, true,
     "the wave is full at %n frames, the most the file format holds; the rest of %s was not "
     "converted"},
};

struct EndedRun {
    const AppRecord* record;
    RunEnd end;
    FinishMessage message;
    RunEndCause causes[kRunEndCauseLimit];
    int32_t causeCount;
    const RunEndNames* names;
};

const CauseWording* WordingOf(int32_t cause) {
    for (const CauseWording& row : kWordings)
        if (row.cause == cause) return &row;
    return nullptr;
}

bool Has(const EndedRun& run, int32_t cause) {
    for (int32_t i = 0; i < run.causeCount; ++i)
        if (run.causes[i].stringId == cause) return true;
    return false;
}

std::string Holds(const EndedRun& run) {
    const std::string output = Quoted(run.names->output.c_str());
    if (run.message.holdsStringId == IDS_HOLDS_REMOVED)
        return output + " held no frame and was removed";
    return output + " holds the first " +
           HeldFrames(run.message.frames, run.names->secondsPerFrame);
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
        default: return std::string("%") + name;
    }
}

std::string Worded(const EndedRun& run, const char* english) {
    std::string text;
    for (const char* p = english; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] != '\0')
            text += Value(run, *++p);
        else
            text += *p;
    }
    return text;
}

// The worst cause the summary cannot follow, or null.
const CauseWording* Ending(const EndedRun& run) {
    for (int32_t i = 0; i < run.causeCount; ++i) {
        const CauseWording* row = WordingOf(run.causes[i].stringId);
        if (row != nullptr && !row->afterSummary) return row;
    }
    return nullptr;
}

// What the finish could not do, in the order a reader checks it; a partial
// file is reported only for a run that is otherwise whole.
int AfterSummary(const EndedRun& run, int status) {
    for (const CauseWording& row : kWordings) {
        if (!row.afterSummary || !Has(run, row.cause)) continue;
        if (row.status == kExitPartial && status != kExitConverted) continue;
        status = Fail(row.status, Worded(run, row.english));
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
    const CauseWording* ending = Ending(run);
    if (ending != nullptr) {
        // Only an interrupted run goes on to its counts: what it read is in the file.
        Fail(ending->status, Worded(run, ending->english));
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
