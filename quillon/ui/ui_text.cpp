#include "ui_text.h"

#include <climits>
#include <cstring>
#include <vector>

namespace {

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A message box opens centred on its owner's top window rather than on the
// screen: a hook on this thread catches the box as it is activated, once.
HHOOK g_centreHook = nullptr;
HWND g_centreOn = nullptr;

void CentreOn(HWND box, HWND owner) {
    RECT ownerRect = {}, boxRect = {};
    if (!GetWindowRect(owner, &ownerRect) || !GetWindowRect(box, &boxRect)) return;
    const int width = boxRect.right - boxRect.left;
    const int height = boxRect.bottom - boxRect.top;
    int x = (ownerRect.left + ownerRect.right - width) / 2;
    int y = (ownerRect.top + ownerRect.bottom - height) / 2;
    MONITORINFO screen = {};
    screen.cbSize = sizeof screen;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) {
        const RECT& work = screen.rcWork;
        x = x + width > work.right ? work.right - width : x;
        y = y + height > work.bottom ? work.bottom - height : y;
        x = x < work.left ? work.left : x;
        y = y < work.top ? work.top : y;
    }
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CentreBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_centreHook;
    if (code == HCBT_ACTIVATE && hook != nullptr) {
        g_centreHook = nullptr;
        UnhookWindowsHookEx(hook);
        CentreOn(reinterpret_cast<HWND>(wParam), g_centreOn);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

size_t Cp932WholePrefix(const char* text, size_t size, size_t limit) {
    size_t kept = 0;
    size_t at = 0;
    while (at < size && text[at] != '\0') {
        const size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
        if (at + width > size || at + width > limit) break;
        at += width;
        kept = at;
    }
    return kept;
}

std::wstring WideFromCp932(const char* text, size_t size) {
    if (text == nullptr) return std::wstring();
    size_t length = 0;
    while (length < size && text[length] != '\0') ++length;
    if (length == 0 || length > INT_MAX / 2) return std::wstring();
    const int inLength = static_cast<int>(length);
    const int wideLength = MultiByteToWideChar(kRecordCodePage, 0, text, inLength, nullptr, 0);
    if (wideLength <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(kRecordCodePage, 0, text, inLength, &wide[0], wideLength);
    return wide;
}

std::wstring WideFromCp932(const char* text) {
    return text == nullptr ? std::wstring() : WideFromCp932(text, std::strlen(text));
}

std::string Cp932FromWide(const wchar_t* text) {
    if (text == nullptr || text[0] == L'\0') return std::string();
    const int size = WideCharToMultiByte(kRecordCodePage, 0, text, -1, nullptr, 0, "?", nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(kRecordCodePage, 0, text, -1, &out[0], size, "?", nullptr);
    out.resize(static_cast<size_t>(size - 1));
    return out;
}

size_t Cp932Size(const wchar_t* text) { return Cp932FromWide(text).size(); }

size_t Cp932FromWide(const wchar_t* text, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    const std::string whole = Cp932FromWide(text);
    const size_t kept = Cp932WholePrefix(whole.data(), whole.size(), outSize - 1);
    std::memcpy(out, whole.data(), kept);
    out[kept] = '\0';
    return kept;
}

void SetWindowTextCp932(HWND window, const char* text) {
    SetWindowTextW(window, WideFromCp932(text).c_str());
}

void SetItemTextCp932(HWND dialog, int id, const char* text) {
    SetDlgItemTextW(dialog, id, WideFromCp932(text).c_str());
}

void ReadWindowTextCp932(HWND window, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    out[0] = '\0';
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return;
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, wide.data(), length + 1);
    Cp932FromWide(wide.data(), out, static_cast<size_t>(outSize));
}

LRESULT SendListTextCp932(HWND list, UINT message, WPARAM index, const char* text) {
    const std::wstring wide = WideFromCp932(text);
    return SendMessageW(list, message, index, reinterpret_cast<LPARAM>(wide.c_str()));
}

bool ReadListEntryCp932(HWND list, bool isComboBox, int index, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return false;
    out[0] = '\0';
    const UINT lengthMessage = isComboBox ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = isComboBox ? CB_GETLBTEXT : LB_GETTEXT;
    const LRESULT length = SendMessageW(list, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return false;
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, textMessage, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(wide.data()));
    const std::string text = Cp932FromWide(wide.data());
    if (text.size() >= static_cast<size_t>(outSize)) return false;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return true;
}

int MessageBoxCp932(HWND owner, const char* text, const char* caption, UINT type) {
    HWND top = owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (top != nullptr && g_centreHook == nullptr && IsWindowVisible(top) && !IsIconic(top)) {
        g_centreOn = top;
        g_centreHook = SetWindowsHookExW(WH_CBT, CentreBoxHook, nullptr, GetCurrentThreadId());
    }
    const int answer =
        MessageBoxW(owner, WideFromCp932(text).c_str(), WideFromCp932(caption).c_str(), type);
    if (g_centreHook != nullptr) UnhookWindowsHookEx(g_centreHook);
    g_centreHook = nullptr;
    return answer;
}

std::wstring LoadWideString(HINSTANCE instance, UINT id) {
    const wchar_t* resource = nullptr;
    // With a zero size the call hands out the read-only resource text itself.
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) return std::wstring();
    return std::wstring(resource, static_cast<size_t>(length));
}

int LoadStringCp932(HINSTANCE instance, UINT id, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return 0;
    const std::wstring wide = LoadWideString(instance, id);
    return static_cast<int>(Cp932FromWide(wide.c_str(), out, static_cast<size_t>(outSize)));
}
