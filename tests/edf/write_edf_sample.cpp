// Writes the recordings check_with_mne.py reads back: "psg.edf" with the
// same filters on every channel, "mixed.edf" with a filter per channel
// type and "uneven.edf" with a channel rate that is no whole number.
// Digital value of row i, source column c: (37 i + 1000 c) % 20001 - 10000.
#include <cstdio>
#include <string>

#include "ostrel.h"
#include "psg_run.h"

namespace {

std::vector<int16_t> Rows(int32_t rows, int32_t columns, int32_t firstRow) {
    std::vector<int16_t> buffer(static_cast<size_t>(rows * columns));
    for (int32_t i = 0; i < rows; ++i)
        for (int32_t c = 0; c < columns; ++c)
            buffer[static_cast<size_t>(i * columns + c)] =
                static_cast<int16_t>(((firstRow + i) * 37 + c * 1000) % 20001 - 10000);
    return buffer;
}

bool Write(const std::string& path, bool mixedFilters) {
    PsgRecording r = ProgramRecording();
    r.sourceColumns = 3;
    r.channels = {
        {1, "Fp1", "uV", 4, 200, 50, 409, 300, 35, 50000},
        {2, "Chin", "uV", 6, 200, 100, 1000, 300, 35, 20000},
        {3, "\x8c\xc4\x8b\x7a", "%", 8, 100, 1, 1, 300, 35, 0},  // 呼吸
    };
    if (mixedFilters) {
        r.channels[1].lowFilter = 10000;
        r.channels[1].highFilter = 100;
        r.channels[2].lowFilter = 0;
        r.channels[2].highFilter = 0;
    }
    uint32_t h = DefinePsgFile(path, r);
    if (h == 0) return false;
    for (int32_t epoch = 0; epoch < 2; ++epoch) HandEpoch(h, r, Rows(6000, 3, epoch * 6000), 30);
    EndPsgFile(h);
    return true;
}

// 250 Hz, 5 s frames: "Fp1" as A/D counts without CAL, "Resp" every 4th
// row (62.5 Hz, handed over as 62), so records of 10 s.
bool WriteUneven(const std::string& path) {
    PsgRecording r = ProgramRecording();
    r.sampleRate = 250;
    r.frameSeconds = 5;
    r.channels = {
        {1, "Fp1", "uV", 4, 250, 0, 409, 300, 35, 0},
        {3, "Resp", "%", 8, 62, 1, 1, 0, 0, 0},
    };
    uint32_t h = DefinePsgFile(path, r);
    if (h == 0) return false;
    for (int32_t epoch = 0; epoch < 2; ++epoch) HandEpoch(h, r, Rows(7500, 3, epoch * 7500), 6);
    EndPsgFile(h);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (!Write(folder + "/psg.edf", false) || !Write(folder + "/mixed.edf", true) ||
        !WriteUneven(folder + "/uneven.edf")) {
        std::fprintf(stderr, "could not write the samples\n");
        return 1;
    }
    return 0;
}
