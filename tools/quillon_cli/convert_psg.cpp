#include "convert_psg.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "convert_report.h"
#include "run_end.h"
#include "interrupts.h"
#include "platform.h"
#include "psg/psg_run.h"
#include "runs/start_reasons.h"

namespace {

// The PSG page's own choices: frame time, record comment, and the source
// page's time resolution.
void ApplyPsgOptions(AppRecord* record, const ConvertOptions& o) {
    if (o.frameTime > 0) record->FrameTime = o.frameTime;
    if (o.comment != nullptr)
        std::snprintf(record->RecordComment, sizeof record->RecordComment, "%s", o.comment);
    if (o.timeResolution > 0) {
        record->OrgTimeResSw = 1;
        record->OrgTimeRes = o.timeResolution;
    }
}

std::string StartRefusal(const AppRecord* record, const PsgStartResult& result, const char* path) {
    char reason[256];
    FormatPsgStartReason(&result, reason, sizeof reason);
    std::string text = "cannot convert to " + Quoted(path) + ": " + reason;
    if (result.outcome == kPsgStartCannotCreate && record->RunErrorText[0] != '\0')
        text += std::string(" (") + record->RunErrorText + ")";
    return text;
}

int RunPsgSteps(AppRecord* record, const ConvertOptions& o) {
    Progress progress = StartProgress(record, record->SourceOffset);
    while (!InterruptRequested() && PsgTimerTick(record)) ShowProgress(&progress, record, o.source);
    EndProgress(progress);
    RunEndNames names{o.outputFile,         o.source,
                      Quoted(o.outputFile), nullptr,
                      record->SourceOffset, static_cast<double>(record->FrameTime)};
    return EndConversionRun(record, names);
}

}  // namespace

int ConvertToPsg(AppRecord* record, const ConvertOptions& o) {
    ApplyPsgOptions(record, o);
    const char* path = o.outputFile;
    if (PlatIsDirectory(path)) return Fail(kExitFailed, Quoted(path) + " is a folder");
    if (SetPsgTarget(record, path) == 0)
        return Fail(kExitFailed, "the output path " + Quoted(path) + " is empty or too long");
    PsgStartResult result{};
    if (StartPsgConversion(record, &result) != kPsgStarted)
        return Fail(kExitFailed, StartRefusal(record, result, path));
    // Warnings only for a run that goes ahead: a refusal is one line.
    WarnOnColumnMismatch(record, o.source);
    if (o.magGiven) Warn("--mag does not scale PSG output; the pattern's MAG, EU and VU do");
    return RunPsgSteps(record, o);
}
