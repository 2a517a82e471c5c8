#include "store/settings_store.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "bramwick.h"
#include "store/engine_trace.h"
#include "store/pattern_store.h"
#include "store/profile_io.h"

namespace {

using profile_io::ProfileHold;
using profile_io::ReadInt;
using profile_io::ReadText;
using profile_io::ReadWord;
using profile_io::WriteInt;
using profile_io::WriteText;
using profile_io::WriteUnsigned;

const char kSystem[] = "SYSTEM";
const char kPatient[] = "PATIENT";

// A "SYSTEM" number: a 16-bit or a 32-bit field of the record.
struct SystemKey {
    const char* key;
    uint16_t AppRecord::*word;
    int32_t AppRecord::*number;
    int32_t fallback;
    bool savedAtExit;
};

// In the order they are written at exit. "EEGFileNo" belongs to the EEG
// run, which writes it after each file.
const SystemKey kSystemKeys[] = {
    {"MaxCh", &AppRecord::MaxCh, nullptr, 32, true},
    {"FrameTime", nullptr, &AppRecord::FrameTime, 1, true},
    {"OrgFileType", &AppRecord::OrgFileType, nullptr, 0, true},
    {"CopyFileType", &AppRecord::CopyFileType, nullptr, 0, true},
    {"DelimitChar", &AppRecord::DelimitChar, nullptr, 0, true},
    {"PolarityCopy", &AppRecord::PolarityCopy, nullptr, 0, true},
    {"CopyPrivateFile", &AppRecord::CopyPrivateFile, nullptr, 0, true},
    {"CopyDrive", &AppRecord::CopyDrive, nullptr, 0, true},
    {"ElectrodeType", &AppRecord::ElectrodeType, nullptr, 2, true},
    {"NotchFreq", nullptr, &AppRecord::NotchFreq, 0, true},
    {"OrgDataMag", nullptr, &AppRecord::OrgDataMag, 1, true},
    {"SaveEnable", &AppRecord::SaveEnable, nullptr, 1, true},
    {"OrgTimeResSw", &AppRecord::OrgTimeResSw, nullptr, 0, true},
    {"OrgTimeRes", nullptr, &AppRecord::OrgTimeRes, 175, true},
    {"EEGFileNo", nullptr, &AppRecord::EEGFileNo, 1, false},
};

struct PatientNumber {
    const char* key;
    uint16_t PatientInfo::*word;
    int32_t PatientInfo::*number;
    int32_t fallback;
};

const PatientNumber kPatientNumbers[] = {
    {"Height", nullptr, &PatientInfo::Height, 1600},
    {"Weight", nullptr, &PatientInfo::Weight, 60000},
    {"AgeYear", &PatientInfo::AgeYear, nullptr, 25},
    {"AgeMonth", &PatientInfo::AgeMonth, nullptr, 0},
    {"Year", &PatientInfo::BirthYear, nullptr, 1950},
    {"Month", &PatientInfo::BirthMonth, nullptr, 1},
    {"Day", &PatientInfo::BirthDay, nullptr, 1},
};

struct PatientText {
    const char* key;
    size_t offset;
    size_t width;  // also the size handed to the read
    const char* fallback;
};

#define PATIENT_TEXT(key, field, fallback) \
    { key, offsetof(PatientInfo, field), sizeof(PatientInfo::field), fallback }

// In the order they are written at exit, after the numbers.
const PatientText kPatientTexts[] = {
    PATIENT_TEXT("ID", PatientId, "000-0001"),
    PATIENT_TEXT("Name1", Name1, "\x90\x56\x8B\x4B"),  // 新規 (new)
    PATIENT_TEXT("Name2", Name2, "\x82\xA9\x82\xC8"),  // かな (kana)
    PATIENT_TEXT("Sex", Sex, "0"),
    PATIENT_TEXT("Hospital", Hospital, "Sleep Center"),
    PATIENT_TEXT("Departmemt", Department, ""),
    PATIENT_TEXT("ReqDoctor", ReqDoctor, ""),
    PATIENT_TEXT("Technician", Technician, ""),
    PATIENT_TEXT("ReaderDoctor", ReaderDoctor, ""),
};

#undef PATIENT_TEXT

bool JoinPath(char* out, const char* folder, const char* subfolder, const char* file) {
    const char separator = PlatPathSeparator();
    int n =
        std::snprintf(out, kPathSize, "%s%c%s%c%s", folder, separator, subfolder, separator, file);
    if (n < 0 || n >= kPathSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

extern "C" int32_t MakeSettingsPaths(const char* installFolder, SettingsPaths* paths) {
    if (installFolder == nullptr || paths == nullptr) return 0;
    std::memset(paths, 0, sizeof *paths);
    size_t length = std::strlen(installFolder);
    if (length >= sizeof paths->InstallFolder) return 0;
    std::memcpy(paths->InstallFolder, installFolder, length + 1);
    bool fits = JoinPath(paths->SettingsPath, installFolder, "COND", "QUILLON.INI");
    fits = JoinPath(paths->HelpPath, installFolder, "HELP", "QUILLON.HLP") && fits;
    fits = JoinPath(paths->PatientPath, installFolder, "COND", "PATIENT.INF") && fits;
    return fits ? 1 : 0;
}

extern "C" int32_t FindSettingsPaths(void* instance, SettingsPaths* paths) {
    if (paths == nullptr) return 0;
    char folder[BRAMWICK_FOLDER_SIZE];
    int32_t found = BramwickProgramFolder(instance, folder);
    BramwickTrimFolder(folder);
    int32_t made = MakeSettingsPaths(folder, paths);
    return found && made ? 1 : 0;
}

extern "C" int32_t ReadDebugSwitch(const SettingsPaths* paths) {
    if (paths == nullptr) return 0;
    int32_t debug = ReadInt("INITIAL", "Debug", 0, paths->SettingsPath);
    if (debug != 0) EngineTraceOn();
    return debug;
}

extern "C" int32_t CountProgramStart(const SettingsPaths* paths) {
    if (paths == nullptr) return 0;
    int32_t count = static_cast<int32_t>(
        static_cast<uint32_t>(ReadInt(kSystem, "RefCount", 0, paths->SettingsPath)) + 1u);
    WriteInt(kSystem, "RefCount", count, paths->SettingsPath);
    return count;
}

extern "C" void LoadSystemSettings(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    for (const SystemKey& entry : kSystemKeys) {
        if (entry.word)
            record->*entry.word = ReadWord(kSystem, entry.key, entry.fallback, paths->SettingsPath);
        else
            record->*entry.number =
                ReadInt(kSystem, entry.key, entry.fallback, paths->SettingsPath);
    }
}

extern "C" void LoadElectrodeNames(ElectrodeNameTable* names, const SettingsPaths* paths) {
    if (names == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    char section[16];
    char key[16];
    for (int type = 0; type < kElectrodeTypeCount; ++type) {
        std::snprintf(section, sizeof section, "MONT%i", type);
        for (int electrode = 0; electrode < kElectrodeCount; ++electrode) {
            std::snprintf(key, sizeof key, "%i", electrode);
            ReadText(section, key, "--", names->Names[type][electrode], kElectrodeNameSize,
                     paths->SettingsPath);
        }
    }
}

extern "C" void LoadSourcePresets(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    const char* file = paths->SettingsPath;
    char section[16];
    for (int i = 0; i < kSourcePresetCount; ++i) {
        SourcePreset& preset = record->SourcePreset[i];
        std::memset(&preset, 0, sizeof preset);
        std::snprintf(section, sizeof section, "ORGCOND%i", i);
        int32_t enable = ReadInt(section, "Enable", 0, file);
        if (enable <= 0) continue;
        preset.Enable = static_cast<uint16_t>(enable);
        preset.DelimitChar = ReadWord(section, "DelimitChar", 0, file);
        preset.OrgCalDataType = ReadWord(section, "OrgCalDataType", kCalibratedValues, file);
        preset.DataLineBias = ReadInt(section, "DataLineBias", 0, file);
        preset.ChStartLine = ReadInt(section, "ChStartLine", 0, file);
        preset.DataStartLine = ReadInt(section, "DataStartLine", 0, file);
        ReadText(section, "Label", "", preset.Label, sizeof preset.Label, file);
    }
}

extern "C" void LoadSettingsBeforePages(AppRecord* record, ElectrodeNameTable* names,
                                        const SettingsPaths* paths) {
    const ProfileHold hold(paths != nullptr ? paths->SettingsPath : nullptr);
    LoadSystemSettings(record, paths);
    LoadElectrodeNames(names, paths);
    LoadSourcePresets(record, paths);
}

extern "C" void SetInitialSourceValues(AppRecord* record) {
    if (record == nullptr) return;
    record->SampleRate = 200;
    record->ChannelCount = 12;
    record->RecordYear = 2000;
    record->RecordMonth = 1;
    record->RecordDay = 1;
}

extern "C" void LoadRecentFiles(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    ReadText(kSystem, "OrgFile", "", record->OrgFile, sizeof record->OrgFile, paths->SettingsPath);
    ReadText(kSystem, "CopyFile", "", record->CopyFile, sizeof record->CopyFile,
             paths->SettingsPath);
}

extern "C" void LoadPatientInfo(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    PatientInfo& info = record->PatientInfo;
    const char* file = paths->PatientPath;
    for (const PatientNumber& entry : kPatientNumbers) {
        if (entry.word)
            info.*entry.word = ReadWord(kPatient, entry.key, entry.fallback, file);
        else
            info.*entry.number = ReadInt(kPatient, entry.key, entry.fallback, file);
    }
    for (const PatientText& entry : kPatientTexts) {
        char* field = reinterpret_cast<char*>(&info) + entry.offset;
        ReadText(kPatient, entry.key, entry.fallback, field, static_cast<uint32_t>(entry.width),
                 file);
    }
}

extern "C" void LoadSettingsAfterPages(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    SetInitialSourceValues(record);
    LoadRecentFiles(record, paths);
    SetPsgRowDefaults(record);
    LoadPatientInfo(record, paths);
    LoadPsgPattern(record, paths->SettingsPath, -1);
    LoadEegPattern(record, paths->SettingsPath, -1);
}

extern "C" void LoadSettingsForConversion(AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    LoadSystemSettings(record, paths);
    LoadSourcePresets(record, paths);
    SetInitialSourceValues(record);
    SetPsgRowDefaults(record);
    LoadPatientInfo(record, paths);
    LoadPsgPattern(record, paths->SettingsPath, -1);
    LoadEegPattern(record, paths->SettingsPath, -1);
}

extern "C" void SaveSystemSettings(const AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr) return;
    const ProfileHold hold(paths->SettingsPath);
    const char* file = paths->SettingsPath;
    for (const SystemKey& entry : kSystemKeys) {
        if (!entry.savedAtExit) continue;
        if (entry.word)
            WriteUnsigned(kSystem, entry.key, record->*entry.word, file);
        else
            WriteInt(kSystem, entry.key, record->*entry.number, file);
    }
    WriteText(kSystem, "OrgFile", record->OrgFile, sizeof record->OrgFile, file);
    WriteText(kSystem, "CopyFile", record->CopyFile, sizeof record->CopyFile, file);
}

extern "C" void SavePatientInfo(const AppRecord* record, const SettingsPaths* paths) {
    if (record == nullptr || paths == nullptr || record->SaveEnable == 0) return;
    const ProfileHold hold(paths->PatientPath);
    const PatientInfo& info = record->PatientInfo;
    const char* file = paths->PatientPath;
    for (const PatientNumber& entry : kPatientNumbers)
        WriteInt(kPatient, entry.key, entry.word ? info.*entry.word : info.*entry.number, file);
    for (const PatientText& entry : kPatientTexts) {
        const char* field = reinterpret_cast<const char*>(&info) + entry.offset;
        WriteText(kPatient, entry.key, field, entry.width, file);
    }
}

extern "C" void SaveSettingsOnExit(const AppRecord* record, const SettingsPaths* paths) {
    SaveSystemSettings(record, paths);
    SavePatientInfo(record, paths);
}
