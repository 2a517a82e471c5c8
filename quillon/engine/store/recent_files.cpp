// The recent sources list and its keys in the settings file.
#include "store/recent_files.h"

#include <cstdio>
#include <cstring>

#include "store/profile_io.h"

namespace {

const char kRecentSection[] = "RECENT";

void KeyOf(int32_t index, char* key, size_t size) {
    std::snprintf(key, size, "File%d", static_cast<int>(index + 1));
}

char FoldedByte(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c == '/' ? '\\' : c;
}

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Windows names one file in either case and with either separator; the
// trail byte of a double-byte character is compared as it is.
bool SameFile(const char* a, const char* b) {
    size_t i = 0;
    for (; a[i] != '\0' && b[i] != '\0'; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            if (a[i + 1] == '\0') return true;
            ++i;
            continue;
        }
        if (FoldedByte(a[i]) != FoldedByte(b[i])) return false;
    }
    return a[i] == b[i];
}

int32_t IndexOf(const RecentFiles* list, const char* path) {
    for (int32_t i = 0; i < list->count; ++i)
        if (SameFile(list->paths[i], path)) return i;
    return -1;
}

}  // namespace

extern "C" int32_t AddRecentFile(RecentFiles* list, const char* path) {
    if (list == nullptr || path == nullptr || path[0] == '\0') return 0;
    const size_t length = std::strlen(path);
    if (length >= static_cast<size_t>(kPathSize)) return 0;
    if (list->count < 0 || list->count > kRecentFileCount) list->count = 0;
    int32_t from = IndexOf(list, path);
    if (from < 0) {
        from = list->count < kRecentFileCount ? list->count++ : kRecentFileCount - 1;
    }
    for (int32_t i = from; i > 0; --i)
        std::memcpy(list->paths[i], list->paths[i - 1], sizeof list->paths[i]);
    std::memcpy(list->paths[0], path, length + 1);
    return 1;
}

extern "C" void LoadRecentFileList(RecentFiles* list, const char* settingsPath) {
    if (list == nullptr) return;
    std::memset(list, 0, sizeof *list);
    if (settingsPath == nullptr) return;
    for (int32_t i = 0; i < kRecentFileCount; ++i) {
        char key[16];
        KeyOf(i, key, sizeof key);
        char path[kPathSize] = {};
        profile_io::ReadText(kRecentSection, key, "", path, sizeof path, settingsPath);
        if (path[0] == '\0' || IndexOf(list, path) >= 0) continue;
        std::memcpy(list->paths[list->count++], path, sizeof path);
    }
}

extern "C" void SaveRecentFileList(const RecentFiles* list, const char* settingsPath) {
    if (list == nullptr || settingsPath == nullptr) return;
    const profile_io::ProfileHold hold(settingsPath);
    for (int32_t i = 0; i < kRecentFileCount; ++i) {
        char key[16];
        KeyOf(i, key, sizeof key);
        const char* path = i < list->count ? list->paths[i] : "";
        profile_io::WriteText(kRecentSection, key, path, kPathSize, settingsPath);
    }
}
