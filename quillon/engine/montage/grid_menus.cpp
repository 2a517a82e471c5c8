// The popup menus of the montage grids and what their commands write.
#include <cstdio>
#include <cstring>

#include "montage/grid_model.h"
#include "ostrel.h"
#include "montage/value_tables.h"

namespace {

constexpr const char* kAutoSequenceText = "Auto Sequence Label";
constexpr int32_t kRecordingInputs = 16;
constexpr int32_t kWidthSteps = 23;  // 10, 15, ... 120
constexpr int32_t kWidthBase = 10;
constexpr int32_t kWidthStep = 5;
constexpr int32_t kMenuTableEntries = 21;  // entries 0..20, 20 = " ACC"
constexpr int32_t kSignalKindEntries = sizeof SignalKindNames / sizeof SignalKindNames[0];

// PSG choices: the texts shown and the values written, item by item.
const char* const kAmountTexts[] = {"   5", "  10", "  20", "  30", "  40", "  50",
                                    " 100", " 200", " 500", "1000", "2000", "5000"};
const int32_t kAmounts[] = {5, 10, 20, 30, 40, 50, 100, 200, 500, 1000, 2000, 5000};
const int32_t kRateDivisors[] = {1, 2, 4, 5, 10, 20, 50};
constexpr int32_t kRateChoices = sizeof kRateDivisors / sizeof kRateDivisors[0];
const char* const kAd12Texts[] = {"  102 (1/40)", "  205 (1/20)", "  410 (1/10)", "  819 (1/5) ",
                                  " 1024 (1/4) ", " 2048 (1/2) ", " 4096 (1/1) "};
const int32_t kAd12Counts[] = {102, 205, 410, 819, 1024, 2048, 4096};
const char* const kAd16Texts[] = {"   164 (1/400)", "   328 (1/200)", "   655 (1/100)",
                                  "  1311 (1/50)",  "  1638 (1/40)",  "  3276 (1/20)",
                                  "  6554 (1/10)",  " 13107 (1/5) ",  " 16384 (1/4) ",
                                  " 32768 (1/2) ",  " 65536 (1/1) "};
const int32_t kAd16Counts[] = {164, 328, 655, 1311, 1638, 3276, 6554, 13107, 16384, 32768, 65536};
const char* const kLffTexts[] = {" OFF", "0.03", "0.05", "0.15", " 0.5",
                                 " 1.0", " 1.5", " 2.0", " 5.0", "20.0"};
const int32_t kLffValues[] = {0, 30, 50, 150, 500, 1000, 1500, 2000, 5000, 20000};
const char* const kHffTexts[] = {" OFF", "  15", "  30", "  60", " 100", " 200", " 500"};
const int32_t kHffValues[] = {0, 15, 30, 60, 100, 200, 500};
const char* const kMagTexts[] = {"    1", "   10", "  100", " 1000", "10000"};
const int32_t kMagValues[] = {1, 10, 100, 1000, 10000};

constexpr int32_t kSensPerUnit = 1000;

// What an item beyond a list writes: a rate divisor of 1, an amount of 50,
// a tenth of the 12-bit range, the whole 16-bit count, filters off, x1.
constexpr int32_t kFallbackRateDivisor = 1;
constexpr int32_t kFallbackAmount = 50;
constexpr int32_t kFallbackAd12Count = 410;
constexpr int32_t kFallbackAd16Count = 4096;
constexpr int32_t kFallbackFilter = 0;
constexpr int32_t kFallbackMag = 1;

void Add(GridMenu* menu, const char* text, int32_t command, bool checked) {
    if (menu->count >= kGridMenuMaxItems) return;
    GridMenuItem& item = menu->items[menu->count++];
    std::snprintf(item.text, sizeof item.text, "%s", text);
    item.command = command;
    item.checked = checked;
}

void AddValue(GridMenu* menu, const char* text, int32_t value, bool checked) {
    Add(menu, text, kMenuFirstValue + value, checked);
}

void AddNumber(GridMenu* menu, long long number, int32_t value, bool checked) {
    char text[24];
    std::snprintf(text, sizeof text, "%lli", number);
    AddValue(menu, text, value, checked);
}

// Entries of a value table, place holders skipped, each with its index.
template <size_t Count>
void AddTable(GridMenu* menu, const char (&table)[Count][kTableEntrySize], size_t entries,
              int32_t current) {
    for (size_t i = 0; i < entries && i < Count; ++i) {
        if (table[i][0] == '-') continue;
        char text[kTableEntrySize + 1] = {};
        std::memcpy(text, table[i], kTableEntrySize);
        AddValue(menu, text, static_cast<int32_t>(i), current == static_cast<int32_t>(i));
    }
}

template <size_t N>
void AddTexts(GridMenu* menu, const char* const (&texts)[N]) {
    for (size_t i = 0; i < N; ++i) AddValue(menu, texts[i], static_cast<int32_t>(i), false);
}

template <size_t N>
int32_t Pick(const int32_t (&values)[N], int32_t item, int32_t otherwise) {
    return item >= 0 && static_cast<size_t>(item) < N ? values[item] : otherwise;
}

void AddElectrodes(GridMenu* menu, const AppRecord* record, const ElectrodeNameTable* names,
                   int32_t current) {
    if (names == nullptr || record->ElectrodeType >= kElectrodeTypeCount) return;
    for (int32_t i = 0; i < kElectrodeCount; ++i) {
        const char* name = names->Names[record->ElectrodeType][i];
        if (name[0] == '-') continue;
        char text[kElectrodeNameSize + 1] = {};
        std::memcpy(text, name, kElectrodeNameSize);
        AddValue(menu, text, i, current == i);
    }
}

void AddEegColumn(GridMenu* menu, const AppRecord* record, const ElectrodeNameTable* names,
                  const EegMontageRow& row, int32_t column) {
    switch (column) {
        case kEegColumnLabel: return Add(menu, kAutoSequenceText, kMenuAutoSequence, false);
        case kEegColumnSource:
            return AddTable(menu, SignalKindNames, kSignalKindEntries, row.SOURCE);
        case kEegColumnG1: return AddElectrodes(menu, record, names, row.G1);
        case kEegColumnG2: return AddElectrodes(menu, record, names, row.G2);
        case kEegColumnRecin:
            for (int32_t i = 0; i < kRecordingInputs; ++i)
                AddNumber(menu, i + 1, i, row.RECIN == i);
            return;
        case kEegColumnSens: return AddTable(menu, SensitivityNames, kMenuTableEntries, row.SENS);
        case kEegColumnLff: return AddTable(menu, LowFilterNames, kMenuTableEntries, row.LFF);
        case kEegColumnHff: return AddTable(menu, HighFilterNames, kMenuTableEntries, row.HFF);
        case kEegColumnCal: return AddTable(menu, CalibrationNames, kMenuTableEntries, row.CAL);
        case kEegColumnShow:
            AddValue(menu, "OFF", kTraceHidden, row.SHOW == kTraceHidden);
            return AddValue(menu, "ON", kTraceShown, row.SHOW == kTraceShown);
        case kEegColumnColour: {
            AddValue(menu, " OFF ", kColourOff, row.COLOR == kColourOff);
            char text[16];
            for (int32_t i = 1; i <= kColourCount; ++i) {
                std::snprintf(text, sizeof text, "Color%i", static_cast<int>(i));
                AddValue(menu, text, i, row.COLOR == i);
            }
            return;
        }
        case kEegColumnWidth:
            for (int32_t k = 0; k < kWidthSteps; ++k) {
                const int32_t width = kWidthBase + kWidthStep * k;
                AddNumber(menu, width, k, row.WIDTH == width);
            }
            return;
        default: return;
    }
}

void AddPsgColumn(GridMenu* menu, const AppRecord* record, const MontagePattern& slot,
                  const PsgChannelRow& row, int32_t column) {
    switch (column) {
        case kPsgColumnOnOff:
            AddValue(menu, "OFF", kChannelOff, row.ChEnable == kChannelOff);
            return AddValue(menu, "ON", kChannelOn, row.ChEnable == kChannelOn);
        case kPsgColumnType:
            for (int32_t code = 0; code < OSTREL_TYPE_COUNT; ++code) {
                char name[OSTREL_TYPE_NAME_SIZE];
                OstrelSignalTypeName(code, name);
                AddValue(menu, name, code, false);
            }
            return;
        case kPsgColumnLabel:
            Add(menu, kAutoSequenceText, kMenuAutoSequence, false);
            for (int32_t i = 0; i < kPatternLabelCount; ++i)
                AddValue(menu, slot.labels[i], i, false);
            return;
        case kPsgColumnRate:
            for (int32_t i = 0; i < kRateChoices; ++i)
                AddNumber(menu, record->SampleRate / kRateDivisors[i], i,
                          row.Rate == kRateDivisors[i]);
            return;
        case kPsgColumnCal:
        case kPsgColumnSens: return AddTexts(menu, kAmountTexts);
        case kPsgColumnAd:
            if (PsgGridAdBits(record) == kAdBits12) AddTexts(menu, kAd12Texts);
            if (PsgGridAdBits(record) == kAdBits16) AddTexts(menu, kAd16Texts);
            return;
        case kPsgColumnLff: return AddTexts(menu, kLffTexts);
        case kPsgColumnHff: return AddTexts(menu, kHffTexts);
        case kPsgColumnUnit:
            for (int32_t i = 0; i < kPatternUnitCount; ++i) {
                char unit[kPatternUnitSize + 1] = {};
                std::memcpy(unit, slot.units[i], kPatternUnitSize);
                AddValue(menu, unit, i, false);
            }
            return;
        case kPsgColumnMag: return AddTexts(menu, kMagTexts);
        default: return;
    }
}

// Fields of an EEG row by column, from kEegColumnSource on.
uint16_t EegMontageRow::*const kEegFields[kEegGridColumns] = {nullptr,
                                                              nullptr,
                                                              &EegMontageRow::SOURCE,
                                                              &EegMontageRow::G1,
                                                              &EegMontageRow::G2,
                                                              &EegMontageRow::RECIN,
                                                              &EegMontageRow::SENS,
                                                              &EegMontageRow::LFF,
                                                              &EegMontageRow::HFF,
                                                              &EegMontageRow::CAL,
                                                              &EegMontageRow::SHOW,
                                                              &EegMontageRow::COLOR,
                                                              &EegMontageRow::WIDTH};

int32_t AutoSequenceLabels(AppRecord* record, MontageKind kind) {
    MontagePattern* slot = kind == kEegMontage ? CurrentEegSlot(record) : CurrentPsgSlot(record);
    if (slot == nullptr) return 0;
    for (int32_t row = 1; row <= GridSelectableRows(record); ++row) {
        char text[16];
        std::snprintf(text, sizeof text, "%i", static_cast<int>(row));
        CopyFieldText(
            kind == kEegMontage ? slot->EegRows[row - 1].label : slot->PsgRows[row - 1].ChLabel,
            kPatternTextSize, text);
    }
    return 1;
}

int32_t VuFor(const AppRecord* record, int32_t item) {
    const int32_t bits = PsgGridAdBits(record);
    if (bits == kAdBits12) return Pick(kAd12Counts, item, kFallbackAd12Count);
    if (bits == kAdBits16) return Pick(kAd16Counts, item, kFallbackAd16Count);
    return item;
}

void WritePsgValue(const AppRecord* record, MontagePattern* slot, PsgChannelRow& row,
                   int32_t column, int32_t item) {
    switch (column) {
        case kPsgColumnOnOff: row.ChEnable = item; return;
        case kPsgColumnType: row.Signal = item; return;
        case kPsgColumnLabel:
            if (item < kPatternLabelCount)
                CopyFieldText(row.ChLabel, kPatternTextSize, slot->labels[item]);
            return;
        case kPsgColumnRate: row.Rate = Pick(kRateDivisors, item, kFallbackRateDivisor); return;
        case kPsgColumnCal: row.EU = Pick(kAmounts, item, kFallbackAmount); return;
        case kPsgColumnAd: row.VU = VuFor(record, item); return;
        case kPsgColumnSens:
            row.Sens = kSensPerUnit * Pick(kAmounts, item, kFallbackAmount);
            return;
        case kPsgColumnLff: row.LFF = Pick(kLffValues, item, kFallbackFilter); return;
        case kPsgColumnHff: row.HFF = Pick(kHffValues, item, kFallbackFilter); return;
        case kPsgColumnUnit:
            if (item < kPatternUnitCount)
                CopyFieldText(row.ChUnit, kPatternUnitSize, slot->units[item]);
            return;
        case kPsgColumnMag: row.MAG = Pick(kMagValues, item, kFallbackMag); return;
        default: return;
    }
}

}  // namespace

