// Text rules of EDF+ headers and annotations: the header is printable
// US-ASCII in fixed fields, annotations are UTF-8 inside TALs.
#ifndef OSTREL_EDF_TEXT_H
#define OSTREL_EDF_TEXT_H

#include <cstdint>
#include <string>

namespace ostrel {

// A caller's cp932 text: at most maxBytes bytes, up to its terminator, never
// ending inside a double-byte character, surrounding blanks removed.
std::string TakeCp932(const char* text, int32_t maxBytes);
// UTF-8 for an annotation; control bytes (TAL separators among them) become
// blanks.
std::string AnnotationText(const std::string& cp932);
bool IsPrintableAscii(const std::string& text);
// One subfield of the patient or recording field: blanks become '_'; "X"
// when empty or not printable ASCII.
std::string HeaderSubfield(const std::string& cp932);

bool IsValidDate(int32_t year, int32_t month, int32_t day);
bool IsValidTime(int32_t hour, int32_t minute, int32_t second);
// "02-MAY-1951"; only for valid dates.
std::string EdfPlusDate(int32_t year, int32_t month, int32_t day);
// "dd.mm.yy" with the 1985..2084 clipping; other years give "yy".
std::string HeaderDate(int32_t year, int32_t month, int32_t day);
std::string HeaderTime(int32_t hour, int32_t minute, int32_t second);

// A positive magnitude in at most 7 characters (so that a sign still fits
// the 8-character field), to within 0.1 %; false when impossible.
bool FormatMagnitude(double value, std::string& out);
// "HP:0.3Hz LP:120Hz N:50Hz"; filters that are off are left out.
std::string PrefilterText(int32_t lowFilterMilliHz, int32_t highFilterHz, int32_t mainsHz);
// 300 -> "0.3", 2000 -> "2": a value in thousandths without trailing zeros.
std::string Thousandths(int64_t value);

// Copies text into a field of width bytes, padded with blanks (cut at width).
void PutField(std::string& out, const std::string& text, size_t width);

}  // namespace ostrel

#endif
