#include "source/line_walker.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "source/field_reader.h"
#include "line_ends.h"
#include "wide_line.h"

namespace {

// The first CR or LF of [from, from + span), or null. Every source byte
// passes here once, so it looks at sixteen at a time where it can.
const char* FindLineEnd(const char* from, int32_t span) {
    int32_t at = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 16 <= span; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + at));
        const int hits =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        if (hits != 0) return from + at + __builtin_ctz(static_cast<unsigned>(hits));
    }
#endif
    for (; at < span; ++at)
        if (from[at] == '\r' || from[at] == '\n') return from + at;
    return nullptr;
}

#if defined(__SSE2__)
// The CRs and LFs of from[0..64) as bits.
uint64_t LineEndBits(const char* from) {
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    uint64_t bits = 0;
    for (int32_t part = 0; part < line_ends::kEndBlock / 16; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16 * part));
        const uint32_t hits = static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        bits |= uint64_t{hits} << (16 * part);
    }
    return bits;
}
#endif

}  // namespace

uint32_t FindWholeLines(const char* text, int32_t at, int32_t end, LineSpan* spans, uint32_t most) {
#if defined(__SSE2__)
    if (wide_line::Usable()) return wide_line::FindWholeLines(text, at, end, spans, most);
    return line_ends::FindWholeLinesWith<LineEndBits>(text, at, end, spans, most);
#else
    (void)text, (void)at, (void)end, (void)spans, (void)most;
    return 0;
#endif
}

bool HoldsNoText(const char* text, int32_t length) {
    for (int32_t i = 0; i < length; ++i)
        if (static_cast<uint8_t>(text[i]) > 0x20) return false;
    return true;
}

void TallyNonDataLine(const char* line, int32_t length, bool noNumber, ConversionTally* tally) {
    if (std::memchr(line, '\0', static_cast<size_t>(length)) != nullptr)
        ++tally->NulLines;
    else if (HoldsNoText(line, length))
        ++tally->BlankLines;
    else if (noNumber)
        ++tally->NoNumberLines;
    else
        ++tally->ShortLines;
}

int32_t SkipLineRest(const char* text, int32_t at, int32_t end, bool sourceEnds) {
    const char* stop = FindLineEnd(text + at, end - at);
    if (stop == nullptr) return -1;
    int32_t next = static_cast<int32_t>(stop - text) + 1;
    if (*stop == '\r') {
        if (next == end && !sourceEnds) return -1;
        if (next < end && text[next] == '\n') ++next;
    }
    return next;
}

LineFind FindLine(const char* text, int32_t at, int32_t end, bool sourceEnds, LineSpan* line) {
    const int32_t left = end - at;
    // One byte beyond the limit, so that a line of exactly the limit ends.
    const int32_t span = left <= kLineByteLimit ? left : kLineByteLimit + 1;
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
    if (left > kLineByteLimit) {
        line->length = kLineByteLimit;
        const int32_t next = SkipLineRest(text, at + span, end, sourceEnds);
        if (next < 0) {
            // The rest is cut at a CR whose LF may follow: skip up to the CR.
            const bool crLast = !sourceEnds && text[end - 1] == '\r';
            line->next = crLast ? end - 1 : end;
            return sourceEnds ? kLineOverLong : kLineOverOpen;
        }
        line->next = next;
        return kLineOverLong;
    }
    if (!sourceEnds) return kLineCut;
    line->length = left;
    return HoldsNoText(text + at, left) ? kLineNone : kLineLast;
}
