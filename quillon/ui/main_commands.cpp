// The commands of the menu, the toolbar and the type lists.
#include "main_window.h"

#include <shellapi.h>

#include <cstring>

#include "bramwick.h"
#include "store/engine_trace.h"
#include "pages/main_window_states.h"
#include "pages/convert_pages.h"
#include "page_messages.h"
#include "platform.h"
#include "preview/preview_window.h"
#include "preview/view_ids.h"
#include "record_lock.h"
#include "ids/convert_ids.h"
#include "ids/montage_ids.h"
#include "res/resource_ids.h"
#include "res/text_ids.h"
#include "record_guard.h"
#include "source_file_ui.h"
#include "source/source_reader.h"
#include "store/recent_files.h"
#include "ui_text.h"

namespace {

constexpr UINT_PTR kSplashTimer = 1000;
constexpr UINT kSplashDelayMs = 1000;
// Our own help document, for systems that no longer open the legacy one.
const wchar_t kHelpDocument[] = L"\\HELP\\QUILLON.HTM";

HWND TabControlOf(HWND window) { return GetDlgItem(window, IDC_TAB_CONTROL); }

int CurrentTabOf(HWND window) {
    RecordLock app(AppRecordHandleOf(window));
    if (!app) return kSourceTab;
    return app->CurrentTab;
}

// The menu stays as it is during a run (its items never change state), so
// the commands that would end the run or swap its source refuse themselves.
bool RefusedDuringRun(HWND window) {
    bool running = false;
    {
        RecordLock app(AppRecordHandleOf(window));
        running = app && app->RunOwner != kRunNone;
    }
    if (running) MessageBeep(MB_ICONEXCLAMATION);
    return running;
}

void AfterSourceOpened(HWND window) {
    char path[kPathSize] = {};
    {
        RecordLock app(AppRecordHandleOf(window));
        if (app) {
            app->ConvertState = kConvertNotReady;
            std::memcpy(path, app->OrgFile, kPathSize);
        }
    }
    RememberRecentSource(window, path);
    ShowTabPage(window, TabControlOf(window), kSourceTab);
    FocusShownPage(window);
    ShowStatusString(window, kStatusMessage, IDS_SOURCE_OPENED);
}

void OnOpen(HWND window) {
    if (RefusedDuringRun(window)) return;
    SetFocus(window);
    int opened = 0;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (app) opened = OpenSourceFile(window, app.record) & 0xFFFF;
    }
    if (opened != 0) AfterSourceOpened(window);
    UpdateCommandStates(window);
}

void OnClose(HWND window) {
    if (RefusedDuringRun(window)) return;
    SetFocus(window);
    {
        RecordLock app(AppRecordHandleOf(window));
        if (app) CloseSourceFile(app.record);
    }
    ShowTabPage(window, TabControlOf(window), kSourceTab);
    FocusShownPage(window);
    UpdateCommandStates(window);
    ShowStatusString(window, kStatusMessage, IDS_SOURCE_CLOSED);
}

// Conv clicks the convert page's start button; for PSG output a target is
// chosen first, and nothing starts without one.
void OnConvert(HWND window) {
    if (RefusedDuringRun(window)) return;
    HGLOBAL block = AppRecordHandleOf(window);
    int32_t command = kConvertNothing;
    {
        RecordLock app(block);
        if (app) command = ConvertCommandFor(app->CopyFileType);
    }
    const bool go = command == kConvertStartEeg ||
                    (command == kConvertChoosePsgTarget && ChoosePsgTarget(window, block));
    if (go) {
        ShowTabPage(window, TabControlOf(window), kConvertTab);
        HWND page = nullptr;
        {
            RecordLock app(block);
            if (app) page = static_cast<HWND>(app->TabPages[kConvertTab]);
        }
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CONVERT_START, BN_CLICKED), 0);
    }
    UpdateCommandStates(window);
}

