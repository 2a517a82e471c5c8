#include "platform.h"
#include "platform_common.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

extern "C" size_t PlatCp932ToUtf8(const char* in, size_t inSize, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    out[0] = '\0';
    if (in == nullptr) return 0;
    const size_t length = plat_common::BoundedLength(in, inSize);
    if (length == 0) return 0;

    // One cp932 byte gives at most three UTF-8 bytes.
    std::vector<char> utf8;
    try {
        utf8.resize(length * 3 + 4);
    } catch (...) {
        return 0;
    }
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
    char* source = const_cast<char*>(in);
    size_t sourceLeft = length;
    char* target = utf8.data();
    size_t targetLeft = utf8.size();
    while (sourceLeft > 0) {
        if (iconv(converter, &source, &sourceLeft, &target, &targetLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL) break;
        // An invalid or cut-off sequence: mark it and go on after its first byte.
        *target++ = '?';
        --targetLeft;
        ++source;
        --sourceLeft;
    }
    iconv_close(converter);

    return plat_common::CopyWholeUtf8(utf8.data(), utf8.size() - targetLeft, out, outSize);
}
