// Moving texts and numbers between controls; the texts are code page 932.
#ifndef QUILLON_DIALOG_TEXT_H
#define QUILLON_DIALOG_TEXT_H

#include <windows.h>

#include <stdint.h>

#include "pages/source_page.h"

// Light grey normally, red for an error text.
constexpr COLORREF kFeldaneGrey = RGB(192, 192, 192);
constexpr COLORREF kFeldaneRed = RGB(255, 0, 0);

// The text of a control into out (outSize bytes, always terminated).
void ReadItemText(HWND dialog, int id, char* out, int outSize);
void FillListEntries(HWND dialog, int id, const ListEntry* entries, int count);
// Entries "%3i" of first..last (or format given).
void FillNumberEntries(HWND dialog, int id, int first, int last, const char* format);
void FillNameEntries(HWND dialog, int id, const char* const* names, int count);
// Selects entry index, none when it is out of the list.
void SelectEntry(HWND dialog, int id, int index);
int SelectedEntry(HWND dialog, int id);  // CB_ERR when none
// The text of the selected entry (or the edit part) of a combo box.
void ReadComboText(HWND dialog, int id, char* out, int outSize);
void SetFeldaneBackground(HWND control, COLORREF colour);
void SetItemFont(HWND dialog, int id, int fontNumber);

#endif
