// The profile functions over bytes: values go in and out exactly as the file
// holds them, whatever code page the system uses.
#include "platform.h"

#include <cstring>
#include <string>

#include "profile_file.h"
#include "profile_text.h"

namespace {

// Loading every setting reads the file thousands of times and saving a
// pattern writes it hundreds of times, each write a durable replacement: a
// hold makes that one read and one write.
struct HeldProfile {
    std::string path;
    std::string text;
    bool readable = false;
    bool changed = false;
    int depth = 0;
};

HeldProfile g_held;

bool IsHeld(const char* path) { return g_held.depth > 0 && g_held.path == path; }

// The file's text: the held copy, or read into scratch; null when unreadable.
const std::string* ProfileText(const char* path, std::string* scratch) {
    if (IsHeld(path)) return g_held.readable ? &g_held.text : nullptr;
    return profile_file::ReadWholeFile(path, scratch) ? scratch : nullptr;
}

}  // namespace

extern "C" int PlatProfileHold(const char* path) {
    if (path == nullptr) return 0;
    if (g_held.depth > 0) {
        if (g_held.path != path) return 0;
        ++g_held.depth;
        return 1;
    }
    g_held.path = path;
    g_held.readable = profile_file::ReadWholeFile(path, &g_held.text);
    g_held.changed = false;
    g_held.depth = 1;
    return 1;
}

extern "C" int PlatProfileRelease(const char* path) {
    if (path == nullptr || !IsHeld(path)) return 1;
    if (--g_held.depth > 0) return 1;
    const bool written = !g_held.changed || profile_file::ReplaceWholeFile(path, g_held.text);
    g_held = HeldProfile();
    return written ? 1 : 0;
}

extern "C" uint32_t PlatProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* out, uint32_t size,
                                      const char* path) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    std::string scratch;
    std::string_view value = defaultValue ? defaultValue : "";
    const std::string* text = section != nullptr && key != nullptr && path != nullptr
                                  ? ProfileText(path, &scratch)
                                  : nullptr;
    std::string_view found;
    if (text != nullptr && profile_text::FindValue(*text, section, key, &found)) value = found;
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
    if (IsHeld(path)) {
        g_held.text = profile_text::Edit(g_held.text, section, key, value);
        g_held.readable = true;
        g_held.changed = true;
        return 1;
    }
    std::string text;
    profile_file::ReadWholeFile(path, &text);
    return profile_file::ReplaceWholeFile(path, profile_text::Edit(text, section, key, value)) ? 1
                                                                                               : 0;
}

extern "C" int PlatProfileHasSection(const char* section, const char* path) {
    std::string scratch;
    const std::string* text = path != nullptr ? ProfileText(path, &scratch) : nullptr;
    if (section == nullptr || text == nullptr) return 0;
    return profile_text::HasSection(*text, section) ? 1 : 0;
}
