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

bool ClaimHalf(LaterHalf* half) {
    int open = kHalfOpen;
    return half->claim.compare_exchange_strong(open, kHalfTaken, std::memory_order_acq_rel);
}

void MakeOpenHalf(void* raw) {
    LaterHalf* half = static_cast<LaterHalf*>(raw);
    if (!ClaimHalf(half)) return;
    half->make(*half);
    half->done.store(1, std::memory_order_release);
}

Batch* ThreadBatch() {
    thread_local Batch batch;
    return &batch;
}

}  // namespace line_rows
