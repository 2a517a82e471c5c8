// Starting and finishing a run: refusals that leave nothing behind, the
// reference file, the file number.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"
#include "failing_reads.h"
#include "ids/convert_ids.h"
#include "kavf32.h"
#include "runs/convert_finish.h"
#include "runs/run_ticks.h"

namespace {

TEST(EegRun, RefusedStartsCreateNothing) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(20, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);

    WriteBytes(scratch.File("taken.dat"), "keep");
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("taken.dat").c_str()),
              kEegStartOutputExists);
    EXPECT_EQ(ReadBytes(scratch.File("taken.dat")), "keep");
    WriteBytes(scratch.File("other.REF"), "keep");
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("other.dat").c_str()),
              kEegStartReferenceExists);
    EXPECT_FALSE(Exists(scratch.File("other.dat")));
    EXPECT_EQ(
        StartEegConversion(record.get(), (scratch.Path() + "/" + std::string(300, 'a')).c_str()),
        kEegStartPathTooLong);

    record->CopyFileType = 1;
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("a.dat").c_str()), kEegStartNotEegType);
    record->CopyFileType = 2;
    record->ChannelCount = 0;
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("a.dat").c_str()), kEegStartBadLayout);
    record->ChannelCount = 2;
    record->SampleRate = 0;
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("a.dat").c_str()), kEegStartBadLayout);
    record->SampleRate = 1;
    record->CurrentEegPattern = 4;
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("a.dat").c_str()), kEegStartBadLayout);
    record->CurrentEegPattern = 0;
    EXPECT_FALSE(Exists(scratch.File("a.dat")));

    // A second start while the first runs leaves the first file alone.
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("run.dat").c_str()), kEegStarted);
    const KAVFHANDLE running = record->OutputFile;
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("run.dat").c_str()), kEegStartRunning);
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("second.dat").c_str()),
              kEegStartRunning);
    EXPECT_EQ(record->OutputFile, running);
    EXPECT_FALSE(Exists(scratch.File("second.dat")));
    while (EegTimerTick(record.get())) {
    }
    FinishEegConversion(record.get(), nullptr);
    EXPECT_EQ(ReadWave(scratch.File("run.dat")).frames, 20u);
    // A finished run makes way for the next.
    EXPECT_EQ(StartEegConversion(record.get(), scratch.File("next.dat").c_str()), kEegStarted);
}

TEST(EegRun, ReferenceFileBytes) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(1000, 3));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 3, 200);
    uint32_t flags = ConvertAll(record.get(), scratch.File("88000012.DAT"));
    EXPECT_EQ(flags, uint32_t{kEegFinishReferenceWritten | kEegFinishWaveClosed});
    const std::string bytes = ReadBytes(scratch.File("88000012.REF"));
    ASSERT_EQ(bytes.size(), 36u + 4 + 2 * 406 + 2 * 806 + 4);
    EXPECT_EQ(bytes.substr(0, 36), std::string("KAVT\0\0\0\x10\0\x01\0\x01\0\x0A\0\x20\0\x08\0\x0C"
                                               "EEG FILING\0\0\0\0\0\0",
                                               36));
    EXPECT_EQ(Be32At(bytes, 36), 2u + 406 + 806 + 2);
    EXPECT_EQ(bytes.substr(40, 20), std::string("\0\0\x01\x96\0\x11\0\xD2\0\0\x01\x90"
                                                "\x10\x01\x40\0\x10\xC1\x10\0",
                                                20));
    EXPECT_EQ(bytes.substr(60, 2 * 396), std::string(2 * 396, '\0'));
    const size_t longs = 40 + 2 * 406;
    EXPECT_EQ(bytes.substr(longs, 28), std::string("\0\0\x03\x26\0\x12\0\xD3\0\0\x01\x90"
                                                   "\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\x03\xE7",
                                                   28));
    EXPECT_EQ(Be32At(bytes, bytes.size() - 4), 0u);
}

