#include "main_window.h"

#include "app_record.h"
#include "kavf32.h"
#include "ostrel.h"
#include "resource_ids.h"

namespace {

HGLOBAL AppRecordHandle(HWND window) {
    return reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
}

LRESULT OnCreate(HWND window) {
    HGLOBAL record = GlobalAlloc(GHND, sizeof(AppRecord));
    if (record == nullptr) return -1;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(record));
    return 0;
}

// A conversion's output file still held at exit is released by the library
// that owns it.
void ReleaseOutputFile(AppRecord* app) {
    if (app->OutputFile == 0) return;
    if (app->CopyFileType == 1)
        app->OutputFile = OstrelRelease(app->OutputFile);
    else
        app->OutputFile = CloseKavfile(app->OutputFile);
}

void OnDestroy(HWND window) {
    HGLOBAL record = AppRecordHandle(window);
    if (record != nullptr) {
        if (AppRecord* app = static_cast<AppRecord*>(GlobalLock(record))) {
            ReleaseOutputFile(app);
            GlobalUnlock(record);
        }
        GlobalFree(record);
        SetWindowLongPtrA(window, 0, 0);
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_COMMAND:
            if (LOWORD(wParam) == IDM_EXIT) PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_INITMENUPOPUP:
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The extended registration exists only on the Windows 95 family from
// version 4; everywhere else the plain call registers the same class.
ATOM RegisterWithSmallIcon(const WNDCLASSA& plain) {
    DWORD version = GetVersion();
    bool win95Family = (version & 0x80000000u) != 0 && LOBYTE(LOWORD(version)) >= 4;
    if (!win95Family) return 0;
    using RegisterClassExProc = ATOM(WINAPI*)(const WNDCLASSEXA*);
    HMODULE user = GetModuleHandleA("USER32");
    auto proc = user ? reinterpret_cast<RegisterClassExProc>(
                           reinterpret_cast<void*>(GetProcAddress(user, "RegisterClassExA")))
                     : nullptr;
    if (proc == nullptr) return 0;
    WNDCLASSEXA ex = {};
    ex.cbSize = sizeof ex;
    ex.style = plain.style;
    ex.lpfnWndProc = plain.lpfnWndProc;
    ex.cbWndExtra = plain.cbWndExtra;
    ex.hInstance = plain.hInstance;
    ex.hIcon = plain.hIcon;
    ex.hCursor = plain.hCursor;
    ex.hbrBackground = plain.hbrBackground;
    ex.lpszMenuName = plain.lpszMenuName;
    ex.lpszClassName = plain.lpszClassName;
    ex.hIconSm = LoadIconA(plain.hInstance, "SMALL");
    return proc(&ex);
}

}  // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.cbWndExtra = MAIN_WINDOW_EXTRA_BYTES;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(101));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = MAIN_WINDOW_CLASS;
    ATOM atom = RegisterWithSmallIcon(wc);
    return atom != 0 ? atom : RegisterClassA(&wc);
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowA(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 640,
                         480, nullptr, nullptr, instance, nullptr);
}
