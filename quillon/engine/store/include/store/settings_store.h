// The settings store: the settings file \COND\QUILLON.INI and the patient
// file \COND\PATIENT.INF below the program's folder. The main window loads
// them in two groups around building its pages and saves them when it is
// destroyed; the steps are separate so it can interleave its own.
#ifndef QUILLON_SETTINGS_STORE_H
#define QUILLON_SETTINGS_STORE_H

#include <stdint.h>

#include "store/app_record.h"

struct SettingsPaths {
    char InstallFolder[kPathSize];  // no trailing separator
    char SettingsPath[kPathSize];
    char HelpPath[kPathSize];
    char PatientPath[kPathSize];
};

extern "C" {

// The paths below a program folder, joined with the platform's separator.
// 0 when one of them does not fit.
int32_t MakeSettingsPaths(const char* installFolder, SettingsPaths* paths);
// The same below the folder of the running program.
int32_t FindSettingsPaths(void* instance, SettingsPaths* paths);

// "INITIAL"/"Debug"; a non-zero value turns the diagnostic trace on.
int32_t ReadDebugSwitch(const SettingsPaths* paths);
// Counts this start in "SYSTEM"/"RefCount"; returns the new count.
int32_t CountProgramStart(const SettingsPaths* paths);

// Before the pages are built: the "SYSTEM" keys, the electrode names and the
// source presets.
void LoadSystemSettings(AppRecord* record, const SettingsPaths* paths);
void LoadElectrodeNames(ElectrodeNameTable* names, const SettingsPaths* paths);
void LoadSourcePresets(AppRecord* record, const SettingsPaths* paths);
void LoadSettingsBeforePages(AppRecord* record, ElectrodeNameTable* names,
                             const SettingsPaths* paths);

// After the pages are built: the source defaults, the last source and output
// paths, the PSG row defaults, the patient block and all montage patterns.
void SetInitialSourceValues(AppRecord* record);
void LoadRecentFiles(AppRecord* record, const SettingsPaths* paths);
void LoadPatientInfo(AppRecord* record, const SettingsPaths* paths);
void LoadSettingsAfterPages(AppRecord* record, const SettingsPaths* paths);
// What the program loads at start for a conversion, without the window's
// parts (electrode names, recent files) and without counting a start: the
// command-line tool converts with exactly this.
void LoadSettingsForConversion(AppRecord* record, const SettingsPaths* paths);

// At exit: the "SYSTEM" keys (not "EEGFileNo" and "RefCount"), then the
// patient block when SaveEnable is set.
void SaveSystemSettings(const AppRecord* record, const SettingsPaths* paths);
void SavePatientInfo(const AppRecord* record, const SettingsPaths* paths);
void SaveSettingsOnExit(const AppRecord* record, const SettingsPaths* paths);
}

#endif
