// Sequential output of one record, either to the file at an offset or into
// the handle's memory file at the same offset. File output is staged in
// bounded chunks, so records of any declared size never need one buffer.
#ifndef KAVF32_BYTE_SINK_H
#define KAVF32_BYTE_SINK_H

#include <cstdint>
#include <vector>

#include "handle.h"

namespace kavf {

enum class Target { File, Memory };

struct ByteSink {
    KavfHandle* handle;
    Target target;
    uint64_t next;   // memory: offset of the next byte
    uint64_t total;  // bytes the record must have
    uint64_t written;
    std::vector<uint8_t> staging;
    size_t staged;
    bool failed;
};

// Prepares output of total bytes at offset: false when the range leaves the
// 32-bit space or the memory file, the seek fails or no memory is available.
bool SinkOpen(ByteSink& sink, KavfHandle& h, Target target, uint64_t offset, uint64_t total);
void SinkPut(ByteSink& sink, const void* bytes, uint64_t count);
void SinkPutZeros(ByteSink& sink, uint64_t count);
void SinkPutBe16(ByteSink& sink, uint32_t value);
void SinkPutBe32(ByteSink& sink, uint32_t value);
// count values of width 2 or 4 bytes in the caller's order: big-endian when
// toFileOrder is set, otherwise as they are.
void SinkPutValues(ByteSink& sink, const void* values, uint64_t count, uint32_t width,
                   bool toFileOrder);
// Pads with zeros up to the record's size and flushes; true when every byte
// reached its place.
bool SinkClose(ByteSink& sink);

}  // namespace kavf

#endif
