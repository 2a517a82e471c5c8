#include "dialog_text.h"

#include <cstdio>

#include "bramwick.h"
#include "feldane.h"
#include "ui_text.h"

void ReadItemText(HWND dialog, int id, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    ReadWindowTextCp932(GetDlgItem(dialog, id), out, outSize);
}

void FillListEntries(HWND dialog, int id, const ListEntry* entries, int count) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendListTextCp932(GetDlgItem(dialog, id), CB_ADDSTRING, 0, entries[i].text);
}

void FillNumberEntries(HWND dialog, int id, int first, int last, const char* format) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int value = first; value <= last; ++value) {
        char text[16];
        std::snprintf(text, sizeof text, format, value);
        SendListTextCp932(GetDlgItem(dialog, id), CB_ADDSTRING, 0, text);
    }
}

void FillNameEntries(HWND dialog, int id, const char* const* names, int count) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendListTextCp932(GetDlgItem(dialog, id), CB_ADDSTRING, 0, names[i]);
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
    // The selected entry is read only when it fits; otherwise the shown text.
    if (index != CB_ERR && ReadListEntryCp932(GetDlgItem(dialog, id), true, index, out, outSize))
        return;
    ReadItemText(dialog, id, out, outSize);
}

void SetFeldaneBackground(HWND control, COLORREF colour) {
    SendMessageA(control, FELDANE_SET_BACKGROUND, 0, static_cast<LPARAM>(colour));
}

void SetItemFont(HWND dialog, int id, int fontNumber) {
    auto font = static_cast<WPARAM>(BramwickFont(BRAMWICK_FONT_HANDLE, fontNumber));
    SendDlgItemMessageA(dialog, id, WM_SETFONT, font, TRUE);
}
