// The status line, save dialog, dialog 105 and run timer shared by the two
// convert pages.
#include "convert_page_common.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "bramwick.h"
#include "file_dialog.h"
#include "runs/convert_finish.h"
#include "ids/convert_ids.h"
#include "record_lock.h"
#include "runs/run_ticks.h"
#include "source/source_checks.h"

namespace {

constexpr COLORREF kWarningColour = RGB(255, 0, 0);
constexpr int kProgressRange = 100;
constexpr char kFilter[] = "Wave File(*.DAT)|*.dat|All Files(*.*)|*.*|";

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
    text[0] = '\0';
    LoadStringA(PageInstance(page), static_cast<UINT>(id), text, size);
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
    char pattern[kStatusBytes], cause[kStatusLineBytes], holds[kStatusLineBytes];
    LoadText(page, message.causeStringId, pattern, sizeof pattern);
    FormatFinishText(pattern, &message, errorText, cause, sizeof cause);
    holds[0] = '\0';
    if (message.holdsStringId != 0) {
        LoadText(page, message.holdsStringId, pattern, sizeof pattern);
        FormatFinishText(pattern, &message, errorText, holds, sizeof holds);
    }
    char line[kStatusLineBytes];
    std::snprintf(line, sizeof line, "%s%s", cause, holds);
    ShowStatusText(page, line, message.warning);
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
    return end.kind != kRunNone;
}

void FinishRun(HWND page) {
    FinishMessage message;
    char errorText[kStatusBytes];
    const bool ended = EndRun(page, false, &message, errorText, sizeof errorText);
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
    SetWindowTextA(status, text);
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
    char text[kStatusLineBytes];
    FormatSourceVerdict(&check, text, sizeof text);
    ShowStatusText(page, text, true);
    MessageBeep(0);
    return false;
}

void StartRunTimer(HWND page, AppRecord* record) {
    PageState* state = StateOf(page);
    state->startTicks = GetTickCount();
    state->firstOffset = record->SourceOffset;
    record->ConversionTimer =
        static_cast<uint32_t>(SetTimer(page, kConversionTimerId, kConversionTimerPeriod, nullptr));
    SetDlgItemTextA(page, IDC_CONVERT_COUNTER, "0");
    ShowProgress(page, record);
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
    if (!goesOn) FinishRun(page);
}

void EndRunOnDestroy(HWND page) {
    const ConvertPageContext* context = ConvertContext(page);
    if (context == nullptr) return;
    bool running = false;
    {
        RecordLock record(context->record);
        running = record && record->RunOwner != kRunNone;
    }
    KillTimer(page, kConversionTimerId);
    if (!running) return;
    FinishMessage message;
    char errorText[kStatusBytes];
    if (!EndRun(page, true, &message, errorText, sizeof errorText)) return;
    ShowRunEnd(page, message, errorText);
    char text[kStatusLineBytes], title[kStatusBytes];
    GetDlgItemTextA(page, IDC_CONVERT_STATUS, text, sizeof text);
    LoadText(page, IDS_EXIT_DURING_RUN, title, sizeof title);
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}
