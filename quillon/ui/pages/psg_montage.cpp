// The PSG montage page: pattern choice, its grid, registry and copy notice.
#include "montage_page_common.h"

namespace {

constexpr MontageKind kKind = kPsgMontage;

INT_PTR OnInitDialog(HWND page, LPARAM context) {
    InitMontagePage(page, kKind, context);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK PsgMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(page, lParam);
        case WM_DESTROY: return TRUE;
        case WM_SIZE:
            LayoutMontagePageControls(page, kKind, LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_COMMAND:
            OnMontagePageCommand(page, kKind, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_PAGE_SHOWN: LayoutShownMontagePage(page, kKind); return FALSE;
        default: return FALSE;
    }
}
