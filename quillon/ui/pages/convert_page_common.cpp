// The status line, save dialog, dialog 105, run timer and stop shared by
// the two convert pages, and the outcome they leave in the main window's
// status bar.
#include "convert_page_common.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "bramwick.h"
#include "file_dialog.h"
#include "runs/convert_finish.h"
#include "ids/convert_ids.h"
#include "reason_text.h"
#include "record_lock.h"
#include "resource_ids.h"
#include "runs/run_ticks.h"
#include "source/source_checks.h"
#include "ui_text.h"

namespace {

constexpr COLORREF kWarningColour = RGB(255, 0, 0);
constexpr int kProgressRange = 100;
constexpr char kFilter[] = "Wave File(*.DAT)|*.dat|All Files(*.*)|*.*|";
// The main window's status bar part that tells the last outcome.
constexpr WPARAM kStatusBarMessagePart = 1;

// Per page: what the run timer and the status line need between messages.
struct PageState {
    const ConvertPageContext* context;
    void (*ended)(HWND page);
    DWORD startTicks;
    int64_t firstOffset;
    bool warning;
};

PageState* StateOf(HWND page) {
    return reinterpret_cast<PageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

HINSTANCE PageInstance(HWND page) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(page, GWLP_HINSTANCE));
}

void LoadText(HWND page, int id, char* text, int size) {
    LoadStringCp932(PageInstance(page), static_cast<UINT>(id), text, size);
}

// The main window's status bar tells how the last run went; a host
// without one is left alone.
void ShowOutcome(HWND page, int stringId) {
    const ConvertPageContext* context = ConvertContext(page);
    HWND bar = context != nullptr ? GetDlgItem(context->mainWindow, IDC_STATUS_BAR) : nullptr;
    if (bar == nullptr) return;
    const std::wstring text = LoadWideString(PageInstance(page), static_cast<UINT>(stringId));
    SendMessageW(bar, SB_SETTEXTW, kStatusBarMessagePart, reinterpret_cast<LPARAM>(text.c_str()));
}

void ShowRunStarted(HWND page) {
    EnableControl(page, IDC_CONVERT_STOP, true);
    ShowOutcome(page, IDS_OUTCOME_RUNNING);
}

// A refused start leaves no trace of the run before.
void ResetProgress(HWND page) {
    SendDlgItemMessageW(page, IDC_CONVERT_PROGRESS, PBM_SETPOS, 0, 0);
    SetDlgItemTextW(page, IDC_CONVERT_COUNTER, L"0");
    SetDlgItemTextW(page, IDC_CONVERT_ELAPSED, L"");
}

void ShowProgress(HWND page, const AppRecord* record) {
    const PageState* state = StateOf(page);
    RunProgress progress;
    DescribeRunProgress(record, state->firstOffset,
                        static_cast<int64_t>(GetTickCount() - state->startTicks), &progress);
    SendDlgItemMessageA(page, IDC_CONVERT_PROGRESS, PBM_SETPOS,
                        static_cast<WPARAM>(progress.percent), 0);
    char elapsed[32], text[64];
    FormatElapsed(progress.elapsedSeconds, elapsed, sizeof elapsed);
    std::snprintf(text, sizeof text, "%d%%  %s", static_cast<int>(progress.percent), elapsed);
    SetDlgItemTextA(page, IDC_CONVERT_ELAPSED, text);
    UpdateWindow(GetDlgItem(page, IDC_CONVERT_ELAPSED));
}

// The finish line: string 21, or the cause and what the file holds.
void ShowRunEnd(HWND page, const FinishMessage& message, const char* errorText) {
    char cause[kStatusLineBytes] = "", holds[kStatusLineBytes] = "";
    if (message.causeCode == REASON_NONE) {
        LoadText(page, IDS_CONVERT_FINISHED, cause, sizeof cause);
    } else {
        const Reason reason = FinishReason(&message, message.causeCode, errorText);
        FormatReasonCp932(PageInstance(page), &reason, cause, sizeof cause);
    }
    if (message.holdsCode != REASON_NONE) {
        const Reason reason = FinishReason(&message, message.holdsCode, errorText);
        FormatReasonCp932(PageInstance(page), &reason, holds, sizeof holds);
    }
    char line[kStatusLineBytes * 2];
    std::snprintf(line, sizeof line, "%s%s", cause, holds);
    ShowStatusText(page, line, message.warning);
    ShowOutcome(page, RunOutcomeStringId(&message));
}

