// FELDANESTATIC32: a static text on a background colour the owner can change,
// used for status and error texts.
#include <windows.h>

#include "feldane.h"

namespace {

HINSTANCE g_instance = nullptr;

// Window extra bytes: the background colour, then the font.
constexpr int kColourIndex = 0;
constexpr int kFontIndex = sizeof(LONG_PTR);
constexpr COLORREF kDefaultBackground = RGB(192, 192, 192);
// Style bit 1: left-aligned text instead of centred.
constexpr LONG kStyleLeft = 0x0001;

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT rect;
    GetClientRect(window, &rect);
    COLORREF colour = static_cast<COLORREF>(GetWindowLongPtrW(window, kColourIndex));
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    // A Unicode window: its text shows the same on any system code page.
    wchar_t text[512];
    int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
    HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, kFontIndex));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= (GetWindowLongW(window, GWL_STYLE) & kStyleLeft) ? DT_LEFT : DT_CENTER;
    DrawTextW(dc, text, length, &rect, format);
    if (old) SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: SetWindowLongPtrW(window, kColourIndex, kDefaultBackground); return 0;
        case WM_PAINT: Paint(window); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_SETFONT:
            SetWindowLongPtrW(window, kFontIndex, static_cast<LONG_PTR>(wParam));
            if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return GetWindowLongPtrW(window, kFontIndex);
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return r;
        }
        case FELDANE_SET_BACKGROUND:
            SetWindowLongPtrW(window, kColourIndex, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

extern "C" void COMPANIONAPI FeldaneRegisterControls(void) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    wc.lpfnWndProc = StaticProc;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = L"" FELDANE_STATIC_CLASS;
    RegisterClassW(&wc);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
    return TRUE;
}
