// Bytes the writers put in the file, compared with bytes worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "test_support.h"

namespace {

// A writer handle on a fresh file with the 36-byte "EEG FILING32" index.
struct Writer {
    Scratch scratch;
    KAVFHANDLE h = 0;
    Writer() {
        h = OpenKavfile(scratch.path.c_str(), 0x1002, 8192);
        CreateKavfIndexInfo(h, "KAVF", 40, 1, "EEG FILING32");
    }
    ~Writer() { CloseKavfile(h); }
    Bytes Close() {
        CloseKavfile(h);
        h = 0;
        return ReadAll(scratch.path);
    }
};

TEST(KavfLayout, IndexRecordForTheConverterNames) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    EXPECT_EQ(CreateKavfIndexInfo(h, "KAVF", 40, 1, "EEG FILING32"), 36u);
    CloseKavfile(h);
    const Bytes kavf = {'K', 'A', 'V', 'F',  0,   0,   0,   16,  0,   40,  0,   1,
                        0,   10,  0,   0x20, 0,   8,   0,   12,  'E', 'E', 'G', ' ',
                        'F', 'I', 'L', 'I',  'N', 'G', '3', '2', 0,   0,   0,   0};
    EXPECT_EQ(ReadAll(s.path), kavf);

    h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    EXPECT_EQ(CreateKavfIndexInfo(h, "KAVT", 1, 1, "EEG FILING"), 36u);
    CloseKavfile(h);
    const Bytes kavt = {'K', 'A', 'V', 'T',  0,   0,   0, 16, 0,   1,   0,   1,
                        0,   10,  0,   0x20, 0,   8,   0, 12, 'E', 'E', 'G', ' ',
                        'F', 'I', 'L', 'I',  'N', 'G', 0, 0,  0,   0,   0,   0};
    EXPECT_EQ(ReadAll(s.path), kavt);
}

TEST(KavfLayout, IndexNameEmptyOrLongerThan32Characters) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    EXPECT_EQ(CreateKavfIndexInfo(h, "KAVF", 3, 1, ""), 24u);
    EXPECT_EQ(CreateKavfGroupStart(h, 1, 0), 28u) << "the first group starts at 24";
    CloseKavfile(h);
    const Bytes empty = {'K', 'A',  'V', 'F', 0, 0, 0, 10, 0, 3, 0, 1, 0, 4,
                         0,   0x20, 0,   2,   0, 0, 0, 0,  0, 0, 0, 0, 0, 2};
    EXPECT_EQ(ReadAll(s.path), empty);

    h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    std::string name40(40, 'N');
    name40[31] = 'Z';
    EXPECT_EQ(CreateKavfIndexInfo(h, "KAVF", 1, 1, name40.c_str()), 56u);
    CloseKavfile(h);
    Bytes file = ReadAll(s.path);
    ASSERT_EQ(file.size(), 56u);
    EXPECT_EQ(At32(file, 4), 26u);   // L0 = 10 + 32 / 2
    EXPECT_EQ(At16(file, 12), 20u);  // sub-item
    EXPECT_EQ(At16(file, 16), 18u);  // text element
    EXPECT_EQ(At16(file, 18), 32u);
    EXPECT_EQ(file[51], 'Z');  // last character kept, no zero inside the field
    EXPECT_EQ(At32(file, 52), 0u);
}

TEST(KavfLayout, EmptyGroupIsLengthFourAndAZeroTerminator) {
    Writer w;
    EXPECT_EQ(CreateKavfGroupStart(w.h, 1, 0), 40u);
    EXPECT_EQ(CreateKavfGroupEnd(w.h, 1), 44u);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, 36, 8), (Bytes{0, 0, 0, 4, 0, 0, 0, 0}));
}

TEST(KavfLayout, TextListElementsKeepTheirWholeRoom) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfTextElement e[2] = {Element(4, "AB"), Element(3, "XYZW", 5)};
    e[0].text[3] = 'q';  // the room is copied as it is
    EXPECT_EQ(CreateKavfTextInfo(w.h, 0x0101, 2, e), 70u);
    EXPECT_EQ(CreateKavfGroupEnd(w.h, 1), 74u);
    Bytes file = w.Close();
    const Bytes expected = {0, 0, 0, 19,                                 // group
                            0, 0, 0, 15, 0,   0x80, 1, 1,   0, 0, 0, 2,  // item
                            0, 4, 0, 2,  'A', 'B',  0, 'q',              // room 4
                            0, 3, 0, 2,  'X', 'Y',                       // room 2
                            0, 0, 0, 0,                                  // end element
                            0, 0, 0, 0};                                 // terminator
    EXPECT_EQ(Slice(file, 36, 38), expected);
}

