// The in-place editor: one hidden EDIT child per grid for the grid's whole
// life, subclassed only while it is open over a cell.
#include "grid_window.h"
#include "ui_text.h"

namespace {

constexpr DWORD kEditorStyle = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
constexpr UINT kTextCodePage = 932;

WindowHandle& EditorSlotOf(AppRecord* record, MontageKind kind) {
    return kind == kEegMontage ? record->EegGridEdit : record->PsgEditWindow;
}

HWND EditorOf(AppRecord* record, MontageKind kind) {
    return static_cast<HWND>(EditorSlotOf(record, kind));
}

WindowProcedure& EditorClassProcOf(AppRecord* record, MontageKind kind) {
    return kind == kEegMontage ? record->EegGridEditProc : record->PsgEditProc;
}

WNDPROC ClassProcedure(HWND edit) {
    return reinterpret_cast<WNDPROC>(GetClassLongPtrA(edit, GCLP_WNDPROC));
}

bool Editing(HWND grid) { return GetWindowWord(grid, kGridEditingSlot) != 0; }
void SetEditing(HWND grid, bool on) { SetWindowWord(grid, kGridEditingSlot, on ? 1 : 0); }

void PostToGrid(HWND edit, int code) {
    HWND grid = GetParent(edit);
    SetEditing(grid, false);
    PostMessageA(grid, WM_COMMAND, MAKEWPARAM(kGridEditId, static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(edit));
}

LRESULT OnEditorKey(HWND edit, WPARAM key, LPARAM lParam) {
    switch (key) {
        case VK_RETURN: PostToGrid(edit, kEditEnter); return 0;
        case VK_TAB: PostToGrid(edit, kEditTab); return 0;
        case VK_UP:
        case VK_DOWN: return 0;
        case VK_LEFT:
        case VK_RIGHT:
            if (Editing(GetParent(edit))) break;
            PostMessageA(GetParent(edit), WM_KEYDOWN, key, lParam);
            return 0;
        default: break;
    }
    return CallWindowProcA(ClassProcedure(edit), edit, WM_KEYDOWN, key, lParam);
}

// A double-byte character typed arrives as two WM_CHAR messages. The edit
// control gets it as one character, converted from code page 932 here:
// the ANSI message mapping would read it in the keyboard's code page.
LRESULT OnEditorChar(HWND edit, WPARAM code, LPARAM lParam) {
    if (!Editing(GetParent(edit)) || code == '\r' || code == '\t') return 0;
    MSG trail;
    if (code <= 0xFF && IsDBCSLeadByteEx(kTextCodePage, static_cast<BYTE>(code)) &&
        PeekMessageA(&trail, edit, WM_CHAR, WM_CHAR, PM_REMOVE)) {
        const char pair[2] = {static_cast<char>(code), static_cast<char>(trail.wParam)};
        wchar_t character = 0;
        if (MultiByteToWideChar(kTextCodePage, MB_ERR_INVALID_CHARS, pair, 2, &character, 1) != 1)
            return 0;
        auto wide = reinterpret_cast<WNDPROC>(GetClassLongPtrW(edit, GCLP_WNDPROC));
        return CallWindowProcW(wide, edit, WM_CHAR, character, lParam);
    }
    return CallWindowProcA(ClassProcedure(edit), edit, WM_CHAR, code, lParam);
}

LRESULT OnEditorKillFocus(HWND edit, WPARAM next) {
    PostToGrid(edit, kEditFocusLost);
    return CallWindowProcA(ClassProcedure(edit), edit, WM_KILLFOCUS, next, 0);
}

LRESULT CALLBACK GridEditorProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: return OnEditorKey(edit, wParam, lParam);
        case WM_CHAR: return OnEditorChar(edit, wParam, lParam);
        case WM_KILLFOCUS: return OnEditorKillFocus(edit, wParam);
        case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
        default: return CallWindowProcA(ClassProcedure(edit), edit, message, wParam, lParam);
    }
}

}  // namespace

HWND AttachGridEditor(HWND grid, MontageKind kind, AppRecord* record) {
    CloseGridEditor(grid, kind, record, false);
    HWND edit = GetDlgItem(grid, kGridEditId);
    if (edit == nullptr) {
        edit = CreateWindowExA(0, "EDIT", "", kEditorStyle, 0, 0, 1, 1, grid,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGridEditId)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(grid, GWLP_HINSTANCE)),
                               nullptr);
    }
    EditorSlotOf(record, kind) = edit;
    EditorClassProcOf(record, kind) =
        edit ? reinterpret_cast<WindowProcedure>(GetClassLongPtrA(edit, GCLP_WNDPROC)) : nullptr;
    if (edit) ShowWindow(edit, SW_HIDE);
    SetEditing(grid, false);
    return edit;
}

void OpenGridEditor(HWND grid, MontageKind kind, AppRecord* record) {
    HWND edit = EditorOf(record, kind);
    GridView view;
    LoadGridView(record, kind, &view);
    char text[kGridEditTextSize];
    int32_t limit = 0;
    GridCell cell;
    const GridArea area = GridWorkingArea(grid);
    if (!IsWindow(edit) ||
        !GridEditText(record, kind, view.column, view.selEnd, text, sizeof text, &limit) ||
        !GridEditorRect(kind, &view, &area, view.column, view.selEnd, &cell))
        return;
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GridEditorProc));
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GridFont(grid)), FALSE);
    SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
    MoveWindow(edit, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, FALSE);
    SetWindowTextCp932(edit, text);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    ShowWindow(edit, SW_SHOW);
    SetFocus(edit);
    SetEditing(grid, true);
}

void CloseGridEditor(HWND grid, MontageKind kind, AppRecord* record, bool store) {
    HWND edit = EditorOf(record, kind);
    SetEditing(grid, false);
    if (!IsWindow(edit) || !IsWindowVisible(edit)) return;
    char text[kGridEditTextSize] = {};
    ReadWindowTextCp932(edit, text, sizeof text);
    WindowProcedure original = EditorClassProcOf(record, kind);
    SetWindowLongPtrA(
        edit, GWLP_WNDPROC,
        original ? reinterpret_cast<LONG_PTR>(original) : GetClassLongPtrA(edit, GCLP_WNDPROC));
    ShowWindow(edit, SW_HIDE);
    if (store) {
        GridView view;
        LoadGridView(record, kind, &view);
        StoreGridEditText(record, kind, view.column, view.selEnd, text);
    }
    InvalidateRect(grid, nullptr, FALSE);
}
