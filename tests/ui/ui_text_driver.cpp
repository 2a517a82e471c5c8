// Drives Quillon.exe through the texts a user types and the sources a user
// opens: the patient pages' byte limits and keep notes, Open refusals that
// keep the open source, the EEG grid after a channel-count change and the
// registry's question. Every text is read and compared in UTF-16, so the
// same run serves any system code page; the files it leaves are compared
// across locales by the test that runs it twice.
//
//   ui_text_driver INSTALL_FOLDER ARTIFACT_FOLDER
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "screenshot.h"
#include "ui_actions.h"

namespace {

enum Ids {
    kToolbarId = 1101,
    kTabControlId = 1102,
    kCreateTypeId = 1113,
    kSourceNameId = 1213,
    kChannelCountId = 1223,
    kPatientId = 1200,
    kName1Id = 1201,
    kComment1Id = 1206,
    kDepartmentId = 1254,
    kKeepIdNote = 1600,
    kKeepDepartmentNote = 1604,
    kKeepComment1Note = 1610,
    kKeepLegend = 1620,
    kGridId = 1301,
    kRegistryId = 1302,
    kNotchId = 1275,
    kConvertCommand = 4008,
    kExitCommand = 4009,
};

constexpr DWORD kExitTimeoutMs = 30000;
constexpr int kEegOutput = 2;
constexpr int kTabClickAttempts = 3;
constexpr DWORD kTabRetryMs = 200;
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 740;

const char kSettings[] =
    "[SYSTEM]\r\nOrgFileType=1\r\nCopyFileType=1\r\n"
    "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nDataLineBias=1\r\nChStartLine=1\r\n"
    "DataStartLine=2\r\nLabel=Comma with time\r\n"
    "[EEGPattern1]\r\nPATTERN=Day\r\n";
const char kPatients[] = "[PATIENT]\r\nHospital=UI Clinic\r\nName1=x\r\n";
// A head in Japanese: 検査記録 山田
const char kJapaneseHead[] = "\x8C\x9F\x8D\xB8\x8B\x4C\x98\x5E \x8E\x52\x93\x63";
const char kTypedName[] = "\x8E\x52\x93\x63\x20\x89\xD4\x8E\x71";  // 山田 花子
const char kWideA[] = "\x82\xA0";                                  // あ

struct Run {
    std::string install, artifacts, source;
    Process process;
    HWND main = nullptr;
};

std::wstring Wide(const std::string& cp932) {
    wchar_t out[2048] = {};
    MultiByteToWideChar(932, 0, cp932.c_str(), -1, out, 2047);
    return out;
}

std::wstring WideText(HWND window) {
    wchar_t text[2048] = {};
    if (window != nullptr) SendMessageW(window, WM_GETTEXT, 2047, reinterpret_cast<LPARAM>(text));
    return text;
}

void CheckWide(const std::wstring& shown, const std::wstring& expected, const std::string& what) {
    Check(shown == expected, what);
    if (shown != expected)
        std::printf("  shown %zu chars, expected %zu\n", shown.size(), expected.size());
}

struct TitleSearch {
    DWORD process;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<TitleSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window) || WideText(window) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A top-level window of the program titled title (code page 932).
HWND WaitForTitle(const Run& run, const std::string& title) {
    TitleSearch search = {run.process.info.dwProcessId, Wide(title), nullptr};
    for (DWORD waited = 0; waited < kActionTimeoutMs && search.found == nullptr; waited += 100) {
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) Sleep(100);
    }
    return search.found;
}

HWND Shown(const Run& run, int id) { return FindVisibleControl(run.main, id); }

// Keys typed just before may still be on their way on a busy machine, and a
// click that only closes a list changes no tab: click until the tab shows.
void ClickTab(const Run& run, int tab) {
    HWND tabs = FindControl(run.main, kTabControlId);
    for (int attempt = 0; attempt < kTabClickAttempts; ++attempt) {
        ClickItem(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab));
        Settle(run.main);
        if (SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == tab) return;
        Sleep(kTabRetryMs);
    }
}

void Snapshot(const Run& run, const char* name) {
    Settle(run.main);
    Check(SaveScreenshotPng((run.artifacts + "\\" + name + ".png").c_str()),
          std::string("screenshot ") + name);
}

bool Prepare(Run* run) {
    CreateDirectoryA((run->install + "\\COND").c_str(), nullptr);
    run->source = run->install + "\\head.csv";
    std::string text = std::string(kJapaneseHead) + "\r\nTime,Fp1,Fp2,C3\r\n";
    for (int i = 0; i < 40; ++i) text += "00:00:" + std::to_string(10 + i) + ",1,2,3\r\n";
    return WriteTextFile(run->install + "\\COND\\QUILLON.INI", kSettings) &&
           WriteTextFile(run->install + "\\COND\\PATIENT.INF", kPatients) &&
           WriteTextFile(run->source, text);
}

