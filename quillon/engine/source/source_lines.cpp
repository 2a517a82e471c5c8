#include "source/source_lines.h"

#include <cinttypes>
#include <cstdio>

#include "source/head_lines.h"
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

// The source ended before the size it had at the start: it was cut while
// the run read it, and what follows is lost.
bool EndedEarly(SourceLines* lines) {
    const int64_t end = lines->bufferOffset + lines->got;
    const int64_t expected = lines->record->Lines.SizeAtStart;
    if (!lines->sourceEnds || end >= expected) return false;
    std::snprintf(lines->record->RunErrorText, sizeof lines->record->RunErrorText,
                  "the source ends at byte %" PRId64 ", it held %" PRId64 " bytes at the start",
                  end, expected);
    lines->record->SourceReadFailed = 1;
    return true;
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
    if (EndedEarly(lines)) return kSourceReadFailed;
    if (lines->got == 0) return kSourceLinesEnded;
    lines->buffer[lines->got] = '\0';
    return kSourceLineFound;
}

// Passes over the rest of an over-long line, reading on as far as it runs,
// so that a step never ends inside it.
SourceLineStep SkipOverLongRest(SourceLines* lines) {
    for (;;) {
        const int32_t next = SkipLineRest(lines->buffer, lines->at, lines->got, lines->sourceEnds);
        if (next >= 0) {
            lines->at = next;
            return kSourceLineFound;
        }
        // A CR last in the bytes is read again with the byte after it.
        const bool crLast =
            !lines->sourceEnds && lines->got > 1 && lines->buffer[lines->got - 1] == '\r';
        lines->at = crLast ? lines->got - 1 : lines->got;
        const SourceLineStep refilled = Refill(lines);
        if (refilled == kSourceReadFailed) return refilled;
        if (refilled == kSourceLinesEnded) return kSourceLineFound;
    }
}

SourceLineStep HandOut(SourceLines* lines, const LineSpan& span, SourceLine* line) {
    line->text = lines->buffer + span.start;
    line->length = span.length;
    line->overLong = false;
    line->text[line->length] = '\0';
    ++lines->taken;
    return kSourceLineFound;
}

SourceLineStep HandOutOverLong(SourceLines* lines, LineFind found, SourceLine* line) {
    static char noText[1] = "";
    if (found == kLineOverOpen && SkipOverLongRest(lines) == kSourceReadFailed)
        return kSourceReadFailed;
    *line = SourceLine{noText, 0, true};
    ++lines->taken;
    return kSourceLineFound;
}

}  // namespace

void StartSourceLines(AppRecord* record) {
    const int32_t wanted = record->DataStartLine > 0 ? record->DataStartLine : 0;
    const int64_t offset = HeadLineOffset(record->SourceText, record->SourceTextLength, wanted);
    record->SourceOffset = record->SourceTextOffset + (offset > 0 ? offset : 0);
    const int64_t size = record->SourceFile != nullptr ? PlatFileSize(record->SourceFile) : -1;
    record->Lines = LinePlace{size, offset > 0 ? static_cast<uint64_t>(wanted) : 0, 0, 0};
}

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
            if (found == kLineOverLong || found == kLineOverOpen)
                return HandOutOverLong(lines, found, line);
            if (found != kLineNone) return HandOut(lines, span, line);
        }
        const SourceLineStep refilled = Refill(lines);
        if (refilled != kSourceLineFound) return refilled;
    }
}

bool NextBufferedLine(SourceLines* lines, SourceLine* line) {
    if (lines->at >= lines->got) return false;
    LineSpan span;
    if (FindLine(lines->buffer, lines->at, lines->got, lines->sourceEnds, &span) != kLineComplete)
        return false;
    lines->at = span.next;
    HandOut(lines, span, line);
    return true;
}

void PutBackSourceLine(SourceLines* lines, const SourceLine& line) {
    lines->at = static_cast<int32_t>(line.text - lines->buffer);
    --lines->taken;
}

void CloseSourceLines(SourceLines* lines, SourceLineStep last, const ConversionTally& step) {
    if (last == kSourceReadFailed) return;
    AppRecord* record = lines->record;
    record->SourceOffset = lines->bufferOffset + lines->at;
    record->Lines.LineIndex += lines->taken;
    ConversionTally& tally = record->Tally;
    tally.DataRows += step.DataRows;
    tally.BlankLines += step.BlankLines;
    tally.ShortLines += step.ShortLines;
    tally.NoNumberLines += step.NoNumberLines;
    tally.NulLines += step.NulLines;
    tally.OverLongLines += step.OverLongLines;
    tally.SaturatedValues += step.SaturatedValues;
    tally.NotNumbers += step.NotNumbers;
    tally.ClippedValues += step.ClippedValues;
}
