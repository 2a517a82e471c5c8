#include "platform.h"
#include "platform_common.h"

#include <cstdio>
#include <cstring>
#include <windows.h>

extern "C" uint32_t PlatFileAttributes(const char* path) {
    if (path == nullptr) return PLAT_ATTR_INVALID;
    DWORD a = GetFileAttributesA(path);
    return a == INVALID_FILE_ATTRIBUTES ? PLAT_ATTR_INVALID : static_cast<uint32_t>(a);
}

extern "C" int PlatCreateDirectory(const char* path) {
    if (path == nullptr) return 0;
    if (CreateDirectoryA(path, nullptr)) return 1;
    return GetLastError() == ERROR_ALREADY_EXISTS && PlatIsDirectory(path);
}

extern "C" int PlatDeleteFile(const char* path) {
    return path != nullptr && DeleteFileA(path) ? 1 : 0;
}

extern "C" int PlatFindFirstWithExtension(const char* folder, const char* extension, char* name,
                                          size_t nameSize) {
    if (folder == nullptr || extension == nullptr || name == nullptr || nameSize == 0) return 0;
    char pattern[MAX_PATH];
    size_t length = std::strlen(folder);
    const char* sep =
        (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/') ? "\\" : "";
    int n = std::snprintf(pattern, sizeof pattern, "%s%s*.%s", folder, sep, extension);
    if (n < 0 || static_cast<size_t>(n) >= sizeof pattern) return 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FindClose(find);
    size_t found = std::strlen(data.cFileName);
    if (found + 1 > nameSize) return 0;
    std::memcpy(name, data.cFileName, found + 1);
    return 1;
}

extern "C" int PlatForEachWithExtension(const char* folder, const char* extension,
                                        int (*visit)(const char* name, void* context),
                                        void* context) {
    if (folder == nullptr || extension == nullptr || visit == nullptr) return 0;
    char pattern[MAX_PATH];
    const size_t length = std::strlen(folder);
    const char* sep =
        (length > 0 && folder[length - 1] != '\\' && folder[length - 1] != '/') ? "\\" : "";
    const int n = std::snprintf(pattern, sizeof pattern, "%s%s*.%s", folder, sep, extension);
    if (n < 0 || static_cast<size_t>(n) >= sizeof pattern) return 0;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 0;
    while (visit(data.cFileName, context) != 0 && FindNextFileA(find, &data)) {
    }
    FindClose(find);
    return 1;
}

extern "C" char PlatPathSeparator(void) { return '\\'; }

bool plat_common::ExecutablePath(char* path, size_t size) {
    // At most MAX_PATH: the ANSI file calls take no longer path.
    const DWORD room = static_cast<DWORD>(size < MAX_PATH ? size : MAX_PATH);
    DWORD n = GetModuleFileNameA(nullptr, path, room);
    return n != 0 && n < room;
}

extern "C" int PlatIsLeadByte932(uint8_t byte) { return IsDBCSLeadByteEx(932, byte) ? 1 : 0; }

extern "C" size_t PlatLastErrorText(char* out, size_t size) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    const DWORD e = GetLastError();
    if (e == 0) return 0;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, e,
                             0, out, static_cast<DWORD>(size), nullptr);
    if (n == 0) n = static_cast<DWORD>(std::snprintf(out, size, "system error %lu", e));
    // The system's texts end with a line end and often a period.
    while (n > 0 && (out[n - 1] == '\r' || out[n - 1] == '\n' || out[n - 1] == '.'))
        out[--n] = '\0';
    return std::strlen(out);
}
