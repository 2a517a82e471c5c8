// Frames written, read, edited and closed through the flow wave operations.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace {

constexpr uint16_t kChannels = 2;
constexpr uint32_t kFrameBytes = 2 + 2 * kChannels;

// A file with one empty header group and a 2-channel 16-bit wave in group 2.
struct WaveFile {
    Scratch scratch;
    KAVFHANDLE h = 0;
    explicit WaveFile(uint16_t type = KAVF_WAVE_EVENT, uint16_t bits = 16,
                      uint16_t channels = kChannels) {
        h = OpenKavfile(scratch.path.c_str(), 0x1002, 8192);
        CreateKavfIndexInfo(h, "KAVF", 2, 1, "EEG FILING24");
        CreateKavfGroupStart(h, 1, 0);
        CreateKavfGroupEnd(h, 1);
        CreateKavfGroupStart(h, 2, 0);
        KavfWaveInfo info;
        std::memset(&info, 0, sizeof info);
        info.type = type;
        info.bits = bits;
        info.channels = channels;
        info.interval = 2000;
        CreateKavfWaveInfo(h, 0xA0, &info);
    }
    ~WaveFile() { CloseKavfile(h); }
    // Frames k = 0..n-1 in native order: event k + 1, samples 100k + c.
    static std::vector<int16_t> Frames(int n) {
        std::vector<int16_t> f;
        for (int k = 0; k < n; ++k) {
            f.push_back(static_cast<int16_t>(k + 1));
            for (int c = 0; c < kChannels; ++c) f.push_back(static_cast<int16_t>(100 * k + c));
        }
        return f;
    }
    Bytes Close() {
        CloseKavfile(h);
        h = 0;
        return ReadAll(scratch.path);
    }
};

constexpr size_t kGroup2 = 44;  // index 36, empty group 1
constexpr size_t kWaveItem = kGroup2 + 4;
constexpr size_t kFrame0 = kWaveItem + 32;

// A caller's block set with two ring buffers of `ring` frames.
struct BlockSet {
    uint8_t bytes[48 + 2 * 12] = {};
    std::vector<uint8_t> buffers[2];
    BlockSet(uint16_t type, uint32_t ring, uint32_t frameBytes) {
        std::memcpy(bytes + KAVF_BLOCKSET_WAVE_TYPE, &type, 2);
        uint16_t stride = static_cast<uint16_t>(frameBytes);
        std::memcpy(bytes + KAVF_BLOCKSET_STRIDE, &stride, 2);
        std::memcpy(bytes + KAVF_BLOCKSET_RING, &ring, 4);
        for (int i = 0; i < 2; ++i) {
            buffers[i].assign(size_t{ring} * frameBytes, 0xEE);
            void* p = buffers[i].data();
            std::memcpy(bytes + KAVF_BLOCKSET_BUFFERS + 12 * i, &p, sizeof p);
        }
    }
    uint16_t Mode() const {
        uint16_t m;
        std::memcpy(&m, bytes + KAVF_BLOCKSET_MODE, 2);
        return m;
    }
    int16_t Word(int buffer, uint32_t slot, uint32_t word) const {
        int16_t v;
        std::memcpy(&v, buffers[buffer].data() + slot * kFrameBytes + 2 * word, 2);
        return v;
    }
};

TEST(KavfFlowWave, RoundTripWithConversionAndCountsThatFollowTheLastWrite) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(10);
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 10, frames.data()), 10);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAMES), 10u);
    std::vector<int16_t> back(30, -1);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, -5, 10, back.data()), 10) << "a negative start reads from 0";
    EXPECT_EQ(back, frames);
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 2, 3, frames.data()), 5) << "rewriting lowers the count";
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAMES), 5u);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_POSITION), 5u);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 5, 1, back.data()), 0) << "start at the count";
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 0, frames.data()), 0);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAMES), 0u);
}

TEST(KavfFlowWave, NullFramesTouchNothing) {
    WaveFile w;
    size_t before = ReadAll(w.scratch.path).size();
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 4, nullptr), -1);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 0, 4, nullptr), -1);
    EXPECT_EQ(ReadAll(w.scratch.path).size(), before);
}

