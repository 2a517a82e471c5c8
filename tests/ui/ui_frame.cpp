// The frame around the pages: the preset list, a dropped file and resizing.
#include "ui_session.h"

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr int kPresetNameId = 1222;
constexpr int kLabelLineId = 1228;
constexpr int kDataBiasId = 1227;
constexpr int kFileNameId = 1213;
constexpr int kHeaderListId = 1224;

void CheckPresetReapplied(UiSession* session) {
    ClickTab(*session, 0);
    SelectByKeys(FindControl(session->main, kOriginalTypeId), 0);
    CheckText(WindowText(FindVisibleControl(session->main, kPresetNameId)), "Comma with time",
              "choosing preset 1 on tab 0 names it on the source page");
    CheckSelection(FindVisibleControl(session->main, kLabelLineId), 1,
                   "preset 1's label line is applied");
    CheckSelection(FindVisibleControl(session->main, kDataBiasId), 1,
                   "preset 1's data point bias is applied");
}

// A file dropped from a file manager arrives as WM_DROPFILES carrying a
// DROPFILES block in the receiving program's memory.
void DropFile(HWND window, const std::string& path) {
    std::vector<char> block(sizeof(DROPFILES) + path.size() + 2, '\0');
    DROPFILES* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = {200, 200};
    std::memcpy(block.data() + sizeof(DROPFILES), path.data(), path.size());
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = process
                       ? VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE)
                       : nullptr;
    SIZE_T written = 0;
    if (remote != nullptr &&
        WriteProcessMemory(process, remote, block.data(), block.size(), &written))
        PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    Settle(window);
    if (process != nullptr) CloseHandle(process);
}

void CheckDroppedFile(UiSession* session) {
    DropFile(session->main, session->blankSource);
    CheckText(WindowText(FindVisibleControl(session->main, kFileNameId)), session->blankSource,
              "a file dropped on the window is opened");
    Check(ListCount(FindVisibleControl(session->main, kHeaderListId)) == 11,
          "the dropped file's head is listed");
}

void CheckResize(UiSession* session) {
    SetWindowPos(session->main, nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER);
    Settle(session->main);
    HWND tabs = TabControl(*session);
    HWND list = FindVisibleControl(session->main, kHeaderListId);
    RECT tabRect = {}, pageRect = {}, listRect = {};
    GetClientRect(tabs, &tabRect);
    GetClientRect(GetParent(list), &pageRect);
    GetWindowRect(list, &listRect);
    Check(pageRect.right == tabRect.right - 2, "the page follows the window's width");
    Check(listRect.right - listRect.left == pageRect.right * 97 / 100,
          "the header list keeps 97 % of the page");
    Snapshot(*session, "resized-900x640");
    SetWindowPos(session->main, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    Settle(session->main);
    RECT rect = {};
    GetWindowRect(session->main, &rect);
    Check(rect.right - rect.left >= 640 && rect.bottom - rect.top >= 480,
          "the window keeps at least 640 x 480");
}

}  // namespace

// The Help menu opened as Alt+H opens it, its last item chosen by keys.
void CheckAboutFromMenu(UiSession* session) {
    PostMessageA(session->main, WM_SYSCOMMAND, SC_KEYMENU, 'h');
    Settle(session->main);
    PressKey(session->main, VK_DOWN);
    PressKey(session->main, VK_RETURN);
    HWND about = WaitForDialog(*session, "About Quillon Converter");
    Check(about != nullptr, "Help > About in the menu shows the About box");
    Snapshot(*session, "about");
    if (about != nullptr) Click(FindControl(about, IDOK));
    Settle(session->main);
}

const char kConvertTip[] =  // ﾌｧｲﾙ変換を開始する
    "\xCC\xA7\xB2\xD9\x95\xCF\x8A\xB7\x82\xF0\x8A\x4A\x8E\x6E\x82\xB7\x82\xE9";

