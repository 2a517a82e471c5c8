#include "source/source_lines.h"

#include "source/line_walker.h"
#include "store/output_files.h"
#include "platform.h"

namespace {

static_assert(kSourceReadBufferBytes > static_cast<uint32_t>(kSourceReadBytes), "room for a zero");

// Reads up to kSourceReadBytes at offset into the buffer: the count read,
// -1 on failure. A count below the request means the source ends in it,
// unless the read failed after it (readCut).
int32_t ReadAt(SourceLines* lines, int64_t offset) {
    PlatFile file = lines->record->SourceFile;
    lines->sourceEnds = false;
    lines->readCut = false;
    if (PlatFileSeek(file, offset) != offset) return -1;
    int32_t total = 0;
    while (total < kSourceReadBytes) {
        const int32_t got = PlatFileRead(file, lines->buffer + total, kSourceReadBytes - total);
        if (got < 0) {
            lines->readCut = true;
            return total > 0 ? total : -1;
        }
        if (got == 0) {
            lines->sourceEnds = true;
            break;
        }
        total += got;
    }
    return total;
}

SourceLineStep Fail(SourceLines* lines) {
    AppRecord* record = lines->record;
    KeepFailureReason(record->RunErrorText, sizeof record->RunErrorText);
    record->SourceReadFailed = 1;
    return kSourceReadFailed;
}

// The next bytes after those walked. A read that gave bytes but not a
// whole line in them ends the lines.
SourceLineStep Refill(SourceLines* lines) {
    if (lines->got >= 0) {
        if (lines->readCut) return Fail(lines);
        if (lines->sourceEnds || lines->at == 0) return kSourceLinesEnded;
        lines->bufferOffset += lines->at;
    }
    if (lines->record->SourceFile == nullptr) return kSourceLinesEnded;
    lines->at = 0;
    lines->got = ReadAt(lines, lines->bufferOffset);
    if (lines->got < 0) return Fail(lines);
    if (lines->got == 0) return kSourceLinesEnded;
    lines->buffer[lines->got] = '\0';
    return kSourceLineFound;
}

}  // namespace

void OpenSourceLines(AppRecord* record, SourceLines* lines) {
    *lines = SourceLines{
        record, static_cast<char*>(record->ReadBuffer), record->SourceOffset, -1, 0, false, false,
        0};
}

SourceLineStep NextSourceLine(SourceLines* lines, SourceLine* line) {
    for (;;) {
        while (lines->at < lines->got) {
            LineSpan span;
            const LineFind found =
                FindLine(lines->buffer, lines->at, lines->got, lines->sourceEnds, &span);
            if (found == kLineCut) break;  // read again from the line's start
            lines->at = span.next;
            if (found == kLineOverLong) {
                ++lines->overLongLines;  // its first bytes are no line, the rest is read on
            } else if (found != kLineNone) {
                line->text = lines->buffer + span.start;
                line->length = span.length;
                line->text[span.length] = '\0';
                return kSourceLineFound;
            }
        }
        const SourceLineStep refilled = Refill(lines);
        if (refilled != kSourceLineFound) return refilled;
    }
}

void CloseSourceLines(SourceLines* lines, SourceLineStep last, const ConversionTally& step) {
    if (last == kSourceReadFailed) return;
    AppRecord* record = lines->record;
    record->SourceOffset = lines->bufferOffset + lines->at;
    ConversionTally& tally = record->Tally;
    tally.DataRows += step.DataRows;
    tally.BlankLines += step.BlankLines;
    tally.ShortLines += step.ShortLines;
    tally.NulLines += step.NulLines;
    tally.OverLongLines += step.OverLongLines + lines->overLongLines;
    tally.SaturatedValues += step.SaturatedValues;
    tally.NotNumbers += step.NotNumbers;
    tally.ClippedValues += step.ClippedValues;
}
