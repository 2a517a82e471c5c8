// Source lines to frames: step structure, event words, scaling, clipping,
// polarity, non-data lines, the end frame, and the ends of a source.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"
#include "mixed_lines.h"
#include "source/line_rows.h"
#include "source/wide_vectors.h"

namespace {

TEST(EegFrames, ThirtyThousandFiveHundredLinesInSeventeenSteps) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(30500, 12));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 12, 200);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    EXPECT_EQ(record->FramesPerStep, 2000u);
    EXPECT_EQ(record->SampleBlockBytes, 52320u);
    for (uint32_t step = 1; step <= 15; ++step) {
        ASSERT_EQ(EegTimerTick(record.get()), 1) << step;
        EXPECT_EQ(record->FramesDone, 2000u * step);
    }
    ASSERT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(record->FramesDone, 30500u) << "the 16th step writes 500 frames";
    EXPECT_EQ(EegTimerTick(record.get()), 0) << "the 17th finds the source used up";
    EXPECT_EQ(record->StepCount, 17u);
    FinishEegConversion(record.get(), nullptr);

    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 30500u);
    EXPECT_EQ(wave.interval, 5000u);
    EXPECT_EQ(wave.Sample(29999, 0), 29999);
    EXPECT_EQ(wave.Sample(30499, 11), (30499 + 11) % 30000);
    EXPECT_EQ(wave.Event(30499), 0u) << "no non-data line in the last step: no end frame";
}

TEST(EegFrames, EventWordsOfTheFirstFrames) {
    for (uint16_t kind : {0, 1}) {
        for (uint16_t type : {2, 3}) {
            Scratch scratch;
            WriteBytes(scratch.File("src.csv"), NumberLines(6, 2));
            RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 200);
            record->OrgCalDataType = kind;
            record->CopyFileType = type;
            ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
            Wave wave = ReadWave(scratch.File("out.dat"));
            ASSERT_EQ(wave.frames, 6u);
            const uint16_t expected32[6] = {0, 0x1001, 0x4000, 0x10C1, 0, 0};
            for (uint32_t k = 0; k < 6; ++k)
                EXPECT_EQ(wave.Event(k), type == 2 ? expected32[k] : 0) << kind << type << k;
        }
    }
}

TEST(EegFrames, IntegerValuesSaturateAndInvert) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), "40000,-5,abc\n-32768,32767,1e3\n");
    for (uint16_t inverted : {0, 1}) {
        RecordPtr record = EegRecord(scratch.File("src.csv"), 3, 200);
        record->PolarityCopy = inverted;
        const std::string out = scratch.File(inverted ? "inv.dat" : "out.dat");
        ASSERT_NE(ConvertAll(record.get(), out), 0u);
        Wave wave = ReadWave(out);
        ASSERT_EQ(wave.frames, 2u);
        const int s = inverted ? -1 : 1;
        EXPECT_EQ(wave.Sample(0, 0), s * 32767) << "40000 saturates";
        EXPECT_EQ(wave.Sample(0, 1), s * -5);
        EXPECT_EQ(wave.Sample(0, 2), 0);
        EXPECT_EQ(wave.Sample(1, 0), inverted ? 32767 : -32768) << "-(-32768) is 32767 at most";
        EXPECT_EQ(wave.Sample(1, 1), s * 32767);
        EXPECT_EQ(wave.Sample(1, 2), s * 1) << "an exponent is no part of an A/D value";
        EXPECT_EQ(record->Tally.DataRows, 2u);
        EXPECT_EQ(record->Tally.SaturatedValues, inverted ? 2u : 1u);
        EXPECT_EQ(record->Tally.NotNumbers, 2u) << "abc and 1e3";
    }
}

TEST(EegFrames, CalibratedValuesScaleClipAndInvert) {
    Scratch scratch;
    // numerator 409.6, denominator 10 uV x 5 = 50: 100 -> 819.2; 4882.8125 -> 40000.
    WriteBytes(scratch.File("src.csv"), "100,4882.8125,-4882.8125,100,100,100,100,10,-100\n");
    for (uint16_t inverted : {0, 1}) {
        RecordPtr record = EegRecord(scratch.File("src.csv"), 9, 200);
        record->OrgCalDataType = 1;
        record->PolarityCopy = inverted;
        EegMontageRow* rows = record->PatternSlots[0].EegRows;
        rows[3].SOURCE = 0;
        rows[4].SOURCE = 8;
        rows[5].SOURCE = 14;
        rows[6].SENS = 21;  // " OFF ": no sensitivity
        rows[7].SENS = 4;   // 5 uV: 409.6 x 10 / 25 = 163.84
        rows[8].SOURCE = 7;
        const std::string out = scratch.File(inverted ? "inv.dat" : "out.dat");
        ASSERT_NE(ConvertAll(record.get(), out), 0u);
        Wave wave = ReadWave(out);
        ASSERT_EQ(wave.frames, 1u);
        const int s = inverted ? -1 : 1;
        EXPECT_EQ(wave.Sample(0, 0), s * 819);
        EXPECT_EQ(wave.Sample(0, 1), s * 32767);
        EXPECT_EQ(wave.Sample(0, 2), s * -32767) << "the range ends at -32767";
        EXPECT_EQ(wave.Sample(0, 3), 0);
        EXPECT_EQ(wave.Sample(0, 4), 0);
        EXPECT_EQ(wave.Sample(0, 5), s * 819);
        EXPECT_EQ(wave.Sample(0, 6), 0);
        EXPECT_EQ(wave.Sample(0, 7), s * 163);
        EXPECT_EQ(wave.Sample(0, 8), s * -819) << "toward zero";
        EXPECT_EQ(record->Tally.SaturatedValues, 2u) << "40000 and -40000";
    }
}

