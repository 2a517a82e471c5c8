// Whether the open source can be converted at all, asked before any output
// is created: a file that is empty, UTF-16 or UTF-32 text, binary, or whose
// first data line has fewer values than channels would become a recording
// of zeros or garbage that opens fine.
#ifndef QUILLON_SOURCE_CHECKS_H
#define QUILLON_SOURCE_CHECKS_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"
#include "store/reasons.h"

enum SourceVerdict {
    kSourceUsable = 0,
    kSourceNotOpen = 1,
    kSourceEmpty = 2,  // no byte of text (a byte order mark alone counts as none)
    kSourceUtf16 = 3,
    kSourceUtf32 = 4,
    kSourceBinary = 5,      // NUL bytes in the head
    kSourceNoDataLine = 6,  // the whole source has no line DataStartLine
    kSourceTooFewColumns = 7,
    kSourceDataLineBeyondHead = 8,  // the line cannot be found in the head read ahead
};

struct SourceCheck {
    int32_t verdict;
    int32_t line;      // DataStartLine, for the data line verdicts
    int32_t columns;   // values found on it
    int32_t channels;  // ChannelCount
};

extern "C" {

// Checks the open source against the layout. Returns the verdict (also in
// check, may be null).
int32_t CheckSourceForConversion(const AppRecord* record, SourceCheck* check);

// The verdict as a reason: its code, the data line (from 0), the values
// found on it, the channels set and the bytes read ahead.
Reason SourceVerdictReason(const SourceCheck* check);

// The verdict in English, one line without a final period. Returns the
// length written.
int32_t FormatSourceVerdict(const SourceCheck* check, char* out, size_t size);
}

#endif