TEST(EegRun, FinishAdvancesTheFileNumberInTheSettings) {
    Scratch scratch;
    const std::string settings = scratch.File("QUILLON.INI");
    WriteBytes(settings, "[SYSTEM]\r\nEEGFileNo=12\r\nOther=1\r\n");
    WriteBytes(scratch.File("src.csv"), NumberLines(3, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    record->EEGFileNo = 12;
    EXPECT_NE(ConvertAll(record.get(), scratch.File("a.dat"), settings.c_str()) &
                  kEegFinishFileNumberSaved,
              0u);
    EXPECT_EQ(record->EEGFileNo, 13);
    EXPECT_EQ(ReadBytes(settings), "[SYSTEM]\r\nEEGFileNo=13\r\nOther=1\r\n");

    record->EEGFileNo = 99999;
    ConvertAll(record.get(), scratch.File("b.dat"), settings.c_str());
    EXPECT_EQ(record->EEGFileNo, 1);
    EXPECT_NE(ReadBytes(settings).find("EEGFileNo=1\r\n"), std::string::npos);

    // Without a settings file the number advances in the record only.
    ConvertAll(record.get(), scratch.File("c.dat"));
    EXPECT_EQ(record->EEGFileNo, 2);
    EXPECT_NE(ReadBytes(settings).find("EEGFileNo=1\r\n"), std::string::npos);
}

TEST(EegRun, AFailedFrameWriteEndsTheRunAndIsReported) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(30, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    ASSERT_EQ(AwaitEegStepWrite(record.get()), 1);
    CloseKavfile(record->OutputFile);  // the library now refuses the handle
    // The next step's frames are handed over; their failed write ends the
    // run at the step after, and those frames are not counted either.
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(EegTimerTick(record.get()), 0);
    EXPECT_EQ(record->FramesDone, 10u);
    uint32_t flags = FinishEegConversion(record.get(), nullptr);
    EXPECT_NE(flags & kEegFinishWriteFailed, 0u);
    EXPECT_EQ(flags & kEegFinishWaveClosed, 0u);
}

// A reference file the system will not write: the run says why, leaves no
// half-written .REF, and the wave is closed whole.
TEST(EegRun, AFailedReferenceWriteKeepsTheSystemsReason) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(30, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    // The claimed descriptor becomes a read-only one: every write to it fails.
    const int held = static_cast<int>(GetKavfileHandle(record->ReferenceFile));
    const int readOnly = open(scratch.File("out.REF").c_str(), O_RDONLY);
    ASSERT_GE(readOnly, 0);
    ASSERT_EQ(dup2(readOnly, held), held);
    close(readOnly);
    while (EegTimerTick(record.get()) == 1) {
    }
    RunEnd end;
    FinishOwnedRun(record.get(), nullptr, false, &end);
    EXPECT_EQ(end.flags & kEegFinishReferenceWritten, 0u);
    EXPECT_NE(end.flags & kEegFinishWaveClosed, 0u);
    EXPECT_STREQ(record->RunErrorText, std::strerror(EBADF));
    EXPECT_FALSE(std::filesystem::exists(scratch.File("out.REF")));
    EXPECT_EQ(ReadWave(scratch.File("out.dat")).frames, 30u);
}

// A source read failing after the first step, at the step's first byte or
// inside its first line, fails the run with the system's reason; the wave
// holds the first step whole, and not the line the failure cut. So it is in
// a large source, where the failure meets the reads that each thread takes
// of its own half.
TEST(EegRun, AFailedSourceReadEndsTheRunAfterTheLastWholeStep) {
    struct Case {
        int32_t lines, channels, rate;
        int64_t bytesFirst;
    };
    for (const Case& c : {Case{30, 2, 1, 0}, Case{30, 2, 1, 5}, Case{20000, 8, 500, 0},
                          Case{20000, 8, 500, 70000}, Case{20000, 8, 500, 150000}}) {
        SCOPED_TRACE(std::to_string(c.lines) + " lines, " + std::to_string(c.bytesFirst));
        const uint32_t step = static_cast<uint32_t>(c.rate) * 10;
        Scratch scratch;
        WriteBytes(scratch.File("src.csv"), NumberLines(c.lines, c.channels));
        RecordPtr record = EegRecord(scratch.File("src.csv"), c.channels, c.rate);
        ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
        EXPECT_EQ(EegTimerTick(record.get()), 1);
        FailReadsOf(record->SourceFile, c.bytesFirst);
        EXPECT_EQ(EegTimerTick(record.get()), 0);
        FailReadsOf(nullptr, 0);
        RunEnd end;
        FinishOwnedRun(record.get(), nullptr, false, &end);
        EXPECT_EQ(end.flags, uint32_t{kEegFinishReadFailed | kEegFinishWaveClosed |
                                      kEegFinishReferenceWritten});
        EXPECT_STREQ(record->RunErrorText, std::strerror(EIO));
        FinishMessage message;
        DescribeRunEnd(record.get(), &end, &message);
        EXPECT_EQ(message.causeCode, REASON_END_READ_FAILED);
        EXPECT_EQ(message.frames, step);
        EXPECT_EQ(record->Tally.DataRows, step);
        const Wave wave = ReadWave(scratch.File("out.dat"));
        EXPECT_EQ(wave.frames, step);
        EXPECT_EQ(wave.Sample(step - 1, static_cast<uint32_t>(c.channels) - 1),
                  static_cast<int32_t>(step) - 1 + c.channels - 1)
            << "the step's last line";
        EXPECT_EQ(ReadBytes(scratch.File("out.dat")).size(),
                  record->WaveDataOffset + step * record->FrameBytes);
        OpenFile reference(scratch.File("out.REF"), "KAVT");
        EXPECT_EQ(reference.Longs(1, 0xD3, 4)[3], step - 1) << "the last frame written";
    }
}

// A source cut shorter than it was at the start is a failed read too, not
// its end: the run fails and the wave holds the steps before the cut whole.
TEST(EegRun, ASourceCutBetweenStepsFailsTheRun) {
    Scratch scratch;
    const std::string source = NumberLines(30, 2);
    WriteBytes(scratch.File("src.csv"), source);
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    std::filesystem::resize_file(scratch.File("src.csv"), NumberLines(15, 2).size());
    EXPECT_EQ(EegTimerTick(record.get()), 0);
    RunEnd end;
    FinishOwnedRun(record.get(), nullptr, false, &end);
    EXPECT_NE(end.flags & kEegFinishReadFailed, 0u);
    EXPECT_EQ(std::string(record->RunErrorText).rfind("the source ends at byte", 0), 0u)
        << record->RunErrorText;
    EXPECT_EQ(ReadWave(scratch.File("out.dat")).frames, 10u);
}

// An interrupted run (the program's exit, Ctrl+C) ends as a complete,
// shorter recording, and the next file number moves past it.
TEST(EegRun, AnInterruptedRunKeepsItsFramesAsACompleteFile) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(25, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    ReleaseEegRun(record.get(), nullptr);
    EXPECT_EQ(record->OutputFile, 0u);
    EXPECT_EQ(record->EEGFileNo, 2);
    EXPECT_EQ(ReadWave(scratch.File("out.dat")).frames, 20u);
    OpenFile reference(scratch.File("out.REF"), "KAVT");
    EXPECT_EQ(reference.Longs(1, 0xD3, 4)[3], 19u) << "the last frame written";
}

TEST(EegRun, UnusableSourcesAreRefusedBeforeAnythingIsCreated) {
    Scratch scratch;
    const std::pair<const char*, std::string> sources[] = {
        {"missing", ""},
        {"empty", ""},
        {"bom only", "\xEF\xBB\xBF"},
        {"utf16", std::string("\xFF\xFE"
                              "1\0,\0"
                              "2\0\n\0",
                              10)},
        {"utf16 without a mark", std::string("1\0,\0"
                                             "2\0\n\0"
                                             "3\0,\0"
                                             "4\0\n\0",
                                             16)},
        {"binary", std::string("1,2\n\0\x01\x02\n", 9)},
        {"too few columns", "1\n2\n"},
        {"no data line in a whole source", "Fp1,Fp2\n"},
        {"data line beyond the head", std::string(9000, 'x') + "\n1,2\n"},
    };
    for (const auto& [name, bytes] : sources) {
        const std::string source = scratch.File("src.csv");
        std::filesystem::remove(source);
        if (std::string(name) != "missing") WriteBytes(source, bytes);
        RecordPtr record = EegRecord(source, 2, 1);
        if (std::string(name) == "no data line in a whole source") record->DataStartLine = 1;
        if (std::string(name) == "data line beyond the head") record->DataStartLine = 3;
        EXPECT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()),
                  kEegStartSourceUnusable)
            << name;
        EXPECT_FALSE(Exists(scratch.File("out.dat"))) << name;
        EXPECT_FALSE(Exists(scratch.File("out.REF"))) << name;
    }
}

