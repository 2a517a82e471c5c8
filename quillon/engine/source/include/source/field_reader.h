// Cutting a source line into fields and reading its numbers. These run once
// per source line of every conversion, so they allocate nothing.
#ifndef QUILLON_FIELD_READER_H
#define QUILLON_FIELD_READER_H

#include <stdint.h>

#include "source/field_limits.h"
#include "store/app_record.h"

// What became of one value: stored as read, stored at a 16-bit limit, read
// as far as it was a number, or read as 0 because it held no number.
enum ValueFlaw : uint8_t {
    kValueWhole = 0,
    kValueSaturated = 1,
    kValueNotNumber = 2,
    kValueNoNumber = 3,
};

// Flaws among the values of the channels (fields beyond ChannelCount are
// read but not counted), and how many of them held a number at all: a line
// whose channels hold none is no data line.
struct FieldFlaws {
    uint32_t saturated;
    uint32_t notNumbers;  // not whole numbers, no number included
    uint32_t numbers;
    // Left to the row maker: PSG values scaled beyond the file's range. It
    // counts with the line's row, so a line made again counts once.
    uint32_t clipped;
};

extern "C" {

// Copies at most limit characters (at most kFieldCharLimit) of the next
// field of text into field (kFieldBufferSize bytes) and returns the bytes
// consumed up to the field's end, negated when the field ended at the text's
// terminating zero; 0 for a mode other than 0..2.
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

// ReadIntegerFieldsCounted and ReadFloatFieldsCounted for a line of length
// bytes (a zero byte among them ends it early), faster for lines of plain
// numbers.
int32_t ReadIntegerLine(const AppRecord* record, const char* line, int32_t length, int16_t* values,
                        FieldFlaws* flaws);
int32_t ReadFloatLine(const AppRecord* record, const char* line, int32_t length, float* values,
                      FieldFlaws* flaws);
}

#endif
