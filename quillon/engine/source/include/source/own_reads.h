// A batch read by both threads: each reads half of the bytes, finds the
// lines that begin in its half and makes their rows, so that no thread
// touches the other's bytes but for the line across the middle. The
// calling thread's half comes first; the helper's lines begin after the
// first line end in its half and are taken only when the calling thread's
// last line ends right there.
#ifndef QUILLON_OWN_READS_H
#define QUILLON_OWN_READS_H

#include <stdint.h>

#include <atomic>

#include "source/line_walker.h"
#include "source/row_batch.h"
#include "source/source_lines.h"
#include "platform.h"

namespace line_rows {

enum OwnReadStage : uint32_t { kOwnReadStarted, kOwnReadRead, kOwnReadFound, kOwnReadDone };

constexpr int32_t kOwnReadMostHalf = kSourceReadBytes / 2;
constexpr int32_t kOwnReadLeastHalf = 1024;
constexpr uint64_t kOwnTakeNotYet = ~uint64_t{0};

struct OwnRead {
    PlatFile file;
    int64_t offset;  // of buffer[0]
    char* buffer;
    int32_t half;  // bytes of each read; the helper's lands at buffer + half
    SharedLines* lines;
    // The helper's, once the stage says so.
    int32_t got;
    int32_t first;  // where its first line begins, -1 for none
    uint32_t found;
    LineSpan spans[kBatchLines];
    std::atomic<uint32_t> stage;    // OwnReadStage
    std::atomic<uint64_t> take;     // its lines to make << 32 | the first one's index
    std::atomic<uint32_t> claimed;  // 1 once a thread has taken up the helper's share
    // Kept from batch to batch.
    int32_t nextHalf;    // 0 until the first batch read by both
    uint32_t halfLines;  // lines the calling thread found in its half last time
};

// The calling thread's own reads, kept out of the stack as its batch is.
OwnRead* ThreadOwnRead();

// Batches whose lines came from both threads' reads, since the process
// started: the tests show with it that the way is taken.
uint64_t OwnReadBatches();
void CountOwnReadBatch();

inline void AwaitOwnStage(const OwnRead& own, uint32_t stage) {
    for (uint32_t spins = 0; own.stage.load(std::memory_order_acquire) < stage; ++spins)
        if (spins > kSpinsBeforeYield) PlatYield();
}

inline SourceLine LineAt(char* buffer, const LineSpan& span) {
    SourceLine line{buffer + span.start, span.length, false};
    line.text[line.length] = '\0';
    return line;
}

// The helper's share up to its lines found: its read, then its lines from
// the first line end in its half to the last whole line.
inline void ReadOwnHalf(OwnRead* own) {
    own->got =
        PlatFileReadAt(own->file, own->offset + own->half, own->buffer + own->half, own->half);
    own->first = -1;
    own->found = 0;
    own->stage.store(kOwnReadRead, std::memory_order_release);
    LineSpan span;
    const int32_t end = 2 * own->half;
    if (own->got == own->half &&
        FindLine(own->buffer, own->half, end, false, &span) == kLineComplete) {
        own->first = span.next;
        own->found = FindWholeLines(own->buffer, span.next, end, own->spans, kBatchLines);
    }
    own->stage.store(kOwnReadFound, std::memory_order_release);
}

// The rows of the helper's lines that the batch takes (count << 32 | index
// of the first).
template <class MakeRow>
void MakeOwnRows(OwnRead* own, uint64_t take) {
    const uint32_t count = static_cast<uint32_t>(take >> 32);
    const uint32_t index = static_cast<uint32_t>(take);
    Batch& batch = *static_cast<Batch*>(own->lines->batch);
    for (uint32_t j = 0; j < count; ++j)
        batch.lines[index + j] = LineAt(own->buffer, own->spans[j]);
    MakeRange<MakeRow>(*own->lines, index, index + count);
    own->stage.store(kOwnReadDone, std::memory_order_release);
}

// The helper's share runs once: on the helper thread, or on the calling
// thread when the helper has not started it by the time it is needed.
inline bool ClaimOwnRead(OwnRead* own) {
    uint32_t unclaimed = 0;
    return own->claimed.compare_exchange_strong(unclaimed, 1, std::memory_order_acq_rel);
}

// The helper thread's job: its share, its rows once the calling thread
// has said which of its lines the batch takes.
template <class MakeRow>
void HelpOwnRead(void* raw) {
    OwnRead* own = static_cast<OwnRead*>(raw);
    if (!ClaimOwnRead(own)) return;
    ReadOwnHalf(own);
    uint64_t take = own->take.load(std::memory_order_acquire);
    for (uint32_t spins = 0; take == kOwnTakeNotYet; ++spins) {
        if (spins > kSpinsBeforeYield) PlatYield();
        take = own->take.load(std::memory_order_acquire);
    }
    MakeOwnRows<MakeRow>(own, take);
}

// The helper's bytes, read; true when the calling thread read them itself.
inline bool AwaitOwnHalf(OwnRead* own) {
    if (ClaimOwnRead(own)) {
        ReadOwnHalf(own);
        return true;
    }
    AwaitOwnStage(*own, kOwnReadRead);
    return false;
}

// The calling thread's lines: those whole in its half, then on into the
// helper's until the line across the middle (true once it is taken).
// *ranHelper: the calling thread ran the helper's share.
inline bool FindCallerLines(Batch* batch, OwnRead& own, uint32_t most, int32_t* end,
                            bool* ranHelper) {
    constexpr uint32_t kSpans = 32;
    LineSpan spans[kSpans];
    uint32_t& count = batch->count;
    int32_t at = 0;
    while (count < most) {
        const uint32_t asked = most - count < kSpans ? most - count : kSpans;
        const uint32_t found = FindWholeLines(own.buffer, at, own.half, spans, asked);
        for (uint32_t i = 0; i < found; ++i) batch->lines[count++] = LineAt(own.buffer, spans[i]);
        if (found > 0) at = spans[found - 1].next;
        if (found < asked) break;
    }
    *end = at;
    *ranHelper = AwaitOwnHalf(&own);
    if (own.got != own.half) return false;
    while (count < most) {
        LineSpan span;
        if (FindLine(own.buffer, at, 2 * own.half, false, &span) != kLineComplete) return false;
        const bool across = span.start + span.length >= own.half;
        // The helper looks for its first line end where this line's is.
        if (across) AwaitOwnStage(own, kOwnReadFound);
        batch->lines[count++] = LineAt(own.buffer, span);
        *end = at = span.next;
        if (across) return true;
    }
    return false;
}

// The half for the next batch from the lines the calling thread found in
// this one's: about a third of a batch in each half, within the read
// buffer; halved when the lines filled the batch before the middle.
inline int32_t NextOwnHalf(int32_t half, uint32_t found, uint32_t most) {
    constexpr uint32_t kHalfLines = kBatchLines / 3;
    if (found >= most) return half / 2 > kOwnReadLeastHalf ? half / 2 : kOwnReadLeastHalf;
    const int64_t wanted = found == 0 ? kOwnReadMostHalf : int64_t{half} * kHalfLines / found;
    const int64_t within = wanted < kOwnReadMostHalf ? wanted : kOwnReadMostHalf;
    return static_cast<int32_t>(within < kOwnReadLeastHalf ? kOwnReadLeastHalf : within & ~63);
}

// The bytes each thread reads for the next batch, 0 when it is not read
// by both: the helper has a side job, the source is near its end, or the
// step near its end has room for too few lines.
inline int32_t OwnHalfFor(const OwnRead& own, const SourceLines& source, uint32_t most) {
    int32_t half = own.nextHalf > 0 ? own.nextHalf : kOwnReadMostHalf;
    if (own.halfLines > 0 && most < 2 * own.halfLines + kSplitLines) {
        const int64_t fitting =
            most > kSplitLines ? int64_t{half} * (most - kSplitLines) / (2 * own.halfLines) : 0;
        half = fitting >= kOwnReadLeastHalf ? static_cast<int32_t>(fitting & ~63) : 0;
    }
    return half > 0 && !SideJobsOut() && WantsReadOf(&source, 2 * half) ? half : 0;
}

// The batch opened with no chunk to take, and the helper's share set out.
template <class MakeRow>
void StartOwnRead(Batch* batch, OwnRead& own, SourceLines* source, MakeRow& makeRow, char* rows,
                  size_t rowBytes, int32_t half) {
    // A helper still on its way to the chunks of the batch before must
    // find this one closed, or it would wait for chunks that never come.
    OpenBatch(batch, makeRow, rows, rowBytes, 0);
    batch->count = 0;
    own.file = source->record->SourceFile;
    own.offset = WalkOffset(source);
    own.buffer = source->buffer;
    own.half = half;
    own.lines = &batch->shared;
    own.stage.store(kOwnReadStarted, std::memory_order_relaxed);
    own.take.store(kOwnTakeNotYet, std::memory_order_relaxed);
    own.claimed.store(0, std::memory_order_release);
}

// The batch read by both threads: false (nothing taken, the bytes to be
// read again) when the calling thread's read did not give its half.
template <class MakeRow>
bool ReadOwnBatch(Batch* batch, OwnRead& own, SourceLines* source, uint32_t most, MakeRow& makeRow,
                  char* rows, size_t rowBytes, PlatWorker worker, int32_t half) {
    const uint32_t limit = most < kBatchLines ? most : kBatchLines;
    StartOwnRead(batch, own, source, makeRow, rows, rowBytes, half);
    PlatWorkerHand(worker, HelpOwnRead<MakeRow>, &own);
    const int32_t got = PlatFileReadAt(own.file, own.offset, own.buffer, own.half);
    int32_t end = 0;
    bool ranHelper = false;
    const bool across = got == own.half && FindCallerLines(batch, own, limit, &end, &ranHelper);
    // A read that fell short needs nothing of the helper's.
    if (got != own.half) ranHelper = ClaimOwnRead(&own);
    if (!ranHelper) AwaitOwnStage(own, kOwnReadFound);
    const uint32_t mine = batch->count;
    const uint32_t room = limit - mine;
    const uint32_t theirs = !across || own.first != end ? 0 : own.found < room ? own.found : room;
    const uint64_t take = uint64_t{theirs} << 32 | mine;
    if (ranHelper)
        MakeOwnRows<MakeRow>(&own, take);
    else
        own.take.store(take, std::memory_order_release);
    MakeRange<MakeRow>(batch->shared, 0, mine);
    if (!ranHelper) AwaitOwnStage(own, kOwnReadDone);
    own.halfLines = mine;
    own.nextHalf = NextOwnHalf(own.half, mine, limit);
    if (got != own.half || mine == 0) {
        batch->count = 0;
        ForgetRead(source, own.offset);
        return false;
    }
    batch->count = mine + theirs;
    if (theirs > 0) {
        CountOwnReadBatch();
        end = own.spans[theirs - 1].next;
    }
    const int32_t bytes = own.got == own.half ? 2 * own.half : own.half;
    TakeOwnRead(source, own.offset, bytes, end, batch->count);
    return true;
}

// A batch's lines and rows: from reads of both threads' own where it can
// be, otherwise from the bytes already read, in chunks.
template <class MakeRow>
void ReadAndMakeBatch(Batch* batch, SourceLines* source, uint32_t most, MakeRow& makeRow,
                      char* rows, size_t rowBytes, bool split) {
    const PlatWorker worker = split ? RowWorker() : nullptr;
    OwnRead& own = *ThreadOwnRead();
    const int32_t half = worker != nullptr && ReadsAtOffsets(source->record->SourceFile)
                             ? OwnHalfFor(own, *source, most)
                             : 0;
    if (half > 0 && ReadOwnBatch(batch, own, source, most, makeRow, rows, rowBytes, worker, half))
        return;
    FindAndMakeBatch(batch, source, most, makeRow, rows, rowBytes, split);
}

}  // namespace line_rows

#endif
