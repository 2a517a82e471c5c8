// The montage setup pages without their dialogs: where the grid and the
// buttons go, how the pattern combo box names, picks and registers slots,
// what "Pattern Copy..." does, and the EEG page's pattern-wide controls.
#ifndef QUILLON_MONTAGE_PAGE_H
#define QUILLON_MONTAGE_PAGE_H

#include <stdint.h>

#include "store/app_record.h"
#include "montage/grid_model.h"

struct PageRect {
    int32_t x, y, width, height;
};

struct MontagePageLayout {
    PageRect grid;
    PageRect registry;
    PageRect copy;
};

enum PatternCopyAction : int32_t { kCopyDoesNothing = 0, kCopyShowsNotice = 1 };

extern "C" {

// Page client width and height, the registry button's client size, and the
// font height (PSG) or the combo box's client height (EEG).
void LayoutMontagePage(MontageKind kind, int32_t width, int32_t height, int32_t buttonWidth,
                       int32_t buttonHeight, int32_t measure, MontagePageLayout* layout);

// The names of the four sections of the page's kind ("PATTERN", empty when
// absent) into the slot names.
void ReadPatternNames(AppRecord* record, MontageKind kind, const char* settingsPath);
// Makes slot index current; 0 for an index that names no slot.
int32_t SelectPatternSlot(AppRecord* record, MontageKind kind, int32_t index);
// A pick in the combo box: the slot reloaded from the settings file and made
// current; 0 (nothing done) for a negative index.
int32_t PickPattern(AppRecord* record, MontageKind kind, int32_t index, const char* settingsPath);
// A name typed in the combo box becomes the current slot's name.
void RenameCurrentPattern(AppRecord* record, MontageKind kind, const char* typed);
// "Pattern Registry": the current slot written; returns the string to show.
int32_t RegisterCurrentPattern(const AppRecord* record, MontageKind kind, const char* settingsPath);
int32_t PatternCopyActionOf(MontageKind kind);

// Whether "Pattern Registry" would replace a pattern the settings file
// holds for the current slot of kind: 1 asks the user first.
int32_t RegistryReplacesStoredPattern(const AppRecord* record, MontageKind kind,
                                      const char* settingsPath);
// Whether the current slot of kind holds grid edits the settings file does
// not: its rows, and for EEG the pattern-wide settings. The name and the
// labels follow the source and do not count. 1 offers registration at exit.
int32_t PatternHasUnregisteredEdits(const AppRecord* record, MontageKind kind,
                                    const char* settingsPath);

// The EEG page's pattern-wide lists: entries offered, the entry's text
// (9 bytes), the value shown, and storing a choice. 0 for other controls.
int32_t EegPatternListCount(int32_t controlId);
int32_t EegPatternListText(int32_t controlId, int32_t index, char* text);
int32_t EegPatternControlValue(const AppRecord* record, int32_t controlId);
int32_t StoreEegPatternControl(AppRecord* record, int32_t controlId, int32_t value);

// "SYSTEM"/"AdBits" of the settings file into AdBits; 16 when absent.
void LoadPsgAdBits(AppRecord* record, const char* settingsPath);
}

#endif
