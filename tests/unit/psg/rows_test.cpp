// The row readers on their own: where lines end, reads that cut a line,
// offsets beyond 4 GiB, and the diagnostic trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bramwick.h"
#include "mixed_lines.h"
#include "source/line_rows.h"
#include "source/wide_vectors.h"
#include "store/engine_trace.h"
#include "psg_fixture.h"
#include "store/settings_store.h"

namespace {

using Rows = std::vector<int16_t>;

// A started run over source, ready for reading rows directly.
void StartOver(Psg& psg, const std::string& source, int32_t channels, int32_t kind) {
    psg.Source(source, channels, 200, kind);
    for (int32_t ch = 1; ch <= channels; ++ch) Row(&psg.r, ch).ChEnable = 1;
    std::snprintf(psg.r.PsgTargetPath, kPathSize, "%s", psg.Target().c_str());
    psg.r.ConvertState = 1;
    ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
}

uint32_t Read(Psg& psg, uint32_t wanted, Rows& rows) {
    rows.assign(static_cast<size_t>(wanted) * static_cast<size_t>(psg.r.ChannelCount), -1);
    return ReadPsgRows(&psg.r, wanted, rows.data(), rows.size() * sizeof(int16_t));
}

TEST(PsgRows, CrLfOrCrLfEndALineAndBlankLinesAreZeroRowsInPlace) {
    Psg psg;
    // CR LF; CR; LF LF (a blank line); CR CR (likewise); then a CR LF blank
    // line, and a blank tail.
    const std::string source = "1,1\r\n2,2\r3,3\n\n4,4\r\r5,5\n6,6\r\n\r\n7,7\r\n\r\n";
    StartOver(psg, source, 2, 0);
    Rows rows;
    EXPECT_EQ(Read(psg, 3, rows), 3u);
    EXPECT_EQ(rows, (Rows{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(psg.r.SourceOffset, 13) << "after 3,3 and its LF";
    EXPECT_EQ(Read(psg, 6, rows), 6u);
    EXPECT_EQ(rows, (Rows{0, 0, 4, 4, 0, 0, 5, 5, 6, 6, 0, 0}));
    EXPECT_EQ(psg.r.SourceOffset, 30) << "7,7 has no room left: the next epoch's first";
    EXPECT_EQ(Read(psg, 6, rows), 1u) << "the blank tail makes no row";
    EXPECT_EQ(rows, (Rows{7, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(psg.r.SourceOffset, static_cast<int64_t>(source.size()));
    EXPECT_EQ(psg.r.Tally.DataRows, 7u);
    EXPECT_EQ(psg.r.Tally.BlankLines, 4u);
    EXPECT_EQ(Read(psg, 6, rows), 0u) << "nothing left";
}

// Zero rows owed for non-data lines that a data line follows go on into the
// next epoch, the data row after them.
TEST(PsgRows, ZeroRowsCarryIntoTheNextEpoch) {
    Psg psg;
    StartOver(psg, "1,1\n\n\n\n\n\n2,2\n", 2, 0);
    Rows rows;
    EXPECT_EQ(Read(psg, 2, rows), 2u);
    EXPECT_EQ(rows, (Rows{1, 1, 0, 0}));
    EXPECT_EQ(Read(psg, 2, rows), 2u);
    EXPECT_EQ(rows, (Rows{0, 0, 0, 0}));
    EXPECT_EQ(Read(psg, 2, rows), 2u);
    EXPECT_EQ(rows, (Rows{0, 0, 0, 0}));
    EXPECT_EQ(Read(psg, 2, rows), 1u);
    EXPECT_EQ(rows, (Rows{2, 2, 0, 0}));
    EXPECT_EQ(psg.r.Tally.BlankLines, 5u) << "each counted once";
    EXPECT_EQ(Read(psg, 2, rows), 0u);
}

TEST(PsgRows, AnOverLongLineIsOneZeroRow) {
    Psg psg;
    StartOver(psg, "1,2\n" + std::string(4001, '9') + ",5\n3,4\n", 2, 0);
    Rows rows;
    EXPECT_EQ(Read(psg, 3, rows), 3u);
    EXPECT_EQ(rows, (Rows{1, 2, 0, 0, 3, 4}));
    EXPECT_EQ(psg.r.Tally.OverLongLines, 1u);
}

// Data lines of 5 bytes behind a first data line of padding, so that the CR
// of one line falls on the last byte of a 131072-byte read (its LF in the
// next read) or on the first byte of the next read.
TEST(PsgRows, LinesCutByTheEndOfARead) {
    for (int32_t padding : {1066, 1067}) {
        SCOPED_TRACE(padding);
        Psg psg;
        const int32_t lines = 26010;
        std::string source = "0," + std::string(static_cast<size_t>(padding - 2), '0') + "\r\n";
        for (int32_t j = 0; j < lines; ++j) {
            const char digit = static_cast<char>('0' + j % 10);
            source += std::string{digit, ',', digit, '\r', '\n'};
        }
        StartOver(psg, source, 2, 0);
        Rows rows;
        EXPECT_EQ(Read(psg, lines + 1, rows), static_cast<uint32_t>(lines + 1));
        Rows expected(2, 0);
        for (int32_t j = 0; j < lines; ++j) expected.insert(expected.end(), 2, int16_t(j % 10));
        EXPECT_EQ(rows, expected) << "no line lost, none counted twice";
        EXPECT_EQ(psg.r.SourceOffset, static_cast<int64_t>(source.size()));
    }
}

// Offsets are 64-bit: a source whose data lie beyond 4 GiB (sparse here).
TEST(PsgRows, ReadsBeyondFourGibibytes) {
    Psg psg;
    StartOver(psg, "0,0\n", 2, 0);
    const int64_t far = (int64_t{1} << 32) + 100;
    const std::string path = psg.dir.File("source.csv");
    std::filesystem::resize_file(path, static_cast<uintmax_t>(far));
    {
        std::ofstream out(path, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(far);
        out << "11,12\n13,14\n";
    }
    psg.r.SourceOffset = far;
    Rows rows;
    EXPECT_EQ(Read(psg, 3, rows), 2u);
    EXPECT_EQ(rows, (Rows{11, 12, 13, 14, 0, 0}));
    EXPECT_EQ(psg.r.SourceOffset, far + 12);
    EXPECT_EQ(FinishPsgConversion(&psg.r) & kPsgFinishSourceLeft, 0u) << "read to its end";
}

TEST(PsgRows, TheBufferBoundsTheRows) {
    Psg psg;
    StartOver(psg, "1,1\n2,2\n3,3\n", 2, 0);
    Rows rows(5, -1);  // two rows and a half
    EXPECT_EQ(ReadPsgRows(&psg.r, 3, rows.data(), rows.size() * sizeof(int16_t)), 2u);
    EXPECT_EQ(rows, (Rows{1, 1, 2, 2, -1}));
}

std::string TraceFile() {
    char folder[BRAMWICK_FOLDER_SIZE];
    BramwickProgramFolder(nullptr, folder);
    return std::string(folder) + "BRAMWICK.LOG";
}

// Calibrated rows of values at and beyond the clamps, NaN counts (an EU
// of 0) and a channel off, with the polarity inverted: the rows and the
// tally.
void ReadCalibratedEdges(Rows* rows, ConversionTally* tally) {
    const char* const values[] = {"50.0", "-2.25", "40000.5", "-40000.5",  "0.0001", "-0.0001",
                                  "1e30", "-1e30", "32767.4", "-32767.99", "3.5e38", "123.456"};
    std::string source;
    for (int32_t line = 0; line < 60; ++line)
        for (int32_t ch = 0; ch < 7; ++ch)
            source += std::string(values[(line * 7 + ch * 5) % 12]) + (ch < 6 ? "," : "\n");
    Psg psg;
    StartOver(psg, source, 7, 1);
    psg.r.PolarityCopy = 1;
    Row(&psg.r, 2).ChEnable = 0;
    Row(&psg.r, 3).MAG = 10;
    Row(&psg.r, 4).EU = 0;
    EXPECT_EQ(Read(psg, 60, *rows), 60u);
    *tally = psg.r.Tally;
}

// One test: tracing, once on, stays on for the process.
TEST(PsgTrace, NothingWhileOffThenTheCalibratedLines) {
    const std::string trace = TraceFile();
    std::remove(trace.c_str());
    const std::string source = "50.0,1.5,-2.25\n";
    Rows rows;
    {
        Psg psg;
        StartOver(psg, source, 3, 1);
        Row(&psg.r, 2).ChEnable = 0;
        EXPECT_EQ(Read(psg, 1, rows), 1u);
        EXPECT_FALSE(PlatFileExists(trace.c_str())) << "tracing is off";
    }
    Rows untraced;
    ConversionTally untracedTally;
    ReadCalibratedEdges(&untraced, &untracedTally);

    // "Debug" in the settings turns it on.
    ScratchFolder install;
    std::filesystem::create_directory(install.File("COND"));
    SettingsPaths paths;
    ASSERT_EQ(MakeSettingsPaths(install.Path().c_str(), &paths), 1);
    WriteBytes(paths.SettingsPath, "[INITIAL]\r\nDebug=1\r\n");
    EXPECT_EQ(EngineTraceEnabled(), 0);
    ReadDebugSwitch(&paths);
    EXPECT_EQ(EngineTraceEnabled(), 1);

    Psg psg;
    StartOver(psg, source, 3, 1);
    Row(&psg.r, 2).ChEnable = 0;
    // 409 x 50 / 50 = 409; 409 x -2.25 / 50 = -18.405.
    EXPECT_EQ(Read(psg, 1, rows), 1u);
    EXPECT_EQ(ReadBytes(trace),
              "50.0,1.5,-2.25\r\nVal = 50.000000  409 \r\nVal = -2.250000  -18 \r\n");
    std::remove(trace.c_str());

    // Traced lines are scaled one channel at a time, the others two at a
    // time: both give the same rows and counts.
    Rows onePerChannel;
    ConversionTally tracedTally;
    ReadCalibratedEdges(&onePerChannel, &tracedTally);
    EXPECT_EQ(onePerChannel, untraced);
    EXPECT_EQ(std::memcmp(&tracedTally, &untracedTally, sizeof tracedTally), 0);
    EXPECT_GT(tracedTally.ClippedValues, 0u);
    std::remove(trace.c_str());

    psg.r.SourceOffset = 0;
    EXPECT_EQ(ReadPsgRowsTimeResolution(&psg.r, 1, rows.data(), rows.size() * 2), 1u);
    EXPECT_EQ(ReadBytes(trace), "50.0,1.5,-2.25\r\nD0 =  409    50.000\r\nD2 =  -18    -2.250\r\n");
    std::remove(trace.c_str());

    // The normal reader traces the first 100 lines of each call.
    Psg many;
    StartOver(many, Lines(101, [](int32_t) { return "1.0,2.0"; }), 2, 1);
    Rows manyRows;
    EXPECT_EQ(Read(many, 101, manyRows), 101u);
    std::string traced = ReadBytes(trace);
    EXPECT_EQ(std::count(traced.begin(), traced.end(), '\n'), 300) << "100 lines, 2 values each";
    std::remove(trace.c_str());

    // A/D values are not traced.
    Psg counts;
    StartOver(counts, "1,2\n", 2, 0);
    EXPECT_EQ(Read(counts, 1, rows), 1u);
    EXPECT_FALSE(PlatFileExists(trace.c_str()));
}

}  // namespace

// The file's digital range is -32767..32767: a value stored at its limit is
// counted as clipped to it, and a value the reader already stored at a 16-bit
// limit (and counted as beyond that range) is not counted twice.
TEST(PsgRows, ValuesClippedToTheDigitalRangeAreCountedApart) {
    Psg psg;
    StartOver(psg, "-32768,32767\n-40000,40000\n5,-32767\n", 2, 0);
    Rows rows;
    EXPECT_EQ(Read(psg, 3, rows), 3u);
    EXPECT_EQ(rows, (Rows{-32767, 32767, -32767, 32767, 5, -32767}));
    EXPECT_EQ(psg.r.Tally.ClippedValues, 1u) << "-32768 only";
    EXPECT_EQ(psg.r.Tally.SaturatedValues, 2u) << "-40000 and 40000";

    Psg scaled;
    StartOver(scaled, "4000,-3277\n3276,-3276\n", 2, 0);
    Row(&scaled.r, 1).MAG = 10;
    Row(&scaled.r, 2).MAG = 10;
    EXPECT_EQ(Read(scaled, 2, rows), 2u);
    EXPECT_EQ(rows, (Rows{32767, -32767, 32760, -32760}));
    EXPECT_EQ(scaled.r.Tally.ClippedValues, 2u);
    EXPECT_EQ(scaled.r.Tally.SaturatedValues, 0u) << "every source value fits 16 bits";
}

// A data line with no room behind the zero rows before it is made, then
// read again by the next step: its clipped value counts once.
TEST(PsgRows, ALineReadAgainByTheNextStepCountsItsClippedValueOnce) {
    Psg psg;
    StartOver(psg, "1,2\n3,4\n\n\n-32768,5\n7,8\n", 2, 0);
    Rows rows;
    EXPECT_EQ(Read(psg, 3, rows), 3u);
    EXPECT_EQ(rows, (Rows{1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(Read(psg, 3, rows), 3u);
    EXPECT_EQ(rows, (Rows{0, 0, -32767, 5, 7, 8}));
    EXPECT_EQ(psg.r.Tally.ClippedValues, 1u);
}

// Eight A/D channels are scaled at a time while every factor fits 16 bits,
// one at a time when one does not (a magnification of 32768 or more). The
// ninth channel holds only zeros, so its factor changes nothing: both ways
// give the same rows and counts, at the 16-bit limits and beyond.
TEST(PsgRows, ChannelsScaledEightAtATimeAreScaledAsOneAtATime) {
    const char* const values[] = {"-32768", "32767", "-32767", "-40000", "40000", "0",
                                  "1",      "-1",    "3277",   "-3277",  "12345", "-20000"};
    std::string source;
    for (int32_t line = 0; line < 300; ++line) {
        for (int32_t ch = 0; ch < 8; ++ch)
            source += std::string(values[(line * 7 + ch * 5) % 12]) + ",";
        source += "0\n";
    }
    const int32_t magnifications[] = {1, 10, 2, 30000, 1, 3, 7, 1};
    Rows all[2];
    ConversionTally tallies[2];
    for (int32_t narrow : {0, 1}) {
        Psg psg;
        StartOver(psg, source, 9, 0);
        for (int32_t ch = 1; ch <= 8; ++ch) Row(&psg.r, ch).MAG = magnifications[ch - 1];
        Row(&psg.r, 6).ChEnable = 0;
        Row(&psg.r, 9).MAG = narrow ? 1 : 32768;
        EXPECT_EQ(Read(psg, 300, all[narrow]), 300u);
        tallies[narrow] = psg.r.Tally;
    }
    EXPECT_EQ(all[0], all[1]);
    EXPECT_EQ(all[1][0], -32767) << "-32768";
    EXPECT_EQ(all[1][3], -32767) << "-40000, read as -32768, x 30000";
    EXPECT_EQ(std::memcmp(&tallies[0], &tallies[1], sizeof tallies[0]), 0);
    EXPECT_GT(tallies[1].ClippedValues, 0u);
    EXPECT_GT(tallies[1].SaturatedValues, 0u);
}

// Calibrated rows are scaled four channels at a time where the processor can,
// two at a time otherwise: both give the same rows and counts, with values
// beyond the float range and 16 bits, channels off, and odd VU, MAG and EU.
TEST(PsgRows, CalibratedChannelsScaledFourAtATimeAreScaledAsTwoAtATime) {
    const char* const values[] = {"50.0",  "-12.5", "1e6", "-1e6",   "1e39",
                                  "-1e39", "0.06",  "-0",  "3276.7", "-0.49"};
    std::string source;
    for (int32_t line = 0; line < 300; ++line) {
        for (int32_t ch = 0; ch < 11; ++ch)
            source += std::string(ch ? "," : "") + values[(line * 3 + ch * 7) % 10];
        source += "\n";
    }
    Rows all[2];
    ConversionTally tallies[2];
    for (int32_t wide : {0, 1}) {
        SetWideVectors(wide);
        Psg psg;
        StartOver(psg, source, 11, 1);
        for (int32_t ch = 1; ch <= 11; ++ch) {
            Row(&psg.r, ch).MAG = ch % 3 + 1;
            Row(&psg.r, ch).VU = 100 * ch + 9;
            Row(&psg.r, ch).EU = ch % 4 + 7;
        }
        Row(&psg.r, 4).ChEnable = 0;
        psg.r.PolarityCopy = 1;
        EXPECT_EQ(Read(psg, 300, all[wide]), 300u);
        tallies[wide] = psg.r.Tally;
    }
    EXPECT_EQ(all[0], all[1]);
    EXPECT_EQ(std::memcmp(&tallies[0], &tallies[1], sizeof tallies[0]), 0);
    EXPECT_GT(tallies[1].ClippedValues, 0u);
}

// Rows made on two threads are the rows made on one, and so are the counts,
// the clipped values among them.
TEST(PsgRows, RowsSplitAcrossThreadsAreTheRowsOfOne) {
    const std::string source = MixedLines(12000, 4);
    Rows all[2];
    ConversionTally tallies[2];
    for (int32_t split : {0, 1}) {
        SetLineRowSplitting(split);
        Psg psg;
        StartOver(psg, source, 4, 0);
        for (int32_t ch = 1; ch <= 4; ++ch) Row(&psg.r, ch).MAG = 3;
        Rows rows;
        while (Read(psg, 1500, rows) > 0)
            all[split].insert(all[split].end(), rows.begin(), rows.end());
        tallies[split] = psg.r.Tally;
    }
    SetLineRowSplitting(1);
    EXPECT_EQ(all[0], all[1]);
    EXPECT_EQ(std::memcmp(&tallies[0], &tallies[1], sizeof tallies[0]), 0);
    EXPECT_GT(tallies[0].ClippedValues, 0u);
}

// Epochs go to Ostrel on the helper thread while the next epoch is read,
// the two blocks taking turns: every record holds its own epoch's rows, and
// the notes of lines that are not data come after the epoch before them,
// as when one thread does it all.
TEST(PsgRows, EpochsCommittedWhileTheNextIsReadKeepTheirRows) {
    const auto line = [](int32_t i) { return i % 997 == 500 ? "x" : std::to_string(i % 1000); };
    std::vector<int16_t> expected;
    for (int32_t i = 0; i < 12000; ++i)
        expected.push_back(static_cast<int16_t>(i % 997 == 500 ? 0 : i % 1000));
    std::string files[2];
    for (int32_t split : {1, 0}) {
        SCOPED_TRACE(split);
        SetLineRowSplitting(split);
        Psg psg;
        psg.Source(Lines(12000, line), 1, 100, 0);
        SwitchOn(&psg.r, {1});
        psg.r.ConvertState = 1;
        const PsgRunResult run = psg.Run();
        ASSERT_EQ(run.start.outcome, kPsgStarted);
        EXPECT_EQ(run.finish & kPsgFinishWriteFailed, 0u);
        EXPECT_EQ(psg.Output().Samples(0), expected);
        files[split] = ReadBytes(psg.Target());
        EXPECT_NE(files[split].find("source lines 501-501 not data"), std::string::npos);
    }
    SetLineRowSplitting(1);
    EXPECT_TRUE(files[0] == files[1]);
}
