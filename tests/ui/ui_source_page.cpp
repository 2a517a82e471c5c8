// The source page as a user works it: open a source through the open
// dialog, describe its layout, take the labels, and see every change kept.
#include "ui_session.h"

#include <commctrl.h>

namespace {

enum SourceIds {
    kFileName = 1213,
    kYear = 1216,
    kMonth = 1217,
    kDay = 1218,
    kHour = 1219,
    kMinute = 1220,
    kSecond = 1221,
    kPresetName = 1222,
    kChannelCount = 1223,
    kHeaderList = 1224,
    kSampleRate = 1225,
    kDataStart = 1226,
    kDataBias = 1227,
    kLabelLine = 1228,
    kDelimiter = 1229,
    kNotch = 1230,
    kSetLabels = 1242,
    kSetDataStart = 1243,
    kCalibrated = 1245,
    kTimeRes = 1260,
    kTimeResSwitch = 1261,
    kDataMag = 1278,
};

HWND Page(const UiSession& session, int id) { return FindVisibleControl(session.main, id); }

// The open dialog, answered by typing the path and Enter.
bool OpenThroughDialog(UiSession* session, const std::string& path) {
    ClickToolbarButton(Toolbar(*session), kOpenCommand);
    HWND dialog = WaitForDialog(*session, "Normal Text File Select");
    Check(dialog != nullptr, "Open shows \"Normal Text File Select\"");
    if (dialog == nullptr) return false;
    Snapshot(*session, "open-dialog");
    HWND edit = FindChildOfClass(dialog, "Edit");
    if (edit == nullptr) return false;
    ReplaceText(edit, path);
    PressKey(edit, VK_RETURN);
    // The preset applied on opening finds 2 labels over 1 data column and
    // asks once when the page shows; Cancel keeps the 2 labels.
    HWND recheck = WaitForDialog(*session, kConfirmTitle);
    Check(recheck != nullptr, "opening with a preset checks the data columns once");
    if (recheck != nullptr) Click(FindControl(recheck, IDCANCEL));
    Settle(session->main);
    return true;
}

void CheckOpened(UiSession* session) {
    HWND list = Page(*session, kHeaderList);
    Check(list != nullptr && WindowText(Page(*session, kFileName)) == session->labelSource,
          "the source page shows the opened file");
    Check(ListCount(list) == 22,
          "the header list shows every line of a source its head holds whole");
    CheckText(ListText(list, 0), "Sample \xB6\xC0\xB6\xC5 recording",
              "half-width katakana stay in the list");
    CheckText(StatusText(FindControl(session->main, kStatusBarId), 1), kSourceOpenedText,
              "the status bar reports the opened source");
    HWND toolbar = Toolbar(*session);
    Check(ToolbarButtonEnabled(toolbar, kCloseCommand) &&
              ToolbarButtonEnabled(toolbar, kConvertCommand),
          "Close and Conv enable");
    Check(WindowText(Page(*session, kPresetName)) == "Blank separated", "the preset's label shows");
}

// "<< Set" on a line of three labels over four data columns asks; OK takes 4.
void TakeLabels(UiSession* session) {
    SelectByKeys(Page(*session, kDelimiter), 0);
    SelectByKeys(Page(*session, kDataBias), 1);
    HWND list = Page(*session, kHeaderList);
    ClickItem(list, LB_GETITEMRECT, 1);
    Click(Page(*session, kSetLabels));
    HWND dialog = WaitForDialog(*session, kConfirmTitle);
    Check(dialog != nullptr, "labels and data columns differ: dialog 103 asks");
    if (dialog == nullptr) return;
    Snapshot(*session, "label-count-dialog");
    Click(FindControl(dialog, IDOK));
    Settle(session->main);
    CheckSelection(Page(*session, kChannelCount), 4, "OK adopts the 4 data columns");
    CheckSelection(Page(*session, kLabelLine), 1, "the label line becomes the selected line");
    Click(Page(*session, kSetDataStart));
    CheckSelection(Page(*session, kDataStart), 1, "\"<< Set\" takes the data start line");
}

struct TypedCase {
    int id;
    const char* typed;
    const char* shown;
    const char* what;
};

const TypedCase kTypedCases[] = {
    {kYear, "1989", "2000", "year 1989 is refused"}, {kYear, "2015", "2015", "year 2015 is taken"},
    {kMonth, "13", "01", "month 13 is refused"},     {kMonth, "7", "07", "month 7 is taken"},
    {kDay, "31", "31", "day 31 is taken"},           {kHour, "23", "23", "hour 23 is taken"},
    {kMinute, "60", "00", "minute 60 is refused"},   {kSecond, "59", "59", "second 59 is taken"},
};

void TypeValues(UiSession* session) {
    for (const TypedCase& c : kTypedCases) {
        EnterText(Page(*session, c.id), c.typed);
        CheckText(WindowText(Page(*session, c.id)), c.shown, c.what);
    }
    Click(Page(*session, kTimeResSwitch));
    HWND timeRes = Page(*session, kTimeRes);
    Check(IsWindowEnabled(timeRes) != 0, "the time resolution check box enables its edit");
    EnterText(timeRes, "250");
    EnterText(timeRes, "20000");
    Check(WindowText(timeRes) == "  250", "time resolution 250 taken, 20000 refused");
    HWND rateEdit = FindChildOfClass(Page(*session, kSampleRate), "Edit");
    EnterText(rateEdit, "123");
    Check(WindowText(Page(*session, kSampleRate)) == " 123 ",
          "a typed rate of 123 is taken for PSG output");
}

void ChooseLists(UiSession* session) {
    SelectByKeys(Page(*session, kChannelCount), 8);
    SelectByKeys(Page(*session, kNotch), 1);
    Click(Page(*session, kCalibrated));
    HWND mag = Page(*session, kDataMag);
    Check(IsWindowEnabled(mag) != 0, "Calibration Data enables Data Mag");
    SelectByKeys(mag, 8);
    SelectByKeys(Page(*session, kDelimiter), 1);
}

// Showing the page again rebuilds it from the record: what shows now is
// what the record holds.
void CheckKeptAfterReshow(UiSession* session) {
    ClickTab(*session, 1);
    ClickTab(*session, 0);
    const struct {
        int id;
        int index;
        const char* what;
    } kept[] = {
        {kChannelCount, 8, "Ch Number"},    {kNotch, 1, "Notch Freq."},
        {kDataMag, 8, "Data Mag"},          {kDelimiter, 1, "Text Divided Char."},
        {kDataBias, 1, "Data Point Bias"},  {kLabelLine, 1, "Ch Label Line"},
        {kDataStart, 1, "Data Start Line"},
    };
    for (const auto& k : kept)
        CheckSelection(Page(*session, k.id), k.index,
                       std::string(k.what) + " shows its value when shown again");
    Check(
        WindowText(Page(*session, kYear)) == "2015" && WindowText(Page(*session, kMonth)) == "07" &&
            WindowText(Page(*session, kDay)) == "31" && WindowText(Page(*session, kHour)) == "23" &&
            WindowText(Page(*session, kSecond)) == "59" &&
            WindowText(Page(*session, kSampleRate)) == " 123 ",
        "the typed values show again when the page is shown again");
    Snapshot(*session, "source-page");
}

void RefuseRateForEeg(UiSession* session) {
    SelectByKeys(FindControl(session->main, kCreateTypeId), 2);
    HWND rateEdit = FindChildOfClass(Page(*session, kSampleRate), "Edit");
    EnterText(rateEdit, "250");
    Check(WindowText(Page(*session, kSampleRate)) == " 123 ",
          "a typed rate is refused for EEG output");
    SelectByKeys(FindControl(session->main, kCreateTypeId), 1);
}

}  // namespace

void ClickTab(const UiSession& session, int tab) {
    ClickItem(TabControl(session), TCM_GETITEMRECT, tab);
}

void RunSourcePageScenarios(UiSession* session) {
    if (!OpenThroughDialog(session, session->labelSource)) return;
    CheckOpened(session);
    TakeLabels(session);
    TypeValues(session);
    ChooseLists(session);
    RefuseRateForEeg(session);
    CheckKeptAfterReshow(session);
}
