// Building the main window at creation and taking it down at destruction,
// in the order the settings store and the frame depend on each other.
#include <cstdio>

#include "bramwick.h"
#include "main_window.h"
#include "eeg/eeg_run.h"
#include "ostrel.h"
#include "psg/psg_run.h"
#include "record_lock.h"
#include "res/resource_ids.h"
#include "source/source_reader.h"
#include "ui_text.h"

ElectrodeNameTable g_electrodeNames;

namespace {

void ShowSplash(HWND window) {
    g_splashWindow = static_cast<HWND>(BramwickStartupWindow(window, g_instance, IDD_STARTUP));
    if (g_splashWindow != nullptr) UpdateWindow(g_splashWindow);
}

HGLOBAL CreateAppRecord(HWND window) {
    HGLOBAL block = GlobalAlloc(GHND, sizeof(AppRecord));
    if (block == nullptr) return nullptr;
    SetWindowLongPtrA(window, kAppRecordSlot, reinterpret_cast<LONG_PTR>(block));
    return block;
}

void SetTitle(HWND window, const AppRecord* record) {
    char title[160];
    std::snprintf(title, sizeof title, "Quillon Convert - %s", record->PatientInfo.Hospital);
    SetWindowTextCp932(window, title);
}

// A conversion still running at exit is ended cleanly by the kind of run
// that owns its output, whatever the output type shows by now: what was
// converted stays a complete file, and the next EEG number moves past it.
void ReleaseOutputFile(AppRecord* record, const char* settingsPath) {
    if (record->RunOwner == kRunPsg)
        ReleasePsgRun(record);
    else
        ReleaseEegRun(record, settingsPath);
}

}  // namespace

LRESULT BuildMainWindow(HWND window) {
    g_mainWindow = window;
    FindSettingsPaths(g_instance, &g_paths);
    ReadDebugSwitch(&g_paths);
    CountProgramStart(&g_paths);
    ShowSplash(window);
    HGLOBAL block = CreateAppRecord(window);
    RecordLock app(block);
    if (!app) return -1;
    app->SelfHandle = block;
    app->MainWindow = window;
    LoadSettingsBeforePages(app.record, &g_electrodeNames, &g_paths);
    CreateStatusBar(window);
    CreateMainToolbar(window, app.record);
    CreateTabPages(window, app.record);
    LoadSettingsAfterPages(app.record, &g_paths);
    CreateTypeRow(window, app.record);
    SetTitle(window, app.record);
    ShowTabPage(window, static_cast<HWND>(app->TabControl), app->CurrentTab);
    BramwickRestorePlacement(window, "INITIAL", g_paths.SettingsPath, 1);
    LoadRecentMenu(window);
    UpdateCommandStates(window);
    if (g_splashWindow != nullptr) PostMessageA(window, WM_COMMAND, IDM_STARTUP_DONE, 0);
    return 0;
}

void SaveSettings(HWND window) {
    HGLOBAL block = AppRecordHandleOf(window);
    // The pages go first, while the record is there: a convert page ends a
    // running conversion cleanly and tells the user what the file holds.
    g_currentPage = nullptr;
    DestroyWindow(GetDlgItem(window, IDC_TAB_CONTROL));
    {
        RecordLock app(block);
        if (app) {
            ReleaseOutputFile(app.record, g_paths.SettingsPath);
            CloseSourceFile(app.record);
            SaveSettingsOnExit(app.record, &g_paths);
        }
    }
    WinHelpW(window, WideFromCp932(g_paths.HelpPath).c_str(), HELP_QUIT, 0);
    BramwickStorePlacement(window, g_paths.SettingsPath);
    if (block != nullptr) GlobalFree(block);
    SetWindowLongPtrA(window, kAppRecordSlot, 0);
    g_currentPage = nullptr;
    PostQuitMessage(0);
}
