// The one line rule of both conversion runs. Lines before the data start
// (the first data line from DataStartLine on) are the head and make no row.
// From there every line is one sampling instant: a data line makes its row,
// any other line a zero row in its own place. Non-data lines are held back
// until a data line follows, so the lines after the last data line (the
// tail) make no row. Every line read is counted in the tally.
#ifndef QUILLON_LINE_ROWS_H
#define QUILLON_LINE_ROWS_H

#include <stdint.h>

#include <atomic>
#include <cfloat>
#include <cstring>

#include "source/field_reader.h"
#include "source/line_walker.h"
#include "source/source_lines.h"
#include "platform.h"
#include "store/app_record.h"

// A row as large as any run makes: an event word and 256 samples.
constexpr size_t kLargestRowBytes = (kLineValueLimit + 1) * sizeof(int16_t);

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

struct LineRows {
    uint32_t made;  // rows in the block
    bool failed;    // a read failed: nothing of the step counts
};

// A run of non-data lines that became zero rows: its first row (counted from
// the data start) and its source lines, counted from 1.
struct NonDataRun {
    uint64_t firstRow;
    uint64_t firstLine;
    uint64_t lastLine;
};

// Whether the rows of one batch of lines may be made on two threads
// (1, the default) or on the calling thread alone (0): both give the same
// rows, and the switch is there to show it.
extern "C" void SetLineRowSplitting(int32_t on);

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

// Zero rows still owed from the last step; true when they fill this one.
inline bool TakeHeldRows(LinePlace* place, uint32_t wanted, char* rows, size_t rowBytes,
                         uint32_t* made) {
    const uint32_t zeros = place->HeldRows < wanted ? place->HeldRows : wanted;
    std::memset(rows, 0, zeros * rowBytes);
    place->HeldRows -= zeros;
    *made = zeros;
    return place->HeldRows > 0;
}

// Where arithmetic runs in extended precision (i686), each thread has its
// own precision setting, so calibrated values are made on the calling
// thread alone there.
inline bool SplitsRows(int32_t valueKind) {
    return FLT_EVAL_METHOD == 0 || valueKind != kCalibratedValues;
}

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

struct Batch {
    SourceLine lines[kBatchLines];
    uint8_t verdicts[kBatchLines];  // RowVerdict
    FieldFlaws flaws[kBatchLines];
    uint32_t count;
    uint32_t firstSlot;  // of lines[0]; line i has slot firstSlot + i
    SharedLines shared;
};

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

template <class MakeRow>
void OpenBatch(Batch* batch, MakeRow& makeRow, char* rows, size_t rowBytes) {
    SharedLines& lines = batch->shared;
    lines.batch = batch;
    lines.makeRow = &makeRow;
    lines.rows = rows;
    lines.rowBytes = rowBytes;
    lines.make = MakeRange<MakeRow>;
    lines.made.store(0, std::memory_order_relaxed);
    lines.span.store(kLinesMayCome, std::memory_order_release);
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
    if (count > 0 && count < most && WantsReadAhead(source)) ReadAheadSourceLines(source);
    uint32_t made = MakeChunks(&lines);
    // Chunks the helper took are being made: a short wait, unless the system
    // put it aside.
    for (uint32_t spins = 0; made < count; ++spins) {
        made = lines.made.load(std::memory_order_acquire);
        if (spins > kSpinsBeforeYield) PlatYield();
    }
}

// Where the rows of a step stand while its lines are taken in order.
struct StepRows {
    LinePlace place;
    char* rows;
    size_t rowBytes;
    uint32_t wanted;
    uint32_t made;
    uint32_t pending;  // non-data lines held back until a data line follows
    uint64_t pendingLine;
    ConversionTally step;
    FieldFlaws flaws;
};