// The pointer rests on Conv: its tooltip comes up with string 5.
void CheckToolTip(UiSession* session) {
    HWND toolbar = Toolbar(*session);
    RECT button = {};
    if (!ItemRect(toolbar, TB_GETRECT, kConvertCommand, &button)) return;
    POINT point = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    POINT screen = point;
    ClientToScreen(toolbar, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    HWND tip = WaitForTopWindow(session->process, "tooltips_class32", nullptr, kActionTimeoutMs);
    CheckText(tip != nullptr ? WindowText(tip) : "", kConvertTip,
              "resting on Conv shows its tooltip");
    Snapshot(*session, "tooltip-conv");
    SetCursorPos(0, 0);
}

void RunFrameScenarios(UiSession* session) {
    CheckAboutFromMenu(session);
    CheckToolTip(session);
    CheckPresetReapplied(session);
    CheckDroppedFile(session);
    CheckResize(session);
}

void RunKeyboardScenarios(UiSession* session);

namespace {

constexpr int kMontageTab = 2;
constexpr int kTabCount = 4;
const char kOpenDialogTitle[] = "Normal Text File Select";

// Keys as the keyboard gives them (through the system's input queue, so the
// program sees Ctrl and Shift held): every key of a chord down, then up in
// reverse order. The program must be in front to get them.
void PressChord(HWND main, std::initializer_list<WORD> keys) {
    SetForegroundWindow(main);
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOf(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// The visible page of the tab control: the child shown over its client area.
HWND ShownPage(const UiSession& session) {
    for (HWND child = GetWindow(TabControl(session), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

struct FocusWait {
    const UiSession* session;
    int tab;
};

bool FocusOnShownPage(void* context) {
    auto* wait = static_cast<FocusWait*>(context);
    if (CurrentTab(*wait->session) != wait->tab) return false;
    HWND page = ShownPage(*wait->session);
    HWND focus = FocusOf(wait->session->main);
    return page != nullptr && focus != nullptr &&
           (focus == page || IsChild(page, focus) || focus == TabControl(*wait->session));
}

double g_worstFocusMs = 0;

// Presses a chord and times it until the focus stands on the shown page of
// the expected tab (the tab control when the page has no control).
bool ChordMovesFocus(UiSession* session, std::initializer_list<WORD> keys, int tab) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PressChord(session->main, keys);
    FocusWait wait = {session, tab};
    // Polled every millisecond: the figure is what a user would wait.
    const DWORD begun = GetTickCount();
    bool moved = false;
    while (!(moved = FocusOnShownPage(&wait)) && GetTickCount() - begun < kActionTimeoutMs)
        Sleep(1);
    QueryPerformanceCounter(&end);
    const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    if (moved && ms > g_worstFocusMs) g_worstFocusMs = ms;
    return moved;
}

void CheckTabKeys(UiSession* session) {
    ClickTab(*session, 0);
    HWND labelLine = FindVisibleControl(session->main, kLabelLineId);
    const int before = ComboSelection(labelLine);
    Click(labelLine);
    PressKey(labelLine, VK_ESCAPE);
    Settle(session->main);
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_NEXT}, 1),
          "Ctrl+PgDn in a list goes to the next tab, focus on its first control");
    ClickTab(*session, 0);
    Check(ComboSelection(FindVisibleControl(session->main, kLabelLineId)) == before,
          "Ctrl+PgDn leaves the list's value alone");
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_TAB}, 1), "Ctrl+Tab goes to tab 1");
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_TAB}, 2), "Ctrl+Tab goes to tab 2");
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_SHIFT, VK_TAB}, 1),
          "Ctrl+Shift+Tab goes back to tab 1");
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_PRIOR}, 0), "Ctrl+PgUp goes back to tab 0");
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_SHIFT, VK_TAB}, kTabCount - 1),
          "Ctrl+Shift+Tab on the first tab goes round to the last");
    ClickTab(*session, 0);
}

struct FocusOn {
    HWND main;
    HWND control;
};

bool FocusIsOn(void* context) {
    auto* wait = static_cast<FocusOn*>(context);
    return FocusOf(wait->main) == wait->control;
}

bool TabMovesFocusTo(UiSession* session, std::initializer_list<WORD> keys, HWND control) {
    PressChord(session->main, keys);
    FocusOn wait = {session->main, control};
    return control != nullptr && WaitUntil(kActionTimeoutMs, FocusIsOn, &wait);
}

// Shift+Tab from a page's first control walks up through the frame in
// reading order (tab control, Create Type, Original Type); Tab walks back
// down into the page.
void CheckFrameTabOrder(UiSession* session) {
    Check(ChordMovesFocus(session, {VK_CONTROL, VK_TAB}, 1), "Ctrl+Tab goes to tab 1");
    HWND first = FocusOf(session->main);
    HWND tabs = TabControl(*session);
    HWND createType = FindControl(session->main, kCreateTypeId);
    HWND originalType = FindControl(session->main, kOriginalTypeId);
    Check(TabMovesFocusTo(session, {VK_SHIFT, VK_TAB}, tabs),
          "Shift+Tab on the page's first control goes to the tab control");
    Check(TabMovesFocusTo(session, {VK_SHIFT, VK_TAB}, createType), "then to Create Type");
    Check(TabMovesFocusTo(session, {VK_SHIFT, VK_TAB}, originalType), "then to Original Type");
    Check(TabMovesFocusTo(session, {VK_TAB}, createType) &&
              TabMovesFocusTo(session, {VK_TAB}, tabs) && TabMovesFocusTo(session, {VK_TAB}, first),
          "Tab goes back down through the frame into the page");
    ClickTab(*session, 0);
}

