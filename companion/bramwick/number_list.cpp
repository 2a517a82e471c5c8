// Ordinal 13: comma-separated decimal lists such as "10,20,30," as the
// settings file keeps them, one value per row.
#include "bramwick.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Blanks, an optional sign, decimal digits; anything after the digits is
// ignored. A magnitude beyond 32 bits gives the nearest 32-bit limit.
int32_t ParseListValue(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    int64_t magnitude = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > 2147483648LL) magnitude = 2147483648LL;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL) value = 2147483647LL;
    return static_cast<int32_t>(value);
}

bool HasText(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (!IsBlank(*p)) return true;
    return false;
}

}  // namespace

// Every field that a comma closes is a value, an empty one reading as 0; the
// text after the last comma is a value only when it holds something, so the
// trailing comma of a written list adds nothing.
extern "C" uint32_t COMPANIONAPI ParseNumberList(uint16_t* values, const char* text, int32_t length,
                                                 int32_t maxCount) {
    if (values == nullptr || text == nullptr || length <= 0 || maxCount <= 0) return 0;
    const char* end = text;
    while (end < text + length && *end != '\0') ++end;
    uint32_t count = 0;
    const char* field = text;
    for (const char* p = text; p <= end && count < static_cast<uint32_t>(maxCount); ++p) {
        bool closed = p < end && *p == ',';
        if (!closed && p < end) continue;
        if (closed || HasText(field, p))
            values[count++] =
                static_cast<uint16_t>(static_cast<uint32_t>(ParseListValue(field, p)));
        field = p + 1;
    }
    return count;
}
