// The header of an EEG output file, read back through the library and, for
// the index, the first items and the wave description, as raw bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "eeg/eeg_header.h"
#include "eeg/eeg_run.h"
#include "eeg_test_support.h"

namespace {

using Words = std::vector<uint16_t>;

void SetText(char* field, size_t size, const char* text) {
    std::memset(field, 0, size);
    std::memcpy(field, text, std::strlen(text));
}
#define SET_TEXT(field, text) SetText(field, sizeof field, text)

// 19 channels at 500 Hz with varied rows; three data lines.
RecordPtr SampleRecord(const Scratch& scratch) {
    WriteBytes(scratch.File("src.csv"), NumberLines(3, 19, 100));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 19, 500);
    record->EEGFileNo = 12;
    record->NotchFreq = 2;
    record->RecordYear = 2005;
    record->RecordMonth = 3;
    record->RecordDay = 4;
    record->RecordHour = 13;
    record->RecordMinute = 14;
    record->RecordSecond = 15;
    PatientInfo& p = record->PatientInfo;
    SET_TEXT(p.VolumeModel, "4710");
    SET_TEXT(p.DiskId, "VOL-0001");
    SET_TEXT(p.PatientId, "000-0123");
    SET_TEXT(p.Sex, "M");
    SET_TEXT(p.Name1, "Yamada");
    SET_TEXT(p.Department, "Neuro");
    SET_TEXT(p.Comment1, "first");
    SET_TEXT(p.Comment5, "fifth");
    MontagePattern& m = record->PatternSlots[0];
    m.Ref = 3;
    m.ACCLff = 4;
    m.ACCHff = 3;
    m.Notch = 1;
    m.Rapid = 1;
    EegMontageRow* r = m.EegRows;
    r[0] = EegMontageRow{1, 3, 19, 4, 6, 2, 1, 5, 1, 7, 15, 0, 0, "Fp1"};
    SET_TEXT(r[1].label, "ABCDEFGHIJ");
    r[2].SOURCE = 7;
    r[3].SOURCE = 0;
    r[4].SOURCE = 14;
    r[5].SOURCE = 2, r[5].SENS = 0, r[5].CAL = 14;
    r[6].SENS = 3, r[6].CAL = 2;
    r[7].SENS = 21, r[7].CAL = 0;
    return record;
}

