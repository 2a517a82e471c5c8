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
    HWND running = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    if (running == nullptr) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    if (source[0] != '\0') SendSourceToWindow(running, source);
    return true;
}

// The loop carries characters as UTF-16, so a double-byte character typed
// through an input method reaches the (Unicode) page edits whole; the
// program's own windows get them converted to code page 932.
int RunMessageLoop() {
    MSG message;
    HACCEL keys = LoadAcceleratorsW(g_instance, MAKEINTRESOURCEW(IDR_PREVIEW_KEYS));
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Before the page: the dialog manager would take the keys for itself.
        if (keys != nullptr && TranslateAcceleratorW(g_mainWindow, keys, &message)) continue;
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

    const int code = RunMessageLoop();
    BramwickShutdown(bramwickValue, instance);
    return code;
}
