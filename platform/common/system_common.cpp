#include <cstring>

#include "platform.h"
#include "platform_common.h"

namespace {

// Large enough for either system's longest path.
constexpr size_t kExecutablePathBytes = 4096;

}  // namespace

extern "C" int PlatFileExists(const char* path) {
    return PlatFileAttributes(path) != PLAT_ATTR_INVALID;
}

extern "C" int PlatIsDirectory(const char* path) {
    uint32_t a = PlatFileAttributes(path);
    return a != PLAT_ATTR_INVALID && (a & PLAT_ATTR_DIRECTORY) != 0;
}

extern "C" int PlatProgramFolder(char* folder, size_t folderSize) {
    if (folder == nullptr || folderSize == 0) return 0;
    char path[kExecutablePathBytes];
    if (!plat_common::ExecutablePath(path, sizeof path)) return 0;
    char* slash = std::strrchr(path, PlatPathSeparator());
    if (slash == nullptr) return 0;
    *slash = '\0';
    size_t length = std::strlen(path);
    if (length + 1 > folderSize) return 0;
    std::memcpy(folder, path, length + 1);
    return 1;
}

namespace plat_common {

size_t BoundedLength(const char* text, size_t size) {
    size_t length = 0;
    while (length < size && text[length] != '\0') ++length;
    return length;
}

size_t CopyWholeUtf8(const char* utf8, size_t length, char* out, size_t outSize) {
    size_t n = length;
    if (n > outSize - 1) {
        n = outSize - 1;
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(out, utf8, n);
    out[n] = '\0';
    return n;
}

}  // namespace plat_common
