#include "edf_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform.h"

namespace ostrel {
namespace {

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string TakeCp932(const char* text, int32_t maxBytes) {
    if (text == nullptr || maxBytes <= 0) return std::string();
    size_t limit = static_cast<size_t>(maxBytes);
    size_t end = 0;
    while (end < limit && text[end] != '\0') {
        if (PlatIsLeadByte932(static_cast<uint8_t>(text[end]))) {
            if (end + 1 >= limit || text[end + 1] == '\0') break;
            end += 2;
        } else {
            end += 1;
        }
    }
    size_t begin = 0;
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::string(text + begin, end - begin);
}

std::string AnnotationText(const std::string& cp932) {
    if (cp932.empty()) return std::string();
    // A cp932 byte never becomes more than three UTF-8 bytes.
    std::vector<char> utf8(cp932.size() * 3 + 1);
    size_t n = PlatCp932ToUtf8(cp932.data(), cp932.size(), utf8.data(), utf8.size());
    std::string out(utf8.data(), n);
    for (char& c : out)
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

bool IsPrintableAscii(const std::string& text) {
    for (char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

std::string HeaderSubfield(const std::string& cp932) {
    if (cp932.empty() || !IsPrintableAscii(cp932)) return "X";
    std::string out = cp932;
    for (char& c : out)
        if (c == ' ') c = '_';
    return out;
}

bool IsValidDate(int32_t year, int32_t month, int32_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int32_t days = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return day <= days;
}

bool IsValidTime(int32_t hour, int32_t minute, int32_t second) {
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::string EdfPlusDate(int32_t year, int32_t month, int32_t day) {
    if (!IsValidDate(year, month, day)) return "X";
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%s-%04d", static_cast<int>(day), kMonths[month - 1],
                  static_cast<int>(year));
    return text;
}

std::string HeaderDate(int32_t year, int32_t month, int32_t day) {
    char text[16];
    if (year >= 1985 && year <= 2084)
        std::snprintf(text, sizeof text, "%02d.%02d.%02d", static_cast<int>(day),
                      static_cast<int>(month), static_cast<int>(year % 100));
    else
        std::snprintf(text, sizeof text, "%02d.%02d.yy", static_cast<int>(day),
                      static_cast<int>(month));
    return text;
}

std::string HeaderTime(int32_t hour, int32_t minute, int32_t second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%02d", static_cast<int>(hour),
                  static_cast<int>(minute), static_cast<int>(second));
    return text;
}

bool FormatMagnitude(double value, std::string& out) {
    if (!(value > 0.0) || value >= 9999999.5) return false;
    for (int decimals = 6; decimals >= 0; --decimals) {
        char text[48];
        int n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (n <= 0 || n > 7) continue;
        std::string s(text, static_cast<size_t>(n));
        if (s.find('.') != std::string::npos) {
            while (s.back() == '0') s.pop_back();
            if (s.back() == '.') s.pop_back();
        }
        double written = std::strtod(s.c_str(), nullptr);
        if (std::fabs(written - value) > value * 1e-3) return false;
        out = s;
        return true;
    }
    return false;
}

std::string Thousandths(int64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(value / 1000),
                  static_cast<long long>(value % 1000));
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string PrefilterText(int32_t lowFilterMilliHz, int32_t highFilterHz, int32_t mainsHz) {
    std::string out;
    auto add = [&out](const std::string& part) {
        if (!out.empty()) out += ' ';
        out += part;
    };
    if (lowFilterMilliHz > 0) add("HP:" + Thousandths(lowFilterMilliHz) + "Hz");
    if (highFilterHz > 0) add("LP:" + std::to_string(highFilterHz) + "Hz");
    if (mainsHz > 0) add("N:" + std::to_string(mainsHz) + "Hz");
    return out;
}

void PutField(std::string& out, const std::string& text, size_t width) {
    size_t n = text.size() < width ? text.size() : width;
    out.append(text, 0, n);
    out.append(width - n, ' ');
}

}  // namespace ostrel
