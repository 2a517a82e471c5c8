// Arbitrary bytes as a row list of a montage pattern: the engine's list
// reader and the library's 16-bit one must read the same number of values,
// and the same values in their low 16 bits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bramwick.h"
#include "store/pattern_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int32_t maxCount = data[0] + 1;
    size_t length = size - 1;
    std::unique_ptr<char[]> text(new char[length ? length : 1]);
    std::memcpy(text.get(), data + 1, length);

    int32_t wide[256];
    uint16_t narrow[256];
    int32_t count = ParseRowList(text.get(), static_cast<int32_t>(length), wide, maxCount);
    uint32_t narrowCount =
        ParseNumberList(narrow, text.get(), static_cast<int32_t>(length), maxCount);
    if (count < 0 || count > maxCount || static_cast<uint32_t>(count) != narrowCount) std::abort();
    for (int32_t i = 0; i < count; ++i)
        if (static_cast<uint16_t>(static_cast<uint32_t>(wide[i])) != narrow[i]) std::abort();
    return 0;
}
