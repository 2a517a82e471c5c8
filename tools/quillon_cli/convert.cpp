// quillon-cli convert: the conversion runs of the desktop program without
// its window, driven in a loop, with the same settings file. This file loads
// the settings and the source and runs EEG output; convert_psg.cpp runs PSG
// output.
#include "convert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "store/app_record.h"
#include "batch.h"
#include "convert_options.h"
#include "convert_psg.h"
#include "convert_report.h"
#include "run_end.h"
#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "source/head_lines.h"
#include "interrupts.h"
#include "eeg/output_volume.h"
#include "store/pattern_store.h"
#include "store/profile_io.h"
#include "platform.h"
#include "psg/psg_run.h"
#include "store/settings_checks.h"
#include "store/settings_store.h"
#include "source/source_checks.h"
#include "source/source_reader.h"
#include "runs/start_reasons.h"

// A run still open here (an early return) is ended by the kind that owns it.
void ConvertRecordRelease::operator()(AppRecord* record) const {
    if (record->RunOwner == kRunPsg)
        ReleasePsgRun(record);
    else
        ReleaseEegRun(record, nullptr);
    CloseSourceFile(record);
    std::free(record);
}

namespace {

using RecordPtr = ConvertRecord;

// The patient file --patient names, in place of the one beside the settings.
bool UsePatientFile(const ConvertOptions& o, SettingsPaths* paths, std::string* error) {
    if (o.patientFile == nullptr) return true;
    if (std::strlen(o.patientFile) >= sizeof paths->PatientPath) {
        *error = "patient path too long: " + Quoted(o.patientFile);
        return false;
    }
    std::snprintf(paths->PatientPath, sizeof paths->PatientPath, "%s", o.patientFile);
    return true;
}

// The settings file and the patient file beside it.
bool FindSettings(const ConvertOptions& o, SettingsPaths* paths, std::string* error) {
    if (o.settingsFile == nullptr) {
        char folder[kPathSize];
        if (!PlatProgramFolder(folder, sizeof folder) || !MakeSettingsPaths(folder, paths)) {
            *error = "cannot find the program's folder for COND/QUILLON.INI";
            return false;
        }
        return UsePatientFile(o, paths, error);
    }
    if (!PlatFileExists(o.settingsFile) || PlatIsDirectory(o.settingsFile)) {
        *error = "no settings file " + Quoted(o.settingsFile);
        return false;
    }
    std::memset(paths, 0, sizeof *paths);
    std::string settings = o.settingsFile;
    std::string::size_type cut = settings.find_last_of(std::string("/") + PlatPathSeparator());
    std::string folder = cut == std::string::npos ? "." : settings.substr(0, cut == 0 ? 1 : cut);
    std::string patient = folder + PlatPathSeparator() + "PATIENT.INF";
    if (settings.size() >= sizeof paths->SettingsPath ||
        patient.size() >= sizeof paths->PatientPath) {
        *error = "settings path too long: " + Quoted(o.settingsFile);
        return false;
    }
    std::snprintf(paths->InstallFolder, sizeof paths->InstallFolder, "%s", folder.c_str());
    std::snprintf(paths->SettingsPath, sizeof paths->SettingsPath, "%s", settings.c_str());
    std::snprintf(paths->PatientPath, sizeof paths->PatientPath, "%s", patient.c_str());
    return UsePatientFile(o, paths, error);
}

const char* PatientFileProblem(int32_t state) {
    switch (state) {
        case kPatientFileMissing: return "does not exist";
        case kPatientFileUnreadable: return "cannot be read";
        case kPatientFileEmpty: return "has no [PATIENT] section";
        default: return nullptr;
    }
}

// A patient file named with --patient must be read; the usual one may be
// missing, and the run then says that the built-in patient fields were used.
bool CheckPatient(const ConvertOptions& o, const SettingsPaths& paths,
                  std::vector<std::string>* notes, std::string* error) {
    const char* problem = PatientFileProblem(CheckPatientFile(paths.PatientPath));
    if (problem == nullptr) return true;
    const std::string what = "the patient file " + Quoted(paths.PatientPath) + " " + problem;
    if (o.patientFile != nullptr) {
        *error = what + " (--patient)";
        return false;
    }
    notes->push_back(what + "; the built-in patient fields were used");
    return true;
}

// What the command line gives instead of the settings file.
uint32_t GivenSettings(const ConvertOptions& o) {
    const struct {
        bool given;
        uint32_t bit;
    } options[] = {
        {o.delimiter >= 0, kGivenDelimiter},
        {o.valueKind >= 0, kGivenValueKind},
        {o.dataStartLine >= 0, kGivenDataStartLine},
        {o.bias >= 0, kGivenBias},
        {o.labelLine >= 0, kGivenLabelLine},
        {o.frameTime > 0, kGivenFrameTime},
        {o.magGiven, kGivenMagnification},
        {o.notch >= 0, kGivenNotch},
        {o.timeResolution > 0, kGivenTimeResolution},
        {o.preset >= 0, kGivenPreset},
    };
    uint32_t given = 0;
    for (const auto& option : options)
        if (option.given) given |= option.bit;
    return given;
}

bool PresetApplied(const AppRecord* record);

// Verdicts about the layout rather than the file.
bool IsLayoutVerdict(int32_t verdict) {
    return verdict == kSourceNoDataLine || verdict == kSourceTooFewColumns ||
           verdict == kSourceDataLineBeyondHead;
}

// Every value the run takes from the settings file, in its range; the
// pattern's keys that took defaults become a warning.
bool CheckSettings(const ConvertOptions& o, const SettingsPaths& paths, const AppRecord* record,
                   std::vector<std::string>* notes, std::string* error) {
    SettingsUse use{};
    use.runKind = record->CopyFileType == kOutputPsg ? kSettingsRunPsg : kSettingsRunEeg;
    use.volume = o.volumeRoot != nullptr ? 1 : 0;
    use.preset = PresetApplied(record) ? record->OrgFileType : 0;
    use.calibrated = record->OrgCalDataType == 1 ? 1 : 0;
    use.patternSlot =
        use.runKind == kSettingsRunPsg ? record->CurrentPsgPattern : record->CurrentEegPattern;
    use.patternRows = record->ChannelCount < 0                  ? 0
                      : record->ChannelCount > kPatternRowCount ? kPatternRowCount
                                                                : record->ChannelCount;
    use.given = GivenSettings(o);
    SettingProblem problem{};
    if (!CheckRunSettings(paths.SettingsPath, &use, &problem)) {
        char reason[256];
        FormatSettingProblem(&problem, reason, sizeof reason);
        *error = "the settings file " + Quoted(paths.SettingsPath) + ": " + reason;
        return false;
    }
    char section[kSettingNameSize];
    PatternSectionName(&use, section, sizeof section);
    char keys[512];
    const int32_t missing = MissingPatternKeys(paths.SettingsPath, &use, keys, sizeof keys);
    if (missing < 0)
        notes->push_back("the settings file " + Quoted(paths.SettingsPath) + " has no section [" +
                         section + "]; the built-in pattern was used");
    else if (missing > 0)
        notes->push_back("[" + std::string(section) + "] of " + Quoted(paths.SettingsPath) +
                         " lacks " + keys + "; " +
                         (missing == 1 ? "its default was" : "their defaults were") + " used");
    return true;
}

// The run reads the source twice, the head and then the data from its
// offset: only a regular file can be read so.
bool CheckSourceKind(const char* source, std::string* error) {
    struct stat status {};
    if (stat(source, &status) != 0) {
        if (std::strcmp(source, "-") != 0) return true;  // the open names the reason
        *error = "standard input cannot be converted: the source must be a regular file";
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        *error = "cannot convert " + Quoted(source) + ": it is a directory";
        return false;
    }
    if (S_ISREG(status.st_mode)) return true;
    *error = "cannot convert " + Quoted(source) + ": the source must be a regular file";
    return false;
}

// The options that decide how the source is opened: output type, pattern
// slot (the labels go into it) and preset.
bool ApplyBeforeOpen(const ConvertOptions& o, const SettingsPaths& paths, AppRecord* record,
                     std::string* error) {
    if (o.fileType > 0)
        record->CopyFileType = static_cast<uint16_t>(o.fileType);
    else if (!IsEegOutput(record->CopyFileType))
        record->CopyFileType = kOutputEegFiling32;
    if (o.pattern > 0) {
        record->CurrentEegPattern = static_cast<uint16_t>(o.pattern - 1);
        record->CurrentPsgPattern = static_cast<uint16_t>(o.pattern - 1);
    }
    if (o.preset == 0) record->OrgFileType = 0;
    if (o.preset > 0) {
        if (record->SourcePreset[o.preset - 1].Enable == 0) {
            *error = "preset " + std::to_string(o.preset) + " is not enabled in " +
                     Quoted(paths.SettingsPath);
            return false;
        }
        record->OrgFileType = static_cast<uint16_t>(o.preset);
    }
    return true;
}

// A pattern named on the command line must be one the settings file holds:
// built-in defaults in its place would convert with channels nobody chose.
bool CheckPatternSection(const ConvertOptions& o, const SettingsPaths& paths,
                         const AppRecord* record, std::string* error) {
    if (o.pattern <= 0) return true;
    const char* kind = record->CopyFileType == kOutputPsg ? "PSG" : "EEG";
    const std::string section = std::string(kind) + "Pattern" + std::to_string(o.pattern);
    if (PlatProfileHasSection(section.c_str(), paths.SettingsPath)) return true;
    *error = "the settings file " + Quoted(paths.SettingsPath) + " has no section [" + section +
             "] for --pattern " + std::to_string(o.pattern);
    return false;
}

// The patterns in use as the settings hold them, for --keep-pattern: taking
// labels and a channel count switches rows, which it must not.
struct PatternsKept {
    MontagePattern eeg;
    MontagePattern psg;
};

void KeepPatterns(AppRecord* record, PatternsKept* kept) {
    if (const MontagePattern* eeg = CurrentEegSlot(record)) kept->eeg = *eeg;
    if (const MontagePattern* psg = CurrentPsgSlot(record)) kept->psg = *psg;
}

void RestorePatterns(AppRecord* record, const PatternsKept& kept) {
    if (MontagePattern* eeg = CurrentEegSlot(record)) *eeg = kept.eeg;
    if (MontagePattern* psg = CurrentPsgSlot(record)) *psg = kept.psg;
}

bool PresetApplied(const AppRecord* record) {
    return record->OrgFileType >= 1 && record->OrgFileType <= kSourcePresetCount &&
           record->SourcePreset[record->OrgFileType - 1].Enable != 0;
}

// Explicit layout options win over the preset; the labels are taken again
// when the cutting of the label line changed.
bool ApplyLayout(const ConvertOptions& o, AppRecord* record, std::string* error) {
    if (o.delimiter >= 0) record->DelimitChar = static_cast<uint16_t>(o.delimiter);
    if (o.bias >= 0) record->DataLineBias = o.bias;
    if (o.dataStartLine >= 0) record->DataStartLine = o.dataStartLine;
    if (o.valueKind >= 0) record->OrgCalDataType = static_cast<uint16_t>(o.valueKind);
    if (o.magGiven) record->OrgDataMag = o.mag;
    if (o.labelLine >= 0) {
        char line[kLineByteLimit + 1];
        if (HeadLabelLine(record->SourceText, record->SourceTextLength, o.labelLine,
                          record->DelimitChar, line) < 0) {
            *error = "the source's head has no line " + std::to_string(o.labelLine) + " for labels";
            return false;
        }
        record->ChStartLine = o.labelLine;
        SetChannelLabels(record, line);
    } else if (PresetApplied(record) && (o.delimiter >= 0 || o.bias >= 0)) {
        char line[kLineByteLimit + 1];
        CollectLabelLineInMode(record->SourceText, record->SourceTextLength, record->ChStartLine,
                               record->DelimitChar, line);
        SetChannelLabels(record, line);
    }
    if (o.channels > 0) {
        record->ChannelCount = o.channels;
        SwitchChannelRows(record, o.channels);
    }
    if (o.rate > 0) record->SampleRate = o.rate;
    if (o.notch >= 0) record->NotchFreq = o.notch;
    if (o.invert >= 0) record->PolarityCopy = static_cast<uint16_t>(o.invert);
    if (o.startGiven) {
        record->RecordYear = o.start[0];
        record->RecordMonth = o.start[1];
        record->RecordDay = o.start[2];
        record->RecordHour = o.start[3];
        record->RecordMinute = o.start[4];
        record->RecordSecond = o.start[5];
    }
    return true;
}

std::string LayoutProblem(const AppRecord* record) {
    if (record->ChannelCount < 1 || record->ChannelCount > kEegMaxChannels)
        return "the channel count " + std::to_string(record->ChannelCount) +
               " is outside 1..256 (see --channels)";
    if (record->SampleRate < 1 || record->SampleRate > kEegMaxSampleRate)
        return "the sampling rate " + std::to_string(record->SampleRate) +
               " Hz is outside 1..1000000 (see --rate)";
    if (EegStepBlockBytes(record) == 0)
        return "a step of " + std::to_string(record->SampleRate) + " Hz x " +
               std::to_string(record->ChannelCount) + " channels needs too much memory";
    return std::string();
}

// Makes the volume ready: its Disk ID read, or created when asked for.
bool PrepareVolume(const ConvertOptions& o, AppRecord* record, std::string* error) {
    char volumeFile[kPathSize];
    int32_t check = CheckOutputVolume(record, o.volumeRoot, volumeFile, sizeof volumeFile);
    const std::string root = Quoted(o.volumeRoot);
    switch (check) {
        case kVolumeReady:
            if (o.newDiskId == nullptr) return true;
            *error = root + " already has the volume file " + volumeFile + " (Disk ID \"" +
                     record->PatientInfo.DiskId + "\")";
            return false;
        case kVolumeNoDiskId:
            *error = "the volume file " + std::string(volumeFile) + " in " + root +
                     " holds no Disk ID (it is unreadable or shorter than 12 bytes)";
            return false;
        case kVolumeMissing: break;
        default:
            *error = root + " is not a folder that can be used as an output volume";
            return false;
    }
    if (o.newDiskId == nullptr) {
        *error =
            "no volume file (*.VOL) in " + root + "; give it a Disk ID with --create-disk-id ID";
        return false;
    }
    // A run that would be refused writes no volume file either.
    if (FindFreeEegFileNumber(o.volumeRoot, record->EEGFileNo) == 0) {
        *error =
            "every file number 1.." + std::to_string(kFileNumberLast) + " in " + root + " is taken";
        return false;
    }
    switch (CreateDiskId(record, o.volumeRoot, o.newDiskId)) {
        case kDiskIdCreated: return true;
        case kDiskIdFolderFailed: *error = "cannot make the DAT folder in " + root; return false;
        default: *error = "cannot write the volume file 4710.VOL in " + root; return false;
    }
}

std::string StartProblem(const AppRecord* record, int32_t outcome, const std::string& path) {
    char reason[512];
    FormatEegStartReason(record, outcome, path.c_str(), reason, sizeof reason);
    return reason;
}

int RunEegSteps(AppRecord* record, const ConvertOptions& o, const SettingsPaths& paths,
                const std::string& path) {
    Progress progress = StartProgress(record, record->SourceTextOffset);
    while (!InterruptRequested() && EegTimerTick(record)) ShowProgress(&progress, record, o.source);
    EndProgress(progress);
    RunEndNames names{path,
                      o.source,
                      "the wave of " + Quoted(path.c_str()),
                      record->CopyPrivateFile == 0 ? paths.SettingsPath : nullptr,
                      0,
                      record->SampleRate > 0 ? 1.0 / record->SampleRate : 0.0};
    return EndConversionRun(record, names);
}

}  // namespace

