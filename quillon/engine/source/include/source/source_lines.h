// The lines of a source, one at a time from SourceOffset: what both
// conversion runs read. Each read takes kSourceReadBytes into the record's
// read buffer and the line walker finds the lines in it; a line cut by the
// end of the bytes is read again from its start, and the rest of an
// over-long line is passed over, however far it runs. A failed read, or a
// source that ends before the size it had when the run started, ends the
// lines as failed with the reason in RunErrorText, so the run's step is not
// taken for the end of the source.
#ifndef QUILLON_SOURCE_LINES_H
#define QUILLON_SOURCE_LINES_H

#include <stdint.h>

#include "store/app_record.h"

constexpr int32_t kSourceReadBytes = 0x20000;       // one read of the source
constexpr uint32_t kSourceReadHalfBytes = 0x20100;  // room for the terminating zero
// Two halves: the bytes being walked and the next read, taken while the
// helper thread makes rows of the first.
constexpr uint32_t kSourceReadBufferBytes = 2 * kSourceReadHalfBytes;

enum SourceLineStep {
    kSourceLineFound,   // a line, terminated in the read buffer
    kSourceLinesEnded,  // the source has no more lines
    kSourceReadFailed,  // a read failed: SourceReadFailed and RunErrorText are set
};

// The next read, taken ahead into the other half of the read buffer.
struct ReadAhead {
    char* buffer;
    int64_t offset;  // of buffer[0]
    int32_t got;     // -1: nothing read ahead
    bool sourceEnds;
};

struct SourceLines {
    AppRecord* record;
    char* buffer;          // the half of the record's read buffer being walked
    int64_t bufferOffset;  // source offset of buffer[0]
    int32_t got;           // bytes in the buffer; -1 before the first read
    int32_t at;            // first byte not yet walked
    bool sourceEnds;       // the source ends after the bytes in the buffer
    bool readCut;          // a failed read stopped after them
    uint64_t taken;        // lines handed out
    ReadAhead ahead;
};

struct SourceLine {
    char* text;  // NUL-terminated in the read buffer; empty for an over-long line
    int32_t length;
    bool overLong;  // more than kLineByteLimit bytes: never data
};

// Sets SourceOffset to line DataStartLine (the first line when the head has
// no such line) and the record's LinePlace to a run that has made nothing.
void StartSourceLines(AppRecord* record);

// Lines from the record's SourceOffset into its ReadBuffer.
void OpenSourceLines(AppRecord* record, SourceLines* lines);

// The next line of the source.
SourceLineStep NextSourceLine(SourceLines* lines, SourceLine* line);

// The next line when it lies whole in the bytes already read: no read, so
// every line handed out this way stays where it is until the next read.
// False (nothing taken) for any other line and at the end of the bytes.
bool NextBufferedLine(SourceLines* lines, SourceLine* line);

// Up to most lines as NextBufferedLine hands them out, into out: the count.
uint32_t NextBufferedLines(SourceLines* lines, SourceLine* out, uint32_t most);

// Whether every whole line of the bytes read has been handed out and the
// source goes on after them: the next read is then known.
bool WantsReadAhead(const SourceLines* lines);

// Takes the next read into the other half of the buffer, so that the lines
// handed out stay where they are; the next line past them comes from it.
void ReadAheadSourceLines(SourceLines* lines);

// The source offset of the first byte not yet walked.
int64_t WalkOffset(const SourceLines* lines);

// Whether the next line needs a new read (no whole line is left in the
// bytes read, and the source goes on) and bytes more bytes from the walk's
// offset lie within the size the source had at the start.
bool WantsReadOf(const SourceLines* lines, int32_t bytes);

// The buffer now holds got bytes from offset, read by the caller, and
// lines up to at were handed out, count of them: the walk goes on there.
void TakeOwnRead(SourceLines* lines, int64_t offset, int32_t got, int32_t at, uint32_t count);

// The buffer no longer holds what the walk read: the next line is read
// again from offset.
void ForgetRead(SourceLines* lines, int64_t offset);

// Gives back the line last handed out: it is the first of the next step.
void PutBackSourceLine(SourceLines* lines, const SourceLine& line);

// Moves SourceOffset and the line index past the lines taken and adds the
// step's counts to the record's tally, unless a read failed (last): the step
// then leaves the source and the tally as they were.
void CloseSourceLines(SourceLines* lines, SourceLineStep last, const ConversionTally& step);

#endif
