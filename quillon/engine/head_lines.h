// The head of the source as the source page lists it, line by line: what
// "<< Set" hands to SetChannelLabels. Double-byte characters are kept whole,
// a TAB becomes a blank, other bytes outside 32..127 are dropped.
#ifndef QUILLON_HEAD_LINES_H
#define QUILLON_HEAD_LINES_H

#include <stdint.h>

constexpr int32_t kHeadListLineLimit = 100;  // lines listed at most

extern "C" {

// Line lineIndex (from 0) of the list made from head. A line ends at CR, LF
// or CR LF; a line the head ends in is not listed. out holds kLineByteLimit
// + 1 bytes. Returns the line's length, or -1 (and an empty text) when the
// list has no such line.
int32_t HeadListLine(const char* head, int32_t headLength, int32_t lineIndex, char* out);

// The number of lines listed.
int32_t HeadListLineCount(const char* head, int32_t headLength);

}

#endif
