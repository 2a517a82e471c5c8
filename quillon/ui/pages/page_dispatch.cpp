#include "page_dispatch.h"

#include "page_messages.h"

namespace {

void (*g_recordChanged)() = nullptr;

// Handlers that do something and leave the message unanswered.
INT_PTR Run(void (*handler)(HWND), HWND page) {
    if (handler != nullptr) handler(page);
    return FALSE;
}

INT_PTR OnInitDialog(HWND page, const PageHandlers& h, LPARAM context) {
    return h.initDialog != nullptr ? h.initDialog(page, context) : TRUE;
}

// The page's windows go with it; the message is answered.
INT_PTR OnDestroy(HWND page, const PageHandlers& h) {
    Run(h.destroy, page);
    return TRUE;
}

INT_PTR OnSize(HWND page, const PageHandlers& h, LPARAM size) {
    if (h.size != nullptr) h.size(page, LOWORD(size), HIWORD(size));
    return FALSE;
}

INT_PTR OnCommand(HWND page, const PageHandlers& h, WPARAM wParam) {
    if (h.command != nullptr) h.command(page, LOWORD(wParam), HIWORD(wParam));
    NotifyRecordChanged();
    return FALSE;
}

INT_PTR OnShown(HWND page, const PageHandlers& h) {
    Run(h.shown, page);
    NotifyRecordChanged();
    return FALSE;
}

INT_PTR OnTimer(HWND page, const PageHandlers& h, WPARAM id) {
    if (h.timer != nullptr) h.timer(page, static_cast<UINT_PTR>(id));
    return FALSE;
}

INT_PTR OnColourStatic(HWND page, const PageHandlers& h, WPARAM dc, LPARAM control) {
    if (h.colourStatic == nullptr) return FALSE;
    return h.colourStatic(page, reinterpret_cast<HDC>(dc), reinterpret_cast<HWND>(control));
}

}  // namespace

void NotifyRecordChanged() {
    if (g_recordChanged != nullptr) g_recordChanged();
}

void SetRecordChangedHook(void (*hook)()) { g_recordChanged = hook; }

INT_PTR DispatchPageMessage(HWND page, const PageHandlers& h, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    if (message != WM_INITDIALOG && h.ready != nullptr && !h.ready(page)) return FALSE;
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(page, h, lParam);
        case WM_DESTROY: return OnDestroy(page, h);
        case WM_NCDESTROY: return Run(h.ncDestroy, page);
        case WM_SIZE: return OnSize(page, h, lParam);
        case WM_COMMAND: return OnCommand(page, h, wParam);
        case WM_TIMER: return OnTimer(page, h, wParam);
        case WM_CTLCOLORSTATIC: return OnColourStatic(page, h, wParam, lParam);
        case WM_PAGE_SHOWN: return OnShown(page, h);
        default: return FALSE;
    }
}