TEST(KavfLayout, WordArrayPadsOddCountsAndHonoursTheMode) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    const uint16_t native[3] = {0x0102, 0x0304, 0x0506};
    EXPECT_EQ(CreateKavfWordInfo(w.h, 1, 0x21, 3, native), 60u);
    EXPECT_EQ(CreateKavfWordInfo(w.h, 0, 0x22, 3, native), 80u);
    EXPECT_EQ(CreateKavfWordInfo(w.h, 2, 0x23, 3, native), 100u);
    EXPECT_EQ(CreateKavfWordInfo(w.h, 1, 0x24, 3, nullptr), 120u);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, 40, 20),
              (Bytes{0, 0, 0, 10, 0, 0x11, 0, 0x21, 0, 0, 0, 3, 1, 2, 3, 4, 5, 6, 0, 0}));
    // Mode 0: the caller's bytes unchanged (little-endian memory here).
    EXPECT_EQ(Slice(file, 72, 8), (Bytes{2, 1, 4, 3, 6, 5, 0, 0}));
    EXPECT_EQ(Slice(file, 92, 8), Bytes(8, 0)) << "unknown mode leaves the body zero";
    EXPECT_EQ(Slice(file, 112, 8), Bytes(8, 0)) << "no values leave the body zero";
}

TEST(KavfLayout, LongArraysTakeSixteenOrThirtyTwoBitCounts) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    const uint32_t values[2] = {0x01020304, 0xA0B0C0D0};
    EXPECT_EQ(CreateKavfLongInfo(w.h, 1, 0x31, 0x10002, values), 60u);
    EXPECT_EQ(CreateKavfLongInfoEx(w.h, 1, 0x32, 2, values), 80u);
    Bytes file = w.Close();
    const Bytes item = {0, 0, 0, 10, 0, 0x12, 0,    0x31, 0,    0,
                        0, 2, 1, 2,  3, 4,    0xA0, 0xB0, 0xC0, 0xD0};
    EXPECT_EQ(Slice(file, 40, 20), item) << "the 16-bit writer keeps the low half of the count";
    EXPECT_EQ(At16(file, 66), 0x32u);
    EXPECT_EQ(Slice(file, 72, 8), Slice(item, 12, 8));
}

TEST(KavfLayout, ImageBlockReservesTwiceTheRoundedSize) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    const uint8_t data[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(CreateKavfImageInfo(w.h, 999, 0x41, 5, data), 64u);
    EXPECT_EQ(CreateKavfImageInfo(w.h, 0, 0x42, 0, nullptr), 76u);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, 40, 24), (Bytes{0, 0, 0, 12, 0, 0x10, 0, 0x41, 0, 0, 0, 5,
                                          1, 2, 3, 4,  5, 0,    0, 0,    0, 0, 0, 0}));
    EXPECT_EQ(Slice(file, 64, 12), (Bytes{0, 0, 0, 6, 0, 0x10, 0, 0x42, 0, 0, 0, 0}));
}

TEST(KavfLayout, FlowWaveHeaderFramesAndEnd) {
    Writer w;
    ASSERT_EQ(CreateKavfGroupStart(w.h, 1, 0), 40u);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval = 1000;
    info.bits = 16;
    info.channels = 19;
    EXPECT_EQ(CreateKavfWaveInfo(w.h, 0xA0, &info), 72u);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAME_SIZE), 40u);
    std::vector<int16_t> frames(20 * 1000);
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i - 5);
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 1000, frames.data()), 1000);
    EXPECT_EQ(SetKavfWaveEnd(w.h), 40u + 2 * 40016u);
    Bytes file = w.Close();
    ASSERT_EQ(file.size(), 72u + 40000u);
    EXPECT_EQ(At32(file, 36), 2u) << "the converter's group stays open";
    const Bytes header = {0, 0,  0x9C, 0x50, 2, 2, 0, 0xA0, 0, 0, 0x03, 0xE8, 0, 0, 3, 0xE8,
                          0, 16, 0,    19,   0, 0, 0, 0,    0, 0, 0,    0,    0, 0, 0, 0};
    EXPECT_EQ(Slice(file, 40, 32), header);
    EXPECT_EQ(Slice(file, 72, 6), (Bytes{0xFF, 0xFB, 0xFF, 0xFC, 0xFF, 0xFD}));
    EXPECT_EQ(Slice(file, 72 + 40, 2), (Bytes{0, 15}));  // frame 1's event word
}