// Another run takes the output's name between the existence check and the
// creation: its file is never written into.
TEST(EegRun, AnOutputTakenAfterTheCheckIsNeverWrittenInto) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(5, 2));
    const std::string out = scratch.File("out.dat");
    for (const char* taken : {"out.dat", "out.REF"}) {
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
        AfterExistenceCheck([&](const char* path) {
            if (std::string(path) == scratch.File(taken)) WriteBytes(path, "another run's");
        });
        const int32_t outcome = StartEegConversion(record.get(), out.c_str());
        AfterExistenceCheck(nullptr);
        EXPECT_EQ(outcome, std::string(taken) == "out.dat" ? kEegStartOutputExists
                                                           : kEegStartReferenceExists);
        EXPECT_EQ(ReadBytes(scratch.File(taken)), "another run's");
        EXPECT_EQ(record->OutputFile, 0u);
        std::filesystem::remove(scratch.File(taken));
        EXPECT_FALSE(Exists(out)) << "the claimed output is given up again";
    }
}

// Someone swaps a name for a link to another file right after the run
// created it: the link's target is never written, the start is refused as
// for a taken name, and the link (not the run's) is left where it is.
TEST(EegRun, ANameSwappedForALinkAfterTheClaimIsNeverWrittenThrough) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(5, 2));
    const std::string victim = scratch.File("victim");
    for (const char* taken : {"out.dat", "out.REF"}) {
        WriteBytes(victim, "precious");
        const std::string name = scratch.File(taken);
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
        AfterOpen([&](const char* path) {
            if (path != name) return;
            std::filesystem::remove(path);
            std::filesystem::create_symlink(victim, path);
        });
        const int32_t outcome = StartEegConversion(record.get(), scratch.File("out.dat").c_str());
        AfterOpen(nullptr);
        EXPECT_EQ(outcome, std::string(taken) == "out.dat" ? kEegStartOutputExists
                                                           : kEegStartReferenceExists);
        EXPECT_EQ(ReadBytes(victim), "precious") << taken;
        EXPECT_TRUE(std::filesystem::is_symlink(name)) << taken;
        EXPECT_EQ(record->OutputFile, 0u);
        EXPECT_EQ(record->ReferenceFile, 0u);
        std::filesystem::remove(name);
        EXPECT_FALSE(Exists(scratch.File("out.dat")) || Exists(scratch.File("out.REF")))
            << "the run's own file is given up";
    }
}

