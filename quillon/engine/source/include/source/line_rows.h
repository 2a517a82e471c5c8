// The one line rule of both conversion runs. Lines before the data start
// (the first data line from DataStartLine on) are the head and make no row.
// From there every line is one sampling instant: a data line makes its row,
// any other line a zero row in its own place. Non-data lines are held back
// until a data line follows, so the lines after the last data line (the
// tail) make no row. Every line read is counted in the tally.
#ifndef QUILLON_LINE_ROWS_H
#define QUILLON_LINE_ROWS_H

#include <stdint.h>

#include <cstring>

#include "source/field_reader.h"
#include "source/line_walker.h"
#include "source/source_lines.h"
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

}  // namespace line_rows

// Fills rows (wanted rows of rowBytes) from SourceOffset on. makeRow(line,
// slot, row, flaws) makes the row of a data line and returns its verdict
// (the row is made only for kRowData); onRun(run) hears of each run of non-data lines that a data
// line follows.
template <class MakeRow, class OnRun>
LineRows ReadLineRows(AppRecord* record, uint32_t wanted, char* rows, size_t rowBytes,
                      MakeRow makeRow, OnRun onRun) {
    LinePlace place = record->Lines;
    uint32_t made = 0;
    if (line_rows::TakeHeldRows(&place, wanted, rows, rowBytes, &made)) {
        record->Lines.HeldRows = place.HeldRows;
        record->Lines.RowsMade += made;
        return LineRows{made, false};
    }
    alignas(8) char scratch[kLargestRowBytes];
    ConversionTally step{};
    FieldFlaws flaws{};
    uint32_t pending = 0;
    uint64_t pendingLine = 0;
    SourceLines source;
    OpenSourceLines(record, &source);
    SourceLine line;
    SourceLineStep found = kSourceLineFound;
    while (made < wanted && (found = NextSourceLine(&source, &line)) == kSourceLineFound) {
        const uint64_t lineIndex = place.LineIndex + source.taken - 1;
        const bool fits = made + pending < wanted;
        const uint32_t slot = made + pending;
        FieldFlaws lineFlaws{};
        char* row = fits ? rows + slot * rowBytes : scratch;
        const RowVerdict verdict = line.overLong ? kRowShort : makeRow(line, slot, row, &lineFlaws);
        if (verdict != kRowData) {
            if (line.overLong)
                ++step.OverLongLines;
            else
                TallyNonDataLine(line.text, line.length, verdict == kRowNoNumber, &step);
            if (place.RowsMade + made == 0) continue;  // the head
            if (pending++ == 0) pendingLine = lineIndex;
            continue;
        }
        if (pending > 0) {
            onRun(NonDataRun{place.RowsMade + made, pendingLine + 1, lineIndex});
            const uint32_t zeros = fits ? pending : wanted - made;
            std::memset(rows + made * rowBytes, 0, zeros * rowBytes);
            made += zeros;
            place.HeldRows = pending - zeros;
            pending = 0;
            if (!fits) {
                PutBackSourceLine(&source, line);
                break;
            }
        }
        flaws.saturated += lineFlaws.saturated;
        flaws.notNumbers += lineFlaws.notNumbers;
        ++step.DataRows;
        ++made;
    }
    step.SaturatedValues = flaws.saturated;
    step.NotNumbers = flaws.notNumbers;
    CloseSourceLines(&source, found, step);
    if (found == kSourceReadFailed) return LineRows{0, true};
    record->Lines.HeldRows = place.HeldRows;
    record->Lines.RowsMade += made;
    return LineRows{made, false};
}

#endif
