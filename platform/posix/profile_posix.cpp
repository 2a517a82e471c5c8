#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "../common/profile_text.h"

namespace {

bool ReadWholeFile(const char* path, std::string* text) {
    text->clear();
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text->append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

// Writes a sibling temporary file and renames it over the target, so readers
// and a crash see either the old or the new settings, never half of them.
bool ReplaceFile(const char* path, const std::string& text) {
    std::string temp = std::string(path) + ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == text.size() && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

}  // namespace

extern "C" uint32_t PlatProfileString(const char* section, const char* key,
                                      const char* defaultValue, char* out, uint32_t size,
                                      const char* path) {
    if (out == nullptr || size == 0) return 0;
    out[0] = '\0';
    std::string text;
    std::string_view value = defaultValue ? defaultValue : "";
    if (section != nullptr && key != nullptr && path != nullptr && ReadWholeFile(path, &text)) {
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
    ReadWholeFile(path, &text);
    return ReplaceFile(path, profile_text::Edit(text, section, key, value)) ? 1 : 0;
}

extern "C" int PlatProfileHasSection(const char* section, const char* path) {
    std::string text;
    if (section == nullptr || path == nullptr || !ReadWholeFile(path, &text)) return 0;
    return profile_text::HasSection(text, section) ? 1 : 0;
}
