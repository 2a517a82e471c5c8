// Window texts are UTF-16; the record, the settings and every file hold code
// page 932. Converting here, never through the system's code page, keeps the
// bytes the same on any Windows (932, 1252 or UTF-8 as its code page).
#ifndef QUILLON_UI_TEXT_H
#define QUILLON_UI_TEXT_H

#include <windows.h>

#include <stddef.h>

#include <string>

constexpr UINT kRecordCodePage = 932;

std::wstring WideFromCp932(const char* text);
std::wstring WideFromCp932(const char* text, size_t size);
// Into out (outSize bytes, always terminated), keeping whole characters only;
// returns the bytes written. A character code page 932 lacks becomes '?'.
size_t Cp932FromWide(const wchar_t* text, char* out, size_t outSize);
std::string Cp932FromWide(const wchar_t* text);
// The bytes a text takes in code page 932, without the terminator.
size_t Cp932Size(const wchar_t* text);
// The length of the longest prefix of text (size bytes) that ends on a whole
// code page 932 character and is at most limit bytes.
size_t Cp932WholePrefix(const char* text, size_t size, size_t limit);

void SetWindowTextCp932(HWND window, const char* text);
void SetItemTextCp932(HWND dialog, int id, const char* text);
void ReadWindowTextCp932(HWND window, char* out, int outSize);
// CB_ADDSTRING, LB_ADDSTRING, CB_INSERTSTRING or LB_INSERTSTRING with a text.
LRESULT SendListTextCp932(HWND list, UINT message, WPARAM index, const char* text);
// Entry index of a combo box (or list box) into out; false when it does not fit.
bool ReadListEntryCp932(HWND list, bool isComboBox, int index, char* out, int outSize);
int MessageBoxCp932(HWND owner, const char* text, const char* caption, UINT type);
// A string-table entry; empty when there is none.
std::wstring LoadWideString(HINSTANCE instance, UINT id);
// The same in code page 932, into out (always terminated); returns its length.
int LoadStringCp932(HINSTANCE instance, UINT id, char* out, int outSize);

#endif
