// The convert page's timer tick: as many steps of the running conversion as
// fit in a time budget, so a long recording is not held to one step per
// tick, while the window still repaints and takes input between ticks. The
// steps themselves, the file bytes and the step counter are those of one
// step per tick.
#ifndef QUILLON_RUN_TICKS_H
#define QUILLON_RUN_TICKS_H

#include <stddef.h>
#include <stdint.h>

#include "store/app_record.h"

constexpr uint32_t kTickBudgetMilliseconds = 75;

struct RunProgress {
    int32_t percent;         // of the source read, 0..100
    int64_t elapsedSeconds;  // since the start
};

extern "C" {

// Steps of the run that owns the output (EEG or PSG ticks) until one says
// the run is to be finished or the next step would likely end after
// budgetMilliseconds; at least one. Returns 1 while the run goes on, 0
// when the caller finishes it.
int32_t RunConversionTicks(AppRecord* record, uint32_t budgetMilliseconds);

// How far a run has come: the share of the source read from firstOffset on.
void DescribeRunProgress(const AppRecord* record, int64_t firstOffset, int64_t elapsedMilliseconds,
                         RunProgress* progress);

// "h:mm:ss" of a number of seconds. Returns the length written.
int32_t FormatElapsed(int64_t seconds, char* out, size_t size);
}

#endif