bool Start(Run* run) {
    EndProcess(&run->process);
    if (!StartProgram(run->install, "\"" + run->source + "\"", &run->process)) return false;
    run->main = WaitForMainWindow(run->process);
    // Without a Japanese font the pages' templates outgrow the first window:
    // a user enlarges it, so every control the driver clicks is on the screen.
    if (run->main != nullptr)
        SetWindowPos(run->main, nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOZORDER);
    for (DWORD waited = 0; run->main && waited < kActionTimeoutMs; waited += 100) {
        HWND name = Shown(*run, kSourceNameId);
        if (name != nullptr && WideText(name) == Wide(run->source)) return true;
        Sleep(100);
    }
    return false;
}

// Typing goes on past what the record holds: the field stops at its bytes and
// the note tells what the EEG file keeps.
void TypePatient(Run* run) {
    ClickTab(*run, 1);
    EnterText(Shown(*run, kName1Id), kTypedName);
    CheckWide(WideText(Shown(*run, kName1Id)), Wide(kTypedName), "a Japanese name is typed");
    EnterText(Shown(*run, kPatientId), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    CheckWide(WideText(Shown(*run, kPatientId)), L"ABCDEFGHIJKLMNOPQRS",
              "the ID stops at its 19 bytes");
    CheckWide(WideText(Shown(*run, kKeepIdNote)), Wide("EEG 12\x8E\x9A"),
              "beside the ID: the EEG file keeps 12 characters");
    std::string comment;
    for (int i = 0; i < 70; ++i) comment += kWideA;
    EnterText(Shown(*run, kComment1Id), comment);
    Check(WideText(Shown(*run, kComment1Id)).size() == 63,
          "70 double-byte characters typed: the comment keeps 63 (127 bytes)");
    CheckWide(WideText(Shown(*run, kKeepComment1Note)), Wide("EEG 10\x8E\x9A"),
              "beside the comment: the EEG file keeps 10 characters");
    Check(Shown(*run, kKeepLegend) != nullptr, "the legend explains the notes");
    std::string department;
    for (int i = 0; i < 25; ++i) department += kWideA;
    EnterText(FindChildOfClass(Shown(*run, kDepartmentId), "Edit"), department);
    Check(WideText(Shown(*run, kDepartmentId)).size() == 19,
          "an editable list takes 19 double-byte characters (39 bytes hold no 20th)");
    CheckWide(WideText(Shown(*run, kKeepDepartmentNote)), Wide("EEG 10\x8E\x9A"),
              "beside the department: the EEG file keeps 10 characters");
    Snapshot(*run, "patient-keep-notes");
}

bool RunEnded(void* context) {
    const Run* run = static_cast<const Run*>(context);
    return ToolbarButtonEnabled(FindControl(run->main, kToolbarId), kConvertCommand) &&
           !WideText(Shown(*run, 1231)).empty();
}

void Convert(Run* run) {
    const std::string target = run->artifacts + "\\head.edf";
    DeleteFileA(target.c_str());
    ClickToolbarButton(FindControl(run->main, kToolbarId), kConvertCommand);
    HWND dialog = WaitForTitle(*run, "PSG Convert File Select");
    HWND edit = dialog != nullptr ? FindChildOfClass(dialog, "Edit") : nullptr;
    Check(edit != nullptr, "Conv asks for the PSG file");
    if (edit == nullptr) return;
    ReplaceText(edit, target);
    PressKey(edit, VK_RETURN);
    Check(WaitUntil(kActionTimeoutMs, RunEnded, run) &&
              GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES,
          "the PSG file is written");
}

// A second start hands a path over as a drop does; the refusal is told and
// the open source stays.
void RefusedOpen(Run* run, const std::string& path, const char* shot, const std::string& what) {
    Process second;
    StartProgram(run->install, "\"" + path + "\"", &second);
    DWORD code = 0;
    WaitForExit(second, kExitTimeoutMs, &code);
    EndProcess(&second);
    HWND box = WaitForTitle(*run, "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD");  // ﾌｧｲﾙを開く
    Check(box != nullptr, what + ": a message box says why");
    if (box != nullptr) {
        Snapshot(*run, shot);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    Settle(run->main);
    ClickTab(*run, 0);
    CheckWide(WideText(Shown(*run, kSourceNameId)), Wide(run->source),
              what + ": the open source stays on its page");
}

void FailedOpens(Run* run) {
    RefusedOpen(run, run->install + "\\COND", "open-refused-folder", "a folder");
    const std::string locked = run->install + "\\locked.csv";
    WriteTextFile(locked, "A,B\r\n1,2\r\n");
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    RefusedOpen(run, locked, "open-refused-locked", "a file another program holds");
    CloseHandle(hold);
}

// The grid shows its scroll bar only while rows lie beyond its bottom.
bool Scrolls(HWND grid) { return (GetWindowLongW(grid, GWL_STYLE) & WS_VSCROLL) != 0; }

// With EEG output the grid's rows are the channels: raised on the source
// page, they are drawn and reachable on the montage page at once.
void GridFollowsChannels(Run* run) {
    SelectByKeys(FindControl(run->main, kCreateTypeId), kEegOutput);
    ClickTab(*run, 2);
    Snapshot(*run, "eeg-grid-3-channels");
    const bool before = Scrolls(Shown(*run, kGridId));
    ClickTab(*run, 0);
    SelectByKeys(Shown(*run, kChannelCountId), 40);
    ClickTab(*run, 2);
    Snapshot(*run, "eeg-grid-40-channels");
    Check(!before && Scrolls(Shown(*run, kGridId)),
          "40 channels: the EEG grid scrolls to its new rows at once");
}

void RegistryAsks(Run* run) {
    Click(Shown(*run, kRegistryId));
    HWND ask = WaitForTitle(*run, "\x8A\x6D\x94\x46");  // 確認
    Check(ask != nullptr, "Pattern Registry over a stored pattern asks first");
    if (ask == nullptr) return;
    Snapshot(*run, "registry-asks");
    PostMessageW(ask, WM_COMMAND, IDNO, 0);
    Settle(run->main);
}

// File > 新規患者, the menu opened as Alt+F opens it, its fourth item: the
// entries are there, so it asks; Yes empties the patient page.
void NewPatient(Run* run) {
    ClickTab(*run, 1);
    PostMessageA(run->main, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    Settle(run->main);
    for (int i = 0; i < 3; ++i) PressKey(run->main, VK_DOWN);
    PressKey(run->main, VK_RETURN);
    HWND ask = WaitForTitle(*run, "\x8A\x6D\x94\x46");  // 確認
    Check(ask != nullptr, "a new patient over entered data asks first");
    if (ask == nullptr) return;
    Snapshot(*run, "new-patient-asks");
    PostMessageW(ask, WM_COMMAND, IDYES, 0);
    Settle(run->main);
    Check(WideText(Shown(*run, kName1Id)).empty() && WideText(Shown(*run, kComment1Id)).empty() &&
              WideText(Shown(*run, kKeepComment1Note)).empty(),
          "the patient page is empty, its notes gone");
}

// Notch is an edit of the EEG pattern that Registry has not stored: Exit
// offers it first, and Yes stores it before the window goes.
bool Exit(Run* run) {
    ClickTab(*run, 2);
    Click(Shown(*run, kNotchId));
    Settle(run->main);
    ClickToolbarButton(FindControl(run->main, kToolbarId), kExitCommand);
    HWND ask = WaitForTitle(*run, "\x8A\x6D\x94\x46");  // 確認
    Check(ask != nullptr, "Exit offers the pattern edit not registered");
    if (ask != nullptr) {
        Snapshot(*run, "exit-offers-registration");
        PostMessageW(ask, WM_COMMAND, IDYES, 0);
    }
    DWORD code = 1234;
    const bool ended = WaitForExit(run->process, kExitTimeoutMs, &code) && code == 0;
    EndProcess(&run->process);
    return ended;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_text_driver INSTALL_FOLDER ARTIFACT_FOLDER\n");
        return 2;
    }
    Run run;
    run.install = argv[1];
    run.artifacts = argv[2];
    CreateDirectoryA(run.artifacts.c_str(), nullptr);
    std::printf("system code page %u\n", GetACP());
    Check(Prepare(&run), "settings, patient file and source written");
    Check(Start(&run), "the program starts with the source");
    if (run.main != nullptr) {
        TypePatient(&run);
        Convert(&run);
        FailedOpens(&run);
        GridFollowsChannels(&run);
        RegistryAsks(&run);
        NewPatient(&run);
        Check(Exit(&run), "Exit ends the program with 0");
    }
    EndProcess(&run.process);
    // Folders differ between runs: the comparison of two runs' files puts one
    // name for each.
    WriteTextFile(run.artifacts + "\\FOLDERS.TXT", run.install + "\n" + run.artifacts + "\n");
    Check(IniValue(run.install + "\\COND\\QUILLON.INI", "EEGPattern1", "Notch") == "1",
          "the pattern registered at exit holds the notch");
    for (const char* name : {"QUILLON.INI", "PATIENT.INF"})
        CopyFileA((run.install + "\\COND\\" + name).c_str(), (run.artifacts + "\\" + name).c_str(),
                  FALSE);
    std::printf("%d passed, %d failed\n", Passes(), Failures());
    return Failures() == 0 ? 0 : 1;
}
