// The start of a run: the Ostrel calls in their order with their values,
// and every refusal, none of which leaves a file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "psg_fixture.h"
#include "runs/start_reasons.h"

namespace {

using Log = std::vector<std::string>;

void ChooseTarget(Psg& psg, const std::string& target) {
    std::snprintf(psg.r.PsgTargetPath, kPathSize, "%s", target.c_str());
    psg.r.ConvertState = 1;
}

// Rows 1, 3 and 4 of four on, 10 Hz, five-second frames: six frames and
// 300 rows an epoch.
void FourChannelLayout(Psg& psg) {
    psg.Source(Lines(300, [](int32_t i) { return std::to_string(i) + ",1,2,3"; }), 4, 10, 0);
    SwitchOn(&psg.r, {1, 3, 4});
    psg.r.FrameTime = 5;
    PsgChannelRow& third = Row(&psg.r, 3);
    third.Signal = 8;
    third.Rate = 2;
    third.EU = 100;
    third.VU = 1000;
    third.LFF = 0;
    third.HFF = 35;
    third.Sens = 10000;
    PsgChannelRow& fourth = Row(&psg.r, 4);
    std::snprintf(fourth.ChLabel, kPatternTextSize, "Chin");
    fourth.Signal = 6;
    fourth.Rate = 5;
}

Log ChannelCalls(int32_t k, int32_t ch, const char* label, int32_t type, int32_t rate, int32_t eu,
                 int32_t vu, int32_t lff, int32_t hff, int32_t sens) {
    auto item = [k](int32_t number, int32_t value) {
        return "37 h 0 " + std::to_string(number) + " " + std::to_string(k) + " " +
               std::to_string(value);
    };
    return {"39 h 0 1 " + std::to_string(k) + " \"" + label + "\"",
            "39 h 0 2 " + std::to_string(k) + " \"uV\"",
            item(2, ch),
            item(3, type),
            item(4, rate),
            item(6, eu),
            item(7, vu),
            item(9, 0),
            item(8, 0),
            item(12, lff),
            item(13, hff),
            item(14, sens)};
}

TEST(PsgStart, DrivesOstrelInItsOrderWithItsValues) {
    Psg psg;
    FourChannelLayout(psg);
    ChooseTarget(psg, psg.Target());
    ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
    EXPECT_EQ(psg.r.EnabledChannels, 3);
    SetOstrelAddressBase(psg.r.SampleBlock);
    EXPECT_EQ(PsgTimerTick(&psg.r), 1);
    EXPECT_EQ(PsgTimerTick(&psg.r), 0);
    FinishPsgConversion(&psg.r);

    Log expected = {"5 \"" + psg.Target() + "\" 4 4",
                    "12 h 1 1",
                    "12 h 2 100",
                    "12 h 3 0",
                    "12 h 4 0",
                    "12 h 5 0",
                    "12 h 6 0",
                    "30 h",
                    "31 h",
                    "33 h 0 1 1",
                    "33 h 0 2 3",
                    "33 h 0 3 5",
                    "33 h 0 20 0",
                    "33 h 0 21 10",
                    "33 h 0 22 50",
                    "33 h 0 10 2023",
                    "33 h 0 11 4",
                    "33 h 0 12 5",
                    "33 h 0 13 6",
                    "33 h 0 14 7",
                    "33 h 0 15 8",
                    "35 h 0 1 \"night 1\"",
                    "41 h",
                    "15 h 0 0 20 11 \"000-0001\"",
                    "15 h 0 20 32 13 \"Taro\"",
                    "15 h 0 52 32 14 \"\"",
                    "15 h 0 84 10 22 \"1950.01.02  \"",
                    "15 h 0 94 4 21 \"M\"",
                    "15 h 0 98 8 23 \"25Y00M   \"",
                    "15 h 0 106 6 24 \"1600     \"",
                    "15 h 0 112 8 25 \"60000     \"",
                    "15 h 0 120 80 101 \"Sleep Center\"",
                    "15 h 0 200 40 104 \"\"",
                    "15 h 0 240 32 105 \"\"",
                    "15 h 0 272 32 106 \"Sato\"",
                    "15 h 0 304 32 107 \"\"",
                    "15 h 0 336 80 201 \"\"",
                    "15 h 0 416 128 301 \"first night\"",
                    "15 h 0 544 128 302 \"\"",
                    "15 h 0 672 128 303 \"\"",
                    "15 h 0 800 128 304 \"\"",
                    "15 h 0 928 128 305 \"\"",
                    "48 h 0 130 1056",
                    "60 h 0 1 20 32",
                    "47 h"};
    for (const Log& channel : {ChannelCalls(0, 1, "Ch1", 4, 10, 50, 409, 500, 100, 50000),
                               ChannelCalls(1, 3, "Ch3", 8, 5, 100, 1000, 0, 35, 10000),
                               ChannelCalls(2, 4, "Chin", 6, 2, 50, 409, 500, 100, 50000)})
        expected.insert(expected.end(), channel.begin(), channel.end());
    // One epoch: six frames; rows of 4 samples (8 bytes), channel k's first
    // sample at its source column. The second tick finds no line.
    // Ostrel's frame count around the commit tells a failed write; at the
    // finish it tells whether the file holds a frame at all.
    for (const char* call :
         {"42 h", "43 h 30", "34 h 0 4", "44 h 0 6 0 8 @0", "44 h 0 6 1 8 @4", "44 h 0 6 2 8 @6",
          "34 h 0 4", "46 h 6", "34 h 0 4", "34 h 0 4", "72 h 0", "34 h 0 5", "32 h", "6 h"})
        expected.push_back(call);
    EXPECT_EQ(OstrelLog(), expected);
    EXPECT_EQ(psg.r.StepCount, 12u);
    EdfView edf = psg.Output();
    EXPECT_EQ(edf.Trimmed(EdfView::kTransducer, 1), "Source channel 3, sensitivity 10.0");
    EXPECT_EQ(edf.Trimmed(EdfView::kTransducer, 2), "Source channel 4, sensitivity 50.0");
}

struct Refusal {
    const char* what;
    std::function<void(Psg&)> change;
    int32_t outcome;
    int32_t channel;
};

// Each is turned away before Ostrel is called: no file, no handle, the
// state as it was.
TEST(PsgStart, RefusesUnusableLayoutsBeforeAnythingIsCreated) {
    const Refusal refusals[] = {
        {"no target chosen", [](Psg& p) { p.r.ConvertState = 0; }, kPsgStartNoTarget, 0},
        {"no channel", [](Psg& p) { p.r.ChannelCount = 0; }, kPsgStartNoChannels, 0},
        {"no row on", [](Psg& p) { SwitchOn(&p.r, {}); }, kPsgStartNoChannels, 0},
        {"no source", [](Psg& p) { CloseSourceFile(&p.r); }, kPsgStartNoSource, 0},
        {"frame time 0", [](Psg& p) { p.r.FrameTime = 0; }, kPsgStartBadFrameTime, 0},
        {"frame time 60", [](Psg& p) { p.r.FrameTime = 60; }, kPsgStartBadFrameTime, 0},
        {"sampling rate 0", [](Psg& p) { p.r.SampleRate = 0; }, kPsgStartBadSampleRate, 0},
        {"time resolution at 0 Hz",
         [](Psg& p) {
             p.r.OrgTimeResSw = 1;
             p.r.SampleRate = 0;
         },
         kPsgStartBadSampleRate, 0},
        {"time resolution at 300 Hz",
         [](Psg& p) {
             p.r.OrgTimeResSw = 1;
             p.r.SampleRate = 300;
         },
         kPsgStartBadTimeResolutionRate, 0},
        {"EU 0 for calibrated values",
         [](Psg& p) {
             p.r.OrgCalDataType = 1;
             Row(&p.r, 2).EU = 0;
         },
         kPsgStartZeroEu, 2},
        {"VU 0 for calibrated values",
         [](Psg& p) {
             p.r.OrgCalDataType = 1;
             Row(&p.r, 1).VU = 0;
         },
         kPsgStartZeroVu, 1},
        {"7500 rows an epoch in steps of 7",
         [](Psg& p) {
             p.r.SampleRate = 250;
             Row(&p.r, 2).Rate = 7;
         },
         kPsgStartUnevenChannelRate, 2},
        {"rate divisor above the rate", [](Psg& p) { Row(&p.r, 1).Rate = 400; },
         kPsgStartBadChannelRate, 1},
        {"range too large",
         [](Psg& p) {
             Row(&p.r, 2).EU = 306;  // 32767 x 306 has eight digits
             Row(&p.r, 2).VU = 1;
         },
         kPsgStartBadPhysicalRange, 2},
        {"range too fine",
         [](Psg& p) {
             Row(&p.r, 1).EU = 1;
             Row(&p.r, 1).VU = 1000000000;
         },
         kPsgStartBadPhysicalRange, 1},
        {"field mode 3", [](Psg& p) { p.r.DelimitChar = 3; }, kPsgStartBadFieldMode, 0},
        {"value kind 2", [](Psg& p) { p.r.OrgCalDataType = 2; }, kPsgStartBadValueKind, 0},
        {"pattern 5", [](Psg& p) { p.r.CurrentPsgPattern = 4; }, kPsgStartBadPattern, 0},
        {"257 channels", [](Psg& p) { p.r.ChannelCount = 257; }, kPsgStartBadChannelCount, 0},
        {"a second of 256 channels at 1 MHz",
         [](Psg& p) {
             p.r.ChannelCount = 256;
             p.r.SampleRate = 1000000;
             for (int32_t ch = 1; ch <= 256; ++ch) Row(&p.r, ch).ChEnable = 1;
         },
         kPsgStartTooManySamples, 0},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        Psg psg;
        psg.Source("1,2\n", 2, 200, 0);
        SwitchOn(&psg.r, {1, 2});
        ChooseTarget(psg, psg.Target());
        refusal.change(psg);
        const uint16_t state = psg.r.ConvertState;
        PsgStartResult result{};
        EXPECT_EQ(StartPsgConversion(&psg.r, &result), refusal.outcome);
        EXPECT_EQ(result.outcome, refusal.outcome);
        EXPECT_EQ(result.sourceChannel, refusal.channel);
        EXPECT_EQ(OstrelLog(), Log{});
        EXPECT_FALSE(PlatFileExists(psg.Target().c_str()));
        EXPECT_EQ(psg.r.OutputFile, 0u);
        EXPECT_EQ(psg.r.ConvertState, state);
        EXPECT_EQ(psg.r.SampleBlock, nullptr);
    }
}

TEST(PsgStart, AcceptsWhatOnlyLooksOdd) {
    const std::pair<const char*, std::function<void(Psg&)>> cases[] = {
        {"EU 0 on a row that is off",
         [](Psg& p) {
             SwitchOn(&p.r, {1});
             Row(&p.r, 2).EU = 0;
         }},
        {"half a count a step",
         [](Psg& p) {
             Row(&p.r, 1).EU = 1;  // 32767 / 65535 = 0.5
             Row(&p.r, 1).VU = 65535;
         }},
        {"A/D counts without CAL or AD",
         [](Psg& p) {
             Row(&p.r, 1).EU = 0;
             Row(&p.r, 2).VU = 0;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        Psg psg;
        psg.Source("1,2\n", 2, 200, 0);
        SwitchOn(&psg.r, {1, 2});
        c.second(psg);
        EXPECT_EQ(psg.Run().start.outcome, kPsgStarted);
        EXPECT_TRUE(PlatFileExists(psg.Target().c_str()));
    }
    // 7500 rows an epoch in steps of 4: Ostrel stores 62.5 Hz in records of
    // whole samples for every offered frame time.
    for (int32_t frameTime : {1, 2, 5, 10}) {
        SCOPED_TRACE(frameTime);
        Psg psg;
        psg.Source("1,2\n", 2, 250, 0);
        SwitchOn(&psg.r, {1, 2});
        psg.r.FrameTime = frameTime;
        Row(&psg.r, 2).Rate = 4;
        EXPECT_EQ(psg.Run().start.outcome, kPsgStarted);
        EXPECT_TRUE(PlatFileExists(psg.Target().c_str()));
    }
}

TEST(PsgStart, NeverTouchesAnExistingTarget) {
    Psg psg;
    psg.Source("1\n", 1, 200, 0);
    WriteBytes(psg.Target(), "keep me");
    ChooseTarget(psg, psg.Target());
    EXPECT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStartTargetExists);
    EXPECT_EQ(OstrelLog(), Log{});
    EXPECT_EQ(ReadBytes(psg.Target()), "keep me");
    EXPECT_EQ(psg.r.ConvertState, 1);
}

// What Ostrel refuses after the checks passed still ends the start cleanly:
// the handle released, nothing created, the reason given.
TEST(PsgStart, AnOstrelRefusalIsAFailedStart) {
    {
        // Another run took the name between the existence check and the
        // creation: its file is never written into, and the start says why.
        SCOPED_TRACE("the target appeared before the definitions closed");
        Psg psg;
        psg.Source("1\n", 1, 200, 0);
        ChooseTarget(psg, psg.Target());
        BeforeOstrelEndChannels([&psg] { WriteBytes(psg.Target(), "taken"); });
        PsgStartResult result{};
        EXPECT_EQ(StartPsgConversion(&psg.r, &result), kPsgStartTargetExists);
        ASSERT_GE(OstrelLog().size(), 4u);
        EXPECT_EQ(Log(OstrelLog().end() - 4, OstrelLog().end()),
                  (Log{"42 h", "43 h 30", "34 h 0 4", "6 h"}));
        EXPECT_EQ(ReadBytes(psg.Target()), "taken");
        EXPECT_EQ(psg.r.OutputFile, 0u);
        EXPECT_EQ(psg.r.StepTotal, 0);
        EXPECT_EQ(psg.r.SampleBlock, nullptr);
        char reason[128];
        FormatPsgStartReason(&result, reason, sizeof reason);
        EXPECT_STREQ(reason, "the target file exists; it is never overwritten");
    }
    {
        SCOPED_TRACE("ordinal 30 said no");
        Psg psg;
        psg.Source("1\n", 1, 200, 0);
        ChooseTarget(psg, psg.Target());
        RefuseNextOstrelPrepare();
        EXPECT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStartNotReady);
        ASSERT_GE(OstrelLog().size(), 2u);
        EXPECT_EQ(Log(OstrelLog().end() - 2, OstrelLog().end()), (Log{"30 h", "6 h"}));
        EXPECT_FALSE(PlatFileExists(psg.Target().c_str()));
    }
    {
        SCOPED_TRACE("ordinal 5 said no");
        Psg psg;
        psg.Source("1\n", 1, 200, 0);
        const std::string nowhere = psg.dir.File("no/such/folder.edf");
        ChooseTarget(psg, nowhere);
        EXPECT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStartCannotCreate);
        EXPECT_EQ(OstrelLog(), (Log{"5 \"" + nowhere + "\" 4 4"}));
        EXPECT_EQ(psg.r.ConvertState, 1);
    }
}

