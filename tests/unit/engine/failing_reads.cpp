#include "failing_reads.h"

#include <atomic>
#include <cerrno>

namespace {

std::atomic<PlatFile> gFailing{nullptr};
std::atomic<int64_t> gBytesLeft{0};

// What a read of count bytes of file may still give before reads fail: -1
// once nothing is left. Reads at an offset come from two threads at once.
int32_t Allowed(PlatFile file, int32_t count) {
    if (file == nullptr || file != gFailing.load()) return count;
    int64_t left = gBytesLeft.load();
    int64_t given = 0;
    do {
        if (left <= 0) return -1;
        given = count < left ? count : left;
    } while (!gBytesLeft.compare_exchange_weak(left, left - given));
    return static_cast<int32_t>(given);
}

}  // namespace

void FailReadsOf(PlatFile file, int64_t bytesFirst) {
    gBytesLeft = bytesFirst;
    gFailing = file;
}

extern "C" int32_t __real_PlatFileRead(PlatFile file, void* buffer, int32_t count);
extern "C" int32_t __wrap_PlatFileRead(PlatFile file, void* buffer, int32_t count) {
    const int32_t allowed = Allowed(file, count);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return __real_PlatFileRead(file, buffer, allowed);
}

extern "C" int32_t __real_PlatFileReadAt(PlatFile file, int64_t offset, void* buffer,
                                         int32_t count);
extern "C" int32_t __wrap_PlatFileReadAt(PlatFile file, int64_t offset, void* buffer,
                                         int32_t count) {
    const int32_t allowed = Allowed(file, count);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return __real_PlatFileReadAt(file, offset, buffer, allowed);
}
