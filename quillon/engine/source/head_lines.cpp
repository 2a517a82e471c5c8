#include "source/head_lines.h"

#include "source/field_reader.h"
#include "source/line_walker.h"
#include "platform.h"
#include "source/source_reader.h"

namespace {

bool HalfWidthKatakana(uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// The listed form of a line: double-byte characters and half-width katakana
// kept, a TAB as a blank (or kept), other bytes outside 32..127 dropped.
int32_t ListedText(const char* text, int32_t length, bool keepTab, char* out) {
    int32_t kept = 0;
    for (int32_t i = 0; i < length; ++i) {
        const uint8_t b = static_cast<uint8_t>(text[i]);
        if (PlatIsLeadByte932(b)) {
            if (i + 1 < length) {
                out[kept++] = static_cast<char>(b);
                out[kept++] = text[++i];
            }
        } else if (b == '\t') {
            out[kept++] = keepTab ? '\t' : ' ';
        } else if ((b >= 32 && b <= 127) || HalfWidthKatakana(b)) {
            out[kept++] = static_cast<char>(b);
        }
    }
    out[kept] = '\0';
    return kept;
}

// A head shorter than the head size holds the whole source, so its last
// line without a line end is a line, as the runs convert it.
bool HeadHoldsWholeSource(int32_t headLength) { return headLength < kSourceHeadSize; }

}  // namespace

int32_t WalkHeadLines(const char* head, int32_t headLength, int32_t lineLimit,
                      const HeadLineVisitor& onLine) {
    const bool sourceEnds = HeadHoldsWholeSource(headLength);
    int32_t listed = 0;
    int32_t at = 0;
    while (at < headLength && listed < lineLimit) {
        LineSpan line;
        const LineFind found = FindLine(head, at, headLength, sourceEnds, &line);
        if (found == kLineCut || found == kLineNone) break;
        if (!onLine(listed, line)) return listed + 1;
        ++listed;
        if (found == kLineOverOpen) break;  // its end lies beyond the head
        at = line.next;
    }
    return listed;
}

namespace {

int32_t ListLine(const char* head, int32_t headLength, int32_t lineIndex, bool keepTab, char* out) {
    if (out == nullptr) return -1;
    out[0] = '\0';
    if (head == nullptr || lineIndex < 0) return -1;
    int32_t found = -1;
    WalkHeadLines(head, headLength, kHeadListLineLimit, [&](int32_t index, const LineSpan& line) {
        if (index != lineIndex) return true;
        found = ListedText(head + line.start, line.length, keepTab, out);
        return false;
    });
    return found;
}

}  // namespace

extern "C" int32_t HeadListLine(const char* head, int32_t headLength, int32_t lineIndex,
                                char* out) {
    return ListLine(head, headLength, lineIndex, false, out);
}

extern "C" int32_t HeadLabelLine(const char* head, int32_t headLength, int32_t lineIndex,
                                 int32_t mode, char* out) {
    return ListLine(head, headLength, lineIndex, mode == kFieldModeTab, out);
}

extern "C" int32_t HeadListLineCount(const char* head, int32_t headLength) {
    if (head == nullptr) return 0;
    return WalkHeadLines(head, headLength, kHeadListLineLimit,
                         [](int32_t, const LineSpan&) { return true; });
}

int64_t HeadLineOffset(const char* head, int32_t headLength, int32_t lineIndex) {
    if (head == nullptr || lineIndex <= 0) return 0;
    int64_t offset = -1;
    WalkHeadLines(head, headLength, lineIndex + 1, [&](int32_t index, const LineSpan& line) {
        if (index < lineIndex) return true;
        offset = line.start;
        return false;
    });
    return offset;
}

double MeanHeadLineBytes(const char* head, int32_t headLength, int32_t firstLine) {
    int64_t bytes = 0;
    int32_t lines = 0;
    WalkHeadLines(head, headLength, kHeadListLineLimit, [&](int32_t index, const LineSpan& span) {
        if (index >= firstLine && span.next > span.start + span.length) {
            bytes += span.next - span.start;
            ++lines;
        }
        return true;
    });
    return lines > 0 ? static_cast<double>(bytes) / lines : 0.0;
}
