// Decisions of the montage setup pages.
#include "pages/montage_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ids/montage_ids.h"
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
        std::snprintf(section, sizeof section,
                      kind == kEegMontage ? "EEGPattern%i" : "PSGPattern%i",
                      static_cast<int>(i + 1));
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
