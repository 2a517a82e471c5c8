// Readers on files laid out byte by byte in the tests.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace {

Bytes WaveHeader(uint16_t type, uint16_t id, uint32_t frames, uint16_t bits, uint16_t channels,
                 uint16_t extra20, uint16_t extra22) {
    Bytes b;
    Be32(b, 16);
    Be16(b, type);
    Be16(b, id);
    Be32(b, frames);
    Be32(b, 4000);
    Be16(b, bits);
    Be16(b, channels);
    Be16(b, extra20);
    Be16(b, extra22);
    Zeros(b, 8);
    return b;
}

// A group whose length field says 2, holding a wave and its frames.
Bytes OpenWaveGroup(const Bytes& header, const Bytes& frames) {
    Bytes g;
    Be32(g, 2);
    g.insert(g.end(), header.begin(), header.end());
    g.insert(g.end(), frames.begin(), frames.end());
    return g;
}

TEST(KavfReaders, CheckCountsGroupsUpToAZeroLength) {
    Scratch s;
    Bytes file = FileOf(40, {Group({}), Group({}), Group({})});
    Zeros(file, 4);
    WriteAll(s.path, file);
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 8192);
    char name[33] = "junk";
    EXPECT_EQ(CheckKavfile(h, "KAVF", name), 3u);
    EXPECT_STREQ(name, "EEG FILING32");
    EXPECT_EQ(GetKavfileType(h), KAVF_FILE_EEG32);
    KavfUnitTable table;
    EXPECT_EQ(GetKavfUnitInfo(h, 4, &table, 64), 0u) << "declared but absent group";
    CloseKavfile(h);
}

TEST(KavfReaders, WrongMagicLeavesNameAndGroupsEmpty) {
    Scratch s;
    WriteAll(s.path, FileOf(1, {Group({Item(KAVF_KIND_WORDS, 1, 2, Words({1, 2}))})}));
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 8192);
    char name[33] = "junk";
    EXPECT_EQ(CheckKavfile(h, "KAVF", name), 1u);
    EXPECT_EQ(CheckKavfile(h, "KAVT", name), KAVF_CHECK_WRONG_MAGIC);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(GetKavfileType(h), 0u);
    EXPECT_EQ(FindKavfIndexPtr(h, 1, 1), 0u) << "the group table of the earlier check is gone";
    CloseKavfile(h);
}

TEST(KavfReaders, FileTypeCodesCompareNamesExactly) {
    const struct {
        const char* name;
        uint32_t code;
    } cases[] = {{"SLEEP DATA", 1},      {"HOLTER RECORDER", 2}, {"EEG FILING24", 4},
                 {"EEG FILING32", 5},    {"EEG FILINGMONO", 6},  {"MERON DATA O21", 20},
                 {"MERON DATA S21", 40}, {"MERON DATA C21", 60}, {"MULTI REPORT", 100},
                 {"EEG FILING", 0},      {"eeg filing24", 0},    {"EEG FILING24 ", 0}};
    Scratch s;
    for (const auto& c : cases) {
        WriteAll(s.path, FileOf(1, {Group({})}, c.name));
        KAVFHANDLE h = OpenChecked(s.path);
        EXPECT_EQ(GetKavfileType(h), c.code) << c.name;
        CloseKavfile(h);
    }
}

TEST(KavfReaders, LookupTakesTheFirstOfTwoEqualIdsAndReachesAWaveBehindLengthTwo) {
    Scratch s;
    Bytes g1 = Group({Item(KAVF_KIND_WORDS, 5, 2, Words({1, 2})),
                      Item(KAVF_KIND_WORDS, 5, 2, Words({3, 4})),
                      Item(KAVF_KIND_LONGS, 6, 77, Words({0, 9}))});
    Bytes g2 = OpenWaveGroup(WaveHeader(KAVF_WAVE_EVENT, 0xA0, 0, 16, 2, 0, 0), {});
    WriteAll(s.path, FileOf(2, {g1, g2}));
    uint32_t groups = 0;
    KAVFHANDLE h = OpenChecked(s.path, &groups);
    ASSERT_EQ(groups, 2u);
    EXPECT_EQ(FindKavfIndexPtr(h, 1, 5), 40u);
    uint16_t values[2];
    EXPECT_EQ(ReadKavfWordData(h, values, 1, 5, 2), 2u);
    EXPECT_EQ(values[0], 1u);
    EXPECT_EQ(GetKavfDataNumber(h, 1, 6), 77u);
    EXPECT_EQ(FindKavfIndexPtr(h, 2, 0xA0), 36u + g1.size() + 4);
    EXPECT_EQ(FindKavfIndexPtr(h, 2, 0xA1), 0u) << "nothing past the wave";
    EXPECT_EQ(FindKavfIndexPtr(h, 0, 5), 0u);
    EXPECT_EQ(FindKavfIndexPtr(h, 3, 5), 0u);
    EXPECT_EQ(FindKavfIndexPtr(h, 0x10001, 5), 40u) << "group numbers are 16-bit";
    CloseKavfile(h);
}