// Enter in a typed field takes the value (the page writes it back in its
// own form) and leaves the focus where it is.
void CheckEnterTakesValue(UiSession* session) {
    ClickTab(*session, 1);
    HWND weight = FindVisibleControl(session->main, kWeightId);
    ReplaceText(weight, "71.50");
    PressKey(weight, VK_RETURN);
    Settle(session->main);
    CheckText(WindowText(weight), "71.5", "Enter in the weight field takes the value");
    Check(FocusOf(session->main) == weight, "Enter leaves the focus in the field");
    ClickTab(*session, 0);
}

void CheckOpenByKeys(UiSession* session) {
    PressChord(session->main, {VK_CONTROL, 'O'});
    HWND dialog = WaitForDialog(*session, kOpenDialogTitle);
    Check(dialog != nullptr, "Ctrl+O shows the open dialog");
    HWND edit = dialog != nullptr ? FindChildOfClass(dialog, "Edit") : nullptr;
    if (edit == nullptr) return;
    ReplaceText(edit, session->blankSource);
    PressKey(edit, VK_RETURN);
    FocusWait wait = {session, 0};
    Check(WaitUntil(kActionTimeoutMs, FocusOnShownPage, &wait),
          "after Open the focus is on the source page");
    CheckText(WindowText(FindVisibleControl(session->main, kFileNameId)), session->blankSource,
              "the path typed in the open dialog after Ctrl+O is open");
}

// The File menu's recent entries, chosen by keys: Alt+F, then the number.
void CheckRecentFiles(UiSession* session) {
    const std::string settings = SettingsPath(*session);
    CheckText(IniValue(settings, "RECENT", "File1"), session->blankSource,
              "the source opened last is first among the recent files");
    CheckText(IniValue(settings, "RECENT", "File2"), session->labelSource,
              "the source opened before is second");
    PressChord(session->main, {VK_MENU, 'F'});
    Settle(session->main);
    Snapshot(*session, "file-menu-recent");
    PressChord(session->main, {'2'});
    HWND ask = WaitForDialog(*session, kConfirmTitle);
    if (ask != nullptr) Click(FindControl(ask, IDCANCEL));
    Settle(session->main);
    CheckText(WindowText(FindVisibleControl(session->main, kFileNameId)), session->labelSource,
              "choosing recent entry 2 opens that source");
    CheckText(IniValue(settings, "RECENT", "File1"), session->labelSource,
              "the source chosen from the list moves first");
    // Back to the blank source the conversions that follow expect.
    PressChord(session->main, {VK_MENU, 'F'});
    Settle(session->main);
    PressChord(session->main, {'2'});
    Settle(session->main);
    CheckText(WindowText(FindVisibleControl(session->main, kFileNameId)), session->blankSource,
              "recent entry 2 is the blank source again");
}

// The id of a running process of that file name, 0 when there is none.
DWORD ProcessNamed(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && found == 0;
         more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

const char kHelpViewer[] = "winhlp32.exe";

bool HelpRuns(void*) { return ProcessNamed(kHelpViewer) != 0; }

// With a help file beside the program, F1 hands it to the help viewer. The
// viewer, which the program waits on while it asks about the test's empty
// file, is ended here.
void CheckHelpKey(UiSession* session) {
    CreateDirectoryA((session->install + "\\HELP").c_str(), nullptr);
    WriteTextFile(session->install + "\\HELP\\QUILLON.HLP", "?_\x03\x00");
    PressChord(session->main, {VK_F1});
    Check(WaitUntil(kActionTimeoutMs, HelpRuns, nullptr), "F1 opens the help");
    HANDLE viewer = OpenProcess(PROCESS_TERMINATE, FALSE, ProcessNamed(kHelpViewer));
    if (viewer != nullptr) {
        TerminateProcess(viewer, 0);
        WaitForSingleObject(viewer, kActionTimeoutMs);
        CloseHandle(viewer);
    }
    DeleteFileA((session->install + "\\HELP\\QUILLON.HLP").c_str());
    Settle(session->main);
}

}  // namespace