TEST(KavfFlowWave, FramesPastTheRecordedCountReadAsZero) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(20);
    WriteKavfFlowWave(w.h, 1, 0, 20, frames.data());
    WriteKavfFlowWave(w.h, 1, 0, 12, frames.data());  // 8 frames stay in the file beyond the count
    std::vector<int16_t> back(30, -1);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 9, 10, back.data()), 19);
    EXPECT_EQ(back[0], 10);
    EXPECT_EQ(back[8], 1100 + 1);
    for (size_t i = 9; i < back.size(); ++i) EXPECT_EQ(back[i], 0) << i;
}

TEST(KavfFlowWave, WithoutConversionTheCallerHandsFileOrder) {
    WaveFile w;
    const uint8_t fileOrder[6] = {0x12, 0x34, 0xFF, 0xFE, 0x00, 0x01};
    EXPECT_EQ(WriteKavfFlowWave(w.h, 0, 0, 1, fileOrder), 1);
    uint8_t back[6];
    EXPECT_EQ(ReadKavfFlowWave(w.h, 0, 0, 1, back), 1);
    EXPECT_EQ(Bytes(back, back + 6), Bytes(fileOrder, fileOrder + 6));
    int16_t native[3];
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 0, 1, native), 1);
    EXPECT_EQ(native[0], 0x1234);
    EXPECT_EQ(native[1], -2);
    EXPECT_EQ(native[2], 1);
}

TEST(KavfFlowWave, EightBitFramesConvertOnlyTheEventWordBothWays) {
    WaveFile w(KAVF_WAVE_EVENT, 8, 3);
    const uint8_t frame[6] = {0x02, 0x01, 0x80, 0x7F, 0x05, 0x00};
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 1, frame), 1);
    uint8_t back[6];
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 0, 1, back), 1);
    EXPECT_EQ(Bytes(back, back + 6), Bytes(frame, frame + 6));
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, kFrame0, 6), (Bytes{0x01, 0x02, 0x80, 0x7F, 0x05, 0x00}));
}

// Long converted writes go out in several pieces whose ends fall inside
// frames; each byte must still land in its place, swapped as its frame has it.
TEST(KavfFlowWave, LongConvertedWritesKeepEveryByteInPlace) {
    constexpr int kFrames = 40000;  // 240,000 bytes of 6-byte frames
    constexpr int kStart = 7;
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(kFrames);
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, kStart, kFrames, frames.data()), kStart + kFrames);
    std::vector<int16_t> back(frames.size(), -1);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, kStart, kFrames, back.data()), kStart + kFrames);
    EXPECT_EQ(back, frames);
    const Bytes wide = w.Close();  // every word high byte first
    ASSERT_GE(wide.size(), kFrame0 + kFrameBytes * (kStart + kFrames));
    for (size_t i = 0; i < frames.size(); ++i) {
        const size_t at = kFrame0 + kFrameBytes * kStart + 2 * i;
        const auto word = static_cast<uint16_t>(frames[i]);
        ASSERT_EQ(Slice(wide, at, 2),
                  (Bytes{static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)}))
            << "word " << i;
    }

    WaveFile narrow(KAVF_WAVE_EVENT, 8, 3);  // 6-byte frames: the event word alone swaps
    constexpr size_t kNarrowFrames = 30011;
    std::vector<uint8_t> bytes(6 * kNarrowFrames);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 6);
    EXPECT_EQ(WriteKavfFlowWave(narrow.h, 1, 0, kNarrowFrames, bytes.data()), kNarrowFrames);
    Bytes file = narrow.Close();
    ASSERT_GE(file.size(), kFrame0 + bytes.size());
    for (size_t k = 0; k < bytes.size(); k += 6) {
        Bytes want(bytes.begin() + k, bytes.begin() + k + 6);
        std::swap(want[0], want[1]);
        ASSERT_EQ(Slice(file, kFrame0 + k, 6), want) << "frame " << k / 6;
    }
}

TEST(KavfFlowWave, EventEditsOnlyWavesWithAnEventWord) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(3);
    WriteKavfFlowWave(w.h, 1, 0, 3, frames.data());
    EXPECT_EQ(ChangeKavfFlowEvent(w.h, 0x10ABC, 2), 0);
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, kFrame0 + 2 * kFrameBytes, 4), (Bytes{0x0A, 0xBC, 0, 200}));

    WaveFile plain(KAVF_WAVE_PLAIN);
    WriteKavfFlowWave(plain.h, 1, 0, 1, frames.data());
    EXPECT_EQ(ChangeKavfFlowEvent(plain.h, 1, 0), -2);
}