int PrepareConvertSource(const ConvertOptions& o, bool refuseLayout, SettingsPaths* paths,
                         std::vector<std::string>* notes, ConvertRecord* out) {
    std::string error;
    if (!FindSettings(o, paths, &error)) return Fail(kExitFailed, error);
    if (!CheckPatient(o, *paths, notes, &error)) return Fail(kExitFailed, error);
    RecordPtr record(static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord))));
    if (!record) return Fail(kExitFailed, "out of memory");
    // The load and the checks below read the settings once between them.
    const profile_io::ProfileHold settingsHold(paths->SettingsPath);
    LoadSettingsForConversion(record.get(), paths);
    if (!ApplyBeforeOpen(o, *paths, record.get(), &error)) return Fail(kExitFailed, error);
    if (!CheckPatternSection(o, *paths, record.get(), &error)) return Fail(kExitFailed, error);
    PatternsKept kept;
    KeepPatterns(record.get(), &kept);

    if (!CheckSourceKind(o.source, &error)) return Fail(kExitFailed, error);
    if (OpenSourceFromPath(record.get(), o.source) == 0) {
        char reason[128] = "";
        PlatLastErrorText(reason, sizeof reason);
        return Fail(kExitFailed, "cannot open the source " + Quoted(o.source) +
                                     (reason[0] != '\0' ? std::string(": ") + reason : ""));
    }
    if (!ApplyLayout(o, record.get(), &error)) return Fail(kExitFailed, error);
    if (!CheckSettings(o, *paths, record.get(), notes, &error)) return Fail(kExitFailed, error);
    if (o.keepPattern) RestorePatterns(record.get(), kept);
    if ((refuseLayout || !IsLayoutVerdict(CheckSourceForConversion(record.get(), nullptr))) &&
        !CheckSource(record.get(), o.source, &error))
        return Fail(kExitFailed, error);
    *out = std::move(record);
    return kExitConverted;
}

