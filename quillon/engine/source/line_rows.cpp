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

uint32_t MakeChunks(SharedLines* lines) {
    for (;;) {
        const uint64_t span = lines->span.fetch_add(kChunkLines, std::memory_order_acq_rel);
        const uint32_t from = static_cast<uint32_t>(span);
        const uint32_t end = static_cast<uint32_t>(span >> 32);
        if (from >= end) return lines->made.load(std::memory_order_acquire);
        const uint32_t to = end - from > kChunkLines ? from + kChunkLines : end;
        lines->make(*lines, from, to);
        lines->made.fetch_add(to - from, std::memory_order_acq_rel);
    }
}

void HelpMakeChunks(void* lines) { MakeChunks(static_cast<SharedLines*>(lines)); }

Batch* ThreadBatch() {
    thread_local Batch batch;
    return &batch;
}

}  // namespace line_rows
