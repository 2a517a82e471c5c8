// The head of the source as the source page lists it, line by line: what
// "<< Set" hands to SetChannelLabels. Double-byte characters and half-width
// katakana are kept, a TAB becomes a blank, other bytes outside 32..127 are
// dropped. Lines are found as the conversion runs find them.
#ifndef QUILLON_HEAD_LINES_H
#define QUILLON_HEAD_LINES_H

#include <stdint.h>

#include <functional>

#include "source/line_walker.h"

constexpr int32_t kHeadListLineLimit = 100;  // lines listed at most

extern "C" {

// Line lineIndex (from 0) of the list made from head. A line ends at CR, LF
// or CR LF; a line the head ends in is listed only when the head is shorter
// than the head size (it then holds the whole source). out holds kLineByteLimit
// + 1 bytes. Returns the line's length, or -1 (and an empty text) when the
// list has no such line.
int32_t HeadListLine(const char* head, int32_t headLength, int32_t lineIndex, char* out);

// The same line as a label line for field mode mode: in the tab mode a TAB
// stays, since it ends a label there.
int32_t HeadLabelLine(const char* head, int32_t headLength, int32_t lineIndex, int32_t mode,
                      char* out);

// The number of lines listed.
int32_t HeadListLineCount(const char* head, int32_t headLength);
}

// Calls onLine(index, span) for the lines of head, at most lineLimit, until
// it returns false; returns the lines visited.
using HeadLineVisitor = std::function<bool(int32_t, const LineSpan&)>;
int32_t WalkHeadLines(const char* head, int32_t headLength, int32_t lineLimit,
                      const HeadLineVisitor& onLine);

// The byte offset of line lineIndex in head: 0 for line 0 and below, -1
// when the head has no such line.
int64_t HeadLineOffset(const char* head, int32_t headLength, int32_t lineIndex);

// Bytes per line, line end included, over the listed lines from firstLine
// on that end within the head; 0 when there is none. What a source's length
// in lines is estimated from.
double MeanHeadLineBytes(const char* head, int32_t headLength, int32_t firstLine);

#endif
