// What the montage grids show in a cell, what the in-place editor starts
// with, and what a typed text becomes.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "montage/grid_model.h"
#include "ostrel.h"
#include "platform.h"
#include "montage/value_tables.h"

namespace {

const char* const kEegHeaders[kEegGridColumns] = {"CH",   "Label", "Source", "G1",  "G2",
                                                  "RI",   "SENS",  "LFF",    "HFF", "CAL",
                                                  "Show", "Color", "Width"};
const char* const kPsgHeaders[kPsgGridColumns] = {"CH", "ON/OFF", "Type", "Label", "Rate", "CAL",
                                                  "AD", "Sens",   "LFF",  "HFF",   "Unit", "Mag"};

constexpr const char* kNoValue = "--";
constexpr int32_t kLabelEditLimit = 12;
constexpr int32_t kNumberEditLimit = 6;
constexpr int32_t kUnitEditLimit = 4;

void Put(GridCellText* cell, const char* text, size_t length, int32_t colour) {
    length = std::min(length, sizeof cell->text - 1);
    std::memcpy(cell->text, text, length);
    cell->text[length] = '\0';
    cell->colour = colour;
}

void PutText(GridCellText* cell, const char* text, int32_t colour) {
    Put(cell, text, std::strlen(text), colour);
}

template <size_t N>
void PutField(GridCellText* cell, const char (&field)[N], int32_t colour) {
    Put(cell, field, strnlen(field, N), colour);
}

template <size_t Count>
void PutTableEntry(GridCellText* cell, const char (&table)[Count][kTableEntrySize], uint32_t index,
                   int32_t colour) {
    if (index >= Count) return PutText(cell, kNoValue, colour);
    Put(cell, table[index], strnlen(table[index], kTableEntrySize), colour);
}

void PutNumber(GridCellText* cell, const char* format, long long value, int32_t colour) {
    std::snprintf(cell->text, sizeof cell->text, format, value);
    cell->colour = colour;
}

void PutDecimal(GridCellText* cell, const char* format, double value, int32_t colour) {
    std::snprintf(cell->text, sizeof cell->text, format, value);
    cell->colour = colour;
}

void PutElectrode(GridCellText* cell, const AppRecord* record, const ElectrodeNameTable* names,
                  uint16_t electrode, int32_t colour) {
    if (names == nullptr || record->ElectrodeType >= kElectrodeTypeCount ||
        electrode >= kElectrodeCount)
        return PutText(cell, kNoValue, colour);
    PutField(cell, names->Names[record->ElectrodeType][electrode], colour);
}

// The EEG columns from the electrodes on: "--" where the signal kind has no
// such value.
void PutEegSetting(GridCellText* cell, const AppRecord* record, const ElectrodeNameTable* names,
                   const EegMontageRow& row, int32_t column) {
    const int32_t colour = IsWrittenKind(row.SOURCE) ? kTextBlack : kTextGrey;
    const bool electrodes = IsSignalKind(row.SOURCE) || IsRecordingInput(row.SOURCE);
    const bool amplified = IsSignalKind(row.SOURCE);
    switch (column) {
        case kEegColumnG1:
        case kEegColumnG2:
            if (!electrodes) break;
            return PutElectrode(cell, record, names, column == kEegColumnG1 ? row.G1 : row.G2,
                                colour);
        case kEegColumnRecin:
            if (!IsRecordingInput(row.SOURCE)) break;
            return PutNumber(cell, "%2lli", row.RECIN + 1LL, colour);
        case kEegColumnSens:
            if (!amplified) break;
            return PutTableEntry(cell, SensitivityNames, row.SENS, colour);
        case kEegColumnLff:
            if (!electrodes) break;
            return PutTableEntry(cell, LowFilterNames, row.LFF, colour);
        case kEegColumnHff:
            if (!electrodes) break;
            return PutTableEntry(cell, HighFilterNames, row.HFF, colour);
        case kEegColumnCal:
            if (!amplified) break;
            return PutTableEntry(cell, CalibrationNames, row.CAL, colour);
        case kEegColumnShow:
            return PutText(cell,
                           row.SHOW == kTraceHidden  ? "OFF"
                           : row.SHOW == kTraceShown ? "ON"
                                                     : kNoValue,
                           colour);
        case kEegColumnColour:
            if (row.COLOR == kColourOff) return PutText(cell, " OFF ", colour);
            return PutNumber(cell, "Color%lli", row.COLOR, colour);
        case kEegColumnWidth: return PutNumber(cell, "%3lli", row.WIDTH, colour);
        default: return PutText(cell, "", colour);
    }
    PutText(cell, kNoValue, colour);
}

MontagePattern* MutablePsgSlot(AppRecord* record) { return CurrentPsgSlot(record); }

bool RowInRange(int32_t row) { return row >= 1 && row <= kPatternRowCount; }

// Beyond every 32-bit value, so a saturated sum still clamps either way.
constexpr int64_t kSaturated = int64_t{INT32_MAX} + 1;

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    return p;
}