int RunConvert(int argc, char** argv) {
    if (IsBatchConvert(argc, argv)) return RunBatchConvert(argc, argv);
    ConvertOptions o;
    std::string error;
    if (!ParseConvertOptions(argc, argv, &o, &error))
        return Fail(kExitUsage, error + " (quillon-cli convert --help)");
    if (o.help) {
        PrintConvertUsage(stdout);
        return kExitConverted;
    }
    SettingsPaths paths;
    std::vector<std::string> notes;
    RecordPtr record;
    const int prepared = PrepareConvertSource(o, kLayoutRefused, &paths, &notes, &record);
    if (prepared != kExitConverted) return prepared;
    CatchInterrupts();
    if (record->CopyFileType == kOutputPsg) return ConvertToPsg(record.get(), o, notes);
    std::string problem = LayoutProblem(record.get());
    if (!problem.empty()) return Fail(kExitFailed, problem);
    WarnOnColumnMismatch(record.get(), o.source);
    for (const std::string& note : notes) Warn(note);

    char path[kPathSize] = "";
    int32_t outcome;
    // A file named by the user, or numbered by a batch, takes no running number.
    record->CopyPrivateFile = o.volumeRoot != nullptr && o.fileNumber == 0 ? 0 : 1;
    if (o.volumeRoot != nullptr) {
        if (!PrepareVolume(o, record.get(), &error)) return Fail(kExitFailed, error);
        if (o.fileNumber > 0) record->EEGFileNo = o.fileNumber;
        const int32_t setNumber = record->EEGFileNo;
        outcome = StartEegConversionOnVolume(record.get(), o.volumeRoot, path, sizeof path);
        if (path[0] == '\0')
            MakeAutomaticOutputPath(o.volumeRoot, record->EEGFileNo, path, sizeof path);
        else if (record->EEGFileNo != setNumber)
            Warn("file number " + std::to_string(setNumber) +
                 " is taken on the volume (a file an earlier run left); this run uses number " +
                 std::to_string(record->EEGFileNo) + ", " + Quoted(path));
    } else {
        std::snprintf(path, sizeof path, "%s", o.outputFile);
        outcome = StartEegConversion(record.get(), o.outputFile);
    }
    if (outcome != kEegStarted)
        return Fail(kExitFailed,
                    StartProblem(record.get(), outcome, o.outputFile ? o.outputFile : path));
    return RunEegSteps(record.get(), o, paths, path);
}

bool FindConvertSettings(const ConvertOptions& o, SettingsPaths* paths, std::string* error) {
    return FindSettings(o, paths, error);
}

bool PrepareConvertVolume(const ConvertOptions& o, AppRecord* record, std::string* error) {
    return PrepareVolume(o, record, error);
}
