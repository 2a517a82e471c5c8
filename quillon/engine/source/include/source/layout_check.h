// The layout check: reads the head as the runs would cut it under each field
// mode, suggests the layout the head shows (separator, leading non-data
// fields, label line, first data line, channel count, A/D or calibrated) and
// reports what in the current layout would convert wrongly. Findings are
// codes with values; the window and the command line word them.
#ifndef QUILLON_LAYOUT_CHECK_H
#define QUILLON_LAYOUT_CHECK_H

#include <stdint.h>

#include "store/app_record.h"

enum LayoutFindingCode : int32_t {
    kLayoutNoDataLine = 1,       // no run of data lines in the head
    kLayoutDelimiter = 2,        // values: current mode, suggested mode
    kLayoutColumns = 3,          // data columns after the leading fields, channels set
    kLayoutLeadingFields = 4,    // current leading fields, suggested
    kLayoutFirstColumnTime = 5,  // the column (from 1) read as channel 1 holds a time or counter
    kLayoutLabelsNumeric = 6,    // the label line (current) holds numbers
    kLayoutLabelLine = 7,        // current, suggested (-1: no label line)
    kLayoutDataStartLine = 8,    // current, suggested
    kLayoutValueKind = 9,        // current SourceValueKind, suggested
};

constexpr int32_t kLayoutFindingLimit = 10;
constexpr int32_t kNoLabelLine = -1;

struct LayoutFinding {
    int32_t code;  // LayoutFindingCode
    int32_t values[2];
};

struct SourceLayout {
    int32_t delimiter;      // field mode
    int32_t leadingFields;  // DataLineBias
    int32_t labelLine;      // ChStartLine, or kNoLabelLine
    int32_t dataStartLine;  // DataStartLine
    int32_t channels;       // ChannelCount
    int32_t valueKind;      // SourceValueKind
};

struct LayoutCheck {
    SourceLayout current;
    SourceLayout suggested;  // the current layout when the head shows no data
    int32_t findingCount;
    LayoutFinding findings[kLayoutFindingLimit];
};

extern "C" {

// Judges current against the head. Returns the number of findings (0: the
// layout looks right).
int32_t CheckHeadLayout(const char* head, int32_t headLength, const SourceLayout* current,
                        LayoutCheck* check);

// The same for the open source and the record's layout; -1 when no source is
// open.
int32_t CheckSourceLayout(const AppRecord* record, LayoutCheck* check);

// The record's layout as the check sees it.
void CurrentSourceLayout(const AppRecord* record, SourceLayout* layout);
}

#endif