TEST(KavfFlowWave, EndUpdateAndClearWriteTheLengthFields) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(1000);
    WriteKavfFlowWave(w.h, 1, 0, 1000, frames.data());
    EXPECT_EQ(SetKavfWaveEnd(w.h), kWaveItem + 2 * (16 + 6000));
    Bytes file = ReadAll(w.scratch.path);
    EXPECT_EQ(At32(file, kGroup2), 2u) << "the wave end leaves the group alone";
    EXPECT_EQ(At32(file, kWaveItem), 6016u);
    EXPECT_EQ(At32(file, kWaveItem + 8), 1000u);
    EXPECT_EQ(UpdateKavfFlowWave(w.h), 1000);
    file = ReadAll(w.scratch.path);
    EXPECT_EQ(At32(file, kGroup2), 6020u);
    EXPECT_EQ(ClearKavfFlowWave(w.h), 0);
    file = w.Close();
    EXPECT_EQ(At32(file, kGroup2), 20u);
    EXPECT_EQ(At32(file, kWaveItem), 16u);
    EXPECT_EQ(At32(file, kWaveItem + 8), 0u);
    EXPECT_EQ(file.size(), kFrame0 + 6000) << "the frames stay";
}

TEST(KavfFlowWave, WaveEndPastFourGigabytesIsAllOnesAndTheHeaderIsWritten) {
    WaveFile w(KAVF_WAVE_EVENT, 16, 19);  // 40-byte frames
    ASSERT_EQ(SetKavfInfo(w.h, KAVF_INFO_FRAMES, 60000000), 1u);
    // 16 + 40 x 60,000,000 words fit the length field; twice that does not.
    EXPECT_EQ(SetKavfWaveEnd(w.h), 0xFFFFFFFFu);
    Bytes file = w.Close();
    EXPECT_EQ(At32(file, kWaveItem), 2400000016u);
    EXPECT_EQ(At32(file, kWaveItem + 8), 60000000u);
}

// A description written without a frame layout gives -2; one read back is
// no flow wave at all, so nothing is current and the result is -1.
TEST(KavfFlowWave, TypesWithoutAFrameLayoutGiveMinusTwoWhenWritten) {
    WaveFile w(KAVF_WAVE_EXTRA_0205);
    std::vector<int16_t> frames = WaveFile::Frames(2);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAME_SIZE), 0u);
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 2, frames.data()), -2);
    EXPECT_EQ(ReadKavfFlowWave(w.h, 1, 0, 2, frames.data()), -2);
    w.Close();
    KAVFHANDLE h = OpenChecked(w.scratch.path);
    KavfWaveInfo info;
    ASSERT_EQ(ReadKavfWaveInfo(h, 2, 0xA0, &info), KAVF_WAVE_EXTRA_0205);
    EXPECT_EQ(ReadKavfFlowWave(h, 1, 0, 2, frames.data()), -1);
    CloseKavfile(h);
}

TEST(KavfFlowWave, Event16WavesAreSixteenBitAlsoWithEightBitsDeclared) {
    WaveFile w(KAVF_WAVE_EVENT16, 8, 3);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_FRAME_SIZE), 8u);
    const int16_t frames[8] = {0x0102, 0x0304, -2, 0x0506, 7, 8, 9, 10};
    EXPECT_EQ(WriteKavfFlowWave(w.h, 1, 0, 2, frames), 2);
    EXPECT_EQ(SetKavfWaveEnd(w.h), kWaveItem + 2 * (16 + 16));
    Bytes file = w.Close();
    EXPECT_EQ(Slice(file, kFrame0, 8), (Bytes{1, 2, 3, 4, 0xFF, 0xFE, 5, 6}));
    KAVFHANDLE h = OpenChecked(w.scratch.path);
    KavfWaveInfo info;
    ASSERT_EQ(ReadKavfWaveInfo(h, 2, 0xA0, &info), KAVF_WAVE_EVENT16);
    EXPECT_EQ(GetKavfInfo(h, KAVF_INFO_FRAME_SIZE), 8u);
    uint16_t event = 0;
    int16_t samples[3] = {};
    EXPECT_EQ(ReadKavfWaveData(h, 2, 0xA0, 1, &event, samples), 3u);
    EXPECT_EQ(event, 7u);
    EXPECT_EQ(samples[2], 10);
    CloseKavfile(h);
}

