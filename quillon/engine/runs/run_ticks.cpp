#include "runs/run_ticks.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "eeg/eeg_run.h"
#include "platform.h"
#include "psg/psg_run.h"

namespace {

using Clock = std::chrono::steady_clock;

int32_t OneTick(AppRecord* record) {
    switch (record->RunOwner) {
        case kRunEeg: return EegTimerTick(record);
        case kRunPsg: return PsgTimerTick(record);
        default: return 0;
    }
}

}  // namespace

extern "C" int32_t RunConversionTicks(AppRecord* record, uint32_t budgetMilliseconds) {
    if (record == nullptr) return 0;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(budgetMilliseconds);
    // A step that would not end inside the budget waits for the next tick:
    // its length is guessed from the longest step of this tick.
    Clock::duration longestStep{};
    Clock::time_point now = Clock::now();
    do {
        const Clock::time_point stepStart = now;
        if (OneTick(record) == 0) return 0;
        now = Clock::now();
        longestStep = std::max(longestStep, now - stepStart);
    } while (now + longestStep < end);
    return 1;
}

extern "C" void DescribeRunProgress(const AppRecord* record, int64_t firstOffset,
                                    int64_t elapsedMilliseconds, RunProgress* progress) {
    if (progress == nullptr) return;
    *progress = RunProgress{0, elapsedMilliseconds > 0 ? elapsedMilliseconds / 1000 : 0};
    if (record == nullptr || record->SourceFile == nullptr) return;
    const int64_t span = PlatFileSize(record->SourceFile) - firstOffset;
    const int64_t done = record->SourceOffset - firstOffset;
    if (span <= 0 || done <= 0) return;
    progress->percent = done >= span ? 100 : static_cast<int32_t>(done * 100 / span);
}

extern "C" int32_t FormatElapsed(int64_t seconds, char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    if (seconds < 0) seconds = 0;
    const int n = std::snprintf(
        out, size, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
        static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    if (n < 0) return 0;
    return static_cast<size_t>(n) < size ? n : static_cast<int32_t>(size - 1);
}
