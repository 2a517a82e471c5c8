#include "store/settings_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform.h"
#include "store/app_record.h"
#include "store/pattern_store.h"
#include "store/profile_io.h"

namespace {

const char kSystem[] = "SYSTEM";
// A default no settings file holds: it tells a missing key from a present one.
const char kAbsent[] = "\x01";

struct Range {
    int32_t kind;
    int32_t low;
    int32_t high;
};

constexpr Range Interval(int32_t low, int32_t high) { return Range{kRangeInterval, low, high}; }
constexpr Range AtLeast(int32_t low) { return Range{kRangeAtLeast, low, INT32_MAX}; }
constexpr Range Kind(int32_t kind) { return Range{kind, 0, 0}; }

const int32_t kRateDivisors[] = {1, 2, 4, 5, 10, 20, 50};

bool IsPowerOfTen(int32_t value, int32_t highest) {
    for (int32_t power = 1; power <= highest; power *= 10) {
        if (value == power) return true;
        if (power > highest / 10) break;
    }
    return false;
}

bool InRange(const Range& range, int32_t value) {
    switch (range.kind) {
        case kRangeInterval: return value >= range.low && value <= range.high;
        case kRangeAtLeast: return value >= range.low;
        case kRangeFrameTimes: return value == 1 || value == 2 || value == 5 || value == 10;
        case kRangeMagnification:
            return IsPowerOfTen(value, 1000000000) ||
                   (value < -1 && value >= -1000000 && IsPowerOfTen(-value, 1000000));
        case kRangeRateDivisor:
            for (int32_t divisor : kRateDivisors)
                if (value == divisor) return true;
            return false;
        case kRangePsgMagnification: return value == 0 || IsPowerOfTen(value, 10000);
        default: return false;
    }
}

bool HasKey(const char* section, const char* key, const char* path) {
    char text[4];
    PlatProfileString(section, key, kAbsent, text, sizeof text, path);
    return std::strcmp(text, kAbsent) != 0;
}

bool Refuse(SettingProblem* problem, const char* section, const char* key, int32_t row,
            int32_t value, const Range& range) {
    if (problem != nullptr) {
        std::memset(problem, 0, sizeof *problem);
        std::snprintf(problem->section, sizeof problem->section, "%s", section);
        std::snprintf(problem->key, sizeof problem->key, "%s", key);
        problem->row = row;
        problem->value = value;
        problem->rangeKind = range.kind;
        problem->low = range.low;
        problem->high = range.high;
    }
    return false;
}

// A key of its own: fine when the file lacks it (its default is in range).
bool CheckKey(const char* path, const char* section, const char* key, const Range& range,
              SettingProblem* problem) {
    if (!HasKey(section, key, path)) return true;
    const int32_t value = PlatProfileInt(section, key, 0, path);
    return InRange(range, value) || Refuse(problem, section, key, 0, value, range);
}

// A row list: the values of the rows in use.
bool CheckList(const char* path, const char* section, const char* key, int32_t rows,
               const Range& range, SettingProblem* problem) {
    int32_t values[kPatternRowCount];
    const int32_t count = ReadPatternList(section, key, values, path);
    for (int32_t row = 0; row < count && row < rows; ++row)
        if (!InRange(range, values[row]))
            return Refuse(problem, section, key, row + 1, values[row], range);
    return true;
}

struct KeyRange {
    const char* key;
    Range range;
};

// The ranges of the stored table indexes and switches (montage_pattern.h).
const KeyRange kEegPatternKeys[] = {
    {"Ref", Interval(0, 11)},    {"ACCSens", Interval(0, 19)}, {"ACCLff", Interval(0, 19)},
    {"ACCHff", Interval(0, 19)}, {"ACCCal", Interval(0, 19)},  {"Notch", Interval(0, 1)},
    {"Rapid", Interval(0, 1)},
};

const KeyRange kEegPatternLists[] = {
    {"SOURCE", Interval(0, 15)},
    {"G1", Interval(0, kElectrodeCount - 1)},
    {"G2", Interval(0, kElectrodeCount - 1)},
    {"RECIN", Interval(0, 15)},
    {"SENS", Interval(0, AccIndex)},
    {"LFF", Interval(0, AccIndex)},
    {"HFF", Interval(0, AccIndex)},
    {"CAL", Interval(0, AccIndex)},
    {"SHOW", Interval(0, 1)},
    {"COLOR", Interval(0, 16)},
    {"WIDTH", Interval(0, 120)},
};

// The header shows physical values and filters in 7 characters at most.
constexpr int32_t kHeaderNumberLimit = 9999999;

const KeyRange kPsgPatternLists[] = {
    // Any value: the grid shows values other than 0 and 1 as "--" and stores
    // them, and a run takes every value above 0 as on.
    {"ChEnable", Interval(INT32_MIN, INT32_MAX)},
    {"Signal", Interval(0, 20)},
    {"Rate", Kind(kRangeRateDivisor)},
    {"EU", Interval(0, kHeaderNumberLimit)},
    {"VU", Interval(0, kHeaderNumberLimit)},
    {"Sens", Interval(0, kHeaderNumberLimit)},
    {"LFF", Interval(0, kHeaderNumberLimit)},
    {"HFF", Interval(0, kHeaderNumberLimit)},
    {"MAG", Kind(kRangePsgMagnification)},
};

bool IsPsg(const SettingsUse* use) { return use->runKind == kSettingsRunPsg; }

bool Given(const SettingsUse* use, uint32_t bit) { return (use->given & bit) != 0; }

// The source layout: the preset's section, or "SYSTEM" without a preset.
bool CheckLayout(const char* path, const SettingsUse* use, SettingProblem* problem) {
    if (!Given(use, kGivenPreset) &&
        !CheckKey(path, kSystem, "OrgFileType", Interval(0, kSourcePresetCount), problem))
        return false;
    if (use->preset < 1 || use->preset > kSourcePresetCount)
        return Given(use, kGivenDelimiter) ||
               CheckKey(path, kSystem, "DelimitChar", Interval(0, 2), problem);
    char section[kSettingNameSize];
    std::snprintf(section, sizeof section, "ORGCOND%i", static_cast<int>(use->preset - 1));
    const struct {
        const char* key;
        uint32_t given;
        Range range;
    } keys[] = {
        {"DelimitChar", kGivenDelimiter, Interval(0, 2)},
        {"OrgCalDataType", kGivenValueKind, Interval(0, 1)},
        {"DataStartLine", kGivenDataStartLine, AtLeast(0)},
        {"DataLineBias", kGivenBias, AtLeast(0)},
        {"ChStartLine", kGivenLabelLine, AtLeast(0)},
    };
    for (const auto& entry : keys)
        if (!Given(use, entry.given) && !CheckKey(path, section, entry.key, entry.range, problem))
            return false;
    return true;
}

bool CheckSystem(const char* path, const SettingsUse* use, SettingProblem* problem) {
    if (!Given(use, kGivenNotch) && !CheckKey(path, kSystem, "NotchFreq", Interval(0, 2), problem))
        return false;
    if (IsPsg(use)) {
        if (!Given(use, kGivenFrameTime) &&
            !CheckKey(path, kSystem, "FrameTime", Kind(kRangeFrameTimes), problem))
            return false;
        if (Given(use, kGivenTimeResolution)) return true;
        if (!CheckKey(path, kSystem, "OrgTimeResSw", Interval(0, 1), problem)) return false;
        return PlatProfileInt(kSystem, "OrgTimeResSw", 0, path) == 0 ||
               CheckKey(path, kSystem, "OrgTimeRes", Interval(1, 10000), problem);
    }
    if (use->volume != 0 &&
        !CheckKey(path, kSystem, "EEGFileNo", Interval(1, kEegFileNumberLast), problem))
        return false;
    return use->calibrated == 0 || Given(use, kGivenMagnification) ||
           CheckKey(path, kSystem, "OrgDataMag", Kind(kRangeMagnification), problem);
}

bool CheckPattern(const char* path, const SettingsUse* use, SettingProblem* problem) {
    char section[kSettingNameSize];
    PatternSectionName(use, section, sizeof section);
    const int32_t rows = use->patternRows;
    if (IsPsg(use)) {
        for (const KeyRange& list : kPsgPatternLists)
            if (!CheckList(path, section, list.key, rows, list.range, problem)) return false;
        return true;
    }
    for (const KeyRange& key : kEegPatternKeys)
        if (!CheckKey(path, section, key.key, key.range, problem)) return false;
    for (const KeyRange& list : kEegPatternLists)
        if (!CheckList(path, section, list.key, rows, list.range, problem)) return false;
    return true;
}

void AppendName(char* out, size_t size, size_t* used, const char* name) {
    if (*used >= size) return;
    int n = std::snprintf(out + *used, size - *used, "%s%s", *used > 0 ? ", " : "", name);
    if (n > 0) *used += static_cast<size_t>(n);
}

}  // namespace

