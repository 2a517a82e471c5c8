#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

#include "platform.h"
#include "platform_common.h"

struct PlatProcessRecord {
    HANDLE process;
};

namespace {

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
constexpr DWORD ENABLE_VIRTUAL_TERMINAL_PROCESSING = 0x0004;
#endif

// One argument as the C runtime splits a command line: quoted when it holds
// blanks or quotes, with the backslashes before a quote doubled.
void AppendQuoted(std::string* line, const char* arg) {
    if (arg[0] != '\0' && std::strpbrk(arg, " \t\n\v\"") == nullptr) {
        *line += arg;
        return;
    }
    *line += '"';
    size_t backslashes = 0;
    for (const char* p = arg; *p != '\0'; ++p) {
        if (*p == '\\') {
            ++backslashes;
            continue;
        }
        line->append(*p == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        *line += *p;
    }
    line->append(backslashes * 2, '\\');
    *line += '"';
}

HANDLE OpenLog(const char* logPath) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(logPath, GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

extern "C" PlatProcess PlatStartSelf(const char* const* args, int count, const char* logPath) {
    if (args == nullptr || count < 0 || logPath == nullptr) return nullptr;
    char program[MAX_PATH];
    if (!plat_common::ExecutablePath(program, sizeof program)) return nullptr;
    std::string line;
    AppendQuoted(&line, program);
    for (int i = 0; i < count; ++i) {
        line += ' ';
        AppendQuoted(&line, args[i]);
    }
    HANDLE log = OpenLog(logPath);
    if (log == INVALID_HANDLE_VALUE) return nullptr;
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = log;
    startup.hStdError = log;
    PROCESS_INFORMATION info;
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');
    const BOOL started = CreateProcessA(program, writable.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(log);
    if (!started) return nullptr;
    CloseHandle(info.hThread);
    PlatProcess process = static_cast<PlatProcess>(std::malloc(sizeof(PlatProcessRecord)));
    if (process == nullptr) {
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        return nullptr;
    }
    process->process = info.hProcess;
    return process;
}

extern "C" int PlatProcessEnded(PlatProcess process, int* status) {
    if (process == nullptr) return -1;
    const DWORD waited = WaitForSingleObject(process->process, 0);
    if (waited == WAIT_TIMEOUT) return 0;
    DWORD code = 0;
    const bool known = waited == WAIT_OBJECT_0 && GetExitCodeProcess(process->process, &code);
    if (status != nullptr) *status = known ? static_cast<int>(code) : -1;
    CloseHandle(process->process);
    std::free(process);
    return known ? 1 : -1;
}

extern "C" int PlatProcessInterrupt(PlatProcess process) {
    // Jobs share the console; a process of its own group would ignore Ctrl+C.
    return process != nullptr && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) ? 1 : 0;
}

extern "C" void PlatWaitForAnyEnd(const PlatProcess* processes, int count, uint32_t milliseconds) {
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    DWORD n = 0;
    for (int i = 0; i < count && n < MAXIMUM_WAIT_OBJECTS; ++i)
        if (processes[i] != nullptr) handles[n++] = processes[i]->process;
    if (n == 0)
        Sleep(milliseconds);
    else
        WaitForMultipleObjects(n, handles, FALSE, milliseconds);
}

extern "C" int PlatProcessorCount(void) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

extern "C" int PlatErrorIsTerminal(void) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (error == INVALID_HANDLE_VALUE || !GetConsoleMode(error, &mode)) return 0;
    return SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ? 1 : 0;
}

extern "C" int PlatMakeTempFile(char* path, size_t size) {
    if (path == nullptr || size < MAX_PATH) return 0;
    char folder[MAX_PATH];
    const DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return 0;
    return GetTempFileNameA(folder, "qln", 0, path) != 0 ? 1 : 0;
}
