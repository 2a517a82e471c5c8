// Batches of lines whose rows two threads make: each line's slot is fixed
// before its row is made, so rows can be made in any order and on either
// thread; the calling thread takes the verdicts in line order afterwards.
#ifndef QUILLON_ROW_BATCH_H
#define QUILLON_ROW_BATCH_H

#include <stdint.h>

#include <atomic>

#include "source/field_reader.h"
#include "source/source_lines.h"
#include "platform.h"

// What one line gave.
enum RowVerdict {
    kRowData,      // a value for every channel, a number among them
    kRowShort,     // fewer values than channels
    kRowNoNumber,  // no channel's field holds a number: labels, units, empty fields
};

// The verdict on a line that gave count values with these flaws.
inline RowVerdict ValuesVerdict(int32_t count, int32_t channels, const FieldFlaws& flaws) {
    if (count < channels) return kRowShort;
    return flaws.numbers == 0 ? kRowNoNumber : kRowData;
}

namespace line_rows {

// Lines whose rows are made together: all whole in the read buffer, each
// with its slot, so they can be made in any order.
constexpr uint32_t kBatchLines = 1024;
// Fewer lines than this are made on the calling thread alone: handing half
// to the helper thread would cost more than it saves.
constexpr uint32_t kSplitLines = 64;
// Checks of a claimed half before the waiting thread gives way to others.
constexpr uint32_t kSpinsBeforeYield = 4096;

// The helper thread that makes half of a batch's rows; null on a single
// processor, when it cannot start, or when splitting is off.
PlatWorker RowWorker();

struct Batch;

// The calling thread's batch: kept out of the stack, whose pages a system
// call may meet before the thread has touched them.
Batch* ThreadBatch();

// A batch's lines for two threads to take in chunks: the calling thread
// and the helper thread when it runs. The calling thread shows the lines
// it finds a chunk at a time, so the helper makes rows while it finds the
// rest. Span holds whether lines may still come, their end and the next
// line to take in one word: a chunk is taken only whole and only once, and
// a helper that comes after the batch closed finds nothing left to take.
// The calling thread writes a batch only once every chunk is made.
struct SharedLines {
    void* batch;    // Batch
    void* makeRow;  // MakeRow
    char* rows;
    size_t rowBytes;
    void (*make)(const SharedLines& lines, uint32_t from, uint32_t to);
    std::atomic<uint64_t> span;  // kLinesMayCome | end << 32 | next line to take
    std::atomic<uint32_t> made;  // lines made, in all
};

constexpr uint64_t kLinesMayCome = uint64_t{1} << 63;

// Lines taken at a time.
constexpr uint32_t kChunkLines = 64;

// Makes chunks until the batch is closed and none is left; the count made.
uint32_t MakeChunks(SharedLines* lines);

// The helper thread's job: the side job posted, if any, then MakeChunks.
void HelpMakeChunks(void* lines);

// Work handed to the helper thread, which also takes it up before the rows
// of a batch handed after it; whoever awaits it runs it when the helper has
// not taken it, so it runs exactly once either way.
struct SideJob {
    void (*run)(void* argument);
    void* argument;
    std::atomic<uint32_t> state;  // SideJobState
};

enum SideJobState : uint32_t { kSideJobNone, kSideJobPosted, kSideJobDone };

// Runs job now when there is no helper thread, or another job is already
// waiting for it; otherwise hands it over.
void PostSideJob(SideJob* job);

// Returns once the job posted last (if any) has run.
void AwaitSideJob(SideJob* job);

// Whether a side job handed to the helper thread has not yet run to its end.
bool SideJobsOut();

struct Batch {
    SourceLine lines[kBatchLines];
    uint8_t verdicts[kBatchLines];  // RowVerdict
    FieldFlaws flaws[kBatchLines];
    uint32_t count;
    uint32_t firstSlot;  // of lines[0]; line i has slot firstSlot + i
    SharedLines shared;
};

// Whether this platform reads at an offset from two threads at once.
inline bool ReadsAtOffsets(PlatFile file) {
    static const bool able = PlatFileReadAt(file, 0, nullptr, 0) != PLAT_READ_AT_NONE;
    return able;
}

template <class MakeRow>
void MakeRange(const SharedLines& lines, uint32_t from, uint32_t to) {
    Batch& batch = *static_cast<Batch*>(lines.batch);
    MakeRow& makeRow = *static_cast<MakeRow*>(lines.makeRow);
    for (uint32_t i = from; i < to; ++i) {
        const uint32_t slot = batch.firstSlot + i;
        batch.flaws[i] = FieldFlaws{};
        char* const row = lines.rows + slot * lines.rowBytes;
        const RowVerdict verdict = makeRow(batch.lines[i], slot, row, &batch.flaws[i]);
        batch.verdicts[i] = static_cast<uint8_t>(verdict);
    }
}

// Opens a batch whose lines may come in chunks (span kLinesMayCome) or,
// with span 0, one closed to chunks from the start.
template <class MakeRow>
void OpenBatch(Batch* batch, MakeRow& makeRow, char* rows, size_t rowBytes,
               uint64_t span = kLinesMayCome) {
    SharedLines& lines = batch->shared;
    lines.batch = batch;
    lines.makeRow = &makeRow;
    lines.rows = rows;
    lines.rowBytes = rowBytes;
    lines.make = MakeRange<MakeRow>;
    lines.made.store(0, std::memory_order_relaxed);
    lines.span.store(span, std::memory_order_release);
}

// Up to most lines already read, and their rows; when split, the helper
// thread takes chunks of them too, from the first ones found. A batch that
// took the last whole lines of the bytes read gives the calling thread the
// next read to take first, while the helper makes rows.
template <class MakeRow>
void FindAndMakeBatch(Batch* batch, SourceLines* source, uint32_t most, MakeRow& makeRow,
                      char* rows, size_t rowBytes, bool split) {
    PlatWorker worker = split ? RowWorker() : nullptr;
    SharedLines& lines = batch->shared;
    OpenBatch(batch, makeRow, rows, rowBytes);
    uint32_t count = 0;
    uint32_t shown = 0;
    while (count < most) {
        const uint32_t asked = most - count < kChunkLines ? most - count : kChunkLines;
        const uint32_t found = NextBufferedLines(source, &batch->lines[count], asked);
        count += found;
        if (found < asked) break;
        lines.span.fetch_add(uint64_t{count - shown} << 32, std::memory_order_acq_rel);
        if (shown < kSplitLines && count >= kSplitLines && worker != nullptr)
            PlatWorkerHand(worker, HelpMakeChunks, &lines);
        shown = count;
    }
    batch->count = count;
    lines.span.fetch_add((uint64_t{count - shown} << 32) - kLinesMayCome,
                         std::memory_order_acq_rel);
    // With reads of their own, each thread reads the next batch's bytes itself.
    const bool ownReads = worker != nullptr && ReadsAtOffsets(source->record->SourceFile);
    if (count > 0 && count < most && !ownReads && WantsReadAhead(source))
        ReadAheadSourceLines(source);
    uint32_t made = MakeChunks(&lines);
    // Chunks the helper took are being made: a short wait, unless the system
    // put it aside.
    for (uint32_t spins = 0; made < count; ++spins) {
        made = lines.made.load(std::memory_order_acquire);
        if (spins > kSpinsBeforeYield) PlatYield();
    }
}

}  // namespace line_rows

#endif