// Every page and both grids as they show, for the eye; the toolbar and the
// type row are on each.
void ShootEveryPage(UiSession* session, const std::string& prefix) {
    static const char* const kTabNames[kTabCount] = {"source", "patient", "montage", "convert"};
    HWND createType = FindControl(session->main, kCreateTypeId);
    const int type = ComboSelection(createType);
    for (int output : {1, 2}) {  // PSG, then EEG (32 bit)
        SelectByKeys(createType, output);
        for (int tab = output == 1 ? 0 : 1; tab < kTabCount; ++tab) {
            ClickTab(*session, tab);
            const std::string kind = tab == 0 ? "" : output == 1 ? "-psg" : "-eeg";
            Snapshot(*session, (prefix + "-" + kTabNames[tab] + kind).c_str());
        }
    }
    SelectByKeys(createType, type);
    ClickTab(*session, 0);
}

void RunKeyboardScenarios(UiSession* session) {
    CheckTabKeys(session);
    CheckFrameTabOrder(session);
    CheckEnterTakesValue(session);
    CheckOpenByKeys(session);
    CheckRecentFiles(session);
    CheckHelpKey(session);
    std::printf("worst key-to-focus time: %.1f ms\n", g_worstFocusMs);
}

// Alt+F, then X: the program ends as Exit ends it.
bool ExitByMenuKeys(UiSession* session) {
    if (session->main == nullptr) return false;
    PressChord(session->main, {VK_MENU, 'F'});
    Settle(session->main);
    PressChord(session->main, {'X'});
    DWORD code = 1234;
    const bool ended = WaitForExit(session->process, 30000, &code) && code == 0;
    EndProcess(&session->process);
    session->main = nullptr;
    return ended;
}

namespace {

// A dialog stands centred on the main window (to a pixel or two of rounding).
void CheckCentred(const UiSession& session, HWND dialog, const std::string& what) {
    RECT main = {}, box = {};
    GetWindowRect(session.main, &main);
    GetWindowRect(dialog, &box);
    const long dx = (main.left + main.right) / 2 - (box.left + box.right) / 2;
    const long dy = (main.top + main.bottom) / 2 - (box.top + box.bottom) / 2;
    Check(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2, what);
}

}  // namespace

// The screens at the DPI the prefix was given, from a start with the label
// source: its column notice, every page, the About box, the smallest window.
void RunDpiScreens(UiSession* session, const std::string& prefix) {
    // A place left at 96 DPI, the smallest window there.
    const std::string settings = SettingsPath(*session);
    const char* const edges[][2] = {
        {"WindowLeft", "0"}, {"WindowTop", "0"}, {"WindowRight", "640"}, {"WindowBottom", "480"}};
    for (const auto& edge : edges)
        WritePrivateProfileStringA("INITIAL", edge[0], edge[1], settings.c_str());
    if (!StartAndFindMain(session, "\"" + session->labelSource + "\"")) return;
    HWND ask = WaitForDialog(*session, kConfirmTitle);
    Check(ask != nullptr, "the label source's notice shows");
    if (ask != nullptr) {
        CheckCentred(*session, ask, "the notice opens centred on the main window");
        Snapshot(*session, (prefix + "-notice").c_str());
        Click(FindControl(ask, IDCANCEL));
    }
    Settle(session->main);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT rect = {};
    GetWindowRect(session->main, &rect);
    Check(rect.right - rect.left >= MulDiv(640, dpi, 96) &&
              rect.bottom - rect.top >= MulDiv(480, dpi, 96),
          "a place stored at 96 DPI comes back grown to the smallest window at " +
              std::to_string(dpi));
    ShootEveryPage(session, prefix);
    PostMessageA(session->main, WM_SYSCOMMAND, SC_KEYMENU, 'h');
    Settle(session->main);
    PressKey(session->main, VK_DOWN);
    PressKey(session->main, VK_RETURN);
    HWND about = WaitForDialog(*session, "About Quillon Converter");
    if (about != nullptr) {
        CheckCentred(*session, about, "the About box opens centred on the main window");
        Snapshot(*session, (prefix + "-about").c_str());
        Click(FindControl(about, IDOK));
    }
    SetWindowPos(session->main, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    Settle(session->main);
    Snapshot(*session, (prefix + "-smallest").c_str());
    GetWindowRect(session->main, &rect);
    Check(rect.right - rect.left >= MulDiv(640, dpi, 96) &&
              rect.bottom - rect.top >= MulDiv(480, dpi, 96),
          "the smallest window grows with the DPI (" + std::to_string(dpi) + ")");
    Check(ExitByMenuKeys(session), "Alt+F, X ends the program");
}
