// The main window's class and message dispatch.
#include "main_window.h"

#include <shellapi.h>

#include <cstring>

#include "page_messages.h"
#include "record_guard.h"
#include "record_lock.h"
#include "res/resource_ids.h"

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
        int tab = static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (tab >= 0) ShowTabPage(window, header->hwndFrom, tab);
    }
    return 0;
}

void OnMinMaxInfo(LPARAM lParam) {
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = kMinTrackWidth;
    info->ptMinTrackSize.y = kMinTrackHeight;
}

void OnDropFiles(HWND window, WPARAM wParam) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    char path[kPathSize] = {};
    if (DragQueryFileA(drop, 0, path, sizeof path) > 0) OpenSourcePath(window, path);
    DragFinish(drop);
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
    SetFocus(window);
    if (!ConfirmCloseKeepsEntries(window)) return 0;
    return DefWindowProcA(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return BuildMainWindow(window);
        case WM_SIZE: OnSize(window, lParam); return 0;
        case WM_NOTIFY: return OnNotify(window, lParam);
        case WM_COMMAND: OnMainCommand(window, wParam); return 0;
        case WM_TIMER: OnStartupTimer(window); return 0;
        case WM_GETMINMAXINFO: OnMinMaxInfo(lParam); return 0;
        case WM_DROPFILES: OnDropFiles(window, wParam); return 0;
        case WM_COPYDATA: return OnCopyData(window, lParam);
        case kOpenPendingSource: OnOpenPending(window); return 0;
        case WM_INITMENUPOPUP: return 0;
        case WM_CLOSE: return OnClose(window);
        case WM_DESTROY: SaveSettings(window); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
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
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    wc.lpszClassName = MAIN_WINDOW_CLASS;
    ATOM atom = RegisterWithSmallIcon(wc);
    return atom != 0 ? atom : RegisterClassA(&wc);
}

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateWindowA(MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                         nullptr, nullptr, instance, nullptr);
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
