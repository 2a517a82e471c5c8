// In-place updates of items in an existing file.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace {

// Group 1: revision history, text list, word array, long array, two image
// blocks; group 2: a wave header. Item offsets are fixed by the layout.
constexpr size_t kHistory = 40;
constexpr size_t kTexts = kHistory + 276;
constexpr size_t kWords = kTexts + 12 + 2 * 20 + 4;
constexpr size_t kLongs = kWords + 20;
constexpr size_t kOddImage = kLongs + 20;
constexpr size_t kEvenImage = kOddImage + 24;
constexpr size_t kGroup2 = kEvenImage + 20 + 4;

Bytes EditableFile() {
    Bytes image5 = {1, 2, 3, 4, 5};
    Zeros(image5, 7);
    Bytes image4 = {1, 2, 3, 4};
    Zeros(image4, 4);
    Bytes g1 =
        Group({Item(KAVF_KIND_LONGS, KAVF_ID_REVISIONS, 66, Bytes(264, 0)),
               TextList(2, {"OLDTEXT", "B"}), Item(KAVF_KIND_WORDS, 3, 4, Words({1, 2, 3, 4})),
               Item(KAVF_KIND_LONGS, 4, 2, Words({0, 1, 0, 2})),
               Item(KAVF_KIND_BLOCK, 5, 5, image5), Item(KAVF_KIND_BLOCK, 6, 4, image4)});
    Bytes g2;
    Be32(g2, 2);
    Be32(g2, 16);
    Be16(g2, KAVF_WAVE_EVENT);
    Be16(g2, 0xA0);
    Zeros(g2, 24);
    return FileOf(2, {g1, g2});
}

struct Editable {
    Scratch scratch;
    KAVFHANDLE h = 0;
    Editable() {
        WriteAll(scratch.path, EditableFile());
        h = OpenKavfile(scratch.path.c_str(), KAVF_OPEN_READWRITE, 8192);
        char name[33];
        CheckKavfile(h, "KAVF", name);
    }
    ~Editable() { CloseKavfile(h); }
    Bytes File() const { return ReadAll(scratch.path); }
};

TEST(KavfUpdaters, LayoutOfTheTestFileIsWhatTheOffsetsSay) {
    Editable e;
    EXPECT_EQ(FindKavfIndexPtr(e.h, 1, KAVF_ID_REVISIONS), kHistory);
    EXPECT_EQ(FindKavfIndexPtr(e.h, 1, 2), kTexts);
    EXPECT_EQ(FindKavfIndexPtr(e.h, 1, 3), kWords);
    EXPECT_EQ(FindKavfIndexPtr(e.h, 1, 6), kEvenImage);
    EXPECT_EQ(FindKavfIndexPtr(e.h, 2, 0xA0), kGroup2 + 4);
}

TEST(KavfUpdaters, RevisionHistoryTakesThirtyTwoEntries) {
    Editable e;
    for (uint32_t n = 1; n <= 32; ++n) ASSERT_EQ(UpdateKavfIndex(e.h, n, n), n);
    Bytes full = e.File();
    EXPECT_EQ(UpdateKavfIndex(e.h, 99, 99), 0u);
    EXPECT_EQ(e.File(), full);
    EXPECT_EQ(At32(full, kHistory + 12), 32u);
    EXPECT_EQ(At32(full, kHistory + 12 + 4 * 63), 0x00200020u);
    EXPECT_EQ(At32(full, kHistory + 12 + 4 * 65), 0u) << "the last long stays zero";
}

