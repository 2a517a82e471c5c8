// The main window's class and message dispatch.
#include "main_window.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "convert_pages.h"
#include "page_messages.h"
#include "record_guard.h"
#include "record_lock.h"
#include "bramwick.h"
#include "res/resource_ids.h"
#include "ui_text.h"

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
HWND g_currentPage = nullptr;
HWND g_splashWindow = nullptr;
SettingsPaths g_paths;

namespace {

// Posted once the window is up to open a source named from outside.
constexpr UINT kOpenPendingSource = WM_APP + 1;
// WM_COPYDATA tag of a source path handed over by a second start.
constexpr ULONG_PTR kCopyDataSourcePath = 0x51504154;  // "QPAT"
constexpr UINT kDpiChangedMessage = 0x02E0;            // WM_DPICHANGED, newer than our headers
constexpr int kBaseDpi = 96;
constexpr int kMinTrackWidth = 640;
constexpr int kMinTrackHeight = 480;

char g_pendingSource[kPathSize];

void OnSize(HWND window, LPARAM lParam) {
    RecordLock app(AppRecordHandleOf(window));
    if (!app) return;
    LayoutFrame(window, app.record, LOWORD(lParam), HIWORD(lParam));
    LayoutPages(app.record);
}

LRESULT OnNotify(HWND window, LPARAM lParam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    // The toolbar asks in the form the window answers WM_NOTIFYFORMAT with,
    // which the system may decide; both name a string of ours.
    if (header->code == TTN_GETDISPINFOA || header->code == TTN_GETDISPINFOW) {
        AnswerToolTip(lParam);
    } else if (header->idFrom == IDC_TAB_CONTROL && header->code == TCN_SELCHANGE) {
        SetFocus(window);
        int tab = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (tab >= 0) ShowTabPage(window, header->hwndFrom, tab);
        FocusShownPage(window);
    }
    return 0;
}

// The pages' templates grow with the DPI, and the smallest window with them.
void OnMinMaxInfo(HWND window, LPARAM lParam) {
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = ScaleToWindow(window, kMinTrackWidth);
    info->ptMinTrackSize.y = ScaleToWindow(window, kMinTrackHeight);
}

// The whole dropped path, however long: a cut one would name another file;
// opening refuses what the record cannot hold, with the reason.
void OnDropFiles(HWND window, WPARAM wParam) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length, L'\0');
    const bool named = length > 0 && DragQueryFileW(drop, 0, &path[0], length + 1) == length;
    DragFinish(drop);
    if (named) OpenSourcePath(window, Cp932FromWide(path.c_str()).c_str());
}

// Moved to a screen of another DPI: the suggested place, fonts made for the
// new DPI, the frame laid out again (the pages' templates rescale themselves).
void OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    BramwickSetFontDpi(HIWORD(wParam));
    const RECT* place = reinterpret_cast<const RECT*>(lParam);
    RefreshFrameFonts(window);
    SetWindowPos(window, nullptr, place->left, place->top, place->right - place->left,
                 place->bottom - place->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT OnCopyData(HWND window, LPARAM lParam) {
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data->dwData != kCopyDataSourcePath || data->cbData == 0 || data->cbData > kPathSize)
        return FALSE;
    char path[kPathSize] = {};
    std::memcpy(path, data->lpData, data->cbData);
    path[kPathSize - 1] = '\0';
    OpenSourceLater(window, path);
    return TRUE;
}

void OnOpenPending(HWND window) {
    if (g_pendingSource[0] == '\0') return;
    char path[kPathSize];
    std::memcpy(path, g_pendingSource, sizeof path);
    g_pendingSource[0] = '\0';
    OpenSourcePath(window, path);
}