// The same swap while the run goes on: nothing is written through the link
// and the finish does not claim success for a file the name no longer holds.
TEST(EegRun, ANameSwappedDuringTheRunFailsItsFinish) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(25, 2));
    const std::string victim = scratch.File("victim");
    for (const char* taken : {"out.dat", "out.REF"}) {
        WriteBytes(victim, "precious");
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
        ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
        EXPECT_EQ(EegTimerTick(record.get()), 1);
        std::filesystem::remove(scratch.File(taken));
        std::filesystem::create_symlink(victim, scratch.File(taken));
        while (EegTimerTick(record.get()) != 0) {
        }
        const uint32_t flags = FinishEegConversion(record.get(), nullptr);
        EXPECT_EQ(ReadBytes(victim), "precious") << taken;
        if (std::string(taken) == "out.dat") {
            EXPECT_NE(flags & kEegFinishWriteFailed, 0u);
            EXPECT_NE(std::string(record->RunErrorText), "");
        } else {
            EXPECT_EQ(flags & kEegFinishReferenceWritten, 0u);
            EXPECT_EQ(ReadWave(scratch.File("out.dat")).frames, 25u);
        }
        std::filesystem::remove(scratch.File("out.dat"));
        std::filesystem::remove(scratch.File("out.REF"));
    }
}