TEST(KavfReaders, LookupNeverStepsPastTheGroupLength) {
    // The wave's frames happen to look like an item with id 7.
    Scratch s;
    Bytes lookalike = Item(KAVF_KIND_WORDS, 7, 2, Words({1, 2}));
    Bytes header = WaveHeader(KAVF_WAVE_PLAIN, 0xA0, 4, 16, 2, 0, 0);
    WriteAll(s.path, FileOf(1, {OpenWaveGroup(header, lookalike)}));
    KAVFHANDLE h = OpenChecked(s.path);
    EXPECT_NE(FindKavfIndexPtr(h, 1, 0xA0), 0u);
    EXPECT_EQ(FindKavfIndexPtr(h, 1, 7), 0u);
    CloseKavfile(h);
}

TEST(KavfReaders, TextListAsOneStringSkipsEmptyTexts) {
    Scratch s;
    WriteAll(s.path, FileOf(1, {Group({TextList(3, {"A", "", "BC"})})}));
    KAVFHANDLE h = OpenChecked(s.path);
    char text[64];
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, sizeof text), 2u);
    EXPECT_STREQ(text, "A|BC|");
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 2, sizeof text), 1u) << "two elements, one text";
    EXPECT_STREQ(text, "A|");
    EXPECT_EQ(ReadKavfTextData(h, text, 0, 3, 0, sizeof text), 0u);
    CloseKavfile(h);
}

TEST(KavfReaders, TextStringNeverExceedsTheBudget) {
    Scratch s;
    WriteAll(s.path, FileOf(1, {Group({TextList(3, {"ABCD", "EF"})})}));
    KAVFHANDLE h = OpenChecked(s.path);
    char text[16];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, 4), 1u);
    EXPECT_STREQ(text, "AB|");
    EXPECT_EQ(text[4], '#');
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, 7), 1u) << "no room for a character of EF";
    EXPECT_STREQ(text, "ABCD|");
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, 8), 2u);
    EXPECT_STREQ(text, "ABCD|E|");
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, 1), 0u);
    EXPECT_STREQ(text, "");
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, 0), 0u);
    EXPECT_STREQ(text, "") << "budget 0: no characters, but the zero";
    EXPECT_EQ(text[1], '#');
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 9, 0, 4), 0u);
    EXPECT_STREQ(text, "") << "a missing item still leaves a string";
    CloseKavfile(h);
}

TEST(KavfReaders, TextElementsStopAtAZeroLengthAndShareTheBudget) {
    Scratch s;
    Bytes list = TextList(4, {"HELLO", "", "WORLD"});
    list[11] = 5;  // the count claims five elements; the zero element ends it at three
    WriteAll(s.path, FileOf(1, {Group({list})}));
    KAVFHANDLE h = OpenChecked(s.path);
    KavfTextElement e[5];
    std::memset(e, 0x5A, sizeof e);
    EXPECT_EQ(GetKavfTextInfo(h, e, 1, 4, 0, 100), 3u);
    EXPECT_EQ(e[0].words, 10u);
    EXPECT_EQ(e[0].length, 5u);
    EXPECT_STREQ(e[0].text, "HELLO");
    EXPECT_STREQ(e[1].text, "");
    EXPECT_EQ(e[1].length, 0x5A5Au) << "an empty text keeps the caller's length";
    EXPECT_STREQ(e[2].text, "WORLD");
    EXPECT_EQ(e[3].words, 0x5A5Au);
    // Budget 9: at most 7 characters in all, then reading ends.
    EXPECT_EQ(GetKavfTextInfo(h, e, 1, 4, 0, 9), 3u);
    EXPECT_STREQ(e[0].text, "HELLO");
    EXPECT_STREQ(e[2].text, "WO");
    EXPECT_EQ(GetKavfTextInfo(h, e, 1, 4, 0, 6), 1u);
    EXPECT_STREQ(e[0].text, "HELL");
    CloseKavfile(h);
}

