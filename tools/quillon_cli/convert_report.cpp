#include "convert_report.h"

#include <cstdio>

#include "head_lines.h"
#include "source_reader.h"

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
    if (HeadListLine(record->SourceText, record->SourceTextLength, record->DataStartLine, line) < 0)
        return;
    int32_t columns = CountDataColumns(record, line);
    if (columns >= 0 && columns != record->ChannelCount)
        Warn("line " + std::to_string(record->DataStartLine) + " of " + source + " has " +
             std::to_string(columns) + " data columns, " + std::to_string(record->ChannelCount) +
             " channels are set");
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
