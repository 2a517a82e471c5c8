#include "source/layout_check.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "source/field_cutter.h"
#include "source/head_lines.h"

namespace {

constexpr int32_t kProbedColumns = 4;  // leading columns examined as time or counter
constexpr int32_t kRunLines = 5;       // lines that must agree to start the data
constexpr int32_t kCounterLines = 3;   // lines a constant step needs to count
constexpr int32_t kFieldModes = 3;     // comma, blank, tab

enum FieldKind : uint8_t { kFieldEmpty, kFieldNumber, kFieldTime, kFieldText };

// One head line as one field mode cuts it.
struct LineShape {
    int32_t fields;
    int32_t numbers;
    int32_t texts;
    int32_t decimals;  // number fields with a fraction or exponent
    bool hasComma;
    uint8_t kind[kProbedColumns];
    bool decimal[kProbedColumns];
    double value[kProbedColumns];
};

struct HeadShape {
    int32_t lines;
    LineShape line[kHeadListLineLimit];
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A number as the field readers take one: blanks, a sign, digits with one
// point, an exponent.
FieldKind KindOf(const char* field, int32_t length, bool* decimal, double* value) {
    int32_t i = 0;
    while (i < length && IsBlank(field[i])) ++i;
    while (length > i && IsBlank(field[length - 1])) --length;
    if (i == length) return kFieldEmpty;
    const int32_t start = i;
    int32_t digits = 0, points = 0, colons = 0;
    if (field[i] == '+' || field[i] == '-') ++i;
    for (; i < length; ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.')
            ++points;
        else if (c == ':')
            ++colons;
        else if ((c == 'e' || c == 'E') && digits > 0 && colons == 0 && i + 1 < length)
            *decimal = true;  // the exponent's digits follow
        else if (!((c == '+' || c == '-') && (field[i - 1] == 'e' || field[i - 1] == 'E')))
            return kFieldText;
    }
    if (digits == 0) return kFieldText;
    if (colons > 0) return field[start] >= '0' && field[start] <= '9' ? kFieldTime : kFieldText;
    if (points > 1) return kFieldText;
    *decimal = *decimal || points == 1;
    char copy[kFieldBufferSize + 1];
    std::memcpy(copy, field + start, size_t(length - start));
    copy[length - start] = '\0';
    *value = std::strtod(copy, nullptr);
    return kFieldNumber;
}

void ShapeLine(const char* line, int32_t mode, LineShape* shape) {
    *shape = LineShape{};
    shape->hasComma = std::strchr(line, ',') != nullptr;
    field_cutter::WalkLineFields(line, mode, 0, [&](const char* field, int32_t length) {
        bool decimal = false;
        double value = 0.0;
        const FieldKind kind = KindOf(field, length, &decimal, &value);
        if (shape->fields < kProbedColumns) {
            shape->kind[shape->fields] = kind;
            shape->decimal[shape->fields] = decimal;
            shape->value[shape->fields] = value;
        }
        shape->numbers += kind == kFieldNumber;
        shape->texts += kind == kFieldText;
        shape->decimals += decimal;
        return ++shape->fields < kLineValueLimit;
    });
}

void ShapeHead(const char* head, int32_t headLength, int32_t mode, HeadShape* shape) {
    char line[kLineByteLimit + 1];
    shape->lines = WalkHeadLines(head, headLength, kHeadListLineLimit,
                                 [&](int32_t index, const LineSpan& span) {
                                     std::memcpy(line, head + span.start, size_t(span.length));
                                     line[span.length] = '\0';
                                     ShapeLine(line, mode, &shape->line[index]);
                                     return true;
                                 });
}

bool IsDataLine(const LineShape& line) { return line.numbers > 0 && line.texts == 0; }

// The first line from which kRunLines lines (or all that follow) are data
// with one field count; -1 when there is none.
int32_t FirstDataLine(const HeadShape& head) {
    for (int32_t first = 0; first < head.lines; ++first) {
        const int32_t last = first + kRunLines < head.lines ? first + kRunLines : head.lines;
        bool run = true;
        for (int32_t i = first; i < last && run; ++i)
            run = IsDataLine(head.line[i]) && head.line[i].fields == head.line[first].fields;
        if (run) return first;
    }
    return -1;
}

// A leading column is no channel when every data line holds a time there,
// or its numbers rise by one constant step (a line number, seconds).
bool IsLeadingColumn(const HeadShape& head, int32_t first, int32_t column) {
    const int32_t fields = head.line[first].fields;
    int32_t lines = 0, times = 0;
    double step = 0.0, previous = 0.0;
    bool steady = true;
    for (int32_t i = first; i < head.lines; ++i) {
        const LineShape& line = head.line[i];
        if (!IsDataLine(line) || line.fields != fields) continue;
        times += line.kind[column] == kFieldTime;
        const double v = line.value[column];
        if (lines == 1) step = v - previous;
        if (lines > 1 && std::fabs(v - previous - step) > 1e-6 * (std::fabs(step) + 1e-9))
            steady = false;
        previous = v;
        ++lines;
    }
    if (lines > 0 && times == lines) return true;
    return steady && lines >= kCounterLines && step > 0.0;
}

int32_t LeadingFields(const HeadShape& head, int32_t first) {
    const int32_t fields = head.line[first].fields;
    int32_t bias = 0;
    while (bias < kProbedColumns && bias + 1 < fields && IsLeadingColumn(head, first, bias)) ++bias;
    return bias;
}

// The nearest line above the data that names as many columns as the data has
// and holds text.
int32_t LabelLine(const HeadShape& head, int32_t first) {
    for (int32_t i = first - 1; i >= 0; --i) {
        const LineShape& line = head.line[i];
        if (line.fields == head.line[first].fields && line.texts > 0) return i;
    }
    return kNoLabelLine;
}

int32_t ValueKind(const HeadShape& head, int32_t first, int32_t bias) {
    for (int32_t i = first; i < head.lines; ++i) {
        const LineShape& line = head.line[i];
        if (!IsDataLine(line)) continue;
        int32_t leadingDecimals = 0;
        for (int32_t c = 0; c < bias && c < kProbedColumns; ++c) leadingDecimals += line.decimal[c];
        if (line.decimals > leadingDecimals) return kCalibratedValues;
    }
    return kAdValues;
}

// The mode whose data has the most fields; on a tie the one the separator
// bytes show (commas: comma; else blank, which ends fields at a TAB too).
int32_t ChooseMode(const char* head, int32_t headLength, HeadShape* shape, int32_t* first) {
    int32_t best = -1, bestFields = 0, bestFirst = -1;
    for (int32_t mode = 0; mode < kFieldModes; ++mode) {
        ShapeHead(head, headLength, mode, shape);
        const int32_t start = FirstDataLine(*shape);
        if (start < 0) continue;
        const LineShape& line = shape->line[start];
        const bool preferred = mode == (line.hasComma ? kFieldModeComma : kFieldModeBlank);
        if (line.fields > bestFields || (line.fields == bestFields && preferred)) {
            best = mode;
            bestFields = line.fields;
            bestFirst = start;
        }
    }
    if (best >= 0) ShapeHead(head, headLength, best, shape);
    *first = bestFirst;
    return best;
}

// The findings, in the order a user would fix them.
struct Judge {
    LayoutCheck* check;
    void Add(int32_t code, int32_t a = 0, int32_t b = 0) {
        if (check->findingCount < kLayoutFindingLimit)
            check->findings[check->findingCount++] = LayoutFinding{code, {a, b}};
    }
};

// What the current layout makes of the suggested data and label lines.
// labelIsData: the current label line is a data line as the suggestion cuts it.
void JudgeCurrent(const char* head, int32_t headLength, const SourceLayout& cur,
                  const SourceLayout& sug, bool labelIsData, Judge* judge) {
    HeadShape* now = static_cast<HeadShape*>(std::calloc(1, sizeof(HeadShape)));
    if (now == nullptr) return;
    ShapeHead(head, headLength, cur.delimiter, now);
    const LineShape& data = now->line[sug.dataStartLine];
    if (data.fields != sug.leadingFields + sug.channels)
        judge->Add(kLayoutDelimiter, cur.delimiter, sug.delimiter);
    if (cur.leadingFields != sug.leadingFields)
        judge->Add(kLayoutLeadingFields, cur.leadingFields, sug.leadingFields);
    if (cur.leadingFields < sug.leadingFields)
        judge->Add(kLayoutFirstColumnTime, cur.leadingFields + 1);
    const int32_t columns = data.fields - cur.leadingFields;
    if (columns != cur.channels) judge->Add(kLayoutColumns, columns, cur.channels);
    if (cur.labelLine != sug.labelLine) {
        judge->Add(kLayoutLabelLine, cur.labelLine, sug.labelLine);
        if (labelIsData) judge->Add(kLayoutLabelsNumeric, cur.labelLine);
    }
    if (cur.dataStartLine != sug.dataStartLine)
        judge->Add(kLayoutDataStartLine, cur.dataStartLine, sug.dataStartLine);
    if (cur.valueKind == kAdValues && sug.valueKind == kCalibratedValues)
        judge->Add(kLayoutValueKind, cur.valueKind, sug.valueKind);
    std::free(now);
}

}  // namespace

extern "C" int32_t CheckHeadLayout(const char* head, int32_t headLength,
                                   const SourceLayout* current, LayoutCheck* check) {
    if (check == nullptr || current == nullptr) return -1;
    *check = LayoutCheck{};
    check->current = *current;
    check->suggested = *current;
    Judge judge{check};
    HeadShape* shape = static_cast<HeadShape*>(std::calloc(1, sizeof(HeadShape)));
    if (shape == nullptr) return -1;
    int32_t first = -1;
    const int32_t mode = head != nullptr ? ChooseMode(head, headLength, shape, &first) : -1;
    if (mode < 0) {
        judge.Add(kLayoutNoDataLine);
        std::free(shape);
        return check->findingCount;
    }
    SourceLayout& sug = check->suggested;
    sug.delimiter = mode;
    sug.dataStartLine = first;
    sug.leadingFields = LeadingFields(*shape, first);
    sug.channels = shape->line[first].fields - sug.leadingFields;
    sug.labelLine = LabelLine(*shape, first);
    sug.valueKind = ValueKind(*shape, first, sug.leadingFields);
    const bool labelIsData = current->labelLine >= 0 && current->labelLine < shape->lines &&
                             IsDataLine(shape->line[current->labelLine]);
    std::free(shape);
    JudgeCurrent(head, headLength, *current, sug, labelIsData, &judge);
    return check->findingCount;
}

extern "C" void CurrentSourceLayout(const AppRecord* record, SourceLayout* layout) {
    *layout = SourceLayout{record->DelimitChar,   record->DataLineBias, record->ChStartLine,
                           record->DataStartLine, record->ChannelCount, record->OrgCalDataType};
}

extern "C" int32_t CheckSourceLayout(const AppRecord* record, LayoutCheck* check) {
    if (record == nullptr || record->SourceOpen == 0 || record->SourceText == nullptr) return -1;
    SourceLayout current;
    CurrentSourceLayout(record, &current);
    return CheckHeadLayout(record->SourceText, record->SourceTextLength, &current, check);
}
