// What Ostrel refuses: handles that are not live, calls out of turn,
// definitions that cannot make a valid file; and the type name table.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <functional>

#include "edf_bytes.h"
#include "ostrel.h"
#include "platform.h"
#include "psg_run.h"

namespace {

std::vector<int16_t> Ones(int32_t rows, int32_t columns) {
    return std::vector<int16_t>(static_cast<size_t>(rows * columns), 1);
}

TEST(Create, NeverTouchesAnExistingFile) {
    ScratchFolder dir;
    std::string path = dir.File("taken.edf");
    std::ofstream(path, std::ios::binary) << "keep me";
    EXPECT_EQ(OstrelCreate(path.c_str(), 4, 4), 0u);
    EXPECT_EQ(ReadBytes(path), "keep me");
    EXPECT_EQ(OstrelCreate(nullptr, 4, 4), 0u);
    EXPECT_EQ(OstrelCreate("", 4, 4), 0u);
    EXPECT_EQ(OstrelCreate(dir.File("no/such/folder.edf").c_str(), 4, 4), 0u);
}

TEST(Handles, OnlyLiveValuesAreAccepted) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    uint32_t h = DefinePsgFile(dir.File("a.edf"), r);
    ASSERT_NE(h, 0u);
    uint32_t forged = h ^ 0x100;  // same slot, another generation
    for (uint32_t bad : {0u, forged, h + 1, 0xFFFFFFFFu}) {
        EXPECT_EQ(OstrelPrepareHeader(bad), 0);
        EXPECT_EQ(OstrelPutPatientField(bad, 0, 0, 20, 11, "x"), 0);
        EXPECT_EQ(OstrelCount(bad, 0, 4), 0);
        OstrelCommitFrames(bad, 30);
        OstrelFinishRecording(bad, 0);
        OstrelCloseContents(bad);
        EXPECT_EQ(OstrelRelease(bad), 0u);
    }
    uint32_t other = DefinePsgFile(dir.File("b.edf"), r);
    ASSERT_NE(other, 0u);
    EXPECT_NE(other, h);
    HandEpoch(h, r, Ones(6000, 3), 30);
    EXPECT_EQ(OstrelCount(h, 0, 4), 30) << "the live handle was not disturbed";
    EXPECT_EQ(OstrelCount(h, 0, 3) + OstrelCount(h, 1, 4), 0) << "only item 4 of section 0 counts";
    EXPECT_EQ(OstrelCount(other, 0, 4), 0);
    EXPECT_EQ(EndPsgFile(other), 0u);
    EXPECT_EQ(OstrelRelease(h), 0u);
    // Stale now: nothing reaches the closed file.
    OstrelCommitFrames(h, 30);
    EXPECT_EQ(OstrelCount(h, 0, 4), 0);
    EXPECT_EQ(OstrelRelease(h), 0u);
    EXPECT_EQ(ReadBytes(dir.File("a.edf")).size(), 1024u + 30u * 640u);
}

TEST(Order, CallsOutOfTurnChangeNothing) {
    ScratchFolder dir;
    std::string path = dir.File("order.edf");
    uint32_t h = OstrelCreate(path.c_str(), 4, 4);
    ASSERT_NE(h, 0u);
    OstrelSetHeaderItem(h, 0, 3, 7);  // before ordinal 31
    std::vector<int16_t> rows = Ones(6000, 3);
    OstrelPutChannelSamples(h, 0, 30, 0, 6, rows.data());
    OstrelCommitFrames(h, 30);
    EXPECT_EQ(OstrelPutPatientField(h, 0, 0, 20, 11, "early"), 0) << "before ordinal 41";
    EXPECT_EQ(OstrelPrepareHeader(h), 1);
    EXPECT_EQ(OstrelPrepareHeader(h), 0) << "only once";
    OstrelBeginHeader(h);
    OstrelBeginPatient(h);
    EXPECT_EQ(OstrelPutPatientField(h, 0, 0, 20, 11, "id"), 20);
    EXPECT_EQ(OstrelPutPatientField(h, 0, 20, 32, 13, nullptr), 52);
    EXPECT_EQ(OstrelPutPatientField(h, 0, 52, -1, 14, "x"), 0);
    EXPECT_EQ(OstrelPutPatientField(h, 0, -5, 4, 14, "x"), 0);
    EXPECT_EQ(OstrelPutPatientField(h, 1, 52, 4, 14, "x"), 0) << "section 0 only";
    OstrelRelease(h);
    EXPECT_FALSE(PlatFileExists(path.c_str())) << "nothing was defined, nothing created";

    // Definitions after ordinal 42 are too late.
    std::string late = dir.File("late.edf");
    PsgRecording r = ProgramRecording();
    h = DefinePsgFile(late, r);
    OstrelSetChannelText(h, 0, 1, 0, "Cz");
    OstrelSetChannelItem(h, 0, 4, 0, 100);
    OstrelSetHeaderItem(h, 0, 3, 2);
    OstrelBeginPatient(h);
    EXPECT_EQ(OstrelPutPatientField(h, 0, 0, 20, 11, "late"), 0);
    HandEpoch(h, r, Ones(6000, 3), 30);
    EndPsgFile(h);
    std::string file = ReadBytes(late);
    EXPECT_EQ(file.substr(8, 9), "000-0001 ");
    EXPECT_EQ(file.substr(244, 8), Pad("1", 8));
    EXPECT_EQ(SignalField(file, 3, kLabel, 0), Pad("EEG Fp1", 16));
    EXPECT_EQ(SignalField(file, 3, kSamples, 0), Pad("200", 8));
}