void OnHelp(HWND window) {
    // Shift turns the trace on, the engine's own switch with it, so that the
    // conversions that follow write their trace lines.
    if (GetKeyState(VK_SHIFT) < 0) {
        EngineTraceOn();
        return;
    }
    if (PlatFileExists(g_paths.HelpPath)) {
        WinHelpW(window, WideFromCp932(g_paths.HelpPath).c_str(), HELP_CONTENTS, 0);
        return;
    }
    const std::wstring document = WideFromCp932(g_paths.InstallFolder) + kHelpDocument;
    ShellExecuteW(window, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OnOriginalType(HWND window) {
    HWND list = GetDlgItem(window, IDC_ORIGINAL_TYPE);
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    bool onSourceTab = false;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (!app) return;
        app->OrgFileType = static_cast<uint16_t>(SendMessageA(list, CB_GETITEMDATA, index, 0));
        onSourceTab = app->CurrentTab == kSourceTab;
        if (onSourceTab) ReapplySourcePreset(app.record);
    }
    if (onSourceTab) ShowTabPage(window, TabControlOf(window), kSourceTab);
}

void OnCreateType(HWND window) {
    const LRESULT index = SendDlgItemMessageA(window, IDC_CREATE_TYPE, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (!app) return;
        app->CopyFileType = static_cast<uint16_t>(index);
    }
    ShowTabPage(window, TabControlOf(window), CurrentTabOf(window));
}

void OnRecentSource(HWND window, int command) {
    char path[kPathSize];
    if (RecentSourcePath(command, path)) OpenSourcePath(window, path);
}

void OnTypeList(HWND window, int id, int code) {
    if (code != CBN_SELCHANGE) return;
    if (id == IDC_ORIGINAL_TYPE) OnOriginalType(window);
    if (id == IDC_CREATE_TYPE) OnCreateType(window);
}

}  // namespace

void OnMainCommand(HWND window, WPARAM wParam) {
    const int id = LOWORD(wParam);
    switch (id) {
        case IDM_NEW_PATIENT: OnNewPatientCommand(window); break;
        case IDM_OPEN: OnOpen(window); break;
        case IDM_CLOSE: OnClose(window); break;
        case IDM_CONVERT: OnConvert(window); break;
        case IDM_EXIT: PostMessageA(window, WM_CLOSE, 0, 0); break;
        case IDM_HELP: OnHelp(window); break;
        case IDM_PREVIEW: ShowPreviewWindow(window); break;
        case IDM_ABOUT: BramwickAboutBox(window, g_instance, IDD_ABOUT, 0, nullptr, 0); break;
        case IDM_HOSPITAL_LIST:
        case IDM_PATIENT_LIST:
        case IDM_MONTAGE_OPTION: BramwickModalDialog(window, g_instance, IDD_NOT_AVAILABLE); break;
        case IDM_STARTUP_DONE: SetTimer(window, kSplashTimer, kSplashDelayMs, nullptr); break;
        case IDC_ORIGINAL_TYPE:
        case IDC_CREATE_TYPE: OnTypeList(window, id, HIWORD(wParam)); break;
        case IDM_NEXT_TAB: SwitchTab(window, 1); break;
        case IDM_PREVIOUS_TAB: SwitchTab(window, -1); break;
        default:
            if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + kRecentFileCount)
                OnRecentSource(window, id);
            break;
    }
}

// One second after start-up the start-up window goes; nothing waits for it.
void OnStartupTimer(HWND window) {
    KillTimer(window, kSplashTimer);
    if (g_splashWindow != nullptr) PostMessageA(g_splashWindow, WM_CLOSE, 0, 0);
    g_splashWindow = nullptr;
}

int OpenSourcePath(HWND window, const char* path) {
    if (RefusedDuringRun(window)) return 0;
    SetFocus(window);
    uint16_t opened = 0;
    {
        RecordLock app(AppRecordHandleOf(window));
        if (app) opened = OpenSourceChecked(window, app.record, path);
    }
    if (opened != 0) AfterSourceOpened(window);
    UpdateCommandStates(window);
    return opened;
}
