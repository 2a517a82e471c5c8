// Internal: an EEG run's step blocks and the write of the last step. A
// step's frames go to the library on the helper thread while the next
// step's lines are read into the other block, so the run holds two blocks
// and, behind them, the write still under way.
#ifndef QUILLON_EEG_STEP_WRITE_H
#define QUILLON_EEG_STEP_WRITE_H

#include <stdint.h>

#include "store/app_record.h"

namespace step_write {

// Zero-filled blocks of bytes each (SampleBlockBytes), kept when they
// already fit; false without memory.
bool Reserve(AppRecord* record, uint64_t bytes);

// Awaits the write under way, then frees the blocks.
void Release(AppRecord* record);

// The block the next step's frames go to.
void* NextBlock(const AppRecord* record);

// Hands frames frames of block, from frame start on, to the library and
// sets the wave's length after them, on the helper thread when it can.
void Post(AppRecord* record, void* block, uint32_t start, uint32_t frames);

// Waits for the write posted last. When it failed, the run's write failed:
// its frames are no longer done and the reason is in RunErrorText. False
// then, and whenever the run's write failed before.
bool Await(AppRecord* record);

}  // namespace step_write

#endif