// Each of these makes a definition that no valid EDF file can hold: ordinal
// 42 creates no file, ordinal 34 tells the caller with -1, and every data
// call is refused.
TEST(Definitions, InvalidOnesCreateNoFile) {
    struct Case {
        const char* what;
        std::function<void(PsgRecording&)> change;
    } cases[] = {
        {"no channels", [](PsgRecording& r) { r.channels.clear(); }},
        {"frame time 0", [](PsgRecording& r) { r.frameSeconds = 0; }},
        {"sample rate 0", [](PsgRecording& r) { r.sampleRate = 0; }},
        {"channel rate 0", [](PsgRecording& r) { r.channels[1].rate = 0; }},
        {"7500 rows an epoch in steps of 7",
         [](PsgRecording& r) {
             r.sampleRate = 250;
             r.channels[0].rate = 250;
             r.channels[1].rate = 35;
         }},
        {"rate above the source", [](PsgRecording& r) { r.channels[1].rate = 400; }},
        {"range too large",
         [](PsgRecording& r) {
             r.channels[0].eu = 306;
             r.channels[0].vu = 1;
         }},
        {"range too fine",
         [](PsgRecording& r) {
             r.channels[0].eu = 1;
             r.channels[0].vu = 1000000000;
         }},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        std::string path = dir.File("bad.edf");
        PsgRecording r = ProgramRecording();
        c.change(r);
        int32_t total = -1;
        uint32_t h = DefinePsgFile(path, r, &total);
        ASSERT_NE(h, 0u) << c.what;
        EXPECT_EQ(total, -1) << c.what;
        HandEpoch(h, r, Ones(6000, 3), 30);
        EXPECT_EQ(OstrelCount(h, 0, 4), -1) << c.what;
        EXPECT_EQ(EndPsgFile(h), 0u);
        EXPECT_FALSE(PlatFileExists(path.c_str())) << c.what;
    }
}

TEST(Definitions, TheFileAppearsOnlyWhenTheyCloseValid) {
    ScratchFolder dir;
    std::string path = dir.File("late.edf");
    PsgRecording r = ProgramRecording();
    uint32_t h = OstrelCreate(path.c_str(), 4, 4);
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(PlatFileExists(path.c_str())) << "not before ordinal 42";
    OstrelRelease(h);
    EXPECT_FALSE(PlatFileExists(path.c_str()));

    int32_t total = -1;
    h = DefinePsgFile(path, r, &total);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(total, 0) << "valid, no epoch yet";
    EXPECT_TRUE(PlatFileExists(path.c_str()));
    EndPsgFile(h);

    // A path taken between ordinals 5 and 42 is refused, not overwritten.
    std::string taken = dir.File("taken.edf");
    h = OstrelCreate(taken.c_str(), 4, 4);
    ASSERT_NE(h, 0u);
    std::ofstream(taken, std::ios::binary) << "keep me";
    h = DefineCreatedPsgFile(h, r, &total);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(total, -1);
    EndPsgFile(h);
    EXPECT_EQ(ReadBytes(taken), "keep me");
}

TEST(Epochs, FrameCountsAreChecked) {
    ScratchFolder dir;
    std::string path = dir.File("frames.edf");
    PsgRecording r = ProgramRecording();
    uint32_t h = DefinePsgFile(path, r);
    std::vector<int16_t> rows = Ones(6200, 3);
    OstrelCommitFrames(h, 31);  // beyond the 30 s epoch
    OstrelCommitFrames(h, 0);
    OstrelCommitFrames(h, -1);
    EXPECT_EQ(OstrelCount(h, 0, 4), 0);
    OstrelPutChannelSamples(h, 0, 30, 0, 6, rows.data());
    OstrelPutChannelSamples(h, 0, 29, 1, 6, rows.data() + 2);  // not this epoch's count
    OstrelCommitFrames(h, 29);
    EXPECT_EQ(OstrelCount(h, 0, 4), 0);
    OstrelPutChannelSamples(h, 0, 30, 2, 6, rows.data());  // no such channel
    OstrelPutChannelSamples(h, 0, 30, 1, 0, rows.data());  // no stride
    OstrelPutChannelSamples(h, 0, 30, 1, 6, nullptr);
    OstrelCommitFrames(h, 30);
    EXPECT_EQ(OstrelCount(h, 0, 4), 30);
    OstrelCommitFrames(h, 10);  // shorter epochs are fine
    EXPECT_EQ(OstrelCount(h, 0, 4), 40);
    EndPsgFile(h);
    std::string file = ReadBytes(path);
    ASSERT_EQ(file.size(), 1024u + 40u * 640u);
    EXPECT_EQ(SampleAt(file, 1024), 1);
    EXPECT_EQ(SampleAt(file, 1024 + 400), 0) << "channel 1's refused calls left zeros";
}

