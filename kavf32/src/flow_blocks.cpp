// Frame transfers between the file and the ring buffers of a caller's block
// set. Every transfer is checked against the ring size the block set states
// and, where the platform can tell, against the buffer's real size.
#include <algorithm>
#include <cstring>
#include <limits>

#include "api.h"
#include "file_io.h"
#include "flow_frames.h"
#include "system_services.h"

namespace kavf {
namespace {

constexpr int64_t kMaxFrame = std::numeric_limits<int32_t>::max();

struct BlockGuard {
    LockedBlock block{};
    bool locked = false;
    BlockGuard() = default;
    BlockGuard(const BlockGuard&) = delete;
    BlockGuard& operator=(const BlockGuard&) = delete;
    ~BlockGuard() {
        if (locked) UnlockCallerBlock(block);
    }
};

bool LockBlockSet(KAVFMEMORY blockSet, BlockGuard& guard) {
    guard.locked = LockCallerBlock(blockSet, guard.block);
    return guard.locked && guard.block.size >= KAVF_BLOCKSET_BUFFERS;
}

uint16_t BlockSetWord(const BlockGuard& set, size_t offset) {
    uint16_t v;
    std::memcpy(&v, set.block.data + offset, 2);
    return v;
}

uint32_t RingFrames(const BlockGuard& set) {
    uint32_t v;
    std::memcpy(&v, set.block.data + KAVF_BLOCKSET_RING, 4);
    return v;
}

void SetMode(BlockGuard& set, uint16_t mode) {
    std::memcpy(set.block.data + KAVF_BLOCKSET_MODE, &mode, 2);
}

bool LockBuffer(const BlockGuard& set, uint32_t buffer, BlockGuard& guard) {
    size_t entry = KAVF_BLOCKSET_BUFFERS + size_t{KAVF_BLOCKSET_ENTRY} * Low16(buffer);
    if (set.block.size < entry + sizeof(KAVFMEMORY)) return false;
    KAVFMEMORY block;
    std::memcpy(&block, set.block.data + entry, sizeof block);
    guard.locked = LockCallerBlock(block, guard.block);
    return guard.locked;
}

// Frames slot .. slot + count - 1 lie inside the ring and the buffer.
bool SlotsFit(const BlockGuard& set, const BlockGuard& buffer, int64_t slot, int64_t count,
              uint32_t frameSize) {
    if (slot < 0 || count < 0) return false;
    uint64_t end = static_cast<uint64_t>(slot + count);
    return end <= RingFrames(set) && Mul(end, frameSize) <= buffer.block.size;
}

// Start frame of a block or clip operation; an explicit one becomes the
// handle's position before anything is read or written.
int64_t TakeStart(KavfHandle& h, int64_t requested, bool useHandle) {
    if (useHandle) return h.position;
    h.position = static_cast<uint32_t>(std::max<int64_t>(requested, 0));
    return requested;
}

// Reads count frames from frame first into dest, zero-filling what the file
// lacks; the bytes read, or -1 when the read itself failed.
int64_t ReadFramesInto(KavfHandle& h, int64_t first, int64_t count, uint8_t* dest) {
    uint64_t offset = FrameOffset(h, static_cast<uint64_t>(first));
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h.frameSize);
    int64_t got = 0;
    if (FitsOffset(offset + bytes) && SeekTo(h, offset)) got = ReadHere(h, dest, bytes);
    if (got < 0) return -1;
    std::memset(dest + got, 0, bytes - static_cast<uint64_t>(got));
    return got;
}

// Frames before the recording: copies of frame 0 without its event mark.
int32_t ReadPreRoll(KavfHandle& h, int64_t start, int64_t count, uint8_t* dest) {
    uint32_t f = h.frameSize;
    if (h.frameCount == 0 || count == 0) return count == 0 ? 0 : -4;
    if (ReadAt(h, h.dataPosition, dest, f) != f) return -4;
    if (HasEventWord(h.recordType)) dest[0] = dest[1] = 0;
    int64_t copies = std::min(-start, count);
    for (int64_t i = 1; i < copies; ++i) std::memcpy(dest + i * f, dest, f);
    if (count > copies && ReadFramesInto(h, 0, count - copies, dest + copies * f) < 0) return -2;
    return 0;
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT int32_t KAVFAPI ReadKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet,
                                                  uint32_t buffer, int32_t* position,
                                                  int32_t* ringSlot, int32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || position == nullptr || ringSlot == nullptr || !HasFlowWave(*h)) return -1;
    BlockGuard set, buf;
    if (!LockBlockSet(blockSet, set) || BlockSetWord(set, KAVF_BLOCKSET_WAVE_TYPE) != h->recordType)
        return -1;
    int64_t frames = count == 0 ? int64_t{RingFrames(set)} : count;
    SetMode(set, 0);
    if (!LockBuffer(set, buffer, buf)) return -1;
    if (!SlotsFit(set, buf, *ringSlot, frames, h->frameSize)) return -1;
    int64_t start = TakeStart(*h, *position, *position == -1);
    if (start + frames > kMaxFrame) return -1;
    uint8_t* dest = buf.block.data + static_cast<uint64_t>(*ringSlot) * h->frameSize;
    if (start >= 0) {
        if (start >= int64_t{h->frameCount}) return -3;
        if (ReadFramesInto(*h, start, frames, dest) < 0) return -2;
    } else if (int32_t failure = ReadPreRoll(*h, start, frames, dest)) {
        return failure;
    }
    ConvertFrames(dest, static_cast<uint64_t>(frames), h->frameSize, h->recordType,
                  h->wideSamples != 0);
    int64_t next = start + frames;
    h->position = static_cast<uint32_t>(std::max<int64_t>(next, 0));
    *position = static_cast<int32_t>(next);
    int64_t slot = *ringSlot + frames;
    *ringSlot = slot >= int64_t{RingFrames(set)} ? 0 : static_cast<int32_t>(slot);
    return static_cast<int32_t>(frames);
}

