// The two montage grid controls of the montage pages: "VEEGMONTINFOPATTERN"
// and "VPSGMONTINFOPATTERN". A page hands its grid the application record
// with WM_GRID_SETDATA; the grid posts WM_COMMAND codes 10, 11 and 12 with
// its control id when a selection starts, grows and ends.
#ifndef QUILLON_MONTAGE_GRIDS_H
#define QUILLON_MONTAGE_GRIDS_H

#include <windows.h>

#include "store/app_record.h"

#ifndef WM_GRID_SETDATA
#define WM_GRID_SETDATA (WM_USER + 100)
#endif

// Registers both classes. The electrode names are the program's table,
// read-only, and must outlive every EEG grid.
BOOL RegisterMontageGridClasses(HINSTANCE instance, const ElectrodeNameTable* electrodeNames);

// Posts WM_COMMAND to the control's parent: the control's id and code, the
// control as lParam.
void NotifyParent(HWND control, int code);

#endif
