#include "platform.h"
#include "platform_common.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EndsWithNoCase(const char* name, const char* suffix) {
    size_t n = std::strlen(name), s = std::strlen(suffix);
    if (s > n) return false;
    for (size_t i = 0; i < s; ++i)
        if (AsciiLower(name[n - s + i]) != AsciiLower(suffix[i])) return false;
    return true;
}

}  // namespace

extern "C" uint32_t PlatFileAttributes(const char* path) {
    struct stat st;
    if (path == nullptr || ::stat(path, &st) != 0) return PLAT_ATTR_INVALID;
    uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= PLAT_ATTR_DIRECTORY;
    if (::access(path, W_OK) != 0) attributes |= PLAT_ATTR_READONLY;
    return attributes == 0 ? PLAT_ATTR_NORMAL : attributes;
}

extern "C" int PlatCreateDirectory(const char* path) {
    if (path == nullptr) return 0;
    if (::mkdir(path, 0777) == 0) return 1;
    return errno == EEXIST && PlatIsDirectory(path);
}

extern "C" int PlatDeleteFile(const char* path) {
    return path != nullptr && ::unlink(path) == 0 ? 1 : 0;
}

extern "C" int PlatFindFirstWithExtension(const char* folder, const char* extension, char* name,
                                          size_t nameSize) {
    if (folder == nullptr || extension == nullptr || name == nullptr || nameSize == 0) return 0;
    DIR* dir = ::opendir(folder[0] ? folder : ".");
    if (dir == nullptr) return 0;
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%s", extension);
    int found = 0;
    while (struct dirent* entry = ::readdir(dir)) {
        if (!EndsWithNoCase(entry->d_name, suffix)) continue;
        size_t length = std::strlen(entry->d_name);
        if (length + 1 > nameSize) continue;
        std::memcpy(name, entry->d_name, length + 1);
        found = 1;
        break;
    }
    ::closedir(dir);
    return found;
}

extern "C" int PlatForEachWithExtension(const char* folder, const char* extension,
                                        int (*visit)(const char* name, void* context),
                                        void* context) {
    if (folder == nullptr || extension == nullptr || visit == nullptr) return 0;
    DIR* dir = ::opendir(folder[0] ? folder : ".");
    if (dir == nullptr) return 0;
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%s", extension);
    while (struct dirent* entry = ::readdir(dir))
        if (EndsWithNoCase(entry->d_name, suffix) && visit(entry->d_name, context) == 0) break;
    ::closedir(dir);
    return 1;
}

extern "C" char PlatPathSeparator(void) { return '/'; }

bool plat_common::ExecutablePath(char* path, size_t size) {
    ssize_t n = ::readlink("/proc/self/exe", path, size - 1);
    if (n <= 0) return false;
    path[n] = '\0';
    return true;
}

extern "C" int PlatIsLeadByte932(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

extern "C" size_t PlatLastErrorText(char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    const int e = errno;
    if (e == 0) return 0;
    std::snprintf(out, size, "%s", std::strerror(e));
    return std::strlen(out);
}