KAVF_EXPORT int32_t KAVFAPI WriteKavfFlowWaveBlock(KAVFHANDLE handle, KAVFMEMORY blockSet,
                                                   uint32_t buffer, int32_t firstSlot,
                                                   int32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || !HasFlowWave(*h)) return -1;
    BlockGuard set, buf;
    if (!LockBlockSet(blockSet, set) || !LockBuffer(set, buffer, buf)) return -1;
    if (!SlotsFit(set, buf, firstSlot, count, h->frameSize)) return -1;
    int64_t next = int64_t{h->position} + count;
    uint64_t offset = FrameOffset(*h, h->position);
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h->frameSize);
    const uint8_t* src = buf.block.data + static_cast<uint64_t>(firstSlot) * h->frameSize;
    if (next > kMaxFrame || !WriteAt(*h, offset, src, bytes)) return -2;
    h->position = static_cast<uint32_t>(next);
    return static_cast<int32_t>(next);
}

KAVF_EXPORT int32_t KAVFAPI ReadKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet,
                                                 uint32_t buffer, int32_t start, int32_t* ringSlot,
                                                 int32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || ringSlot == nullptr || !HasFlowWave(*h)) return -1;
    BlockGuard set, buf;
    if (!LockBlockSet(blockSet, set)) return -6;
    SetMode(set, 1);
    if (!LockBuffer(set, buffer, buf) || !SlotsFit(set, buf, *ringSlot, count, h->frameSize))
        return -1;
    int64_t first = TakeStart(*h, start, start < 0);
    if (first >= int64_t{h->frameCount}) return -4;
    int64_t next = first + count;
    uint64_t offset = FrameOffset(*h, static_cast<uint64_t>(first));
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h->frameSize);
    if (next > kMaxFrame || !FitsOffset(offset + bytes) || !SeekTo(*h, offset)) return -3;
    uint8_t* dest = buf.block.data + static_cast<uint64_t>(*ringSlot) * h->frameSize;
    int64_t got = ReadHere(*h, dest, bytes);
    if (got <= 0 && bytes > 0) return -2;
    uint64_t kept = got > 0 ? static_cast<uint64_t>(got) : 0;
    std::memset(dest + kept, 0, bytes - kept);
    h->position = static_cast<uint32_t>(next);
    int64_t slot = *ringSlot + count;
    *ringSlot = slot >= int64_t{RingFrames(set)} ? 0 : static_cast<int32_t>(slot);
    return static_cast<int32_t>(next);
}

KAVF_EXPORT int32_t KAVFAPI WriteKavfFlowWaveClip(KAVFHANDLE handle, KAVFMEMORY blockSet,
                                                  uint32_t buffer, int32_t start, int32_t firstSlot,
                                                  int32_t count) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || !HasFlowWave(*h)) return -1;
    BlockGuard set, buf;
    if (!LockBlockSet(blockSet, set)) return -5;
    if (!LockBuffer(set, buffer, buf) || !SlotsFit(set, buf, firstSlot, count, h->frameSize))
        return -4;
    int64_t first = TakeStart(*h, start, start < 0);
    int64_t next = first + count;
    uint64_t offset = FrameOffset(*h, static_cast<uint64_t>(first));
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h->frameSize);
    if (next > kMaxFrame || !FitsOffset(offset + bytes) || !SeekTo(*h, offset)) return -3;
    const uint8_t* src = buf.block.data + static_cast<uint64_t>(firstSlot) * h->frameSize;
    if (!WriteHere(*h, src, bytes)) return -2;
    h->position = static_cast<uint32_t>(next);
    return static_cast<int32_t>(next);
}
