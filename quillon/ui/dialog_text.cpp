#include "dialog_text.h"

#include <cstdio>

#include "bramwick.h"
#include "feldane.h"

void ReadItemText(HWND dialog, int id, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    out[0] = '\0';
    GetDlgItemTextA(dialog, id, out, outSize);
    out[outSize - 1] = '\0';
}

void FillListEntries(HWND dialog, int id, const ListEntry* entries, int count) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].text));
}

void FillNumberEntries(HWND dialog, int id, int first, int last, const char* format) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int value = first; value <= last; ++value) {
        char text[16];
        std::snprintf(text, sizeof text, format, value);
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void FillNameEntries(HWND dialog, int id, const char* const* names, int count) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i]));
}

void SelectEntry(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int SelectedEntry(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void ReadComboText(HWND dialog, int id, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    out[0] = '\0';
    const int index = SelectedEntry(dialog, id);
    const LRESULT length =
        index != CB_ERR ? SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0) : CB_ERR;
    // The selected entry is read only when it fits; otherwise the shown text.
    if (length != CB_ERR && length < outSize) {
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(out));
        return;
    }
    ReadItemText(dialog, id, out, outSize);
}

void SetFeldaneBackground(HWND control, COLORREF colour) {
    SendMessageA(control, FELDANE_SET_BACKGROUND, 0, static_cast<LPARAM>(colour));
}

void SetItemFont(HWND dialog, int id, int fontNumber) {
    auto font = static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, fontNumber));
    SendDlgItemMessageA(dialog, id, WM_SETFONT, font, TRUE);
}