TEST(KavfReaders, WordLongAndImageReadersStayInsideTheItem) {
    Scratch s;
    Bytes image = {1, 2, 3, 4, 5};
    Zeros(image, 7);
    WriteAll(s.path,
             FileOf(1, {Group({Item(KAVF_KIND_WORDS, 1, 3, Words({0x0102, 0x0304, 0x0506, 0})),
                               Item(KAVF_KIND_LONGS, 2, 3, Words({1, 2, 3, 4, 0xFFFF, 0xFFFE})),
                               Item(KAVF_KIND_BLOCK, 3, 5, image)})}));
    KAVFHANDLE h = OpenChecked(s.path);
    uint16_t words[8];
    std::memset(words, 0xEE, sizeof words);
    EXPECT_EQ(ReadKavfWordData(h, words, 1, 1, 0), 4u) << "the pad word is delivered too";
    EXPECT_EQ(words[0], 0x0102u);
    EXPECT_EQ(words[3], 0u);
    EXPECT_EQ(words[4], 0xEEEEu);
    EXPECT_EQ(ReadKavfWordData(h, words, 1, 1, 2), 2u);
    uint32_t longs[8];
    std::memset(longs, 0xEE, sizeof longs);
    EXPECT_EQ(ReadKavfLongData(h, longs, 1, 2, 0), 3u) << "bounded by the stored count";
    EXPECT_EQ(longs[0], 0x00010002u);
    EXPECT_EQ(longs[2], 0xFFFFFFFEu);
    EXPECT_EQ(longs[3], 0xEEEEEEEEu);
    EXPECT_EQ(ReadKavfLongDataEx(h, longs, 1, 2, 100), 3u);
    EXPECT_EQ(ReadKavfLongData(h, longs, 1, 2, 2), 2u);
    uint8_t bytes[32];
    EXPECT_EQ(ReadKavfImageData(h, bytes, 1, 3, 100), 12u);
    EXPECT_EQ(Bytes(bytes, bytes + 12), image);
    EXPECT_EQ(ReadKavfImageData(h, bytes, 1, 3, 3), 3u);
    EXPECT_EQ(ReadKavfWordData(h, words, 0, 1, 0), 0u);
    EXPECT_EQ(ReadKavfWordData(h, words, 1, 9, 0), 0u);
    CloseKavfile(h);
}

TEST(KavfReaders, WaveDescriptionAndSingleFrames) {
    Scratch s;
    Bytes frames = Words({7, 0xFFFF, 2, 0, 0x8000, 0x7FFF});
    Bytes wave = OpenWaveGroup(WaveHeader(KAVF_WAVE_EVENT, 0xA0, 2, 16, 2, 0x33, 0x44), frames);
    WriteAll(s.path, FileOf(1, {wave}));
    KAVFHANDLE h = OpenChecked(s.path);
    KavfWaveInfo info;
    std::memset(&info, 0x77, sizeof info);
    EXPECT_EQ(ReadKavfWaveInfo(h, 1, 0xA0, &info), KAVF_WAVE_EVENT);
    EXPECT_EQ(info.frames, 2u);
    EXPECT_EQ(info.interval, 4000u);
    EXPECT_EQ(info.bits, 16u);
    EXPECT_EQ(info.channels, 2u);
    EXPECT_EQ(info.extraC, 0x33u);
    EXPECT_EQ(info.extraA, 0u);
    EXPECT_EQ(info.extraB, 0u);
    EXPECT_EQ(info.reserved[15], 0u);
    EXPECT_EQ(info.unused, 0x7777u) << "outside the record callers may have allocated";
    EXPECT_EQ(GetKavfInfo(h, KAVF_INFO_FRAME_SIZE), 6u);
    EXPECT_EQ(GetKavfInfo(h, KAVF_INFO_DATA_POSITION), 36u + 4 + 32);
    uint16_t event = 9;
    int16_t samples[2];
    EXPECT_EQ(ReadKavfWaveData(h, 1, 0xA0, 1, &event, samples), 2u);
    EXPECT_EQ(event, 0u);
    EXPECT_EQ(samples[0], -32768);
    EXPECT_EQ(samples[1], 32767);
    CloseKavfile(h);
}

