#include "source/field_reader.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "source/field_cutter.h"
#include "plain_line.h"
#include "plain_number.h"
#include "wide_line.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool OnlyBlanks(const char* p, const char* end) {
    while (p < end && IsSpace(*p)) ++p;
    return p == end;
}

// Blanks, a sign, decimal digits: the nearest 16-bit value. A field with
// anything else after the digits, or none, is no whole number.
int16_t ParseSample(const char* field, int32_t length, uint8_t* flaw) {
    const char* p = field;
    const char* end = field + length;
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    uint64_t magnitude = 0;
    std::from_chars_result parsed = std::from_chars(p, end, magnitude);
    if (parsed.ec == std::errc::invalid_argument) {
        *flaw = kValueNoNumber;
        return 0;
    }
    if (parsed.ec == std::errc::result_out_of_range) magnitude = UINT64_MAX;
    *flaw = OnlyBlanks(parsed.ptr, end) ? kValueWhole : kValueNotNumber;
    const uint64_t limit = negative ? 32768u : 32767u;
    if (magnitude > limit) {
        magnitude = limit;
        if (*flaw == kValueWhole) *flaw = kValueSaturated;
    }
    const int32_t value =
        negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude);
    return static_cast<int16_t>(value);
}

// The decimal exponent of the first significant digit of a number whose
// conversion fell outside the double range: positive means overflow.
int64_t LeadingExponent(const char* mantissa, const char* mantissaEnd, int64_t exponent) {
    int64_t position = 0;  // of the first significant digit after the point: -1, -2, ...
    bool beforePoint = true;
    int64_t integerDigits = 0;
    for (const char* p = mantissa; p < mantissaEnd; ++p) {
        if (*p == '.') {
            beforePoint = false;
            continue;
        }
        if (beforePoint) {
            if (*p != '0' || integerDigits > 0) ++integerDigits;
        } else if (integerDigits == 0) {
            --position;
            if (*p != '0') break;
        }
    }
    return (integerDigits > 0 ? integerDigits - 1 : position) + exponent;
}

// Blanks, a sign, digits with an optional point, an optional exponent
// introduced by e, E, d or D; the longest such prefix; no digits reads as 0.
// A field with anything after that prefix but blanks is no whole number.
double ParseCalibrated(const char* field, int32_t length, uint8_t* flaw) {
    const char* p = field;
    const char* end = field + length;
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* mantissa = p;
    const char* digitsStart = p;
    while (p < end && IsDigit(*p)) ++p;
    bool digits = p > digitsStart;
    if (p < end && *p == '.') {
        digitsStart = ++p;
        while (p < end && IsDigit(*p)) ++p;
        digits = digits || p > digitsStart;
    }
    *flaw = kValueNoNumber;
    if (!digits) return 0.0;
    *flaw = kValueNotNumber;
    const char* mantissaEnd = p;
    int64_t exponent = 0;
    bool fortranExponent = false;
    if (p < end && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
        const char* q = p + 1;
        bool exponentNegative = false;
        if (q < end && (*q == '+' || *q == '-')) exponentNegative = *q++ == '-';
        if (q < end && IsDigit(*q)) {
            for (; q < end && IsDigit(*q); ++q)
                if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
            if (exponentNegative) exponent = -exponent;
            fortranExponent = *p == 'd' || *p == 'D';
            p = q;
        }
    }
    double value = 0.0;
    std::from_chars_result parsed;
    if (fortranExponent) {
        // The number parser knows only 'e': read a copy with the letter changed.
        char number[kValueBufferSize];
        size_t size = static_cast<size_t>(p - mantissa);
        std::memcpy(number, mantissa, size);
        number[mantissaEnd - mantissa] = 'e';
        parsed = std::from_chars(number, number + size, value);
    } else {
        parsed = std::from_chars(mantissa, p, value);
    }
    if (parsed.ec == std::errc::result_out_of_range)
        value = LeadingExponent(mantissa, mantissaEnd, exponent) > 0
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    else if (parsed.ec != std::errc())
        value = 0.0;
    if (OnlyBlanks(p, end)) *flaw = kValueWhole;
    return negative ? -value : value;
}

float ScaleCalibrated(double value, int32_t magnification) {
    double scaled;
    if (magnification >= 0)
        scaled = magnification == 0 ? 0.0 : value * magnification;
    else
        scaled = value / -static_cast<double>(magnification);
    const double largest = std::numeric_limits<float>::max();
    if (scaled > largest) return std::numeric_limits<float>::infinity();
    if (scaled < -largest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(scaled);
}

// The loop of both readers: fields before DataLineBias are skipped, every
// later one gives a value, at most kLineValueLimit. The flaws of the
// channels' values are added to flaws. A field is read whole, so a value is
// read as far as its number goes.
template <class Value, class ReadInPlace, class ReadField>
int32_t ReadValues(const AppRecord* record, const char* line, Value* values, FieldFlaws* flaws,
                   ReadInPlace readInPlace, ReadField readField) {
    const int32_t mode = record->DelimitChar;
    if (mode > 2 || line == nullptr || line[0] == '\0') return 0;
    const field_cutter::ClassTables& tables = field_cutter::Tables();
    const int32_t bias = record->DataLineBias;
    const int32_t counted = record->ChannelCount;
    char copied[kValueBufferSize];
    int32_t index = 0;
    int32_t count = 0;
    uint32_t saturated = 0;
    uint32_t notNumbers = 0;
    uint32_t numbers = 0;
    const char* rest = line;
    for (;;) {
        int32_t used;
        const char* field;
        int32_t length;
        if (index >= bias) {
            uint8_t flaw = kValueWhole;
            used = readInPlace(tables, mode, rest, &values[count], &flaw);
            if (used == 0) {
                bool leftOver = false;
                used = field_cutter::NextLineField(tables, mode, rest, copied, kValueCharLimit,
                                                   &field, &length, &leftOver);
                values[count] = readField(field, length, &flaw);
                if (leftOver && flaw != kValueNoNumber) flaw = kValueNotNumber;
            }
            const uint32_t ofChannel = count < counted;
            saturated += ofChannel & (flaw == kValueSaturated);
            notNumbers += ofChannel & (flaw >= kValueNotNumber);
            numbers += ofChannel & (flaw != kValueNoNumber);
            ++count;
        } else {
            used = field_cutter::NextLineField(tables, mode, rest, copied, kValueCharLimit, &field,
                                               &length);
            ++index;
        }
        if (count == kLineValueLimit || used < 0) break;
        rest += used;
        if (*rest == '\0') break;
    }
    flaws->saturated += saturated;
    flaws->notNumbers += notNumbers;
    flaws->numbers += numbers;
    return count;
}

// The wide reader leaves a field of a minus and eight bytes to the narrow
// one, which takes it.
template <class Value>
int32_t ReadPlainNumbers(const char* line, int32_t length, int32_t bias, Value* values) {
    if (wide_line::Usable()) {
        const int32_t count = wide_line::ReadNumbers(line, length, bias, values);
        if (count != plain_line::kNotPlain) return count;
    }
    return plain_line::ReadNumbers(line, length, bias, values);
}

}  // namespace