TEST(KavfUpdaters, TextElementIsRewrittenInsideItsRoom) {
    Editable e;
    EXPECT_EQ(UpdateKavfTextInfo(e.h, 1, 2, 2, 1, "Z"), 0u) << "element equal to the count";
    EXPECT_EQ(UpdateKavfTextInfo(e.h, 1, 3, 0, 1, "Z"), 0u) << "not a text list";
    EXPECT_EQ(UpdateKavfTextInfo(e.h, 1, 2, 0, 3, "NEW"), 1u);
    EXPECT_EQ(UpdateKavfTextInfo(e.h, 1, 2, 1, 40, "0123456789ABCDEFGHIJ"), 1u);
    Bytes file = e.File();
    EXPECT_EQ(Slice(file, kTexts + 12, 20),
              (Bytes{0, 10, 0, 3, 'N', 'E', 'W', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(At16(file, kTexts + 32 + 2), 16u) << "the room's size";
    char text[64];
    EXPECT_EQ(ReadKavfTextData(e.h, text, 1, 2, 0, sizeof text), 2u);
    EXPECT_STREQ(text, "NEW|0123456789ABCDEF|");
}

TEST(KavfUpdaters, WordAndLongRangesMustLieInsideTheArray) {
    Editable e;
    const uint16_t words[3] = {0xA1A2, 0xB1B2, 0xC1C2};
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 1, 1, 3, 2, 3, words), 0u);
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 2, 1, 3, 0, 1, words), 0u) << "unknown mode";
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 1, 1, 3, 0, 1, nullptr), 0u);
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 1, 1, 4, 0, 1, words), 0u) << "a long array";
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 1, 1, 3, 1, 3, words), 3u);
    EXPECT_EQ(UpdateKavfWordInfo(e.h, 0, 1, 3, 0, 1, words), 1u);
    const uint32_t longs[1] = {0x11223344};
    EXPECT_EQ(UpdateKavfLongInfo(e.h, 1, 1, 4, 1, 1, longs), 1u);
    EXPECT_EQ(UpdateKavfLongInfo(e.h, 1, 1, 4, 2, 1, longs), 0u);
    Bytes file = e.File();
    EXPECT_EQ(Slice(file, kWords + 12, 8), (Bytes{0xA2, 0xA1, 0xA1, 0xA2, 0xB1, 0xB2, 0xC1, 0xC2}));
    EXPECT_EQ(Slice(file, kLongs + 12, 8), (Bytes{0, 0, 0, 1, 0x11, 0x22, 0x33, 0x44}));
}

TEST(KavfUpdaters, ImageBytesTakeOneMoreThanTheLengthButStayInTheBlock) {
    Editable e;
    const uint8_t data[16] = {0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7,
                              0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF};
    EXPECT_EQ(UpdateKavfImageInfo(e.h, 1, 5, 2, 3, data), 4u);
    EXPECT_EQ(UpdateKavfImageInfo(e.h, 1, 5, 8, 10, data), 3u) << "clipped at twice the byte count";
    EXPECT_EQ(UpdateKavfImageInfo(e.h, 1, 6, 6, 10, data), 2u) << "clipped at the end of the body";
    EXPECT_EQ(UpdateKavfImageInfo(e.h, 1, 6, 20, 1, data), 0u);
    EXPECT_EQ(UpdateKavfImageInfo(e.h, 1, 6, 0, 1, nullptr), 0u);
    Bytes file = e.File();
    EXPECT_EQ(Slice(file, kOddImage + 12, 12),
              (Bytes{1, 2, 0xD0, 0xD1, 0xD2, 0xD3, 0, 0, 0xD0, 0xD1, 0xD2, 0}));
    EXPECT_EQ(Slice(file, kEvenImage + 12, 8), (Bytes{1, 2, 3, 4, 0, 0, 0xD0, 0xD1}));
    EXPECT_EQ(At32(file, kEvenImage + 20), 0u) << "the group terminator is untouched";
}

TEST(KavfUpdaters, WaveDescriptionRewritesGroupAndItemLengths) {
    Editable e;
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.frames = 1000;
    info.interval = 5000;
    info.bits = 16;
    info.channels = 19;
    info.extraA = 0x0102;
    EXPECT_EQ(UpdateKavfWaveInfo(e.h, 1, 3, &info), 0u) << "not the first item of its group";
    info.type = 0x0205;
    EXPECT_EQ(UpdateKavfWaveInfo(e.h, 2, 0xA0, &info), 0u) << "no frame size for this type";
    info.type = KAVF_WAVE_EVENT;
    EXPECT_EQ(UpdateKavfWaveInfo(e.h, 2, 0xA0, &info), 1u);
    EXPECT_EQ(GetKavfInfo(e.h, KAVF_INFO_TYPE), KAVF_WAVE_EVENT);
    Bytes file = e.File();
    Bytes expected;
    Be32(expected, 40020);
    Be32(expected, 40016);
    Be16(expected, 0x0202);
    Be16(expected, 0xA0);
    Be32(expected, 1000);
    Be32(expected, 5000);
    Be16(expected, 16);
    Be16(expected, 19);
    Be16(expected, 0x0102);
    Zeros(expected, 10);
    EXPECT_EQ(Slice(file, kGroup2, 36), expected);
}

}  // namespace
