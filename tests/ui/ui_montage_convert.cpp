// The montage and convert tabs of the program itself: the grids and pages
// each output type shows, and a PSG conversion started by Conv, its target
// typed into the save dialog, run to its end by the window.
#include "ui_session.h"

namespace {

const char kOddValuesText[] =  // 変換は終了しましたが、26個の値が範囲外か数値ではありませんでした。
    "\x95\xCF\x8A\xB7\x82\xCD\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x82\xAA\x81\x41\x32"
    "\x36"
    "\x8C\xC2\x82\xCC\x92\x6C\x82\xAA\x94\xCD\x88\xCD\x8A\x4F\x82\xA9\x90\x94\x92\x6C\x82\xC5\x82"
    "\xCD"
    "\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";
const char kHoldsTenFrames[] =  // ﾌｧｲﾙには最初の10ﾌﾚｰﾑ（
    "\xCC\xA7\xB2\xD9\x82\xC9\x82\xCD\x8D\xC5\x8F\x89\x82\xCC"
    "10\xCC\xDA\xB0\xD1\x81i";
// 最初のﾃﾞｰﾀ行（2行目）のﾃﾞｰﾀは3列しかなく、4列目がありません（ﾁｬﾈﾙ数は8）
const char kColumnsShort[] =
    "\x8D\xC5\x8F\x89\x82\xCC\xC3\xDE\xB0\xC0\x8Ds\x81i2\x8Ds\x96\xDA\x81j\x82\xCC\xC3\xDE\xB0\xC0"
    "\x82\xCD"
    "3\x97\xF1\x82\xB5\x82\xA9\x82\xC8\x82\xAD\x81"
    "A4\x97\xF1\x96\xDA\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81i\xC1\xAC\xC8\xD9\x90"
    "\x94\x82\xCD"
    "8\x81j";
const char kOutcomeFinished[] =
    "\x95\xCF\x8A\xB7\x82\xF0\x8A\xAE\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";  // 変換を完了しました。
const char kOutcomeRefused[] =
    "\x95\xCF\x8A\xB7\x82\xF0\x8AJ\x8En\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82"
    "\xBD\x81"
    "B";                       // 変換を開始できませんでした。
const char kDiskIdCreated[] =  // を作成しました。
    "\x82\xF0\x8D\xEC\x90\xAC\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81"
    "B";
const char kWarningTitle[] = "\x8C\x78\x8D\x90";  // 警告

enum PageIds {
    kPatternCopy = 1303,
    kSampleRateId = 1225,
    kTimeResSwitchId = 1261,
    kEegDiskId = 1247,
    kEegCreateDiskId = 1270,
    kGridId = 1301,
    kPsgSelect = 1226,
    kCounter = 1230,
    kConvertStatus = 1231,
    kEegDrive = 1246,
};

const char kFinishedText[] =  // 変換が正常に終了しました。
    "\x95\xCF\x8A\xB7\x82\xAA\x90\xB3\x8F\xED\x82\xC9\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82"
    "\xBD\x81\x42";

std::string ClassOf(HWND window) {
    char name[64] = {};
    if (window != nullptr) GetClassNameA(window, name, sizeof name);
    return name;
}

HWND Shown(const UiSession& session, int id) { return FindVisibleControl(session.main, id); }

void CheckMontageTab(UiSession* session) {
    ClickTab(*session, 2);
    Check(ClassOf(Shown(*session, kGridId)) == "VPSGMONTINFOPATTERN",
          "PSG output shows the PSG montage grid");
    Snapshot(*session, "montage-psg");
    Click(Shown(*session, kPatternCopy));
    HWND notice = WaitForDialog(*session, kWarningTitle);
    Check(notice != nullptr,
          "Pattern Copy... on the PSG page shows the not-yet-available notice 508");
    Snapshot(*session, "notice-508");
    if (notice != nullptr) Click(FindControl(notice, IDOK));
    SelectByKeys(FindControl(session->main, kCreateTypeId), 2);
    Check(ClassOf(Shown(*session, kGridId)) == "VEEGMONTINFOPATTERN",
          "EEG output shows the EEG montage grid");
    Snapshot(*session, "montage-eeg");
}

void CheckEegConvertPage(UiSession* session) {
    ClickTab(*session, 3);
    HWND drives = Shown(*session, kEegDrive);
    Check(drives != nullptr && SendMessageA(drives, CB_GETCOUNT, 0, 0) > 0,
          "the EEG convert page lists the drives");
    Snapshot(*session, "convert-eeg");
    SelectByKeys(FindControl(session->main, kCreateTypeId), 1);
    Check(Shown(*session, kPsgSelect) != nullptr, "PSG output shows the PSG convert page");
}

bool RunEnded(void* context) {
    const auto* session = static_cast<const UiSession*>(context);
    return ToolbarButtonEnabled(Toolbar(*session), kConvertCommand) &&
           !WindowText(Shown(*session, kConvertStatus)).empty();
}

// The menu's command reaches the page by a posted message: until the run has
// started, the toolbar is free and the status still says the Disk ID was
// created.
bool RunEndedAfterReady(void* context) {
    const auto* session = static_cast<const UiSession*>(context);
    return RunEnded(context) &&
           WindowText(Shown(*session, kConvertStatus)).find(kDiskIdCreated) == std::string::npos;
}

// Conv with PSG output: the target typed into the save dialog, then the
// convert tab shows the run to its end.
bool ConvertByConv(UiSession* session, const std::string& target) {
    DeleteFileA(target.c_str());
    ClickToolbarButton(Toolbar(*session), kConvertCommand);
    HWND dialog = WaitForDialog(*session, "PSG Convert File Select");
    Check(dialog != nullptr, "Conv with PSG output asks for the target file");
    HWND edit = dialog != nullptr ? FindChildOfClass(dialog, "Edit") : nullptr;
    if (edit == nullptr) return false;
    ReplaceText(edit, target);
    PressKey(edit, VK_RETURN);
    const bool ended = WaitUntil(kActionTimeoutMs, RunEnded, session);
    Check(ended && CurrentTab(*session) == 3, "the run Conv started ends on tab 3");
    return ended;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The labels source read as blank separated gives fewer columns than the
// 8 channels set: refused before anything is created, the reason in the
// page's status; its line "A B C" is line 1, the data line 2.
void CheckPsgRefusal(UiSession* session) {
    const std::string target = session->artifacts + "\\refused.edf";
    if (!ConvertByConv(session, target)) return;
    const std::string status = WindowText(Shown(*session, kConvertStatus));
    Check(status.rfind(kColumnsShort, 0) == 0,
          "the page names in Japanese why it refused, the line as the head list counts it: " +
              status);
    Check(!FileExists(target), "a refused run creates no file");
    CheckText(StatusText(FindControl(session->main, kStatusBarId), 1), kOutcomeRefused,
              "the status bar tells the start was refused");
    Check(!IsWindowEnabled(FindControl(session->main, kOriginalTypeId)),
          "Original Type stays locked on tab 3");
    Snapshot(*session, "convert-psg-refused");
}

}  // namespace

// The dropped blank-separated source with its 3 columns, converted to the
// artifacts folder; quillon-cli converts the same source with the files
// saved at exit and must write the same bytes.
void RunWindowConversion(UiSession* session) {
    ClickTab(*session, 0);
    // The blank-separated preset fits the dropped file.
    SelectByKeys(FindControl(session->main, kOriginalTypeId), 1);
    SelectByKeys(FindVisibleControl(session->main, kChannelCountId), 3);
    Click(FindVisibleControl(session->main, kTimeResSwitchId));
    EnterText(FindChildOfClass(FindVisibleControl(session->main, kSampleRateId), "Edit"), "200");
    Snapshot(*session, "source-before-window-conversion");
    const std::string target = session->artifacts + "\\window.edf";
    if (!ConvertByConv(session, target)) return;
    CheckText(WindowText(Shown(*session, kConvertStatus)), kFinishedText,
              "the page says the run ended normally");
    Check(WindowText(Shown(*session, kCounter)) != "0", "the counter shows the frames converted");
    Check(FileExists(target), "the target file is written");
    CheckText(StatusText(FindControl(session->main, kStatusBarId), 1), kOutcomeFinished,
              "the status bar tells the last outcome");
    Check(IsWindowEnabled(FindControl(session->main, kCreateTypeId)) != FALSE,
          "Create Type is free again after the run");
    CopyFileA(session->blankSource.c_str(), (session->artifacts + "\\blank.txt").c_str(), FALSE);
    Snapshot(*session, "convert-psg-done");
}

void RunMontageAndConvertScenarios(UiSession* session) {
    CheckMontageTab(session);
    CheckEegConvertPage(session);
    CheckPsgRefusal(session);
}

// EEG output to the drive mapped to a scratch folder: a Disk ID typed and
// created on the page, then the menu's Convert; quillon-cli later writes the
// same volume from the files saved at exit.
void RunWindowEegConversion(UiSession* session) {
    if (session->volumeDrive.empty()) return;
    SelectByKeys(FindControl(session->main, kCreateTypeId), 2);
    ClickTab(*session, 3);
    HWND drives = Shown(*session, kEegDrive);
    PostMessageA(drives, WM_CHAR, static_cast<unsigned char>(session->volumeDrive[0]), 1);
    Settle(session->main);
    CheckText(WindowText(drives), session->volumeDrive + " HD",
              "the mapped drive is offered as a hard disk");
    ReplaceText(Shown(*session, kEegDiskId), "QUI01");
    Click(Shown(*session, kEegCreateDiskId));
    const std::string created = WindowText(Shown(*session, kConvertStatus));
    Check(created.find(kDiskIdCreated) != std::string::npos,
          "the page tells the Disk ID was created: " + created);
    // File > Convert, the menu opened as Alt+F opens it, its third item.
    PostMessageA(session->main, WM_SYSCOMMAND, SC_KEYMENU, 'f');
    Settle(session->main);
    PressKey(session->main, VK_DOWN);
    PressKey(session->main, VK_DOWN);
    PressKey(session->main, VK_RETURN);
    Check(WaitUntil(kActionTimeoutMs, RunEndedAfterReady, session),
          "the EEG run started from the menu ends");
    // The label line "A B C" is the head and makes no frame; the calibrated
    // values of 4 and more overflow 16 bits: the finish says so in red.
    const std::string status = WindowText(Shown(*session, kConvertStatus));
    Check(status.find(kOddValuesText) != std::string::npos &&
              status.find(kHoldsTenFrames) != std::string::npos,
          "the EEG finish names the 26 odd values and the 10 frames the file holds");
    const std::string dat = session->volumeDrive + "\\DAT\\88000001.";
    Check(FileExists(dat + "DAT") && FileExists(dat + "REF"),
          "88000001.DAT and its .REF are on the volume");
    Snapshot(*session, "convert-eeg-done");
}
