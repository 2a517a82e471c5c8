// What the EEG convert page shows and allows for the record's state: the
// drives it offers, which controls are enabled, the status line. The page
// itself only applies it to its controls.
#ifndef QUILLON_EEG_PAGE_H
#define QUILLON_EEG_PAGE_H

#include <stddef.h>
#include <stdint.h>

#include "eeg/output_volume.h"
#include "store/app_record.h"

// Drive kinds the window-tool library reports.
enum DriveKind {
    kDriveHardDisk = 1,
    kDriveRemote = 2,
    kDriveRamDisk = 4,
    kDriveMo5Inch = 9,
    kDriveMo35Inch = 10,
};

struct EegPageView {
    int32_t statusStringId;  // string table id of the status line
    bool startButton;        // "変換開始"
    bool createButton;       // "Disk IDを新規に作成"
    bool driveList;
    bool diskIdField;
    bool typeLists;     // the output kind and pattern lists of the main window
    bool askForDiskId;  // no volume: the Disk ID field shows "NEWDISK" and a beep sounds
};

// What the page says about waves killed runs left on its volume.
struct EegLeftoverView {
    int32_t noticeStringId;  // 0: none; else the status line, "%f" the file, "%1" the others
    int32_t others;          // leftovers besides file
    bool offerRepair;        // ask whether to finish file now
    char file[kEegFileNameBytes];
};

extern "C" {

// The suffix a drive of that kind is listed with, or null when such a drive
// is not offered.
const char* DriveKindSuffix(int32_t kind);

// The page for the record's state; volumeFound is CheckOutputVolume's answer
// (not asked in user-named mode). While a run is in progress nothing that
// would change its output can be used.
void DescribeEegConvertPage(const AppRecord* record, bool volumeFound, EegPageView* view);

// The file number the next run takes: on a ready volume in automatic mode
// the first free one from EEGFileNo on (as StartEegConversionOnVolume
// picks it), else EEGFileNo.
int32_t EegRunFileNumber(const AppRecord* record, const char* root);

// The leftovers of a ready volume in automatic mode, the first of them
// named; offered (may be null) is the file the user was last asked about,
// never asked about twice in a row.
void DescribeEegLeftovers(const AppRecord* record, const EegLeftoverList* list, const char* offered,
                          EegLeftoverView* view);

// The status line after RepairEegWave answered outcome (an OutputRepair).
int32_t EegRepairStringId(int32_t outcome);

// pattern with "%f" replaced by file, "%1" by number and "%e" by reason
// (may be null). Returns the length written.
int32_t FormatLeftoverText(const char* pattern, const char* file, int64_t number,
                           const char* reason, char* out, size_t size);

// Whether creating a Disk ID asks first: it replaces the volume file the
// drive holds (volumeFound, CheckOutputVolume's answer).
bool DiskIdRenewalAsks(const AppRecord* record, bool volumeFound);

// Why a typed Disk ID is refused before anything is written (a string id),
// 0 when it can be stored whole or nothing was typed.
int32_t DiskIdRefusalStringId(const char* typed);
}

#endif
