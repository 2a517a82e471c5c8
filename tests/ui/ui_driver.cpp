// Drives Quillon.exe the way a user does, from outside the process: starts
// it, clicks and types through posted input, answers its dialogs and checks
// what it shows and what it writes at exit.
//
//   ui_driver INSTALL_FOLDER ARTIFACT_FOLDER [VOLUME_DRIVE]
//
// All scenarios share one program folder (and so one settings file) in
// order; every wait is bounded and processes started here are ended.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "screenshot.h"
#include "ui_session.h"

const char kSourceOpenedText[] =
    "\x95\xCF\x8A\xB7\x8C\xB3\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81"
    "\x42";
const char kSourceClosedText[] =
    "\x95\xCF\x8A\xB7\x8C\xB3\xCC\xA7\xB2\xD9\x82\xF0\x95\xC2\x82\xB6\x82\xDC\x82\xB5\x82\xBD\x81"
    "\x42";
const char kConfirmTitle[] = "\x8A\x6D\x94\x46";  // 確認

namespace {

constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kSplashGoneMs = 5000;
constexpr DWORD kResponsiveMs = 400;

// Presets 1 and 3 enabled; PSG output; the staff list skips key "2".
const char kSettings[] =
    "[SYSTEM]\r\nOrgFileType=3\r\nCopyFileType=1\r\n"
    "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nDataLineBias=1\r\nChStartLine=1\r\n"
    "DataStartLine=2\r\nLabel=Comma with time\r\n"
    "[ORGCOND2]\r\nEnable=1\r\nDelimitChar=1\r\nDataLineBias=0\r\nChStartLine=0\r\n"
    "DataStartLine=1\r\nLabel=Blank separated\r\n";
const char kPatients[] =
    "[PATIENT]\r\nHospital=UI Clinic\r\nName2=\x82\xE2\x82\xDC\x82\xBE\r\n"
    "[DEPARMENT]\r\n0=Neurology\r\n1=Pediatrics\r\n3=Hidden\r\n";

// Three labels over four data columns: "<< Set" on line 1 offers 4 channels.
// Line 0 holds half-width katakana.
std::string LabelSource() {
    std::string text = "Sample \xB6\xC0\xB6\xC5 recording\r\nTime,Fp1,Fp2,C3\r\n";
    for (int i = 0; i < 20; ++i)
        text += "00:00:" + std::to_string(10 + i) + "," + std::to_string(i) + ",2,3,4\r\n";
    return text;
}

std::string BlankSource() {
    std::string text = "A B C\r\n";
    for (int i = 0; i < 10; ++i) text += std::to_string(i) + " 5 6\r\n";
    return text;
}

// The volume of an earlier run goes: the EEG run must find no volume.
void EmptyVolume(const std::string& drive) {
    if (drive.empty()) return;
    for (const char* name : {"\\DAT\\88000001.DAT", "\\DAT\\88000001.REF", "\\4710.VOL"})
        DeleteFileA((drive + name).c_str());
    RemoveDirectoryA((drive + "\\DAT").c_str());
}

bool PrepareFolder(UiSession* session) {
    EmptyVolume(session->volumeDrive);
    CreateDirectoryA((session->install + "\\COND").c_str(), nullptr);
    CreateDirectoryA((session->install + "\\samples").c_str(), nullptr);
    session->labelSource = session->install + "\\samples\\labels.csv";
    session->blankSource = session->install + "\\samples\\blank.txt";
    return WriteTextFile(SettingsPath(*session), kSettings) &&
           WriteTextFile(PatientPath(*session), kPatients) &&
           WriteTextFile(session->labelSource, LabelSource()) &&
           WriteTextFile(session->blankSource, BlankSource());
}

bool Responds(HWND window, DWORD withinMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, withinMs, &result) != 0;
}

void RunStartup(UiSession* session) {
    Check(StartAndFindMain(session, ""), "the main window of class VQUILLONCONVERTOR appears");
    if (session->main == nullptr) return;
    HWND splash = WaitForTopWindow(session->process, "#32770", "", 300);
    Check(Responds(session->main, kResponsiveMs),
          "the window answers while the start-up window shows");
    Snapshot(*session, "startup");
    const DWORD start = GetTickCount();
    while (splash != nullptr && IsWindow(splash) && GetTickCount() - start < kSplashGoneMs)
        Sleep(50);
    Check(splash == nullptr || !IsWindow(splash), "the start-up window closes by itself");
    Check(WindowText(session->main) == "Quillon Convert - UI Clinic", "title names the hospital");
    RECT rect = {};
    GetWindowRect(session->main, &rect);
    Check(rect.right - rect.left == 640 && rect.bottom - rect.top == 480,
          "the window is 640 x 480");
    HWND placeholder = FindVisibleControl(TabControl(*session), kNoSourcePageId);
    Check(placeholder != nullptr && WindowText(placeholder) == "Please Open Source File",
          "with no source the tab shows \"Please Open Source File\"");
    HWND toolbar = Toolbar(*session);
    Check(!ToolbarButtonEnabled(toolbar, kCloseCommand) &&
              !ToolbarButtonEnabled(toolbar, kConvertCommand) &&
              ToolbarButtonEnabled(toolbar, kOpenCommand),
          "Close and Conv are disabled until a source is open");
    HWND presets = FindControl(session->main, kOriginalTypeId);
    Check(SendMessageA(presets, CB_GETCOUNT, 0, 0) == 2 && ComboSelection(presets) == 1,
          "Original Type lists the two enabled presets with preset 3 selected");
    CheckText(WindowText(presets), "Blank separated", "Original Type shows the label of preset 3");
    Check(ComboSelection(FindControl(session->main, kCreateTypeId)) == 1,
          "Create Type shows the stored output type");
}

