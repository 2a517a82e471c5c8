// The profile file's bytes on Windows. The system's own profile calls pass
// values through the system code page, which garbles code page 932 texts on
// any other; these move bytes only. Paths are code page 932 like every other
// text of the record.
#include <windows.h>

#include <string>

#include "../common/profile_file.h"

namespace {

constexpr UINT kPathCodePage = 932;
constexpr DWORD kChunkBytes = 65536;

std::wstring WidePath(const char* path) {
    const int length = MultiByteToWideChar(kPathCodePage, 0, path, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kPathCodePage, 0, path, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

bool WriteAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const size_t left = text.size() - done;
        const DWORD chunk = left < kChunkBytes ? static_cast<DWORD>(left) : kChunkBytes;
        DWORD written = 0;
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != FALSE;
}

}  // namespace

namespace profile_file {

bool ReadWholeFile(const char* path, std::string* text) {
    text->clear();
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[kChunkBytes];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text->append(chunk, got);
    CloseHandle(file);
    return true;
}

bool ReplaceWholeFile(const char* path, const std::string& text) {
    const std::wstring wide = WidePath(path);
    if (wide.empty()) return false;
    const std::wstring temp = wide + L".tmp" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, text);
    const bool closed = CloseHandle(file) != FALSE;
    if (written && closed &&
        MoveFileExW(temp.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

}  // namespace profile_file
