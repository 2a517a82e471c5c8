// The two montage setup pages, "EEGMONTAGESETUP" and "PSGMONTAGESETUP":
// modeless child dialogs made with CreateDialogParam and a
// MontagePageContext as the creation parameter. The grid classes must be
// registered first (montage_grids.h).
#ifndef QUILLON_MONTAGE_PAGES_H
#define QUILLON_MONTAGE_PAGES_H

#include <windows.h>

#include "page_messages.h"

// What a page needs from the main window; it must outlive the page.
struct MontagePageContext {
    HGLOBAL record;            // the AppRecord block
    HWND mainWindow;           // receives the status texts
    const char* settingsPath;  // \COND\QUILLON.INI
    HFONT font;                // the window-tool library's BRAMWICK_FONT_FIXED
    int fontHeight;            // its pixel height
    // The main window's status output; the pages use kStatusMessage.
    void (*showStatus)(HWND mainWindow, int kind, const char* text);
};

INT_PTR CALLBACK EegMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PsgMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