TEST(EegHeader, ItemsOfAFiling32File) {
    Scratch scratch;
    RecordPtr record = SampleRecord(scratch);
    const std::string out = scratch.File("88000012.DAT");
    ASSERT_NE(ConvertAll(record.get(), out) & kEegFinishWaveClosed, 0u);

    OpenFile file(out);
    EXPECT_EQ(file.groups, 40u);
    EXPECT_STREQ(file.typeName, "EEG FILING32");
    EXPECT_EQ(file.ItemIds(1), (Words{0x80, 0xB7, 0x81, 0x82, 0x83, 0x84, 0xAC, 0xB6}));
    EXPECT_EQ(file.ItemIds(2), (Words{0x86, 0x87, 0x88, 0x89, 0xB3}));
    EXPECT_EQ(file.ItemIds(3), (Words{0x8A, 0x91, 0x92, 0x93, 0x94}));
    for (uint32_t group : {4u, 21u, 39u})
        EXPECT_EQ(file.ItemIds(group), (Words{0x8B, 0x8D, 0xB0, 0x8E, 0x8F})) << group;
    EXPECT_EQ(file.ItemIds(40), (Words{0xA0}));

    EXPECT_EQ(file.Texts(1, 0x80),
              (std::vector<std::string>{"1900",     "500",      "16",       "4710",  " 05/03/04",
                                        "88000012", "VOL-0001", "000-0123", "M",     "Yamada",
                                        "",         "",         "",         "Neuro", "",
                                        "first",    "",         "",         "",      "fifth"}));
    EXPECT_EQ(file.Words(1, 0xB7), Words(6564, 0));
    EXPECT_EQ(file.Words(1, 0x83), Words(5120, 0));
    EXPECT_EQ(file.Texts(1, 0xAC), std::vector<std::string>(20, std::string(40, ' ')));
    EXPECT_EQ(file.Longs(1, 0xB6, 66), std::vector<uint32_t>(66, 0));
    EXPECT_EQ(file.Words(2, 0x86), (Words{2005, 2, 4, 13, 14, 15}));
    EXPECT_EQ(file.Words(2, 0x87), (Words{2005, 2, 4, 13, 14, 15}));
    EXPECT_EQ(file.Longs(2, 0x88, 32), std::vector<uint32_t>(32, 0));
    std::vector<std::string> events;
    for (int k = 1; k <= 20; ++k) events.push_back("Event" + std::to_string(k));
    EXPECT_EQ(file.Texts(2, 0x89), events);
    EXPECT_EQ(file.Texts(2, 0xB3), events);
    EXPECT_EQ(file.Words(3, 0x8A), (Words{36, 0}));
    EXPECT_EQ(file.Words(3, 0x91), (Words{1}));
    EXPECT_EQ(file.Words(3, 0x92), (Words{3}));
    EXPECT_EQ(file.Words(3, 0x93), (Words{1, 1}));  // notch on, 60 Hz mains
    EXPECT_EQ(file.Words(3, 0x94), (Words{0, 0, 0, 0}));

    // 32 traces although the source has 19 channels.
    Words calibration = file.Words(4, 0x8B);
    ASSERT_EQ(calibration.size(), 4u * 33);
    const uint16_t m6 = 0xFFFA;  // -6: microvolts
    EXPECT_EQ(Words(calibration.begin(), calibration.begin() + 36),
              (Words{50,    409,    0, m6,     // pattern-wide: 50 uV at 10 uV/mm
                     50,    409,    0, m6,     // row 0: its own 10 uV and 50 uV
                     50,    409,    0, m6,     // row 1 follows the pattern
                     100,   409,    0, m6,     // recording input
                     1,     1,      0, 0,      // unused
                     1,     1,      0, 0,      // mark kind
                     50000, 0x8000, 0, m6,     // 50000 * 4096 / 50 kept to 16 bits
                     5,     122,    0, m6,     // 5 * 4096 / (3.333 * 50)
                     50,    409,    0, m6}));  // no sensitivity or calibration: the pattern's
    EXPECT_EQ(Words(calibration.end() - 4, calibration.end()), (Words{1, 1, 0, 0}));
    Words amplifier = file.Words(4, 0x8D);
    ASSERT_EQ(amplifier.size(), 6u * 33);
    EXPECT_EQ(Words(amplifier.begin(), amplifier.begin() + 36),
              (Words{0, 5,  6,  4, 3, 1, 1, 5,  6,  2, 1, 0, 1, 20, 20, 0, 0, 0,
                     2, 20, 20, 0, 0, 0, 0, 20, 20, 0, 0, 0, 1, 20, 20, 0, 0, 0}));
    Words electrodes = file.Words(4, 0xB0);
    ASSERT_EQ(electrodes.size(), 8u * 32);
    EXPECT_EQ(Words(electrodes.begin(), electrodes.begin() + 8), (Words{1, 3, 19, 4, 1, 7, 15, 0}));
    std::vector<std::string> labels = file.Texts(39, 0x8E);
    ASSERT_EQ(labels.size(), 32u);
    EXPECT_EQ(labels[0], "Fp1");
    EXPECT_EQ(labels[1], "ABCDEFGH");
    EXPECT_EQ(file.Texts(39, 0x8F), std::vector<std::string>(32, ""));

    KavfWaveInfo info;
    ASSERT_EQ(ReadKavfWaveInfo(file.handle, 40, 0xA0, &info), KAVF_WAVE_EVENT);
    EXPECT_EQ(info.interval, 2000u);
    EXPECT_EQ(info.bits, 16u);
    EXPECT_EQ(info.channels, 19u);
    EXPECT_EQ(info.frames, 3u);
}

