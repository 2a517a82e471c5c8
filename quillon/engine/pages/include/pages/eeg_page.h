// What the EEG convert page shows and allows for the record's state: the
// drives it offers, which controls are enabled, the status line. The page
// itself only applies it to its controls.
#ifndef QUILLON_EEG_PAGE_H
#define QUILLON_EEG_PAGE_H

#include <stdint.h>

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

extern "C" {

// The suffix a drive of that kind is listed with, or null when such a drive
// is not offered.
const char* DriveKindSuffix(int32_t kind);

// The page for the record's state; volumeFound is CheckOutputVolume's answer
// (not asked in user-named mode). While a run is in progress nothing that
// would change its output can be used.
void DescribeEegConvertPage(const AppRecord* record, bool volumeFound, EegPageView* view);
}

#endif
