#include "pages/main_window_states.h"

const char* const kCreateTypeEntries[kCreateTypeEntryCount] = {"  None  ", "PSG Format",
                                                               "Orvik EEG Format"};

extern "C" int32_t PageTypeIndex(uint16_t copyFileType) {
    if (copyFileType > kOutputEegFiling24) return kOutputNone;
    // The EEG pages serve both EEG output types.
    if (copyFileType == kOutputEegFiling24) return kOutputEegFiling32;
    return copyFileType;
}

extern "C" int32_t ChooseTabPage(const AppRecord* record, int32_t tab) {
    if (record == nullptr || record->SourceOpen == 0 || tab < 0 || tab >= kTabCount)
        return kShowNoSourcePage;
    return PageTypeIndex(record->CopyFileType);
}

extern "C" CommandStates DescribeCommandStates(const AppRecord* record) {
    CommandStates states = {0, 0, 0, 0, 0};
    if (record == nullptr) return states;
    const bool idle = record->RunOwner == kRunNone;
    states.openEnabled = idle;
    states.closeEnabled = idle && record->SourceOpen != 0;
    states.convertEnabled = idle && record->SourceOpen != 0;
    states.originalTypeEnabled = idle && record->CurrentTab == kSourceTab;
    states.createTypeEnabled = idle;
    return states;
}

extern "C" int32_t ConvertCommandFor(uint16_t copyFileType) {
    if (copyFileType == kOutputPsg) return kConvertChoosePsgTarget;
    if (IsEegOutput(copyFileType)) return kConvertStartEeg;
    return kConvertNothing;
}

extern "C" int32_t ListOriginalTypes(const AppRecord* record, PresetEntry* entries,
                                     int32_t* selected) {
    if (selected != nullptr) *selected = -1;
    if (record == nullptr || entries == nullptr) return 0;
    int32_t count = 0;
    for (int32_t i = 0; i < kSourcePresetCount; ++i) {
        const SourcePreset& preset = record->SourcePreset[i];
        if (preset.Enable == 0) continue;
        if (selected != nullptr && record->OrgFileType == i + 1) *selected = count;
        entries[count++] = {preset.Label, i + 1};
    }
    return count;
}
