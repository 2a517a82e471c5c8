// The data lines of a source, one at a time from SourceOffset: what both
// conversion runs read. Each read takes kSourceReadBytes into the record's
// read buffer and the line walker finds the lines in it; a line cut by the
// end of the bytes is read again from its start. Over-long pieces are
// passed over and counted. A failed read ends the lines as failed, with the
// system's reason in RunErrorText, so the run's step is not taken for the
// end of the source.
#ifndef QUILLON_SOURCE_LINES_H
#define QUILLON_SOURCE_LINES_H

#include <stdint.h>

#include "store/app_record.h"

constexpr int32_t kSourceReadBytes = 0x20000;         // one read of the source
constexpr uint32_t kSourceReadBufferBytes = 0x20100;  // room for the terminating zero

enum SourceLineStep {
    kSourceLineFound,   // a line, terminated in the read buffer
    kSourceLinesEnded,  // the source has no more lines
    kSourceReadFailed,  // a read failed: SourceReadFailed and RunErrorText are set
};

struct SourceLines {
    AppRecord* record;
    char* buffer;            // the record's read buffer
    int64_t bufferOffset;    // source offset of buffer[0]
    int32_t got;             // bytes in the buffer; -1 before the first read
    int32_t at;              // first byte not yet walked
    bool sourceEnds;         // the source ends after the bytes in the buffer
    bool readCut;            // a failed read stopped after them
    uint32_t overLongLines;  // pieces of kLineByteLimit bytes without a line end
};

struct SourceLine {
    char* text;  // NUL-terminated in the read buffer
    int32_t length;
};

// Lines from the record's SourceOffset into its ReadBuffer.
void OpenSourceLines(AppRecord* record, SourceLines* lines);

// The next line of the source.
SourceLineStep NextSourceLine(SourceLines* lines, SourceLine* line);

// Moves SourceOffset past the lines taken and adds the step's counts and
// the over-long pieces to the record's tally, unless a read failed (last):
// the step then leaves the source and the tally as they were.
void CloseSourceLines(SourceLines* lines, SourceLineStep last, const ConversionTally& step);

#endif