// Their first bytes would land in the item before the wave.
TEST(KavfFlowWave, LengthWritersRefuseAWaveThatDoesNotOpenItsGroup) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING24");
    CreateKavfGroupStart(h, 1, 0);
    const uint16_t words[2] = {0xAAAA, 0xBBBB};
    ASSERT_EQ(CreateKavfWordInfo(h, KAVF_MODE_NATIVE, 1, 2, words), 56u);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.bits = 16;
    info.channels = kChannels;
    ASSERT_EQ(CreateKavfWaveInfo(h, 0xA0, &info), 88u);
    ASSERT_EQ(CreateKavfGroupEnd(h, 1), 92u);
    EXPECT_EQ(UpdateKavfFlowWave(h), -1);
    EXPECT_EQ(ClearKavfFlowWave(h), -1);
    info.frames = 5;
    EXPECT_EQ(UpdateKavfWaveInfo(h, 1, 0xA0, &info), 0u);
    CloseKavfile(h);
    Bytes file = ReadAll(s.path);
    EXPECT_EQ(Slice(file, 52, 4), (Bytes{0xAA, 0xAA, 0xBB, 0xBB}));
    EXPECT_EQ(At32(file, 56), 16u);
    EXPECT_EQ(At32(file, 64), 0u);
}

TEST(KavfFlowWave, ClosedWaveReadsBackThroughTheReaders) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(4);
    WriteKavfFlowWave(w.h, 1, 0, 4, frames.data());
    UpdateKavfFlowWave(w.h);
    w.Close();
    uint32_t groups = 0;
    KAVFHANDLE h = OpenChecked(w.scratch.path, &groups);
    EXPECT_EQ(groups, 2u);
    KavfWaveInfo info;
    EXPECT_EQ(ReadKavfWaveInfo(h, 2, 0xA0, &info), KAVF_WAVE_EVENT);
    EXPECT_EQ(info.frames, 4u);
    EXPECT_EQ(info.interval, 2000u);
    uint16_t event;
    int16_t samples[2];
    EXPECT_EQ(ReadKavfWaveData(h, 2, 0xA0, 3, &event, samples), 2u);
    EXPECT_EQ(event, 4u);
    EXPECT_EQ(samples[1], 301);
    CloseKavfile(h);
}

TEST(KavfFlowWave, BlockReadPreRollRepeatsFrameZeroWithoutItsEvent) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(20);
    WriteKavfFlowWave(w.h, 1, 0, 20, frames.data());
    BlockSet set(KAVF_WAVE_EVENT, 16, kFrameBytes);
    set.bytes[KAVF_BLOCKSET_MODE] = 7;
    int32_t position = -3, slot = 0;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 1, &position, &slot, 10), 10);
    EXPECT_EQ(set.Mode(), 0u);
    EXPECT_EQ(position, 7);
    EXPECT_EQ(slot, 10);
    EXPECT_EQ(GetKavfInfo(w.h, KAVF_INFO_POSITION), 7u);
    for (uint32_t s = 0; s < 3; ++s) {
        EXPECT_EQ(set.Word(1, s, 0), 0) << s;
        EXPECT_EQ(set.Word(1, s, 1), 0) << s;
        EXPECT_EQ(set.Word(1, s, 2), 1) << s;
    }
    for (uint32_t s = 3; s < 10; ++s) {
        EXPECT_EQ(set.Word(1, s, 0), static_cast<int16_t>(s - 2)) << s;
        EXPECT_EQ(set.Word(1, s, 1), static_cast<int16_t>(100 * (s - 3))) << s;
    }
    EXPECT_EQ(set.buffers[1][10 * kFrameBytes], 0xEE) << "nothing past the frames asked for";
}

