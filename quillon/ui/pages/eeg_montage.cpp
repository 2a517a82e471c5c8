// The EEG montage page: pattern choice, its grid, registry, and the
// pattern-wide reference, ACC settings, notch and RPD40.
#include "ids/montage_ids.h"
#include "pages/montage_page.h"
#include "montage_page_common.h"
#include "page_dispatch.h"
#include "record_lock.h"
#include "montage/value_tables.h"
#include "ui_text.h"

namespace {

constexpr MontageKind kKind = kEegMontage;
const int kPatternLists[] = {IDC_EEG_REFERENCE, IDC_EEG_ACC_SENS, IDC_EEG_ACC_LFF, IDC_EEG_ACC_HFF,
                             IDC_EEG_ACC_CAL};
const int kPatternChecks[] = {IDC_EEG_NOTCH, IDC_EEG_RAPID};

void FillPatternLists(HWND page) {
    for (int id : kPatternLists) {
        SendDlgItemMessageA(page, id, CB_RESETCONTENT, 0, 0);
        char text[kTableEntrySize + 1];
        for (int i = 0; EegPatternListText(id, i, text); ++i)
            SendListTextCp932(GetDlgItem(page, id), CB_ADDSTRING, 0, text);
    }
}

// Set only when the page is shown: a pattern picked meanwhile leaves them
// showing the previous pattern's values.
void ShowPatternSettings(HWND page) {
    const MontagePageContext* context = PageContext(page);
    if (context == nullptr) return;
    RecordLock record(context->record);
    if (!record) return;
    for (int id : kPatternLists)
        SendDlgItemMessageA(page, id, CB_SETCURSEL,
                            static_cast<WPARAM>(EegPatternControlValue(record.record, id)), 0);
    for (int id : kPatternChecks)
        CheckDlgButton(page, id,
                       EegPatternControlValue(record.record, id) ? BST_CHECKED : BST_UNCHECKED);
}

void StorePatternSetting(HWND page, int id, int value) {
    const MontagePageContext* context = PageContext(page);
    if (context == nullptr) return;
    RecordLock record(context->record);
    if (record) StoreEegPatternControl(record.record, id, value);
}

void OnPatternSetting(HWND page, WORD id, WORD code) {
    if (id == IDC_EEG_NOTCH || id == IDC_EEG_RAPID)
        return StorePatternSetting(page, id, IsDlgButtonChecked(page, id) == BST_CHECKED);
    if (code != CBN_SELCHANGE) return;
    const int selected = static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
    if (selected >= 0) StorePatternSetting(page, id, selected);
}

INT_PTR OnInitDialog(HWND page, LPARAM context) {
    InitMontagePage(page, kKind, context);
    FillPatternLists(page);
    return TRUE;
}

void OnCommand(HWND page, WORD id, WORD code) {
    if (!OnMontagePageCommand(page, kKind, id, code)) OnPatternSetting(page, id, code);
}

void OnSize(HWND page, int width, int height) {
    LayoutMontagePageControls(page, kKind, width, height);
}

void OnPageShown(HWND page) {
    LayoutShownMontagePage(page, kKind);
    ShowPatternSettings(page);
}

constexpr PageHandlers kHandlers = {
    nullptr,       // ready
    OnInitDialog,  // WM_INITDIALOG
    nullptr,       // WM_DESTROY
    nullptr,       // WM_NCDESTROY
    OnSize,        // WM_SIZE
    OnCommand,     // WM_COMMAND
    nullptr,       // WM_TIMER
    nullptr,       // WM_CTLCOLORSTATIC
    OnPageShown,   // WM_PAGE_SHOWN
};

}  // namespace

INT_PTR CALLBACK EegMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, kHandlers, message, wParam, lParam);
}
