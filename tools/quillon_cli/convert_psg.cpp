#include "convert_psg.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "convert_report.h"
#include "interrupts.h"
#include "ostrel.h"
#include "platform.h"
#include "psg/psg_run.h"
#include "runs/start_reasons.h"

namespace {

constexpr int32_t kOstrelSection = 0;
constexpr int32_t kOstrelFramesItem = 4;  // ordinal 34: frames committed so far

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

// What the finish says when the file is not the whole source.
int PsgEndProblem(const AppRecord* record, uint32_t flags, const ConvertOptions& o,
                  int32_t framesWritten, int64_t readTo) {
    const char* path = o.outputFile;
    const std::string held = Quoted(path) + " holds the first " +
                             HeldFrames(framesWritten > 0 ? framesWritten : 0, record->FrameTime);
    const std::string removed = Quoted(path) + " held no frame and was removed";
    if (flags & kPsgFinishWriteFailed)
        return Fail(kExitFailed, "writing " + Quoted(path) + " failed (" + record->RunErrorText +
                                     "); " + (flags & kPsgFinishRemoved ? removed : held));
    const std::string result = flags & kPsgFinishRemoved ? removed : held;
    if (flags & kPsgFinishLayoutChanged)
        return Fail(kExitFailed, "the layout changed during the run; " + result);
    if (flags & kPsgFinishInterrupted) return Fail(kExitInterrupted, "interrupted; " + result);
    if (flags & kPsgFinishRemoved)
        return Fail(kExitFailed, "no line of " + Quoted(o.source) + " was data; " + removed);
    if (!(flags & kPsgFinishClosed)) return Fail(kExitFailed, "cannot close " + Quoted(path));
    if (flags & kPsgFinishSourceLeft)
        return Fail(kExitFailed, "reading " + Quoted(o.source) + " failed at byte " +
                                     std::to_string(readTo) + "; " + held);
    return kExitConverted;
}

// " (R EDF records of D s)" when the file's records are not one frame long
// (a channel rate that needs longer records): read from the header the
// finished file has.
std::string RecordsUnlikeFrames(const char* path, int32_t frameTime) {
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
    if (end == seconds.c_str() || duration == static_cast<double>(frameTime)) return std::string();
    auto trimmed = [](const std::string& text) { return text.substr(0, text.find(' ')); };
    return " (" + trimmed(records) + " EDF records of " + trimmed(seconds) + " s)";
}

// Every tick, then the finish; the summary line only when the file holds
// every epoch the run read.
int RunPsgSteps(AppRecord* record, const ConvertOptions& o) {
    const char* path = o.outputFile;
    Progress progress = StartProgress(record, record->SourceOffset);
    while (!InterruptRequested() && PsgTimerTick(record)) ShowProgress(&progress, record, o.source);
    EndProgress(progress);
    // Ostrel counts what it wrote; a failed write stops its count.
    const int32_t framesWritten =
        OstrelCount(record->OutputFile, kOstrelSection, kOstrelFramesItem);
    const int64_t readTo = record->SourceOffset;
    const uint32_t flags = InterruptRequested() && record->OutputFile != 0
                               ? InterruptPsgConversion(record)
                               : FinishPsgConversion(record);
    const int ended = PsgEndProblem(record, flags, o, framesWritten, readTo);
    if (ended == kExitConverted) {
        std::printf("%s: %" PRId32 " frames, %" PRIu32 " steps%s\n", path, framesWritten,
                    record->StepCount, RecordsUnlikeFrames(path, record->FrameTime).c_str());
        std::fflush(stdout);
    }
    if (ended == kExitConverted || ended == kExitInterrupted) PrintTally(record->Tally);
    return ended;
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
