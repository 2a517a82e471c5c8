#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "source/field_reader.h"
#include "source/wide_vectors.h"
#include "scratch_files.h"

namespace {

// The result of NextField and the field it cut.
using Cut = std::pair<int32_t, std::string>;

Cut Next(const std::string& text, int32_t mode, int32_t limit = 30) {
    char field[kFieldBufferSize];
    int32_t result = NextField(text.c_str(), field, limit, mode);
    return {result, field};
}

struct Layout {
    int32_t mode = 0;
    int32_t bias = 0;
    int32_t magnification = 1;
};

std::vector<int16_t> Integers(const std::string& line, Layout layout = {}) {
    RecordPtr record = ZeroRecord();
    record->DelimitChar = static_cast<uint16_t>(layout.mode);
    record->DataLineBias = layout.bias;
    int16_t values[kLineValueLimit];
    int32_t count = ReadIntegerFields(record.get(), line.c_str(), values);
    return std::vector<int16_t>(values, values + count);
}

std::vector<float> Floats(const std::string& line, Layout layout = {}) {
    RecordPtr record = ZeroRecord();
    record->DelimitChar = static_cast<uint16_t>(layout.mode);
    record->DataLineBias = layout.bias;
    record->OrgDataMag = layout.magnification;
    float values[kLineValueLimit];
    int32_t count = ReadFloatFields(record.get(), line.c_str(), values);
    return std::vector<float>(values, values + count);
}

using Ints = std::vector<int16_t>;
using Reals = std::vector<float>;

TEST(NextField, ConsumesTheEndingByteAndNegatesTheEndOfTheText) {
    EXPECT_EQ(Next("ab,cd", 0), (Cut{3, "ab"}));
    EXPECT_EQ(Next("cd", 0), (Cut{-3, "cd"}));
    EXPECT_EQ(Next("", 0), (Cut{-1, ""}));
    EXPECT_EQ(Next("ab", 3), (Cut{0, ""}));
    EXPECT_EQ(Next("ab", -1), (Cut{0, ""}));
}

TEST(NextField, EachModeEndsFieldsAtItsOwnBytes) {
    EXPECT_EQ(Next("a b\tc,d", 0), (Cut{4, "a b"}));  // TAB ends, blank stays
    EXPECT_EQ(Next("a b\tc,d", 1), (Cut{2, "a"}));
    EXPECT_EQ(Next("a b\tc,d", 2), (Cut{4, "a b"}));  // TAB ends, blank stays
    EXPECT_EQ(Next("a b\rc,d", 2), (Cut{6, "a b\rc"}));
    EXPECT_EQ(Next("a\x08"
                   "b",
                   2),
              (Cut{2, "a"}));                         // below 0x09 ends
    EXPECT_EQ(Next("   x  y", 1), (Cut{5, "x"}));     // leading blanks skipped
    EXPECT_EQ(Next("\"a'b\",c", 0), (Cut{6, "ab"}));  // quotation marks dropped
    // Mode 1 skips the wide blank too, but no other double-byte text.
    EXPECT_EQ(Next("\x81\x40 12 3", 1), (Cut{6, "12"}));
    EXPECT_EQ(Next(" \x93\xFA 12", 1), (Cut{4, "\x93\xFA"}));
}

TEST(NextField, SingleHighBytesEndAndDoubleByteCharactersStayWhole) {
    // 0xB1 is a half-width katakana byte, not a lead byte: it ends the field.
    for (int mode = 0; mode < 3; ++mode)
        EXPECT_EQ(Next("12\xB1"
                       "34",
                       mode),
                  (Cut{3, "12"}));
    // A lead byte takes the next byte with it, even a comma.
    EXPECT_EQ(Next("\x93\xFA\x96\x7B,x", 0), (Cut{5, "\x93\xFA\x96\x7B"}));
    EXPECT_EQ(Next("\x81,X,Y", 0), (Cut{4, "\x81,X"}));
    // A lead byte at the very end is no character.
    EXPECT_EQ(Next("AB\x81", 0), (Cut{-4, "AB"}));
}

TEST(NextField, AFieldIsNeverSplitOnlyItsCopyIsCut) {
    std::string wide;
    for (int i = 0; i < 31; ++i) wide += "\x82\xA0";
    EXPECT_EQ(Next(std::string(35, 'A') + ",B", 0), (Cut{36, std::string(30, 'A')}));
    EXPECT_EQ(Next(wide, 0), (Cut{-63, wide.substr(0, 60)})) << "never half a character";
    EXPECT_EQ(Next(std::string(35, 'A'), 0, 1000), (Cut{-36, std::string(30, 'A')}));
    EXPECT_EQ(Next(std::string(5000, ' ') + "7", 0).first, -5002) << "however far it runs";
}

TEST(NextField, PairedQuotationMarksGroup) {
    EXPECT_EQ(Next("\"1,234\",5", 0), (Cut{8, "1,234"}));
    EXPECT_EQ(Next("\"EEG Fp1, ref\" x", 1), (Cut{15, "EEG Fp1, ref"}));
    EXPECT_EQ(Next("\"a\tb\"\tc", 2), (Cut{6, "a\tb"}));
    EXPECT_EQ(Next("\"say \"\"hi\"\"\",x", 0), (Cut{13, "say \"hi\""}));
    EXPECT_EQ(Next("\"\",x", 0), (Cut{3, ""}));
    // A lone mark has no pair: it is dropped and groups nothing.
    EXPECT_EQ(Next("\"1,2", 0), (Cut{3, "1"}));
    EXPECT_EQ(Next("'1,2'", 0), (Cut{3, "1"})) << "apostrophes are only dropped";
}

TEST(ReadIntegerFields, CutsLinesAsTheModesSay) {
    EXPECT_EQ(Integers("  12   34 56\r", {1}), (Ints{12, 34, 56}));
    EXPECT_EQ(Integers("1\t2\t3", {2}), (Ints{1, 2, 3}));
    EXPECT_EQ(Integers("1 2,3", {2}), (Ints{1, 3})) << "mode 2 keeps blanks in a field";
    EXPECT_EQ(Integers("00:00:01,5,6", {0, 1}), (Ints{5, 6}));
    EXPECT_EQ(Integers("1,,3", {0}), (Ints{1, 0, 3}));
    EXPECT_EQ(Integers("1,2,", {0}), (Ints{1, 2}));
    EXPECT_EQ(Integers("1,2\r", {0}), (Ints{1, 2}));
    EXPECT_EQ(Integers(std::string(30, '7'), {0}).size(), 1u);
    EXPECT_EQ(Integers(""), Ints{});
    EXPECT_EQ(Integers("1,2", {5}), Ints{});
    // A long field is read as far as its number goes, the later values keep
    // their channels.
    EXPECT_EQ(Integers(std::string(32, '0') + "7,5"), (Ints{7, 5}));
    EXPECT_EQ(Integers(std::string(3990, ' ') + "123456789012345", {1}), (Ints{32767}));
    EXPECT_EQ(Floats(std::string(34, '0') + "2.5,\"1,5\",2"), (Reals{2.5f, 1.0f, 2.0f}));
}

TEST(ReadIntegerFields, SaturateAtSixteenBitsAndCountWhatIsNotAWholeNumber) {
    EXPECT_EQ(Integers("40000,-5,abc,70000, +12,+-5,-0"), (Ints{32767, -5, 0, 32767, 12, 0, 0}));
    EXPECT_EQ(Integers("99999999999,-99999999999,123456789012345678901234567,-32768,-32769"),
              (Ints{32767, -32768, 32767, -32768, -32768}));

    RecordPtr record = ZeroRecord();
    record->ChannelCount = 8;  // the ninth value is read, not counted
    int16_t values[kLineValueLimit];
    FieldFlaws flaws{};
    const char* line = "40000,-5,abc,-70000, +12 ,+-5,1e3,12.5,junk";
    EXPECT_EQ(ReadIntegerFieldsCounted(record.get(), line, values, &flaws), 9);
    EXPECT_EQ(flaws.saturated, 2u);
    EXPECT_EQ(flaws.notNumbers, 4u) << "abc, +-5, 1e3 and 12.5";
    EXPECT_EQ(values[6], 1);
    flaws = FieldFlaws{};
    float reals[kLineValueLimit];
    EXPECT_EQ(ReadFloatFieldsCounted(record.get(), "1.5, 2 ,nan,1e3,3x,,\"4\",-inf", reals, &flaws),
              8);
    EXPECT_EQ(flaws.notNumbers, 4u) << "nan, 3x, the empty field and -inf";
    EXPECT_EQ(flaws.saturated, 0u) << "calibrated values are clipped when scaled, not here";
}

TEST(ReadIntegerFields, StopsAtTwoHundredFiftySixValues) {
    std::string line;
    for (int i = 0; i < 300; ++i) line += std::to_string(i) + ",";
    Ints values = Integers(line);
    ASSERT_EQ(values.size(), 256u);
    EXPECT_EQ(values[255], 255);
}

TEST(ReadFloatFields, TakesDExponentsAndScalesByTheMagnification) {
    EXPECT_EQ(Floats("0.1,0.2,,0.4\r"), (Reals{0.1f, 0.2f, 0.0f, 0.4f}));
    EXPECT_EQ(Floats(" -123.456, .5,5.,1.5e,2E-1,abc,0x10,inf"),
              (Reals{-123.456f, 0.5f, 5.0f, 1.5f, 0.2f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Floats("1.5e2,1.5D2,1.5d+2", {0, 0, -10}), (Reals{15.0f, 15.0f, 15.0f}));
    EXPECT_EQ(Floats("1.5e2,1.5D2", {0, 0, 1000}), (Reals{150000.0f, 150000.0f}));
    EXPECT_EQ(Floats("1", {0, 0, -3}), (Reals{static_cast<float>(1.0 / 3.0)}));
    EXPECT_EQ(Floats("7,1e999", {0, 0, 0}), (Reals{0.0f, 0.0f}));
}

TEST(ReadFloatFields, OutOfRangeNumbersBecomeInfinityOrZero) {
    Reals values = Floats("1e400,-1e400,1e-400,0.00000e999,1e38", {0, 0, 100});
    ASSERT_EQ(values.size(), 5u);
    EXPECT_TRUE(std::isinf(values[0]) && values[0] > 0);
    EXPECT_TRUE(std::isinf(values[1]) && values[1] < 0);
    EXPECT_EQ(values[2], 0.0f);
    EXPECT_EQ(values[3], 0.0f);
    EXPECT_TRUE(std::isinf(values[4]));  // beyond single precision after scaling
}

// Quotation marks are dropped from a field but keep it from being read in
// place, so the two lines below go through both number readers.
TEST(FieldReaders, ReadInPlaceAndCopiedFieldsAlike) {
    const char* const numbers[] = {"0",
                                   "-0",
                                   "+7",
                                   "12345678",
                                   "123456789",
                                   "-2147483648",
                                   "2147483648",
                                   "00000000000000000123",
                                   "999999999999999999",
                                   "9999999999999999999",
                                   "1.5",
                                   "-0.001",
                                   "123.456",
                                   ".5",
                                   "5.",
                                   "0.1234567890123",
                                   "9007199254740993",
                                   "9007199254740992.5",
                                   "1.00000000000000000001",
                                   "  42",
                                   "3.14159265358979",
                                   "65535.99"};
    std::string direct;
    std::string quoted;
    for (const char* number : numbers) {
        direct += std::string(number) + ",";
        quoted += "\"" + std::string(number) + "\",";
    }
    for (int32_t magnification : {1, -10, 1000}) {
        Layout layout{0, 0, magnification};
        Reals fast = Floats(direct, layout);
        Reals general = Floats(quoted, layout);
        ASSERT_EQ(fast.size(), std::size(numbers));
        EXPECT_EQ(fast, general) << magnification;
    }
    EXPECT_EQ(Integers(direct), Integers(quoted));
    EXPECT_EQ(Integers(direct)[4], 32767);
    // The same numbers at the end of a line, where fewer than eight bytes
    // follow them.
    for (const char* number : numbers) {
        EXPECT_EQ(Floats(std::string("t,") + number, {0, 1}),
                  Floats(std::string("t,\"") + number + "\"", {0, 1}))
            << number;
        EXPECT_EQ(Integers(std::string("t,") + number, {0, 1}),
                  Integers(std::string("t,\"") + number + "\"", {0, 1}))
            << number;
    }
}

// A whole line read at once against the same line read field by field:
// the values (bit for bit), their count and the flaws of the channels must
// agree, for lines the whole-line readers take and for those they leave.
struct LineReading {
    std::string bytes;
    uint32_t saturated, notNumbers, numbers;
    bool operator==(const LineReading& other) const {
        return bytes == other.bytes && saturated == other.saturated &&
               notNumbers == other.notNumbers && numbers == other.numbers;
    }
};

template <class Value, class Reader>
LineReading ReadLine(Reader reader) {
    Value values[kLineValueLimit];
    FieldFlaws flaws{};
    const int32_t count = reader(values, &flaws);
    return {std::string(reinterpret_cast<const char*>(values), sizeof(Value) * count),
            flaws.saturated, flaws.notNumbers, flaws.numbers};
}

void ExpectLineReadAsFields(const std::string& line, int32_t bias, int32_t channels);

// Both widths of the whole-line readers (eight fields at a time where the
// processor can, four otherwise), the default last.
template <class Body>
void ForEachLineWidth(Body body) {
    for (int32_t wide : {0, 1}) {
        SCOPED_TRACE(wide ? "eight fields at a time" : "four fields at a time");
        SetWideVectors(wide);
        body();
    }
}

void ExpectLineReadAsFieldsBothWidths(const std::string& line, int32_t bias, int32_t channels) {
    ForEachLineWidth([&] { ExpectLineReadAsFields(line, bias, channels); });
}

void ExpectLineReadAsFields(const std::string& line, int32_t bias, int32_t channels) {
    RecordPtr record = ZeroRecord();
    AppRecord* r = record.get();
    r->DataLineBias = bias;
    r->ChannelCount = channels;
    const char* text = line.c_str();
    const int32_t length = static_cast<int32_t>(line.size());
    EXPECT_TRUE(ReadLine<int16_t>([&](int16_t* v, FieldFlaws* f) {
                    return ReadIntegerLine(r, text, length, v, f);
                }) == ReadLine<int16_t>([&](int16_t* v, FieldFlaws* f) {
                    return ReadIntegerFieldsCounted(r, text, v, f);
                }))
        << "A/D, bias " << bias << " channels " << channels << ": " << line;
    for (int32_t magnification : {1, -10, 1000}) {
        r->OrgDataMag = magnification;
        EXPECT_TRUE(ReadLine<float>([&](float* v, FieldFlaws* f) {
                        return ReadFloatLine(r, text, length, v, f);
                    }) == ReadLine<float>([&](float* v, FieldFlaws* f) {
                        return ReadFloatFieldsCounted(r, text, v, f);
                    }))
            << "calibrated x" << magnification << ", bias " << bias << ": " << line;
    }
}

TEST(FieldReaders, WholeLineReadsAsFieldByField) {
    const std::string time = "00:00:01.250";
    const char* const lines[] = {
        ",1,-22,333,-4444,5555,-6666,7777,-8888",
        ",32767,32768,-32768,-32769,99999999,-99999999,0,-0",
        ",100000000,1,2,3,4,5,6,7,8,9,10,11,12,13",  // nine digits
        ",00000012,-0000007,1,2,3,4,5,6,7,8,9,10,11,12,13",
        ",+5,1,2,3,4,5,6,7,8,9,10,11,12,13,14",   // a plus sign
        ",-,1,2,3,4,5,6,7,8,9,10,11,12,13,14",    // a sign alone
        ",1,,2,3,4,5,6,7,8,9,10,11,12,13,14",     // an empty field
        ",1, 2,3,4,5,6,7,8,9,10,11,12,13,14",     // a blank in a value
        ",1,2.5,3,4,5,6,7,8,9,10,11,12,13,14",    // a point in a value
        ",1,2,3,4,5,6,7,8,9,10,11,12,13,14,",     // a comma last
        ",1,\"2\",3,4,5,6,7,8,9,10,11,12,13,14",  // quotation marks
        ",1,2\t3,4,5,6,7,8,9,10,11,12,13,14",     // a TAB ends a field too
        ",1,2,3,4,5,6,7,8,9,10,11,12,13,14\xB1",  // a high byte
        ",1,2,3,4,5,6,7,8,9,10,11,12,13,1x4",
        ",1.5,-0.25,.5,5.,-.5,0.00,-0.00,1234567.,.1234567,-99.99,0.1,3.14159,-2.5e3",
        ",1.5,-0.25,.5,5.,-.5,0.00,-0.00,1234567.,.1234567,-99.99,0.1,3.14159,1.2.3",
        ",1.5,-0.25,.,5.,-.5,0.00,-0.00,1234567.,.1234567,-99.99,0.1,3.14159,-2.5",
        ",12345.678,-4.80,72.23,79.64,11.80,-67.71,-84.60,-22.15,63.43,84.94,34.29",
        // a minus and seven bytes, and a minus and eight: the widths part there
        ",-123.504,1234.567,-12.3456,-1234567,12345678,-0.00001,7.5,-8,9.25,-10.125,11",
        ",-123.504,-1234.567,-12.3456,-1234567,-12345678,-0.00001,7.5,-8,9.25,-10.12",
        // every point where the first field has it, among flaws the points hide
        ",1.25,-0.50,2.75,x.25,4.00,5.50,6.25,7.75,8.00,9.25",
        ",1.25,2-.25,-.25,.25,1234.50,-234.50,6.25,7.75,8.00,9.25",
        ",5.,-6.,.,7.,8.,9.,1.,2.,3.,4.,5.",
        ",1.2.5,3.4.5,6.7.8,9.1.2,3.4.5,6.7.8,9.1.2,3.4.5,6.7.8",
    };
    for (const char* rest : lines)
        for (int32_t channels : {0, 3, 8, 40})
            for (int32_t bias : {0, 1, 3})
                ExpectLineReadAsFieldsBothWidths(time + rest, bias, channels);
    // Unusual bytes only in the fields before the values, near the line's
    // start and past its first 32 bytes.
    const std::string values = ",1,-22,333,-4444,5,6,7,8,9,10,11,12,1.5,-2.25";
    const char* const heads[] = {"\"00:00:01.250\"",
                                 "00:00\t01.250",
                                 "00:00:01.250\xB1",
                                 "\"a,b\",00:00:01",
                                 "a-name-of-more-than-32-bytes-here,b'c,00:00:01",
                                 "a-name-of-more-than-32-bytes-here,b\x01"};
    for (const char* head : heads)
        for (int32_t bias : {1, 2, 3}) ExpectLineReadAsFieldsBothWidths(head + values, bias, 8);
    // A zero byte ends the line early; fewer than 16 bytes; too many values.
    ExpectLineReadAsFieldsBothWidths(time + ",1,2,3,4,5,6,7,8" + std::string(1, '\0') + ",9,10", 1,
                                     8);
    ExpectLineReadAsFieldsBothWidths("1,-2,3", 0, 3);
    std::string many = time;
    for (int i = 0; i < 300; ++i) many += "," + std::to_string(i * 37 - 5000);
    for (int32_t bias : {1, 44, 45, 46, 400}) ExpectLineReadAsFieldsBothWidths(many, bias, 256);
    // More commas than a plain line may hold, close to the longest line.
    std::string dense = time;
    for (int i = 0; i < 1700; ++i) dense += i % 7 == 0 ? ",-3" : ",1";
    for (int32_t bias : {1, 1500}) ExpectLineReadAsFieldsBothWidths(dense, bias, 256);
    // Every count of values, so that every group of four ends once.
    std::string growing = time;
    for (int i = 0; i < 12; ++i) {
        growing += "," + std::to_string(i % 2 == 0 ? 40000 - i : -i);
        ExpectLineReadAsFieldsBothWidths(growing, 1, 5);
    }
}

// Calibrated lines read whole at magnification 1 multiply where the general
// path divides: every count of decimals a field's last eight bytes hold,
// digits spread over all they may be, must give the very same floats, at
// both widths (a minus and eight bytes is left to the narrow reader).
TEST(FieldReaders, WholeLineCalibratedFloatsAreTheGeneralPaths) {
    RecordPtr record = ZeroRecord();
    record->DataLineBias = 1;
    record->ChannelCount = 32;
    record->OrgDataMag = 1;
    int32_t differing = 0;
    std::string first;
    ForEachLineWidth([&] {
        for (int32_t decimals = 0; decimals <= 7; ++decimals) {
            for (uint32_t line = 0; line < 3000; ++line) {
                // Odd lines: fields short enough that every point stands
                // alike, the first field unsigned.
                const bool alike = line % 2 == 1;
                const uint32_t range = decimals == 0 ? 100000000u : alike ? 1000000u : 10000000u;
                const uint32_t signedField = alike ? 1 : 0;
                std::string text = "00:00:00.000";
                for (uint32_t v = 0; v < 32; ++v) {
                    const uint32_t digits = (line * 32 + v) * 104729u % range;
                    std::string number = std::to_string(digits);
                    if (decimals > 0) {
                        number.insert(0,
                                      static_cast<size_t>(decimals + 1) -
                                          std::min(number.size(), size_t(decimals + 1)),
                                      '0');
                        number.insert(number.size() - static_cast<size_t>(decimals), 1, '.');
                    }
                    text += (v % 3 == signedField ? ",-" : ",") + number;
                }
                const int32_t length = static_cast<int32_t>(text.size());
                float whole[kLineValueLimit], fields[kLineValueLimit];
                FieldFlaws flaws{};
                const int32_t count =
                    ReadFloatLine(record.get(), text.c_str(), length, whole, &flaws);
                if (count != ReadFloatFieldsCounted(record.get(), text.c_str(), fields, &flaws) ||
                    std::memcmp(whole, fields, sizeof(float) * static_cast<size_t>(count)) != 0) {
                    if (differing++ == 0) first = text;
                }
            }
        }
    });
    EXPECT_EQ(differing, 0) << first;
}

TEST(FieldReaders, WholeLineValuesAreTheNumbersWritten) {
    RecordPtr record = ZeroRecord();
    record->DataLineBias = 1;
    record->ChannelCount = 5;
    const std::string line = "12:00:00.000,7,-120,32768,-40000,00001234,5";
    int16_t values[kLineValueLimit];
    FieldFlaws flaws{};
    ASSERT_EQ(ReadIntegerLine(record.get(), line.data(), static_cast<int32_t>(line.size()), values,
                              &flaws),
              6);
    EXPECT_EQ(Ints(values, values + 6), (Ints{7, -120, 32767, -32768, 1234, 5}));
    EXPECT_EQ(flaws.saturated, 2u);
    EXPECT_EQ(flaws.numbers, 5u);
    EXPECT_EQ(flaws.notNumbers, 0u);
}

}  // namespace
