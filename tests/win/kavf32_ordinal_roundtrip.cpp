// Binds KAVF32.dll by ordinal only and takes a file through its whole life:
// index, three header groups, a flow wave of 1000 frames, close, reopen,
// and every value read back.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "check.h"
#include "kavf32.h"

namespace {

constexpr int kChannels = 19;
constexpr int kFrames = 1000;
constexpr int kFrameWords = kChannels + 1;

int16_t SampleAt(int frame, int channel) {
    return static_cast<int16_t>((frame * 37 + channel * 1009) % 65536 - 32768);
}

void WriteFile(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_CREATE | KAVF_OPEN_READWRITE, 8192);
    Check(h != 0, "OpenKavfile creates the file");
    if (h == 0) return;
    Check(CreateKavfIndexInfo(h, "KAVF", 4, 1, "EEG FILING32") == 36, "index record of 36 bytes");

    CreateKavfGroupStart(h, 1, 0);
    KavfTextElement texts[3];
    std::memset(texts, 0, sizeof texts);
    const char* words[3] = {"1900", "500", "\x8A\xB3\x8E\xD2"};  // the last: a cp932 name
    for (int i = 0; i < 3; ++i) {
        texts[i].words = 6;
        texts[i].length = static_cast<uint16_t>(std::strlen(words[i]));
        std::strcpy(texts[i].text, words[i]);
    }
    Check(CreateKavfTextInfo(h, 0x80, 3, texts) != 0, "text list written");
    const uint16_t date[6] = {2005, 2, 4, 13, 45, 30};
    Check(CreateKavfWordInfo(h, KAVF_MODE_NATIVE, 0x86, 6, date) != 0, "word array written");
    Check(CreateKavfGroupEnd(h, 1) != 0, "group 1 ended");

    CreateKavfGroupStart(h, 2, 0);
    const uint32_t longs[4] = {1, 2, 3, 0xDEADBEEF};
    Check(CreateKavfLongInfo(h, KAVF_MODE_NATIVE, 0xD3, 4, longs) != 0, "long array written");
    Check(CreateKavfGroupEnd(h, 2) != 0, "group 2 ended");

    CreateKavfGroupStart(h, 3, 0);
    const char image[5] = {'I', 'M', 'A', 'G', 'E'};
    Check(CreateKavfImageInfo(h, 0, 0x90, 5, image) != 0, "image block written");
    Check(CreateKavfGroupEnd(h, 3) != 0, "group 3 ended");

    CreateKavfGroupStart(h, 4, 0);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval = 2000;
    info.bits = 16;
    info.channels = kChannels;
    uint32_t frame0 = CreateKavfWaveInfo(h, 0xA0, &info);
    Check(frame0 != 0, "flow wave description written");

    static int16_t frames[kFrames][kFrameWords];
    for (int k = 0; k < kFrames; ++k) {
        frames[k][0] = static_cast<int16_t>(k == 1 ? 0x1001 : 0);
        for (int c = 0; c < kChannels; ++c) frames[k][1 + c] = SampleAt(k, c);
    }
    int32_t next = 0;
    for (int start = 0; start < kFrames; start += 250)
        next = WriteKavfFlowWave(h, KAVF_FLOW_CONVERT, start, 250, frames[start]);
    Check(next == kFrames, "1000 frames written in four calls");
    Check(SetKavfWaveEnd(h) == frame0 - 32 + 2 * (16 + 40 * kFrames),
          "wave end returns the offset past the wave");
    Check(CloseKavfile(h) == 0, "CloseKavfile releases the handle");
    Check(CloseKavfile(h) == h, "a closed handle is refused");
}

void ReadFile(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_READ, 100);
    Check(h != 0, "OpenKavfile reopens the file");
    if (h == 0) return;
    char typeName[68];
    Check(CheckKavfile(h, "KAVF", typeName) == 4, "CheckKavfile finds 4 groups");
    Check(std::strcmp(typeName, "EEG FILING32") == 0, "type name read back");
    Check(GetKavfileType(h) == KAVF_FILE_EEG32, "file-type code 5");

    char text[128];
    Check(ReadKavfTextData(h, text, 1, 0x80, 0, 64) == 3, "three texts");
    Check(std::strcmp(text, "1900|500|\x8A\xB3\x8E\xD2|") == 0, "texts read back as bytes");
    uint16_t date[8] = {};
    Check(ReadKavfWordData(h, date, 1, 0x86, 6) == 6 && date[0] == 2005 && date[1] == 2 &&
              date[5] == 30,
          "word array read back");
    uint32_t longs[4] = {};
    Check(ReadKavfLongData(h, longs, 2, 0xD3, 4) == 4 && longs[3] == 0xDEADBEEF,
          "long array read back");
    char image[16] = {};
    Check(ReadKavfImageData(h, image, 3, 0x90, 5) == 5 && std::memcmp(image, "IMAGE", 5) == 0,
          "image block read back");

    KavfWaveInfo info;
    Check(ReadKavfWaveInfo(h, 4, 0xA0, &info) == KAVF_WAVE_EVENT, "wave description found");
    Check(info.frames == kFrames && info.channels == kChannels && info.bits == 16 &&
              info.interval == 2000,
          "wave description read back");
    static int16_t frames[kFrames][kFrameWords];
    Check(ReadKavfFlowWave(h, KAVF_FLOW_CONVERT, 0, kFrames, frames) == kFrames,
          "1000 frames read");
    bool same = frames[1][0] == 0x1001 && frames[0][0] == 0;
    for (int k = 0; k < kFrames && same; ++k)
        for (int c = 0; c < kChannels; ++c) same = same && frames[k][1 + c] == SampleAt(k, c);
    Check(same, "every sample and event word read back");
    uint16_t event = 0;
    int16_t samples[kChannels];
    Check(ReadKavfWaveData(h, 4, 0xA0, 999, &event, samples) == kChannels &&
              samples[18] == SampleAt(999, 18),
          "single frame read back");
    Check(CloseKavfile(h) == 0, "reader closes");
}

}  // namespace

int main() {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return 2;
    std::string path = std::string(folder) + "kavf32_roundtrip.DAT";
    DeleteFileA(path.c_str());
    WriteFile(path);
    ReadFile(path);
    DeleteFileA(path.c_str());
    return CheckSummary();
}
