// What the EEG and PSG montage pages share: the pattern combo box, the
// registry and the layout of grid and buttons.
#ifndef QUILLON_MONTAGE_PAGE_COMMON_H
#define QUILLON_MONTAGE_PAGE_COMMON_H

#include <windows.h>

#include "montage/grid_model.h"
#include "montage_pages.h"

const MontagePageContext* PageContext(HWND page);
// Stores the context and gives combo box and grid their font and record.
void InitMontagePage(HWND page, MontageKind kind, LPARAM context);
void LayoutMontagePageControls(HWND page, MontageKind kind, int width, int height);
// The client size as the page-shown message measures it.
void LayoutShownMontagePage(HWND page, MontageKind kind);
// Combo box, registry and copy commands; false for other controls.
bool OnMontagePageCommand(HWND page, MontageKind kind, WORD id, WORD code);

// At exit: each kind's current pattern with edits the settings file lacks
// is offered for registration (Yes registers, No leaves it). False when the
// user cancels, and the window is to stay.
bool OfferPatternRegistration(HWND owner, HINSTANCE instance, HGLOBAL recordBlock,
                              const char* settingsPath);

#endif
