// A run's two step blocks and the output of its last step. A step reads its
// lines into one block and hands the block to be written on the helper
// thread, which writes it while the next step reads into the other block.
#ifndef QUILLON_STEP_BLOCKS_H
#define QUILLON_STEP_BLOCKS_H

#include <stdint.h>

#include "source/line_rows.h"
#include "store/app_record.h"

namespace step_blocks {

// Whether a run's FramesDone counts the frames handed to be written (a
// failed write takes them back) or is set only at its finish.
enum FramesDoneKind { kFramesDoneAsWritten, kFramesDoneAtFinish };

// The write of one step's block, and how it went.
struct Output {
    line_rows::SideJob job;
    bool (*write)(Output* output);  // the run's own: false when the write failed
    uint32_t file;                  // the run's output
    int32_t start;                  // the step's first frame
    uint32_t frames;                // its frames
    FramesDoneKind framesDone;
    const void* block;
    bool failed;
    char reason[sizeof AppRecord::RunErrorText];  // the failing thread's own
    uint32_t next;                                // the block the next step reads into
};

// Zero-filled blocks of bytes each (SampleBlockBytes), kept when they
// already fit, and room for extraBytes of the run's own beside the output
// (OutputExtra); false without memory.
bool Reserve(AppRecord* record, uint64_t bytes, bool (*write)(Output*), FramesDoneKind framesDone,
             uint32_t extraBytes);

// Awaits the write under way, then frees the blocks.
void Release(AppRecord* record);

Output* OutputOf(const AppRecord* record);
void* OutputExtra(Output* output);

// The block the next step reads into.
void* NextBlock(const AppRecord* record);

// Hands frames frames of the next block, from frame start on, to be written.
void Post(AppRecord* record, int32_t start, uint32_t frames);

// Waits for the write posted last. When it failed, the run's write failed:
// its frames are no longer done (kFramesDoneAsWritten) and the reason is in
// RunErrorText. False
// then, and whenever the run's write failed before.
bool Await(AppRecord* record);

}  // namespace step_blocks

#endif