TEST(EegHeader, RawBytesOfIndexFirstItemAndWave) {
    Scratch scratch;
    RecordPtr record = SampleRecord(scratch);
    const std::string out = scratch.File("raw.dat");
    ASSERT_NE(ConvertAll(record.get(), out), 0u);
    const std::string bytes = ReadBytes(out);

    const std::string index(
        "KAVF\0\0\0\x10\0\x28\0\x01\0\x0A\0\x20\0\x08\0\x0C"
        "EEG FILING32\0\0\0\0",
        36);
    EXPECT_EQ(bytes.substr(0, 36), index);
    EXPECT_EQ(Be32At(bytes, 36), 27844u) << "group 1: 2 + 180 + 6570 + 4 x 5126 + 448 + 138 + 2";
    const std::string item80(
        "\0\0\0\xB4\0\x80\0\x80\0\0\0\x14"
        "\0\x04\0\x04"
        "1900"
        "\0\x04\0\x03"
        "500\0"
        "\0\x04\0\x02"
        "16\0\0"
        "\0\x04\0\x04"
        "4710"
        "\0\x08\0\x09"
        " 05/03/04\0\0\0"
        "\0\x06\0\x08"
        "88000012",
        12 + 8 + 8 + 8 + 8 + 16 + 12);
    EXPECT_EQ(bytes.substr(40, item80.size()), item80);

    // Three frames of 40 bytes end the file; the wave header stands before them.
    const size_t frame0 = bytes.size() - 3 * 40;
    EXPECT_EQ(Be32At(bytes, frame0 - 36), 2u) << "the wave group stays open";
    const std::string wave(
        "\0\0\0\x88\x02\x02\0\xA0\0\0\0\x03\0\0\x07\xD0\0\x10\0\x13\0\0"
        "\0\0\0\0\0\0\0\0\0\0",
        32);
    EXPECT_EQ(bytes.substr(frame0 - 32, 32), wave);
    // Frame 1: event 0x1001, then line 1's values 101, 102, ... big-endian.
    EXPECT_EQ(bytes.substr(frame0 + 40, 6), std::string("\x10\x01\0\x65\0\x66", 6));
}

TEST(EegHeader, Filing24HasNoElectrodeTable) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(5, 4));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 4, 200);
    record->CopyFileType = 3;
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    OpenFile file(scratch.File("out.dat"));
    EXPECT_STREQ(file.typeName, "EEG FILING24");
    EXPECT_EQ(file.ItemIds(4), (Words{0x8B, 0x8D, 0x8E, 0x8F}));
    EXPECT_EQ(file.ItemIds(39), (Words{0x8B, 0x8D, 0x8E, 0x8F}));
    Wave wave = ReadWave(scratch.File("out.dat"));
    ASSERT_EQ(wave.frames, 5u);
    for (uint32_t k = 0; k < 5; ++k) EXPECT_EQ(wave.Event(k), 0u) << "no event words in 24";
}

TEST(EegHeader, FortyChannelsCarryFortyTraces) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(2, 40));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 40, 200);
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    OpenFile file(scratch.File("out.dat"));
    EXPECT_EQ(file.Words(10, 0x8B).size(), 164u);
    EXPECT_EQ(file.Words(10, 0x8D).size(), 246u);
    EXPECT_EQ(file.Words(10, 0xB0).size(), 320u);
    EXPECT_EQ(file.Texts(10, 0x8E).size(), 40u);
    EXPECT_EQ(file.Texts(10, 0x8F).size(), 40u);
    EXPECT_EQ(file.Texts(1, 0x80)[0], "4000");
}

