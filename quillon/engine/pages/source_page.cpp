#include "pages/source_page.h"

#include <cstdio>
#include <cstring>

#include "source/field_reader.h"
#include "source/head_lines.h"
#include "platform.h"
#include "source/source_reader.h"

const ListEntry kSampleRateEntries[kSampleRateEntryCount] = {
    {"   2 ", 2},      {"   5 ", 5},     {"  10 ", 10},    {"  20 ", 20},    {"  25 ", 25},
    {"  30 ", 30},     {"  50 ", 50},    {" 100 ", 100},   {" 128 ", 128},   {" 200 ", 200},
    {" 250 ", 250},    {" 256 ", 256},   {" 300 ", 300},   {" 400 ", 400},   {" 500 ", 500},
    {" 512 ", 512},    {" 1000 ", 1000}, {" 1024 ", 1024}, {" 2000 ", 2000}, {" 5000 ", 5000},
    {"10000 ", 10000},
};

const ListEntry kMagnificationEntries[kMagnificationEntryCount] = {
    {"1/1000000 ", -1000000},
    {"1/100000 ", -100000},
    {"1/10000 ", -10000},
    {"1/1000 ", -1000},
    {"1/100 ", -100},
    {"1/10 ", -10},
    {"  1 ", 1},
    {"  10 ", 10},
    {"  100 ", 100},
    {"  1000 ", 1000},
    {"  10000 ", 10000},
    {"  100000 ", 100000},
    {"  1000000 ", 1000000},
    {"  10000000 ", 10000000},
    {"  100000000 ", 100000000},
    {"  1000000000 ", 1000000000},
};

const ListEntry kDelimiterEntries[kDelimiterEntryCount] = {
    {"  ,  ", 0}, {"Space", 1}, {" Tab ", 2}};
const ListEntry kNotchEntries[kNotchEntryCount] = {{"--- ", 0}, {" 50 ", 1}, {" 60 ", 2}};

