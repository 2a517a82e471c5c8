// Arbitrary bytes as a source text, converted end to end to both output
// kinds: line cutting, re-reading across blocks, the row and frame builders
// and the writers. The first four bytes choose the layout.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "eeg/eeg_run.h"
#include "store/pattern_store.h"
#include "psg/psg_run.h"
#include "store/settings_store.h"
#include "source/source_reader.h"

namespace {

constexpr int kMaxTicks = 2000;

std::string Scratch(const char* name) {
    return "/dev/shm/quillon-fuzz-" + std::to_string(getpid()) + "-" + name;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void RemoveOutputs(const std::string& path) {
    std::remove(path.c_str());
    std::remove((path + ".REF").c_str());
    std::string ref = path.substr(0, path.rfind('.')) + ".REF";
    std::remove(ref.c_str());
}

void Layout(AppRecord* r, const uint8_t* config, int32_t rate) {
    r->DelimitChar = config[0] % 3;
    r->DataLineBias = config[1] % 4;
    r->DataStartLine = (config[1] >> 2) % 4;
    int32_t channels = 1 + config[2] % 8;
    SwitchChannelRows(r, channels);
    r->ChannelCount = channels;
    r->SampleRate = rate;
    r->OrgCalDataType = config[3] & 1;
    r->PolarityCopy = (config[3] >> 1) & 1;
    r->OrgTimeResSw = (config[3] >> 3) & 1;
    r->OrgDataMag = (config[3] & 0x40) ? -10 : 1;
    r->FrameTime = 1;
}

void ConvertEeg(AppRecord* r) {
    std::string out = Scratch("out.DAT");
    RemoveOutputs(out);
    r->CopyFileType = 2;
    if (StartEegConversion(r, out.c_str()) == kEegStarted) {
        for (int tick = 0; tick < kMaxTicks && EegTimerTick(r) == 1; ++tick) {
        }
        // Every data line is a frame; other lines add zero frames, never remove one.
        if (r->FramesDone < r->Tally.DataRows) std::abort();
        FinishEegConversion(r, nullptr);
    }
    ReleaseEegRun(r, nullptr);
    RemoveOutputs(out);
}

void ConvertPsg(AppRecord* r) {
    std::string out = Scratch("out.edf");
    std::remove(out.c_str());
    r->CopyFileType = 1;
    PsgStartResult result;
    if (SetPsgTarget(r, out.c_str()) && StartPsgConversion(r, &result) == kPsgStarted) {
        for (int tick = 0; tick < kMaxTicks && PsgTimerTick(r) == 1; ++tick) {
        }
        FinishPsgConversion(r);
    }
    ReleasePsgRun(r);
    std::remove(out.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    std::string source = Scratch("source.txt");
    if (!WriteFile(source, data + 4, size - 4)) return 0;
    auto record = std::make_unique<AppRecord>();
    AppRecord* r = record.get();
    SetInitialSourceValues(r);
    SetPsgRowDefaults(r);
    if (OpenSourceFromPath(r, source.c_str()) != 0) {
        // Small rates keep the steps short: 100 frames, 300 rows an epoch.
        Layout(r, data, 10);
        if (data[3] & 4)
            ConvertPsg(r);
        else
            ConvertEeg(r);
        CloseSourceFile(r);
    }
    std::remove(source.c_str());
    return 0;
}
