// Identifiers of the two convert pages, shared by their dialog templates,
// the page procedures and the engine's finish messages.
#ifndef QUILLON_CONVERT_IDS_H
#define QUILLON_CONVERT_IDS_H

#define IDD_EEG_CONVERT_PAGE "EEGCONVERTINFO"
#define IDD_PSG_CONVERT_PAGE "PSGCONVERTINFO"
#define IDD_SAME_NAME_EXISTS 105

#define IDC_PSG_TARGET 1225
#define IDC_PSG_SELECT 1226
#define IDC_CONVERT_START 1227
#define IDC_PSG_FRAME_TIME 1228
#define IDC_PSG_COMMENT 1229
#define IDC_CONVERT_COUNTER 1230
#define IDC_CONVERT_STATUS 1231
#define IDC_EEG_DRIVE 1246
#define IDC_EEG_DISK_ID 1247
#define IDC_EEG_FILE_NAME 1248
#define IDC_EEG_CREATE_DISK_ID 1270
#define IDC_CONVERT_POLARITY 1276
#define IDC_EEG_NAMED_FILE 1277
// Added to both pages: how far the run has come and for how long.
#define IDC_CONVERT_PROGRESS 1280
#define IDC_CONVERT_ELAPSED 1281
// Stops the run: the file keeps what was converted.
#define IDC_CONVERT_STOP 1282

#define IDS_NO_SOURCE 18
#define IDS_PSG_NO_TARGET 19
#define IDS_CONVERT_READY 20
#define IDS_CONVERT_FINISHED 21
// The convert tab's title, and the status line while a run goes.
#define IDS_CONVERT_INFO 25
#define IDS_EEG_NO_VOLUME 27

// The title of the notice when the window closes during a run.
#define IDS_EXIT_DURING_RUN 62

// Waves killed runs left on the EEG volume and their finishing: %f is the
// file, %1 a count, %e the system's reason.
#define IDS_EEG_LEFTOVER 63
#define IDS_EEG_LEFTOVERS 64
#define IDS_EEG_LEFTOVER_ASK 65
#define IDS_EEG_LEFTOVER_TITLE 66
#define IDS_REPAIR_DONE 67
#define IDS_REPAIR_COMPLETE 68
#define IDS_REPAIR_NO_WHOLE_DATA 69
#define IDS_REPAIR_NOT_EEG 70
#define IDS_REPAIR_FAILED 71
// A typed Disk ID that cannot be stored whole.
#define IDS_DISK_ID_TOO_LONG 72
#define IDS_DISK_ID_NOT_CP932 73

// Texts of the window's own: a reason's stand-in for a system reason not
// given, the questions before the window closes during a run or a Disk ID
// is renewed, the Disk ID's creation, and the main window's status bar
// after a start (the last outcome). Why a run ended: ids/reason_ids.h.
#define IDS_NO_SYSTEM_REASON 3900
#define IDS_CONFIRM_TITLE 3901
#define IDS_CLOSE_DURING_RUN_ASK 3902
#define IDS_DISK_ID_RENEW_ASK 3903
#define IDS_DISK_ID_CREATED 3904
#define IDS_DISK_ID_NOT_CREATED 3905
#define IDS_OUTCOME_FINISHED 3906
#define IDS_OUTCOME_REFUSED 3907
#define IDS_OUTCOME_STOPPED 3908
#define IDS_OUTCOME_FAILED 3909
#define IDS_OUTCOME_RUNNING 3910

#endif
