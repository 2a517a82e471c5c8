#include "convert_psg.h"

#include <cstdio>
#include <cstdlib>
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

// " (R EDF records of D s)" when the file's records are not one frame long
// (a channel rate that needs longer records): read from the header the
// finished file has.
std::string RecordsUnlikeFrames(const RunEndNames& names) {
    const char* path = names.output.c_str();
    const double frameTime = names.secondsPerFrame;
    constexpr long kRecordCountAt = 236;
    constexpr size_t kFieldBytes = 8;
    char fields[2 * kFieldBytes + 1] = "";
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return std::string();
    const bool read = std::fseek(file, kRecordCountAt, SEEK_SET) == 0 &&
                      std::fread(fields, 1, 2 * kFieldBytes, file) == 2 * kFieldBytes;
    std::fclose(file);
    if (!read) return std::string();
    const std::string records = std::string(fields, kFieldBytes);
    const std::string seconds = std::string(fields + kFieldBytes, kFieldBytes);
    char* end = nullptr;
    const double duration = std::strtod(seconds.c_str(), &end);
    if (end == seconds.c_str() || duration == frameTime) return std::string();
    auto trimmed = [](const std::string& text) { return text.substr(0, text.find(' ')); };
    return " (" + trimmed(records) + " EDF records of " + trimmed(seconds) + " s)";
}

int RunPsgSteps(AppRecord* record, const ConvertOptions& o) {
    Progress progress = StartProgress(record, record->SourceOffset);
    while (!InterruptRequested() && PsgTimerTick(record)) ShowProgress(&progress, record, o.source);
    EndProgress(progress);
    RunEndNames names{o.outputFile,         o.source,
                      Quoted(o.outputFile), nullptr,
                      record->SourceOffset, static_cast<double>(record->FrameTime),
                      RecordsUnlikeFrames};
    return EndConversionRun(record, names);
}

}  // namespace

int ConvertToPsg(AppRecord* record, const ConvertOptions& o,
                 const std::vector<std::string>& notes) {
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
    for (const std::string& note : notes) Warn(note);
    if (o.magGiven) Warn("--mag does not scale PSG output; the pattern's MAG, EU and VU do");
    return RunPsgSteps(record, o);
}
