// What the source data page decides: its list entries, the head lines it
// lists, and which typed values it takes. The page moves the results between
// its controls and the record.
#ifndef QUILLON_SOURCE_PAGE_H
#define QUILLON_SOURCE_PAGE_H

#include <stddef.h>
#include <stdint.h>

#include "source/layout_check.h"
#include "store/app_record.h"

// An entry of a drop-down list and the value it carries.
struct ListEntry {
    const char* text;
    int32_t value;
};

constexpr int32_t kSampleRateEntryCount = 21;
constexpr int32_t kMagnificationEntryCount = 16;
constexpr int32_t kDelimiterEntryCount = 3;
constexpr int32_t kNotchEntryCount = 3;
// Highest number of the numeric lists; an entry's index is its value.
constexpr int32_t kLabelLineListMax = 200;
constexpr int32_t kDataStartListMax = 80;
constexpr int32_t kDataBiasListMax = 16;
constexpr int32_t kChannelCountListMax = 256;
constexpr int32_t kHeadListLines = 100;

extern const ListEntry kSampleRateEntries[kSampleRateEntryCount];
extern const ListEntry kMagnificationEntries[kMagnificationEntryCount];
extern const ListEntry kDelimiterEntries[kDelimiterEntryCount];
extern const ListEntry kNotchEntries[kNotchEntryCount];

// Values typed into the page's edits.
enum SourceTypedField {
    kTypedTimeResolution,
    kTypedYear,
    kTypedMonth,
    kTypedDay,
    kTypedHour,
    kTypedMinute,
    kTypedSecond,
    kTypedFieldCount
};

// What a listed head line is marked as, bits.
enum HeadLineMark : int32_t {
    kHeadLinePlain = 0,
    kHeadLineLabels = 1,     // the label line ("Ch Label Line")
    kHeadLineDataStart = 2,  // the first data line ("Data Start Line")
};

// What became of a typed sampling rate.
enum TypedRateOutcome { kRateTaken, kRateRefused, kRateRefusedWithBeep };

extern "C" {

// The index of the entry carrying value, or -1.
int32_t FindListEntry(const ListEntry* entries, int32_t count, int32_t value);

// Decimal text as the page reads it: leading blanks, a sign, digits up to the
// first other character; no number reads 0; beyond 32 bits the nearest limit.
int32_t ReadTypedNumber(const char* text);

// Takes a typed value into its record field when it lies in the field's
// range; 1 taken, 0 refused (the field keeps its value).
int32_t TakeTypedSourceValue(AppRecord* record, int32_t field, const char* text);
// The field's value as its edit shows it ("%5i" or "%04i" or "%02i") in
// out of outSize bytes.
void FormatSourceValue(const AppRecord* record, int32_t field, char* out, int32_t outSize);

// A sampling rate typed into the list's edit. EEG output takes only the
// listed rates, so anything typed there is refused with a beep.
int32_t TakeTypedSampleRate(AppRecord* record, const char* text);

// "Ch Number" chosen: the count and the rows of both patterns in use.
void SelectChannelCount(AppRecord* record, int32_t count);

// The data column count of a data line differs from ChannelCount: returns
// that count, or -1 when there is nothing to ask.
int32_t DataColumnsToAsk(const AppRecord* record, const char* line);

// The marks of listed line index (from 0) under the record's layout.
int32_t HeadLineMarks(const AppRecord* record, int32_t index);

// pattern with %1 and %2 replaced by the finding's values as the page shows
// them: lines counted from 1 ("-" for no label line), field modes by their
// list entry; returns the length written.
int32_t FormatLayoutFinding(const char* pattern, const LayoutFinding* finding, char* out,
                            size_t size);

// Takes the layout check's suggestion into the record: field mode, leading
// fields, first data line, value kind, the labels of the label line (read
// in the suggested mode) and the channel count.
void ApplySuggestedLayout(AppRecord* record, const SourceLayout* layout);
}

#endif
