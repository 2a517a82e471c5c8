#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <tuple>

#include "store/pattern_store.h"
#include "scratch_files.h"
#include "store/settings_store.h"

namespace {

struct Install {
    ScratchFolder folder;
    SettingsPaths paths{};
    Install() {
        std::filesystem::create_directory(folder.File("COND"));
        EXPECT_EQ(MakeSettingsPaths(folder.Path().c_str(), &paths), 1);
    }
    std::string Settings() const { return paths.SettingsPath; }
    std::string Patient() const { return paths.PatientPath; }
};

// The start-up load of the main window, without its window steps.
void StartUp(AppRecord* record, ElectrodeNameTable* names, const SettingsPaths& paths) {
    ReadDebugSwitch(&paths);
    CountProgramStart(&paths);
    LoadSettingsBeforePages(record, names, &paths);
    LoadSettingsAfterPages(record, &paths);
}

TEST(SettingsPaths, LieInTheCondAndHelpFoldersBelowTheProgram) {
    SettingsPaths paths;
    ASSERT_EQ(MakeSettingsPaths("/opt/quillon", &paths), 1);
    EXPECT_STREQ(paths.SettingsPath, "/opt/quillon/COND/QUILLON.INI");
    EXPECT_STREQ(paths.PatientPath, "/opt/quillon/COND/PATIENT.INF");
    EXPECT_STREQ(paths.HelpPath, "/opt/quillon/HELP/QUILLON.HLP");
    EXPECT_EQ(MakeSettingsPaths(std::string(250, 'a').c_str(), &paths), 0);
}

using std::make_tuple;
using std::string;

TEST(StartUp, AnEmptyCondFolderGivesTheDefaults) {
    Install install;
    RecordPtr record = ZeroRecord();
    ElectrodeNameTable names;
    StartUp(record.get(), &names, install.paths);
    const AppRecord& r = *record;
    EXPECT_EQ(std::tie(r.MaxCh, r.ElectrodeType, r.OrgDataMag, r.FrameTime, r.EEGFileNo,
                       r.OrgTimeRes, r.SaveEnable, r.SampleRate, r.ChannelCount, r.RecordYear),
              make_tuple(32, 2, 1, 1, 1, 175, 1, 200, 12, 2000));
    for (const SourcePreset& preset : r.SourcePreset) EXPECT_EQ(preset.Enable, 0);
    EXPECT_EQ(make_tuple(string(names.Names[0][0]), string(names.Names[2][63])),
              make_tuple("--", "--"));

    const PatientInfo& p = r.PatientInfo;
    EXPECT_EQ(make_tuple(string(p.Name1), string(p.Name2), string(p.PatientId), string(p.Sex),
                         string(p.Hospital)),
              make_tuple("\x90\x56\x8B\x4B", "\x82\xA9\x82\xC8", "000-0001", "0",
                         "Sleep Center"));  // 新規, かな
    EXPECT_EQ(std::tie(p.BirthYear, p.BirthMonth, p.BirthDay, p.AgeYear, p.Height, p.Weight),
              make_tuple(1950, 1, 1, 25, 1600, 60000));

    const MontagePattern& slot = r.PatternSlots[3];
    EXPECT_STREQ(slot.name, "EEGPattern4");  // the EEG sections load last
    const PsgChannelRow& row = slot.PsgRows[100];
    EXPECT_EQ(std::tie(row.Rate, row.EU, row.VU, row.Sens, row.LFF, row.HFF, row.ChEnable),
              make_tuple(1, 50, 409, 50000, 500, 100, 0));
    EXPECT_STREQ(row.ChLabel, "Ch101");
    EXPECT_EQ(std::tie(slot.PsgRows[7].ChEnable, slot.PsgRows[5].Signal), make_tuple(1, 6));
}

TEST(StartUp, CountsEveryStart) {
    Install install;
    EXPECT_EQ(CountProgramStart(&install.paths), 1);
    EXPECT_EQ(CountProgramStart(&install.paths), 2);
    EXPECT_EQ(ReadBytes(install.Settings()), "[SYSTEM]\r\nRefCount=2\r\n");
}

TEST(StartUp, AHandWrittenSettingsFileLoadsAsWritten) {
    Install install;
    WriteBytes(
        install.Settings(),
        "[SYSTEM]\r\nMaxCh=70000\r\nFrameTime=5\r\nOrgFileType=3\r\nCopyFileType=2\r\n"
        "EEGFileNo=17\r\nDelimitChar=1\r\nOrgTimeRes=250\r\nOrgDataMag=-100\r\n"
        "SaveEnable=0\r\nOrgFile=C:\\data\\night.csv\r\nRefCount=41\r\n"
        "[ORGCOND0]\r\nEnable=1\r\nLabel=Lab A\r\nDelimitChar=2\r\nDataLineBias=2\r\n"
        "ChStartLine=3\r\nDataStartLine=5\r\n"
        "[ORGCOND2]\r\nEnable=1\r\nOrgCalDataType=0\r\nLabel=Ward\r\n"
        "[ORGCOND5]\r\nEnable=0\r\nLabel=Ignored\r\nDelimitChar=1\r\n"
        "[MONT0]\r\n0=Fp1\r\n1=Fpz2\r\n2=-x\r\n"
        "[MONT2]\r\n63=O2\r\n"
        "[EEGPattern1]\r\nPATTERN=Routine\r\nLabel1=EEG\r\nUnit1=uV\r\nRef=5\r\nACCSens=8\r\n"
        "SOURCE=1,1,3,\r\nG1=0,2,70000,\r\nSENS=20,6,\r\nWIDTH=5,\r\n"
        "[PSGPattern2]\r\nPATTERN=Sleep\r\nChLabel1=Airflow\r\nChUnit1=mV\r\n"
        "Sens=5000,20,\r\nMAG=0,10,\r\nVU=65536,\r\n");
    RecordPtr record = ZeroRecord();
    ElectrodeNameTable names;
    StartUp(record.get(), &names, install.paths);
    const AppRecord& r = *record;

    EXPECT_EQ(std::tie(r.MaxCh, r.FrameTime, r.OrgFileType, r.CopyFileType, r.EEGFileNo,
                       r.DelimitChar, r.OrgTimeRes, r.OrgDataMag, r.SaveEnable, r.ElectrodeType),
              make_tuple(4464, 5, 3, 2, 17, 1, 250, -100, 0, 2));
    EXPECT_EQ(make_tuple(string(r.OrgFile), string(r.CopyFile)),
              make_tuple("C:\\data\\night.csv", ""));
    EXPECT_EQ(PlatProfileInt("SYSTEM", "RefCount", 0, install.Settings().c_str()), 42);

    const SourcePreset* presets = r.SourcePreset;
    EXPECT_EQ(std::tie(presets[0].Enable, presets[0].DelimitChar, presets[0].OrgCalDataType,
                       presets[0].DataLineBias, presets[0].ChStartLine, presets[0].DataStartLine),
              make_tuple(1, 2, 1, 2, 3, 5));
    EXPECT_STREQ(presets[0].Label, "Lab A");
    EXPECT_EQ(std::tie(presets[2].Enable, presets[2].OrgCalDataType), make_tuple(1, 0));
    EXPECT_STREQ(presets[2].Label, "Ward");
    EXPECT_EQ(std::tie(presets[5].Enable, presets[5].DelimitChar), make_tuple(0, 0));
    EXPECT_STREQ(presets[5].Label, "");

    EXPECT_EQ(make_tuple(string(names.Names[0][0]), string(names.Names[0][1]),
                         string(names.Names[0][2]), string(names.Names[0][3]),
                         string(names.Names[1][0]), string(names.Names[2][63])),
              make_tuple("Fp1", "Fpz", "-x", "--", "--", "O2"));

    const MontagePattern& first = r.PatternSlots[0];
    EXPECT_EQ(make_tuple(string(first.name), string(first.labels[0]), string(first.labels[1]),
                         string(first.units[0]), string(first.units[1])),
              make_tuple("Routine", "EEG", "Ch2", "uV", "V"));
    EXPECT_EQ(std::tie(first.Ref, first.ACCSens, first.ACCLff, first.ACCCal),
              make_tuple(5, 8, 4, 5));
    const EegMontageRow* eeg = first.EegRows;
    // "5," is too short to be a list: WIDTH stays 0.
    EXPECT_EQ(std::tie(eeg[2].SOURCE, eeg[3].SOURCE, eeg[2].G1, eeg[0].SENS, eeg[0].WIDTH),
              make_tuple(3, 0, 4464, 20, 0));

    const MontagePattern& second = r.PatternSlots[1];
    const PsgChannelRow* psg = second.PsgRows;
    EXPECT_EQ(make_tuple(string(second.name), string(psg[0].ChLabel), string(psg[1].ChLabel),
                         string(psg[0].ChUnit)),
              make_tuple("EEGPattern2", "Airflow", "Ch2", "mV"));
    EXPECT_EQ(std::tie(psg[0].Sens, psg[1].Sens, psg[2].Sens, psg[0].MAG, psg[1].MAG, psg[0].VU,
                       psg[1].VU),
              make_tuple(50000, 200, 50000, 1, 10, 65536, 409));
}

TEST(StartUp, APatientFileLoadsAsWritten) {
    Install install;
    WriteBytes(install.Patient(),
               "[PATIENT]\r\nHeight=1725\r\nWeight=81500\r\nAgeYear=70000\r\nYear=1961\r\n"
               "ID=A-123456789012345678901\r\nName1=\x8E\x52\x93\x63\r\nSex=F\r\n"
               "Departmemt=Neurology\r\nHospital=General\r\n");
    RecordPtr record = ZeroRecord();
    LoadPatientInfo(record.get(), &install.paths);
    const PatientInfo& p = record->PatientInfo;
    EXPECT_EQ(std::tie(p.Height, p.Weight, p.AgeYear, p.BirthYear, p.BirthMonth),
              make_tuple(1725, 81500, 4464, 1961, 1));
    // The ID keeps 19 bytes; 山田 as written.
    EXPECT_EQ(make_tuple(string(p.PatientId), string(p.Name1), string(p.Name2), string(p.Sex),
                         string(p.Department), string(p.Hospital)),
              make_tuple("A-12345678901234567", "\x8E\x52\x93\x63", "\x82\xA9\x82\xC8", "F",
                         "Neurology", "General"));
}

TEST(ExitSave, WritesTheSystemKeysInOrderAndThePatientOnlyWhenAsked) {
    Install install;
    RecordPtr record = ZeroRecord();
    record->MaxCh = 40000;
    record->FrameTime = 2;
    record->OrgFileType = 3;
    record->CopyFileType = 1;
    record->DelimitChar = 2;
    record->PolarityCopy = 1;
    record->CopyDrive = 4;
    record->ElectrodeType = 1;
    record->NotchFreq = 2;
    record->OrgDataMag = -1000;
    record->OrgTimeResSw = 1;
    record->OrgTimeRes = 175;
    record->EEGFileNo = 99;
    std::strcpy(record->OrgFile, "C:\\in.txt");
    SaveSettingsOnExit(record.get(), &install.paths);
    EXPECT_EQ(ReadBytes(install.Settings()),
              "[SYSTEM]\r\nMaxCh=40000\r\nFrameTime=2\r\nOrgFileType=3\r\nCopyFileType=1\r\n"
              "DelimitChar=2\r\nPolarityCopy=1\r\nCopyPrivateFile=0\r\nCopyDrive=4\r\n"
              "ElectrodeType=1\r\nNotchFreq=2\r\nOrgDataMag=-1000\r\nSaveEnable=0\r\n"
              "OrgTimeResSw=1\r\nOrgTimeRes=175\r\nOrgFile=C:\\in.txt\r\nCopyFile=\r\n");
    EXPECT_FALSE(std::filesystem::exists(install.Patient()));

    record->SaveEnable = 1;
    PatientInfo& patient = record->PatientInfo;
    patient.Height = 1600;
    patient.Weight = 60000;
    patient.AgeYear = 25;
    patient.BirthYear = 1950;
    patient.BirthMonth = 1;
    patient.BirthDay = 2;
    std::strcpy(patient.PatientId, "000-0001");
    std::strcpy(patient.Name1, "\x90\x56\x8B\x4B");
    std::strcpy(patient.Sex, "M");
    std::strcpy(patient.Hospital, "Sleep Center");
    std::strcpy(patient.Medication, "never stored");
    SavePatientInfo(record.get(), &install.paths);
    EXPECT_EQ(ReadBytes(install.Patient()),
              "[PATIENT]\r\nHeight=1600\r\nWeight=60000\r\nAgeYear=25\r\nAgeMonth=0\r\n"
              "Year=1950\r\nMonth=1\r\nDay=2\r\nID=000-0001\r\nName1=\x90\x56\x8B\x4B\r\n"
              "Name2=\r\nSex=M\r\nHospital=Sleep Center\r\nDepartmemt=\r\nReqDoctor=\r\n"
              "Technician=\r\nReaderDoctor=\r\n");
}

// Every stored field of the record gets a value of its own kind.
void FillForRoundTrip(AppRecord* record) {
    uint16_t AppRecord::*const words[] = {
        &AppRecord::MaxCh,       &AppRecord::OrgFileType,   &AppRecord::CopyFileType,
        &AppRecord::DelimitChar, &AppRecord::OrgTimeResSw,  &AppRecord::CopyPrivateFile,
        &AppRecord::CopyDrive,   &AppRecord::ElectrodeType, &AppRecord::PolarityCopy};
    for (size_t i = 0; i < std::size(words); ++i) record->*words[i] = static_cast<uint16_t>(i + 3);
    record->FrameTime = 10;
    record->OrgTimeRes = 10000;
    record->NotchFreq = 1;
    record->OrgDataMag = -1000000;
    record->SaveEnable = 1;
    std::strcpy(record->OrgFile, "C:\\source\\night 2.csv");
    std::strcpy(record->CopyFile, "D:\\out\\night.psg");
    PatientInfo& patient = record->PatientInfo;
    patient = PatientInfo{1812,
                          70500,
                          {},
                          {},
                          "X-42",
                          "\x8E\x52\x93\x63 \x91\xBE\x98\x59",
                          "\x82\xE2\x82\xDC\x82\xBE",
                          "M",
                          41,
                          11,
                          1983,
                          12,
                          31,
                          "Sleep lab",
                          "Dr. A",
                          "B",
                          "Dr. C",
                          "North Hospital",
                          {},
                          {},
                          {},
                          {},
                          {},
                          {}};
    for (int s = 0; s < kPatternSlotCount; ++s) {
        MontagePattern& slot = record->PatternSlots[s];
        std::snprintf(slot.name, sizeof slot.name, "Pattern %c", 'A' + s);
        for (int i = 0; i < kPatternLabelCount; ++i)
            std::snprintf(slot.labels[i], sizeof slot.labels[i], "L%d-%d", s, i);
        for (int i = 0; i < kPatternUnitCount; ++i)
            std::snprintf(slot.units[i], sizeof slot.units[i], "u%d%d", s, i);
        uint16_t MontagePattern::*const settings[] = {
            &MontagePattern::Ref,    &MontagePattern::ACCSens, &MontagePattern::ACCLff,
            &MontagePattern::ACCHff, &MontagePattern::ACCCal,  &MontagePattern::Notch,
            &MontagePattern::Rapid};
        for (size_t i = 0; i < std::size(settings); ++i)
            slot.*settings[i] = static_cast<uint16_t>(s + i + 1);
        uint16_t EegMontageRow::*const eegLists[] = {
            &EegMontageRow::SOURCE, &EegMontageRow::G1,   &EegMontageRow::G2,
            &EegMontageRow::RECIN,  &EegMontageRow::SENS, &EegMontageRow::LFF,
            &EegMontageRow::HFF,    &EegMontageRow::CAL,  &EegMontageRow::SHOW,
            &EegMontageRow::COLOR,  &EegMontageRow::WIDTH};
        int32_t PsgChannelRow::*const psgLists[] = {
            &PsgChannelRow::ChEnable, &PsgChannelRow::Signal, &PsgChannelRow::Rate,
            &PsgChannelRow::EU,       &PsgChannelRow::VU,     &PsgChannelRow::LFF,
            &PsgChannelRow::HFF,      &PsgChannelRow::MAG};
        for (int r = 0; r < kPatternRowCount; ++r) {
            for (size_t i = 0; i < std::size(eegLists); ++i)
                slot.EegRows[r].*eegLists[i] = static_cast<uint16_t>(r * 7 + i * 13 + s);
            for (size_t i = 0; i < std::size(psgLists); ++i)
                slot.PsgRows[r].*psgLists[i] = static_cast<int32_t>(65536 * s + r * 31 + i + 1);
            slot.PsgRows[r].Sens = 5000000 - 10 * r;
            std::snprintf(slot.PsgRows[r].ChLabel, kPatternTextSize, "Chan %d/%d", s, r);
            std::snprintf(slot.PsgRows[r].ChUnit, kPatternUnitSize, "mmHg");
        }
    }
}

TEST(RoundTrip, SavedSettingsAndPatternsLoadBackAsTheyWere) {
    Install install;
    RecordPtr saved = ZeroRecord();
    FillForRoundTrip(saved.get());
    SaveSettingsOnExit(saved.get(), &install.paths);
    SavePsgPattern(saved.get(), install.Settings().c_str(), -1);
    SaveEegPattern(saved.get(), install.Settings().c_str(), -1);

    RecordPtr loaded = ZeroRecord();
    ElectrodeNameTable names;
    StartUp(loaded.get(), &names, install.paths);
    // What the start-up sets without reading it: the source defaults and
    // the file number, which only the EEG run writes.
    SetInitialSourceValues(saved.get());
    saved->EEGFileNo = 1;
    EXPECT_STREQ(loaded->PatientInfo.Name1, saved->PatientInfo.Name1);
    EXPECT_STREQ(loaded->PatternSlots[3].PsgRows[255].ChLabel, "Chan 3/255");
    EXPECT_EQ(loaded->PatternSlots[3].PsgRows[255].VU, saved->PatternSlots[3].PsgRows[255].VU);
    EXPECT_EQ(std::memcmp(loaded.get(), saved.get(), sizeof(AppRecord)), 0);
}

}  // namespace
