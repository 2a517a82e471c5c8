// The PSG convert page: target file, frame time, record comment, and the
// run it starts.
#include <cstdio>
#include <initializer_list>

#include "ids/convert_ids.h"
#include "convert_page_common.h"
#include "convert_summary_block.h"
#include "page_dispatch.h"
#include "psg/psg_run.h"
#include "record_lock.h"
#include "runs/start_reasons.h"
#include "ui_text.h"

namespace {

struct FrameTimeItem {
    const char* text;
    int32_t seconds;
};
constexpr FrameTimeItem kFrameTimes[] = {
    {"  1sec ", 1}, {"  2sec ", 2}, {"  5sec ", 5}, {" 10sec ", 10}};
constexpr int kCommentBytes = 32;

HWND FrameTimeList(HWND page) { return GetDlgItem(page, IDC_PSG_FRAME_TIME); }

void FillFrameTimes(HWND page, int32_t current) {
    for (const FrameTimeItem& item : kFrameTimes) {
        const LRESULT index =
            SendMessageA(FrameTimeList(page), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text));
        if (index < 0) continue;
        SendMessageA(FrameTimeList(page), CB_SETITEMDATA, index, item.seconds);
        if (item.seconds == current)
            SendMessageA(FrameTimeList(page), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

// Buttons, fields and (when asked) the status for the record's state.
void ShowState(HWND page, const AppRecord* record, bool showStatus) {
    PsgPageView view;
    DescribePsgConvertPage(record, &view);
    if (view.startButton >= 0) EnableControl(page, IDC_CONVERT_START, view.startButton != 0);
    EnableControl(page, IDC_PSG_SELECT, view.selectButton != 0);
    for (int id : {IDC_PSG_FRAME_TIME, IDC_PSG_COMMENT, IDC_CONVERT_POLARITY})
        EnableControl(page, id, view.fieldsEnabled != 0);
    if (showStatus && view.statusStringId != 0) ShowStatusString(page, view.statusStringId);
}

void Refresh(HWND page) {
    RecordLock record(ConvertContext(page)->record);
    if (!record) return;
    CheckDlgButton(page, IDC_CONVERT_POLARITY, record->PolarityCopy ? BST_CHECKED : BST_UNCHECKED);
    SetItemTextCp932(page, IDC_PSG_TARGET, record->PsgTargetPath);
    SetItemTextCp932(page, IDC_PSG_COMMENT, record->RecordComment);
    ShowState(page, record.record, true);
    ShowConvertSummary(page);
}

// The finish wrote its own status line: only the controls follow.
void OnRunEnded(HWND page) {
    RecordLock record(ConvertContext(page)->record);
    if (record) ShowState(page, record.record, false);
}

// The save dialog runs its own message loop: the record is not locked
// meanwhile.
void OnSelectTarget(HWND page) {
    const ConvertPageContext* context = ConvertContext(page);
    if (ChoosePsgTarget(context->mainWindow, context->record) && context->showConvertTab)
        context->showConvertTab(context->mainWindow);
    Refresh(page);
}

// One start on the record; a refusal is shown unless the target is still
// to be chosen.
PsgStartResult StartOnce(HWND page) {
    PsgStartResult result{};
    RecordLock record(ConvertContext(page)->record);
    if (!record) return result;
    StartPsgConversion(record.record, &result);
    if (result.outcome == kPsgStarted) {
        StartRunTimer(page, record.record);
        ShowState(page, record.record, true);
    } else if (result.outcome != kPsgStartNoTarget) {
        const Reason reason = PsgStartReason(&result);
        ShowStartRefusal(page, &reason);
    }
    return result;
}

// Without a target the save dialog asks for one and the start goes on
// with it; cancelling it leaves everything as it was.
void OnStart(HWND page) {
    if (!SourceUsable(page)) return;
    PsgStartResult result = StartOnce(page);
    if (result.outcome == kPsgStartNoTarget) {
        const ConvertPageContext* context = ConvertContext(page);
        if (!ChoosePsgTarget(context->mainWindow, context->record)) return;
        Refresh(page);
        result = StartOnce(page);
    }
    if (result.outcome == kPsgStartTargetExists) ShowSameNameExists(page);
}

void OnFrameTime(HWND page) {
    const LRESULT index = SendMessageA(FrameTimeList(page), CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    RecordLock record(ConvertContext(page)->record);
    if (!record || record->ConvertState == kConvertRunning) return;
    record->FrameTime =
        static_cast<int32_t>(SendMessageA(FrameTimeList(page), CB_GETITEMDATA, index, 0));
}

void OnComment(HWND page) {
    char comment[kCommentBytes] = {};
    ReadWindowTextCp932(GetDlgItem(page, IDC_PSG_COMMENT), comment, sizeof comment);
    RecordLock record(ConvertContext(page)->record);
    if (!record || record->ConvertState == kConvertRunning) return;
    std::snprintf(record->RecordComment, sizeof record->RecordComment, "%s", comment);
}

void OnPolarity(HWND page) {
    const bool checked = IsDlgButtonChecked(page, IDC_CONVERT_POLARITY) == BST_CHECKED;
    RecordLock record(ConvertContext(page)->record);
    if (record && record->ConvertState != kConvertRunning) record->PolarityCopy = checked ? 1 : 0;
}

INT_PTR OnInitDialog(HWND page, LPARAM context) {
    InitConvertPage(page, context);
    SetRunEndedHandler(page, OnRunEnded);
    SendDlgItemMessageA(page, IDC_PSG_COMMENT, EM_LIMITTEXT, kCommentBytes - 1, 0);
    RecordLock record(ConvertContext(page)->record);
    FillFrameTimes(page, record ? record->FrameTime : 0);
    return TRUE;
}

void OnCommand(HWND page, WORD id, WORD code) {
    switch (id) {
        case IDC_PSG_SELECT: return OnSelectTarget(page);
        case IDC_CONVERT_START: return OnStart(page);
        case IDC_CONVERT_STOP: return StopRun(page);
        case IDC_PSG_FRAME_TIME: return OnFrameTime(page);
        case IDC_PSG_COMMENT:
            if (code == EN_KILLFOCUS) OnComment(page);
            return;
        case IDC_CONVERT_POLARITY: return OnPolarity(page);
        default: return;
    }
}

void OnTimer(HWND page, UINT_PTR id) {
    if (id == kConversionTimerId) OnRunTimer(page, FormatPsgFrameCounter);
}

constexpr PageHandlers kHandlers = {
    HasConvertContext,   // ready
    OnInitDialog,        // WM_INITDIALOG
    EndRunOnDestroy,     // WM_DESTROY
    ReleaseConvertPage,  // WM_NCDESTROY
    nullptr,             // WM_SIZE
    OnCommand,           // WM_COMMAND
    OnTimer,             // WM_TIMER
    StatusLineColour,    // WM_CTLCOLORSTATIC
    Refresh,             // WM_PAGE_SHOWN
};

}  // namespace

bool ChoosePsgTarget(HWND mainWindow, HGLOBAL recordBlock) {
    char seed[kPathSize] = {}, path[kPathSize] = {};
    {
        RecordLock record(recordBlock);
        if (!record || record->ConvertState == kConvertRunning) return false;
        std::snprintf(seed, sizeof seed, "%s", record->CopyFile);
    }
    if (!AskOutputPath(mainWindow, "PSG Convert File Select", seed, path, sizeof path))
        return false;
    RecordLock record(recordBlock);
    return record && SetPsgTarget(record.record, path) != 0;
}

INT_PTR CALLBACK PsgConvertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, kHandlers, message, wParam, lParam);
}
