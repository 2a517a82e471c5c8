// The output volume: its volume file, a new Disk ID, the automatic path and
// the file number, and the head lines "<< Set" takes labels from.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "pages/eeg_page.h"
#include "eeg/eeg_repair.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"
#include "source/head_lines.h"
#include "source/source_reader.h"
#include "eeg/output_volume.h"
#include "ids/convert_ids.h"

namespace {

RecordPtr ZeroRecord() {
    return RecordPtr(static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord))));
}

TEST(OutputVolume, AVolumeFileGivesModelAndDiskId) {
    Scratch scratch;
    WriteBytes(scratch.File("ABCDEFGH.VOL"), std::string("VOL-0001\0\0\0\0", 12));
    RecordPtr record = ZeroRecord();
    char name[64];
    EXPECT_EQ(CheckOutputVolume(record.get(), scratch.Path().c_str(), name, sizeof name),
              kVolumeReady);
    EXPECT_STREQ(name, "ABCDEFGH.VOL");
    EXPECT_STREQ(record->PatientInfo.VolumeModel, "ABCD");
    EXPECT_STREQ(record->PatientInfo.DiskId, "VOL-0001");
    EXPECT_EQ(record->ConvertState, 1);

    // Only the first 11 of its 12 bytes are the Disk ID.
    WriteBytes(scratch.File("ABCDEFGH.VOL"), "123456789ABCDEF");
    EXPECT_EQ(CheckOutputVolume(record.get(), scratch.Path().c_str(), nullptr, 0), kVolumeReady);
    EXPECT_STREQ(record->PatientInfo.DiskId, "123456789AB");
}

TEST(OutputVolume, UnreadyVolumes) {
    Scratch scratch;
    RecordPtr record = ZeroRecord();
    record->ConvertState = 1;
    EXPECT_EQ(CheckOutputVolume(record.get(), scratch.Path().c_str(), nullptr, 0), kVolumeMissing);
    EXPECT_EQ(record->ConvertState, 0);
    WriteBytes(scratch.File("4710.VOL"), "SHORT");
    EXPECT_EQ(CheckOutputVolume(record.get(), scratch.Path().c_str(), nullptr, 0), kVolumeNoDiskId);
    EXPECT_EQ(record->ConvertState, 0) << "present, but no Disk ID to start with";
    EXPECT_EQ(CheckOutputVolume(record.get(), scratch.File("none").c_str(), nullptr, 0),
              kVolumeRootUnusable);
    char path[300];
    EXPECT_EQ(StartEegConversionOnVolume(record.get(), scratch.Path().c_str(), path, sizeof path),
              kEegStartNoVolume);
    EXPECT_FALSE(Exists(scratch.File("DAT")));
}

TEST(OutputVolume, CreatingADiskId) {
    Scratch scratch;
    RecordPtr record = ZeroRecord();
    EXPECT_EQ(CreateDiskId(record.get(), scratch.Path().c_str(), ""), kDiskIdEmpty);
    EXPECT_FALSE(Exists(scratch.File("4710.VOL")));

    EXPECT_EQ(CreateDiskId(record.get(), scratch.Path().c_str(), "1234567890AB"), kDiskIdCreated);
    EXPECT_EQ(ReadBytes(scratch.File("4710.VOL")), std::string("123456789\0\0\0", 12));
    EXPECT_TRUE(std::filesystem::is_directory(scratch.File("DAT")));
    EXPECT_STREQ(record->PatientInfo.DiskId, "123456789");
    EXPECT_STREQ(record->PatientInfo.VolumeModel, "4710");
    EXPECT_EQ(record->ConvertState, 1);

    // A double-byte character is not split at the ninth byte.
    EXPECT_EQ(CreateDiskId(record.get(), scratch.Path().c_str(), "ABCDEFGH\x82\xA0"),
              kDiskIdCreated);
    EXPECT_EQ(ReadBytes(scratch.File("4710.VOL")), std::string("ABCDEFGH\0\0\0\0", 12));

    // A volume file that cannot be written is reported, not passed over.
    record->ConvertState = 0;
    EXPECT_EQ(CreateDiskId(record.get(), scratch.File("4710.VOL").c_str(), "X"),
              kDiskIdVolumeFileFailed);
    EXPECT_EQ(record->ConvertState, 0);
}

