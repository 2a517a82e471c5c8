// The EEG convert page: output drive and its volume, Disk ID, automatic or
// user-named file, and the run it starts.
#include <cstdio>

#include "bramwick.h"
#include "ids/convert_ids.h"
#include "convert_page_common.h"
#include "convert_summary_block.h"
#include "page_dispatch.h"
#include "pages/eeg_page.h"
#include "eeg/eeg_repair.h"
#include "eeg/eeg_run.h"
#include "eeg/output_volume.h"
#include "record_lock.h"
#include "runs/start_reasons.h"
#include "ui_text.h"

namespace {

constexpr int kDriveCount = 26;
constexpr char kNewDiskId[] = "NEWDISK";
// Room for more than a Disk ID holds: a longer text is refused, not cut.
constexpr int kDiskIdFieldBytes = 64;

// The leftover the user was last asked about: asked once, not at every
// look at the volume.
char g_offeredLeftover[kEegFileNameBytes] = "";

HWND DriveList(HWND page) { return GetDlgItem(page, IDC_EEG_DRIVE); }

void DriveRoot(int drive, char* root, size_t size) {
    std::snprintf(root, size, "%c:\\", 'A' + drive);
}

void FillDriveList(HWND page) {
    SendMessageA(DriveList(page), CB_RESETCONTENT, 0, 0);
    for (int drive = 0; drive < kDriveCount; ++drive) {
        // The window-tool library names the kind of each drive letter.
        const char* suffix = DriveKindSuffix(BramwickDriveKind('A' + drive));
        if (suffix == nullptr) continue;
        char entry[32];
        std::snprintf(entry, sizeof entry, "%c:%s", 'A' + drive, suffix);
        const LRESULT index =
            SendMessageA(DriveList(page), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        if (index >= 0) SendMessageA(DriveList(page), CB_SETITEMDATA, index, drive);
    }
}

int DriveEntry(HWND page, int drive) {
    const int count = static_cast<int>(SendMessageA(DriveList(page), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageA(DriveList(page), CB_GETITEMDATA, i, 0) == drive) return i;
    return -1;
}

// The volume of CopyDrive: true when a volume file is there. Only drives the
// list offers are looked at.
bool CheckVolume(HWND page, AppRecord* record) {
    record->ConvertState = kConvertNotReady;
    const int entry = DriveEntry(page, record->CopyDrive);
    if (entry < 0) return false;
    char root[8];
    DriveRoot(record->CopyDrive, root, sizeof root);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const int32_t check = CheckOutputVolume(record, root, nullptr, 0);
    if (check == kVolumeRootUnusable) return false;
    SendMessageA(DriveList(page), CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    if (check == kVolumeReady) SetItemTextCp932(page, IDC_EEG_DISK_ID, record->PatientInfo.DiskId);
    return check == kVolumeReady || check == kVolumeNoDiskId;
}

// The number the next run takes, leftovers passed by.
void ShowFileName(HWND page, const AppRecord* record) {
    char root[8];
    DriveRoot(record->CopyDrive, root, sizeof root);
    char name[16];
    FormatEegFileName(EegRunFileNumber(record, root), name, sizeof name);
    SetDlgItemTextA(page, IDC_EEG_FILE_NAME, name);
}

// A text of the string table with the leftover's file, count and reason.
void ShowLeftoverText(HWND page, int stringId, const char* file, int64_t number, const char* reason,
                      bool warning) {
    char pattern[kStatusLineBytes], text[kStatusLineBytes];
    LoadPageString(page, stringId, pattern, sizeof pattern);
    FormatLeftoverText(pattern, file, number, reason, text, sizeof text);
    ShowStatusText(page, text, warning);
}

// Waves killed runs left on the volume just checked.
void LookForLeftovers(HWND page, const AppRecord* record, EegLeftoverView* leftover) {
    char root[8];
    DriveRoot(record->CopyDrive, root, sizeof root);
    EegLeftoverList list;
    ListEegLeftovers(root, &list);
    DescribeEegLeftovers(record, &list, g_offeredLeftover, leftover);
    if (leftover->noticeStringId != 0)
        ShowLeftoverText(page, leftover->noticeStringId, leftover->file, leftover->others, nullptr,
                         false);
}

void ApplyView(HWND page, const EegPageView& view) {
    EnableControl(page, IDC_CONVERT_START, view.startButton);
    EnableControl(page, IDC_EEG_CREATE_DISK_ID, view.createButton);
    EnableControl(page, IDC_EEG_DRIVE, view.driveList);
    EnableControl(page, IDC_EEG_DISK_ID, view.diskIdField);
    EnableControl(page, IDC_CONVERT_POLARITY, view.typeLists);
    EnableControl(page, IDC_EEG_NAMED_FILE, view.typeLists);
    if (view.askForDiskId) {
        SetDlgItemTextA(page, IDC_EEG_DISK_ID, kNewDiskId);
        MessageBeep(0);
    }
}

// Controls and status for the record's state; the volume is looked at
// except while a run writes to it. leftover (may be null) receives what a
// killed run left on it, to be offered once the record is unlocked.
void ShowState(HWND page, AppRecord* record, bool checkVolume,
               EegLeftoverView* leftover = nullptr) {
    const bool named = record->CopyPrivateFile != 0;
    const bool running = record->ConvertState == kConvertRunning;
    const bool looked = !named && !running && checkVolume;
    const bool found = !looked || CheckVolume(page, record);
    EegPageView view;
    DescribeEegConvertPage(record, found, &view);
    ApplyView(page, view);
    ShowFileName(page, record);
    ShowStatusString(page, view.statusStringId);
    if (leftover == nullptr) return;
    *leftover = EegLeftoverView{};
    if (looked && found) LookForLeftovers(page, record, leftover);
}

void RepairLeftover(HWND page, const char* file) {
    RecordLock record(ConvertContext(page)->record);
    if (!record || record->ConvertState == kConvertRunning) return;
    char root[8], path[kPathSize];
    DriveRoot(record->CopyDrive, root, sizeof root);
    RepairReport report{};
    if (MakeVolumeFilePath(root, file, path, sizeof path))
        RepairEegWave(path, &report);
    else
        SetRepairOutcome(&report, kRepairCannotOpen);
    ShowFileName(page, record.record);
    const bool done = report.outcome == kRepairDone;
    ShowLeftoverText(page, EegRepairStringId(report.outcome), file, report.kept, report.reason,
                     !done);
    if (!done) MessageBeep(0);
}

// Asks whether to finish the leftover, outside any lock: the question runs
// its own message loop.
void OfferRepair(HWND page, const EegLeftoverView& leftover) {
    if (!leftover.offerRepair) return;
    std::snprintf(g_offeredLeftover, sizeof g_offeredLeftover, "%s", leftover.file);
    char pattern[kStatusLineBytes], question[kStatusLineBytes], title[kStatusBytes];
    LoadPageString(page, IDS_EEG_LEFTOVER_ASK, pattern, sizeof pattern);
    FormatLeftoverText(pattern, leftover.file, leftover.others, nullptr, question, sizeof question);
    LoadPageString(page, IDS_EEG_LEFTOVER_TITLE, title, sizeof title);
    if (MessageBoxCp932(GetAncestor(page, GA_ROOT), question, title, MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        RepairLeftover(page, leftover.file);
}

void Refresh(HWND page) {
    EegLeftoverView leftover{};
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record) return;
        CheckDlgButton(page, IDC_CONVERT_POLARITY,
                       record->PolarityCopy ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(page, IDC_EEG_NAMED_FILE,
                       record->CopyPrivateFile ? BST_CHECKED : BST_UNCHECKED);
        ShowState(page, record.record, true, &leftover);
    }
    ShowConvertSummary(page);
    OfferRepair(page, leftover);
}

// After a run: the controls for a new one; the finish line stays.
void OnRunEnded(HWND page) {
    RecordLock record(ConvertContext(page)->record);
    if (!record) return;
    EegPageView view;
    DescribeEegConvertPage(record.record, true, &view);
    ApplyView(page, view);
    ShowFileName(page, record.record);
}

void OnDriveChosen(HWND page) {
    const LRESULT index = SendMessageA(DriveList(page), CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    EegLeftoverView leftover{};
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record || record->ConvertState == kConvertRunning) return;
        record->CopyDrive =
            static_cast<uint16_t>(SendMessageA(DriveList(page), CB_GETITEMDATA, index, 0));
        ShowState(page, record.record, true, &leftover);
    }
    OfferRepair(page, leftover);
}

// A Disk ID that cannot be stored whole is refused with the reason.
bool DiskIdRefused(HWND page, const char* typed) {
    const int32_t refusal = DiskIdRefusalStringId(typed);
    if (refusal == 0) return false;
    char text[kStatusLineBytes];
    LoadPageString(page, refusal, text, sizeof text);
    ShowStatusText(page, text, true);
    MessageBeep(0);
    return true;
}

// A yes/no question of the string table ("no" the default), "%f" the
// drive's root and "%e" the Disk ID.
bool AskDiskIdQuestion(HWND page, const char* root, const char* typed) {
    char pattern[kStatusLineBytes], question[kStatusLineBytes], title[kStatusBytes];
    LoadPageString(page, IDS_DISK_ID_RENEW_ASK, pattern, sizeof pattern);
    FormatLeftoverText(pattern, root, 0, typed, question, sizeof question);
    LoadPageString(page, IDS_CONFIRM_TITLE, title, sizeof title);
    return MessageBoxCp932(GetAncestor(page, GA_ROOT), question, title,
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// Whether the drive chosen holds a volume file, so a Disk ID made now
// replaces one; false while a run writes or the typed text is refused.
bool MayCreateDiskId(HWND page, const char* typed, char* root, size_t rootSize, bool* renewal) {
    RecordLock record(ConvertContext(page)->record);
    if (!record || record->ConvertState == kConvertRunning || DiskIdRefused(page, typed))
        return false;
    DriveRoot(record->CopyDrive, root, rootSize);
    *renewal = DiskIdRenewalAsks(record.record, CheckVolume(page, record.record));
    SetItemTextCp932(page, IDC_EEG_DISK_ID, typed);  // the look at the volume showed its own
    return true;
}

void OnCreateDiskId(HWND page) {
    char typed[kDiskIdFieldBytes + 1] = {};
    ReadWindowTextCp932(GetDlgItem(page, IDC_EEG_DISK_ID), typed, sizeof typed);
    char root[8];
    bool renewal = false;
    if (!MayCreateDiskId(page, typed, root, sizeof root, &renewal)) return;
    // The question runs its own message loop: asked with the record unlocked.
    if (renewal && !AskDiskIdQuestion(page, root, typed)) {
        Refresh(page);
        return;
    }
    EegLeftoverView leftover{};
    bool created = false;
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record || record->ConvertState == kConvertRunning) return;
        created = CreateDiskId(record.record, root, typed) == kDiskIdCreated;
        ShowState(page, record.record, true, &leftover);
    }
    char pattern[kStatusLineBytes], text[kStatusLineBytes];
    LoadPageString(page, created ? IDS_DISK_ID_CREATED : IDS_DISK_ID_NOT_CREATED, pattern,
                   sizeof pattern);
    FormatLeftoverText(pattern, root, 0, typed, text, sizeof text);
    ShowStatusText(page, text, !created);
    if (!created) MessageBeep(0);
    OfferRepair(page, leftover);
}

void OnCheckBox(HWND page, int id) {
    const bool checked = IsDlgButtonChecked(page, id) == BST_CHECKED;
    EegLeftoverView leftover{};
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record || record->ConvertState == kConvertRunning) return;
        if (id == IDC_CONVERT_POLARITY) {
            record->PolarityCopy = checked ? 1 : 0;
            return;
        }
        record->CopyPrivateFile = checked ? 1 : 0;
        ShowState(page, record.record, true, &leftover);
    }
    OfferRepair(page, leftover);
}

// The path of a user-named file, asked before the record is locked: the
// save dialog runs its own message loop.
bool AskNamedPath(HWND page, char* path, int size) {
    char seed[kPathSize] = {};
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record) return false;
        if (record->CopyPrivateFile == 0) return true;
        std::snprintf(seed, sizeof seed, "%s", record->OutputPath);
    }
    if (!AskOutputPath(ConvertContext(page)->mainWindow, "File Convert File Select", seed, path,
                       size))
        return false;
    RecordLock record(ConvertContext(page)->record);
    if (record) std::snprintf(record->OutputPath, sizeof record->OutputPath, "%s", path);
    return record ? true : false;
}

