#include "store/profile_io.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform.h"

namespace profile_io {

int32_t ReadInt(const char* section, const char* key, int32_t fallback, const char* path) {
    return PlatProfileInt(section, key, fallback, path);
}

uint16_t ReadWord(const char* section, const char* key, int32_t fallback, const char* path) {
    return static_cast<uint16_t>(static_cast<uint32_t>(ReadInt(section, key, fallback, path)));
}

uint32_t ReadText(const char* section, const char* key, const char* fallback, char* out,
                  uint32_t size, const char* path) {
    return PlatProfileString(section, key, fallback, out, size, path);
}

void WriteInt(const char* section, const char* key, int32_t value, const char* path) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", static_cast<int>(value));
    PlatWriteProfileString(section, key, text, path);
}

void WriteUnsigned(const char* section, const char* key, uint32_t value, const char* path) {
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
    PlatWriteProfileString(section, key, text, path);
}

void WriteText(const char* section, const char* key, const char* text, size_t width,
               const char* path) {
    const void* end = std::memchr(text, '\0', width);
    size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - text) : width - 1;
    PlatWriteProfileString(section, key, std::string(text, length).c_str(), path);
}

ProfileHold::ProfileHold(const char* path)
    : heldPath(path != nullptr && PlatProfileHold(path) ? path : nullptr) {}

ProfileHold::~ProfileHold() {
    if (heldPath != nullptr) PlatProfileRelease(heldPath);
}

}  // namespace profile_io