TEST(KavfLayout, EightBitFramesSwapOnlyTheEventWordAndPadOddChannels) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.bits = 8;
    info.channels = 3;
    CreateKavfWaveInfo(w.h, 1, &info);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAME_SIZE), 6u);
    const uint8_t frames[12] = {0x34, 0x12, 0x81, 0x02, 0x7F, 0, 0x01, 0x00, 0xFF, 0xFE, 0xFD, 0};
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 2, frames), 2);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, 72, 12),
              (Bytes{0x12, 0x34, 0x81, 0x02, 0x7F, 0, 0x00, 0x01, 0xFF, 0xFE, 0xFD, 0}));
}

TEST(KavfLayout, RevisionHistoryEntryCarriesBothValuesAndTheTime) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    const uint32_t zeros[66] = {};
    ASSERT_EQ(CreateKavfLongInfo(w.h, 1, KAVF_ID_REVISIONS, 66, zeros), 40u + 276u);
    CreateKavfGroupEnd(w.h, 1);
    uint32_t before = static_cast<uint32_t>(std::time(nullptr));
    EXPECT_EQ(UpdateKavfIndex(w.h, 0x1234, 0xABCD), 1u);
    EXPECT_EQ(UpdateKavfIndex(w.h, 0x10002, 0x3), 2u) << "only the low 16 bits of each value count";
    uint32_t after = static_cast<uint32_t>(std::time(nullptr));
    Bytes file = w.Close();
    EXPECT_EQ(At32(file, 40), 138u);
    EXPECT_EQ(At32(file, 52), 2u);
    EXPECT_EQ(At32(file, 56), 0x1234ABCDu);
    EXPECT_GE(At32(file, 60), before);
    EXPECT_LE(At32(file, 60), after);
    EXPECT_EQ(At32(file, 64), 0x00020003u);
    EXPECT_EQ(Slice(file, 72, 244), Bytes(244, 0));
}

TEST(KavfLayout, SweepHeaderAndRecordsBackToBack) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfSweepInfo info = {0x0301, 0, 3, 500, 16, 7, 8, 9, 0, 0};
    EXPECT_EQ(CreateKavfSweepWaveInfo(w.h, 9, &info), 72u);
    uint16_t header[16];
    for (uint16_t i = 0; i < 16; ++i) header[i] = static_cast<uint16_t>(i + 1);
    const int16_t first[3] = {-1, 2, 0x1234};
    const int16_t second[3] = {4, 5, 6};
    EXPECT_EQ(CreateKavfSweepWave(w.h, header, first), 110u);
    EXPECT_EQ(CreateKavfSweepWave(w.h, header, second), 148u);
    EXPECT_EQ(SetKavfSweepWaveEnd(w.h), 148u);
    EXPECT_EQ(CreateKavfGroupEnd(w.h, 1), 152u);
    Bytes file = w.Close();
    const Bytes expected = {0, 0,  0, 54, 3, 1, 0, 9, 0, 0, 0, 3, 0, 0, 1, 0xF4,
                            0, 16, 0, 7,  0, 2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Slice(file, 40, 32), expected);
    EXPECT_EQ(At16(file, 72), 1u);
    EXPECT_EQ(At16(file, 102), 16u);
    EXPECT_EQ(Slice(file, 104, 6), (Bytes{0xFF, 0xFF, 0, 2, 0x12, 0x34}));
    EXPECT_EQ(Slice(file, 142, 6), (Bytes{0, 4, 0, 5, 0, 6}));
    EXPECT_EQ(At32(file, 36), 2u + 54 + 2);
}

TEST(KavfLayout, SweepOfThirtyTwoBitSamplesEndsInThirtyTwoZeroBytes) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfSweepInfo info = {1, 0, 100, 0, 32, 0, 0, 0, 0, 0};
    CreateKavfSweepWaveInfo(w.h, 1, &info);
    std::vector<uint32_t> samples(100, 0x01020304);
    uint16_t header[16] = {};
    EXPECT_EQ(CreateKavfSweepWave(w.h, header, samples.data()), 72u + 2 * 232);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, 104, 4), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(Slice(file, 72 + 464 - 32, 32), Bytes(32, 0));
}