// A Disk ID is stored whole: longer than 9 bytes, or bytes that are not
// code page 932, are refused before anything is written.
TEST(OutputVolume, DiskIdsThatCannotBeStoredWhole) {
    struct Case {
        const char* id;
        int32_t check;
        int32_t badByte;
    } cases[] = {
        {"DISK01", kDiskIdUsable, -1},
        {"123456789", kDiskIdUsable, -1},
        {"\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
         "A",
         kDiskIdUsable, -1},              // four hiragana and A
        {"\xB1\xB2", kDiskIdUsable, -1},  // half-width katakana
        {"", kDiskIdNothing, -1},
        {"1234567890", kDiskIdTooLong, -1},
        {"\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0", kDiskIdTooLong, -1},
        {"ABC\x82", kDiskIdNotCp932, 3},  // a lead byte without its trail byte
        {"A\x82"
         "1",
         kDiskIdNotCp932, 1},                  // a trail byte out of range
        {"voil\xC3\xA0", kDiskIdNotCp932, 5},  // UTF-8 "voila" with its grave accent
        {"\x80", kDiskIdNotCp932, 0},
        {"AB\xFD", kDiskIdNotCp932, 2},
    };
    for (const Case& c : cases) {
        int32_t bad = 99;
        EXPECT_EQ(CheckDiskId(c.id, &bad), c.check) << c.id;
        EXPECT_EQ(bad, c.badByte) << c.id;
    }
}

TEST(OutputVolume, AutomaticPathAndFileNumber) {
    char path[300];
    char name[16];
    FormatEegFileName(12, name, sizeof name);
    EXPECT_STREQ(name, "88000012");
    ASSERT_TRUE(MakeAutomaticOutputPath("/media/e", 12, path, sizeof path));
    EXPECT_STREQ(path, "/media/e/DAT/88000012.DAT");
    ASSERT_TRUE(MakeAutomaticOutputPath("/media/e/", 99999, path, sizeof path));
    EXPECT_STREQ(path, "/media/e/DAT/88099999.DAT");
    EXPECT_FALSE(MakeAutomaticOutputPath("/media/e", 1, path, 20));
    EXPECT_EQ(NextEegFileNumber(12), 13);
    EXPECT_EQ(NextEegFileNumber(99999), 1);
    EXPECT_EQ(NextEegFileNumber(0), 1);
}

TEST(OutputVolume, ARunOnAReadyVolume) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(4, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    record->EEGFileNo = 12;
    ASSERT_EQ(CreateDiskId(record.get(), scratch.Path().c_str(), "DISK"), kDiskIdCreated);
    char path[300];
    ASSERT_EQ(StartEegConversionOnVolume(record.get(), scratch.Path().c_str(), path, sizeof path),
              kEegStarted);
    EXPECT_EQ(std::string(path), scratch.File("DAT/88000012.DAT"));
    while (EegTimerTick(record.get())) {
    }
    FinishEegConversion(record.get(), nullptr);
    EXPECT_TRUE(Exists(scratch.File("DAT/88000012.REF")));
    OpenFile file(path);
    std::vector<std::string> texts = file.Texts(1, 0x80);
    EXPECT_EQ(texts[3], "4710");
    EXPECT_EQ(texts[5], "88000012");
    EXPECT_EQ(texts[6], "DISK");
}

