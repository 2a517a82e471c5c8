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
    // Its values, made on the first lookup after a change: a lookup in the
    // text alone goes over every line before the value.
    profile_text::ValueIndex index;
    bool indexed = false;
    bool readable = false;
    bool changed = false;
    int depth = 0;
};

HeldProfile g_held;

bool IsHeld(const char* path) { return g_held.depth > 0 && g_held.path == path; }

// After the held text is read or changed: the next lookup indexes it anew.
void DropIndex() {
    g_held.index = profile_text::ValueIndex();
    g_held.indexed = false;
}

const profile_text::ValueIndex& HeldIndex() {
    if (!g_held.indexed) {
        g_held.index = profile_text::IndexValues(g_held.text);
        g_held.indexed = true;
    }
    return g_held.index;
}

// The value of key in section of the file at path.
bool FindProfileValue(const char* section, const char* key, const char* path, std::string* scratch,
                      std::string_view* value) {
    if (IsHeld(path))
        return g_held.readable && profile_text::FindIndexedValue(HeldIndex(), section, key, value);
    return profile_file::ReadWholeFile(path, scratch) &&
           profile_text::FindValue(*scratch, section, key, value);
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
    DropIndex();
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
    std::string_view found;
    if (section != nullptr && key != nullptr && path != nullptr &&
        FindProfileValue(section, key, path, &scratch, &found))
        value = found;
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
        DropIndex();
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
    if (section == nullptr || path == nullptr) return 0;
    if (IsHeld(path))
        return g_held.readable && profile_text::HasIndexedSection(HeldIndex(), section) ? 1 : 0;
    std::string text;
    return profile_file::ReadWholeFile(path, &text) && profile_text::HasSection(text, section) ? 1
                                                                                               : 0;
}
