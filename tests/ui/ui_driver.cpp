// Drives Quillon.exe the way a user's actions would, from outside the
// process: finds its windows by class, sends messages, checks what it shows.
//
//   ui_driver INSTALL_FOLDER [--screenshot FILE.png]
//
// Every wait is bounded; processes started here are ended on failure.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "screenshot.h"

namespace {

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 30000;

int g_failures = 0;
int g_passes = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    std::fflush(stdout);
    (ok ? g_passes : g_failures)++;
}

struct Process {
    PROCESS_INFORMATION info = {};
    bool started = false;
};

bool Start(const std::string& folder, Process* process) {
    std::string exe = folder + "\\Quillon.exe";
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process->started = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0,
                                      nullptr, folder.c_str(), &startup, &process->info) != 0;
    return process->started;
}

void End(Process* process) {
    if (!process->started) return;
    if (WaitForSingleObject(process->info.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process->info.hProcess, 99);
    CloseHandle(process->info.hProcess);
    CloseHandle(process->info.hThread);
    process->started = false;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[128];
    if (owner == search->processId && GetClassNameA(window, name, sizeof name) &&
        std::strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(const Process& process, const char* className, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        WindowSearch search = {process.info.dwProcessId, className, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowVisible(search.found)) return search.found;
        if (WaitForSingleObject(process.info.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

bool WaitForExit(const Process& process, DWORD timeoutMs, DWORD* code) {
    if (WaitForSingleObject(process.info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(process.info.hProcess, code) != 0;
}

void RunStartupAndSingleInstance(const std::string& folder, const char* screenshot) {
    Process first, second;
    Check(Start(folder, &first), "first instance starts");
    HWND main = first.started ? WaitForWindow(first, "VQUILLONCONVERTOR", kStartTimeoutMs) : nullptr;
    Check(main != nullptr, "main window of class VQUILLONCONVERTOR appears");
    if (main != nullptr) {
        char title[256] = {};
        GetWindowTextA(main, title, sizeof title);
        Check(std::strcmp(title, "Quillon Convertor") == 0, "main window title");
        RECT rect;
        GetWindowRect(main, &rect);
        Check(rect.right - rect.left == 640 && rect.bottom - rect.top == 480,
              "main window is 640 x 480");
        if (screenshot != nullptr) {
            Sleep(500);
            Check(SaveScreenshotPng(screenshot), "screenshot saved");
        }

        Check(Start(folder, &second), "second instance starts");
        DWORD code = 1234;
        Check(second.started && WaitForExit(second, kExitTimeoutMs, &code) && code == 0,
              "second instance ends by itself with code 0");
        Check(WaitForSingleObject(first.info.hProcess, 0) == WAIT_TIMEOUT,
              "first instance keeps running");
        Check(FindWindowA("VQUILLONCONVERTOR", nullptr) == main, "only the first window exists");

        PostMessageA(main, WM_CLOSE, 0, 0);
        code = 1234;
        Check(WaitForExit(first, kExitTimeoutMs, &code) && code == 0,
              "WM_CLOSE ends the program with code 0");
    }
    End(&second);
    End(&first);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_driver INSTALL_FOLDER [--screenshot FILE.png]\n");
        return 2;
    }
    std::string folder = argv[1];
    const char* screenshot = nullptr;
    for (int i = 2; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) screenshot = argv[i + 1];

    RunStartupAndSingleInstance(folder, screenshot);
    std::printf("%d passed, %d failed\n", g_passes, g_failures);
    return g_failures == 0 ? 0 : 1;
}
