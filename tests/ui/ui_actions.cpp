#include "ui_actions.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int g_failures = 0;
int g_passes = 0;
constexpr DWORD kPollMs = 50;
constexpr DWORD kSettleMs = 120;

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[128] = {};
    if (owner != search->processId || !IsWindowVisible(window) ||
        !GetClassNameA(window, name, sizeof name) || std::strcmp(name, search->className) != 0)
        return TRUE;
    if (search->title != nullptr && WindowText(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

struct ChildSearch {
    int id;
    const char* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->className != nullptr) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, search->className) != 0) return TRUE;
    } else if (GetDlgCtrlID(window) != search->id) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND SearchChildren(HWND parent, ChildSearch search) {
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A buffer in the program's memory, for messages that pass pointers.
struct RemoteBuffer {
    HANDLE process = nullptr;
    void* address = nullptr;
    RemoteBuffer(HWND window, size_t size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process != nullptr)
            address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address != nullptr) VirtualFreeEx(process, address, 0, MEM_RELEASE);
        if (process != nullptr) CloseHandle(process);
    }
    bool Read(void* out, size_t size) const {
        SIZE_T done = 0;
        return address != nullptr && ReadProcessMemory(process, address, out, size, &done) &&
               done == size;
    }
};

LPARAM KeyData(WORD key, bool up) {
    const UINT scan = MapVirtualKeyA(key, 0);
    LPARAM data = 1 | (static_cast<LPARAM>(scan) << 16);
    if (up) data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    return data;
}

}  // namespace

void Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    (ok ? g_passes : g_failures)++;
}

void CheckText(const std::string& shown, const std::string& expected, const std::string& what) {
    Check(shown == expected, what);
    if (shown != expected)
        std::printf("  shown \"%s\", expected \"%s\"\n", shown.c_str(), expected.c_str());
}

int Failures() { return g_failures; }
int Passes() { return g_passes; }

bool StartProgram(const std::string& folder, const std::string& arguments, Process* process) {
    std::string exe = folder + "\\Quillon.exe";
    std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process->started = CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      folder.c_str(), &startup, &process->info) != 0;
    return process->started;
}

