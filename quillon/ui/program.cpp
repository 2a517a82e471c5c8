// Program entry: one instance, the companion libraries' start-up, the main
// window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "bramwick.h"
#include "feldane.h"
#include "main_window.h"

namespace {

// A second start brings the running instance to the front and ends quietly.
bool ActivateRunningInstance() {
    HWND running = FindWindowA(MAIN_WINDOW_CLASS, nullptr);
    if (running == nullptr) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showState) {
    if (previous == nullptr) {
        if (ActivateRunningInstance()) return 0;
        if (RegisterMainWindowClass(instance) == 0) return 0;
    }
    InitCommonControls();
    uint32_t bramwickValue = BramwickStartup(instance);
    BramwickInitialize();
    FeldaneRegisterControls();

    HWND window = CreateMainWindow(instance);
    if (window == nullptr) return 0;
    ShowWindow(window, showState);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    BramwickShutdown(bramwickValue, instance);
    return static_cast<int>(message.wParam);
}
