#include "source/source_lines.h"

#include <cinttypes>
#include <cstdio>

#include "source/head_lines.h"
#include "source/line_walker.h"
#include "store/output_files.h"
#include "platform.h"

namespace {

static_assert(kSourceReadHalfBytes > static_cast<uint32_t>(kSourceReadBytes), "room for a zero");

// Reads up to kSourceReadBytes at offset into buffer: the count read, -1 on
// failure. A count below the request means the source ends in it (*ends),
// unless the read failed after it (*cut).
int32_t ReadInto(PlatFile file, int64_t offset, char* buffer, bool* ends, bool* cut) {
    *ends = false;
    *cut = false;
    if (PlatFileSeek(file, offset) != offset) return -1;
    int32_t total = 0;
    while (total < kSourceReadBytes) {
        const int32_t got = PlatFileRead(file, buffer + total, kSourceReadBytes - total);
        if (got < 0) {
            *cut = true;
            return total > 0 ? total : -1;
        }
        if (got == 0) {
            *ends = true;
            break;
        }
        total += got;
    }
    return total;
}

int32_t ReadAt(SourceLines* lines, int64_t offset) {
    return ReadInto(lines->record->SourceFile, offset, lines->buffer, &lines->sourceEnds,
                    &lines->readCut);
}

// The read taken ahead for offset, if there is one: its half becomes the
// one walked.
bool TakeReadAhead(SourceLines* lines, int64_t offset) {
    ReadAhead& ahead = lines->ahead;
    if (ahead.got < 0 || ahead.offset != offset) return false;
    char* walked = lines->buffer;
    lines->buffer = ahead.buffer;
    lines->got = ahead.got;
    lines->sourceEnds = ahead.sourceEnds;
    lines->readCut = false;
    ahead = ReadAhead{walked, 0, -1, false};
    return true;
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
    if (!TakeReadAhead(lines, lines->bufferOffset)) lines->got = ReadAt(lines, lines->bufferOffset);
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
    char* const buffer = static_cast<char*>(record->ReadBuffer);
    *lines = SourceLines{record, buffer, record->SourceOffset,
                         -1,     0,      false,
                         false,  0,      ReadAhead{buffer + kSourceReadHalfBytes, 0, -1, false}};
}

bool WantsReadAhead(const SourceLines* lines) {
    if (lines->got < 0 || lines->sourceEnds || lines->readCut || lines->ahead.got >= 0)
        return false;
    if (lines->at >= lines->got) return true;
    LineSpan span;
    return FindLine(lines->buffer, lines->at, lines->got, false, &span) == kLineCut;
}

void ReadAheadSourceLines(SourceLines* lines) {
    ReadAhead& ahead = lines->ahead;
    ahead.offset = lines->bufferOffset + lines->at;
    bool cut = false;
    ahead.got =
        ReadInto(lines->record->SourceFile, ahead.offset, ahead.buffer, &ahead.sourceEnds, &cut);
    // A failed read is left to the walk, which reads again and tells why.
    if (cut) ahead.got = -1;
    if (ahead.got >= 0) ahead.buffer[ahead.got] = '\0';
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

uint32_t NextBufferedLines(SourceLines* lines, SourceLine* out, uint32_t most) {
    constexpr uint32_t kSpans = 32;
    LineSpan spans[kSpans];
    uint32_t count = 0;
    while (count < most) {
        const uint32_t asked = most - count < kSpans ? most - count : kSpans;
        const uint32_t found = FindWholeLines(lines->buffer, lines->at, lines->got, spans, asked);
        for (uint32_t i = 0; i < found; ++i) HandOut(lines, spans[i], &out[count++]);
        if (found > 0) lines->at = spans[found - 1].next;
        if (found == asked) continue;
        // A line near the end of the bytes, or an unusual one.
        if (!NextBufferedLine(lines, &out[count])) break;
        ++count;
    }
    return count;
}

int64_t WalkOffset(const SourceLines* lines) {
    return lines->got < 0 ? lines->bufferOffset : lines->bufferOffset + lines->at;
}

bool WantsReadOf(const SourceLines* lines, int32_t bytes) {
    if (lines->record->SourceFile == nullptr || lines->sourceEnds || lines->readCut) return false;
    LineSpan span;
    if (lines->got >= 0 && lines->at < lines->got &&
        FindLine(lines->buffer, lines->at, lines->got, false, &span) != kLineCut)
        return false;
    return WalkOffset(lines) + bytes <= lines->record->Lines.SizeAtStart;
}

void TakeOwnRead(SourceLines* lines, int64_t offset, int32_t got, int32_t at, uint32_t count) {
    lines->bufferOffset = offset;
    lines->got = got;
    lines->at = at;
    lines->sourceEnds = false;
    lines->readCut = false;
    lines->taken += count;
    lines->ahead.got = -1;
    lines->buffer[got] = '\0';
}

void ForgetRead(SourceLines* lines, int64_t offset) {
    lines->bufferOffset = offset;
    lines->got = -1;
    lines->at = 0;
    lines->sourceEnds = false;
    lines->readCut = false;
    lines->ahead.got = -1;
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
