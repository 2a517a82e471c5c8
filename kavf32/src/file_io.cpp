#include "file_io.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace kavf {
namespace {

// The platform moves at most an int32_t per call.
constexpr uint64_t kChunk = 1u << 30;

}  // namespace

bool SeekTo(KavfHandle& h, uint64_t offset) {
    if (h.file == nullptr || !FitsOffset(offset)) return false;
    return PlatFileSeek(h.file, static_cast<int64_t>(offset)) == static_cast<int64_t>(offset);
}

int64_t ReadHere(KavfHandle& h, void* buffer, uint64_t count) {
    uint8_t* out = static_cast<uint8_t*>(buffer);
    uint64_t done = 0;
    while (done < count) {
        int32_t want = static_cast<int32_t>(std::min(count - done, kChunk));
        int32_t got = PlatFileRead(h.file, out + done, want);
        if (got < 0) return done > 0 ? static_cast<int64_t>(done) : -1;
        done += static_cast<uint64_t>(got);
        if (got < want) break;
    }
    return static_cast<int64_t>(done);
}

int64_t ReadAt(KavfHandle& h, uint64_t offset, void* buffer, uint64_t count) {
    if (!SeekTo(h, offset)) return -1;
    return ReadHere(h, buffer, count);
}

int64_t ReadZeroFilled(KavfHandle& h, uint64_t offset, void* buffer, uint64_t count) {
    int64_t got = ReadAt(h, offset, buffer, count);
    uint64_t kept = got > 0 ? static_cast<uint64_t>(got) : 0;
    if (kept < count) std::memset(static_cast<uint8_t*>(buffer) + kept, 0, count - kept);
    return got;
}

bool WriteHere(KavfHandle& h, const void* buffer, uint64_t count) {
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    uint64_t done = 0;
    while (done < count) {
        int32_t want = static_cast<int32_t>(std::min(count - done, kChunk));
        if (PlatFileWrite(h.file, in + done, want) != want) return false;
        done += static_cast<uint64_t>(want);
    }
    return true;
}

bool WriteAt(KavfHandle& h, uint64_t offset, const void* buffer, uint64_t count) {
    if (!FitsOffset(offset + count)) return false;
    if (!SeekTo(h, offset)) return false;
    return WriteHere(h, buffer, count);
}

bool TryResize(std::vector<uint8_t>& buffer, size_t size) {
    try {
        buffer.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace kavf
