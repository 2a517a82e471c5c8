// Cutting a source line into fields and reading its numbers. These run once
// per source line of every conversion, so they allocate nothing.
#ifndef QUILLON_FIELD_READER_H
#define QUILLON_FIELD_READER_H

#include <stdint.h>

#include "source/field_limits.h"
#include "store/app_record.h"

// What became of one value: stored as read, stored at a 16-bit limit, or
// read as far as it was a number (0 when it held none).
enum ValueFlaw : uint8_t {
    kValueWhole = 0,
    kValueSaturated = 1,
    kValueNotNumber = 2,
};

// Flaws among the values of the channels (fields beyond ChannelCount are
// read but not counted).
struct FieldFlaws {
    uint32_t saturated;
    uint32_t notNumbers;
};

extern "C" {

// Copies the next field of text into field (kFieldBufferSize bytes) and
// returns the bytes consumed, negated when the field ended at the text's
// terminating zero; 0 for a mode other than 0..2. limit is the character
// limit, at most kFieldCharLimit.
int32_t NextField(const char* text, char* field, int32_t limit, int32_t mode);

// The fields of a zero-terminated line from field DataLineBias on, as signed
// 16-bit integers (out-of-range values saturate at -32768 and 32767).
// Returns the count stored, at most kLineValueLimit.
int32_t ReadIntegerFields(const AppRecord* record, const char* line, int16_t* values);

// The same as floating-point values scaled by OrgDataMag.
int32_t ReadFloatFields(const AppRecord* record, const char* line, float* values);

// The same, adding the flaws of the channels' values to flaws.
int32_t ReadIntegerFieldsCounted(const AppRecord* record, const char* line, int16_t* values,
                                 FieldFlaws* flaws);
int32_t ReadFloatFieldsCounted(const AppRecord* record, const char* line, float* values,
                               FieldFlaws* flaws);
}

#endif
