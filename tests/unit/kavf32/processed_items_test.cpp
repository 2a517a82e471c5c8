// Sweep, spectrum and trend items written, closed and read back.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace {

struct OneGroup {
    Scratch scratch;
    KAVFHANDLE h = 0;
    OneGroup() {
        h = OpenKavfile(scratch.path.c_str(), 0x1002, 8192);
        CreateKavfIndexInfo(h, "KAVF", 1, 1, "MULTI REPORT");
        CreateKavfGroupStart(h, 1, 0);
    }
    ~OneGroup() { CloseKavfile(h); }
    KAVFHANDLE Reopen() {
        CreateKavfGroupEnd(h, 1);
        CloseKavfile(h);
        h = OpenChecked(scratch.path);
        return h;
    }
};

std::vector<uint8_t> SpectrumLine(uint16_t records, uint16_t seed) {
    std::vector<uint8_t> bytes(KAVF_SPECTRUM_LINE_BYTES(records), 0);
    KavfSpectrumLine* line = reinterpret_cast<KavfSpectrumLine*>(bytes.data());
    line->words[7] = seed;
    line->value = 0x10000u + seed;
    line->longs[0] = seed * 3u;
    for (uint16_t r = 0; r < records; ++r) {
        KavfSpectrumRecordHeader h = {};
        h.values[15] = static_cast<uint16_t>(seed * 10 + r);
        std::memcpy(bytes.data() + sizeof(KavfSpectrumLine) + r * sizeof h, &h, sizeof h);
    }
    return bytes;
}

TEST(KavfSpectrum, ThreeLinesOfTwoRecordsRoundTrip) {
    OneGroup g;
    KavfSpectrumInfo info = {KAVF_SPECTRUM, 0, 64, 1, 2, 2, 3, 0, 0, 4};
    ASSERT_EQ(CreateKavfSpectrumInfo(g.h, 7, &info), 72u);
    std::vector<uint32_t> values(64);
    for (uint16_t l = 0; l < 3; ++l) {
        std::vector<uint8_t> line = SpectrumLine(2, l);
        auto* header = reinterpret_cast<KavfSpectrumLine*>(line.data());
        EXPECT_EQ(CreateKavfSpectrumData(g.h, header, values.data(), 64), 0u)
            << "before line " << l << ": no line yet, or its R records written";
        EXPECT_EQ(CreateKavfSpectrumLine(g.h, header), l + 1u);
        for (uint32_t r = 0; r < 2; ++r) {
            for (uint32_t i = 0; i < 64; ++i) values[i] = l * 1000u + r * 100u + i;
            EXPECT_NE(
                CreateKavfSpectrumData(g.h, header, values.data(), r == 1 && l == 2 ? 10 : 64), 0u);
        }
    }
    EXPECT_EQ(SetKavfSpectrumEnd(g.h), 40u + 2 * 1216);
    Bytes file = ReadAll(g.scratch.path);
    EXPECT_EQ(At32(file, 40), 1216u);
    EXPECT_EQ(At32(file, 40 + 24), 3u);

    KAVFHANDLE h = g.Reopen();
    KavfSpectrumInfo back;
    ASSERT_EQ(ReadKavfSpectrumInfo(h, 1, 7, &back), 1u);
    EXPECT_EQ(back.lines, 3u);
    EXPECT_EQ(back.points, 64u);
    EXPECT_EQ(back.records, 2u);
    EXPECT_EQ(back.value30, 4u);
    std::vector<uint8_t> line(KAVF_SPECTRUM_LINE_BYTES(2));
    auto* read = reinterpret_cast<KavfSpectrumLine*>(line.data());
    ASSERT_EQ(ReadKavfSpectrumLine(h, 2, read), 1u);
    EXPECT_EQ(read->words[7], 2u);
    EXPECT_EQ(read->value, 0x10002u);
    EXPECT_EQ(read->longs[0], 6u);
    KavfSpectrumRecordHeader second;
    std::memcpy(&second, line.data() + sizeof(KavfSpectrumLine) + sizeof second, sizeof second);
    EXPECT_EQ(second.values[15], 21u);
    std::vector<uint32_t> out(64, 7);
    EXPECT_EQ(ReadKavfSpectrumData(h, 1, 0, out.data()), 64)
        << "line 1 though line 2 was read last";
    EXPECT_EQ(out[5], 1005u);
    EXPECT_EQ(ReadKavfSpectrumData(h, 2, 1, out.data()), 64);
    EXPECT_EQ(out[9], 2109u);
    EXPECT_EQ(out[10], 0u) << "missing values were written as zeros";
    EXPECT_EQ(ReadKavfSpectrumData(h, 2, 2, out.data()), 0) << "record = R";
    EXPECT_EQ(ReadKavfSpectrumData(h, 3, 0, out.data()), 0) << "line = line count";
}

