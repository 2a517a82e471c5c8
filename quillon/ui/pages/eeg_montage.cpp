// The EEG montage page: pattern choice, its grid, registry, and the
// pattern-wide reference, ACC settings, notch and RPD40.
#include "ids/montage_ids.h"
#include "pages/montage_page.h"
#include "montage_page_common.h"
#include "record_lock.h"
#include "montage/value_tables.h"

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
            SendDlgItemMessageA(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
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

void OnCommand(HWND page, WPARAM wParam) {
    if (!OnMontagePageCommand(page, kKind, LOWORD(wParam), HIWORD(wParam)))
        OnPatternSetting(page, LOWORD(wParam), HIWORD(wParam));
}

void OnPageShown(HWND page) {
    LayoutShownMontagePage(page, kKind);
    ShowPatternSettings(page);
}

}  // namespace

INT_PTR CALLBACK EegMontagePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(page, lParam);
        case WM_DESTROY: return TRUE;
        case WM_SIZE:
            LayoutMontagePageControls(page, kKind, LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_COMMAND: OnCommand(page, wParam); return FALSE;
        case WM_PAGE_SHOWN: OnPageShown(page); return FALSE;
        default: return FALSE;
    }
}
