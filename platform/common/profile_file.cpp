// The profile functions over bytes: values go in and out exactly as the file
// holds them, whatever code page the system uses.
#include "platform.h"

#include <cstring>
#include <string>

#include "profile_file.h"
#include "profile_text.h"

extern "C" uint32_t PlatProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* out, uint32_t size,
                                      const char* path) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    std::string text;
    std::string_view value = defaultValue ? defaultValue : "";
    if (section != nullptr && key != nullptr && path != nullptr &&
        profile_file::ReadWholeFile(path, &text)) {
        std::string_view found;
        if (profile_text::FindValue(text, section, key, &found)) value = found;
    }
    size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<uint32_t>(n);
}

extern "C" int32_t PlatProfileInt(const char* section, const char* key, int32_t defaultValue,
                                  const char* path) {
    char buffer[64];
    if (PlatProfileString(section, key, "", buffer, sizeof buffer, path) == 0) return defaultValue;
    return profile_text::ParseInt(buffer);
}

extern "C" int PlatWriteProfileString(const char* section, const char* key, const char* value,
                                      const char* path) {
    if (section == nullptr || path == nullptr) return 0;
    std::string text;
    profile_file::ReadWholeFile(path, &text);
    return profile_file::ReplaceWholeFile(path, profile_text::Edit(text, section, key, value)) ? 1
                                                                                               : 0;
}

extern "C" int PlatProfileHasSection(const char* section, const char* path) {
    std::string text;
    if (section == nullptr || path == nullptr || !profile_file::ReadWholeFile(path, &text))
        return 0;
    return profile_text::HasSection(text, section) ? 1 : 0;
}
