// Arbitrary bytes as a source line, read in every field mode: the tokenizer
// and both number readers must stay inside the line and their buffers, and
// calibrated values must never come out as NaN. The same bytes also make a
// line of short number-like fields, read once as it is and once with an
// empty pair of quotation marks in every field, which keeps the readers from
// reading fields in place: both must give the same values.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "source/field_reader.h"
#include "source/wide_vectors.h"

namespace {

const int32_t kMagnifications[] = {-1000000, -100000, -10000,     -1000,     -100,
                                   -10,      0,       1,          10,        100,
                                   1000,     1000000, 1000000000, INT32_MIN, INT32_MAX};

void Check(bool condition) {
    if (!condition) std::abort();
}

// Walks the whole line field by field as the readers do.
void WalkWithNextField(const char* line, size_t length, int32_t mode, int32_t limit) {
    size_t at = 0;
    for (;;) {
        char field[kFieldBufferSize + 8];
        std::memset(field, 0x55, sizeof field);
        int32_t used = NextField(line + at, field, limit, mode);
        Check(std::memchr(field, '\0', kFieldBufferSize) != nullptr);
        Check(field[kFieldBufferSize] == 0x55);
        if (used == 0) return;
        size_t consumed = static_cast<size_t>(used < 0 ? -used : used);
        Check(at + consumed <= length + 1);
        if (used < 0) return;
        at += consumed;
        if (at >= length) return;
    }
}

// Fields of up to 20 characters from a number-like alphabet, separated by
// commas; quoted puts an empty pair of quotation marks after the leading
// blanks of each field (before them it would stop mode 1 from skipping
// them), which groups nothing.
std::string NumberLine(const uint8_t* data, size_t size, bool quoted) {
    static const char kAlphabet[] = "0123456789.-+ eEdD1234567890.";
    std::string line;
    size_t at = 0;
    while (at < size) {
        size_t length = data[at++] % 21;
        std::string field;
        for (size_t i = 0; i < length && at < size; ++i, ++at)
            field += kAlphabet[data[at] % (sizeof kAlphabet - 1)];
        if (quoted)
            field.insert(field.find_first_not_of(' ') == std::string::npos
                             ? field.size()
                             : field.find_first_not_of(' '),
                         2, '"');
        line += field + ',';
    }
    return line;
}

void CompareReadInPlaceWithCopied(AppRecord* record, const uint8_t* data, size_t size) {
    std::string direct = NumberLine(data, size, false);
    std::string quoted = NumberLine(data, size, true);
    for (int32_t mode = 0; mode <= 2; ++mode) {
        record->DelimitChar = static_cast<uint16_t>(mode);
        int16_t integersDirect[kLineValueLimit], integersQuoted[kLineValueLimit];
        int32_t count = ReadIntegerFields(record, direct.c_str(), integersDirect);
        Check(count == ReadIntegerFields(record, quoted.c_str(), integersQuoted));
        Check(std::memcmp(integersDirect, integersQuoted, sizeof(int16_t) * count) == 0);
        float realsDirect[kLineValueLimit], realsQuoted[kLineValueLimit];
        count = ReadFloatFields(record, direct.c_str(), realsDirect);
        Check(count == ReadFloatFields(record, quoted.c_str(), realsQuoted));
        Check(std::memcmp(realsDirect, realsQuoted, sizeof(float) * count) == 0);
    }
}

// Fields of a minus and up to nine digits or points, mostly plain: the
// whole-line readers take many such lines. About one byte in 32 is one
// they must refuse, in the fields before the values or among them.
std::string SampleLine(const uint8_t* data, size_t size) {
    static const char kAlphabet[] = "0123456789-0123456789+.";
    static const char kUnusual[] = "\"'\t\xB1";
    std::string line = "00:00:00.000";
    for (size_t at = 0; at < size;) {
        const size_t length = data[at++] % 10;
        line += ',';
        for (size_t i = 0; i < length && at < size; ++i, ++at)
            line += data[at] % 32 == 31 ? kUnusual[data[at] / 32 % 4]
                                        : kAlphabet[data[at] % (sizeof kAlphabet - 1)];
    }
    return line;
}

// One kind of value read both ways must agree: values (bit for bit), count
// and flaws.
template <class Value, class ReadWhole, class ReadFields>
void CompareReadings(ReadWhole readWhole, ReadFields readFields) {
    Value whole[kLineValueLimit], fields[kLineValueLimit];
    FieldFlaws wholeFlaws{}, fieldFlaws{};
    const int32_t count = readWhole(whole, &wholeFlaws);
    Check(count == readFields(fields, &fieldFlaws));
    Check(std::memcmp(whole, fields, sizeof(Value) * static_cast<size_t>(count)) == 0);
    Check(wholeFlaws.saturated == fieldFlaws.saturated);
    Check(wholeFlaws.notNumbers == fieldFlaws.notNumbers);
    Check(wholeFlaws.numbers == fieldFlaws.numbers);
}

// The whole line read at once must give what reading it field by field
// gives, for both kinds of value.
void CompareWholeLineWithFields(AppRecord* record, const char* line, size_t length) {
    record->DelimitChar = kFieldModeComma;
    const int32_t size = static_cast<int32_t>(length);
    // Both widths of the whole-line readers.
    for (int32_t wide : {0, 1}) {
        SetWideVectors(wide);
        CompareReadings<int16_t>(
            [&](int16_t* v, FieldFlaws* f) { return ReadIntegerLine(record, line, size, v, f); },
            [&](int16_t* v, FieldFlaws* f) {
                return ReadIntegerFieldsCounted(record, line, v, f);
            });
        CompareReadings<float>(
            [&](float* v, FieldFlaws* f) { return ReadFloatLine(record, line, size, v, f); },
            [&](float* v, FieldFlaws* f) { return ReadFloatFieldsCounted(record, line, v, f); });
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static AppRecord* record = static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord)));
    const int32_t bias = static_cast<int8_t>(data[0]) % 20;
    const int32_t limit = static_cast<int8_t>(data[1]);
    record->OrgDataMag =
        kMagnifications[data[2] % (sizeof kMagnifications / sizeof kMagnifications[0])];
    record->DataLineBias = bias;

    // The line in a buffer of exactly its size, so a read past its end shows.
    size_t length = size - 3;
    std::unique_ptr<char[]> line(new char[length + 1]);
    std::memcpy(line.get(), data + 3, length);
    line[length] = '\0';
    length = std::strlen(line.get());

    for (int32_t mode = -1; mode <= 3; ++mode) {
        WalkWithNextField(line.get(), length, mode, limit);
        record->DelimitChar = static_cast<uint16_t>(mode);
        int16_t integers[kLineValueLimit];
        Check(ReadIntegerFields(record, line.get(), integers) <= kLineValueLimit);
        float reals[kLineValueLimit];
        int32_t count = ReadFloatFields(record, line.get(), reals);
        Check(count <= kLineValueLimit);
        for (int32_t i = 0; i < count; ++i) Check(!std::isnan(reals[i]));
    }
    CompareReadInPlaceWithCopied(record, data + 3, size - 3);
    record->ChannelCount = data[1];
    // The line's bytes up to the input's end: a zero byte among them ends it early.
    CompareWholeLineWithFields(record, line.get(), size - 3);
    const std::string samples = SampleLine(data + 3, size - 3);
    CompareWholeLineWithFields(record, samples.c_str(), samples.size());
    return 0;
}