// 62.5 Hz (every 4th row of 250 Hz) in 2 s records of 1264 bytes: commits
// of an odd number of 1 s frames would end inside a record.
TEST(Epochs, CommitsFillWholeRecords) {
    ScratchFolder dir;
    std::string path = dir.File("whole.edf");
    PsgRecording r = ProgramRecording();
    r.sampleRate = 250;
    r.fields.clear();
    r.comment.clear();
    r.channels = {{1, "A", "uV", 4, 250, 1, 1, 0, 0, 0}, {3, "B", "uV", 4, 62, 1, 1, 0, 0, 0}};
    uint32_t h = DefinePsgFile(path, r);
    std::vector<int16_t> rows = Ones(7500, 3);
    for (auto [frames, count] : {std::pair{3, 0}, {30, 30}, {1, 30}, {4, 34}}) {
        HandEpoch(h, r, rows, frames);
        EXPECT_EQ(OstrelCount(h, 0, 4), count) << frames;
    }
    EndPsgFile(h);
    std::string file = ReadBytes(path);
    EXPECT_EQ(file.size(), 1024u + 17u * 1264u);
    EXPECT_EQ(file.substr(236, 16), Pad("17", 8) + Pad("2", 8));
}

// The process's file-size limit, lowered for a scope: writes past it fail
// (SIGXFSZ ignored) as on a full disk.
struct FileSizeLimit {
    rlimit saved{};
    void (*savedHandler)(int) = SIG_DFL;
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
    }
};

// The program run's 640-byte records: a second epoch that fits only in
// part is cut away, and the count (which never moved for it) matches.
TEST(Epochs, AFailedWriteLeavesWholeRecordsAndTheirCount) {
    ScratchFolder dir;
    std::string path = dir.File("full.edf");
    PsgRecording r = ProgramRecording();
    std::vector<int16_t> rows = Ones(6000, 3);
    {
        FileSizeLimit limit(1024 + 30 * 640 + 5000);
        uint32_t h = DefinePsgFile(path, r);
        HandEpoch(h, r, rows, 30);
        EXPECT_EQ(OstrelCount(h, 0, 4), 30);
        HandEpoch(h, r, rows, 30);
        EXPECT_EQ(OstrelCount(h, 0, 4), 30) << "a failed commit is not counted";
        HandEpoch(h, r, rows, 30);
        EXPECT_EQ(OstrelCount(h, 0, 4), 30) << "nothing follows a failed write";
        EndPsgFile(h);
    }
    std::string file = ReadBytes(path);
    EXPECT_EQ(file.size(), 1024u + 30u * 640u);
    EXPECT_EQ(file.substr(236, 8), Pad("30", 8));

    // A header that cannot get out whole leaves no file at all.
    std::string early = dir.File("early.edf");
    {
        FileSizeLimit limit(500);
        uint32_t h = DefinePsgFile(early, r);
        HandEpoch(h, r, rows, 30);
        EXPECT_EQ(OstrelCount(h, 0, 4), 0);
        EndPsgFile(h);
    }
    EXPECT_FALSE(PlatFileExists(early.c_str()));
}

TEST(TypeNames, TableAndBounds) {
    const char* expected[OSTREL_TYPE_COUNT] = {
        "Misc", "Event", "DC",    "AC",     "EEG",  "EOG",   "EMG",
        "ECG",  "Resp",  "Flow",  "Effort", "SaO2", "Pleth", "HR",
        "Pos",  "Snore", "Sound", "Light",  "Temp", "CO2",   "Pressure"};
    for (int32_t code = -1; code <= OSTREL_TYPE_COUNT; ++code) {
        char buffer[OSTREL_TYPE_NAME_SIZE + 8];
        std::memset(buffer, 0x55, sizeof buffer);
        OstrelSignalTypeName(code, buffer);
        bool known = code >= 0 && code < OSTREL_TYPE_COUNT;
        EXPECT_STREQ(buffer, known ? expected[code] : "") << code;
        for (size_t i = OSTREL_TYPE_NAME_SIZE; i < sizeof buffer; ++i)
            ASSERT_EQ(buffer[i], 0x55) << "wrote past the buffer for code " << code;
    }
    OstrelSignalTypeName(4, nullptr);
}

}  // namespace