TEST(KavfSpectrum, RecordsPerLineAreBoundedByR) {
    OneGroup g;
    KavfSpectrumInfo info = {KAVF_SPECTRUM, 0, 2, 0, 0, 1, 0, 0, 1, 0};
    CreateKavfSpectrumInfo(g.h, 7, &info);
    std::vector<uint8_t> line = SpectrumLine(1, 0);
    auto* header = reinterpret_cast<KavfSpectrumLine*>(line.data());
    const uint32_t values[2] = {0x01020304, 0x05060708};
    CreateKavfSpectrumLine(g.h, header);
    EXPECT_NE(CreateKavfSpectrumData(g.h, header, values, 2), 0u);
    EXPECT_EQ(CreateKavfSpectrumData(g.h, header, values, 2), 0u);
    SetKavfSpectrumEnd(g.h);
    Bytes file = ReadAll(g.scratch.path);
    EXPECT_EQ(Slice(file, 72 + 224 + 32, 4), (Bytes{4, 3, 2, 1})) << "raw flag: stored as given";
    KAVFHANDLE h = g.Reopen();
    KavfSpectrumInfo back;
    ReadKavfSpectrumInfo(h, 1, 7, &back);
    uint32_t out[2];
    EXPECT_EQ(ReadKavfSpectrumData(h, 0, 0, out), 2);
    EXPECT_EQ(out[1], 0x05060708u);
}

TEST(KavfTrend, LinesAndBlocksRoundTripWithPaddedChannelRecords) {
    OneGroup g;
    KavfTrendInfo info = {KAVF_TREND, 10, 0, 2, 3, 100};
    ASSERT_EQ(CreateKavfTrendInfo(g.h, 8, &info), 72u);
    KavfTrendRecord records[4];
    for (uint16_t line = 0; line < 2; ++line) {
        KavfTrendLineHeader header = {};
        header.longs[3] = 0xABC0u + line;
        KavfTrendChannel channels[3] = {};
        for (uint16_t c = 0; c < 3; ++c) channels[c].longs[31] = line * 10u + c;
        EXPECT_EQ(CreateKavfTrendData(g.h, records, 3), 0u)
            << "before line " << line << ": no line yet, or its B blocks written";
        ASSERT_EQ(CreateKavfTrendLine(g.h, &header, channels), 1u);
        for (uint16_t b = 0; b < 2; ++b) {
            for (uint16_t r = 0; r < 4; ++r)
                records[r] = {line, b, r, 0xFFFFFFFFu, 7, 8, static_cast<uint16_t>(9 + r)};
            EXPECT_NE(CreateKavfTrendData(g.h, records, 4), 0u) << "only P = 3 records are taken";
        }
        EXPECT_EQ(CreateKavfTrendData(g.h, records, 3), 0u) << "B blocks per line";
    }
    uint32_t lineBytes = 64 + 3 * 200 + 2 * 60;
    EXPECT_EQ(SetKavfTrendEnd(g.h), 40u + 32 + 2 * lineBytes);
    EXPECT_EQ(SetKavfTrendEnd(g.h), 0u) << "already ended";

    KAVFHANDLE h = g.Reopen();
    KavfTrendInfo back;
    ASSERT_EQ(ReadKavfTrendInfo(h, 1, 8, &back), 1u);
    EXPECT_EQ(back.q, 100u);
    EXPECT_EQ(back.blocks, 2u);
    KavfTrendRecord out[3];
    EXPECT_EQ(ReadKavfTrendData(h, 0, out), 0) << "no line read yet";
    KavfTrendLineHeader header;
    KavfTrendChannel channels[3];
    ASSERT_EQ(ReadKavfTrendLine(h, 1, &header, channels), 1u);
    EXPECT_EQ(header.longs[3], 0xABC1u);
    EXPECT_EQ(channels[2].longs[31], 12u);
    EXPECT_EQ(ReadKavfTrendData(h, 1, out), 3);
    EXPECT_EQ(out[2].a, 1u);
    EXPECT_EQ(out[2].b, 1u);
    EXPECT_EQ(out[2].c, 2u);
    EXPECT_EQ(out[2].d, 0xFFFFFFFFu);
    EXPECT_EQ(out[2].g, 11u);
    EXPECT_EQ(ReadKavfTrendData(h, 2, out), 0) << "block = B";
}

