// The PSG montage grid: one row per source channel of the current PSG pattern.
#include "grid_window.h"
#include "montage_grids.h"
#include "montage_ids.h"

namespace {

constexpr MontageKind kKind = kPsgMontage;

LRESULT CALLBACK PsgGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_ENABLE:
            return OnGridEnable(grid);
        case WM_SETFONT:
            return OnGridSetFont(grid, wParam);
        case WM_SIZE:
            return OnGridSize(grid, kKind);
        case WM_PAINT:
            PaintGrid(grid, kKind);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_VSCROLL:
            return OnGridScroll(grid, kKind, wParam);
        case WM_LBUTTONDOWN:
            return OnGridButtonDown(grid, kKind, lParam);
        case WM_MOUSEMOVE:
            return OnGridMouseMove(grid, kKind, lParam);
        case WM_LBUTTONUP:
            return OnGridButtonUp(grid, kKind);
        case WM_LBUTTONDBLCLK:
            return OnGridDoubleClick(grid, kKind, lParam);
        case WM_RBUTTONUP:
            return OnGridRightButtonUp(grid, kKind);
        case WM_COMMAND:
            return OnGridCommand(grid, kKind, wParam);
        case WM_GRID_SETDATA:
            return OnGridSetData(grid, kKind, wParam);
        default:
            return DefWindowProcA(grid, message, wParam, lParam);
    }
}

}  // namespace

ATOM RegisterPsgGridClass(HINSTANCE instance) {
    return RegisterGridClass(instance, PSG_GRID_CLASS, PsgGridProc);
}
