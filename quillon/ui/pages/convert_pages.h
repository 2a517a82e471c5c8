// The two convert pages, "EEGCONVERTINFO" and "PSGCONVERTINFO": modeless
// child dialogs made with CreateDialogParam and a ConvertPageContext as the
// creation parameter. Each page drives its runs from its timer 800; the
// common controls (progress bar) must be initialised first.
#ifndef QUILLON_CONVERT_PAGES_H
#define QUILLON_CONVERT_PAGES_H

#include <windows.h>

#include <stdint.h>

#include "page_messages.h"

// What a page needs from the main window; it must outlive the page.
struct ConvertPageContext {
    HGLOBAL record;            // the AppRecord block
    HWND mainWindow;           // owner of the save dialogs
    const char* settingsPath;  // \COND\QUILLON.INI: EEGFileNo after each EEG run
    // Told when a run starts (true) and ends (false), so the main window can
    // lock its output kind and pattern lists meanwhile; may be null.
    void (*runChanged)(HWND mainWindow, bool running);
    // Shows the convert tab again after a PSG target was chosen; may be null.
    void (*showConvertTab)(HWND mainWindow);
    // Time a timer tick may spend on steps; 0 for the program's own budget.
    uint32_t tickBudgetMilliseconds;
    // The step counter's font (the window-tool library's font 7); null keeps
    // the page font.
    HFONT counterFont;
};

// The PSG target's save dialog, for the page's "File Select..." and the main
// window's convert command (which then shows the convert tab and posts
// WM_COMMAND 1227 to the page). The record is not locked while the dialog
// is open. True when a file was chosen: it is the target now.
bool ChoosePsgTarget(HWND mainWindow, HGLOBAL record);

// Before the main window closes: true when no run is in progress or the
// user agrees to stop it (asked in a yes/no box, "no" the default).
bool AskCloseDuringRun(HWND mainWindow, HGLOBAL record);

INT_PTR CALLBACK EegConvertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PsgConvertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