// Calibrated frames are scaled four channels at a time where the processor
// can, two at a time otherwise: both give the same frames and counts, with
// values beyond the float range, beyond 16 bits, unused and unscaled rows.
TEST(EegFrames, CalibratedFramesScaledFourAtATimeAreScaledAsTwoAtATime) {
    const char* const values[] = {"100",  "-4882.8125", "4882.8125", "1e39", "-1e39",
                                  "0.06", "-0.06",      "-0",        "10",   "12345.678"};
    std::string source;
    for (int32_t line = 0; line < 400; ++line) {
        for (int32_t ch = 0; ch < 11; ++ch)
            source += std::string(ch ? "," : "") + values[(line * 3 + ch * 7) % 10];
        source += "\n";
    }
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), source);
    for (uint16_t inverted : {0, 1}) {
        std::string waves[2];
        uint32_t saturated[2];
        for (int32_t wide : {0, 1}) {
            SetWideVectors(wide);
            RecordPtr record = EegRecord(scratch.File("src.csv"), 11, 200);
            record->OrgCalDataType = 1;
            record->PolarityCopy = inverted;
            EegMontageRow* rows = record->PatternSlots[0].EegRows;
            rows[2].SOURCE = 0;  // unused
            rows[5].SENS = 21;   // no sensitivity
            rows[9].SENS = 4;
            const std::string out =
                scratch.File("out" + std::to_string(inverted) + std::to_string(wide) + ".dat");
            ASSERT_NE(ConvertAll(record.get(), out), 0u);
            waves[wide] = ReadBytes(out);
            saturated[wide] = record->Tally.SaturatedValues;
        }
        EXPECT_EQ(waves[0], waves[1]) << inverted;
        EXPECT_EQ(saturated[0], saturated[1]);
        EXPECT_GT(saturated[1], 0u);
    }
}

// One frame per second: ten lines a step.
TEST(EegFrames, EveryLineFromTheDataStartKeepsItsTime) {
    Scratch scratch;
    // A head of two lines without numbers, 8 data lines, 4 blank lines that
    // cross into the second step, 7 data lines, then a tail.
    const std::string source = "Time,Ch\nunit,uV\n" + NumberLines(8, 2, 1) + "\n\n\n\n" +
                               NumberLines(7, 2, 9) + "\n\nEND\n";
    WriteBytes(scratch.File("src.csv"), source);
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    EXPECT_EQ(record->Tally.DataRows, 15u);
    EXPECT_EQ(record->Tally.NoNumberLines, 2u) << "the head";
    EXPECT_EQ(record->Tally.BlankLines, 6u) << "four inside, two in the tail";
    EXPECT_EQ(record->Tally.ShortLines, 1u) << "the footer";
    EXPECT_EQ(record->StepCount, 3u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 19u) << "the tail makes no frame";
    EXPECT_EQ(wave.Sample(0, 0), 1) << "the head makes none either";
    EXPECT_EQ(wave.Event(0), 0);
    EXPECT_EQ(wave.Event(1), 0x1001) << "marks counted from the data start";
    EXPECT_EQ(wave.Event(2), 0x4000);
    EXPECT_EQ(wave.Event(3), 0x10C1);
    EXPECT_EQ(wave.Sample(7, 0), 8);
    for (uint32_t k = 8; k < 12; ++k) EXPECT_EQ(wave.Sample(k, 0), 0) << k;
    EXPECT_EQ(wave.Sample(12, 0), 9) << "the blank lines keep their places across the steps";
    EXPECT_EQ(wave.Sample(18, 1), 16);
    EXPECT_EQ(wave.Event(18), 0) << "the wave ends at its last frame";
}

