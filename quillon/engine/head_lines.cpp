#include "head_lines.h"

#include "field_reader.h"
#include "platform.h"

namespace {

// Walks the listed lines; onLine(index, text, length) returns false to stop.
// Returns the number of lines listed before the walk ended.
template <class OnLine>
int32_t WalkHeadLines(const char* head, int32_t headLength, char* line, OnLine onLine) {
    int32_t listed = 0;
    int32_t at = 0;
    while (at < headLength && listed < kHeadListLineLimit) {
        int32_t kept = 0;
        int32_t examined = 0;
        bool ended = false;
        while (at < headLength && examined < kLineByteLimit) {
            const uint8_t b = static_cast<uint8_t>(head[at]);
            if (b == '\r' || b == '\n') {
                ++at;
                if (b == '\r' && at < headLength && head[at] == '\n') ++at;
                ended = true;
                break;
            }
            if (PlatIsLeadByte932(b) && at + 1 < headLength) {
                if (examined + 2 > kLineByteLimit) break;
                line[kept++] = static_cast<char>(b);
                line[kept++] = head[at + 1];
                at += 2;
                examined += 2;
                continue;
            }
            if (b == '\t')
                line[kept++] = ' ';
            else if (b >= 32 && b <= 127)
                line[kept++] = static_cast<char>(b);
            ++at;
            ++examined;
        }
        // A line the text ends in is not listed.
        if (!ended && at >= headLength) break;
        line[kept] = '\0';
        if (!onLine(listed, line, kept)) return listed + 1;
        ++listed;
    }
    return listed;
}

}  // namespace

extern "C" int32_t HeadListLine(const char* head, int32_t headLength, int32_t lineIndex,
                                char* out) {
    if (out == nullptr) return -1;
    out[0] = '\0';
    if (head == nullptr || lineIndex < 0) return -1;
    char line[kLineByteLimit + 1];
    int32_t found = -1;
    WalkHeadLines(head, headLength, line, [&](int32_t index, const char* text, int32_t length) {
        if (index != lineIndex) return true;
        for (int32_t i = 0; i <= length; ++i) out[i] = text[i];
        found = length;
        return false;
    });
    return found;
}

extern "C" int32_t HeadListLineCount(const char* head, int32_t headLength) {
    if (head == nullptr) return 0;
    char line[kLineByteLimit + 1];
    return WalkHeadLines(head, headLength, line, [](int32_t, const char*, int32_t) { return true; });
}
