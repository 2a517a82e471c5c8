// Internal: the field tokenizer shared by the field readers and the label
// taking. One 256-entry class table per field mode, built once from the
// platform's cp932 lead-byte test, so the inner loop is a table lookup.
#ifndef QUILLON_FIELD_CUTTER_H
#define QUILLON_FIELD_CUTTER_H

#include <stdint.h>

#include "source/field_limits.h"

namespace field_cutter {

enum ByteClass : uint8_t {
    kCopy,  // part of the field
    kDrop,  // quotation marks: consumed, never copied
    kEnd,   // ends the field, more may follow
    kNul,   // the end of the text
    kLead,  // first byte of a double-byte character
};

// The ideographic blank of code page 932.
constexpr unsigned char kWideBlankLead = 0x81;
constexpr unsigned char kWideBlankTrail = 0x40;

struct ClassTables {
    uint8_t byMode[3][256];
    bool isLead[256];
};

const ClassTables& Tables();

// Mode 1: the bytes of blanks before a field, the ideographic (double-byte)
// blank too.
inline int32_t SkipBlanks(const unsigned char* in) {
    int32_t skipped = 0;
    while (skipped < kFieldScanLimit) {
        if (in[skipped] == ' ')
            skipped += 1;
        else if (in[skipped] == kWideBlankLead && in[skipped + 1] == kWideBlankTrail)
            skipped += 2;
        else
            break;
    }
    return skipped;
}

// One field: copies at most limit characters into field (2 * limit + 1
// bytes), stores its length and returns the bytes consumed, negated when the
// text's terminating zero ended it.
inline int32_t Cut(const ClassTables& tables, int32_t mode, const char* text, char* field,
                   int32_t limit, int32_t* length) {
    const uint8_t* classes = tables.byMode[mode];
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    int32_t consumed = mode == kFieldModeBlank ? SkipBlanks(in) : 0;
    int32_t out = 0;
    auto finish = [&](int32_t result) {
        field[out] = '\0';
        *length = out;
        return result;
    };
    while (consumed < kFieldScanLimit) {
        unsigned char b = in[consumed];
        switch (classes[b]) {
            case kCopy:
                field[out++] = static_cast<char>(b);
                consumed += 1;
                break;
            case kDrop: consumed += 1; break;
            case kLead:
                // A lead byte without its second byte is dropped with the end.
                if (in[consumed + 1] == 0) return finish(-(consumed + 2));
                field[out++] = static_cast<char>(b);
                field[out++] = static_cast<char>(in[consumed + 1]);
                consumed += 2;
                break;
            case kNul: return finish(-(consumed + 1));
            default:  // kEnd
                return finish(consumed + 1);
        }
        if (--limit <= 0) break;
    }
    return finish(consumed);
}

// The common field, read in place: single bytes that are all part of it,
// fewer than limit of them, then an end byte or the end of the text. Cut
// would copy exactly these bytes and consume as much. Returns what Cut
// returns, or 0 for any other field.
inline int32_t PlainField(const ClassTables& tables, int32_t mode, const char* text, int32_t limit,
                          const char** field, int32_t* length) {
    const uint8_t* classes = tables.byMode[mode];
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    const int32_t start = mode == kFieldModeBlank ? SkipBlanks(in) : 0;
    if (start >= kFieldScanLimit) return 0;
    int32_t end = start;
    while (classes[in[end]] == kCopy)
        if (++end - start >= limit) return 0;
    if (end >= kFieldScanLimit) return 0;  // Cut would stop at its scan limit
    *field = text + start;
    *length = end - start;
    if (classes[in[end]] == kEnd) return end + 1;
    if (classes[in[end]] == kNul) return -(end + 1);
    return 0;
}

// The next field, in place when it is plain, else copied into copied
// (kFieldBufferSize bytes). Returns what Cut returns.
inline int32_t NextLineField(const ClassTables& tables, int32_t mode, const char* text,
                             char* copied, const char** field, int32_t* length) {
    int32_t used = PlainField(tables, mode, text, kFieldCharLimit, field, length);
    if (used != 0) return used;
    *field = copied;
    return Cut(tables, mode, text, copied, kFieldCharLimit, length);
}

// Calls onField(field, length) for every field from index bias on, in line
// order, until it returns false, the line ends or a field ends at the end of
// the line. Modes other than 0..2 give no field.
template <class OnField>
void WalkLineFields(const char* line, int32_t mode, int32_t bias, OnField onField) {
    if (mode < 0 || mode > 2 || line == nullptr || line[0] == '\0') return;
    const ClassTables& tables = Tables();
    char copied[kFieldBufferSize];
    int32_t index = 0;
    const char* rest = line;
    for (;;) {
        const char* field = nullptr;
        int32_t length = 0;
        int32_t used = NextLineField(tables, mode, rest, copied, &field, &length);
        if (index >= bias) {
            if (!onField(field, length)) return;
        } else {
            ++index;
        }
        if (used <= 0) return;
        rest += used;
        if (*rest == '\0') return;
    }
}

}  // namespace field_cutter

#endif