namespace {

struct TypedRange {
    int32_t AppRecord::*field;
    int32_t low;
    int32_t high;
    const char* format;
};

const TypedRange kTypedRanges[kTypedFieldCount] = {
    {&AppRecord::OrgTimeRes, 1, 10000, "%5i"}, {&AppRecord::RecordYear, 1990, 2099, "%04i"},
    {&AppRecord::RecordMonth, 1, 12, "%02i"},  {&AppRecord::RecordDay, 1, 31, "%02i"},
    {&AppRecord::RecordHour, 0, 23, "%02i"},   {&AppRecord::RecordMinute, 0, 59, "%02i"},
    {&AppRecord::RecordSecond, 0, 59, "%02i"},
};

constexpr int32_t kTypedRateLow = 1;
constexpr int32_t kTypedRateHigh = 1000000;

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

extern "C" int32_t FindListEntry(const ListEntry* entries, int32_t count, int32_t value) {
    for (int32_t i = 0; entries != nullptr && i < count; ++i)
        if (entries[i].value == value) return i;
    return -1;
}

extern "C" int32_t ReadTypedNumber(const char* text) {
    if (text == nullptr) return 0;
    while (IsBlank(*text)) ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX + int64_t{1}) value = INT32_MAX + int64_t{1};
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

extern "C" int32_t TakeTypedSourceValue(AppRecord* record, int32_t field, const char* text) {
    if (record == nullptr || field < 0 || field >= kTypedFieldCount) return 0;
    const TypedRange& range = kTypedRanges[field];
    const int32_t value = ReadTypedNumber(text);
    if (value < range.low || value > range.high) return 0;
    record->*range.field = value;
    return 1;
}

extern "C" void FormatSourceValue(const AppRecord* record, int32_t field, char* out,
                                  int32_t outSize) {
    if (out == nullptr || outSize <= 0) return;
    out[0] = '\0';
    if (record == nullptr || field < 0 || field >= kTypedFieldCount) return;
    const TypedRange& range = kTypedRanges[field];
    std::snprintf(out, static_cast<size_t>(outSize), range.format,
                  static_cast<int>(record->*range.field));
}

extern "C" int32_t TakeTypedSampleRate(AppRecord* record, const char* text) {
    if (record == nullptr) return kRateRefused;
    if (record->CopyFileType == kOutputEegFiling32) return kRateRefusedWithBeep;
    const int32_t rate = ReadTypedNumber(text);
    if (rate < kTypedRateLow || rate > kTypedRateHigh) return kRateRefused;
    record->SampleRate = rate;
    return kRateTaken;
}

extern "C" void SelectChannelCount(AppRecord* record, int32_t count) {
    if (record == nullptr || count < 0 || count > kChannelCountListMax) return;
    record->ChannelCount = count;
    SwitchChannelRows(record, count);
}

extern "C" int32_t DataColumnsToAsk(const AppRecord* record, const char* line) {
    const int32_t count = CountDataColumns(record, line);
    if (count < 0 || count == record->ChannelCount) return -1;
    return count;
}

extern "C" int32_t HeadLineMarks(const AppRecord* record, int32_t index) {
    if (record == nullptr) return kHeadLinePlain;
    int32_t marks = kHeadLinePlain;
    if (index == record->ChStartLine) marks |= kHeadLineLabels;
    if (index == record->DataStartLine) marks |= kHeadLineDataStart;
    return marks;
}

namespace {

constexpr size_t kValueTextSize = 16;

bool CountsLines(int32_t code) {
    return code == kLayoutLabelsNumeric || code == kLayoutLabelLine || code == kLayoutDataStartLine;
}

// Value which (0 or 1) of a finding as the page words it.
void FindingValueText(const LayoutFinding* f, int which, char* out) {
    const int32_t v = f->values[which];
    if (f->code == kLayoutDelimiter && v >= 0 && v < kDelimiterEntryCount) {
        std::snprintf(out, kValueTextSize, "%s", kDelimiterEntries[v].text);
    } else if (CountsLines(f->code)) {
        if (v == kNoLabelLine)
            std::snprintf(out, kValueTextSize, "-");
        else
            std::snprintf(out, kValueTextSize, "%d", int(v) + 1);
    } else {
        std::snprintf(out, kValueTextSize, "%d", int(v));
    }
}

}  // namespace

extern "C" int32_t FormatLayoutFinding(const char* pattern, const LayoutFinding* finding, char* out,
                                       size_t size) {
    if (out == nullptr || size == 0) return 0;
    size_t at = 0;
    for (const char* p = pattern; p != nullptr && *p != '\0' && at + 1 < size; ++p) {
        if (p[0] != '%' || (p[1] != '1' && p[1] != '2')) {
            out[at++] = *p;
            continue;
        }
        char value[kValueTextSize];
        FindingValueText(finding, p[1] - '1', value);
        for (const char* v = value; *v != '\0' && at + 1 < size; ++v) out[at++] = *v;
        ++p;
    }
    out[at] = '\0';
    return static_cast<int32_t>(at);
}

extern "C" void ApplySuggestedLayout(AppRecord* record, const SourceLayout* layout) {
    if (record == nullptr || layout == nullptr) return;
    record->DelimitChar = static_cast<uint16_t>(layout->delimiter);
    record->DataLineBias = layout->leadingFields;
    record->DataStartLine = layout->dataStartLine;
    record->OrgCalDataType = static_cast<uint16_t>(layout->valueKind);
    if (layout->labelLine != kNoLabelLine) {
        record->ChStartLine = layout->labelLine;
        char line[kLineByteLimit + 1];
        HeadLabelLine(record->SourceText, record->SourceTextLength, layout->labelLine,
                      layout->delimiter, line);
        SetChannelLabels(record, line);
    }
    SelectChannelCount(record, layout->channels);
}
