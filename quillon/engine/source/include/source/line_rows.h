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
#include "source/own_reads.h"
#include "source/row_batch.h"
#include "source/source_lines.h"
#include "platform.h"
#include "store/app_record.h"

// A row as large as any run makes: an event word and 256 samples.
constexpr size_t kLargestRowBytes = (kLineValueLimit + 1) * sizeof(int16_t);

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
    ReadAndMakeBatch(batch, source, most, makeRow, at->rows, at->rowBytes, split);
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
