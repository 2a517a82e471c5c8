#include "byte_sink.h"

#include <algorithm>
#include <cstring>

#include "file_io.h"

namespace kavf {
namespace {

constexpr uint64_t kStagingBytes = 64 * 1024;

void Flush(ByteSink& sink) {
    if (sink.staged == 0 || sink.failed) return;
    if (!WriteHere(*sink.handle, sink.staging.data(), sink.staged)) sink.failed = true;
    sink.staged = 0;
}

// Room for count more bytes; a record never grows past its declared size.
bool Accept(ByteSink& sink, uint64_t count) {
    if (sink.failed || count == 0) return false;
    if (count > sink.total - sink.written) {
        sink.failed = true;
        return false;
    }
    return true;
}

}  // namespace

bool SinkOpen(ByteSink& sink, KavfHandle& h, Target target, uint64_t offset, uint64_t total) {
    sink.handle = &h;
    sink.target = target;
    sink.next = offset;
    sink.total = total;
    sink.written = 0;
    sink.staged = 0;
    sink.failed = false;
    if (!FitsOffset(offset) || !FitsOffset(offset + total)) return false;
    if (target == Target::Memory) return offset + total <= h.memory.size();
    if (!TryResize(sink.staging, static_cast<size_t>(std::min(total, kStagingBytes)))) return false;
    return SeekTo(h, offset);
}

void SinkPut(ByteSink& sink, const void* bytes, uint64_t count) {
    if (!Accept(sink, count)) return;
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    sink.written += count;
    if (sink.target == Target::Memory) {
        std::memcpy(sink.handle->memory.data() + sink.next, in, count);
        sink.next += count;
        return;
    }
    while (count > 0) {
        uint64_t room = sink.staging.size() - sink.staged;
        uint64_t n = std::min(room, count);
        std::memcpy(sink.staging.data() + sink.staged, in, n);
        sink.staged += n;
        in += n;
        count -= n;
        if (sink.staged == sink.staging.size()) Flush(sink);
    }
}

void SinkPutZeros(ByteSink& sink, uint64_t count) {
    if (!Accept(sink, count)) return;
    sink.written += count;
    if (sink.target == Target::Memory) {
        std::memset(sink.handle->memory.data() + sink.next, 0, count);
        sink.next += count;
        return;
    }
    while (count > 0) {
        uint64_t room = sink.staging.size() - sink.staged;
        uint64_t n = std::min(room, count);
        std::memset(sink.staging.data() + sink.staged, 0, n);
        sink.staged += n;
        count -= n;
        if (sink.staged == sink.staging.size()) Flush(sink);
    }
}

void SinkPutBe16(ByteSink& sink, uint32_t value) {
    uint8_t b[2];
    PutBe16(b, value);
    SinkPut(sink, b, 2);
}

void SinkPutBe32(ByteSink& sink, uint32_t value) {
    uint8_t b[4];
    PutBe32(b, value);
    SinkPut(sink, b, 4);
}

void SinkPutValues(ByteSink& sink, const void* values, uint64_t count, uint32_t width,
                   bool toFileOrder) {
    const uint8_t* in = static_cast<const uint8_t*>(values);
    if (!toFileOrder) {
        SinkPut(sink, in, count * width);
        return;
    }
    // Turned a batch at a time: a put per value cost more than the values.
    constexpr uint64_t kBatchValues = 256;
    const uint32_t bytes = width == 2 ? 2 : 4;
    uint8_t batch[kBatchValues * 4];
    for (uint64_t first = 0; first < count; first += kBatchValues) {
        const uint64_t n = std::min(kBatchValues, count - first);
        for (uint64_t i = 0; i < n; ++i) {
            const uint8_t* value = in + (first + i) * bytes;
            if (bytes == 2) {
                uint16_t v;
                std::memcpy(&v, value, 2);
                PutBe16(batch + 2 * i, v);
            } else {
                uint32_t v;
                std::memcpy(&v, value, 4);
                PutBe32(batch + 4 * i, v);
            }
        }
        SinkPut(sink, batch, n * bytes);
    }
}

bool SinkClose(ByteSink& sink) {
    if (!sink.failed && sink.written < sink.total) SinkPutZeros(sink, sink.total - sink.written);
    if (sink.target == Target::File) Flush(sink);
    return !sink.failed && sink.written == sink.total;
}

}  // namespace kavf
