// Finishing files a killed run left behind: an EEG wave ends at the whole
// frames on disk with a reference file naming the last, an EDF+ file gets
// the count of its whole records; complete and foreign files stay as they are.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "eeg/eeg_repair.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"
#include "kavf32.h"
#include "psg/psg_repair.h"

namespace {

// The files of a run that died after `steps` steps, as the process left them.
void KillAfterSteps(AppRecord* record, const std::string& out, int steps) {
    ASSERT_EQ(StartEegConversion(record, out.c_str()), kEegStarted);
    for (int step = 0; step < steps; ++step) ASSERT_EQ(EegTimerTick(record), 1);
    ASSERT_EQ(AwaitEegStepWrite(record), 1);  // the last step's write landed before the kill
    CloseKavfile(record->OutputFile);
    CloseKavfile(record->ReferenceFile);
    record->OutputFile = 0;
    record->ReferenceFile = 0;
}

TEST(OutputRepair, AKilledWaveOpensWithItsStepsAndRepairEndsIt) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(35, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    const std::string out = scratch.File("out.dat");
    KillAfterSteps(record.get(), out, 2);
    EXPECT_EQ(ReadWave(out).frames, 20u) << "the count on disk follows each step";
    EXPECT_EQ(std::filesystem::file_size(scratch.File("out.REF")), 0u);
    // One more whole frame of the third step and part of the next one.
    const std::string killed = ReadBytes(out) + std::string("\x10\x00\x00\x05\x00\x06", 6) + "abcd";
    WriteBytes(out, killed);

    RepairReport report;
    EXPECT_EQ(RepairEegWave(out.c_str(), &report), kRepairDone);
    EXPECT_EQ(report.declared, 20);
    EXPECT_EQ(report.kept, 21);
    EXPECT_EQ(report.cutBytes, 4);
    EXPECT_EQ(std::filesystem::file_size(out), killed.size() - 4);
    const Wave wave = ReadWave(out);
    EXPECT_EQ(wave.frames, 21u);
    EXPECT_EQ(wave.Sample(20, 1), 6);
    OpenFile reference(scratch.File("out.REF"), "KAVT");
    EXPECT_EQ(reference.Longs(1, 0xD3, 4), (std::vector<uint32_t>{1, 2, 3, 20}));

    const std::string repaired = ReadBytes(out);
    const std::string repairedReference = ReadBytes(scratch.File("out.REF"));
    EXPECT_EQ(RepairEegWave(out.c_str(), &report), kRepairComplete);
    EXPECT_TRUE(ReadBytes(out) == repaired) << "unchanged";
    EXPECT_TRUE(ReadBytes(scratch.File("out.REF")) == repairedReference);
}

// A missing reference file is made new; a wave killed before its first step
// has nothing to keep and is not touched; foreign and missing files are
// refused, the latter with the system's reason.
TEST(OutputRepair, WhatItCannotFinishIsLeftAlone) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(15, 2));
    RecordPtr killed = EegRecord(scratch.File("src.csv"), 2, 1);
    KillAfterSteps(killed.get(), scratch.File("one.dat"), 1);
    std::filesystem::remove(scratch.File("one.REF"));
    RepairReport report;
    EXPECT_EQ(RepairEegWave(scratch.File("one.dat").c_str(), &report), kRepairDone);
    EXPECT_EQ(OpenFile(scratch.File("one.REF"), "KAVT").Longs(1, 0xD3, 4)[3], 9u);

    RecordPtr early = EegRecord(scratch.File("src.csv"), 2, 1);
    KillAfterSteps(early.get(), scratch.File("none.dat"), 0);
    const std::string before = ReadBytes(scratch.File("none.dat"));
    EXPECT_EQ(RepairEegWave(scratch.File("none.dat").c_str(), &report), kRepairNoWholeData);
    EXPECT_TRUE(ReadBytes(scratch.File("none.dat")) == before) << "unchanged";
    EXPECT_EQ(RepairEdfFile(scratch.File("none.dat").c_str(), &report), kRepairNotThisKind);
    EXPECT_EQ(RepairEegWave(scratch.File("src.csv").c_str(), &report), kRepairNotThisKind);
    EXPECT_EQ(RepairEegWave(scratch.File("missing.dat").c_str(), &report), kRepairCannotOpen);
    EXPECT_NE(std::string(report.reason), "");
}

// An EDF file of one signal of 2 samples per record (4-byte records) behind
// a 512-byte header, with the count field given.
std::string EdfFile(const char* count, size_t dataBytes) {
    std::string bytes(512, ' ');
    bytes.replace(0, 8, "0       ");
    bytes.replace(184, 3, "512");
    bytes.replace(236, std::strlen(count), count);
    bytes.replace(252, 1, "1");
    bytes.replace(256 + 216, 1, "2");
    return bytes + std::string(dataBytes, '\x7f');
}

TEST(OutputRepair, AnEdfFileGetsTheCountOfItsWholeRecords) {
    Scratch scratch;
    const std::string path = scratch.File("night.edf");
    WriteBytes(path, EdfFile("-1", 3 * 4 + 3));
    RepairReport report;
    EXPECT_EQ(RepairEegWave(path.c_str(), &report), kRepairNotThisKind);
    EXPECT_EQ(RepairEdfFile(path.c_str(), &report), kRepairDone);
    EXPECT_EQ(report.declared, -1);
    EXPECT_EQ(report.kept, 3);
    EXPECT_EQ(report.cutBytes, 3);
    EXPECT_EQ(ReadBytes(path), EdfFile("3", 3 * 4));
    EXPECT_EQ(RepairEdfFile(path.c_str(), &report), kRepairComplete);
    EXPECT_EQ(ReadBytes(path), EdfFile("3", 3 * 4));

    WriteBytes(path, EdfFile("-1", 3));
    EXPECT_EQ(RepairEdfFile(path.c_str(), &report), kRepairNoWholeData);
    EXPECT_EQ(ReadBytes(path), EdfFile("-1", 3));
    std::string lying = EdfFile("1", 8);
    lying.replace(184, 3, "768");
    WriteBytes(path, lying);
    EXPECT_EQ(RepairEdfFile(path.c_str(), &report), kRepairDamaged);
    EXPECT_EQ(ReadBytes(path), lying);
}

}  // namespace
