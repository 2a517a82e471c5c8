// Binds KAVF32.dll by ordinal only. The handle of ordinal 14 goes to the
// multimedia seek, read and write calls: they see what the library wrote,
// the library sees what they wrote, and both keep working after each other.
// Then a sparse file of almost 4 GiB is written and read back at frames
// past 2 GiB through the library.
#include <windows.h>
#include <mmsystem.h>
#include <winioctl.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "check.h"
#include "kavf32.h"

namespace {

// "KAVF", 2 groups, 1 sub-item, "EEG FILING32": L0 = 16, sub-item length
// 10, element length 8, d = 12, the name, the zero end.
const uint8_t kIndexRecord[36] = {'K', 'A', 'V', 'F',  0,   0,   0,   16,  0,   2,   0,   1,
                                  0,   10,  0,   0x20, 0,   8,   0,   12,  'E', 'E', 'G', ' ',
                                  'F', 'I', 'L', 'I',  'N', 'G', '3', '2', 0,   0,   0,   0};

constexpr uint32_t kWordsId = 0x86;

HMMIO MultimediaHandle(KAVFHANDLE h) { return reinterpret_cast<HMMIO>(GetKavfileHandle(h)); }

bool ReadsIndexRecord(HMMIO mm, size_t bytes) {
    uint8_t got[sizeof kIndexRecord] = {};
    return mmioSeek(mm, 0, SEEK_SET) == 0 &&
           mmioRead(mm, reinterpret_cast<HPSTR>(got), static_cast<LONG>(bytes)) ==
               static_cast<LONG>(bytes) &&
           std::memcmp(got, kIndexRecord, bytes) == 0;
}

void HandleSharedWithTheCaller(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_CREATE | KAVF_OPEN_READWRITE, 8192);
    HMMIO mm = MultimediaHandle(h);
    Check(h != 0 && mm != nullptr, "ordinal 14 hands out a multimedia handle");
    if (mm == nullptr) return;
    Check(CreateKavfIndexInfo(h, "KAVF", 2, 1, "EEG FILING32") == 36, "index record written");
    Check(mmioSeek(mm, 0, SEEK_CUR) == 36, "the multimedia position follows the library's write");
    Check(ReadsIndexRecord(mm, sizeof kIndexRecord), "mmioSeek 0 + mmioRead give the index bytes");

    // The caller's read moved the file position; the library seeks anyway.
    Check(CreateKavfGroupStart(h, 1, 0) == 40, "group start after the caller's read");
    const uint16_t words[3] = {1, 2, 3};
    Check(CreateKavfWordInfo(h, KAVF_MODE_NATIVE, kWordsId, 3, words) == 60, "word array written");
    Check(CreateKavfGroupEnd(h, 1) == 64, "group ended");

    uint32_t item = FindKavfIndexPtr(h, 1, kWordsId);
    const char secondWord[2] = {0x12, 0x34};
    Check(item == 40 && mmioSeek(mm, static_cast<LONG>(item + 12 + 2), SEEK_SET) == 54 &&
              mmioWrite(mm, secondWord, 2) == 2,
          "mmioWrite replaces the second word");
    uint16_t back[4] = {};
    Check(ReadKavfWordData(h, back, 1, kWordsId, 3) == 3 && back[0] == 1 && back[1] == 0x1234 &&
              back[2] == 3,
          "the library reads what the caller wrote");

    Check(UpdateKavfDirectory(h) == 1, "UpdateKavfDirectory reopens the file");
    HMMIO reopened = MultimediaHandle(h);
    Check(reopened != nullptr && ReadsIndexRecord(reopened, 4),
          "the reopened file has a working multimedia handle");
    Check(CloseKavfile(h) == 0, "closed");
}

// 3 channels of 16 bits: 8-byte frames of event word and samples.
constexpr uint32_t kChannels = 3;
constexpr uint32_t kFrameBytes = 8;
constexpr uint32_t kFrame0 = 72;  // index 36, group length 4, wave header 32
constexpr int32_t kChunk = 1000;
// Frames of the first chunk straddle 2 GiB; the second lies at 3.75 GiB.
constexpr int32_t kAcross2GiB = (0x80000000u - kFrame0) / kFrameBytes - kChunk / 2;
constexpr int32_t kAt3_75GiB = (0xF0000000u - kFrame0) / kFrameBytes;

struct Frame {
    uint16_t event;
    int16_t samples[kChannels];
};

