// Data records: where each channel's samples come from in the program's
// epoch buffer, and what the annotation signal carries.
#include <gtest/gtest.h>

#include "edf_bytes.h"
#include "ostrel.h"
#include "psg_run.h"

namespace {

// The program run: 640-byte records after the 1024-byte header; channel 0
// (column 0, 200 Hz) at 0, channel 1 (column 2, 100 Hz) at 400, the
// annotation signal at 600 with 40 bytes.
std::string WriteProgramRun(const std::string& path, const PsgRecording& r, int32_t epochs) {
    uint32_t h = DefinePsgFile(path, r);
    int32_t rows = r.sampleRate * 30;
    for (int32_t e = 0; e < epochs; ++e)
        HandEpoch(h, r, Rows(rows, 3, e * rows), 30 / r.frameSeconds);
    EndPsgFile(h);
    return ReadBytes(path);
}

// The onset-0 TALs of the first records, time keeping left out.
std::vector<std::string> OnsetTexts(const std::string& file, size_t recordBytes, int records) {
    std::vector<std::string> texts;
    for (int r = 0; r < records; ++r) {
        std::vector<std::string> tals =
            Tals(file.substr(1024 + recordBytes * r + 600, recordBytes - 600));
        EXPECT_FALSE(tals.empty());
        if (!tals.empty()) texts.insert(texts.end(), tals.begin() + 1, tals.end());
    }
    return texts;
}

TEST(Records, ChannelsTakeEveryRthRowOfTheirColumn) {
    ScratchFolder dir;
    std::string file = WriteProgramRun(dir.File("run.edf"), ProgramRecording(), 2);
    ASSERT_EQ(file.size(), 1024u + 60u * 640u);
    for (int r : {0, 1, 29, 30, 59}) {
        std::string record = file.substr(1024 + 640 * static_cast<size_t>(r), 640);
        for (int j = 0; j < 200; ++j)
            ASSERT_EQ(SampleAt(record, 2 * j), Value(r * 200 + j, 0)) << r << "/" << j;
        // 100 Hz of a 200 Hz source: every second row of column 2.
        for (int j = 0; j < 100; ++j)
            ASSERT_EQ(SampleAt(record, 400 + 2 * j), Value((r * 100 + j) * 2, 2)) << r << "/" << j;
        EXPECT_EQ(Tals(record.substr(600))[0], "+" + std::to_string(r) + "\x14\x14");
    }
}

TEST(Records, TimeResolutionStrideAndClamping) {
    ScratchFolder dir;
    std::string path = dir.File("tr.edf");
    // One source line per millisecond at 500 Hz: the program's stride is
    // 3 columns x 2000 / 500 = 12 bytes (two rows); a 250 Hz channel takes
    // every second of those.
    PsgRecording r = ProgramRecording();
    r.sampleRate = 500;
    r.fields.clear();
    r.comment.clear();
    r.channels = {{2, "A", "uV", 4, 500, 1, 1, 0, 0, 0}, {3, "B", "uV", 4, 250, 1, 1, 0, 0, 0}};
    std::vector<int16_t> rows = Rows(30000, 3);
    rows[0 * 3 + 1] = -32768;
    rows[4 * 3 + 2] = 32767;
    uint32_t h = DefinePsgFile(path, r);
    OstrelPutChannelSamples(h, 0, 30, 0, 12, rows.data() + 1);
    OstrelPutChannelSamples(h, 0, 30, 1, 12, rows.data() + 2);
    OstrelCommitFrames(h, 30);
    EndPsgFile(h);

    // 1000 + 500 data bytes and the time keeping ("+99999999" 0x14 0x14 0x00).
    std::string file = ReadBytes(path);
    ASSERT_EQ(file.size(), 1024u + 30u * 1512u);
    EXPECT_EQ(SampleAt(file, 1024), -32767) << "-32768 is outside the digital range";
    EXPECT_EQ(SampleAt(file, 1024 + 1002), 32767);
    std::string second = file.substr(1024 + 1512, 1512);
    for (int j = 0; j < 500; ++j) ASSERT_EQ(SampleAt(second, 2 * j), Value((500 + j) * 2, 1)) << j;
    for (int j = 0; j < 250; ++j)
        ASSERT_EQ(SampleAt(second, 1000 + 2 * j), Value((250 + j) * 4, 2)) << j;
    EXPECT_EQ(second.substr(1500), std::string("+1\x14\x14\0\0\0\0\0\0\0\0", 12));
}

// A channel's samples one after the other (a stride of 2) are read eight at
// a time: the file is the one its rows give, clamped alike.
TEST(Records, AChannelOfItsOwnGivesTheFileOfItsRows) {
    ScratchFolder dir;
    // 100 samples a record: twelve groups of eight and four more.
    PsgRecording r = ProgramRecording();
    r.sampleRate = 100;
    r.channels = {{1, "A", "uV", 4, 100, 1, 1, 0, 0, 0}, {2, "B", "uV", 4, 50, 1, 1, 0, 0, 0}};
    std::vector<int16_t> rows = Rows(3000, 2);
    for (size_t at : {size_t{2}, size_t{2 * 99}, size_t{2 * 2999}, size_t{2 * 41 + 1}})
        rows[at] = -32768;
    std::vector<int16_t> own(3000);
    for (size_t i = 0; i < own.size(); ++i) own[i] = rows[2 * i];
    std::string files[2];
    for (int own_column : {0, 1}) {
        std::string path = dir.File(own_column ? "own.edf" : "rows.edf");
        uint32_t h = DefinePsgFile(path, r);
        OstrelPutChannelSamples(h, 0, 30, 0, own_column ? 2 : 4,
                                own_column ? own.data() : rows.data());
        OstrelPutChannelSamples(h, 0, 30, 1, 4, rows.data() + 1);
        OstrelCommitFrames(h, 30);
        EndPsgFile(h);
        files[own_column] = ReadBytes(path);
    }
    EXPECT_EQ(SampleAt(files[0], 1024 + 2), -32767);
    EXPECT_EQ(SampleAt(files[0], 1024 + 2 * 99), -32767);
    EXPECT_EQ(files[1], files[0]);
}

// A 250 Hz source with a channel of every 4th row (62.5 Hz, handed over
// as 62) or every 7th (35): records span as many frames as whole samples
// need, within the 30 s epoch. No onset-0 texts, so the annotation signal is
// the time keeping alone: "+<99999999 x record seconds>" 0x14 0x14 0x00,
// made even.
TEST(Records, UnevenRatesGetRecordsOfWholeSamples) {
    struct Case {
        int32_t frameSeconds, rate, recordSeconds, samplesA, samplesB, records, recordBytes;
    } cases[] = {
        {1, 62, 2, 500, 125, 15, 1000 + 250 + 14},  // 1 s would hold 62.5 samples
        {2, 62, 2, 500, 125, 15, 1000 + 250 + 14},
        {5, 62, 10, 2500, 625, 3, 5000 + 1250 + 14},
        {10, 62, 10, 2500, 625, 3, 5000 + 1250 + 14},
        {7, 35, 7, 1750, 250, 4, 3500 + 500 + 14},  // 28 s epochs hold 7 s steps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameSeconds);
        ScratchFolder dir;
        PsgRecording r = ProgramRecording();
        r.frameSeconds = c.frameSeconds;
        r.sampleRate = 250;
        r.fields.clear();
        r.comment.clear();
        r.channels = {{1, "A", "uV", 4, 250, 1, 1, 0, 0, 0},
                      {3, "B", "uV", 4, c.rate, 1, 1, 0, 0, 0}};
        std::string file = WriteProgramRun(dir.File("uneven.edf"), r, 1);
        size_t size = 1024u + static_cast<size_t>(c.records * c.recordBytes);
        ASSERT_EQ(file.size(), size);
        EXPECT_EQ(file.substr(236, 16),
                  Pad(std::to_string(c.records), 8) + Pad(std::to_string(c.recordSeconds), 8));
        EXPECT_EQ(
            SignalField(file, 3, kSamples, 0) + SignalField(file, 3, kSamples, 1) +
                SignalField(file, 3, kSamples, 2),
            Pad(std::to_string(c.samplesA), 8) + Pad(std::to_string(c.samplesB), 8) + Pad("7", 8));
        // The second record goes on where the first ended, in both channels.
        std::string second = file.substr(1024 + static_cast<size_t>(c.recordBytes),
                                         static_cast<size_t>(c.recordBytes));
        int32_t step = 250 / c.rate;
        for (int32_t j = 0; j < c.samplesA; ++j)
            ASSERT_EQ(SampleAt(second, 2 * static_cast<size_t>(j)), Value(c.samplesA + j, 0)) << j;
        for (int32_t j = 0; j < c.samplesB; ++j)
            ASSERT_EQ(SampleAt(second, 2 * static_cast<size_t>(c.samplesA + j)),
                      Value((c.samplesB + j) * step, 2))
                << j;
        EXPECT_EQ(Tals(second.substr(2 * static_cast<size_t>(c.samplesA + c.samplesB)))[0],
                  "+" + std::to_string(c.recordSeconds) + "\x14\x14");
    }
}

TEST(Annotations, OnsetZeroTextsAreUtf8InTheFirstRecords) {
    ScratchFolder dir;
    std::string file = WriteProgramRun(dir.File("run.edf"), ProgramRecording(), 1);
    // 40 bytes a record: the longest TAL (28) and the longest time keeping (12).
    EXPECT_EQ(file.substr(1024 + 600, 40),
              std::string("+0\x14\x14\0+0\x14Record comment: night 1\x14\0\0\0\0\0\0\0\0", 40));
    std::vector<std::string> expected = {
        "+0\x14Record comment: night 1\x14",
        "+0\x14Name: \xe5\xb1\xb1\xe7\x94\xb0\xe5\xa4\xaa\xe9\x83\x8e\x14",  // 山田太郎
        "+0\x14Name (kana): \xe3\x81\x8b\xe3\x81\xaa\x14",                   // かな
        "+0\x14"
        "Age: 25Y00M\x14",
        "+0\x14Height: 160.0 cm\x14",
        "+0\x14Weight: 60.000 kg\x14",
        "+0\x14Hospital: Sleep Center\x14",
        "+0\x14Technician: Sato\x14",
        "+0\x14"
        "Comment 1: first night\x14",
        "+0\x14Signal 2 label: \xe5\x91\xbc\xe5\x90\xb8\x14",  // 呼吸
    };
    EXPECT_EQ(OnsetTexts(file, 640, 30), expected);
}

// An annotation at a time goes into the next records' free room; one that
// no record could ever hold is refused, not queued.
TEST(Annotations, ATimedAnnotationFillsFreeRoomOrIsRefused) {
    ScratchFolder dir;
    const PsgRecording r = ProgramRecording();
    const uint32_t h = DefinePsgFile(dir.File("run.edf"), r);
    const int32_t rows = r.sampleRate * 30;
    HandEpoch(h, r, Rows(rows, 3, 0), 30);
    EXPECT_EQ(OstrelAddAnnotation(h, 31, 5000, "lines 7-9"), 1);
    EXPECT_EQ(OstrelAddAnnotation(h, 31, 0, std::string(40, 'x').c_str()), 0);
    EXPECT_EQ(OstrelAddAnnotation(h, 31, 1000000, "bad time"), 0);
    HandEpoch(h, r, Rows(rows, 3, rows), 30);
    EndPsgFile(h);
    const std::string file = ReadBytes(dir.File("run.edf"));
    EXPECT_EQ(Tals(file.substr(1024 + 640 * 30 + 600, 40)),
              (std::vector<std::string>{"+30\x14\x14", "+31.005\x14lines 7-9\x14"}));
}

// A/D channels without CAL or AD: the counts themselves, unitless, and a
// note saying so. The longest note (103 bytes) and the time keeping (12)
// give 116 annotation bytes a record.
TEST(Annotations, ChannelsWithoutCalOrAdKeepTheirCounts) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    r.fields.clear();
    r.comment.clear();
    r.channels[0].eu = 0;
    r.channels[1].vu = 0;
    std::string file = WriteProgramRun(dir.File("counts.edf"), r, 1);
    ASSERT_EQ(file.size(), 1024u + 30u * 716u);
    for (int k : {0, 1}) {
        EXPECT_EQ(SignalField(file, 3, kDimension, k), Pad("", 8));
        EXPECT_EQ(SignalField(file, 3, kPhysicalMin, k) + SignalField(file, 3, kPhysicalMax, k),
                  Pad("-32767", 8) + Pad("32767", 8));
    }
    EXPECT_EQ(SampleAt(file, 1024 + 716 + 2), Value(201, 0));
    std::vector<std::string> expected = {
        "+0\x14Signal 1 (EEG Fp1): physical values are the stored A/D counts because CAL is 0; "
        "unit as typed: uV\x14",
        "+0\x14Signal 2 label: \xe5\x91\xbc\xe5\x90\xb8\x14",  // 呼吸
        "+0\x14Signal 2 (Resp Ch3): physical values are the stored A/D counts because AD is 0; "
        "unit as typed: \xce\xbcV\x14",
    };
    EXPECT_EQ(OnsetTexts(file, 716, 30), expected);
}

