// Internal: the line readers' fast path. A field of blanks, a sign and
// digits (and a point and digits for calibrated values) directly followed by
// the end of the field, fewer than kValueCharLimit bytes, is read straight
// from the line in one pass. Such a field is plain, so the general path would
// read the same bytes to the same value; anything else takes the general
// path.
#ifndef QUILLON_PLAIN_NUMBER_H
#define QUILLON_PLAIN_NUMBER_H

#include <cfloat>
#include <cstdint>

#include "source/field_cutter.h"

namespace plain_number {

// The digits of a run beyond this are left to the general path, so that the
// mantissa stays exact in 64 bits.
constexpr int32_t kInPlaceDigitLimit = 18;

// The digits at p: appends them to mantissa, adds their count to digits and
// returns the first byte after them. Stops early, returning null, past
// kInPlaceDigitLimit digits.
inline const unsigned char* TakeDigits(const unsigned char* p, uint64_t* mantissa,
                                       int32_t* digits) {
    // Samples have a few digits per run: a plain loop beats wide loads for them.
    // The line ends with a zero byte, which stops the loop.
    uint64_t m = *mantissa;
    int32_t d = *digits;
    for (unsigned v = *p - 48u; v <= 9; v = *++p - 48u) {
        if (++d > kInPlaceDigitLimit) return nullptr;
        m = m * 10 + v;
    }
    *mantissa = m;
    *digits = d;
    return p;
}

struct PlainNumber {
    bool negative;
    uint64_t mantissa;       // all digits, the point left out
    int32_t fractionDigits;  // digits after the point
    int32_t consumed;        // as Cut returns it
};

inline bool ScanPlainNumber(const field_cutter::ClassTables& tables, int32_t mode, const char* text,
                            bool allowPoint, PlainNumber* number) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* start = in + (mode == kFieldModeBlank ? field_cutter::SkipBlanks(in) : 0);
    const unsigned char* p = start;
    while (*p == ' ') ++p;  // kept in the field by modes 0 and 2, skipped by the parser
    // Branch-free: the sign of a sample is as good as random.
    number->negative = *p == '-';
    p += (*p == '-') | (*p == '+');
    uint64_t mantissa = 0;
    int32_t digits = 0;
    p = TakeDigits(p, &mantissa, &digits);
    if (p == nullptr) return false;
    number->fractionDigits = 0;
    if (allowPoint && *p == '.') {
        int32_t integerDigits = digits;
        p = TakeDigits(p + 1, &mantissa, &digits);
        if (p == nullptr) return false;
        number->fractionDigits = digits - integerDigits;
    }
    // Cut copies at most kValueCharLimit characters; leave longer fields to it.
    if (digits == 0 || p - start >= kValueCharLimit) return false;
    uint8_t ending = tables.byMode[mode][*p];
    int32_t consumed = static_cast<int32_t>(p - in) + 1;
    if (ending == field_cutter::kEnd)
        number->consumed = consumed;
    else if (ending == field_cutter::kNul)
        number->consumed = -consumed;
    else
        return false;
    number->mantissa = mantissa;
    return true;
}

inline int32_t SampleInPlace(const field_cutter::ClassTables& tables, int32_t mode,
                             const char* text, int16_t* value, uint8_t* flaw) {
    PlainNumber number;
    if (!ScanPlainNumber(tables, mode, text, false, &number)) return 0;
    // At most 18 digits: saturate exactly as the general path does.
    int64_t magnitude = static_cast<int64_t>(number.mantissa);
    int64_t signedValue = number.negative ? -magnitude : magnitude;
    if (signedValue > INT16_MAX || signedValue < INT16_MIN) {
        signedValue = signedValue > 0 ? INT16_MAX : INT16_MIN;
        *flaw = kValueSaturated;
    }
    *value = static_cast<int16_t>(signedValue);
    return number.consumed;
}

inline int32_t CalibratedInPlace(const field_cutter::ClassTables& tables, int32_t mode,
                                 const char* text, double* value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    PlainNumber number;
    if (!ScanPlainNumber(tables, mode, text, true, &number)) return 0;
    // A mantissa up to 2^53 and a power of ten up to 1e22 are exact doubles,
    // so one division rounds correctly: the double the full parser gives.
    static const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (number.mantissa > (uint64_t{1} << 53)) return 0;
    static const double kSigns[] = {1.0, -1.0};  // a multiplication, not a branch on the sign
    *value = static_cast<double>(number.mantissa) / kPowersOfTen[number.fractionDigits] *
             kSigns[number.negative];
    return number.consumed;
#else
    // Extended-precision arithmetic could round twice: always parse fully.
    (void)tables, (void)mode, (void)text, (void)value;
    return 0;
#endif
}

}  // namespace plain_number

#endif
