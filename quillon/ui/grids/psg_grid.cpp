// The PSG montage grid: one row per source channel of the current PSG pattern.
#include "grid_window.h"
#include "montage_grids.h"
#include "ids/montage_ids.h"

namespace {

LRESULT CALLBACK PsgGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchGridMessage(grid, kPsgMontage, message, wParam, lParam);
}

}  // namespace

ATOM RegisterPsgGridClass(HINSTANCE instance) {
    return RegisterGridClass(instance, PSG_GRID_CLASS, PsgGridProc);
}
