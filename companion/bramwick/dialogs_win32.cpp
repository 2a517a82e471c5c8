// Ordinals 22, 23 and 24: the program's notices, About box and start-up
// window, shown from its own dialog resources with our dialog procedure.
#include <windows.h>

#include "bramwick.h"

namespace {

// A notice opens centred on the window it belongs to, wherever that stands.
void CentreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT ownerRect = {}, rect = {};
    if (owner == nullptr || !IsWindowVisible(owner) || IsIconic(owner) ||
        !GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &rect))
        return;
    const int x = (ownerRect.left + ownerRect.right - (rect.right - rect.left)) / 2;
    const int y = (ownerRect.top + ownerRect.bottom - (rect.bottom - rect.top)) / 2;
    SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInitDialog(HWND dialog, LPARAM text) {
    if (text != 0)
        SetDlgItemTextA(dialog, BRAMWICK_ABOUT_TEXT_ID, reinterpret_cast<const char*>(text));
    CentreOnOwner(dialog);
}

// Any button ends a modal notice with its own id.
INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

INT_PTR CALLBACK ModalProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog, lParam); return TRUE;
        case WM_COMMAND: return OnCommand(dialog, wParam);
        case WM_CLOSE: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
    }
}

INT_PTR CALLBACK ModelessProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_CLOSE: DestroyWindow(dialog); return TRUE;
        default: return FALSE;
    }
}

int32_t ShowModal(void* owner, void* instance, int32_t resource, const char* text) {
    INT_PTR result =
        DialogBoxParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(resource),
                        static_cast<HWND>(owner), ModalProc, reinterpret_cast<LPARAM>(text));
    return result > 0 ? static_cast<int32_t>(result) : 0;
}

}  // namespace

extern "C" int32_t COMPANIONAPI BramwickModalDialog(void* owner, void* instance, int32_t resource) {
    return ShowModal(owner, instance, resource, nullptr);
}

extern "C" int32_t COMPANIONAPI BramwickAboutBox(void* owner, void* instance, int32_t resource,
                                                 int32_t, const char* text, int32_t) {
    return ShowModal(owner, instance, resource, text);
}

extern "C" void* COMPANIONAPI BramwickStartupWindow(void* owner, void* instance, int32_t resource) {
    HWND window = CreateDialogParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(resource),
                                     static_cast<HWND>(owner), ModelessProc, 0);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}
