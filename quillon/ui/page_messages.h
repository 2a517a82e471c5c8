// Messages between the main window, its pages and the grid controls.
#ifndef QUILLON_PAGE_MESSAGES_H
#define QUILLON_PAGE_MESSAGES_H

#include <windows.h>

// Sent to a page each time it is shown; the page rebuilds its controls from
// the application record.
#define WM_PAGE_SHOWN (WM_USER + 101)

// Kinds of the main window's status output, for its own parts and the pages.
enum StatusKind { kStatusPart0 = 0, kStatusMessage = 1, kStatusError = 2 };

#endif
