// Where the lines of a source are: the one rule the head list, the EEG run
// and the PSG run share, so a line number on the source page is the line the
// runs convert. CR, LF and CR LF end a line, mixed freely; a line of more
// than kLineByteLimit bytes is over-long, one line up to its line end; a last
// piece without a line end is a line when it holds more than blanks and
// control bytes.
#ifndef QUILLON_LINE_WALKER_H
#define QUILLON_LINE_WALKER_H

#include <stdint.h>

#include "store/app_record.h"

enum LineFind {
    kLineComplete,  // ended by CR, LF or CR LF
    kLineLast,      // the source ends without a line end after text
    kLineOverLong,  // more than kLineByteLimit bytes: next is after its end
    kLineOverOpen,  // over-long, and its end lies beyond the bytes given
    kLineCut,       // the bytes end before the line does: read on from start
    kLineNone,      // nothing left but blanks and control bytes at the end
};

struct LineSpan {
    int32_t start;   // first byte
    int32_t length;  // bytes before the line end, at most kLineByteLimit
    int32_t next;    // first byte after the line end
};

// The line starting at at in text[0..end). sourceEnds tells that the source
// ends at end (else more bytes may follow).
LineFind FindLine(const char* text, int32_t at, int32_t end, bool sourceEnds, LineSpan* line);

// Up to most complete lines from at on in text[0..end), found 64 bytes at
// a time, into spans: each as FindLine finds it. Stops before a line it is
// not sure of (within 64 bytes of end, or over-long) and leaves that to
// FindLine; the count found. None without SSE2.
uint32_t FindWholeLines(const char* text, int32_t at, int32_t end, LineSpan* spans, uint32_t most);

// Only blanks and control bytes (an end-of-file mark, a lone CR).
bool HoldsNoText(const char* text, int32_t length);

// The end of an over-long line that runs beyond the bytes given: the first
// byte after its line end in text[at..end), or -1 when it ends beyond them
// too. A CR at end - 1 is left for the next bytes unless the source ends.
int32_t SkipLineRest(const char* text, int32_t at, int32_t end, bool sourceEnds);

// Counts a line that gave no frame or row by why it is none: a NUL byte
// cut it short, it was blank, none of its channels held a number, or it had
// fewer values than channels.
void TallyNonDataLine(const char* line, int32_t length, bool noNumber, ConversionTally* tally);

#endif