TEST(KavfLayout, SpectrumHeaderLineAndRecord) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfSpectrumInfo info = {KAVF_SPECTRUM, 0, 2, 0x11, 0x22, 1, 0x33, 99, 0, 0x44};
    EXPECT_EQ(CreateKavfSpectrumInfo(w.h, 5, &info), 72u);
    std::vector<uint8_t> lineBytes(KAVF_SPECTRUM_LINE_BYTES(1), 0);
    KavfSpectrumLine* line = reinterpret_cast<KavfSpectrumLine*>(lineBytes.data());
    line->words[0] = 0x0A0B;
    line->value = 0x01020304;
    line->ignored[0] = 0xEE;
    line->words32[31] = 0x0C0D;
    line->longs[31] = 0x05060708;
    uint16_t recordHeader[16] = {0x1111};
    std::memcpy(lineBytes.data() + sizeof(KavfSpectrumLine), recordHeader, sizeof recordHeader);
    EXPECT_EQ(CreateKavfSpectrumLine(w.h, line), 1u);
    const uint32_t values[1] = {0xCAFEBABE};
    EXPECT_EQ(CreateKavfSpectrumData(w.h, line, values, 1), 72u + 224 + 40);
    EXPECT_EQ(SetKavfSpectrumEnd(w.h), 40u + 2 * 148);
    Bytes file = w.Close();
    const Bytes header = {0, 0,    0, 148, 2, 7, 0, 5,    0, 0, 0, 2, 0, 0, 0, 0x11,
                          0, 0x22, 0, 1,   0, 0, 0, 0x33, 0, 0, 0, 1, 0, 0, 0, 0x44};
    EXPECT_EQ(Slice(file, 40, 32), header);
    EXPECT_EQ(Slice(file, 72, 2), (Bytes{0x0A, 0x0B}));
    EXPECT_EQ(Slice(file, 88, 16), (Bytes{1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Slice(file, 72 + 94, 2), (Bytes{0x0C, 0x0D}));
    EXPECT_EQ(Slice(file, 72 + 220, 4), (Bytes{5, 6, 7, 8}));
    EXPECT_EQ(Slice(file, 296, 2), (Bytes{0x11, 0x11}));
    EXPECT_EQ(Slice(file, 328, 8), (Bytes{0xCA, 0xFE, 0xBA, 0xBE, 0, 0, 0, 0}));
}

TEST(KavfLayout, TrendHeaderLineBlockAndEnd) {
    Writer w;
    CreateKavfGroupStart(w.h, 1, 0);
    KavfTrendInfo info = {KAVF_TREND, 10, 0, 1, 2, 96};
    EXPECT_EQ(CreateKavfTrendInfo(w.h, 6, &info), 72u);
    KavfTrendLineHeader header = {};
    header.words[0] = 0x0102;
    header.longs[11] = 0x03040506;
    KavfTrendChannel channels[2] = {};
    channels[1].words[0] = 0x0708;
    channels[1].longs[31] = 0x090A0B0C;
    EXPECT_EQ(CreateKavfTrendLine(w.h, &header, channels), 1u);
    KavfTrendRecord records[3] = {
        {1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14}, {0xFF, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(CreateKavfTrendData(w.h, records, 3), 72u + 448 + 40);
    EXPECT_EQ(SetKavfTrendEnd(w.h), 40u + 2 * 260);
    EXPECT_EQ(CreateKavfGroupEnd(w.h, 1), 72u + 448 + 40 + 8);
    Bytes file = w.Close();
    const Bytes head = {0, 0,  1, 4, 2, 9, 0, 6, 0, 0, 0, 2, 0, 0, 0, 96,
                        0, 10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Slice(file, 40, 32), head);
    EXPECT_EQ(Slice(file, 72, 2), (Bytes{1, 2}));
    EXPECT_EQ(Slice(file, 72 + 60, 4), (Bytes{3, 4, 5, 6}));
    EXPECT_EQ(Slice(file, 72 + 64 + 192, 2), (Bytes{7, 8}));
    EXPECT_EQ(Slice(file, 72 + 64 + 384 - 4, 4), (Bytes{9, 10, 11, 12}));
    const Bytes block = {0, 1, 0, 2, 0, 0, 0, 3,  0, 0, 0, 4,  0, 0, 0, 5,  0, 6,  0, 7,
                         0, 8, 0, 9, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 12, 0, 13, 0, 14};
    EXPECT_EQ(Slice(file, 520, 40), block);
    EXPECT_EQ(Slice(file, 560, 8), Bytes(8, 0)) << "item zero, then the group terminator";
    // The group covers the item, its zero and the terminator: 2 + 260 + 2 + 2.
    EXPECT_EQ(At32(file, 36), 266u);
}

}  // namespace