void RunSecondStart(UiSession* session) {
    ShowWindow(session->main, SW_MINIMIZE);
    Settle(session->main);
    Process second;
    Check(StartProgram(session->install, "", &second), "a second start runs");
    DWORD code = 1234;
    Check(WaitForExit(second, kExitTimeoutMs, &code) && code == 0, "the second start ends with 0");
    EndProcess(&second);
    Settle(session->main);
    Check(!IsIconic(session->main), "the running window is restored");
    Check(WaitForSingleObject(session->process.info.hProcess, 0) == WAIT_TIMEOUT,
          "the first instance keeps running");
}

// The user moves the window (as the window manager does) and leaves; the
// next start puts it back.
void RunPlacement(UiSession* session) {
    SetWindowPos(session->main, nullptr, 60, 40, 700, 520, SWP_NOZORDER);
    Settle(session->main);
    Check(ExitByToolbar(session), "Exit ends the program with 0");
    const std::string settings = SettingsPath(*session);
    Check(IniValue(settings, "INITIAL", "WindowLeft") == "60" &&
              IniValue(settings, "INITIAL", "WindowBottom") == "560",
          "the placement is stored under INITIAL");
    Check(StartAndFindMain(session, ""), "the program starts again");
    RECT rect = {};
    if (session->main != nullptr) GetWindowRect(session->main, &rect);
    Check(rect.left == 60 && rect.top == 40 && rect.right == 760 && rect.bottom == 560,
          "the window comes back where it was left");
    Snapshot(*session, "placement-restored");
}

struct SourceShown {
    HWND main;
    std::string path;
};

bool SourcePageShows(void* context) {
    auto* shown = static_cast<SourceShown*>(context);
    HWND name = FindVisibleControl(shown->main, 1213);
    return name != nullptr && WindowText(name) == shown->path;
}

// The labels source read with the comma preset: 3 labels over 4 data
// columns; Cancel keeps the labels.
void KeepLabelsWhenAsked(UiSession* session, const char* what) {
    HWND ask = WaitForDialog(*session, kConfirmTitle);
    Check(ask != nullptr, what);
    if (ask != nullptr) Click(FindControl(ask, IDCANCEL));
    Settle(session->main);
}

void RunSourcesFromOutside(UiSession* session) {
    Check(ExitByToolbar(session), "Exit ends the program");
    Check(StartAndFindMain(session, "\"" + session->blankSource + "\""),
          "a start with a source file");
    SourceShown shown = {session->main, session->blankSource};
    Check(session->main && WaitUntil(kActionTimeoutMs, SourcePageShows, &shown),
          "the source named on the command line is open on the source page");
    Snapshot(*session, "command-line-source");
    Process second;
    StartProgram(session->install, "\"" + session->labelSource + "\"", &second);
    DWORD code = 1234;
    Check(WaitForExit(second, kExitTimeoutMs, &code) && code == 0,
          "a second start with a file ends");
    EndProcess(&second);
    shown.path = session->labelSource;
    Check(WaitUntil(kActionTimeoutMs, SourcePageShows, &shown),
          "the running program opens the file the second start was given");
    KeepLabelsWhenAsked(session,
                        "the handed-over file's labels are checked against its data columns");
}

// A value typed and not yet left when Exit is clicked is kept all the same.
void RunTypedBeforeExit(UiSession* session) {
    ClickTab(*session, 1);
    HWND weight = FindVisibleControl(session->main, kWeightId);
    if (weight != nullptr) ReplaceText(weight, "71.5");
    Check(ExitByToolbar(session), "Exit ends the program while a field is being typed");
    CheckText(IniValue(PatientPath(*session), "PATIENT", "Weight"), "71500",
              "the weight typed just before Exit is in the patient file");
    Check(StartAndFindMain(session, "\"" + session->labelSource + "\""),
          "the program starts again with the source");
    SourceShown shown = {session->main, session->labelSource};
    Check(session->main && WaitUntil(kActionTimeoutMs, SourcePageShows, &shown),
          "the source is open again");
    KeepLabelsWhenAsked(session, "the labels are checked again at the start");
}

}  // namespace

