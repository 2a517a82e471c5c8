#include "source/line_rows.h"

#include <atomic>

namespace {

std::atomic<bool> gSplitting{true};
// The side job waiting for the helper thread: one at a time.
std::atomic<line_rows::SideJob*> gSideJob{nullptr};
// Side jobs handed to the helper thread that have not yet run to their end.
std::atomic<int32_t> gSideJobsOut{0};
std::atomic<uint64_t> gOwnReadBatches{0};

void RunSideJob(line_rows::SideJob* job) {
    job->run(job->argument);
    job->state.store(line_rows::kSideJobDone, std::memory_order_release);
}

void RunHandedSideJob(line_rows::SideJob* job) {
    RunSideJob(job);
    gSideJobsOut.fetch_sub(1, std::memory_order_acq_rel);
}

void TakeSideJob(void*) {
    if (line_rows::SideJob* job = gSideJob.exchange(nullptr, std::memory_order_acq_rel))
        RunHandedSideJob(job);
}

}  // namespace

extern "C" void SetLineRowSplitting(int32_t on) { gSplitting = on != 0; }

namespace line_rows {

PlatWorker RowWorker() {
    // One for the process, started on first use and kept: a run's steps
    // come many times a second, a thread's start would cost each of them.
    static const PlatWorker worker = PlatProcessorCount() > 1 ? PlatWorkerStart() : nullptr;
    return gSplitting ? worker : nullptr;
}

namespace {

// The next chunk of the lines shown into [from, to): false once the batch
// is closed and every line is taken. While lines may still come, it waits.
bool TakeChunk(SharedLines* lines, uint32_t* from, uint32_t* to) {
    uint64_t span = lines->span.load(std::memory_order_acquire);
    for (uint32_t spins = 0;; ++spins) {
        const uint32_t next = static_cast<uint32_t>(span);
        const uint32_t end = static_cast<uint32_t>((span & ~kLinesMayCome) >> 32);
        if (next < end) {
            const uint32_t last = end - next > kChunkLines ? next + kChunkLines : end;
            if (lines->span.compare_exchange_weak(span, span + (last - next),
                                                  std::memory_order_acq_rel,
                                                  std::memory_order_acquire)) {
                *from = next;
                *to = last;
                return true;
            }
            continue;  // the failed exchange loaded the span anew
        }
        if ((span & kLinesMayCome) == 0) return false;
        if (spins > kSpinsBeforeYield) PlatYield();
        span = lines->span.load(std::memory_order_acquire);
    }
}

}  // namespace

uint32_t MakeChunks(SharedLines* lines) {
    uint32_t from = 0;
    uint32_t to = 0;
    while (TakeChunk(lines, &from, &to)) {
        lines->make(*lines, from, to);
        lines->made.fetch_add(to - from, std::memory_order_acq_rel);
    }
    return lines->made.load(std::memory_order_acquire);
}

void HelpMakeChunks(void* lines) {
    TakeSideJob(nullptr);
    MakeChunks(static_cast<SharedLines*>(lines));
}

void PostSideJob(SideJob* job) {
    job->state.store(kSideJobPosted, std::memory_order_relaxed);
    const PlatWorker worker = RowWorker();
    SideJob* none = nullptr;
    gSideJobsOut.fetch_add(1, std::memory_order_acq_rel);
    if (worker == nullptr ||
        !gSideJob.compare_exchange_strong(none, job, std::memory_order_acq_rel)) {
        gSideJobsOut.fetch_sub(1, std::memory_order_acq_rel);
        RunSideJob(job);
        return;
    }
    // A batch handed before the helper starts replaces this job: it takes
    // the side job first too.
    PlatWorkerHand(worker, TakeSideJob, nullptr);
}

void AwaitSideJob(SideJob* job) {
    if (job->state.load(std::memory_order_acquire) == kSideJobNone) return;
    SideJob* untaken = job;
    if (gSideJob.compare_exchange_strong(untaken, nullptr, std::memory_order_acq_rel))
        RunHandedSideJob(job);
    for (uint32_t spins = 0; job->state.load(std::memory_order_acquire) != kSideJobDone; ++spins)
        if (spins > kSpinsBeforeYield) PlatYield();
    job->state.store(kSideJobNone, std::memory_order_relaxed);
}

bool SideJobsOut() { return gSideJobsOut.load(std::memory_order_acquire) > 0; }

Batch* ThreadBatch() {
    thread_local Batch batch;
    return &batch;
}

OwnRead* ThreadOwnRead() {
    thread_local OwnRead own;
    return &own;
}

uint64_t OwnReadBatches() { return gOwnReadBatches.load(std::memory_order_relaxed); }

void CountOwnReadBatch() { gOwnReadBatches.fetch_add(1, std::memory_order_relaxed); }

}  // namespace line_rows