TEST(PsgStart, ReasonsNameTheChannelAndTheValue) {
    char text[160];
    PsgStartResult zeroEu{kPsgStartZeroEu, 3, 0};
    FormatPsgStartReason(&zeroEu, text, sizeof text);
    EXPECT_STREQ(text, "channel 3: CAL (EU) is 0, so calibrated values cannot be scaled");
    PsgStartResult uneven{kPsgStartUnevenChannelRate, 2, 7};
    FormatPsgStartReason(&uneven, text, sizeof text);
    EXPECT_STREQ(text,
                 "channel 2: rate divisor 7 does not give a whole number of samples per epoch");
    char small[8];
    EXPECT_EQ(FormatPsgStartReason(&zeroEu, small, sizeof small), 7);
    EXPECT_STREQ(small, "channel");
}

TEST(PsgStart, TheTargetAndTheRunStayWhileARunIsOn) {
    Psg psg;
    psg.Source("1\n", 1, 200, 0);
    EXPECT_EQ(SetPsgTarget(&psg.r, std::string(kPathSize, 'a').c_str()), 0) << "does not fit";
    EXPECT_EQ(SetPsgTarget(&psg.r, ""), 0);
    EXPECT_EQ(psg.r.ConvertState, 0);
    EXPECT_EQ(SetPsgTarget(&psg.r, psg.Target().c_str()), 1);
    EXPECT_EQ(psg.r.ConvertState, 1);
    EXPECT_STREQ(psg.r.CopyFile, psg.Target().c_str());
    PsgPageView view;
    DescribePsgConvertPage(&psg.r, &view);
    EXPECT_EQ(view.startButton + view.selectButton + view.fieldsEnabled, 3) << "ready";
    ASSERT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStarted);
    DescribePsgConvertPage(&psg.r, &view);
    EXPECT_EQ(view.startButton + view.selectButton + view.fieldsEnabled, 0)
        << "running: all locked";
    const uint32_t handle = psg.r.OutputFile;
    const std::string other = psg.dir.File("other.edf");
    EXPECT_EQ(SetPsgTarget(&psg.r, other.c_str()), 0);
    EXPECT_STREQ(psg.r.PsgTargetPath, psg.Target().c_str());
    ChooseTarget(psg, other);  // as if chosen around the engine
    EXPECT_EQ(StartPsgConversion(&psg.r, nullptr), kPsgStartRunning);
    EXPECT_EQ(psg.r.OutputFile, handle);
    EXPECT_FALSE(PlatFileExists(other.c_str()));
}

}  // namespace
