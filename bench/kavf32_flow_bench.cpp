// Flow wave throughput: 1,000,000 frames of 32 channels written and read in
// calls of 5,000 frames with byte-order conversion, the way the converter
// and the review programs move frames. Reports MB/s and peak memory.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kavf32.h"

namespace {

constexpr int kChannels = 32;
constexpr int kFramesPerCall = 5000;
constexpr uint32_t kFrameBytes = 2 + 2 * kChannels;

std::string BenchPath() {
    const char* dir = std::getenv("QUILLON_BENCH_DIR");
    return std::string(dir ? dir : "/tmp") + "/quillon-bench-" + std::to_string(getpid()) + ".DAT";
}

std::vector<int16_t> MakeFrames() {
    std::vector<int16_t> frames(static_cast<size_t>(kFramesPerCall) * (kChannels + 1));
    for (size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<int16_t>(i * 7919);
    return frames;
}

KAVFHANDLE CreateWaveFile(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), 0x1002, 8192);
    if (h == 0) return 0;
    CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING32");
    CreateKavfGroupStart(h, 1, 0);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval = 2000;
    info.bits = 16;
    info.channels = kChannels;
    CreateKavfWaveInfo(h, 0xA0, &info);
    return h;
}

long PeakRssKiB() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void WriteFrames(benchmark::State& state) {
    const int64_t total = state.range(0);
    std::vector<int16_t> frames = MakeFrames();
    std::string path = BenchPath();
    for (auto _ : state) {
        KAVFHANDLE h = CreateWaveFile(path);
        if (h == 0) {
            state.SkipWithError("cannot create the bench file");
            break;
        }
        for (int64_t start = 0; start < total; start += kFramesPerCall)
            WriteKavfFlowWave(h, 1, static_cast<int32_t>(start), kFramesPerCall, frames.data());
        SetKavfWaveEnd(h);
        CloseKavfile(h);
    }
    state.SetBytesProcessed(state.iterations() * total * kFrameBytes);
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
    std::remove(path.c_str());
}

void ReadFrames(benchmark::State& state) {
    const int64_t total = state.range(0);
    std::vector<int16_t> frames = MakeFrames();
    std::string path = BenchPath();
    KAVFHANDLE h = CreateWaveFile(path);
    for (int64_t start = 0; start < total; start += kFramesPerCall)
        WriteKavfFlowWave(h, 1, static_cast<int32_t>(start), kFramesPerCall, frames.data());
    SetKavfWaveEnd(h);
    CloseKavfile(h);

    char typeName[68];
    for (auto _ : state) {
        h = OpenKavfile(path.c_str(), 0x0000, 8192);
        CheckKavfile(h, "KAVF", typeName);
        KavfWaveInfo info;
        ReadKavfWaveInfo(h, 1, 0xA0, &info);
        int64_t sum = 0;
        for (int64_t start = 0; start < total; start += kFramesPerCall) {
            ReadKavfFlowWave(h, 1, static_cast<int32_t>(start), kFramesPerCall, frames.data());
            sum += frames[1];
        }
        benchmark::DoNotOptimize(sum);
        CloseKavfile(h);
    }
    state.SetBytesProcessed(state.iterations() * total * kFrameBytes);
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssKiB()) / 1024.0;
    std::remove(path.c_str());
}

}  // namespace

// 1,000,000 frames is the target; 4,000,000 shows that memory does not grow
// with the file's length.
BENCHMARK(WriteFrames)->Arg(1000000)->Arg(4000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadFrames)->Arg(1000000)->Arg(4000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
