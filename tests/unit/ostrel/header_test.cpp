// The EDF+ header against hand-computed bytes, and the rules behind fields.
#include <gtest/gtest.h>

#include "edf_bytes.h"
#include "ostrel.h"
#include "psg_run.h"

namespace {

std::string WriteRun(const std::string& path, const PsgRecording& r, int32_t epochs) {
    uint32_t h = DefinePsgFile(path, r);
    EXPECT_NE(h, 0u);
    int32_t rows = r.sampleRate * 30;
    for (int32_t e = 0; e < epochs; ++e)
        HandEpoch(h, r, Rows(rows, r.sourceColumns, e * rows), 30 / r.frameSeconds);
    EXPECT_EQ(EndPsgFile(h), 0u);
    return ReadBytes(path);
}

// A header-only file of one channel; ns = 2, so 768 bytes.
std::string OneChannel(const PsgChannel& channel, int32_t mainsHz = 0) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    r.channels = {channel};
    r.mainsHz = mainsHz;
    std::string file = WriteRun(dir.File("one.edf"), r, 0);
    EXPECT_EQ(file.size(), 768u);
    return file;
}

TEST(Header, ProgramRunFieldByField) {
    ScratchFolder dir;
    std::string file = WriteRun(dir.File("run.edf"), ProgramRecording(), 2);
    std::string main = Pad("0", 8) + Pad("000-0001 M 02-JAN-1950 X", 80) +
                       Pad("Startdate 05-APR-2023 X Sato X", 80) + "05.04.23" + "06.07.08" +
                       Pad("1024", 8) + Pad("EDF+C", 44) + Pad("60", 8) + Pad("1", 8) + Pad("3", 4);
    std::string signals =
        Pad("EEG Fp1", 16) + Pad("Resp Ch3", 16) + Pad("EDF Annotations", 16) +
        Pad("Source channel 1, sensitivity 50.0", 80) +
        Pad("Source channel 3, sensitivity 10.0", 80) + Pad("", 80) + Pad("uV", 8) + Pad("uV", 8) +
        Pad("", 8) + "-4005.75" + Pad("-3276.7", 8) + Pad("-1", 8) +  // 32767 x 50/409, x 100/1000
        Pad("4005.75", 8) + Pad("3276.7", 8) + Pad("1", 8) + Pad("-32767", 8) + Pad("-32767", 8) +
        Pad("-32768", 8) + Pad("32767", 8) + Pad("32767", 8) + Pad("32767", 8) +
        Pad("HP:0.3Hz LP:120Hz N:50Hz", 80) + Pad("N:50Hz", 80) + Pad("", 80) + Pad("200", 8) +
        Pad("100", 8) + Pad("20", 8) + std::string(96, ' ');
    EXPECT_EQ(file.substr(0, 256), main);
    EXPECT_EQ(file.substr(256, 768), signals);
    EXPECT_EQ(file.size(), 1024u + 60u * 640u);  // 2 x 300 samples + 40 annotation bytes
}

// The count on disk follows every epoch, so a recording killed between two
// epochs opens with all it holds; the end writes it once more.
TEST(Header, RecordCountFollowsEveryEpochAndTheEnd) {
    ScratchFolder dir;
    std::string path = dir.File("run.edf");
    PsgRecording r = ProgramRecording();
    uint32_t h = DefinePsgFile(path, r);
    EXPECT_EQ(ReadBytes(path).size(), 0u) << "the header waits for the first epoch";
    HandEpoch(h, r, Rows(6000, 3), 30);
    EXPECT_EQ(ReadBytes(path).substr(236, 8), Pad("30", 8));
    HandEpoch(h, r, Rows(6000, 3), 30);
    EXPECT_EQ(ReadBytes(path).substr(236, 8), Pad("60", 8));
    EXPECT_EQ(ReadBytes(path).size(), 1024u + 60u * 640u);
    EXPECT_EQ(OstrelRelease(h), 0u) << "release alone finishes the file";
    EXPECT_EQ(ReadBytes(path).substr(236, 8), Pad("60", 8));

    // No epoch at all: the header alone, its annotation signal sized for
    // all ten onset-0 TALs (236 bytes) and the time keeping (12) in one record.
    std::string empty = dir.File("empty.edf");
    OstrelRelease(DefinePsgFile(empty, r));
    std::string file = ReadBytes(empty);
    EXPECT_EQ(file.size(), 1024u);
    EXPECT_EQ(file.substr(236, 8), Pad("0", 8));
    EXPECT_EQ(SignalField(file, 3, kSamples, 2), Pad("124", 8));
}