// The data start is the later of DataStartLine and the first data line.
TEST(EegFrames, TheRunStartsAtTheDataStartLine) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), "Title\n9,9\nFp1,Fp2\n\n1,2\n3,4\n");
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    record->DataStartLine = 2;
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 2u);
    EXPECT_EQ(wave.Sample(0, 1), 2);
    EXPECT_EQ(record->Tally.NoNumberLines + record->Tally.BlankLines, 2u)
        << "head lines from DataStartLine on are counted, those before it are not read";
}

TEST(EegFrames, TheEndsOfASourceAreConverted) {
    Scratch scratch;
    // Eleven bytes in all, the last line without a line end.
    WriteBytes(scratch.File("short.csv"), "1,2\n3,4\n5,6");
    RecordPtr record = EegRecord(scratch.File("short.csv"), 2, 1);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("short.dat")), 0u);
    Wave wave = ReadWave(scratch.File("short.dat"));
    ASSERT_EQ(wave.frames, 3u);
    EXPECT_EQ(wave.Sample(2, 1), 6);

    // A last read of 20 bytes after 0x20000 bytes of lines.
    std::string lines;
    while (lines.size() < 0x20000) lines += "1000,2000\n";
    const size_t full = lines.size();
    lines += "7,8\n9,10\n11,12\n13,14\n";
    WriteBytes(scratch.File("long.csv"), lines);
    record = EegRecord(scratch.File("long.csv"), 2, 100000);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("long.dat")), 0u);
    wave = ReadWave(scratch.File("long.dat"));
    ASSERT_EQ(wave.frames, full / 10 + 4);
    EXPECT_EQ(wave.Sample(wave.frames - 1, 1), 14);
}

// CR, LF and CR LF end lines however they mix; an end-of-file mark or
// blanks after the last line are no line.
TEST(EegFrames, LineEndsMixFreelyAndATrailingEndMarkIsNoLine) {
    Scratch scratch;
    const std::pair<const char*, std::string> sources[] = {
        {"CR only", "1,2\r3,4\r5,6\r7,8\r"},
        {"mixed", "1,2\r\n3,4\n5,6\r7,8\r\n"},
        {"end mark", "1,2\n3,4\n5,6\n7,8\n\x1A"},
        {"blanks after the last line", "1,2\n3,4\n5,6\n7,8   \t "},
    };
    for (const auto& [name, bytes] : sources) {
        WriteBytes(scratch.File("src.csv"), bytes);
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
        ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u) << name;
        Wave wave = ReadWave(scratch.File("out.dat"));
        ASSERT_EQ(wave.frames, 4u) << name;
        EXPECT_EQ(wave.Sample(3, 1), 8) << name;
        EXPECT_EQ(record->Tally.DataRows, 4u) << name;
        EXPECT_EQ(record->Tally.BlankLines + record->Tally.ShortLines, 0u) << name;
        std::filesystem::remove(scratch.File("out.dat"));
        std::filesystem::remove(scratch.File("out.REF"));
    }
}

TEST(EegFrames, AnOverLongLineIsOneNonDataLine) {
    Scratch scratch;
    // 4001 bytes before the line end; then a line of exactly 4000 bytes.
    const std::string exact = "5," + std::string(3998, '0');
    WriteBytes(scratch.File("src.csv"),
               "1,2\n" + std::string(4001, '9') + ",8\r\n" + exact + "\r\n3,4\n");
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 4u);
    EXPECT_EQ(wave.Sample(1, 0), 0) << "a zero frame in its place, its tail no line";
    EXPECT_EQ(wave.Sample(2, 0), 5);
    EXPECT_EQ(wave.Sample(3, 0), 3);
    EXPECT_EQ(record->Tally.OverLongLines, 1u);
    EXPECT_EQ(record->Tally.BlankLines, 0u) << "a line of exactly the limit is whole";
}

// Rows made on two threads are the rows made on one, and so are the counts;
// so is a wave whose steps were written on the helper thread while the next
// step was read (five steps, two blocks taking turns) rather than in turn.
TEST(EegFrames, RowsSplitAcrossThreadsAreTheRowsOfOne) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), MixedLines(24000, 6));
    std::vector<uint16_t> words[2];
    ConversionTally tallies[2];
    for (int32_t split : {0, 1}) {
        SetLineRowSplitting(split);
        RecordPtr record = EegRecord(scratch.File("src.csv"), 6, 500);
        const std::string out = scratch.File("out" + std::to_string(split) + ".dat");
        ASSERT_NE(ConvertAll(record.get(), out), 0u);
        words[split] = ReadWave(out).words;
        tallies[split] = record->Tally;
    }
    SetLineRowSplitting(1);
    EXPECT_EQ(words[0], words[1]);
    EXPECT_EQ(std::memcmp(&tallies[0], &tallies[1], sizeof tallies[0]), 0);
    EXPECT_GT(tallies[0].OverLongLines * tallies[0].NulLines * tallies[0].SaturatedValues, 0u);
}

}  // namespace
