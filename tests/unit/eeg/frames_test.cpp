// Source lines to frames: step structure, event words, scaling, clipping,
// polarity, non-data lines, the end frame, and the ends of a source.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"

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
    }
}

// One frame per second: ten lines a step.
TEST(EegFrames, NonDataLinesTakeZeroFramesAndTheLastStepEnds) {
    Scratch scratch;
    std::string source = "Fp1\n" + NumberLines(9, 2, 1);                // step 1
    source += NumberLines(4, 2, 10) + "bad\n" + NumberLines(5, 2, 14);  // step 2
    source += NumberLines(2, 2, 19) + "\n" + NumberLines(1, 2, 21);     // step 3: 4 lines
    WriteBytes(scratch.File("src.csv"), source);
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    record->DataStartLine = 1;
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    EXPECT_EQ(record->Tally.DataRows, 21u);
    EXPECT_EQ(record->Tally.ShortLines, 2u) << "the header and the bad line";
    EXPECT_EQ(record->Tally.BlankLines, 1u);
    EXPECT_EQ(record->StepCount, 4u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 24u);
    EXPECT_EQ(wave.Sample(0, 0), 1) << "data frames first";
    EXPECT_EQ(wave.Event(0), 0x1001) << "the event goes with line 1, the first data line";
    EXPECT_EQ(wave.Sample(8, 0), 9);
    EXPECT_EQ(wave.Sample(9, 0), 0) << "then the header line's zero frame";
    EXPECT_EQ(wave.Sample(10, 0), 10);
    EXPECT_EQ(wave.Sample(18, 1), 19);
    EXPECT_EQ(wave.Sample(19, 0), 0) << "a middle step's bad line is a zero frame, not a repeat";
    EXPECT_EQ(wave.Event(19), 0u);
    EXPECT_EQ(wave.Sample(22, 0), 21);
    EXPECT_EQ(wave.Event(23), 0x1000) << "the end frame";
    EXPECT_EQ(wave.Sample(23, 0), 0);
    EXPECT_EQ(wave.Sample(23, 1), 0);
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

TEST(EegFrames, OverlongLinesLoseTheirFirst4000Bytes) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), "1,2\n" + std::string(4000, 'x') + "7,8\n3,4\n");
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 3u);
    EXPECT_EQ(wave.Sample(1, 0), 7);
    EXPECT_EQ(wave.Sample(2, 0), 3);
    EXPECT_EQ(record->Tally.OverLongLines, 1u);
}

TEST(EegFrames, ConversionStartsAfterAByteOrderMark) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"),
               "\xEF\xBB\xBF"
               "5,6\n7,8\n");
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 2u);
    EXPECT_EQ(wave.Sample(0, 0), 5);
}

TEST(EegFrames, OffsetsBeyondFourGiB) {
    Scratch scratch;
    const std::string path = scratch.File("sparse.csv");
    const int64_t far = (int64_t{1} << 32) + 10;
    {
        // Text where the head is read, a hole up to the far lines.
        std::ofstream out(path, std::ios::binary);
        out << NumberLines(4000, 2);
        out.seekp(far);
        out << "1,2\n3,4\n";
        if (!out) GTEST_SKIP() << "no sparse file here";
    }
    RecordPtr record = EegRecord(path, 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    record->SourceOffset = far;  // as if the lines before had been converted
    EXPECT_EQ(ReadFrames(record.get(), 10, record->SampleBlock), 2u);
    EXPECT_EQ(record->SourceOffset, far + 8);
    const int16_t* frames = static_cast<const int16_t*>(record->SampleBlock);
    EXPECT_EQ(frames[3 + 2], 4) << "second frame, channel 1";
}

TEST(EegFrames, AFullWaveStopsAtItsLastFrame) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(35, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    record->WaveFrameLimit = 25;
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(EegTimerTick(record.get()), 1) << "five frames fit the third step";
    EXPECT_EQ(record->FramesDone, 25u);
    EXPECT_EQ(EegTimerTick(record.get()), 0);
    uint32_t flags = FinishEegConversion(record.get(), nullptr);
    EXPECT_EQ(flags & (kEegFinishWaveFull | kEegFinishWaveClosed),
              uint32_t{kEegFinishWaveFull | kEegFinishWaveClosed});
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 25u);
    EXPECT_EQ(wave.Sample(24, 0), 24);
    const std::string bytes = ReadBytes(scratch.File("out.dat"));
    EXPECT_EQ(Be32At(bytes, bytes.size() - 25 * 6 - 32), 16u + 25 * 6) << "the wave's length";
    OpenFile reference(scratch.File("out.REF"), "KAVT");
    EXPECT_EQ(reference.Longs(1, 0xD3, 4)[3], 24u);

    // A source that ends exactly at the limit is converted whole.
    WriteBytes(scratch.File("exact.csv"), NumberLines(30, 2));
    record = EegRecord(scratch.File("exact.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("exact.dat").c_str()), kEegStarted);
    record->WaveFrameLimit = 30;
    while (EegTimerTick(record.get())) {
    }
    EXPECT_EQ(FinishEegConversion(record.get(), nullptr) & kEegFinishWaveFull, 0u);
    EXPECT_EQ(ReadWave(scratch.File("exact.dat")).frames, 30u);
}

}  // namespace