TEST(Header, PatientAndRecordingFields) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    r.fields = {{11, 20, "AB 12"},
                {13, 32, "Taro Yamada"},
                {22, 10, "1950.02.30  "},
                {21, 4, "F"},
                {106, 32, "Dr Sato"}};
    std::string file = WriteRun(dir.File("a.edf"), r, 0);
    EXPECT_EQ(file.substr(8, 160),
              Pad("AB_12 F X Taro_Yamada", 80) + Pad("Startdate 05-APR-2023 X Dr_Sato X", 80));
    r.fields = {{22, 10, "2000.02.29"}, {21, 4, "0"}, {106, 32, "\x8d\xb2\x93\xa1"}};  // 佐藤
    file = WriteRun(dir.File("b.edf"), r, 0);
    EXPECT_EQ(file.substr(8, 160),
              Pad("X X 29-FEB-2000 X", 80) + Pad("Startdate 05-APR-2023 X X X", 80));
}

TEST(Header, StartDateClippingAndInvalidStarts) {
    struct Case {
        int32_t start[6];
        const char* dateAndTime;
        const char* startdate;
    } cases[] = {
        {{1985, 1, 1, 0, 0, 0}, "01.01.8500.00.00", "01-JAN-1985"},
        {{2084, 12, 31, 23, 59, 59}, "31.12.8423.59.59", "31-DEC-2084"},
        {{2085, 6, 30, 12, 0, 0}, "30.06.yy12.00.00", "30-JUN-2085"},
        {{1984, 6, 30, 12, 0, 0}, "30.06.yy12.00.00", "30-JUN-1984"},
        {{2023, 2, 29, 1, 2, 3}, "01.01.8501.02.03", "X"},
        {{2023, 4, 5, 24, 0, 0}, "05.04.2300.00.00", "05-APR-2023"},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        PsgRecording r = ProgramRecording();
        std::copy(c.start, c.start + 6, r.start);
        std::string file = WriteRun(dir.File("d.edf"), r, 0);
        EXPECT_EQ(file.substr(168, 16), c.dateAndTime);
        EXPECT_EQ(file.substr(88, 80),
                  Pad(std::string("Startdate ") + c.startdate + " X Sato X", 80));
    }
}

TEST(Header, PhysicalRangeFitsEightCharacters) {
    struct Case {
        int32_t eu, vu;
        const char* max;
    } cases[] = {
        {1, 1, "32767"},        {1, 3, "10922.3"},   {5, 2, "81917.5"},
        {3, 100000, "0.98301"}, {300, 1, "9830100"},  // the largest that fits
    };
    for (const Case& c : cases) {
        std::string file = OneChannel({1, "C3", "uV", 4, 200, c.eu, c.vu, 0, 0, 0});
        EXPECT_EQ(SignalField(file, 2, kPhysicalMin, 0), Pad(std::string("-") + c.max, 8));
        EXPECT_EQ(SignalField(file, 2, kPhysicalMax, 0), Pad(c.max, 8));
    }
    // Inverted polarity keeps its sign: physical = digital x EU / VU.
    std::string file = OneChannel({1, "C3", "uV", 4, 200, 50, -409, 0, 0, 0});
    EXPECT_EQ(SignalField(file, 2, kPhysicalMin, 0) + SignalField(file, 2, kPhysicalMax, 0),
              Pad("4005.75", 8) + "-4005.75");
}