// path: the user's (named mode), else receives the automatic one.
int32_t StartOnRecord(AppRecord* record, char* path, size_t size) {
    if (record->CopyPrivateFile != 0) return StartEegConversion(record, path);
    char root[8];
    DriveRoot(record->CopyDrive, root, sizeof root);
    MakeAutomaticOutputPath(root, EegRunFileNumber(record, root), path, size);
    return StartEegConversionOnVolume(record, root, nullptr, 0);
}

void OnStart(HWND page) {
    if (!SourceUsable(page)) return;
    char named[kPathSize] = {};
    if (!AskNamedPath(page, named, sizeof named)) return;
    int32_t outcome = kEegStartCannotCreate;
    {
        RecordLock record(ConvertContext(page)->record);
        if (!record) return;
        outcome = StartOnRecord(record.record, named, sizeof named);
        if (outcome == kEegStarted) {
            StartRunTimer(page, record.record);
            ShowState(page, record.record, false);
        } else {
            const Reason reason = EegStartReason(record.record, outcome, named);
            ShowStartRefusal(page, &reason);
        }
    }
    if (outcome == kEegStartOutputExists || outcome == kEegStartReferenceExists)
        ShowSameNameExists(page);
}

void FormatCounter(const AppRecord* record, char* out, size_t size) {
    std::snprintf(out, size, "%u", static_cast<unsigned>(record->StepCount));
}

