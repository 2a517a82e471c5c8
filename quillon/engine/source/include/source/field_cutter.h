// Internal: the field tokenizer shared by the field readers and the label
// taking. One 256-entry class table per field mode, built once from the
// platform's cp932 lead-byte test, so the inner loop is a table lookup.
#ifndef QUILLON_FIELD_CUTTER_H
#define QUILLON_FIELD_CUTTER_H

#include <stdint.h>

#include <cstring>

#include "source/field_limits.h"

namespace field_cutter {

enum ByteClass : uint8_t {
    kCopy,   // part of the field
    kDrop,   // the apostrophe: consumed, never copied
    kEnd,    // ends the field, more may follow
    kNul,    // the end of the text
    kLead,   // first byte of a double-byte character
    kQuote,  // the double quotation mark: groups, never copied itself
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
    for (;;) {
        if (in[skipped] == ' ')
            skipped += 1;
        else if (in[skipped] == kWideBlankLead && in[skipped + 1] == kWideBlankTrail)
            skipped += 2;
        else
            return skipped;
    }
}

// A quotation mark groups only when another one follows on the line, so a
// lone mark is dropped and ends nothing.
inline bool QuoteCloses(const unsigned char* after) {
    return std::strchr(reinterpret_cast<const char*>(after), '"') != nullptr;
}

// One field, never split: it ends at its delimiter or at the end of the
// text. Its first limit characters are copied into field (2 * limit + 1
// bytes); leftOver (may be null) tells whether more were there. Stores the
// copied length and returns the bytes consumed, negated when the text's
// terminating zero ended the field. Between a pair of quotation marks a
// delimiter is part of the field, and a doubled mark stands for one.
inline int32_t Cut(const ClassTables& tables, int32_t mode, const char* text, char* field,
                   int32_t limit, int32_t* length, bool* leftOver = nullptr) {
    const uint8_t* classes = tables.byMode[mode];
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    int32_t at = mode == kFieldModeBlank ? SkipBlanks(in) : 0;
    int32_t out = 0;
    int32_t kept = 0;
    bool quoted = false;
    bool dropped = false;
    auto keep = [&](int32_t bytes) {
        if (kept < limit) {
            for (int32_t i = 0; i < bytes; ++i) field[out++] = static_cast<char>(in[at + i]);
            ++kept;
        } else {
            dropped = true;
        }
    };
    auto finish = [&](int32_t result) {
        field[out] = '\0';
        *length = out;
        if (leftOver != nullptr) *leftOver = dropped;
        return result;
    };
    for (;;) {
        uint8_t cls = classes[in[at]];
        if (quoted && cls == kEnd) cls = kCopy;
        switch (cls) {
            case kCopy:
                keep(1);
                at += 1;
                break;
            case kDrop: at += 1; break;
            case kQuote:
                if (quoted && in[at + 1] == '"') {
                    keep(1);
                    at += 2;
                } else {
                    quoted = !quoted && QuoteCloses(in + at + 1);
                    at += 1;
                }
                break;
            case kLead:
                // A lead byte without its second byte is dropped with the end.
                if (in[at + 1] == 0) return finish(-(at + 2));
                keep(2);
                at += 2;
                break;
            case kNul: return finish(-(at + 1));
            default:  // kEnd
                return finish(at + 1);
        }
    }
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
    int32_t end = start;
    while (classes[in[end]] == kCopy)
        if (++end - start >= limit) return 0;
    *field = text + start;
    *length = end - start;
    if (classes[in[end]] == kEnd) return end + 1;
    if (classes[in[end]] == kNul) return -(end + 1);
    return 0;
}

// The next field, in place when it is plain, else its first limit
// characters copied into copied (2 * limit + 1 bytes). Returns what Cut
// returns.
inline int32_t NextLineField(const ClassTables& tables, int32_t mode, const char* text,
                             char* copied, int32_t limit, const char** field, int32_t* length,
                             bool* leftOver = nullptr) {
    int32_t used = PlainField(tables, mode, text, limit, field, length);
    if (leftOver != nullptr) *leftOver = false;
    if (used != 0) return used;
    *field = copied;
    return Cut(tables, mode, text, copied, limit, length, leftOver);
}

// Calls onField(field, length) for every field from index bias on, each
// cut to kFieldCharLimit characters, in line order, until it returns false, the line ends or a
// field ends at the end of the line. Modes other than 0..2 give no field.
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
        int32_t used = NextLineField(tables, mode, rest, copied, kFieldCharLimit, &field, &length);
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
