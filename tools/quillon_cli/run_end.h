// The end of a conversion run in the English lines scripts read: the engine
// ends the run and names the causes, this file words them.
#ifndef QUILLON_CLI_RUN_END_H
#define QUILLON_CLI_RUN_END_H

#include <cstdint>
#include <string>

#include "store/app_record.h"

// The names and numbers the lines give besides the engine's counts.
struct RunEndNames {
    std::string output;      // the file written
    std::string source;      // the file read
    std::string closing;     // what "cannot close" names
    const char* settings;    // receives the next file number; null for named files
    int64_t readTo;          // where reading the source stopped
    double secondsPerFrame;  // for what a shortened file holds
    // Appended to the summary line, read from the finished file; may be null.
    std::string (*summarySuffix)(const RunEndNames& names) = nullptr;
};

// Ends the run record owns (interrupted when the user asked) and reports it:
// one error line for a run that failed, otherwise the summary and count
// lines, then what the finish could not do. Returns the exit status.
int EndConversionRun(AppRecord* record, const RunEndNames& names);

#endif
