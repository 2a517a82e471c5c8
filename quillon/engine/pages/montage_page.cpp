// Decisions of the montage setup pages.
#include "pages/montage_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "ids/montage_ids.h"
#include "platform.h"
#include "store/pattern_store.h"
#include "store/profile_io.h"
#include "montage/value_tables.h"

namespace {

constexpr int32_t kMargin = 4;
constexpr int32_t kButtonGap = 12;
constexpr int32_t kPsgGridTopGap = 14;
constexpr int32_t kPsgGridSpare = 26;
constexpr int32_t kEegGridTopGap = 6;
constexpr int32_t kEegGridSpare = 18;
constexpr int32_t kPatternNameRead = 64;  // more than a name holds: the copy cuts it
constexpr int32_t kSensitivityListEntries = 20;

struct PatternList {
    int32_t controlId;
    const char (*names)[kTableEntrySize];
    int32_t tableSize;
    bool stopAtPlaceHolder;
    uint16_t MontagePattern::*field;
};

const PatternList kPatternLists[] = {
    {IDC_EEG_REFERENCE, ReferenceNames, 12, true, &MontagePattern::Ref},
    {IDC_EEG_ACC_SENS, SensitivityNames, kSensitivityListEntries, false, &MontagePattern::ACCSens},
    {IDC_EEG_ACC_LFF, LowFilterNames, 21, true, &MontagePattern::ACCLff},
    {IDC_EEG_ACC_HFF, HighFilterNames, 21, true, &MontagePattern::ACCHff},
    {IDC_EEG_ACC_CAL, CalibrationNames, 21, true, &MontagePattern::ACCCal},
};

const PatternList* FindList(int32_t controlId) {
    for (const PatternList& list : kPatternLists)
        if (list.controlId == controlId) return &list;
    return nullptr;
}

uint16_t MontagePattern::*CheckField(int32_t controlId) {
    if (controlId == IDC_EEG_NOTCH) return &MontagePattern::Notch;
    if (controlId == IDC_EEG_RAPID) return &MontagePattern::Rapid;
    return nullptr;
}

uint16_t& CurrentSlotIndex(AppRecord* record, MontageKind kind) {
    return kind == kEegMontage ? record->CurrentEegPattern : record->CurrentPsgPattern;
}

void SlotSection(MontageKind kind, int32_t index, char* section, size_t size) {
    std::snprintf(section, size, kind == kEegMontage ? "EEGPattern%i" : "PSGPattern%i",
                  static_cast<int>(index + 1));
}

bool SameEegSettings(const MontagePattern& a, const MontagePattern& b) {
    return a.Ref == b.Ref && a.ACCSens == b.ACCSens && a.ACCLff == b.ACCLff &&
           a.ACCHff == b.ACCHff && a.ACCCal == b.ACCCal && a.Notch == b.Notch && a.Rapid == b.Rapid;
}

// The values a grid edit changes and the store keeps. Switching rows on and
// off, the labels and the units follow the source as it opens, so they are
// left out: a source opened is no edit.
bool SameEegRow(const EegMontageRow& a, const EegMontageRow& b) {
    return a.G1 == b.G1 && a.G2 == b.G2 && a.RECIN == b.RECIN && a.SENS == b.SENS &&
           a.LFF == b.LFF && a.HFF == b.HFF && a.CAL == b.CAL && a.SHOW == b.SHOW &&
           a.COLOR == b.COLOR && a.WIDTH == b.WIDTH;
}

bool SamePsgRow(const PsgChannelRow& a, const PsgChannelRow& b) {
    // A magnification of 0 is read back as 1.
    const auto magnification = [](int32_t mag) { return mag == 0 ? 1 : mag; };
    return a.Signal == b.Signal && a.Rate == b.Rate && a.EU == b.EU && a.VU == b.VU &&
           a.Sens == b.Sens && a.LFF == b.LFF && a.HFF == b.HFF &&
           magnification(a.MAG) == magnification(b.MAG);
}

bool SameStoredValues(MontageKind kind, const MontagePattern& a, const MontagePattern& b) {
    if (kind == kEegMontage && !SameEegSettings(a, b)) return false;
    for (int32_t row = 0; row < kPatternRowCount; ++row) {
        const bool same = kind == kEegMontage ? SameEegRow(a.EegRows[row], b.EegRows[row])
                                              : SamePsgRow(a.PsgRows[row], b.PsgRows[row]);
        if (!same) return false;
    }
    return true;
}

PageRect Rect(int32_t x, int32_t y, int32_t width, int32_t height) {
    return PageRect{x, y, std::max(width, 0), std::max(height, 0)};
}

}  // namespace

extern "C" void LayoutMontagePage(MontageKind kind, int32_t width, int32_t height,
                                  int32_t buttonWidth, int32_t buttonHeight, int32_t measure,
                                  MontagePageLayout* layout) {
    if (kind == kPsgMontage) {
        layout->grid = Rect(kMargin, measure + kPsgGridTopGap, width - 2 * kMargin,
                            height - buttonHeight - measure - kPsgGridSpare);
    } else {
        const int32_t top = measure * 7 / 2;
        layout->grid = Rect(kMargin, top + kEegGridTopGap, width - 2 * kMargin,
                            height - buttonHeight - top - kEegGridSpare);
    }
    const int32_t buttonTop = height - buttonHeight - kMargin;
    layout->registry = Rect(kMargin, buttonTop, buttonWidth, buttonHeight);
    layout->copy = Rect(buttonWidth + kButtonGap, buttonTop, buttonWidth, buttonHeight);
}

