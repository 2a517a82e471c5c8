// Source line reading: 10,000 lines of a 32-channel source (a time column
// and 32 values) field by field (ReadIntegerFields, ReadFloatFields) and
// whole (ReadIntegerLine, ReadFloatLine, as the conversion steps read
// them). Reports MB of source text per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "source/field_reader.h"

namespace {

constexpr int kChannels = 32;
constexpr int kLines = 10000;

struct SourceLines {
    std::vector<std::string> lines;
    size_t bytes = 0;
};

// Lines as the converters hand them over: without their CR LF.
SourceLines MakeLines(bool calibrated) {
    SourceLines source;
    unsigned seed = 12345;
    char value[32];
    for (int line = 0; line < kLines; ++line) {
        std::snprintf(value, sizeof value, "%02d:%02d:%02d.%03d", line / 3600000, line / 60000 % 60,
                      line / 1000 % 60, line % 1000);
        std::string text = value;
        for (int channel = 0; channel < kChannels; ++channel) {
            seed = seed * 1103515245u + 12345u;
            int sample = static_cast<int>(seed >> 16) % 4096 - 2048;
            if (calibrated)
                std::snprintf(value, sizeof value, ",%.3f", sample * 0.0603);
            else
                std::snprintf(value, sizeof value, ",%d", sample);
            text += value;
        }
        source.bytes += text.size() + 2;  // and its CR LF
        source.lines.push_back(std::move(text));
    }
    return source;
}

AppRecord* Layout(int32_t magnification) {
    static AppRecord* record = static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord)));
    record->DelimitChar = kFieldModeComma;
    record->DataLineBias = 1;
    record->OrgDataMag = magnification;
    return record;
}

// Every line through read(record, line, values, flaws), the source's bytes
// per second as MB/s.
template <class Value, class Read>
void ReadEveryLine(benchmark::State& state, bool calibrated, Read read,
                   int32_t magnification = -10) {
    static const SourceLines sources[2] = {MakeLines(false), MakeLines(true)};
    const SourceLines& source = sources[calibrated ? 1 : 0];
    const AppRecord* record = Layout(calibrated ? magnification : 1);
    Value values[kLineValueLimit];
    FieldFlaws flaws{};
    for (auto _ : state) {
        for (const std::string& line : source.lines) {
            int32_t count = read(record, line, values, &flaws);
            if (count != kChannels) state.SkipWithError("wrong value count");
            benchmark::DoNotOptimize(values);
        }
    }
    state.counters["MB/s"] = benchmark::Counter(
        static_cast<double>(source.bytes) * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void BM_ReadIntegerFields(benchmark::State& state) {
    ReadEveryLine<int16_t>(
        state, false, [](const AppRecord* r, const std::string& line, int16_t* v, FieldFlaws*) {
            return ReadIntegerFields(r, line.c_str(), v);
        });
}
BENCHMARK(BM_ReadIntegerFields)->Unit(benchmark::kMillisecond);

void BM_ReadFloatFields(benchmark::State& state) {
    ReadEveryLine<float>(state, true,
                         [](const AppRecord* r, const std::string& line, float* v, FieldFlaws*) {
                             return ReadFloatFields(r, line.c_str(), v);
                         });
}
BENCHMARK(BM_ReadFloatFields)->Unit(benchmark::kMillisecond);

void BM_ReadIntegerLine(benchmark::State& state) {
    ReadEveryLine<int16_t>(
        state, false, [](const AppRecord* r, const std::string& line, int16_t* v, FieldFlaws* f) {
            return ReadIntegerLine(r, line.c_str(), static_cast<int32_t>(line.size()), v, f);
        });
}
BENCHMARK(BM_ReadIntegerLine)->Unit(benchmark::kMillisecond);

// Argument: the magnification (1 is the common one, which has a path of its own).
void BM_ReadFloatLine(benchmark::State& state) {
    ReadEveryLine<float>(
        state, true,
        [](const AppRecord* r, const std::string& line, float* v, FieldFlaws* f) {
            return ReadFloatLine(r, line.c_str(), static_cast<int32_t>(line.size()), v, f);
        },
        static_cast<int32_t>(state.range(0)));
}
BENCHMARK(BM_ReadFloatLine)->Arg(1)->Arg(-10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
