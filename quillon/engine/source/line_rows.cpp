#include "source/line_rows.h"

#include <atomic>

namespace {

std::atomic<bool> gSplitting{true};

}  // namespace

extern "C" void SetLineRowSplitting(int32_t on) { gSplitting = on != 0; }

namespace line_rows {

PlatWorker RowWorker() {
    // One for the process, started on first use and kept: a run's steps
    // come many times a second, a thread's start would cost each of them.
    static const PlatWorker worker = PlatProcessorCount() > 1 ? PlatWorkerStart() : nullptr;
    return gSplitting ? worker : nullptr;
}

Batch* ThreadBatch() {
    thread_local Batch batch;
    return &batch;
}

}  // namespace line_rows
