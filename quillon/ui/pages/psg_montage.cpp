// The PSG montage page: pattern choice, its grid, registry and copy notice.
#include "montage_page_common.h"
#include "page_dispatch.h"

namespace {

constexpr MontageKind kKind = kPsgMontage;

INT_PTR OnInitDialog(HWND page, LPARAM context) {
    InitMontagePage(page, kKind, context);
    return TRUE;
}

void OnSize(HWND page, int width, int height) {
    LayoutMontagePageControls(page, kKind, width, height);
}

void OnCommand(HWND page, WORD id, WORD code) { OnMontagePageCommand(page, kKind, id, code); }

void OnPageShown(HWND page) { LayoutShownMontagePage(page, kKind); }

constexpr PageHandlers kHandlers = {
    nullptr,       // ready
    OnInitDialog,  // WM_INITDIALOG
    nullptr,       // WM_DESTROY
    nullptr,       // WM_NCDESTROY
    OnSize,        // WM_SIZE
    OnCommand,     // WM_COMMAND
    nullptr,       // WM_TIMER
    nullptr,       // WM_CTLCOLORSTATIC
    OnPageShown,   // WM_PAGE_SHOWN
};

}  // namespace

INT_PTR CALLBACK PsgMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, kHandlers, message, wParam, lParam);
}