extern "C" void ReadPatternNames(AppRecord* record, MontageKind kind, const char* settingsPath) {
    for (int32_t i = 0; i < kPatternSlotCount; ++i) {
        char section[16];
        SlotSection(kind, i, section, sizeof section);
        char name[kPatternNameRead];
        profile_io::ReadText(section, "PATTERN", "", name, sizeof name, settingsPath);
        CopyFieldText(record->PatternSlots[i].name, kPatternTextSize, name);
    }
}

extern "C" int32_t SelectPatternSlot(AppRecord* record, MontageKind kind, int32_t index) {
    if (index < 0 || index >= kPatternSlotCount) return 0;
    CurrentSlotIndex(record, kind) = static_cast<uint16_t>(index);
    return 1;
}

extern "C" int32_t PickPattern(AppRecord* record, MontageKind kind, int32_t index,
                               const char* settingsPath) {
    if (index < 0 || index >= kPatternSlotCount) return 0;
    if (kind == kEegMontage)
        LoadEegPattern(record, settingsPath, index);
    else
        LoadPsgPattern(record, settingsPath, index);
    return SelectPatternSlot(record, kind, index);
}

extern "C" void RenameCurrentPattern(AppRecord* record, MontageKind kind, const char* typed) {
    MontagePattern* slot = kind == kEegMontage ? CurrentEegSlot(record) : CurrentPsgSlot(record);
    if (slot != nullptr && typed != nullptr) CopyFieldText(slot->name, kPatternTextSize, typed);
}

extern "C" int32_t RegisterCurrentPattern(const AppRecord* record, MontageKind kind,
                                          const char* settingsPath) {
    if (kind == kEegMontage) {
        SaveEegPattern(record, settingsPath, record->CurrentEegPattern);
        return IDS_EEG_PATTERN_SAVED;
    }
    SavePsgPattern(record, settingsPath, record->CurrentPsgPattern);
    return IDS_PSG_PATTERN_SAVED;
}

extern "C" int32_t RegistryReplacesStoredPattern(const AppRecord* record, MontageKind kind,
                                                 const char* settingsPath) {
    if (record == nullptr || settingsPath == nullptr) return 0;
    char section[16];
    SlotSection(kind, kind == kEegMontage ? record->CurrentEegPattern : record->CurrentPsgPattern,
                section, sizeof section);
    return PlatProfileHasSection(section, settingsPath) ? 1 : 0;
}

extern "C" int32_t PatternHasUnregisteredEdits(const AppRecord* record, MontageKind kind,
                                               const char* settingsPath) {
    if (record == nullptr || settingsPath == nullptr) return 0;
    const int32_t index =
        kind == kEegMontage ? record->CurrentEegPattern : record->CurrentPsgPattern;
    if (index < 0 || index >= kPatternSlotCount) return 0;
    // The stored slot as a start loads it: over the row defaults, since a
    // load keeps the rows a list leaves out. The record is large: on the heap.
    std::unique_ptr<AppRecord> stored(new (std::nothrow) AppRecord());
    if (!stored) return 0;
    SetPsgRowDefaults(stored.get());
    if (kind == kEegMontage)
        LoadEegPattern(stored.get(), settingsPath, index);
    else
        LoadPsgPattern(stored.get(), settingsPath, index);
    return SameStoredValues(kind, record->PatternSlots[index], stored->PatternSlots[index]) ? 0 : 1;
}

extern "C" int32_t PatternCopyActionOf(MontageKind kind) {
    return kind == kPsgMontage ? kCopyShowsNotice : kCopyDoesNothing;
}

extern "C" int32_t EegPatternListCount(int32_t controlId) {
    const PatternList* list = FindList(controlId);
    if (list == nullptr) return 0;
    int32_t count = 0;
    while (count < list->tableSize && !(list->stopAtPlaceHolder && list->names[count][0] == '-'))
        ++count;
    return count;
}

extern "C" int32_t EegPatternListText(int32_t controlId, int32_t index, char* text) {
    text[0] = '\0';
    const PatternList* list = FindList(controlId);
    if (list == nullptr || index < 0 || index >= EegPatternListCount(controlId)) return 0;
    std::memcpy(text, list->names[index], kTableEntrySize);
    text[kTableEntrySize] = '\0';
    return 1;
}

extern "C" int32_t EegPatternControlValue(const AppRecord* record, int32_t controlId) {
    const MontagePattern* slot = EegSlotOf(record);
    if (slot == nullptr) return 0;
    if (const PatternList* list = FindList(controlId)) return slot->*(list->field);
    if (uint16_t MontagePattern::*field = CheckField(controlId)) return slot->*field;
    return 0;
}

extern "C" int32_t StoreEegPatternControl(AppRecord* record, int32_t controlId, int32_t value) {
    MontagePattern* slot = CurrentEegSlot(record);
    if (slot == nullptr || value < 0) return 0;
    if (const PatternList* list = FindList(controlId)) {
        if (value >= EegPatternListCount(controlId)) return 0;
        slot->*(list->field) = static_cast<uint16_t>(value);
        return 1;
    }
    if (uint16_t MontagePattern::*field = CheckField(controlId)) {
        slot->*field = value != 0;
        return 1;
    }
    return 0;
}

extern "C" void LoadPsgAdBits(AppRecord* record, const char* settingsPath) {
    record->AdBits = profile_io::ReadWord("SYSTEM", "AdBits", kDefaultAdBits, settingsPath);
}
