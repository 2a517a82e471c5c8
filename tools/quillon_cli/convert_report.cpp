#include "convert_report.h"

#include <cstdio>

#include <cinttypes>

#include "source/head_lines.h"
#include "source/source_checks.h"
#include "source/source_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

int Fail(int status, const std::string& message) {
    std::fprintf(stderr, "quillon-cli: %s\n", message.c_str());
    return status;
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "quillon-cli: warning: %s\n", message.c_str());
}

std::string Quoted(const char* text) { return std::string("\"") + text + "\""; }

void WarnOnColumnMismatch(const AppRecord* record, const char* source) {
    char line[kLineByteLimit + 1];
    if (HeadLabelLine(record->SourceText, record->SourceTextLength, record->DataStartLine,
                      record->DelimitChar, line) < 0)
        return;
    int32_t columns = CountDataColumns(record, line);
    if (columns >= 0 && columns > record->ChannelCount)
        Warn("line " + std::to_string(record->DataStartLine) + " of " + source + " has " +
             std::to_string(columns) + " data columns, " + std::to_string(record->ChannelCount) +
             " channels are set");
}

bool CheckSource(const AppRecord* record, const char* source, std::string* error) {
    SourceCheck check{};
    if (CheckSourceForConversion(record, &check) == kSourceUsable) return true;
    char reason[256];
    FormatSourceVerdict(&check, reason, sizeof reason);
    *error = "cannot convert " + Quoted(source) + ": " + reason;
    return false;
}

namespace {

std::string Counted(uint64_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// ", N what" when N is not 0.
void AddCount(std::string* text, uint64_t n, const char* what) {
    if (n == 0) return;
    *text += (text->empty() ? "" : ", ") + std::to_string(n) + " " + what;
}

}  // namespace

void PrintTally(const ConversionTally& tally) {
    std::string notData;
    AddCount(&notData, tally.BlankLines, "blank");
    AddCount(&notData, tally.ShortLines, "with fewer values than channels");
    AddCount(&notData, tally.NoNumberLines, "without a number");
    AddCount(&notData, tally.NulLines, "with NUL bytes");
    AddCount(&notData, tally.OverLongLines, "over 4000 bytes");
    if (notData.empty() && tally.SaturatedValues == 0 && tally.NotNumbers == 0 &&
        tally.ClippedValues == 0 && tally.UnnotedRuns == 0)
        return;
    std::string line = std::to_string(tally.DataRows) + " data rows";
    if (!notData.empty()) line += "; lines not data: " + notData;
    if (tally.SaturatedValues != 0)
        line += "; " + Counted(tally.SaturatedValues, "value") +
                " beyond the 16-bit range (stored at its limit)";
    if (tally.ClippedValues != 0)
        line += "; " + Counted(tally.ClippedValues, "value") +
                " clipped to -32767..32767, the file's digital range";
    if (tally.NotNumbers != 0)
        line += "; " + Counted(tally.NotNumbers, "field") +
                " not read as whole numbers (stored as 0 or as far as read)";
    if (tally.UnnotedRuns != 0)
        line += "; " + Counted(tally.UnnotedRuns, "run") +
                " of non-data lines not annotated (no room left in the annotation signal)";
    std::printf("counts: %s\n", line.c_str());
    std::fflush(stdout);
}

Progress StartProgress(const AppRecord* record, int64_t first) {
    Progress progress{};
    progress.started = Clock::now();
    progress.first = first;
    progress.size = PlatFileSize(record->SourceFile);
    return progress;
}

void ShowProgress(Progress* progress, const AppRecord* record, const char* source) {
    const Clock::time_point now = Clock::now();
    if (now - progress->started < std::chrono::seconds(1) ||
        now - progress->shown < std::chrono::milliseconds(250))
        return;
    progress->shown = now;
    const int64_t span = progress->size - progress->first;
    const int percent =
        span > 0 ? static_cast<int>((record->SourceOffset - progress->first) * 100 / span) : 0;
    std::fprintf(stderr, "\rquillon-cli: converting %s: %3d%%", source, percent);
    std::fflush(stderr);
    progress->visible = true;
}

void EndProgress(const Progress& progress) {
    if (progress.visible) std::fputc('\n', stderr);
}
