// Parsing and editing of INI text with the Windows profile rules. Pure
// functions over bytes, so the POSIX profile functions and the fuzz target
// share them.
#ifndef QUILLON_PROFILE_TEXT_H
#define QUILLON_PROFILE_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace profile_text {

// Finds the value of key in section. Returns false when the section or the
// key is missing. The value is trimmed of blanks and one pair of quotes.
bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view* value);

// Every value of a text as FindValue finds it, for many lookups in one
// text: views into the text, so valid while it is unchanged.
struct ValueIndex {
    // By lowercased section name, then lowercased key.
    std::unordered_map<std::string, std::unordered_map<std::string, std::string_view>> sections;
};

ValueIndex IndexValues(std::string_view text);

// FindValue and HasSection over the index of a text.
bool FindIndexedValue(const ValueIndex& index, std::string_view section, std::string_view key,
                      std::string_view* value);
bool HasIndexedSection(const ValueIndex& index, std::string_view section);

// Whether text has a header line for section (names compared as Windows
// does).
bool HasSection(std::string_view text, std::string_view section);

// Profile integer rules: blanks, a sign, decimal digits (or a 0x / 0o / 0b
// prefix); parsing stops at the first other character; wraps on overflow.
int32_t ParseInt(std::string_view value);

// Returns the edited text: the key's value replaced in place, or the key
// appended to its section, or a new section appended. A null value removes
// the key; a null key removes the section. Other lines keep their bytes.
std::string Edit(std::string_view text, std::string_view section, const char* key,
                 const char* value);

}  // namespace profile_text

#endif
