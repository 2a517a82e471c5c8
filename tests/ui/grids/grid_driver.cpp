// Acts on the montage grids of grid_host.exe from outside its process as a
// user does: drags with the left button, opens popup menus with the right
// button and picks an item with the arrow keys, double-clicks cells and
// types into the in-place editor. Then the host registers the patterns and
// the settings file must hold exactly what the actions imply.
//
//   grid_driver INSTALL_FOLDER SAMPLE_SETTINGS ARTIFACT_PREFIX
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "grid_host_protocol.h"
#include "ids/montage_ids.h"
#include "montage/grid_model.h"
#include "host_driver.h"
#include "screenshot.h"

namespace {

constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kSettleTimeoutMs = 10000;
constexpr int kEeg = 0;
constexpr int kPsg = 1;
constexpr int kChannels = 12;

struct Host {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
    HWND pages[2] = {};
    HWND grids[2] = {};
};

HWND WaitForWindow(const Host& host, const char* className, DWORD timeoutMs) {
    return WaitForProcessWindow(host.process.dwProcessId, className, timeoutMs);
}

void Settle(const Host& host) {
    SettleHost(host.window, kGridHostSync, kGridHostSynced, kSettleTimeoutMs);
}

LPARAM CellPoint(const Host& host, int grid, int column, int row) {
    const LRESULT centre =
        SendMessageA(host.window, kGridHostCellCentre, grid, MAKELPARAM(column, row));
    if (centre == 0)
        Check(false, "cell " + std::to_string(column) + "/" + std::to_string(row) + " on screen");
    return static_cast<LPARAM>(centre);
}

void Drag(const Host& host, int grid, int column, int fromRow, int toRow) {
    HWND window = host.grids[grid];
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(host, grid, column, fromRow));
    const int step = fromRow < toRow ? 1 : -1;
    for (int row = fromRow + step; row != toRow + step; row += step)
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, CellPoint(host, grid, column, row));
    PostMessageA(window, WM_LBUTTONUP, 0, CellPoint(host, grid, column, toRow));
    Settle(host);
}

// Real input: the system cursor moves and the button goes down over the
// screen point of a cell, as a hand on the mouse does it.
void SendMouse(DWORD flags, POINT screen) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

POINT ScreenPoint(const Host& host, int grid, int column, int row) {
    const LPARAM at = CellPoint(host, grid, column, row);
    POINT point = {LOWORD(at), HIWORD(at)};
    ClientToScreen(host.grids[grid], &point);
    return point;
}

void DragWithMouse(const Host& host, int grid, int column, int fromRow, int toRow) {
    SendMouse(0, ScreenPoint(host, grid, column, fromRow));
    SendMouse(MOUSEEVENTF_LEFTDOWN, ScreenPoint(host, grid, column, fromRow));
    for (int row = fromRow + 1; row <= toRow; ++row)
        SendMouse(0, ScreenPoint(host, grid, column, row));
    SendMouse(MOUSEEVENTF_LEFTUP, ScreenPoint(host, grid, column, toRow));
    Settle(host);
}

void DoubleClick(const Host& host, int grid, int column, int row) {
    HWND window = host.grids[grid];
    const LPARAM at = CellPoint(host, grid, column, row);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    Settle(host);
}