extern "C" int32_t PsgGridAdBits(const AppRecord* record) {
    return record->AdBits == 0 ? kDefaultAdBits : record->AdBits;
}

extern "C" int32_t BuildEegGridMenu(const AppRecord* record, const ElectrodeNameTable* names,
                                    const GridView* view, GridMenu* menu) {
    menu->count = 0;
    const MontagePattern* slot = EegSlotOf(record);
    if (slot == nullptr || view->column < kFirstGridColumn || view->column >= kEegGridColumns)
        return 0;
    const EegMontageRow none = {};
    const bool rowKnown = view->selEnd >= 1 && view->selEnd <= kPatternRowCount;
    const EegMontageRow& row = rowKnown ? slot->EegRows[view->selEnd - 1] : none;
    AddEegColumn(menu, record, names, row, view->column);
    return 1;
}

extern "C" int32_t BuildPsgGridMenu(const AppRecord* record, const GridView* view, GridMenu* menu) {
    menu->count = 0;
    const MontagePattern* slot = PsgSlotOf(record);
    if (slot == nullptr || view->column < kFirstGridColumn || view->column >= kPsgGridColumns ||
        view->selStart < 1 || view->selEnd < 1 || view->selEnd > kPatternRowCount)
        return 0;
    AddPsgColumn(menu, record, *slot, slot->PsgRows[view->selEnd - 1], view->column);
    return 1;
}

