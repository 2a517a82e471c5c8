// The values of the settings file a run is about to use, checked against
// their ranges before anything is created: a damaged value would otherwise
// surface later as a wrong reason or as a silent default.
#ifndef QUILLON_SETTINGS_CHECKS_H
#define QUILLON_SETTINGS_CHECKS_H

#include <stddef.h>
#include <stdint.h>

constexpr int32_t kSettingNameSize = 24;
constexpr int32_t kEegFileNumberLast = 99999;  // EEGFileNo: 1..99999, then 1 again

// The values a run takes from elsewhere (the command line) instead of the
// settings file: those keys are not read.
enum SettingsGiven : uint32_t {
    kGivenDelimiter = 1u << 0,
    kGivenValueKind = 1u << 1,
    kGivenDataStartLine = 1u << 2,
    kGivenBias = 1u << 3,
    kGivenLabelLine = 1u << 4,
    kGivenFrameTime = 1u << 5,
    kGivenMagnification = 1u << 6,
    kGivenNotch = 1u << 7,
    kGivenTimeResolution = 1u << 8,
    kGivenPreset = 1u << 9,
};

enum SettingsRunKind { kSettingsRunEeg = 0, kSettingsRunPsg = 1 };

// What a run takes from the settings file.
struct SettingsUse {
    int32_t runKind;      // SettingsRunKind
    int32_t volume;       // non-zero: an EEG run numbered by EEGFileNo
    int32_t preset;       // the source preset applied, 1..32; 0 none
    int32_t calibrated;   // non-zero: calibrated values (OrgDataMag is used)
    int32_t patternSlot;  // 0..3
    int32_t patternRows;  // rows of the pattern in use: the channel count
    uint32_t given;       // SettingsGiven bits
};

// How a range is to be worded.
enum SettingRangeKind {
    kRangeInterval = 0,          // low..high
    kRangeAtLeast = 1,           // low or more
    kRangeFrameTimes = 2,        // 1, 2, 5 or 10
    kRangeMagnification = 3,     // 1, 10, ... 1000000000 or -10 ... -1000000
    kRangeRateDivisor = 4,       // 1, 2, 4, 5, 10, 20 or 50
    kRangePsgMagnification = 5,  // 0 (read as 1), 1, 10, 100, 1000 or 10000
};

struct SettingProblem {
    char section[kSettingNameSize];
    char key[kSettingNameSize];
    int32_t row;  // 1.. for a value of a row list, 0 for a key of its own
    int32_t value;
    int32_t rangeKind;  // SettingRangeKind
    int32_t low;
    int32_t high;
};

extern "C" {

// 1 when every value the run takes from the file at settingsPath is in its
// range (a key the file lacks takes its default, which is); else 0 with the
// first value that is not in *problem.
int32_t CheckRunSettings(const char* settingsPath, const SettingsUse* use, SettingProblem* problem);

// The keys of the pattern in use that the file lacks, so that their
// defaults were taken: their names, ", " between them, into out. Returns how
// many; -1 when the file has no such section at all.
int32_t MissingPatternKeys(const char* settingsPath, const SettingsUse* use, char* out,
                           size_t size);

// The section of the pattern in use: "EEGPattern1".."PSGPattern4".
void PatternSectionName(const SettingsUse* use, char* out, size_t size);

// What became of the patient file a run reads.
enum PatientFileState {
    kPatientFileRead = 0,
    kPatientFileMissing = 1,
    kPatientFileUnreadable = 2,  // a folder, or no read permission
    kPatientFileEmpty = 3,       // no [PATIENT] section
};

int32_t CheckPatientFile(const char* path);
}

#endif