// The popup menu's own loop takes the keys of the host's thread.
bool PickMenuItem(const Host& host, int grid, int item) {
    PostMessageA(host.grids[grid], WM_RBUTTONUP, 0, 0);
    HWND menu = WaitForWindow(host, "#32768", 5000);
    if (menu == nullptr) return false;
    for (int i = 0; i <= item; ++i) PostMessageA(host.grids[grid], WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(host.grids[grid], WM_KEYDOWN, VK_RETURN, 1);
    Settle(host);  // the menu has ended and posted its command
    Settle(host);  // the command has been handled
    return !IsWindowVisible(menu);
}

BOOL CALLBACK CountEdit(HWND child, LPARAM count) {
    char name[16];
    if (GetClassNameA(child, name, sizeof name) && lstrcmpiA(name, "Edit") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int EditControls(HWND grid) {
    int count = 0;
    EnumChildWindows(grid, CountEdit, reinterpret_cast<LPARAM>(&count));
    return count;
}

HWND Editor(const Host& host, int grid) { return GetDlgItem(host.grids[grid], kGridEditId); }

void Type(const Host& host, int grid, const char* bytes, WPARAM finalKey) {
    HWND edit = Editor(host, grid);
    for (const char* p = bytes; *p != '\0'; ++p)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*p), 1);
    if (finalKey != 0) PostMessageA(edit, WM_KEYDOWN, finalKey, 1);
    Settle(host);
}

std::string HostTitle(const Host& host) {
    char title[128] = {};
    GetWindowTextA(host.window, title, sizeof title);
    return title;
}

void Click(const Host& host, HWND button) {
    RECT client;
    GetClientRect(button, &client);
    const LPARAM at = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(button, WM_LBUTTONUP, 0, at);
    Settle(host);
}

// Asked in UTF-16: the ANSI form does not cross processes whole.
std::string ListItem(HWND combo, int index) {
    wchar_t wide[256] = {};
    char text[512] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= 256) return "";
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(932, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

// A UTF-8 literal of this file as the program's code page 932 shows it.
std::string Cp932(const char* utf8) {
    wchar_t wide[256] = {};
    char text[512] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    WideCharToMultiByte(932, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string EegLabel(const Host& host, int row) {
    SendMessageA(host.window, kGridHostEegLabel, row, 0);
    return HostTitle(host);
}

std::string Setting(const std::string& file, const char* section, const char* key) {
    char text[4096] = {};
    GetPrivateProfileStringA(section, key, "<absent>", text, sizeof text, file.c_str());
    return text;
}

std::vector<std::string> ListHead(const std::string& text, size_t count) {
    std::vector<std::string> values;
    size_t start = 0;
    while (values.size() < count && start < text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        values.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return values;
}

std::string Joined(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& v : values) text += v + ",";
    return text;
}

bool PrepareSettings(const std::string& folder, const std::string& sample, std::string* settings) {
    const std::string cond = folder + "\\COND";
    CreateDirectoryA(cond.c_str(), nullptr);
    *settings = cond + "\\QUILLON.INI";
    if (!CopyFileA(sample.c_str(), settings->c_str(), FALSE)) return false;
    // Row 6 holds 2: shown "--" and grey, yet editable like a row that is on.
    return WritePrivateProfileStringA("PSGPattern1", "ChEnable", "1,1,1,1,1,2,1,1,1,1,1,1,",
                                      settings->c_str()) != 0;
}

bool StartHost(const std::string& folder, Host* host) {
    const std::string exe = folder + "\\grid_host.exe";
    std::string command = "\"" + exe + "\" \"" + folder + "\" " + std::to_string(kChannels);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &host->process))
        return false;
    host->window = WaitForWindow(*host, kGridHostClass, kStartTimeoutMs);
    if (host->window == nullptr) return false;
    host->pages[kEeg] = GetDlgItem(host->window, kGridHostEegPageId);
    host->pages[kPsg] = GetDlgItem(host->window, kGridHostPsgPageId);
    host->grids[kEeg] = GetDlgItem(host->pages[kEeg], IDC_MONTAGE_GRID);
    host->grids[kPsg] = GetDlgItem(host->pages[kPsg], IDC_MONTAGE_GRID);
    Settle(*host);
    return host->grids[kEeg] != nullptr && host->grids[kPsg] != nullptr;
}

void Shot(const std::string& prefix, const char* name) {
    Sleep(300);  // painting waits until the posted messages are handled
    Check(SaveScreenshotPng((prefix + "-" + name + ".png").c_str()),
          std::string("screenshot ") + name);
}

LRESULT Notices(const Host& host, int grid, int code) {
    return SendMessageA(host.window, kGridHostNotices, grid, code - kGridSelectionBegins);
}

void SelectAndPick(const Host& host, const std::string& prefix) {
    Drag(host, kPsg, kPsgColumnCal, 3, 7);
    Check(Notices(host, kPsg, kGridSelectionBegins) == 1 &&
              Notices(host, kPsg, kGridSelectionExtends) == 4 &&
              Notices(host, kPsg, kGridSelectionEnds) == 1,
          "a PSG drag over rows 3..7 posts notifications 10, 11 x 4 and 12");
    Shot(prefix, "psg-selection");
    Check(PickMenuItem(host, kPsg, 2), "PSG CAL menu: \"  20\" picked");

    Drag(host, kEeg, kEegColumnColour, 7, 3);
    Check(Notices(host, kEeg, kGridSelectionBegins) == 1 &&
              Notices(host, kEeg, kGridSelectionEnds) == 1,
          "an upward EEG drag posts notifications 10 and 12");
    Check(PickMenuItem(host, kEeg, 3), "EEG Color menu: \"Color3\" picked");

    const LRESULT begun = Notices(host, kEeg, kGridSelectionBegins);
    DragWithMouse(host, kEeg, kEegColumnShow, 2, 4);
    Check(Notices(host, kEeg, kGridSelectionBegins) == begun + 1,
          "a drag with the system mouse selects");
    Check(PickMenuItem(host, kEeg, 0), "EEG Show menu: \"OFF\" picked");

    Drag(host, kPsg, kPsgColumnLabel, 1, 1);
    Check(PickMenuItem(host, kPsg, 0), "PSG Label menu: \"Auto Sequence Label\" picked");
    Drag(host, kPsg, kPsgColumnRate, 1, 1);
    Check(PickMenuItem(host, kPsg, 1), "PSG Rate menu: \"100\" picked");
}

void EditPsgCells(const Host& host, const std::string& prefix) {
    DoubleClick(host, kPsg, kPsgColumnLff, 1);
    Check(IsWindowVisible(Editor(host, kPsg)) != 0, "double click on LFF row 1 opens the editor");
    Shot(prefix, "psg-editor-open");
    Type(host, kPsg, "0.5", VK_RETURN);
    Check(IsWindowVisible(Editor(host, kPsg)) != 0, "Enter stores and opens the editor on row 2");
    Type(host, kPsg, "9.9", VK_TAB);
    Check(!IsWindowVisible(Editor(host, kPsg)), "Tab closes the editor");

    DoubleClick(host, kPsg, kPsgColumnCal, 6);
    Check(IsWindowVisible(Editor(host, kPsg)) != 0, "a row with ChEnable 2 is editable");
    Type(host, kPsg, "010", VK_RETURN);
    Type(host, kPsg, "", VK_TAB);

    DoubleClick(host, kPsg, kPsgColumnLabel, 2);
    Type(host, kPsg, "\x83\x41x", VK_RETURN);  // a double-byte character, then x
    Type(host, kPsg, "", VK_TAB);
}

void EditEegLabels(const Host& host, const std::string& prefix) {
    for (int i = 0; i < 3; ++i) PostMessageA(host.grids[kEeg], WM_VSCROLL, SB_LINEDOWN, 0);
    for (int i = 0; i < 6; ++i) PostMessageA(host.grids[kPsg], WM_VSCROLL, SB_LINEDOWN, 0);
    Settle(host);
    Shot(prefix, "scrolled");
    Check(CellPoint(host, kPsg, kPsgColumnOnOff, 7) != 0 &&
              SendMessageA(host.window, kGridHostCellCentre, kPsg,
                           MAKELPARAM(kPsgColumnOnOff, 6)) == 0,
          "six lines down, the PSG grid's first row is channel 7");
    PostMessageA(host.grids[kPsg], WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    Settle(host);
    Check(CellPoint(host, kPsg, kPsgColumnOnOff, 1) != 0,
          "the thumb released at the top shows channel 1 again");
    DoubleClick(host, kEeg, kEegColumnLabel, kChannels);
    Type(host, kEeg, "Z", VK_RETURN);
    Check(EegLabel(host, kChannels) == "label:Z", "Enter stores the label of the last row");
    RECT edit, grid;
    GetWindowRect(Editor(host, kEeg), &edit);
    GetWindowRect(host.grids[kEeg], &grid);
    Check(IsWindowVisible(Editor(host, kEeg)) && edit.top - grid.top < 60,
          "Enter on the last row continues on row 1, scrolled into view");
    Type(host, kEeg, "Q", 0);
    Shot(prefix, "eeg-editor-open");
    Type(host, kEeg, "", VK_TAB);
    Check(EegLabel(host, 1) == "label:", "Tab leaves the label of row 1 as it was");
}

// The stored pattern is replaced only after Yes to the question.
void ConfirmRegistry(const Host& host, const std::string& kind) {
    HWND ask = WaitForWindow(host, "#32770", 5000);
    Check(ask != nullptr && WindowText(ask) == Cp932("確認"),
          kind + " \"Pattern Registry\" over a stored pattern asks first");
    if (ask == nullptr) return;
    PostMessageA(ask, WM_COMMAND, IDYES, 0);
    Settle(host);
}

void RenameAndRegister(const Host& host) {
    HWND combo = GetDlgItem(host.pages[kPsg], IDC_PATTERN_NAME);
    HWND edit = GetWindow(combo, GW_CHILD);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* p = "Night edited"; *p != '\0'; ++p) PostMessageA(edit, WM_CHAR, *p, 1);
    Settle(host);
    const std::string listedBefore = ListItem(combo, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
    Settle(host);
    Check(listedBefore == "PSG night" && ListItem(combo, 0) == "Night edited" &&
              SendMessageA(combo, CB_GETCOUNT, 0, 0) == 4 && WindowText(combo) == "Night edited",
          "a typed pattern name is listed when the list opens: " + listedBefore + " -> " +
              ListItem(combo, 0));
    Check(EditControls(host.grids[kPsg]) == 1,
          "the grid keeps one edit control however often the page attaches it");
    Click(host, GetDlgItem(host.pages[kPsg], IDC_PATTERN_REGISTRY));
    ConfirmRegistry(host, "PSG");
    const std::string status = WindowText(GetDlgItem(host.window, kGridHostStatusId));
    Check(status == Cp932("PSGﾓﾝﾀｰｼﾞｭﾊﾟﾀｰﾝを保存しました。"),
          "PSG \"Pattern Registry\" shows string 28");

    // Reference "A1->A2" becomes "A2->A1", the Notch check box is cleared.
    PostMessageA(GetDlgItem(host.pages[kEeg], IDC_EEG_REFERENCE), WM_KEYDOWN, VK_DOWN, 1);
    Click(host, GetDlgItem(host.pages[kEeg], IDC_EEG_NOTCH));
    Click(host, GetDlgItem(host.pages[kEeg], IDC_PATTERN_REGISTRY));
    ConfirmRegistry(host, "EEG");
    Check(WindowText(GetDlgItem(host.window, kGridHostStatusId)) ==
              Cp932("EEGﾓﾝﾀｰｼﾞｭﾊﾟﾀｰﾝを保存しました。"),
          "EEG \"Pattern Registry\" shows string 32");
}

void PatternCopyNotice(const Host& host) {
    PostMessageA(GetDlgItem(host.pages[kPsg], IDC_PATTERN_COPY), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(4, 4));
    PostMessageA(GetDlgItem(host.pages[kPsg], IDC_PATTERN_COPY), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    HWND notice = WaitForWindow(host, "#32770", 5000);
    Check(notice != nullptr && WindowText(notice) == Cp932("警告"),
          "PSG \"Pattern Copy...\" shows the notice");
    if (notice == nullptr) return;
    Click(host, GetDlgItem(notice, IDOK));
    Check(!IsWindow(notice), "the notice closes with OK");
}

void CheckSettings(const Host& host, const std::string& settings) {
    RenameAndRegister(host);
    Check(Joined(ListHead(Setting(settings, "PSGPattern1", "EU"), 8)) == "50,50,20,20,20,8,20,50,",
          "EU: rows 3..7 from the menu, row 6 typed as octal 010: " +
              Setting(settings, "PSGPattern1", "EU"));
    Check(Joined(ListHead(Setting(settings, "PSGPattern1", "LFF"), 3)) == "500,300,10000,",
          "LFF: 0.5 typed in row 1, row 2 left by Tab: " + Setting(settings, "PSGPattern1", "LFF"));
    Check(Setting(settings, "PSGPattern1", "ChLabel1") == "1" &&
              Setting(settings, "PSGPattern1", "ChLabel3") == "3",
          "Auto Sequence Label numbers the PSG labels");
    Check(Setting(settings, "PSGPattern1", "ChLabel2") == "\x83\x41x",
          "a double-byte character typed arrives whole: " +
              Setting(settings, "PSGPattern1", "ChLabel2"));
    Check(Setting(settings, "PSGPattern1", "PATTERN") == "Night edited",
          "the renamed pattern is stored");
    Check(Setting(settings, "PSGPattern1", "Rate").rfind("2,1,1,", 0) == 0,
          "Rate: row 1 divides by 2");
    Check(Setting(settings, "EEGPattern1", "Ref") == "2", "Ref: \"A2->A1\" is stored as 2");
    Check(Setting(settings, "EEGPattern1", "Notch") == "0", "Notch: the check box cleared");
    Check(Joined(ListHead(Setting(settings, "EEGPattern1", "SHOW"), 6)) == "1,0,0,0,1,1,",
          "SHOW: rows 2..4 dragged with the system mouse: " +
              Setting(settings, "EEGPattern1", "SHOW"));
    Check(Joined(ListHead(Setting(settings, "EEGPattern1", "COLOR"), 12)) ==
              "1,2,3,3,3,3,3,8,9,10,11,12,",
          "COLOR: the upward drag's rows 3..7 became 3: " +
              Setting(settings, "EEGPattern1", "COLOR"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: grid_driver INSTALL_FOLDER SAMPLE_SETTINGS ARTIFACT_PREFIX\n");
        return 2;
    }
    const std::string folder = argv[1], prefix = argv[3];
    std::string settings;
    Host host;
    DeleteFileA((prefix + "-QUILLON.INI").c_str());  // only this run's result may be converted
    Check(PrepareSettings(folder, argv[2], &settings), "settings file prepared");
    const bool started = StartHost(folder, &host);
    Check(started, "grid host shows both grids");
    if (started) {
        Shot(prefix, "initial");
        SelectAndPick(host, prefix);
        EditPsgCells(host, prefix);
        EditEegLabels(host, prefix);
        CheckSettings(host, settings);
        PatternCopyNotice(host);
        // The edited pattern, for the conversion check of the native build.
        CopyFileA(settings.c_str(), (prefix + "-QUILLON.INI").c_str(), FALSE);
        PostMessageA(host.window, WM_CLOSE, 0, 0);
        Check(WaitForSingleObject(host.process.hProcess, 30000) == WAIT_OBJECT_0, "host closes");
    }
    if (host.process.hProcess != nullptr) {
        if (WaitForSingleObject(host.process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(host.process.hProcess, 99);
        CloseHandle(host.process.hProcess);
        CloseHandle(host.process.hThread);
    }
    return ReportChecks();
}