TEST(Header, LabelsUnitsFiltersAndTransducer) {
    struct Case {
        PsgChannel channel;
        int32_t mains;
        const char* label;
        const char* unit;
        const char* prefiltering;
        const char* transducer;
    } cases[] = {
        {{2, "C3", "uV", 4, 200, 1, 1, 30, 0, 0},
         60,
         "EEG C3",
         "uV",
         "HP:0.03Hz N:60Hz",
         "Source channel 2"},
        {{2, "eeg C3", "uV", 4, 200, 1, 1, 1500, 35, 7000},
         0,
         "eeg C3",
         "uV",
         "HP:1.5Hz LP:35Hz",
         "Source channel 2, sensitivity 7.0"},
        {{0, "", "\x81\x8e", 18, 200, 1, 1, 10000, 0, 0}, 0, "Temp Ch1", "degC", "HP:10Hz", ""},
        {{4, "Chin", "mV", 21, 200, 1, 1, 0, 0, 0}, 0, "Chin", "mV", "", "Source channel 4"},
        {{5, "LongerLabelText", "%", 11, 200, 1, 1, 0, 0, 0},
         0,
         "SaO2 LongerLabel",
         "%",
         "",
         "Source channel 5"},
        {{6, "x", "\x82\x6c\x82\x75", 0, 200, 1, 1, 0, 0, 0},
         0,
         "Misc x",
         "",
         "",  // ＭＶ
         "Source channel 6"},
    };
    for (const Case& c : cases) {
        std::string file = OneChannel(c.channel, c.mains);
        EXPECT_EQ(SignalField(file, 2, kLabel, 0), Pad(c.label, 16));
        EXPECT_EQ(SignalField(file, 2, kDimension, 0), Pad(c.unit, 8)) << c.label;
        EXPECT_EQ(SignalField(file, 2, kPrefiltering, 0), Pad(c.prefiltering, 80)) << c.label;
        EXPECT_EQ(SignalField(file, 2, kTransducer, 0), Pad(c.transducer, 80)) << c.label;
    }

    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    PsgChannel fp1 = r.channels[0];
    r.channels = {fp1, fp1, fp1};
    r.channels[2].label = "EEG Fp1-2";  // the name a repeat would get
    std::string file = WriteRun(dir.File("dup.edf"), r, 0);
    EXPECT_EQ(file.substr(256, 48),
              Pad("EEG Fp1", 16) + Pad("EEG Fp1-2", 16) + Pad("EEG Fp1-2-2", 16));
}

TEST(Header, LongFramesAreSplitIntoRecommendedRecords) {
    ScratchFolder dir;
    PsgRecording r = ProgramRecording();
    // 12000 bytes a second: a 10 s frame becomes two 5 s records of 60000
    // bytes (10 s would pass 61440) and 14 bytes of time keeping
    // ("+499999995" 0x14 0x14 0x00, made even).
    r.frameSeconds = 10;
    r.sampleRate = 2000;
    r.fields.clear();
    r.comment.clear();
    r.channels = {{1, "A", "uV", 4, 2000, 1, 1, 0, 0, 0},
                  {2, "B", "uV", 4, 2000, 1, 1, 0, 0, 0},
                  {3, "C", "uV", 4, 2000, 1, 1, 0, 0, 0}};
    std::string file = WriteRun(dir.File("long.edf"), r, 1);
    EXPECT_EQ(file.substr(236, 20), Pad("6", 8) + Pad("5", 8) + Pad("4", 4));
    EXPECT_EQ(SignalField(file, 4, kSamples, 0) + SignalField(file, 4, kSamples, 3),
              Pad("10000", 8) + Pad("7", 8));
    EXPECT_EQ(file.size(), 1280u + 6u * (60000u + 14u));
}

}  // namespace
