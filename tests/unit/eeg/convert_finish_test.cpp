// What the convert pages say when a run ends: "ended normally" only for a
// file that holds everything, otherwise why not and what the file holds.
#include <gtest/gtest.h>

#include "runs/convert_finish.h"
#include "ids/convert_ids.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"
#include "psg/psg_run.h"

namespace {

std::string Text(const char* pattern, const FinishMessage& message, const char* error = nullptr) {
    char out[64];
    FormatFinishText(pattern, &message, error, out, sizeof out);
    return out;
}

RecordPtr NamedRun(const Scratch& scratch, const std::string& lines, const char* name = "out") {
    const std::string source = scratch.File(std::string(name) + ".csv");
    WriteBytes(source, lines);
    RecordPtr record = EegRecord(source, 2, 1);
    record->CopyPrivateFile = 1;
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File(std::string(name) + ".dat").c_str()),
              kEegStarted);
    return record;
}

// The output kind shown may change after the start: the run is still ended
// as the EEG run it is, and a clean one names no cause.
TEST(ConvertFinish, TheRunIsEndedByItsOwnKind) {
    Scratch scratch;
    RecordPtr record = NamedRun(scratch, NumberLines(15, 2));
    while (EegTimerTick(record.get())) {
    }
    record->CopyFileType = kOutputPsg;
    RunEnd end;
    FinishOwnedRun(record.get(), nullptr, false, &end);
    EXPECT_EQ(end.kind, kRunEeg);
    EXPECT_NE(end.flags & kEegFinishReferenceWritten, 0u);
    EXPECT_EQ(end.framesHeld, 15u);
    EXPECT_EQ(record->OutputFile, 0u);
    EXPECT_TRUE(Exists(scratch.File("out.REF")));
    FinishMessage message;
    DescribeRunEnd(record.get(), &end, &message);
    EXPECT_EQ(message.causeCode, REASON_NONE);
    EXPECT_EQ(message.holdsCode, 0);
    EXPECT_FALSE(message.warning);
    EXPECT_EQ(RunOutcomeStringId(&message), IDS_OUTCOME_FINISHED);

    FinishOwnedRun(record.get(), nullptr, true, &end);
    EXPECT_EQ(end.kind, kRunNone) << "nothing owns an output any more";
}

TEST(ConvertFinish, ARunThatDidNotWriteEverythingSaysWhat) {
    Scratch scratch;
    RecordPtr record = NamedRun(scratch, NumberLines(25, 2));
    ASSERT_EQ(EegTimerTick(record.get()), 1);
    RunEnd end;
    FinishOwnedRun(record.get(), nullptr, true, &end);
    FinishMessage message;
    DescribeRunEnd(record.get(), &end, &message);
    EXPECT_EQ(message.causeCode, REASON_END_INTERRUPTED);
    EXPECT_EQ(message.holdsCode, REASON_HOLDS_FRAMES);
    EXPECT_TRUE(message.warning);
    EXPECT_EQ(RunOutcomeStringId(&message), IDS_OUTCOME_STOPPED);
    EXPECT_EQ(Text("first %1 frames (%.3 s)", message), "first 10 frames (10.0 s)")
        << "an EEG frame is one line at 1 Hz";

    RecordPtr blank = NamedRun(scratch, "1,2\n\n3,4\n", "blank");
    while (EegTimerTick(blank.get())) {
    }
    FinishOwnedRun(blank.get(), nullptr, false, &end);
    DescribeRunEnd(blank.get(), &end, &message);
    EXPECT_EQ(message.causeCode, REASON_END_NOT_DATA_LINES);
    EXPECT_EQ(message.count, 1u);
    EXPECT_EQ(message.frames, 3u) << "the blank line's frame is in the file too";
}