// A killed run's leftovers (a wave, or only its reference file) never block
// the volume: the run takes the next number free of both, the wrap included,
// and names it in the file.
TEST(OutputVolume, LeftoversArePassedByToTheNextFreeNumber) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(4, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(CreateDiskId(record.get(), scratch.Path().c_str(), "DISK"), kDiskIdCreated);
    WriteBytes(scratch.File("DAT/88099999.DAT"), "left");
    WriteBytes(scratch.File("DAT/88000001.REF"), "");
    const char* root = scratch.Path().c_str();
    EXPECT_EQ(FindFreeEegFileNumber(root, 99998), 99998);
    EXPECT_EQ(FindFreeEegFileNumber(root, 99999), 2);
    record->EEGFileNo = 99999;
    char path[300];
    ASSERT_EQ(StartEegConversionOnVolume(record.get(), root, path, sizeof path), kEegStarted);
    EXPECT_EQ(std::string(path), scratch.File("DAT/88000002.DAT"));
    EXPECT_EQ(record->EEGFileNo, 2);
    while (EegTimerTick(record.get())) {
    }
    FinishEegConversion(record.get(), nullptr);
    EXPECT_EQ(record->EEGFileNo, 3) << "moved on past the number used";
    EXPECT_EQ(OpenFile(path).Texts(1, 0x80)[5], "88000002");
    EXPECT_EQ(ReadBytes(scratch.File("DAT/88099999.DAT")), "left");
}

// Waves without a whole reference file, counted all and named in order up
// to the list's room; complete waves, lone reference files and other names
// are no leftovers.
TEST(OutputVolume, LeftoversAreListedInNameOrder) {
    Scratch scratch;
    EegLeftoverList list;
    EXPECT_EQ(ListEegLeftovers(scratch.Path().c_str(), &list), 0) << "no DAT folder";
    std::filesystem::create_directory(scratch.File("DAT"));
    for (const char* name : {"88000028", "88000003", "88000020", "88000025", "88000021", "88000027",
                             "88000022", "88000026", "88000024", "88000023"})
        WriteBytes(scratch.File("DAT/") + name + ".DAT", "wave");
    WriteBytes(scratch.File("DAT/88000005.dat"), "wave");
    WriteBytes(scratch.File("DAT/88000001.DAT"), "wave");
    WriteBytes(scratch.File("DAT/88000001.REF"), "");
    WriteBytes(scratch.File("DAT/88000002.DAT"), "wave");
    WriteBytes(scratch.File("DAT/88000002.REF"), "reference");
    WriteBytes(scratch.File("DAT/88000004.REF"), "");
    for (const char* other : {"88000000.DAT", "8800001.DAT", "880000x1.DAT", "NOTES.DAT"})
        WriteBytes(scratch.File("DAT/") + other, "other");

    EXPECT_EQ(ListEegLeftovers(scratch.Path().c_str(), &list), 12);
    const std::vector<std::string> named(list.names, list.names + kEegLeftoversListed);
    EXPECT_EQ(named, (std::vector<std::string>{"88000001.DAT", "88000003.DAT", "88000005.dat",
                                               "88000020.DAT", "88000021.DAT", "88000022.DAT",
                                               "88000023.DAT", "88000024.DAT"}));
}