Frame FrameAt(int32_t k) {
    Frame f;
    f.event = static_cast<uint16_t>(k * 3u);
    for (uint32_t c = 0; c < kChannels; ++c)
        f.samples[c] = static_cast<int16_t>(static_cast<uint16_t>(k * 31u + c * 7u));
    return f;
}

bool SameFrames(const Frame* frames, int32_t first, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        Frame want = FrameAt(first + i);
        if (std::memcmp(&frames[i], &want, sizeof want) != 0) return false;
    }
    return true;
}

// Marked sparse before the library opens it, so on a real NTFS volume the
// test writes only its 16 KB of frames (Wine's files are sparse anyway).
void CreateSparse(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD unused = 0;
    DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    CloseHandle(f);
}

void WriteBigWave(const std::string& path) {
    CreateSparse(path);
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_READWRITE, 8192);
    Check(h != 0, "the sparse file opens read-write");
    if (h == 0) return;
    CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING32");
    CreateKavfGroupStart(h, 1, 0);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval = 1000;
    info.bits = 16;
    info.channels = kChannels;
    Check(CreateKavfWaveInfo(h, 0xA0, &info) == kFrame0, "wave description written");
    static Frame frames[kChunk];
    for (int32_t i = 0; i < kChunk; ++i) frames[i] = FrameAt(kAcross2GiB + i);
    Check(WriteKavfFlowWave(h, KAVF_FLOW_CONVERT, kAcross2GiB, kChunk, frames) ==
              kAcross2GiB + kChunk,
          "frames across 2 GiB written");
    for (int32_t i = 0; i < kChunk; ++i) frames[i] = FrameAt(kAt3_75GiB + i);
    Check(
        WriteKavfFlowWave(h, KAVF_FLOW_CONVERT, kAt3_75GiB, kChunk, frames) == kAt3_75GiB + kChunk,
        "frames at 3.75 GiB written");
    Check(SetKavfWaveEnd(h) != 0, "wave end written");
    Check(CloseKavfile(h) == 0, "writer closed");
}

void ReadBigWave(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_READ, 8192);
    char typeName[68];
    Check(h != 0 && CheckKavfile(h, "KAVF", typeName) == 1, "the big file checks");
    KavfWaveInfo info;
    Check(ReadKavfWaveInfo(h, 1, 0xA0, &info) == KAVF_WAVE_EVENT &&
              info.frames == static_cast<uint32_t>(kAt3_75GiB + kChunk),
          "frame count read back");
    static Frame frames[kChunk];
    Check(ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, kAcross2GiB, kChunk, frames) ==
                  kAcross2GiB + kChunk &&
              SameFrames(frames, kAcross2GiB, kChunk),
          "frames across 2 GiB read back");
    Check(
        ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, kAt3_75GiB, kChunk, frames) == kAt3_75GiB + kChunk &&
            SameFrames(frames, kAt3_75GiB, kChunk),
        "frames at 3.75 GiB read back");
    static const Frame zeros[10] = {};
    Check(ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, kAcross2GiB + 5 * kChunk, 10, frames) > 0 &&
              std::memcmp(frames, zeros, sizeof zeros) == 0,
          "frames in the hole read as zero");
    uint16_t event = 0;
    int16_t samples[kChannels] = {};
    Frame last = FrameAt(kAt3_75GiB + kChunk - 1);
    Check(ReadKavfWaveData(h, 1, 0xA0, kAt3_75GiB + kChunk - 1, &event, samples) == kChannels &&
              event == last.event && std::memcmp(samples, last.samples, sizeof samples) == 0,
          "the last frame read singly");
    HMMIO mm = MultimediaHandle(h);
    Check(mm != nullptr && ReadsIndexRecord(mm, 4),
          "the multimedia handle still reads offset 0 after reads past 2 GiB");
    CloseKavfile(h);

    WIN32_FILE_ATTRIBUTE_DATA data;
    Check(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
              data.nFileSizeHigh == 0 &&
              data.nFileSizeLow == kFrame0 + (kAt3_75GiB + kChunk) * kFrameBytes,
          "the file ends after the last frame, past 3.75 GiB");
}

}  // namespace

int main() {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return 2;
    std::string small = std::string(folder) + "kavf32_mmio.DAT";
    std::string big = std::string(folder) + "kavf32_big.DAT";
    HandleSharedWithTheCaller(small);
    DeleteFileA(small.c_str());
    WriteBigWave(big);
    ReadBigWave(big);
    DeleteFileA(big.c_str());
    return CheckSummary();
}