TEST(EegRun, AChannelCountChangedDuringARunEndsIt) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(30, 4));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    EXPECT_EQ(EegTimerTick(record.get()), 1);
    record->ChannelCount = 4;  // the source page, mid-run
    EXPECT_EQ(EegTimerTick(record.get()), 0);
    const uint32_t flags = FinishEegConversion(record.get(), nullptr);
    EXPECT_NE(flags & kEegFinishLayoutChanged, 0u);
    EXPECT_NE(flags & kEegFinishWaveClosed, 0u);
    Wave wave = ReadWave(scratch.File("out.dat"));
    EXPECT_EQ(wave.frames, 10u);
    EXPECT_EQ(wave.channels, 2u);
}

// A tick with a time budget runs several steps, each exactly as one step a
// tick would: the same file, the same counter.
TEST(EegRun, BudgetedTicksWriteWhatSingleStepsWrite) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(35, 2));
    for (uint32_t budget : {0u, 60000u}) {
        const std::string out = scratch.File(budget == 0 ? "single.dat" : "budget.dat");
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
        ASSERT_EQ(StartEegConversion(record.get(), out.c_str()), kEegStarted);
        uint32_t ticks = 1;
        while (RunConversionTicks(record.get(), budget)) ++ticks;
        EXPECT_EQ(ticks, budget == 0 ? 5u : 1u) << "four steps, then the one that finds no line";
        EXPECT_EQ(record->StepCount, 5u);
        RunProgress progress;
        DescribeRunProgress(record.get(), 0, 1500, &progress);
        EXPECT_EQ(progress.percent, 100);
        EXPECT_EQ(progress.elapsedSeconds, 1);
        FinishEegConversion(record.get(), nullptr);
    }
    EXPECT_EQ(ReadBytes(scratch.File("single.dat")), ReadBytes(scratch.File("budget.dat")));
    char text[16];
    FormatElapsed(3725, text, sizeof text);
    EXPECT_STREQ(text, "1:02:05");
}

TEST(EegRun, ARunWithoutDataRowsRemovesItsOutput) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), "1,2\n");
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 1);
    record->EEGFileNo = 7;
    ASSERT_EQ(StartEegConversion(record.get(), scratch.File("out.dat").c_str()), kEegStarted);
    WriteBytes(scratch.File("src.csv"), "short\n\n");  // changed after the check
    while (EegTimerTick(record.get())) {
    }
    EXPECT_EQ(FinishEegConversion(record.get(), nullptr), uint32_t{kEegFinishRemoved});
    EXPECT_FALSE(Exists(scratch.File("out.dat")));
    EXPECT_FALSE(Exists(scratch.File("out.REF")));
    EXPECT_EQ(record->EEGFileNo, 7) << "no file, no new number";
    EXPECT_EQ(record->Tally.ShortLines, 1u);
    EXPECT_EQ(record->Tally.BlankLines, 1u);
}

}  // namespace
