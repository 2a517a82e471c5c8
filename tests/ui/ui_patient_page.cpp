// The patient pages as a user fills them, the output type switching pages
// under the same entries, and what the program writes at exit.
#include "ui_session.h"

#include <commctrl.h>

namespace {

enum PatientIds {
    kId = 1200,
    kName1 = 1201,
    kName2 = 1202,
    kSex = 1203,
    kComment1 = 1206,
    kMedication = 1215,
    kHeight = 1216,
    kWeight = 1217,
    kBirthYear = 1251,
    kDepartment = 1254,
    kAgeYears = 1258,
};

const char kYamadaHanako[] = "\x8E\x52\x93\x63\x20\x89\xD4\x8E\x71";  // 山田 花子
const char kYamadaKana[] = "\x82\xE2\x82\xDC\x82\xBE";                // やまだ

HWND Page(const UiSession& session, int id) { return FindVisibleControl(session.main, id); }

void FillPsgPage(UiSession* session) {
    EnterText(Page(*session, kId), "UI-0042");
    EnterText(Page(*session, kName1), kYamadaHanako);
    CheckText(WindowText(Page(*session, kName1)), kYamadaHanako, "a name typed in Japanese shows");
    // Leaving the kana name keeps the double-byte text the patient file gave.
    Click(Page(*session, kName2));
    PressKey(Page(*session, kName2), VK_TAB);
    CheckText(WindowText(Page(*session, kName2)), kYamadaKana,
              "the kana name from the patient file shows");
    EnterText(Page(*session, kHeight), "170.26");
    CheckText(WindowText(Page(*session, kHeight)), "170.3", "height 170.26 shows 170.3");
    EnterText(Page(*session, kHeight), "49.9");
    CheckText(WindowText(Page(*session, kHeight)), "170.3", "height 49.9 is refused");
    EnterText(Page(*session, kWeight), "65.5");
    Check(WindowText(Page(*session, kWeight)) == "65.5", "weight 65.5 shows 65.5");
    SelectByKeys(Page(*session, kSex), 1);
    SelectByKeys(Page(*session, kBirthYear), 75);
    HWND department = Page(*session, kDepartment);
    Check(SendMessageA(department, CB_GETCOUNT, 0, 0) == 2,
          "the department list stops at the gap in its keys");
    PickFromDropDown(department, 1);
    EnterText(Page(*session, kComment1), "first comment");
    EnterText(Page(*session, kMedication), "none");
    Snapshot(*session, "patient-psg");
}

void CheckEegPageKeepsEntries(UiSession* session) {
    SelectByKeys(FindControl(session->main, kCreateTypeId), 2);
    Check(CurrentTab(*session) == 1 && Page(*session, kAgeYears) == nullptr &&
              Page(*session, kId) != nullptr,
          "Orvik EEG Format shows the short patient page");
    CheckText(WindowText(Page(*session, kId)), "UI-0042", "the short page shows the ID");
    CheckText(WindowText(Page(*session, kName1)), kYamadaHanako, "the short page shows the name");
    CheckText(WindowText(Page(*session, kComment1)), "first comment",
              "the short page shows the comment");
    CheckText(WindowText(Page(*session, kDepartment)), "Pediatrics",
              "the short page shows the department");
    CheckSelection(Page(*session, kSex), 1, "the short page shows the sex");
    CheckSelection(Page(*session, kBirthYear), 75, "the short page shows the birth year");
    Snapshot(*session, "patient-eeg");
    SelectByKeys(FindControl(session->main, kCreateTypeId), 0);
    HWND placeholder = Page(*session, kNoPatientPageId);
    Check(placeholder != nullptr && WindowText(placeholder) == "No Patient Info",
          "no output type shows \"No Patient Info\"");
    Snapshot(*session, "patient-none");
    const struct {
        int tab;
        int id;
        const char* text;
        const char* shot;
    } placeholders[] = {
        {2, kNoMontagePageId, "No Montage Info", "montage-none"},
        {3, kNoConvertPageId, "No Convert Info", "convert-none"},
    };
    for (const auto& p : placeholders) {
        ClickTab(*session, p.tab);
        HWND shown = Page(*session, p.id);
        CheckText(shown ? WindowText(shown) : "", p.text,
                  std::string("no output type shows \"") + p.text + "\"");
        Snapshot(*session, p.shot);
    }
    SelectByKeys(FindControl(session->main, kCreateTypeId), 1);
    Check(Page(*session, kNoConvertPageId) == nullptr,
          "PSG Format replaces the placeholder of the tab shown");
    ClickTab(*session, 1);
}

// After a conversion from the convert tab.
void CheckConvertAndClose(UiSession* session) {
    HWND originalType = FindControl(session->main, kOriginalTypeId);
    ClickTab(*session, 0);
    Check(!IsWindowEnabled(originalType),
          "Original Type stays locked on tab 0 until the next command");
    Snapshot(*session, "after-convert-tab0");
    ClickToolbarButton(Toolbar(*session), kCloseCommand);
    HWND toolbar = Toolbar(*session);
    Check(StatusText(FindControl(session->main, kStatusBarId), 1) == kSourceClosedText &&
              !ToolbarButtonEnabled(toolbar, kCloseCommand) && IsWindowEnabled(originalType),
          "Close reports it, disables Close and Conv and frees Original Type");
    Check(Page(*session, kNoSourcePageId) != nullptr,
          "after Close the tab shows the placeholder again");
}

void CheckFilesAtExit(UiSession* session) {
    Check(ExitByToolbar(session), "Exit ends the program with 0");
    const std::string settings = SettingsPath(*session);
    const std::string patients = PatientPath(*session);
    Check(IniValue(settings, "SYSTEM", "DelimitChar") == "1" &&
              IniValue(settings, "SYSTEM", "NotchFreq") == "1" &&
              IniValue(settings, "SYSTEM", "OrgDataMag") == "100" &&
              IniValue(settings, "SYSTEM", "OrgTimeResSw") == "1" &&
              IniValue(settings, "SYSTEM", "OrgTimeRes") == "250" &&
              IniValue(settings, "SYSTEM", "CopyFileType") == "1",
          "the settings file holds the source page's stored values");
    Check(IniValue(settings, "SYSTEM", "OrgFile") == session->labelSource,
          "the settings file names the source");
    const struct {
        const char* key;
        const char* value;
    } stored[] = {
        {"Height", "1703"},       {"Weight", "65500"},          {"ID", "UI-0042"},
        {"Name1", kYamadaHanako}, {"Name2", kYamadaKana},       {"Sex", "M"},
        {"Year", "1975"},         {"Departmemt", "Pediatrics"},
    };
    for (const auto& s : stored)
        CheckText(IniValue(patients, "PATIENT", s.key), s.value,
                  std::string("the patient file holds ") + s.key);
    Check(IniValue(patients, "DEPARMENT", "1") == "Pediatrics" &&
              IniValue(patients, "DEPARMENT", "3") == "Hidden",
          "the name lists are left as they were");
    Check(StartAndFindMain(session, ""), "the program starts again");
}

}  // namespace

void RunPatientPageScenarios(UiSession* session) {
    ClickTab(*session, 1);
    if (Page(*session, kAgeYears) == nullptr) {
        Check(false, "PSG Format shows the full patient page on tab 1");
        return;
    }
    FillPsgPage(session);
    CheckEegPageKeepsEntries(session);
    RunMontageAndConvertScenarios(session);
    CheckConvertAndClose(session);
    CheckFilesAtExit(session);
}