extern "C" void PatternSectionName(const SettingsUse* use, char* out, size_t size) {
    if (out == nullptr || size == 0) return;
    out[0] = '\0';
    if (use == nullptr) return;
    std::snprintf(out, size, "%sPattern%i", IsPsg(use) ? "PSG" : "EEG",
                  static_cast<int>(use->patternSlot + 1));
}

extern "C" int32_t CheckRunSettings(const char* settingsPath, const SettingsUse* use,
                                    SettingProblem* problem) {
    if (settingsPath == nullptr || use == nullptr) return 0;
    // One reading of the file for all the keys checked, not one per key.
    const profile_io::ProfileHold hold(settingsPath);
    return CheckLayout(settingsPath, use, problem) && CheckSystem(settingsPath, use, problem) &&
                   CheckPattern(settingsPath, use, problem)
               ? 1
               : 0;
}

extern "C" int32_t MissingPatternKeys(const char* settingsPath, const SettingsUse* use, char* out,
                                      size_t size) {
    if (out != nullptr && size > 0) out[0] = '\0';
    if (settingsPath == nullptr || use == nullptr) return 0;
    const profile_io::ProfileHold hold(settingsPath);
    char section[kSettingNameSize];
    PatternSectionName(use, section, sizeof section);
    if (!PlatProfileHasSection(section, settingsPath)) return -1;
    int32_t missing = 0;
    size_t used = 0;
    auto note = [&](const char* key) {
        if (HasKey(section, key, settingsPath)) return;
        ++missing;
        if (out != nullptr) AppendName(out, size, &used, key);
    };
    if (IsPsg(use)) {
        for (const KeyRange& list : kPsgPatternLists) note(list.key);
        return missing;
    }
    for (const KeyRange& key : kEegPatternKeys) note(key.key);
    for (const KeyRange& list : kEegPatternLists) note(list.key);
    return missing;
}

extern "C" int32_t CheckPatientFile(const char* path) {
    if (path == nullptr || !PlatFileExists(path)) return kPatientFileMissing;
    if (PlatIsDirectory(path)) return kPatientFileUnreadable;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return kPatientFileUnreadable;
    PlatFileClose(file);
    return PlatProfileHasSection("PATIENT", path) ? kPatientFileRead : kPatientFileEmpty;
}
