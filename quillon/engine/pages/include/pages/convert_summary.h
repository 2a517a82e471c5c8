// What a conversion started now would write, shown on the convert pages
// before the start: the channels switched on, the rate, the length the
// source's size gives, who was recorded and where it goes.
#ifndef QUILLON_CONVERT_SUMMARY_H
#define QUILLON_CONVERT_SUMMARY_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"

constexpr double kSecondsUnknown = -1.0;

struct ConvertSummary {
    int32_t channels;  // rows of the output's pattern switched on
    int32_t sampleRate;
    double seconds;  // estimated, or kSecondsUnknown
    char patientId[sizeof(PatientInfo::PatientId)];
    char patientName[sizeof(PatientInfo::Name1)];
    char target[kPathSize];  // the PSG file, or the EEG wave's file name
};

extern "C" {

// The seconds of data in the open source: the bytes from the first data
// line to its end over the mean length of the head's data lines, at the
// record's rate. kSecondsUnknown without a source, a rate or a data line.
double SourceSecondsEstimate(const AppRecord* record);

// The summary for the record; eegFileName is the name the EEG run would
// take (the page knows its volume), ignored for PSG output.
void DescribeConvertSummary(const AppRecord* record, const char* eegFileName,
                            ConvertSummary* summary);

// pattern with %c channels, %r rate, %d duration (h:mm:ss, "?" unknown),
// %i patient ID, %n name and %t target replaced; returns the length written.
int32_t FormatConvertSummary(const char* pattern, const ConvertSummary* summary, char* out,
                             size_t size);
}

#endif
