// Arbitrary bytes as a settings file: every lookup and edit must stay inside
// the text, the index of its values must answer as the text does, and an
// edit must leave the other sections readable as before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static const char* const kSections[] = {"SYSTEM", "INITIAL", "ORGCOND0", "EEGPattern1", ""};
    static const char* const kKeys[] = {"MaxCh", "Enable", "Label", "Sens", "="};
    const profile_text::ValueIndex index = profile_text::IndexValues(text);
    for (const char* section : kSections) {
        if (profile_text::HasSection(text, section) !=
            profile_text::HasIndexedSection(index, section))
            std::abort();
        for (const char* key : kKeys) {
            std::string_view value;
            std::string_view indexed;
            const bool found = profile_text::FindValue(text, section, key, &value);
            if (profile_text::FindIndexedValue(index, section, key, &indexed) != found ||
                (found && indexed.data() != value.data()) || (found && indexed != value))
                std::abort();
            if (found) {
                // The value must lie inside the text.
                if (value.data() < text.data() ||
                    value.data() + value.size() > text.data() + text.size())
                    std::abort();
                profile_text::ParseInt(value);
            }
        }
    }
    std::string edited = profile_text::Edit(text, "SYSTEM", "EEGFileNo", "12345");
    std::string_view value;
    if (!profile_text::FindValue(edited, "SYSTEM", "EEGFileNo", &value) || value != "12345")
        std::abort();
    return 0;
}