extern "C" GridMenuOutcome GridMenuForSelection(const AppRecord* record, MontageKind kind,
                                                const ElectrodeNameTable* names,
                                                const GridView* view, GridMenu* menu) {
    menu->count = 0;
    if (view->selStart < 1 || view->column < kFirstGridColumn) return kNoMenu;
    const int32_t built = kind == kEegMontage ? BuildEegGridMenu(record, names, view, menu)
                                              : BuildPsgGridMenu(record, view, menu);
    return built ? kShowMenu : kMenuRefused;
}

extern "C" int32_t ApplyGridCommand(AppRecord* record, MontageKind kind, const GridView* view,
                                    int32_t command) {
    if (command == kMenuAutoSequence) return AutoSequenceLabels(record, kind);
    const int32_t item = command - kMenuFirstValue;
    const int32_t items = kind == kEegMontage ? kEegMenuValues : kPsgMenuValues;
    int32_t first = 0, last = 0;
    if (item < 0 || item >= items || !GridSelectedRows(view, &first, &last)) return 0;
    if (last > kPatternRowCount) last = kPatternRowCount;
    MontagePattern* slot = kind == kEegMontage ? CurrentEegSlot(record) : CurrentPsgSlot(record);
    if (slot == nullptr) return 0;
    if (kind == kPsgMontage) {
        for (int32_t r = first; r <= last; ++r)
            WritePsgValue(record, slot, slot->PsgRows[r - 1], view->column, item);
        return 1;
    }
    if (view->column < kEegColumnSource || view->column >= kEegGridColumns) return 0;
    const int32_t value = view->column == kEegColumnWidth ? kWidthBase + kWidthStep * item : item;
    for (int32_t r = first; r <= last; ++r)
        slot->EegRows[r - 1].*kEegFields[view->column] = static_cast<uint16_t>(value);
    return 1;
}