// "e-2" after a number; 0 when no digit follows the letter.
int64_t ReadExponent(const char* p) {
    if (*p != 'e' && *p != 'E') return 0;
    ++p;
    const bool down = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    int64_t exponent = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        exponent = std::min<int64_t>(exponent * 10 + (*p - '0'), 1000);
    return down ? -exponent : exponent;
}

}  // namespace

extern "C" const char* GridHeaderText(MontageKind kind, int32_t column) {
    if (kind == kEegMontage)
        return column >= 0 && column < kEegGridColumns ? kEegHeaders[column] : "";
    return column >= 0 && column < kPsgGridColumns ? kPsgHeaders[column] : "";
}

extern "C" void EegCellText(const AppRecord* record, const ElectrodeNameTable* names, int32_t row,
                            int32_t column, GridCellText* cell) {
    PutText(cell, "", kTextBlack);
    const MontagePattern* slot = EegSlotOf(record);
    if (slot == nullptr || !RowInRange(row)) return;
    const EegMontageRow& data = slot->EegRows[row - 1];
    switch (column) {
        case kEegColumnNumber: return PutNumber(cell, "%lli", row, kTextRed);
        case kEegColumnLabel: return PutField(cell, data.label, kTextBlack);
        case kEegColumnSource:
            return PutTableEntry(cell, SignalKindNames, data.SOURCE,
                                 IsWrittenKind(data.SOURCE) ? kTextRed : kTextBlack);
        default: return PutEegSetting(cell, record, names, data, column);
    }
}

extern "C" void PsgCellText(const AppRecord* record, int32_t row, int32_t column,
                            GridCellText* cell) {
    PutText(cell, "", kTextBlack);
    const MontagePattern* slot = PsgSlotOf(record);
    if (slot == nullptr || !RowInRange(row)) return;
    const PsgChannelRow& data = slot->PsgRows[row - 1];
    const int32_t colour = data.ChEnable == kChannelOn ? kTextBlack : kTextGrey;
    char type[OSTREL_TYPE_NAME_SIZE];
    switch (column) {
        case kPsgColumnNumber:
            return PutNumber(cell, "%lli", row,
                             row <= record->ChannelCount ? kTextRed : kTextBlack);
        case kPsgColumnOnOff:
            return data.ChEnable == kChannelOn
                       ? PutText(cell, "ON", kTextRed)
                       : PutText(cell, data.ChEnable == kChannelOff ? "OFF" : kNoValue, kTextBlack);
        case kPsgColumnType:
            OstrelSignalTypeName(data.Signal, type);
            return PutField(cell, type, colour);
        case kPsgColumnLabel: return PutField(cell, data.ChLabel, colour);
        case kPsgColumnRate:
            return PutNumber(
                cell, "%lli",
                static_cast<long long>(record->SampleRate) / (data.Rate == 0 ? 1 : data.Rate),
                colour);
        case kPsgColumnCal: return PutNumber(cell, "%lli", data.EU, colour);
        case kPsgColumnAd: return PutNumber(cell, "%lli", data.VU, colour);
        case kPsgColumnSens: return PutDecimal(cell, "%4.1f", data.Sens * 0.001, colour);
        case kPsgColumnLff: return PutDecimal(cell, "%2.2f", data.LFF * 0.001, colour);
        case kPsgColumnHff: return PutNumber(cell, "%lli", data.HFF, colour);
        case kPsgColumnUnit: return PutField(cell, data.ChUnit, colour);
        case kPsgColumnMag: return PutNumber(cell, "%lli", data.MAG, colour);
        default: return;
    }
}

extern "C" void PreparePsgRowForPaint(AppRecord* record, int32_t row) {
    MontagePattern* slot = MutablePsgSlot(record);
    if (slot == nullptr || !RowInRange(row)) return;
    PsgChannelRow& data = slot->PsgRows[row - 1];
    if (row > record->ChannelCount) data.ChEnable = kChannelOff;
    if (data.MAG == 0) data.MAG = 1;
}

extern "C" int32_t GridCellEditable(const AppRecord* record, MontageKind kind, GridHit hit) {
    if (hit.column < kFirstGridColumn || hit.row < 1 || hit.row > GridSelectableRows(record))
        return 0;
    if (kind == kEegMontage) return hit.column == kEegColumnLabel;
    const MontagePattern* slot = PsgSlotOf(record);
    const bool column = hit.column == kPsgColumnLabel ||
                        (hit.column >= kPsgColumnCal && hit.column <= kPsgColumnUnit);
    return column && slot != nullptr && slot->PsgRows[hit.row - 1].ChEnable > kChannelOff;
}

