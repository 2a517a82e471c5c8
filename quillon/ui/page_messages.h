// Messages between the main window, its pages and the grid controls.
#ifndef QUILLON_PAGE_MESSAGES_H
#define QUILLON_PAGE_MESSAGES_H

#include <windows.h>

// Sent to a page each time it is shown; the page rebuilds its controls from
// the application record.
#define WM_PAGE_SHOWN (WM_USER + 101)
// A montage page hands its grid the application record's handle.
#define WM_GRID_SETDATA (WM_USER + 100)

// Posts WM_COMMAND (control id, code) from control to its parent.
void NotifyParent(HWND control, int code);

#endif