// Q words keep the first 2Q bytes of a channel record's 192: with Q = 95
// the last long keeps its high half, with Q = 0 only the blocks remain.
TEST(KavfTrend, ChannelRecordsOfAnyLengthKeepTheirFirstTwoQBytes) {
    for (uint32_t q : {96u, 95u, 0u}) {
        OneGroup g;
        KavfTrendInfo info = {KAVF_TREND, 10, 0, 1, 2, q};
        ASSERT_EQ(CreateKavfTrendInfo(g.h, 8, &info), 72u) << q;
        KavfTrendLineHeader header = {};
        header.words[0] = 0x0102;
        KavfTrendChannel channels[2] = {};
        for (KavfTrendChannel& c : channels) {
            c.words[0] = 0x0304;
            c.longs[30] = 0x05060708;
            c.longs[31] = 0x090A0B0C;
        }
        ASSERT_EQ(CreateKavfTrendLine(g.h, &header, channels), 1u) << q;
        KavfTrendRecord records[2] = {{1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14}};
        uint32_t lineBytes = 64 + 2 * 2 * q + 40;
        EXPECT_EQ(CreateKavfTrendData(g.h, records, 2), 72u + lineBytes) << q;
        EXPECT_EQ(SetKavfTrendEnd(g.h), 72u + lineBytes) << q;

        KAVFHANDLE h = g.Reopen();
        ASSERT_EQ(ReadKavfTrendInfo(h, 1, 8, &info), 1u) << q;
        ASSERT_EQ(ReadKavfTrendLine(h, 0, &header, channels), 1u) << q;
        EXPECT_EQ(header.words[0], 0x0102u);
        for (const KavfTrendChannel& c : channels) {
            EXPECT_EQ(c.words[0], q == 0 ? 0u : 0x0304u) << q;
            EXPECT_EQ(c.longs[30], q == 0 ? 0u : 0x05060708u) << q;
            EXPECT_EQ(c.longs[31], q == 96 ? 0x090A0B0Cu : q == 95 ? 0x090A0000u : 0u) << q;
        }
        KavfTrendRecord out[2];
        ASSERT_EQ(ReadKavfTrendData(h, 0, out), 2) << q;
        EXPECT_EQ(out[1].a, 8u) << q;
        EXPECT_EQ(out[1].g, 14u) << q;
    }
}

