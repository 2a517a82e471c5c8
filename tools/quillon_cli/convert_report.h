// What a conversion tells its user: exit statuses, the one-line error on
// standard error, warnings and the progress of a long run.
#ifndef QUILLON_CLI_CONVERT_REPORT_H
#define QUILLON_CLI_CONVERT_REPORT_H

#include <chrono>
#include <cstdint>
#include <string>

#include "store/app_record.h"

constexpr int kExitConverted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitPartial = 3;

// Prints "quillon-cli: message" and returns status.
int Fail(int status, const std::string& message);

// "quillon-cli: warning: message".
void Warn(const std::string& message);

std::string Quoted(const char* text);

// The source page's column check, as a warning: a data line with more
// columns than channels converts only the first ones (fewer are refused).
void WarnOnColumnMismatch(const AppRecord* record, const char* source);

// Refuses a source no run can convert faithfully (empty, UTF-16, binary,
// too few columns on its first data line): false with the reason.
bool CheckSource(const AppRecord* record, const char* source, std::string* error);

// After the summary line: what the run did with lines that were not data
// and values it could not store as read, when there were any.
void PrintTally(const ConversionTally& tally);

// The share of the source read, shown a few times a second once a run has
// taken longer than a second.
struct Progress {
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point shown;
    bool visible;
    int64_t first;  // where the data begins
    int64_t size;   // of the source, -1 when unknown
};

Progress StartProgress(const AppRecord* record, int64_t first);
void ShowProgress(Progress* progress, const AppRecord* record, const char* source);
// Ends the progress line, if one was shown.
void EndProgress(const Progress& progress);

#endif
