#include "record_guard.h"

#include "main_window.h"
#include "montage_page_common.h"
#include "pages/patient_page.h"
#include "record_lock.h"
#include "res/text_ids.h"
#include "ui_text.h"

namespace {

constexpr int kQuestionBytes = 256;

bool UserAgreesToClear(HWND window) {
    char question[kQuestionBytes] = {};
    char caption[kQuestionBytes] = {};
    LoadStringCp932(g_instance, IDS_NEW_PATIENT_ASK, question, sizeof question);
    LoadStringCp932(g_instance, IDS_CONFIRM_CAPTION, caption, sizeof caption);
    const UINT type = MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION;
    return MessageBoxCp932(window, question, caption, type) == IDYES;
}

}  // namespace

void OnNewPatientCommand(HWND window) {
    HGLOBAL block = AppRecordHandleOf(window);
    bool holdsEntries = false;
    {
        RecordLock app(block);
        if (!app) return;
        holdsEntries = PatientHoldsEntries(&app->PatientInfo) != 0;
    }
    if (holdsEntries && !UserAgreesToClear(window)) return;
    HWND pages[kPageTypeCount] = {};
    {
        RecordLock app(block);
        if (!app) return;
        ClearPatientForNext(&app->PatientInfo);
        for (int i = 0; i < kPageTypeCount; ++i) pages[i] = static_cast<HWND>(app->PatientPages[i]);
    }
    for (HWND page : pages)
        if (page != nullptr) SendMessageW(page, WM_PAGE_SHOWN, 0, 0);
    ShowStatusString(window, kStatusMessage, IDS_NEW_PATIENT_DONE);
}

bool ConfirmCloseKeepsEntries(HWND window) {
    return OfferPatternRegistration(window, g_instance, AppRecordHandleOf(window),
                                    g_paths.SettingsPath);
}
