#include "host_driver.h"

#include <cstdio>
#include <cstring>

namespace {

int g_failures = 0;
int g_passes = 0;

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64];
    if (owner == search->processId && IsWindowVisible(window) &&
        GetClassNameA(window, name, sizeof name) && std::strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    (ok ? g_passes : g_failures)++;
}

int ReportChecks() {
    std::printf("%d passed, %d failed\n", g_passes, g_failures);
    return g_failures == 0 ? 0 : 1;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        WindowSearch search = {processId, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

void SettleHost(HWND hostWindow, UINT syncMessage, UINT syncedMessage, DWORD timeoutMs) {
    static WPARAM token = 0;
    PostMessageA(hostWindow, syncMessage, ++token, 0);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        DWORD_PTR seen = 0;
        if (SendMessageTimeoutA(hostWindow, syncedMessage, 0, 0, SMTO_BLOCK, 1000, &seen) &&
            seen == token)
            return;
        Sleep(20);
    }
    Check(false, "host handles its messages in time");
}

std::string WindowText(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}