namespace {

struct DialogWait {
    const UiSession* session;
    const char* title;
    HWND found;
};

bool DialogShows(void* context) {
    auto* wait = static_cast<DialogWait*>(context);
    wait->found = WaitForTopWindow(wait->session->process, "#32770", wait->title, 1);
    return wait->found != nullptr;
}

}  // namespace

HWND WaitForDialog(const UiSession& session, const char* title) {
    DialogWait wait = {&session, title, nullptr};
    WaitUntil(kActionTimeoutMs, DialogShows, &wait);
    return wait.found;
}

void Snapshot(const UiSession& session, const char* name) {
    Settle(session.main);
    const std::string path = session.artifacts + "\\" + name + ".png";
    Check(SaveScreenshotPng(path.c_str()), std::string("screenshot ") + name);
}

bool StartAndFindMain(UiSession* session, const std::string& arguments) {
    EndProcess(&session->process);
    session->main = nullptr;
    if (!StartProgram(session->install, arguments, &session->process)) return false;
    session->main = WaitForMainWindow(session->process);
    return session->main != nullptr;
}

bool ExitByToolbar(UiSession* session) {
    if (session->main == nullptr) return false;
    ClickToolbarButton(Toolbar(*session), kExitCommand);
    DWORD code = 1234;
    const bool ended = WaitForExit(session->process, kExitTimeoutMs, &code) && code == 0;
    EndProcess(&session->process);
    session->main = nullptr;
    return ended;
}

HWND Toolbar(const UiSession& session) { return FindControl(session.main, kToolbarId); }
HWND TabControl(const UiSession& session) { return FindControl(session.main, kTabControlId); }

int CurrentTab(const UiSession& session) {
    return static_cast<int>(SendMessageA(TabControl(session), TCM_GETCURSEL, 0, 0));
}

std::string SettingsPath(const UiSession& session) {
    return session.install + "\\COND\\QUILLON.INI";
}
std::string PatientPath(const UiSession& session) {
    return session.install + "\\COND\\PATIENT.INF";
}

// The frame's keyboard paths and screens (ui_frame.cpp).
void RunKeyboardScenarios(UiSession* session);
void ShootEveryPage(UiSession* session, const std::string& prefix);
void RunDpiScreens(UiSession* session, const std::string& prefix);
bool ExitByMenuKeys(UiSession* session);

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui_driver INSTALL_FOLDER ARTIFACT_FOLDER [VOLUME_DRIVE]\n");
        return 2;
    }
    UiSession session;
    session.install = argv[1];
    session.artifacts = argv[2];
    if (argc > 3) session.volumeDrive = argv[3];
    CreateDirectoryA(session.artifacts.c_str(), nullptr);
    Check(PrepareFolder(&session), "settings, patient file and sources written");
    // QUILLON_UI_SCREENS=dpi144: only the screens, named after the DPI the
    // prefix was given.
    const char* screens = std::getenv("QUILLON_UI_SCREENS");
    if (screens != nullptr && screens[0] != '\0') {
        RunDpiScreens(&session, screens);
        EndProcess(&session.process);
        std::printf("%d passed, %d failed\n", Passes(), Failures());
        return Failures() == 0 ? 0 : 1;
    }
    RunStartup(&session);
    if (session.main != nullptr) RunSecondStart(&session);
    if (session.main != nullptr) RunSourcePageScenarios(&session);
    if (session.main != nullptr) RunPatientPageScenarios(&session);
    if (session.main != nullptr) RunPlacement(&session);
    if (session.main != nullptr) RunSourcesFromOutside(&session);
    if (session.main != nullptr) RunTypedBeforeExit(&session);
    if (session.main != nullptr) RunFrameScenarios(&session);
    if (session.main != nullptr) RunKeyboardScenarios(&session);
    if (session.main != nullptr) ShootEveryPage(&session, "dpi96");
    if (session.main != nullptr) RunWindowConversion(&session);
    if (session.main != nullptr) RunWindowEegConversion(&session);
    if (session.main != nullptr) Check(ExitByMenuKeys(&session), "Alt+F, X ends the program");
    EndProcess(&session.process);
    CopyFileA(SettingsPath(session).c_str(), (session.artifacts + "\\QUILLON.INI").c_str(), FALSE);
    CopyFileA(PatientPath(session).c_str(), (session.artifacts + "\\PATIENT.INF").c_str(), FALSE);
    std::printf("%d passed, %d failed\n", Passes(), Failures());
    return Failures() == 0 ? 0 : 1;
}