// Causes the runs report by flags, the worst first.
TEST(ConvertFinish, CausesByFlags) {
    AppRecord record{};
    record.CopyPrivateFile = 1;
    FinishMessage message;
    const RunEnd failed{kRunEeg, kEegFinishWriteFailed | kEegFinishRemoved | kEegFinishInterrupted,
                        9};
    DescribeRunEnd(&record, &failed, &message);
    EXPECT_EQ(message.causeCode, REASON_END_WRITE_FAILED);
    EXPECT_EQ(RunOutcomeStringId(&message), IDS_OUTCOME_FAILED);
    EXPECT_EQ(message.holdsCode, REASON_HOLDS_REMOVED);
    EXPECT_EQ(message.frames, 0u);
    EXPECT_EQ(Text("failed (%e).", message, "disk full"), "failed (disk full).");

    const RunEnd full{kRunEeg,
                      kEegFinishWaveFull | kEegFinishWaveClosed | kEegFinishReferenceWritten, 7};
    DescribeRunEnd(&record, &full, &message);
    EXPECT_EQ(message.causeCode, REASON_END_WAVE_FULL);
    record.CopyPrivateFile = 0;
    const RunEnd unsaved{kRunEeg, kEegFinishWaveClosed | kEegFinishReferenceWritten, 7};
    DescribeRunEnd(&record, &unsaved, &message);
    EXPECT_EQ(message.causeCode, REASON_END_NUMBER_NOT_SAVED);

    const RunEnd psg{kRunPsg, kPsgFinishClosed | kPsgFinishSourceLeft, 4};
    record.FrameTime = 5;
    DescribeRunEnd(&record, &psg, &message);
    EXPECT_EQ(message.causeCode, REASON_END_SOURCE_LEFT);
    EXPECT_EQ(message.tenths, 200u) << "four epochs of 5 s";
    record.Tally.SaturatedValues = 2;
    record.Tally.NotNumbers = 1;
    const RunEnd clean{kRunPsg, kPsgFinishClosed, 4};
    DescribeRunEnd(&record, &clean, &message);
    EXPECT_EQ(message.causeCode, REASON_END_ODD_VALUES);
    EXPECT_EQ(message.count, 3u);
}

// The command line reports every cause, not only the worst: all are
// listed in the order the status line picks its first.
TEST(ConvertFinish, EveryCauseIsListedWorstFirst) {
    AppRecord record{};
    record.Tally.BlankLines = 2;
    const RunEnd full{kRunEeg, kEegFinishWaveFull | kEegFinishWaveClosed, 7};
    RunEndCause causes[kRunEndCauseLimit];
    ASSERT_EQ(ListRunEndCauses(&record, &full, causes, kRunEndCauseLimit), 4);
    EXPECT_EQ(causes[0].code, REASON_END_WAVE_FULL);
    EXPECT_EQ(causes[1].code, REASON_END_NO_REFERENCE);
    EXPECT_EQ(causes[2].code, REASON_END_NUMBER_NOT_SAVED);
    EXPECT_EQ(causes[3].code, REASON_END_NOT_DATA_LINES);
    EXPECT_EQ(causes[3].count, 2u);
    EXPECT_EQ(ListRunEndCauses(&record, &full, causes, 1), 1) << "never past max";

    record.Tally = ConversionTally{};
    const RunEnd removed{kRunPsg, kPsgFinishInterrupted | kPsgFinishRemoved, 0};
    ASSERT_EQ(ListRunEndCauses(&record, &removed, causes, kRunEndCauseLimit), 2);
    EXPECT_EQ(causes[0].code, REASON_END_INTERRUPTED);
    EXPECT_EQ(causes[1].code, REASON_END_NO_DATA) << "a removed file is not also unclosed";
    const RunEnd none{kRunNone, 0, 0};
    EXPECT_EQ(ListRunEndCauses(&record, &none, causes, kRunEndCauseLimit), 0);
}

TEST(ConvertFinish, FormattedTextStaysInItsBuffer) {
    const FinishMessage message{REASON_END_INTERRUPTED, REASON_HOLDS_FRAMES, true, 123456, 7, 0};
    char out[8];
    EXPECT_EQ(FormatFinishText("%2 of %1 frames", &message, nullptr, out, sizeof out), 7);
    EXPECT_STREQ(out, "7 of 12");
    EXPECT_EQ(Text("100% %x %e", message), "100% %x ");
}

}  // namespace