TEST(KavfSweep, SweepsAreReadOneAfterAnotherByTheirRecordLength) {
    OneGroup g;
    KavfSweepInfo info = {0x0301, 0, 4, 250, 16, 0, 0, 0, 0, 0};
    ASSERT_EQ(CreateKavfSweepWaveInfo(g.h, 3, &info), 72u);
    uint16_t header[16] = {};
    for (int16_t s = 0; s < 3; ++s) {
        header[0] = static_cast<uint16_t>(s);
        const int16_t samples[4] = {s, static_cast<int16_t>(-s), 1000, -1000};
        ASSERT_NE(CreateKavfSweepWave(g.h, header, samples), 0u);
    }
    EXPECT_EQ(SetKavfSweepWaveEnd(g.h), 72u + 3 * 40);
    KAVFHANDLE h = g.Reopen();
    uint32_t item = FindKavfIndexPtr(h, 1, 3);
    ASSERT_EQ(item, 40u);
    SetKavfInfo(h, KAVF_INFO_DATA_POSITION, item + 32);
    SetKavfInfo(h, KAVF_INFO_FRAMES, 4);
    SetKavfInfo(h, KAVF_INFO_BITS, 16);
    for (int16_t s = 0; s < 3; ++s) {
        uint16_t back[16];
        int16_t samples[4];
        ASSERT_EQ(ReadKavfSweepWave(h, back, samples), 40u) << s;
        EXPECT_EQ(back[0], static_cast<uint16_t>(s));
        EXPECT_EQ(samples[1], -s);
        EXPECT_EQ(samples[3], -1000);
        uint32_t words = GetKavfInfo(h, KAVF_INFO_POSITION);
        EXPECT_EQ(words, 20u);
        SetKavfInfo(h, KAVF_INFO_DATA_POSITION,
                    GetKavfInfo(h, KAVF_INFO_DATA_POSITION) + 2 * words);
    }
    uint16_t back[16];
    int16_t samples[4];
    EXPECT_EQ(ReadKavfSweepWave(h, back, samples), 0u) << "past the last sweep";
    SetKavfInfo(h, KAVF_INFO_BITS, 8);
    SetKavfInfo(h, KAVF_INFO_DATA_POSITION, item + 32);
    EXPECT_EQ(ReadKavfSweepWave(h, back, samples), 0u) << "no 8-bit sweeps";
}

// Values go to file order in batches: a sweep longer than a batch must
// come back whole, each sample big-endian in its place.
TEST(KavfSweep, ALongSweepIsStoredInFileOrderAcrossBatches) {
    OneGroup g;
    constexpr uint16_t kPoints = 600;
    KavfSweepInfo info = {0x0301, 0, kPoints, 250, 16, 0, 0, 0, 0, 0};
    ASSERT_EQ(CreateKavfSweepWaveInfo(g.h, 3, &info), 72u);
    const uint16_t header[16] = {};
    int16_t samples[kPoints];
    for (int i = 0; i < kPoints; ++i) samples[i] = static_cast<int16_t>(i * 97 - 20000);
    ASSERT_NE(CreateKavfSweepWave(g.h, header, samples), 0u);
    Bytes file = ReadAll(g.scratch.path);
    const uint16_t at256 = static_cast<uint16_t>(samples[256]);
    EXPECT_EQ(Slice(file, 72 + 32 + 2 * 256, 2), (Bytes{uint8_t(at256 >> 8), uint8_t(at256)}));
    SetKavfInfo(g.h, KAVF_INFO_DATA_POSITION, 72);
    SetKavfInfo(g.h, KAVF_INFO_FRAMES, kPoints);
    SetKavfInfo(g.h, KAVF_INFO_BITS, 16);
    uint16_t back[16];
    int16_t out[kPoints];
    ASSERT_GT(ReadKavfSweepWave(g.h, back, out), 0u);
    for (int i = 0; i < kPoints; ++i) ASSERT_EQ(out[i], samples[i]) << i;
}

TEST(KavfSweep, ThirtyTwoBitRawSamplesAreStoredAsGiven) {
    OneGroup g;
    KavfSweepInfo info = {1, 0, 2, 0, 32, 0, 0, 0, 1, 0};
    CreateKavfSweepWaveInfo(g.h, 3, &info);
    const uint16_t header[16] = {0x0102};
    const uint32_t samples[2] = {0x11223344, 0x55667788};
    EXPECT_EQ(CreateKavfSweepWave(g.h, header, samples), 72u + 2 * 36);
    Bytes file = ReadAll(g.scratch.path);
    EXPECT_EQ(Slice(file, 72, 2), (Bytes{1, 2})) << "the sweep header is always big-endian";
    EXPECT_EQ(Slice(file, 104, 4), (Bytes{0x44, 0x33, 0x22, 0x11}));
    uint16_t back[16];
    uint32_t out[2];
    SetKavfInfo(g.h, KAVF_INFO_DATA_POSITION, 72);
    EXPECT_EQ(ReadKavfSweepWave(g.h, back, out), 40u);
    EXPECT_EQ(out[1], 0x55667788u);
    EXPECT_EQ(GetKavfInfo(g.h, KAVF_INFO_POSITION), 36u);
}

}  // namespace
