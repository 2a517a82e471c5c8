// Program entry: one instance, the companion libraries' start-up, the main
// window and the message loop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "bramwick.h"
#include "feldane.h"
#include "main_window.h"
#include "montage_grids.h"
#include "preview/view_ids.h"
#include "res/resource_ids.h"

namespace {

// The source named on the command line (also what "Open with" and a file
// dropped on the program's icon give): the whole line, quotes removed.
void SourceFromCommandLine(const char* commandLine, char* path) {
    path[0] = '\0';
    if (commandLine == nullptr) return;
    while (*commandLine == ' ' || *commandLine == '\t') ++commandLine;
    const bool quoted = *commandLine == '"';
    if (quoted) ++commandLine;
    size_t length = 0;
    while (commandLine[length] != '\0' && !(quoted && commandLine[length] == '"')) ++length;
    while (!quoted && length > 0 && commandLine[length - 1] == ' ') --length;
    if (length >= kPathSize) return;
    std::memcpy(path, commandLine, length);
    path[length] = '\0';
}

// A second start brings the running instance to the front, hands it the
// source it was given and ends quietly.
bool ActivateRunningInstance(const char* source) {
    HWND running = FindWindowW(L"" MAIN_WINDOW_CLASS, nullptr);
    if (running == nullptr) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    if (source[0] != '\0') SendSourceToWindow(running, source);
    return true;
}

// Where the manifest is not read (systems before it knew DPI), the process
// asks for the most DPI awareness the system offers, newest call first.
void DeclareDpiAwareness() {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    using ContextProc = BOOL(WINAPI*)(HANDLE);
    auto context = user ? reinterpret_cast<ContextProc>(reinterpret_cast<void*>(
                              GetProcAddress(user, "SetProcessDpiAwarenessContext")))
                        : nullptr;
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (context != nullptr && context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) return;
    using AwareProc = BOOL(WINAPI*)();
    auto aware = user ? reinterpret_cast<AwareProc>(
                            reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware")))
                      : nullptr;
    if (aware != nullptr) aware();
}

// Enter in a page's one-line field takes the typed value as leaving the
// field does, and nothing else: the page's default button does not fire.
bool TakeTypedValue(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
    HWND field = GetFocus();
    if (g_currentPage == nullptr || field == nullptr || !IsChild(g_currentPage, field))
        return false;
    wchar_t className[16] = {};
    GetClassNameW(field, className, 16);
    if (lstrcmpiW(className, L"Edit") != 0) return false;
    if (GetWindowLongW(field, GWL_STYLE) & (ES_MULTILINE | ES_WANTRETURN)) return false;
    HWND owner = GetParent(field);
    WORD notice = EN_KILLFOCUS;
    GetClassNameW(owner, className, 16);
    if (lstrcmpiW(className, L"ComboBox") == 0) {
        if (SendMessageW(owner, CB_GETDROPPEDSTATE, 0, 0)) return false;
        field = owner;
        owner = GetParent(owner);
        notice = CBN_KILLFOCUS;
    } else if (lstrcmpiW(className, L"#32770") != 0) {
        return false;  // a grid's own editor takes Enter itself
    }
    SendMessageW(owner, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), notice),
                 reinterpret_cast<LPARAM>(field));
    return true;
}

// Shift+Tab on the page's first control leaves the page for the tab control.
bool LeavePageBackwards(HWND focus) {
    if (g_currentPage == nullptr || !IsChild(g_currentPage, focus)) return false;
    HWND first = GetNextDlgTabItem(g_currentPage, nullptr, FALSE);
    if (first == nullptr || (focus != first && !IsChild(first, focus))) return false;
    SetFocus(GetDlgItem(g_mainWindow, IDC_TAB_CONTROL));
    return true;
}

// Tab among the frame's own controls (the type lists and the tab control,
// in reading order), then into the page shown; Shift+Tab back.
bool MoveInFrame(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0)
        return false;
    HWND focus = GetFocus();
    if (focus == nullptr) return false;
    if (GetKeyState(VK_SHIFT) < 0 && LeavePageBackwards(focus)) return true;
    if (GetParent(focus) != g_mainWindow) return false;
    const int order[] = {IDC_ORIGINAL_TYPE, IDC_CREATE_TYPE, IDC_TAB_CONTROL};
    constexpr int kStops = sizeof order / sizeof order[0];
    int at = 0;
    while (at < kStops && order[at] != GetDlgCtrlID(focus)) ++at;
    if (at == kStops) return false;
    const int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    for (int next = at + step; next >= 0 && next < kStops; next += step) {
        HWND control = GetDlgItem(g_mainWindow, order[next]);
        if (IsWindowEnabled(control) && IsWindowVisible(control)) {
            SetFocus(control);
            return true;
        }
    }
    if (step > 0) FocusShownPage(g_mainWindow);
    return true;
}

// The loop carries characters as UTF-16, so a double-byte character typed
// through an input method reaches the (Unicode) page edits whole; the
// program's own windows get them converted to code page 932. The window's
// keys come before the page's dialog keys.
int RunMessageLoop(HACCEL keys) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (keys != nullptr && TranslateAcceleratorW(g_mainWindow, keys, &message)) continue;
        if (TakeTypedValue(message) || MoveInFrame(message)) continue;
        if (g_currentPage != nullptr && IsDialogMessageW(g_currentPage, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState) {
    char source[kPathSize];
    SourceFromCommandLine(commandLine, source);
    if (previous == nullptr) {
        g_instance = instance;
        if (ActivateRunningInstance(source)) return 0;
        if (RegisterMainWindowClass(instance) == 0) return 0;
    }
    DeclareDpiAwareness();
    InitCommonControls();
    uint32_t bramwickValue = BramwickStartup(instance);
    BramwickInitialize();
    FeldaneRegisterControls();
    // The EEG grid reads the electrode names the window loads at creation.
    if (!RegisterMontageGridClasses(instance, &g_electrodeNames)) return 0;

    HWND window = CreateMainWindow(instance);
    if (window == nullptr) return 0;
    BramwickRestorePlacement(window, "INITIAL", g_paths.SettingsPath, 1);
    ShowWindow(window, showState);
    UpdateWindow(window);
    DragAcceptFiles(window, TRUE);
    if (source[0] != '\0') OpenSourceLater(window, source);

    const int code =
        RunMessageLoop(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS)));
    BramwickShutdown(bramwickValue, instance);
    return code;
}
