// What the main window decides: which page a tab shows, which commands are
// available, the "Original Type" entries and what the Conv command does.
#ifndef QUILLON_MAIN_WINDOW_STATES_H
#define QUILLON_MAIN_WINDOW_STATES_H

#include <stdint.h>

#include "store/app_record.h"

constexpr int32_t kCreateTypeEntryCount = 3;

extern const char* const kCreateTypeEntries[kCreateTypeEntryCount];

// A tab's page: the no-source placeholder, or the page of a per-type table.
enum TabPageChoice { kShowNoSourcePage = -1 };

// While a conversion runs, nothing that would end it or change its layout
// is offered: opening or closing a source, a second start, the type lists.
struct CommandStates {
    int32_t openEnabled;          // toolbar Open
    int32_t closeEnabled;         // toolbar Close
    int32_t convertEnabled;       // toolbar Conv
    int32_t originalTypeEnabled;  // the "Original Type" list
    int32_t createTypeEnabled;    // the "Create Type" list
};

// What the Conv command does for the output type.
enum ConvertCommand { kConvertNothing, kConvertChoosePsgTarget, kConvertStartEeg };

// An "Original Type" entry: the label of an enabled preset and its number.
struct PresetEntry {
    const char* label;
    int32_t number;  // 1..32
};

extern "C" {

// The page-table index of an output type; types the settings file alone
// can hold beyond 3 show the pages of no output.
int32_t PageTypeIndex(uint16_t copyFileType);
// kShowNoSourcePage or the page-table index for tab.
int32_t ChooseTabPage(const AppRecord* record, int32_t tab);
CommandStates DescribeCommandStates(const AppRecord* record);
int32_t ConvertCommandFor(uint16_t copyFileType);

// The enabled presets in order into entries (kSourcePresetCount of them);
// returns the count and, in selected, the entry of OrgFileType or -1.
int32_t ListOriginalTypes(const AppRecord* record, PresetEntry* entries, int32_t* selected);
}

#endif