// Ends the run the record holds; the message says how it ended.
bool EndRun(HWND page, bool interrupt, FinishMessage* message, char* errorText, size_t size) {
    KillTimer(page, kConversionTimerId);
    const ConvertPageContext* context = ConvertContext(page);
    RecordLock record(context->record);
    if (!record) return false;
    record->ConversionTimer = 0;
    RunEnd end;
    FinishOwnedRun(record.record, context->settingsPath, interrupt, &end);
    DescribeRunEnd(record.record, &end, message);
    std::snprintf(errorText, size, "%s", record->RunErrorText);
    ShowProgress(page, record.record);
    EnableControl(page, IDC_CONVERT_STOP, false);
    return end.kind != kRunNone;
}

void FinishRun(HWND page, bool interrupt) {
    FinishMessage message;
    char errorText[kStatusBytes];
    const bool ended = EndRun(page, interrupt, &message, errorText, sizeof errorText);
    const PageState* state = StateOf(page);
    if (state->ended != nullptr) state->ended(page);
    if (ended) ShowRunEnd(page, message, errorText);
    if (state->context->runChanged) state->context->runChanged(state->context->mainWindow, false);
    MessageBeep(0);
}

}  // namespace

void InitConvertPage(HWND page, LPARAM context) {
    PageState* state =
        new PageState{reinterpret_cast<const ConvertPageContext*>(context), nullptr, 0, 0, false};
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    SendDlgItemMessageA(page, IDC_CONVERT_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    if (state->context->counterFont != nullptr)
        SendDlgItemMessageA(page, IDC_CONVERT_COUNTER, WM_SETFONT,
                            reinterpret_cast<WPARAM>(state->context->counterFont), FALSE);
    EnableControl(page, IDC_CONVERT_STOP, false);
}

void ReleaseConvertPage(HWND page) {
    delete StateOf(page);
    SetWindowLongPtrA(page, DWLP_USER, 0);
}

const ConvertPageContext* ConvertContext(HWND page) {
    const PageState* state = StateOf(page);
    return state != nullptr ? state->context : nullptr;
}

bool HasConvertContext(HWND page) { return ConvertContext(page) != nullptr; }

void SetRunEndedHandler(HWND page, void (*ended)(HWND page)) {
    if (StateOf(page) != nullptr) StateOf(page)->ended = ended;
}

void LoadPageString(HWND page, int stringId, char* text, int size) {
    LoadText(page, stringId, text, size);
}

void ShowStatusString(HWND page, int stringId) {
    char text[kStatusBytes];
    LoadText(page, stringId, text, sizeof text);
    ShowStatusText(page, text, false);
}

void ShowStatusText(HWND page, const char* text, bool warning) {
    if (StateOf(page) != nullptr) StateOf(page)->warning = warning;
    HWND status = GetDlgItem(page, IDC_CONVERT_STATUS);
    SetWindowTextCp932(status, text);
    InvalidateRect(status, nullptr, TRUE);
    UpdateWindow(status);
}

INT_PTR StatusLineColour(HWND page, HDC dc, HWND control) {
    const PageState* state = StateOf(page);
    if (state == nullptr || GetDlgCtrlID(control) != IDC_CONVERT_STATUS) return 0;
    SetTextColor(dc, state->warning ? kWarningColour : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

bool AskOutputPath(HWND owner, const char* title, const char* seed, char* path, int pathSize) {
    const FileDialogRequest request{kSaveDialog, title, kFilter, "DAT", seed};
    return AskFilePath(owner, request, path, static_cast<size_t>(pathSize));
}

void ShowSameNameExists(HWND page) {
    BramwickModalDialog(page, PageInstance(page), IDD_SAME_NAME_EXISTS);
}

void EnableControl(HWND page, int id, bool enabled) {
    EnableWindow(GetDlgItem(page, id), enabled ? TRUE : FALSE);
}

bool SourceUsable(HWND page) {
    SourceCheck check{};
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record || CheckSourceForConversion(record.record, &check) == kSourceUsable)
            return true;
    }
    const Reason reason = SourceVerdictReason(&check);
    ShowStartRefusal(page, &reason);
    return false;
}

void ShowStartRefusal(HWND page, const Reason* reason) {
    char text[kStatusLineBytes * 2];
    FormatReasonCp932(PageInstance(page), reason, text, sizeof text);
    ResetProgress(page);
    ShowStatusText(page, text, true);
    ShowOutcome(page, IDS_OUTCOME_REFUSED);
    MessageBeep(0);
}

void StartRunTimer(HWND page, AppRecord* record) {
    PageState* state = StateOf(page);
    state->startTicks = GetTickCount();
    state->firstOffset = record->SourceOffset;
    record->ConversionTimer =
        static_cast<uint32_t>(SetTimer(page, kConversionTimerId, kConversionTimerPeriod, nullptr));
    SetDlgItemTextA(page, IDC_CONVERT_COUNTER, "0");
    ShowProgress(page, record);
    ShowRunStarted(page);
    if (state->context->runChanged) state->context->runChanged(state->context->mainWindow, true);
}

void OnRunTimer(HWND page, void (*formatCounter)(const AppRecord*, char*, size_t)) {
    const ConvertPageContext* context = ConvertContext(page);
    if (context == nullptr) return;
    int32_t goesOn = 0;
    {
        RecordLock record(context->record);
        if (!record) return;
        const uint32_t budget = context->tickBudgetMilliseconds != 0
                                    ? context->tickBudgetMilliseconds
                                    : kTickBudgetMilliseconds;
        goesOn = RunConversionTicks(record.record, budget);
        char counter[48];
        formatCounter(record.record, counter, sizeof counter);
        SetDlgItemTextA(page, IDC_CONVERT_COUNTER, counter);
        UpdateWindow(GetDlgItem(page, IDC_CONVERT_COUNTER));
        ShowProgress(page, record.record);
    }
    if (!goesOn) FinishRun(page, false);
}

bool RunInProgress(HGLOBAL recordBlock) {
    RecordLock record(recordBlock);
    return record && record->RunOwner != kRunNone;
}

void StopRun(HWND page) {
    const ConvertPageContext* context = ConvertContext(page);
    if (context != nullptr && RunInProgress(context->record)) FinishRun(page, true);
}

void EndRunOnDestroy(HWND page) {
    const ConvertPageContext* context = ConvertContext(page);
    if (context == nullptr) return;
    const bool running = RunInProgress(context->record);
    KillTimer(page, kConversionTimerId);
    if (!running) return;
    FinishMessage message;
    char errorText[kStatusBytes];
    if (!EndRun(page, true, &message, errorText, sizeof errorText)) return;
    ShowRunEnd(page, message, errorText);
    char text[kStatusLineBytes * 2], title[kStatusBytes];
    ReadWindowTextCp932(GetDlgItem(page, IDC_CONVERT_STATUS), text, sizeof text);
    LoadText(page, IDS_EXIT_DURING_RUN, title, sizeof title);
    MessageBoxCp932(nullptr, text, title, MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

bool AskCloseDuringRun(HWND mainWindow, HGLOBAL record) {
    if (!RunInProgress(record)) return true;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    const std::wstring question = LoadWideString(instance, IDS_CLOSE_DURING_RUN_ASK);
    const std::wstring title = LoadWideString(instance, IDS_CONFIRM_TITLE);
    return MessageBoxW(mainWindow, question.c_str(), title.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}