TEST(KavfReaders, PlainAndEightBitWavesAndTheTwoExtraValueTypes) {
    Scratch s;
    Bytes plain =
        OpenWaveGroup(WaveHeader(KAVF_WAVE_PLAIN, 1, 1, 8, 3, 0, 0), {0x80, 0x7F, 0x01, 0});
    Bytes extra = OpenWaveGroup(WaveHeader(KAVF_WAVE_EXTRA_0205, 2, 0, 16, 4, 0x1111, 0x2222), {});
    WriteAll(s.path, FileOf(1, {plain}));
    KAVFHANDLE h = OpenChecked(s.path);
    uint16_t event = 9;
    int16_t samples[3];
    EXPECT_EQ(ReadKavfWaveData(h, 1, 1, 0, &event, samples), 3u);
    EXPECT_EQ(event, 0u);
    EXPECT_EQ(samples[0], -128);
    EXPECT_EQ(samples[1], 127);
    EXPECT_EQ(samples[2], 1);
    CloseKavfile(h);

    WriteAll(s.path, FileOf(2, {Group({}), extra}));
    h = OpenChecked(s.path);
    KavfWaveInfo info;
    EXPECT_EQ(ReadKavfWaveInfo(h, 2, 2, &info), KAVF_WAVE_EXTRA_0205);
    EXPECT_EQ(info.extraA, 0x1111u);
    EXPECT_EQ(info.extraB, 0x2222u);
    EXPECT_EQ(info.extraC, 0u);
    uint8_t buffer[64];
    EXPECT_LT(ReadKavfFlowWave(h, 0, 0, 1, buffer), 0) << "no frame layout for this type";
    EXPECT_LT(WriteKavfFlowWave(h, 0, 0, 1, buffer), 0);
    EXPECT_EQ(UpdateKavfFlowWave(h), -1);
    CloseKavfile(h);
}

TEST(KavfReaders, UnitListingStopsAfterIdOneSixtyAndAtSixtyFourEntries) {
    Scratch s;
    Bytes one = Words({1, 2});
    Bytes g1 = Group({Item(KAVF_KIND_WORDS, 1, 2, one), Item(KAVF_KIND_LONGS, 2, 1, one),
                      Item(0x0202, 160, 50, one), Item(KAVF_KIND_WORDS, 4, 2, one)});
    std::vector<Bytes> many;
    for (uint16_t i = 0; i < 70; ++i) many.push_back(Item(KAVF_KIND_WORDS, i, 2, one));
    WriteAll(s.path, FileOf(2, {g1, Group(many)}));
    KAVFHANDLE h = OpenChecked(s.path);
    KavfUnitTable table;
    std::memset(&table, 0xDB, sizeof table);
    EXPECT_EQ(GetKavfUnitInfo(h, 1, &table, 64), 3u);
    EXPECT_EQ(table.length[0], 8u);
    EXPECT_EQ(table.kind[1], KAVF_KIND_LONGS);
    EXPECT_EQ(table.id[2], 160u);
    EXPECT_EQ(table.kind[2], 0x0202u);
    EXPECT_EQ(table.count[1], 1u);
    EXPECT_EQ(table.count[2], 0xDBDBDBDBu);
    EXPECT_EQ(GetKavfUnitInfo(h, 1, &table, 2), 2u);
    EXPECT_EQ(GetKavfUnitInfo(h, 2, &table, 1000), 64u);
    EXPECT_EQ(table.id[63], 63u);
    EXPECT_EQ(GetKavfUnitInfo(h, 0, &table, 64), 0u);
    CloseKavfile(h);
}

}  // namespace