// Takes one line's verdict; false when it is a data line without room
// behind the zero rows before it: it is then the first line of the next step.
template <class OnRun>
bool TakeVerdict(StepRows* at, const SourceLine& line, RowVerdict verdict,
                 const FieldFlaws& lineFlaws, uint64_t lineIndex, bool fits, OnRun& onRun) {
    if (verdict != kRowData) {
        if (line.overLong)
            ++at->step.OverLongLines;
        else
            TallyNonDataLine(line.text, line.length, verdict == kRowNoNumber, &at->step);
        if (at->place.RowsMade + at->made == 0) return true;  // the head
        if (at->pending++ == 0) at->pendingLine = lineIndex;
        return true;
    }
    if (at->pending > 0) {
        onRun(NonDataRun{at->place.RowsMade + at->made, at->pendingLine + 1, lineIndex});
        const uint32_t zeros = fits ? at->pending : at->wanted - at->made;
        std::memset(at->rows + at->made * at->rowBytes, 0, zeros * at->rowBytes);
        at->made += zeros;
        at->place.HeldRows = at->pending - zeros;
        at->pending = 0;
        if (!fits) return false;
    }
    at->flaws.saturated += lineFlaws.saturated;
    at->flaws.notNumbers += lineFlaws.notNumbers;
    at->flaws.clipped += lineFlaws.clipped;
    ++at->step.DataRows;
    ++at->made;
    return true;
}

// Past the head, the lines already read that have a slot, made as a batch:
// false when there was none.
template <class MakeRow, class OnRun>
bool TakeBatch(StepRows* at, SourceLines* source, Batch* batch, MakeRow& makeRow, OnRun& onRun,
               bool split) {
    if (at->place.RowsMade + at->made == 0 || at->wanted - at->made <= at->pending) return false;
    const uint32_t room = at->wanted - at->made - at->pending;
    const uint32_t most = room < kBatchLines ? room : kBatchLines;
    const uint64_t firstIndex = at->place.LineIndex + source->taken;
    batch->firstSlot = at->made + at->pending;
    FindAndMakeBatch(batch, source, most, makeRow, at->rows, at->rowBytes, split);
    if (batch->count == 0) return false;
    for (uint32_t i = 0; i < batch->count; ++i)
        TakeVerdict(at, batch->lines[i], static_cast<RowVerdict>(batch->verdicts[i]),
                    batch->flaws[i], firstIndex + i, true, onRun);
    return true;
}

}  // namespace line_rows

// Fills rows (wanted rows of rowBytes) from SourceOffset on. makeRow(line,
// slot, row, flaws) makes the row of a data line and returns its verdict
// (the row is made only for kRowData); onRun(run) hears of each run of
// non-data lines that a data line follows. With split, makeRow is called
// from two threads at once, for different slots.
template <class MakeRow, class OnRun>
LineRows ReadLineRows(AppRecord* record, uint32_t wanted, char* rows, size_t rowBytes,
                      MakeRow makeRow, OnRun onRun, bool split = false) {
    line_rows::StepRows at{record->Lines, rows, rowBytes, wanted, 0, 0, 0, {}, {}};
    if (line_rows::TakeHeldRows(&at.place, wanted, rows, rowBytes, &at.made)) {
        record->Lines.HeldRows = at.place.HeldRows;
        record->Lines.RowsMade += at.made;
        return LineRows{at.made, false};
    }
    alignas(8) char scratch[kLargestRowBytes];
    line_rows::Batch* const batch = line_rows::ThreadBatch();
    SourceLines source;
    OpenSourceLines(record, &source);
    SourceLine line;
    SourceLineStep found = kSourceLineFound;
    while (at.made < wanted) {
        if (line_rows::TakeBatch(&at, &source, batch, makeRow, onRun, split)) continue;
        if ((found = NextSourceLine(&source, &line)) != kSourceLineFound) break;
        const uint64_t lineIndex = at.place.LineIndex + source.taken - 1;
        const uint32_t slot = at.made + at.pending;
        const bool fits = slot < wanted;
        FieldFlaws lineFlaws{};
        char* row = fits ? rows + slot * rowBytes : scratch;
        const RowVerdict verdict = line.overLong ? kRowShort : makeRow(line, slot, row, &lineFlaws);
        if (!line_rows::TakeVerdict(&at, line, verdict, lineFlaws, lineIndex, fits, onRun)) {
            PutBackSourceLine(&source, line);
            break;
        }
    }
    at.step.SaturatedValues = at.flaws.saturated;
    at.step.NotNumbers = at.flaws.notNumbers;
    at.step.ClippedValues = at.flaws.clipped;
    CloseSourceLines(&source, found, at.step);
    if (found == kSourceReadFailed) return LineRows{0, true};
    record->Lines.HeldRows = at.place.HeldRows;
    record->Lines.RowsMade += at.made;
    return LineRows{at.made, false};
}

#endif