bool WaitForExit(const Process& process, DWORD timeoutMs, DWORD* code) {
    if (!process.started || WaitForSingleObject(process.info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process.info.hProcess, code) != 0;
}

void EndProcess(Process* process) {
    if (!process->started) return;
    if (WaitForSingleObject(process->info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process->info.hProcess, 99);
        WaitForSingleObject(process->info.hProcess, kActionTimeoutMs);
    }
    CloseHandle(process->info.hProcess);
    CloseHandle(process->info.hThread);
    process->started = false;
}

HWND WaitForTopWindow(const Process& process, const char* className, const char* title,
                      DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (process.started && GetTickCount() - start < timeoutMs) {
        WindowSearch search = {process.info.dwProcessId, className, title, nullptr};
        EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (WaitForSingleObject(process.info.hProcess, kPollMs) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

HWND WaitForMainWindow(const Process& process) {
    HWND main = WaitForTopWindow(process, "VQUILLONCONVERTOR", nullptr, kStartTimeoutMs);
    if (main != nullptr) Settle(main);
    return main;
}

HWND FindControl(HWND parent, int id) {
    return SearchChildren(parent, {id, nullptr, false, nullptr});
}
HWND FindVisibleControl(HWND parent, int id) {
    return SearchChildren(parent, {id, nullptr, true, nullptr});
}
HWND FindChildOfClass(HWND parent, const char* className) {
    return SearchChildren(parent, {0, className, true, nullptr});
}

void Settle(HWND window) {
    for (int round = 0; round < 2; ++round) {
        Sleep(kSettleMs);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kActionTimeoutMs, &result);
    }
}

bool WaitUntil(DWORD timeoutMs, bool (*condition)(void*), void* context) {
    const DWORD start = GetTickCount();
    do {
        if (condition(context)) return true;
        Sleep(kPollMs);
    } while (GetTickCount() - start < timeoutMs);
    return condition(context);
}

void ClickAt(HWND window, int x, int y) {
    const LPARAM point = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, point);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(window, WM_LBUTTONUP, 0, point);
    Settle(window);
}

void Click(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    ClickAt(window, rect.right / 2, rect.bottom / 2);
}

bool ItemRect(HWND window, UINT message, WPARAM item, RECT* rect) {
    // The system carries list box rectangles across processes itself.
    if (message == LB_GETITEMRECT)
        return SendMessageA(window, message, item, reinterpret_cast<LPARAM>(rect)) != LB_ERR;
    RemoteBuffer buffer(window, sizeof(RECT));
    return SendMessageA(window, message, item, reinterpret_cast<LPARAM>(buffer.address)) &&
           buffer.Read(rect, sizeof *rect);
}

void ClickItem(HWND window, UINT message, WPARAM item) {
    RECT rect = {};
    if (ItemRect(window, message, item, &rect))
        ClickAt(window, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void ClickToolbarButton(HWND toolbar, int command) { ClickItem(toolbar, TB_GETRECT, command); }

void PressKey(HWND window, WORD key) {
    PostMessageA(window, WM_KEYDOWN, key, KeyData(key, false));
    PostMessageA(window, WM_KEYUP, key, KeyData(key, true));
}

// Typed characters arrive as the keyboard and the input method deliver
// them: one UTF-16 character per message, double-byte ones whole.
void TypeText(HWND window, const std::string& text) {
    wchar_t wide[1024] = {};
    const int count =
        MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide, 1023);
    for (int i = 0; i < count; ++i) PostMessageW(window, WM_CHAR, wide[i], 1);
}

void ReplaceText(HWND edit, const std::string& text) {
    Click(edit);
    PressKey(edit, VK_END);
    const size_t length = WindowText(edit).size();
    for (size_t i = 0; i < length; ++i) PostMessageA(edit, WM_CHAR, VK_BACK, 1);
    TypeText(edit, text);
    Settle(edit);
}

void EnterText(HWND edit, const std::string& text) {
    ReplaceText(edit, text);
    PressKey(edit, VK_TAB);
    Settle(edit);
}

void SelectByKeys(HWND combo, int index) {
    Click(combo);
    // A click drops the list down; Escape closes it and keeps the selection.
    PressKey(combo, VK_ESCAPE);
    PressKey(combo, VK_HOME);
    for (int i = 0; i < index; ++i) PressKey(combo, VK_DOWN);
    Settle(combo);
}

namespace {

struct DropDownSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchDropDown(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DropDownSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner != search->processId || !IsWindowVisible(window) ||
        std::strcmp(name, "ComboLBox") != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

void PickFromDropDown(HWND combo, int index) {
    RECT rect = {};
    GetClientRect(combo, &rect);
    ClickAt(combo, rect.right - 6, rect.bottom / 2);
    DropDownSearch search = {0, nullptr};
    GetWindowThreadProcessId(combo, &search.processId);
    EnumWindows(MatchDropDown, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return;
    RECT item = {};
    SendMessageA(search.found, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(search.found, WM_MOUSEMOVE, 0, point);
    PostMessageA(search.found, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(search.found, WM_LBUTTONUP, 0, point);
    Settle(combo);
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void CheckSelection(HWND combo, int expected, const std::string& what) {
    const int shown = ComboSelection(combo);
    Check(shown == expected, what);
    if (shown != expected) std::printf("  selected %d, expected %d\n", shown, expected);
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }
int ListCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

namespace {

// Entry texts cross processes as UTF-16; read them so and turn them into
// the program's code page.
std::string EntryText(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageW(window, lengthMessage, index, 0);
    if (length < 0) return "";
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 16, L'\0');
    SendMessageW(window, textMessage, index, reinterpret_cast<LPARAM>(wide.data()));
    char text[4096] = {};
    WideCharToMultiByte(932, 0, wide.data(), -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

}  // namespace

std::string ListText(HWND list, int index) {
    return EntryText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

std::string ComboEntryText(HWND combo, int index) {
    return EntryText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

std::string StatusText(HWND statusBar, int part) {
    constexpr size_t kSize = 512;
    RemoteBuffer buffer(statusBar, kSize);
    char text[kSize] = {};
    SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer.address));
    buffer.Read(text, kSize - 1);
    return text;
}

bool ToolbarButtonEnabled(HWND toolbar, int command) {
    return SendMessageA(toolbar, TB_ISBUTTONENABLED, command, 0) != 0;
}

std::string IniValue(const std::string& path, const char* section, const char* key) {
    char value[512] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, path.c_str());
    return value;
}

bool WriteTextFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}
