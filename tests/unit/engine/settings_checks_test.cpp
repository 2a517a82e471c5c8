// The values a run takes from the settings file: refused with their section,
// key, value and range before anything is created; the pattern keys that
// took defaults; the patient file's state.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runs/start_reasons.h"
#include "scratch_files.h"
#include "store/settings_checks.h"

namespace {

const char kSettings[] =
    "[SYSTEM]\r\nFrameTime=2\r\nDelimitChar=1\r\nEEGFileNo=7\r\nOrgFileType=1\r\n"
    "[ORGCOND0]\r\nEnable=1\r\nDelimitChar=0\r\nOrgCalDataType=1\r\nDataStartLine=2\r\n"
    "[EEGPattern1]\r\nRef=1\r\nACCSens=6\r\nACCLff=4\r\nACCHff=3\r\nACCCal=5\r\nNotch=1\r\n"
    "Rapid=0\r\nSOURCE=1,1,\r\nG1=0,1,\r\nG2=19,20,\r\nRECIN=0,1,\r\nSENS=20,6,\r\n"
    "LFF=20,4,\r\nHFF=20,3,\r\nCAL=20,5,\r\nSHOW=1,1,\r\nCOLOR=1,2,\r\nWIDTH=10,10,\r\n"
    "[PSGPattern1]\r\nChEnable=1,1,\r\nSignal=4,7,\r\nRate=1,2,\r\nEU=50,1,\r\nVU=409,4000,\r\n"
    "Sens=5000,100,\r\nLFF=300,300,\r\nHFF=35,70,\r\nMAG=1,0,\r\n";

struct Settings {
    ScratchFolder folder;
    std::string path = folder.File("QUILLON.INI");
    // The test settings with one line replaced (or none when from is empty).
    explicit Settings(const std::string& from = "", const std::string& to = "") {
        std::string text = kSettings;
        if (!from.empty()) text.replace(text.find(from), from.size(), to);
        WriteBytes(path, text);
    }
};

SettingsUse Use(int32_t runKind, int32_t preset = 1) {
    SettingsUse use{};
    use.runKind = runKind;
    use.preset = preset;
    use.patternRows = 2;
    return use;
}

std::string Refusal(const Settings& settings, const SettingsUse& use) {
    SettingProblem problem{};
    if (CheckRunSettings(settings.path.c_str(), &use, &problem)) return "usable";
    char text[256];
    FormatSettingProblem(&problem, text, sizeof text);
    return text;
}

TEST(RunSettings, TheSampleLikeSettingsAreUsable) {
    Settings settings;
    EXPECT_EQ(Refusal(settings, Use(kSettingsRunEeg)), "usable");
    SettingsUse volume = Use(kSettingsRunEeg);
    volume.volume = 1;
    EXPECT_EQ(Refusal(settings, volume), "usable");
    EXPECT_EQ(Refusal(settings, Use(kSettingsRunPsg)), "usable");
    // The grid's "--" state: neither on nor off, stored as it is.
    Settings unsure("ChEnable=1,1,", "ChEnable=2,-1,");
    EXPECT_EQ(Refusal(unsure, Use(kSettingsRunPsg)), "usable");
}

TEST(RunSettings, ADamagedValueIsRefusedWithItsSectionKeyValueAndRange) {
    struct Case {
        const char* from;
        const char* to;
        int32_t runKind;
        int32_t preset;
        bool volume;
        uint32_t given;
        const char* reason;
    } cases[] = {
        {"DelimitChar=1", "DelimitChar=7", kSettingsRunEeg, 0, false, kGivenPreset,
         "[SYSTEM] DelimitChar is 7; it must be 0..2"},
        {"OrgCalDataType=1", "OrgCalDataType=9", kSettingsRunEeg, 1, false, 0,
         "[ORGCOND0] OrgCalDataType is 9; it must be 0..1"},
        {"DataStartLine=2", "DataStartLine=-5", kSettingsRunPsg, 1, false, 0,
         "[ORGCOND0] DataStartLine is -5; it must be 0 or more"},
        {"DelimitChar=0", "DelimitChar=-1", kSettingsRunEeg, 1, false, 0,
         "[ORGCOND0] DelimitChar is -1; it must be 0..2"},
        {"OrgFileType=1", "OrgFileType=40", kSettingsRunEeg, 0, false, 0,
         "[SYSTEM] OrgFileType is 40; it must be 0..32"},
        {"EEGFileNo=7", "EEGFileNo=-1", kSettingsRunEeg, 1, true, 0,
         "[SYSTEM] EEGFileNo is -1; it must be 1..99999"},
        {"EEGFileNo=7", "EEGFileNo=1000000", kSettingsRunEeg, 1, true, 0,
         "[SYSTEM] EEGFileNo is 1000000; it must be 1..99999"},
        {"FrameTime=2", "FrameTime=3", kSettingsRunPsg, 1, false, 0,
         "[SYSTEM] FrameTime is 3; it must be 1, 2, 5 or 10"},
        {"SENS=20,6,", "SENS=20,21,", kSettingsRunEeg, 1, false, 0,
         "[EEGPattern1] SENS is 21 for row 2; it must be 0..20"},
        {"ACCCal=5", "ACCCal=20", kSettingsRunEeg, 1, false, 0,
         "[EEGPattern1] ACCCal is 20; it must be 0..19"},
        {"Rate=1,2,", "Rate=1,3,", kSettingsRunPsg, 1, false, 0,
         "[PSGPattern1] Rate is 3 for row 2; it must be 1, 2, 4, 5, 10, 20 or 50"},
        {"VU=409,4000,", "VU=-409,4000,", kSettingsRunPsg, 1, false, 0,
         "[PSGPattern1] VU is -409 for row 1; it must be 0..9999999"},
        {"MAG=1,0,", "MAG=1,5,", kSettingsRunPsg, 1, false, 0,
         "[PSGPattern1] MAG is 5 for row 2; it must be 1, 10, 100, 1000 or 10000 (0 reads as 1)"},
    };
    for (const Case& c : cases) {
        Settings settings(c.from, c.to);
        SettingsUse use = Use(c.runKind, c.preset);
        use.volume = c.volume ? 1 : 0;
        use.given = c.given;
        EXPECT_EQ(Refusal(settings, use), c.reason) << c.to;
    }
}

TEST(RunSettings, ValuesTheRunDoesNotTakeFromTheFileAreNotChecked) {
    // Given on the command line, of another run kind, or of rows not in use.
    Settings delimiter("DelimitChar=0", "DelimitChar=7");
    SettingsUse use = Use(kSettingsRunEeg);
    use.given = kGivenDelimiter;
    EXPECT_EQ(Refusal(delimiter, use), "usable");
    Settings frameTime("FrameTime=2", "FrameTime=3");
    EXPECT_EQ(Refusal(frameTime, Use(kSettingsRunEeg)), "usable");
    Settings number("EEGFileNo=7", "EEGFileNo=0");
    EXPECT_EQ(Refusal(number, Use(kSettingsRunEeg)), "usable") << "not a volume run";
    Settings row("SENS=20,6,", "SENS=20,6,99,");
    EXPECT_EQ(Refusal(row, Use(kSettingsRunEeg)), "usable") << "row 3 is not in use";
}

TEST(RunSettings, APatternSectionCutShortNamesTheKeysThatTookDefaults) {
    const std::string full = kSettings;
    Settings settings;
    WriteBytes(settings.path, full.substr(0, full.find("Rate=1,2,")));
    char keys[256];
    SettingsUse psg = Use(kSettingsRunPsg);
    EXPECT_EQ(MissingPatternKeys(settings.path.c_str(), &psg, keys, sizeof keys), 7);
    EXPECT_STREQ(keys, "Rate, EU, VU, Sens, LFF, HFF, MAG");
    SettingsUse eeg = Use(kSettingsRunEeg);
    EXPECT_EQ(MissingPatternKeys(settings.path.c_str(), &eeg, keys, sizeof keys), 0);
    eeg.patternSlot = 1;
    EXPECT_EQ(MissingPatternKeys(settings.path.c_str(), &eeg, keys, sizeof keys), -1)
        << "no [EEGPattern2] at all";
}

TEST(PatientFile, ItsStateTellsMissingEmptyUnreadableAndRead) {
    ScratchFolder folder;
    const std::string path = folder.File("PATIENT.INF");
    EXPECT_EQ(CheckPatientFile(path.c_str()), kPatientFileMissing);
    WriteBytes(path, "");
    EXPECT_EQ(CheckPatientFile(path.c_str()), kPatientFileEmpty);
    WriteBytes(path, "[PATIENT]\r\nID=000-0123\r\n");
    EXPECT_EQ(CheckPatientFile(path.c_str()), kPatientFileRead);
    std::filesystem::create_directory(folder.File("FOLDER.INF"));
    EXPECT_EQ(CheckPatientFile(folder.File("FOLDER.INF").c_str()), kPatientFileUnreadable);
}

}  // namespace
