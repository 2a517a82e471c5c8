// The wave preview: a stretch of the source read as the run of the output
// kind in use reads it (the same line reader, field readers, scaling and
// polarity, through the run's own frame and row readers), reduced for
// drawing to a minimum and a maximum per trace and pixel column, with the
// places of the lines that are not data. Only the stretch is read: a start
// past the first second is found from an estimate of its byte offset (the
// data's start plus seconds x rate x the mean line length of the head's data
// lines), moved on to the next line start, so any second of a source of any
// size opens at once in bounded memory.
#ifndef QUILLON_PREVIEW_MODEL_H
#define QUILLON_PREVIEW_MODEL_H

#include <stdint.h>

#include "store/app_record.h"

constexpr double kPreviewDefaultSeconds = 10.0;
constexpr double kPreviewSecondsLimit = 60.0;
constexpr int32_t kPreviewLineLimit = 600000;  // lines of one stretch at most
constexpr int32_t kPreviewColumnLimit = 8192;
constexpr int32_t kPreviewMarkLimit = 4096;  // non-data lines placed at most
constexpr int32_t kPreviewLabelSize = 32;
constexpr int32_t kPreviewUnitSize = 16;
constexpr int32_t kPreviewNoLine = -1;  // a row a non-data line made: zeros, not samples

enum PreviewOutcome : int32_t {
    kPreviewMade = 0,
    kPreviewNoSource = 1,
    kPreviewBadLayout = 2,  // channel count or rate outside their ranges
    kPreviewNoTrace = 3,    // no row of the pattern is switched on
    kPreviewOutOfMemory = 4,
    kPreviewReadFailed = 5,
};

struct PreviewTrace {
    int32_t channel;  // source channel, from 0
    char label[kPreviewLabelSize];
    char unit[kPreviewUnitSize];
    int16_t low;  // over the stretch; low > high when it holds no data
    int16_t high;
    double unitsPerValue;  // the unit's amount a stored value stands for
};

struct PreviewModel {
    double fromSecond;  // of the first line read, from the recording start
    double seconds;     // the stretch asked for
    int32_t sampleRate;
    int32_t estimated;  // 1: the start was found by estimate, not by counting lines
    int32_t columns;
    int32_t lines;      // rows the run made: one a line from the first data line on
    int32_t dataLines;  // rows held in samples (the same count)
    int32_t channels;   // samples per data line (ChannelCount)
    int32_t traceCount;
    PreviewTrace traces[kPatternRowCount];
    // traceCount x columns each; a column without data has minimum > maximum.
    int16_t* minimum;
    int16_t* maximum;
    // dataLines x channels: the values as the run stores them, in line order,
    // and the line (within the stretch) of each, kPreviewNoLine for the zero
    // row of a line that is not data.
    int16_t* samples;
    int32_t* dataLineIndex;
    int32_t markCount;
    int32_t marks[kPreviewMarkLimit];  // lines within the stretch that are not data
};

extern "C" {

// Reads seconds (0: the default, at most the limit) from second fromSecond
// of the open source and reduces it to columns pixel columns. The model's
// arrays are allocated; FreePreviewModel releases them. The record is not
// changed.
int32_t MakePreviewModel(const AppRecord* record, double fromSecond, double seconds,
                         int32_t columns, PreviewModel* model);

void FreePreviewModel(PreviewModel* model);

// A digest of what the picture depends on: the source, its layout, the
// output kind, polarity and the pattern in use. Equal digests draw the same.
uint32_t PreviewRecordDigest(const AppRecord* record);

// The pixel column of a line of the stretch.
int32_t PreviewColumnOfLine(const PreviewModel* model, int32_t line);
}

#endif