TEST(EegHeader, DatesNotchCodesAndMissingSensitivity) {
    struct Case {
        int year, month, day;
        int32_t notch;
        const char* dateText;
        uint16_t mains;
    };
    const Case cases[] = {{1999, 12, 31, 0, " 99/12/31", 0},
                          {2005, 3, 4, 1, " 05/03/04", 0},
                          {2000, 1, 1, 7, " 00/01/01", 0}};
    for (const Case& c : cases) {
        Scratch scratch;
        WriteBytes(scratch.File("src.csv"), NumberLines(1, 2));
        RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 200);
        record->RecordYear = c.year;
        record->RecordMonth = c.month;
        record->RecordDay = c.day;
        record->NotchFreq = c.notch;
        // No sensitivity anywhere: the calibration entries get no sample value.
        record->PatternSlots[0].ACCSens = AccIndex;
        ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
        OpenFile file(scratch.File("out.dat"));
        EXPECT_EQ(file.Texts(1, 0x80)[4], c.dateText);
        EXPECT_EQ(file.Words(2, 0x86)[0], c.year);
        EXPECT_EQ(file.Words(2, 0x86)[1], c.month - 1);
        EXPECT_EQ(file.Words(3, 0x93)[1], c.mains) << c.notch;
        Words calibration = file.Words(4, 0x8B);
        EXPECT_EQ(Words(calibration.begin(), calibration.begin() + 8),
                  (Words{50, 0, 0, 0xFFFA, 50, 0, 0, 0xFFFA}));
    }
}

TEST(EegHeader, TextsAreCutBetweenCharacters) {
    Scratch scratch;
    WriteBytes(scratch.File("src.csv"), NumberLines(1, 2));
    RecordPtr record = EegRecord(scratch.File("src.csv"), 2, 200);
    // ABC, then three double-byte characters: only two fit 8 bytes.
    SET_TEXT(record->PatternSlots[0].EegRows[0].label, "ABC\x82\xA0\x82\xA2\x82\xA4");
    // Eleven double-byte characters: ten fit the 20-byte room.
    SET_TEXT(record->PatientInfo.Name1,
             "X\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0"
             "\x82\xA0\x82\xA0\x82\xA0");
    ASSERT_NE(ConvertAll(record.get(), scratch.File("out.dat")), 0u);
    OpenFile file(scratch.File("out.dat"));
    EXPECT_EQ(file.Texts(4, 0x8E)[0], "ABC\x82\xA0\x82\xA2");
    std::string name = file.Texts(1, 0x80)[9];
    EXPECT_EQ(name.size(), 19u);
    EXPECT_EQ(name.substr(17), "\x82\xA0");
}

TEST(EegHeader, ReferencePathBesideTheDataFile) {
    char out[300];
    ASSERT_TRUE(MakeEegReferencePath("/v/DAT/88000012.DAT", out, sizeof out));
    EXPECT_STREQ(out, "/v/DAT/88000012.REF");
    ASSERT_TRUE(MakeEegReferencePath("/v/rec.2/take", out, sizeof out));
    EXPECT_STREQ(out, "/v/rec.2/take.REF") << "a folder's dot is not the extension";
    ASSERT_TRUE(MakeEegReferencePath("/v/.wave", out, sizeof out));
    EXPECT_STREQ(out, "/v/.wave.REF");
    ASSERT_TRUE(MakeEegReferencePath("/v/x.ref", out, sizeof out));
    EXPECT_STREQ(out, "/v/x.ref.REF") << "never the data file itself";
    EXPECT_FALSE(MakeEegReferencePath("/v/long.DAT", out, 10));
}

TEST(EegHeader, WaveFrameLimitFromTheFormatsLengths) {
    EXPECT_EQ(EegWaveFrameLimit(1000, 2), 2147483147u);   // (2^32 - 1 - 1000) / 2
    EXPECT_EQ(EegWaveFrameLimit(125000, 514), 8355724u);  // (2^32 - 1 - 125000) / 514
    EXPECT_EQ(EegWaveFrameLimit(0, 1), 0x7FFFFFFFu) << "frame numbers are signed 32-bit";
}

}  // namespace
