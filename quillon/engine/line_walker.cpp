#include "line_walker.h"

#include <cstring>

#include "field_reader.h"

namespace {

// The first CR or LF of [from, from + span), or null. Two memchr passes
// beat a byte loop on the long lines of many-channel sources.
const char* FindLineEnd(const char* from, int32_t span) {
    const size_t n = static_cast<size_t>(span);
    const char* lf = static_cast<const char*>(std::memchr(from, '\n', n));
    const char* cr =
        static_cast<const char*>(std::memchr(from, '\r', lf != nullptr ? size_t(lf - from) : n));
    return cr != nullptr ? cr : lf;
}

}  // namespace

bool HoldsNoText(const char* text, int32_t length) {
    for (int32_t i = 0; i < length; ++i)
        if (static_cast<uint8_t>(text[i]) > 0x20) return false;
    return true;
}

LineFind FindLine(const char* text, int32_t at, int32_t end, bool sourceEnds, LineSpan* line) {
    const int32_t left = end - at;
    const int32_t span = left < kLineByteLimit ? left : kLineByteLimit;
    *line = LineSpan{at, 0, end};
    if (const char* stop = FindLineEnd(text + at, span)) {
        const int32_t position = static_cast<int32_t>(stop - text);
        line->length = position - at;
        line->next = position + 1;
        if (*stop == '\r') {
            // Whether an LF follows shows only with the next byte.
            if (line->next == end && !sourceEnds) return kLineCut;
            if (line->next < end && text[line->next] == '\n') ++line->next;
        }
        return kLineComplete;
    }
    if (left >= kLineByteLimit) {
        line->length = kLineByteLimit;
        line->next = at + kLineByteLimit;
        return kLineOverLong;
    }
    if (!sourceEnds) return kLineCut;
    line->length = left;
    return HoldsNoText(text + at, left) ? kLineNone : kLineLast;
}