// A run killed on the volume is listed until it is repaired, and the number
// shown is the one the next run takes past it.
TEST(EegConvertPage, AKilledRunIsOfferedAndTheNextNumberShown) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(25, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    const char* root = scratch.Path().c_str();
    ASSERT_EQ(CreateDiskId(record.get(), root, "DISK"), kDiskIdCreated);
    record->EEGFileNo = 7;
    EXPECT_EQ(EegRunFileNumber(record.get(), root), 7);
    ASSERT_EQ(StartEegConversionOnVolume(record.get(), root, nullptr, 0), kEegStarted);
    ASSERT_EQ(EegTimerTick(record.get()), 1);
    ASSERT_EQ(AwaitEegStepWrite(record.get()), 1);
    CloseKavfile(record->OutputFile);  // killed: the .REF stays empty
    CloseKavfile(record->ReferenceFile);
    record->OutputFile = record->ReferenceFile = 0;
    ASSERT_EQ(CheckOutputVolume(record.get(), root, nullptr, 0), kVolumeReady);

    EegLeftoverList list;
    EegLeftoverView view;
    ASSERT_EQ(ListEegLeftovers(root, &list), 1);
    DescribeEegLeftovers(record.get(), &list, "", &view);
    EXPECT_STREQ(view.file, "88000007.DAT");
    EXPECT_EQ(view.noticeStringId, IDS_EEG_LEFTOVER);
    EXPECT_TRUE(view.offerRepair);
    EXPECT_EQ(EegRunFileNumber(record.get(), root), 8);
    record->CopyPrivateFile = 1;
    EXPECT_EQ(EegRunFileNumber(record.get(), root), 7) << "a named file keeps EEGFileNo";
    DescribeEegLeftovers(record.get(), &list, "", &view);
    EXPECT_EQ(view.noticeStringId, 0) << "the volume is not used";
    record->CopyPrivateFile = 0;

    char path[300];
    ASSERT_TRUE(MakeVolumeFilePath(root, list.names[0], path, sizeof path));
    RepairReport report;
    EXPECT_EQ(RepairEegWave(path, &report), kRepairDone);
    EXPECT_EQ(report.kept, 10);
    EXPECT_EQ(ListEegLeftovers(root, &list), 0);
    EXPECT_EQ(EegRunFileNumber(record.get(), root), 8);
    ASSERT_EQ(StartEegConversionOnVolume(record.get(), root, path, sizeof path), kEegStarted);
    EXPECT_EQ(std::string(path), scratch.File("DAT/88000008.DAT"));
    FinishEegConversion(record.get(), nullptr);
}

// Several leftovers are named by the first; the one just asked about is not
// asked about again; nothing is said off a usable volume. Texts name them.
TEST(EegConvertPage, LeftoverNoticeAndOffer) {
    AppRecord record{};
    record.ConvertState = kConvertReady;
    EegLeftoverList list{};
    list.count = 3;
    std::snprintf(list.names[0], sizeof list.names[0], "88000002.DAT");
    EegLeftoverView view;
    DescribeEegLeftovers(&record, &list, nullptr, &view);
    EXPECT_EQ(view.noticeStringId, IDS_EEG_LEFTOVERS);
    EXPECT_EQ(view.others, 2);
    EXPECT_TRUE(view.offerRepair);
    DescribeEegLeftovers(&record, &list, "88000002.DAT", &view);
    EXPECT_EQ(view.noticeStringId, IDS_EEG_LEFTOVERS) << "still told";
    EXPECT_FALSE(view.offerRepair);
    record.ConvertState = kConvertNotReady;
    DescribeEegLeftovers(&record, &list, nullptr, &view);
    EXPECT_EQ(view.noticeStringId, 0);
    EXPECT_FALSE(view.offerRepair);

    char text[64];
    FormatLeftoverText("%f: %1 (%e) 100%", "88000002.DAT", 42, "denied", text, sizeof text);
    EXPECT_STREQ(text, "88000002.DAT: 42 (denied) 100%");
    FormatLeftoverText("%f (%e)", "88000002.DAT", 0, nullptr, text, 8);
    EXPECT_STREQ(text, "8800000");
}

// A typed Disk ID longer than 9 bytes is refused whole, never cut.
TEST(EegConvertPage, DiskIdRefusals) {
    EXPECT_EQ(DiskIdRefusalStringId("\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
                                    "A"),
              0);
    EXPECT_EQ(DiskIdRefusalStringId(""), 0) << "nothing typed: nothing written, no reason";
    EXPECT_EQ(DiskIdRefusalStringId("\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0"),
              IDS_DISK_ID_TOO_LONG);
    EXPECT_EQ(DiskIdRefusalStringId("AB\xFD"), IDS_DISK_ID_NOT_CP932);
}