// Whatever is being typed on a page is taken before the window goes: moving
// the focus ends the edit as leaving the field would.
LRESULT OnClose(HWND window) {
    if (!AskCloseDuringRun(window, AppRecordHandleOf(window))) return 0;
    SetFocus(window);
    if (!ConfirmCloseKeepsEntries(window)) return 0;
    return DefWindowProcW(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return BuildMainWindow(window);
        case WM_SIZE: OnSize(window, lParam); return 0;
        case WM_NOTIFY: return OnNotify(window, lParam);
        case WM_COMMAND: OnMainCommand(window, wParam); return 0;
        case WM_TIMER: OnStartupTimer(window); return 0;
        case WM_GETMINMAXINFO: OnMinMaxInfo(window, lParam); return 0;
        case kDpiChangedMessage: OnDpiChanged(window, wParam, lParam); return 0;
        case WM_DROPFILES: OnDropFiles(window, wParam); return 0;
        case WM_COPYDATA: return OnCopyData(window, lParam);
        case kOpenPendingSource: OnOpenPending(window); return 0;
        case WM_INITMENUPOPUP: return 0;
        case WM_CLOSE: return OnClose(window);
        case WM_DESTROY: SaveSettings(window); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The extended registration exists only on the Windows 95 family from
// version 4; everywhere else the plain call registers the same class.
ATOM RegisterWithSmallIcon(const WNDCLASSW& plain) {
    DWORD version = GetVersion();
    bool win95Family = (version & 0x80000000u) != 0 && LOBYTE(LOWORD(version)) >= 4;
    if (!win95Family) return 0;
    using RegisterClassExProc = ATOM(WINAPI*)(const WNDCLASSEXW*);
    HMODULE user = GetModuleHandleW(L"USER32");
    auto proc = user ? reinterpret_cast<RegisterClassExProc>(
                           reinterpret_cast<void*>(GetProcAddress(user, "RegisterClassExW")))
                     : nullptr;
    if (proc == nullptr) return 0;
    WNDCLASSEXW ex = {};
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
    ex.hIconSm = LoadIconW(plain.hInstance, L"SMALL");
    return proc(&ex);
}

}  // namespace

// A Unicode window: its title and the texts it hands on show the same bytes
// on any system code page.
ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWindowProc;
    wc.cbWndExtra = MAIN_WINDOW_EXTRA_BYTES;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = L"" MAIN_WINDOW_CLASS;
    ATOM atom = RegisterWithSmallIcon(wc);
    return atom != 0 ? atom : RegisterClassW(&wc);
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowW(L"" MAIN_WINDOW_CLASS, L"" MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0,
                         ScaleToWindow(nullptr, kMinTrackWidth),
                         ScaleToWindow(nullptr, kMinTrackHeight), nullptr, nullptr, instance,
                         nullptr);
}

// The window's own DPI where the system tells it (per-monitor), else the
// screen's.
int ScaleToWindow(HWND window, int pixels96) {
    using DpiProc = UINT(WINAPI*)(HWND);
    static const DpiProc dpiForWindow = reinterpret_cast<DpiProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    int dpi = 0;
    if (window != nullptr && dpiForWindow != nullptr) dpi = static_cast<int>(dpiForWindow(window));
    if (dpi <= 0) {
        HDC screen = GetDC(nullptr);
        dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
        if (screen != nullptr) ReleaseDC(nullptr, screen);
    }
    return MulDiv(pixels96, dpi > 0 ? dpi : kBaseDpi, kBaseDpi);
}

void OpenSourceLater(HWND window, const char* path) {
    if (path == nullptr || path[0] == '\0' || std::strlen(path) >= sizeof g_pendingSource) return;
    std::memcpy(g_pendingSource, path, std::strlen(path) + 1);
    PostMessageA(window, kOpenPendingSource, 0, 0);
}

// Hands a source path to a running instance.
void SendSourceToWindow(HWND running, const char* path) {
    COPYDATASTRUCT data = {};
    data.dwData = kCopyDataSourcePath;
    data.cbData = static_cast<DWORD>(std::strlen(path) + 1);
    data.lpData = const_cast<char*>(path);
    SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}
