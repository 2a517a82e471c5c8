// The EEG montage grid: the traces of the current EEG pattern, one row per trace.
#include "grid_window.h"
#include "montage_grids.h"
#include "ids/montage_ids.h"

namespace {

LRESULT CALLBACK EegGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchGridMessage(grid, kEegMontage, message, wParam, lParam);
}

}  // namespace

ATOM RegisterEegGridClass(HINSTANCE instance) {
    return RegisterGridClass(instance, EEG_GRID_CLASS, EegGridProc);
}
