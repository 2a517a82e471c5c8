#include "platform.h"
#include "platform_common.h"

#include <climits>
#include <cstring>
#include <vector>
#include <windows.h>

extern "C" size_t PlatCp932ToUtf8(const char* in, size_t inSize, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    out[0] = '\0';
    if (in == nullptr) return 0;
    const size_t length = plat_common::BoundedLength(in, inSize);
    if (length == 0 || length > INT_MAX / 4) return 0;

    int wideLength = MultiByteToWideChar(932, 0, in, static_cast<int>(length), nullptr, 0);
    if (wideLength <= 0) return 0;
    std::vector<wchar_t> wide;
    std::vector<char> utf8;
    try {
        wide.resize(static_cast<size_t>(wideLength));
    } catch (...) {
        return 0;
    }
    MultiByteToWideChar(932, 0, in, static_cast<int>(length), wide.data(), wideLength);
    int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0) return 0;
    try {
        utf8.resize(static_cast<size_t>(utf8Length));
    } catch (...) {
        return 0;
    }
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                        nullptr);

    // The converter fails on a short buffer instead of cutting, so convert
    // everything and keep the whole characters that fit.
    return plat_common::CopyWholeUtf8(utf8.data(), static_cast<size_t>(utf8Length), out, outSize);
}