TEST(EegConvertPage, DrivesOfferedAndControlsPerState) {
    EXPECT_STREQ(DriveKindSuffix(kDriveMo5Inch), " MO 5inch");
    EXPECT_STREQ(DriveKindSuffix(kDriveHardDisk), " HD");
    EXPECT_EQ(DriveKindSuffix(3), nullptr);
    EXPECT_EQ(DriveKindSuffix(5), nullptr);

    AppRecord record{};
    EegPageView view;
    DescribeEegConvertPage(&record, false, &view);
    EXPECT_EQ(view.statusStringId, 18) << "no source";
    EXPECT_FALSE(view.startButton);
    EXPECT_TRUE(view.askForDiskId);
    EXPECT_TRUE(view.createButton);

    record.SourceOpen = 1;
    DescribeEegConvertPage(&record, true, &view);
    EXPECT_EQ(view.statusStringId, 27) << "a volume file without a Disk ID: state 0";
    EXPECT_TRUE(view.startButton);
    EXPECT_TRUE(view.createButton) << "automatic output: a volume may get a new Disk ID";
    EXPECT_TRUE(DiskIdRenewalAsks(&record, true)) << "replacing a volume file asks first";
    EXPECT_FALSE(DiskIdRenewalAsks(&record, false));

    record.CopyPrivateFile = 1;  // user-named: start without any volume
    DescribeEegConvertPage(&record, false, &view);
    EXPECT_TRUE(view.startButton);
    EXPECT_FALSE(view.driveList || view.diskIdField || view.createButton || view.askForDiskId);
    EXPECT_FALSE(DiskIdRenewalAsks(&record, true));

    record.CopyPrivateFile = 0;
    record.ConvertState = kConvertRunning;
    DescribeEegConvertPage(&record, true, &view);
    EXPECT_EQ(view.statusStringId, 25);
    EXPECT_FALSE(view.startButton || view.driveList || view.createButton || view.typeLists)
        << "locked while the run writes";
    record.ConvertState = kConvertFinished;
    DescribeEegConvertPage(&record, true, &view);
    EXPECT_EQ(view.statusStringId, 21);
    EXPECT_TRUE(view.startButton && view.driveList && view.typeLists);
}

TEST(HeadLines, ListedLinesKeepDoubleByteCharactersAndKatakana) {
    // CR LF, LF alone before a double-byte character, a lone CR, a blank
    // line, then a last line without a line end, which a head holding the
    // whole source lists.
    const std::string head = "a\tb\x01\r\n\x82\xA0,\xB1x\n\x93\xFA\rx\n\nlast";
    const int32_t size = static_cast<int32_t>(head.size());
    char line[4001];
    EXPECT_EQ(HeadListLineCount(head.data(), size), 6);
    EXPECT_EQ(HeadListLine(head.data(), size, 0, line), 3);
    EXPECT_STREQ(line, "a b");
    HeadListLine(head.data(), size, 1, line);
    EXPECT_STREQ(line, "\x82\xA0,\xB1x") << "half-width katakana stays";
    HeadListLine(head.data(), size, 2, line);
    EXPECT_STREQ(line, "\x93\xFA") << "a lone CR ends a line";
    EXPECT_EQ(HeadListLine(head.data(), size, 4, line), 0);
    EXPECT_EQ(HeadListLine(head.data(), size, 5, line), 4);
    EXPECT_STREQ(line, "last");
    EXPECT_EQ(HeadLineOffset(head.data(), size, 5), size - 4);
    EXPECT_EQ(HeadListLine(head.data(), size, 6, line), -1);
    EXPECT_STREQ(line, "");
    // A full head may stop inside a line: that line is not listed.
    std::string full(kSourceHeadSize - 4, 'x');
    full += "\nabc";
    EXPECT_EQ(HeadListLineCount(full.data(), static_cast<int32_t>(full.size())), 1)
        << "the long line once, not the cut one";
}

}  // namespace