extern "C" int32_t GridEditText(const AppRecord* record, MontageKind kind, int32_t column,
                                int32_t row, char* text, int32_t size, int32_t* limit) {
    if (size < 1 || !RowInRange(row)) return 0;
    text[0] = '\0';
    GridCellText cell;
    if (kind == kEegMontage) {
        const MontagePattern* slot = EegSlotOf(record);
        if (slot == nullptr || column != kEegColumnLabel) return 0;
        PutField(&cell, slot->EegRows[row - 1].label, kTextBlack);
        *limit = kLabelEditLimit;
    } else {
        const bool numeric = column >= kPsgColumnCal && column <= kPsgColumnHff;
        if (column != kPsgColumnLabel && column != kPsgColumnUnit && !numeric) return 0;
        PsgCellText(record, row, column, &cell);
        *limit = column == kPsgColumnLabel ? kLabelEditLimit
                 : numeric                 ? kNumberEditLimit
                                           : kUnitEditLimit;
    }
    CopyFieldText(text, size, cell.text);
    return 1;
}

extern "C" int32_t StoreGridEditText(AppRecord* record, MontageKind kind, int32_t column,
                                     int32_t row, const char* text) {
    if (!RowInRange(row) || text == nullptr) return 0;
    if (kind == kEegMontage) {
        MontagePattern* slot = CurrentEegSlot(record);
        if (slot == nullptr || column != kEegColumnLabel) return 0;
        CopyFieldText(slot->EegRows[row - 1].label, kPatternTextSize, text);
        return 1;
    }
    MontagePattern* slot = MutablePsgSlot(record);
    if (slot == nullptr) return 0;
    PsgChannelRow& data = slot->PsgRows[row - 1];
    switch (column) {
        case kPsgColumnLabel: CopyFieldText(data.ChLabel, kPatternTextSize, text); return 1;
        case kPsgColumnUnit: CopyFieldText(data.ChUnit, kPatternUnitSize, text); return 1;
        case kPsgColumnCal: data.EU = ParseTypedInteger(text); return 1;
        case kPsgColumnAd: data.VU = ParseTypedInteger(text); return 1;
        case kPsgColumnHff: data.HFF = ParseTypedInteger(text); return 1;
        case kPsgColumnSens: data.Sens = ParseTypedThousandths(text); return 1;
        case kPsgColumnLff: data.LFF = ParseTypedThousandths(text); return 1;
        default: return 0;
    }
}

extern "C" int32_t AdvanceGridEditor(const AppRecord* record, MontageKind kind, GridView* view) {
    const int32_t rowCount = GridRowCount(record, kind);
    if (rowCount < 1) return 0;
    const int32_t next = view->selEnd >= rowCount || view->selEnd < 1 ? 1 : view->selEnd + 1;
    view->selStart = next;
    view->selEnd = next;
    RevealGridRow(view, rowCount, next);
    return GridCellEditable(record, kind, GridHit{view->column, next});
}

extern "C" int32_t ParseTypedInteger(const char* text) {
    const char* p = SkipBlanks(text);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(p[2]))) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    int64_t value = 0;
    for (;; ++p) {
        int digit = *p >= '0' && *p <= '9'   ? *p - '0'
                    : *p >= 'a' && *p <= 'f' ? *p - 'a' + 10
                    : *p >= 'A' && *p <= 'F' ? *p - 'A' + 10
                                             : 99;
        if (digit >= base) break;
        value = std::min<int64_t>(value * base + digit, kSaturated);
    }
    return Saturate(negative ? -value : value);
}

extern "C" int32_t ParseTypedThousandths(const char* text) {
    const char* p = SkipBlanks(text);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    // Decimal digits without the point, and how many stood before it: the
    // value times 1000 is the integer their first (before + exponent + 3)
    // digits form, so no binary fraction ever rounds it.
    std::string digits;
    int64_t beforePoint = 0;
    bool point = false;
    for (;; ++p) {
        if (*p >= '0' && *p <= '9') {
            digits.push_back(*p);
            if (!point) ++beforePoint;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits.empty()) return 0;
    const int64_t kept = beforePoint + ReadExponent(p) + 3;
    int64_t value = 0;
    for (int64_t i = 0; i < kept; ++i) {
        const int digit = i < static_cast<int64_t>(digits.size()) ? digits[i] - '0' : 0;
        value = std::min<int64_t>(value * 10 + digit, kSaturated);
    }
    return Saturate(negative ? -value : value);
}