TEST(KavfFlowWave, BlockReadContinuesFromTheHandleAndWrapsTheRing) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(20);
    WriteKavfFlowWave(w.h, 1, 0, 20, frames.data());
    BlockSet set(KAVF_WAVE_EVENT, 8, kFrameBytes);
    int32_t position = 4, slot = 4;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 4), 4);
    EXPECT_EQ(slot, 0) << "the ring wraps when it is full";
    EXPECT_EQ(set.Word(0, 4, 0), 5);
    position = -1;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 0), 8)
        << "0 = ring frames";
    EXPECT_EQ(position, 16);
    EXPECT_EQ(set.Word(0, 7, 0), 16);
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 8), 8);
    EXPECT_EQ(set.Word(0, 3, 0), 20);
    EXPECT_EQ(set.Word(0, 4, 0), 0) << "past the count";
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 1), -3);
    position = 0;
    slot = 5;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 4), -1) << "past the ring";
    BlockSet other(KAVF_WAVE_PLAIN, 8, kFrameBytes);
    slot = 0;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, other.bytes, 0, &position, &slot, 1), -1)
        << "type mismatch";
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, nullptr, 0, &position, &slot, 1), -1);
}

TEST(KavfFlowWave, BlockReadOfEightBitPlainFramesReportsTheFrames) {
    WaveFile w(KAVF_WAVE_PLAIN, 8, 3);
    const uint8_t frames[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    WriteKavfFlowWave(w.h, 1, 0, 2, frames);
    BlockSet set(KAVF_WAVE_PLAIN, 4, 4);
    int32_t position = 0, slot = 0;
    EXPECT_EQ(ReadKavfFlowWaveBlock(w.h, set.bytes, 0, &position, &slot, 2), 2);
    EXPECT_EQ(slot, 2);
    EXPECT_EQ(Slice(set.buffers[0], 0, 8), Bytes(frames, frames + 8));
}

TEST(KavfFlowWave, BlockAndClipWritesExtendTheWave) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(4);
    WriteKavfFlowWave(w.h, 0, 0, 4, frames.data());  // file order is whatever the caller hands
    BlockSet set(KAVF_WAVE_EVENT, 4, kFrameBytes);
    std::memcpy(set.buffers[1].data(), frames.data(), 4 * kFrameBytes);
    EXPECT_EQ(WriteKavfFlowWaveBlock(w.h, set.bytes, 1, 1, 3), 7);
    EXPECT_EQ(WriteKavfFlowWaveClip(w.h, set.bytes, 1, 10, 0, 2), 12);
    EXPECT_EQ(WriteKavfFlowWaveClip(w.h, set.bytes, 1, -1, 0, 1), 13)
        << "negative: the handle's position";
    EXPECT_EQ(WriteKavfFlowWaveClip(w.h, set.bytes, 1, 0, 3, 2), -4) << "past the ring";
    EXPECT_EQ(WriteKavfFlowWaveClip(w.h, nullptr, 1, 0, 0, 1), -5);
    SetKavfInfo(w.h, KAVF_INFO_POSITION, 13);
    EXPECT_EQ(UpdateKavfFlowWave(w.h), 13);
    Bytes file = w.Close();
    EXPECT_EQ(At32(file, kWaveItem + 8), 13u);
    const uint8_t* raw = reinterpret_cast<const uint8_t*>(frames.data());
    EXPECT_EQ(Slice(file, kFrame0 + 4 * kFrameBytes, kFrameBytes),
              Bytes(raw + kFrameBytes, raw + 2 * kFrameBytes));
    EXPECT_EQ(Slice(file, kFrame0 + 7 * kFrameBytes, kFrameBytes), Bytes(kFrameBytes, 0));
    EXPECT_EQ(Slice(file, kFrame0 + 12 * kFrameBytes, kFrameBytes), Bytes(raw, raw + kFrameBytes));
}

TEST(KavfFlowWave, ClipReadCopiesFileOrderAndMovesThePosition) {
    WaveFile w;
    std::vector<int16_t> frames = WaveFile::Frames(6);
    WriteKavfFlowWave(w.h, 1, 0, 6, frames.data());
    BlockSet set(KAVF_WAVE_EVENT, 4, kFrameBytes);
    int32_t slot = 2;
    EXPECT_EQ(ReadKavfFlowWaveClip(w.h, set.bytes, 0, 4, &slot, 2), 6);
    EXPECT_EQ(set.Mode(), 1u);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(set.buffers[0][2 * kFrameBytes + 1], 5) << "event of frame 4, big-endian";
    EXPECT_EQ(ReadKavfFlowWaveClip(w.h, set.bytes, 0, -1, &slot, 1), -4)
        << "position 6 is the count";
    EXPECT_EQ(ReadKavfFlowWaveClip(w.h, nullptr, 0, 0, &slot, 1), -6);
}

}  // namespace
