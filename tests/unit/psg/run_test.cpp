// Whole runs from source text to the EDF+ file: the header, each channel's
// samples and the annotations, checked against values worked out by hand.
#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "failing_reads.h"
#include "ids/convert_ids.h"
#include "psg_fixture.h"
#include "runs/convert_finish.h"
#include "source/head_lines.h"

namespace {

using Samples = std::vector<int16_t>;

Samples Concat(std::initializer_list<Samples> parts) {
    Samples all;
    for (const Samples& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Samples Repeat(int16_t value, size_t count) { return Samples(count, value); }

TEST(PsgRun, WritesTheRecordingHeaderChannelsAndAnnotations) {
    Psg psg;
    // Rows 1, 3 and 4 on; row 3 at half the rate; row 4 a chin EMG.
    psg.Source(Lines(6000,
                     [](int32_t i) {
                         return std::to_string(i % 1000 - 500) + ",9," +
                                std::to_string(-(i % 700)) + "," + std::to_string(i % 32);
                     }),
               4, 200, 0);
    SwitchOn(&psg.r, {1, 3, 4});
    Row(&psg.r, 3).Rate = 2;
    std::snprintf(Row(&psg.r, 4).ChLabel, kPatternTextSize, "Chin");
    Row(&psg.r, 4).Signal = 6;
    PsgRunResult run = psg.Run();
    ASSERT_EQ(run.start.outcome, kPsgStarted);
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0"}));
    EXPECT_EQ(run.finish, uint32_t{kPsgFinishClosed});

    EdfView edf = psg.Output();
    EXPECT_EQ(edf.Main(0, 8), "0       ");
    EXPECT_EQ(edf.Main(8, 80), std::string("000-0001 M 02-JAN-1950 Taro") + std::string(53, ' '));
    EXPECT_EQ(edf.Main(88, 80),
              std::string("Startdate 05-APR-2023 X Sato X") + std::string(50, ' '));
    EXPECT_EQ(edf.Main(168, 16), "05.04.2306.07.08");
    EXPECT_EQ(edf.Main(184, 8), "1280    ");
    EXPECT_EQ(edf.Main(192, 5), "EDF+C");
    EXPECT_EQ(edf.Main(236, 8), "30      ");  // one-second frames, 30 of them
    EXPECT_EQ(edf.Main(244, 12), "1       4   ");
    const char* labels[] = {"EEG Ch1", "EEG Ch3", "EMG Chin", "EDF Annotations"};
    const char* sources[] = {"1", "3", "4"};
    const char* samples[] = {"200", "100", "200"};
    for (int32_t s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(edf.Trimmed(EdfView::kLabel, s), labels[s]);
        EXPECT_EQ(edf.Trimmed(EdfView::kTransducer, s),
                  std::string("Source channel ") + sources[s] + ", sensitivity 50.0");
        EXPECT_EQ(edf.Trimmed(EdfView::kDimension, s), "uV");
        // 32767 x 50 / 409 = 4005.7457...
        EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMin, s), "-4005.75");
        EXPECT_EQ(edf.Trimmed(EdfView::kPhysicalMax, s), "4005.75");
        EXPECT_EQ(edf.Trimmed(EdfView::kDigitalMin, s), "-32767");
        EXPECT_EQ(edf.Trimmed(EdfView::kPrefiltering, s), "HP:0.5Hz LP:100Hz N:50Hz");
        EXPECT_EQ(edf.Trimmed(EdfView::kSamples, s), samples[s]);
    }
    EXPECT_EQ(edf.Trimmed(EdfView::kLabel, 3), labels[3]);

    Samples first, third, fourth;
    for (int32_t i = 0; i < 6000; ++i) {
        first.push_back(static_cast<int16_t>(i % 1000 - 500));
        if (i % 2 == 0) third.push_back(static_cast<int16_t>(-(i % 700)));
        fourth.push_back(static_cast<int16_t>(i % 32));
    }
    EXPECT_EQ(edf.Samples(0), first);
    EXPECT_EQ(edf.Samples(1), third) << "every second row of column 3";
    EXPECT_EQ(edf.Samples(2), fourth);

    std::vector<std::string> notes = edf.AllAnnotations();
    for (const char* text :
         {"Record comment: night 1", "Age: 25Y00M", "Height: 160.0 cm", "Weight: 60.000 kg",
          "Hospital: Sleep Center", "Technician: Sato", "Comment 1: first night"})
        EXPECT_NE(std::find(notes.begin(), notes.end(), text), notes.end()) << text;
}

// A/D values times MAG, the sign inverted on request, clamped to +-32767.
TEST(PsgRun, ScalesAdValuesByMagClampsAndInverts) {
    const std::string source = "20000,20000\n5,-7\n-4000,-32768\n3276,40000\n";
    for (uint16_t inverted : {0, 1}) {
        SCOPED_TRACE(inverted);
        Psg psg;
        psg.Source(source, 2, 1, 0);
        SwitchOn(&psg.r, {1, 2});
        Row(&psg.r, 1).MAG = 10;  // row 2 keeps the fresh pattern's MAG 0: taken as 1
        psg.r.PolarityCopy = inverted;
        ASSERT_EQ(psg.Run().start.outcome, kPsgStarted);
        EdfView edf = psg.Output();
        const int16_t s = inverted ? -1 : 1;
        // 40000 saturates at 32767 when read as a 16-bit A/D value.
        Samples first = {int16_t(32767 * s), int16_t(50 * s), int16_t(-32767 * s),
                         int16_t(32760 * s)};
        Samples second = {int16_t(20000 * s), int16_t(-7 * s), int16_t(-32767 * s),
                          int16_t(32767 * s)};
        EXPECT_EQ(edf.Samples(0), Concat({first, Repeat(0, 26)}));
        EXPECT_EQ(edf.Samples(1), Concat({second, Repeat(0, 26)}));
    }
}

// VU x MAG x value / EU toward zero, clamped; an off channel is left out.
TEST(PsgRun, ScalesCalibratedValuesByVuMagAndEu) {
    const std::string source = "50.0,1.0,50.0\n1e6,0,-1e6\n-12.5,3,0.06\n";
    for (uint16_t inverted : {0, 1}) {
        SCOPED_TRACE(inverted);
        Psg psg;
        psg.Source(source, 3, 1, 1);
        SwitchOn(&psg.r, {1, 3});
        Row(&psg.r, 1).MAG = 1;
        Row(&psg.r, 3).MAG = 0;  // fresh pattern: taken as 1, not as "all zero"
        Row(&psg.r, 2).EU = 0;   // off, so never divided by
        psg.r.PolarityCopy = inverted;
        ASSERT_EQ(psg.Run().start.outcome, kPsgStarted);
        EdfView edf = psg.Output();
        ASSERT_EQ(edf.signals, 3);
        const int16_t s = inverted ? -1 : 1;
        // 409 x 50 / 50 = 409; 409 x 1e6 / 50 clamps; 409 x -12.5 / 50 = -102.25;
        // 409 x 0.06 / 50 = 0.49.
        EXPECT_EQ(edf.Samples(0), Concat({{int16_t(409 * s), int16_t(32767 * s), int16_t(-102 * s)},
                                          Repeat(0, 27)}));
        EXPECT_EQ(edf.Samples(1),
                  Concat({{int16_t(409 * s), int16_t(-32767 * s), 0}, Repeat(0, 27)}));
        EXPECT_EQ(edf.Trimmed(EdfView::kTransducer, 1), "Source channel 3, sensitivity 50.0");
    }
}

TEST(PsgRun, TenSecondFramesCountThreeFramesAnEpoch) {
    Psg psg;
    psg.Source(Lines(600, [](int32_t i) { return std::to_string(i); }), 1, 10, 0);
    SwitchOn(&psg.r, {1});
    psg.r.FrameTime = 10;
    psg.r.StepCount = 99;  // from an earlier run
    PsgRunResult run = psg.Run();
    ASSERT_EQ(run.start.outcome, kPsgStarted);
    EXPECT_EQ(run.counters, (std::vector<std::string>{"3 / 0", "6 / 0", "9 / 0"}));
    EdfView edf = psg.Output();
    EXPECT_EQ(edf.Main(236, 16), "6       10      ") << "six records of ten seconds";
    Samples expected;
    for (int16_t i = 0; i < 600; ++i) expected.push_back(i);
    EXPECT_EQ(edf.Samples(0), expected);
}

TEST(PsgRun, AShortLastEpochIsFilledWithZeroRows) {
    Psg psg;
    psg.Source(Lines(6001, [](int32_t i) { return std::to_string(i % 1000 + 1); }), 1, 200, 0);
    SwitchOn(&psg.r, {1});
    PsgRunResult run = psg.Run();
    ASSERT_EQ(run.start.outcome, kPsgStarted);
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0", "90 / 0"}));
    EXPECT_EQ(run.finish, uint32_t{kPsgFinishClosed});
    EdfView edf = psg.Output();
    EXPECT_EQ(edf.records, 60);
    Samples samples = edf.Samples(0);
    ASSERT_EQ(samples.size(), 12000u);
    EXPECT_EQ(samples[5999], 1000);
    EXPECT_EQ(samples[6000], 1) << "line 6000";
    EXPECT_EQ(Samples(samples.begin() + 6001, samples.end()), Repeat(0, 5999));
}

TEST(PsgRun, ConvertsTheLastBytesAndAFinalLineWithoutItsEnd) {
    Psg psg;
    psg.Source("1\n2\n3", 1, 1, 0);  // all of it within the last 32 bytes
    SwitchOn(&psg.r, {1});
    PsgRunResult run = psg.Run();
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0"}));
    EXPECT_EQ(psg.Output().Samples(0), Concat({{1, 2, 3}, Repeat(0, 27)}));
    EXPECT_EQ(run.finish, uint32_t{kPsgFinishClosed}) << "the source was read to its end";
}

TEST(PsgRun, AnEndOfFileMarkIsNoLine) {
    Psg psg;
    std::string source;
    for (int32_t i = 0; i < 30; ++i) source += "4\r\n";
    psg.Source(source + "\x1a", 1, 1, 0);
    SwitchOn(&psg.r, {1});
    PsgRunResult run = psg.Run();
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0"}))
        << "no epoch of zeros for the mark";
    EXPECT_EQ(psg.Output().records, 30);
    EXPECT_EQ(run.finish, uint32_t{kPsgFinishClosed});
}

// A line with too few values is a zero row in its own place: later rows
// keep their times.
TEST(PsgRun, ANonDataLineIsAZeroRowInItsPlace) {
    Psg psg;
    std::string source = Lines(30, [](int32_t) { return "7,7"; }) +
                         Lines(30, [](int32_t i) { return i == 2 ? "5" : "8,8"; });
    psg.Source(source, 2, 1, 0);
    SwitchOn(&psg.r, {1, 2});
    PsgRunResult run = psg.Run();
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0", "90 / 0"}));
    Samples expected = Concat({Repeat(7, 30), Repeat(8, 2), {0}, Repeat(8, 27)});
    EXPECT_EQ(psg.Output().Samples(0), expected);
    EXPECT_EQ(psg.Output().Samples(1), expected);
    // Source line 33 (from 1) is row 32: 32 seconds at 1 Hz.
    EXPECT_NE(ReadBytes(psg.Target()).find("+32\x14source lines 33-33 not data\x14"),
              std::string::npos);
}

// One source line a millisecond: a 100 Hz channel takes every tenth line,
// its half-rate neighbour every twentieth.
TEST(PsgRun, TimeResolutionModeTakesOneLineAMillisecond) {
    Psg psg;
    psg.Source(Lines(30000, [](int32_t i) { return std::to_string(i) + "," + std::to_string(-i); }),
               2, 100, 0);
    SwitchOn(&psg.r, {1, 2});
    Row(&psg.r, 2).Rate = 2;
    psg.r.OrgTimeResSw = 1;
    psg.r.OrgTimeRes = 175;  // not used: lines are a millisecond apart
    PsgRunResult run = psg.Run();
    ASSERT_EQ(run.start.outcome, kPsgStarted);
    EXPECT_EQ(run.counters, (std::vector<std::string>{"30 / 0", "60 / 0"}));
    EdfView edf = psg.Output();
    EXPECT_EQ(edf.Trimmed(EdfView::kSamples, 0), "100");
    EXPECT_EQ(edf.Trimmed(EdfView::kSamples, 1), "50");
    Samples first, second;
    for (int32_t j = 0; j < 3000; ++j) first.push_back(static_cast<int16_t>(10 * j));
    for (int32_t j = 0; j < 1500; ++j) second.push_back(static_cast<int16_t>(-20 * j));
    EXPECT_EQ(edf.Samples(0), first);
    EXPECT_EQ(edf.Samples(1), second);
}

// Eight channels side by side in the rows reach Ostrel another way than
// the others: each channel must still get its own samples, clamped (and
// counted when on), in an epoch of rows no multiple of eight, from an odd
// column, two lines apart in time-resolution mode, and every second or
// fourth row for channel 6 at half the rate.
TEST(PsgRun, ChannelsSideBySideKeepTheirOwnSamples) {
    auto value = [](int32_t line, int32_t column) {
        return line == 4 && (column == 2 || column == 5)
                   ? -32768
                   : (line * 37 + column * 1013) % 60001 - 30000;
    };
    struct Case {
        int32_t channels, rate, off, lines;
        bool timeResolution;
        int32_t sixthDivisor;
    } cases[] = {{11, 1, 0, 60, false, 1},
                 {12, 1, 3, 60, false, 1},
                 {12, 2, 0, 120, false, 2},
                 {12, 500, 0, 30000, true, 1},
                 {12, 500, 0, 30000, true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channels * 100 + c.off * 10 + c.sixthDivisor);
        Psg psg;
        psg.Source(Lines(c.lines,
                         [&](int32_t i) {
                             std::string line = std::to_string(value(i, 0));
                             for (int32_t col = 1; col < c.channels; ++col)
                                 line += "," + std::to_string(value(i, col));
                             return line;
                         }),
                   c.channels, c.rate, 0);
        SwitchOn(&psg.r, {});
        std::vector<int32_t> on;
        for (int32_t ch = 1; ch <= c.channels; ++ch)
            if (ch != c.off) on.push_back(ch);
        for (int32_t ch : on) Row(&psg.r, ch).ChEnable = 1;
        Row(&psg.r, 6).Rate = c.sixthDivisor;
        psg.r.OrgTimeResSw = c.timeResolution ? 1 : 0;
        ASSERT_EQ(psg.Run().start.outcome, kPsgStarted);
        EdfView edf = psg.Output();
        const int32_t linesApart = c.timeResolution ? 1000 / c.rate : 1;
        for (size_t k = 0; k < on.size(); ++k) {
            const int32_t apart = linesApart * (on[k] == 6 ? c.sixthDivisor : 1);
            Samples expected;
            for (int32_t i = 0; i < c.lines; i += apart)
                expected.push_back(static_cast<int16_t>(std::max(value(i, on[k] - 1), -32767)));
            EXPECT_EQ(edf.Samples(static_cast<int32_t>(k)), expected) << "channel " << on[k];
        }
        // The two -32768 are clipped where their channel is on.
        EXPECT_EQ(psg.r.Tally.ClippedValues, c.off == 3 ? 1u : 2u);
    }
}

TEST(PsgRun, DataStartAfterTheLabelLinesAndAByteOrderMark) {
    Psg psg;
    psg.Source(
        "\xEF\xBB\xBF"
        "Time,A\r\nsecond line\r\n0,5\r\n1,6\r\n",
        1, 1, 0);
    psg.r.DataLineBias = 1;
    psg.r.DataStartLine = 2;
    SwitchOn(&psg.r, {1});
    ASSERT_EQ(psg.Run().start.outcome, kPsgStarted);
    EXPECT_EQ(psg.Output().Samples(0), Concat({{5, 6}, Repeat(0, 28)}));
}

// The data start line is the line the source page lists as that line,
// whatever its line ends, blank lines included.
TEST(PsgRun, TheDataStartLineIsTheListedLine) {
    for (const char* source :
         {"title\n\nA\n0,5\n1,6\n", "title\r\rA\r0,5\r1,6\r", "title\r\n\nA\r0,5\n1,6"}) {
        Psg psg;
        psg.Source(source, 1, 1, 0);
        psg.r.DataLineBias = 1;
        psg.r.DataStartLine = 3;
        char listed[kLineByteLimit + 1];
        ASSERT_EQ(HeadListLine(psg.r.SourceText, psg.r.SourceTextLength, 3, listed), 3);
        EXPECT_STREQ(listed, "0,5");
        SwitchOn(&psg.r, {1});
        ASSERT_EQ(psg.Run().start.outcome, kPsgStarted);
        EXPECT_EQ(psg.Output().Samples(0), Concat({{5, 6}, Repeat(0, 28)})) << source;
        EXPECT_EQ(psg.r.Tally.DataRows, 2u);
    }
}

// A source read failing after the first epoch, at the epoch's first byte
// or after its first line, fails the run with the system's reason; the file
// holds the first epoch whole and its record count says so.
TEST(PsgRun, AFailedSourceReadEndsTheRunAfterTheLastWholeEpoch) {
    for (const int64_t bytesFirst : {0, 4}) {
        SCOPED_TRACE(bytesFirst);
        Psg psg;
        psg.Source(Lines(90, [](int32_t i) { return std::to_string(i); }), 1, 1, 0);
        SwitchOn(&psg.r, {1});
        std::snprintf(psg.r.PsgTargetPath, kPathSize, "%s", psg.Target().c_str());
        psg.r.ConvertState = 1;
        ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
        EXPECT_EQ(PsgTimerTick(&psg.r), 1);
        FailReadsOf(psg.r.SourceFile, bytesFirst);
        EXPECT_EQ(PsgTimerTick(&psg.r), 0);
        FailReadsOf(nullptr, 0);
        RunEnd end;
        FinishOwnedRun(&psg.r, nullptr, false, &end);
        EXPECT_EQ(end.flags,
                  uint32_t{kPsgFinishReadFailed | kPsgFinishClosed | kPsgFinishSourceLeft});
        EXPECT_EQ(end.framesHeld, 30u);
        EXPECT_STREQ(psg.r.RunErrorText, std::strerror(EIO));
        FinishMessage message;
        DescribeRunEnd(&psg.r, &end, &message);
        EXPECT_EQ(message.causeCode, REASON_END_READ_FAILED);
        EXPECT_EQ(psg.r.Tally.DataRows, 30u);
        EdfView edf = psg.Output();
        EXPECT_EQ(edf.records, 30);
        EXPECT_EQ(edf.bytes.size(),
                  256u * static_cast<size_t>(edf.signals + 1) + 30u * edf.recordBytes);
        Samples expected;
        for (int16_t i = 0; i < 30; ++i) expected.push_back(i);
        EXPECT_EQ(edf.Samples(0), expected);
    }
}

TEST(PsgRun, ASourceCutBetweenEpochsFailsTheRun) {
    Psg psg;
    auto line = [](int32_t i) { return std::to_string(i); };
    psg.Source(Lines(90, line), 1, 1, 0);
    SwitchOn(&psg.r, {1});
    std::snprintf(psg.r.PsgTargetPath, kPathSize, "%s", psg.Target().c_str());
    psg.r.ConvertState = 1;
    ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
    EXPECT_EQ(PsgTimerTick(&psg.r), 1);
    std::filesystem::resize_file(psg.dir.File("source.csv"), Lines(45, line).size());
    EXPECT_EQ(PsgTimerTick(&psg.r), 0);
    RunEnd end;
    FinishOwnedRun(&psg.r, nullptr, false, &end);
    EXPECT_NE(end.flags & kPsgFinishReadFailed, 0u);
    EXPECT_EQ(std::string(psg.r.RunErrorText).rfind("the source ends at byte", 0), 0u);
    EXPECT_EQ(psg.Output().records, 30);
}

TEST(PsgRun, ChangingTheOutputKindEndsTheRunAtTheNextTick) {
    Psg psg;
    psg.Source(Lines(90, [](int32_t) { return "3"; }), 1, 1, 0);
    SwitchOn(&psg.r, {1});
    std::snprintf(psg.r.PsgTargetPath, kPathSize, "%s", psg.Target().c_str());
    psg.r.ConvertState = 1;
    ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
    EXPECT_EQ(psg.r.ConvertState, 2);
    EXPECT_EQ(PsgTimerTick(&psg.r), 1);
    psg.r.CopyFileType = 2;
    EXPECT_EQ(PsgTimerTick(&psg.r), 0);
    EXPECT_EQ(psg.r.StepCount, 30u) << "no step was taken";
    EXPECT_EQ(FinishPsgConversion(&psg.r), uint32_t{kPsgFinishClosed | kPsgFinishSourceLeft});
    EXPECT_EQ(psg.r.ConvertState, 3);
    EXPECT_EQ(psg.r.OutputFile, 0u);
    EXPECT_EQ(psg.r.SampleBlock, nullptr);
    EXPECT_EQ(psg.Output().records, 30);
}

}  // namespace