TEST(Annotations, AFewLongRecordsShareTheTexts) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    r.frameSeconds = 10;
    std::string file = WriteProgramRun(dir.File("ten.edf"), r, 1);
    // Ten TALs (236 bytes) over three records: 86 bytes is the least room
    // that holds them in order; with 13 for the longest time keeping
    // ("+999999990") made even, 100. The records' own time keeping is
    // shorter, so they take 4, 4 and 2.
    EXPECT_EQ(SignalField(file, 3, kSamples, 2), Pad("50", 8));
    ASSERT_EQ(file.size(), 1024u + 3u * 6100u);
    std::vector<size_t> perRecord;
    for (int rec = 0; rec < 3; ++rec) {
        std::vector<std::string> tals = Tals(file.substr(1024 + rec * 6100 + 6000, 100));
        ASSERT_FALSE(tals.empty());
        EXPECT_EQ(tals[0], "+" + std::to_string(rec * 10) + "\x14\x14");
        perRecord.push_back(tals.size() - 1);
    }
    EXPECT_EQ(perRecord, (std::vector<size_t>{4, 4, 2}));
}

TEST(Annotations, ControlBytesCannotBreakATal) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    r.comment =
        "a\x14"
        "b\x15"
        "c\r\nd";
    r.fields = {{301, 128, "\x82\xa0\x14"}};  // あ and a TAL separator
    std::string file = WriteProgramRun(dir.File("ctl.edf"), r, 1);
    // The comment's TAL is now the longest, 29 bytes: 42-byte annotations.
    ASSERT_EQ(file.size(), 1024u + 30u * 642u);
    std::vector<std::string> texts = OnsetTexts(file, 642, 30);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "+0\x14Record comment: a b c  d\x14");
    EXPECT_EQ(texts[1],
              "+0\x14"
              "Comment 1: \xe3\x81\x82 \x14");
}

}  // namespace