extern "C" int32_t NextField(const char* text, char* field, int32_t limit, int32_t mode) {
    if (field == nullptr) return 0;
    field[0] = '\0';
    if (text == nullptr || mode < 0 || mode > 2) return 0;
    if (limit > kFieldCharLimit) limit = kFieldCharLimit;
    if (limit < 1) limit = 1;
    int32_t length = 0;
    return field_cutter::Cut(field_cutter::Tables(), mode, text, field, limit, &length);
}

extern "C" int32_t ReadIntegerFieldsCounted(const AppRecord* record, const char* line,
                                            int16_t* values, FieldFlaws* flaws) {
    if (record == nullptr || values == nullptr || flaws == nullptr) return 0;
    // A lambda rather than the function's address, so the call is inlined.
    return ReadValues(
        record, line, values, flaws,
        [](const field_cutter::ClassTables& tables, int32_t mode, const char* text, int16_t* value,
           uint8_t* flaw) { return plain_number::SampleInPlace(tables, mode, text, value, flaw); },
        [](const char* field, int32_t length, uint8_t* flaw) {
            return ParseSample(field, length, flaw);
        });
}

extern "C" int32_t ReadIntegerLine(const AppRecord* record, const char* line, int32_t length,
                                   int16_t* values, FieldFlaws* flaws) {
    if (record == nullptr || line == nullptr || values == nullptr || flaws == nullptr) return 0;
    if (record->DelimitChar == kFieldModeComma && length > 0 && length <= kLineByteLimit) {
        const int32_t count = wide_line::Usable()
                                  ? wide_line::ReadSamples(line, length, record->DataLineBias,
                                                           record->ChannelCount, values, flaws)
                                  : plain_line::ReadSamples(line, length, record->DataLineBias,
                                                            record->ChannelCount, values, flaws);
        if (count != plain_line::kNotPlain) return count;
    }
    return ReadIntegerFieldsCounted(record, line, values, flaws);
}

extern "C" int32_t ReadFloatLine(const AppRecord* record, const char* line, int32_t length,
                                 float* values, FieldFlaws* flaws) {
    if (record == nullptr || line == nullptr || values == nullptr || flaws == nullptr) return 0;
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    if (record->DelimitChar == kFieldModeComma && length > 0 && length <= kLineByteLimit) {
        int32_t count;
        if (record->OrgDataMag == 1) {
            count = ReadPlainNumbers(line, length, record->DataLineBias, values);
        } else {
            double numbers[kLineValueLimit];
            count = ReadPlainNumbers(line, length, record->DataLineBias, numbers);
            for (int32_t i = 0; i < count; ++i)
                values[i] = ScaleCalibrated(numbers[i], record->OrgDataMag);
        }
        if (count != plain_line::kNotPlain) {
            flaws->numbers +=
                static_cast<uint32_t>(plain_line::ChannelValues(count, record->ChannelCount));
            return count;
        }
    }
#else
    (void)length;  // extended precision could round twice: always read field by field
#endif
    return ReadFloatFieldsCounted(record, line, values, flaws);
}

extern "C" int32_t ReadFloatFieldsCounted(const AppRecord* record, const char* line, float* values,
                                          FieldFlaws* flaws) {
    if (record == nullptr || values == nullptr || flaws == nullptr) return 0;
    const int32_t magnification = record->OrgDataMag;
    return ReadValues(
        record, line, values, flaws,
        [magnification](const field_cutter::ClassTables& tables, int32_t mode, const char* text,
                        float* value, uint8_t*) {
            double parsed = 0.0;
            int32_t used = plain_number::CalibratedInPlace(tables, mode, text, &parsed);
            if (used != 0) *value = ScaleCalibrated(parsed, magnification);
            return used;
        },
        [magnification](const char* field, int32_t length, uint8_t* flaw) {
            return ScaleCalibrated(ParseCalibrated(field, length, flaw), magnification);
        });
}

extern "C" int32_t ReadIntegerFields(const AppRecord* record, const char* line, int16_t* values) {
    FieldFlaws ignored{};
    return ReadIntegerFieldsCounted(record, line, values, &ignored);
}

extern "C" int32_t ReadFloatFields(const AppRecord* record, const char* line, float* values) {
    FieldFlaws ignored{};
    return ReadFloatFieldsCounted(record, line, values, &ignored);
}
