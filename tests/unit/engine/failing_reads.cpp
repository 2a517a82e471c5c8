#include "failing_reads.h"

#include <cerrno>

namespace {

PlatFile gFailing = nullptr;
int64_t gBytesLeft = 0;

}  // namespace

void FailReadsOf(PlatFile file, int64_t bytesFirst) {
    gFailing = file;
    gBytesLeft = bytesFirst;
}

extern "C" int32_t __real_PlatFileRead(PlatFile file, void* buffer, int32_t count);
extern "C" int32_t __wrap_PlatFileRead(PlatFile file, void* buffer, int32_t count) {
    if (file == nullptr || file != gFailing) return __real_PlatFileRead(file, buffer, count);
    if (gBytesLeft <= 0) {
        errno = EIO;
        return -1;
    }
    const int32_t asked = count < gBytesLeft ? count : static_cast<int32_t>(gBytesLeft);
    const int32_t got = __real_PlatFileRead(file, buffer, asked);
    if (got > 0) gBytesLeft -= got;
    return got;
}