INT_PTR OnInitDialog(HWND page, LPARAM context) {
    InitConvertPage(page, context);
    SetRunEndedHandler(page, OnRunEnded);
    SendDlgItemMessageA(page, IDC_EEG_DISK_ID, EM_LIMITTEXT, kDiskIdFieldBytes, 0);
    FillDriveList(page);
    RecordLock record(ConvertContext(page)->record);
    if (record) ShowFileName(page, record.record);
    return TRUE;
}

void OnCommand(HWND page, WORD id, WORD code) {
    switch (id) {
        case IDC_EEG_DRIVE:
            if (code == CBN_SELCHANGE) OnDriveChosen(page);
            return;
        case IDC_EEG_CREATE_DISK_ID: return OnCreateDiskId(page);
        case IDC_CONVERT_POLARITY:
        case IDC_EEG_NAMED_FILE: return OnCheckBox(page, id);
        case IDC_CONVERT_START: return OnStart(page);
        case IDC_CONVERT_STOP: return StopRun(page);
        default: return;
    }
}

void OnTimer(HWND page, UINT_PTR id) {
    if (id == kConversionTimerId) OnRunTimer(page, FormatCounter);
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

INT_PTR CALLBACK EegConvertPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchPageMessage(page, kHandlers, message, wParam, lParam);
}
