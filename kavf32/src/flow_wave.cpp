// Plain frame reads and writes, event edits and the wave's length fields.
#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "api.h"
#include "file_io.h"
#include "flow_frames.h"

namespace kavf {
namespace {

constexpr int32_t kFailed = -1;
constexpr int32_t kUnsupportedLayout = -2;
constexpr int32_t kNothingRead = -3;
constexpr uint64_t kWriteAlignment = 64 * 1024;
constexpr int64_t kMaxFrame = std::numeric_limits<int32_t>::max();

// 0 when the frame operations may run, otherwise their failure value.
int32_t FrameRefusal(const KavfHandle* h, const void* frames, int32_t count) {
    if (h == nullptr || frames == nullptr || count < 0) return kFailed;
    if (h->current != CurrentItem::FlowWave) return kFailed;
    if (!HasFlowWave(*h)) return kUnsupportedLayout;
    return 0;
}

// Converted frames go out in pieces that end on 64 KiB boundaries of the
// file: the page cache then fills whole large pages instead of splitting
// them at every write, which made writing the file cost a third more.
bool WriteConverted(KavfHandle& h, uint64_t offset, const uint8_t* frames, uint64_t count) {
    const uint64_t frameSize = h.frameSize;
    // Not zeroed first: every byte written is converted into it before.
    const size_t chunkSize =
        static_cast<size_t>(std::min(kWriteAlignment + 2 * frameSize, count * frameSize));
    const std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[chunkSize]);
    if (chunk == nullptr) return false;
    const bool wide = h.wideSamples != 0;
    uint64_t held = 0;  // converted bytes not yet written, from offset on
    for (uint64_t done = 0; done < count;) {
        const uint64_t toBoundary = kWriteAlignment - (offset + held) % kWriteAlignment;
        const uint64_t n = std::min({count - done, (toBoundary + frameSize - 1) / frameSize,
                                     (chunkSize - held) / frameSize});
        CopyConverted(chunk.get() + held, frames + done * frameSize, n, h.frameSize, h.recordType,
                      wide);
        held += n * frameSize;
        done += n;
        const uint64_t boundary = (offset + held) / kWriteAlignment * kWriteAlignment;
        const uint64_t out = done == count || boundary <= offset ? held : boundary - offset;
        if (!WriteHere(h, chunk.get(), out)) return false;
        std::memmove(chunk.get(), chunk.get() + out, held - out);
        held -= out;
        offset += out;
    }
    return true;
}

// Writes the wave's group length, item length and frame count for n frames.
int32_t WriteWaveLength(KavfHandle& h, uint32_t n) {
    uint64_t length = kWaveHeaderWords + Mul(h.frameSize, n);
    bool firstOfGroup = h.recordGroup >= 1 && h.recordGroup <= kMaxGroups &&
                        uint64_t{h.recordOffset} == uint64_t{h.groupOffsets[h.recordGroup]} + 4;
    // The group length sits right before the wave only when the wave opens
    // its group; anywhere else those bytes belong to another item.
    if (!firstOfGroup || !FitsOffset(length + 4) || n > kMaxFrame) return kFailed;
    uint8_t lengths[8];
    PutBe32(lengths, static_cast<uint32_t>(length + 4));
    PutBe32(lengths + 4, static_cast<uint32_t>(length));
    if (!WriteAt(h, h.recordOffset - 4, lengths, 8)) return kFailed;
    uint8_t count[4];
    PutBe32(count, n);
    if (!WriteAt(h, uint64_t{h.recordOffset} + 8, count, 4)) return kFailed;
    return static_cast<int32_t>(n);
}

}  // namespace

bool HasFlowWave(const KavfHandle& h) {
    return h.current == CurrentItem::FlowWave && IsFlowWaveType(h.recordType) && h.frameSize != 0;
}

namespace {

// Wide frames of even size are 16-bit words end to end: one run, which the
// compiler makes vector shifts of, where a loop per frame stayed bytewise.
bool WholeWords(uint32_t frameSize, bool wide) { return wide && frameSize % 2 == 0; }

// Each word of in with its bytes swapped into out, which is in or apart from it.
void SwapWords(uint8_t* out, const uint8_t* in, uint64_t bytes) {
    for (uint64_t b = 0; b < bytes; b += 2) {
        uint16_t word;
        std::memcpy(&word, in + b, sizeof word);
        word = static_cast<uint16_t>(word << 8 | word >> 8);
        std::memcpy(out + b, &word, sizeof word);
    }
}

}  // namespace

void ConvertFrames(uint8_t* data, uint64_t frames, uint32_t frameSize, uint16_t type, bool wide) {
    if (WholeWords(frameSize, wide)) return SwapWords(data, data, frames * frameSize);
    bool event = HasEventWord(type);
    if (!wide && !event) return;
    for (uint64_t k = 0; k < frames; ++k) {
        uint8_t* frame = data + k * frameSize;
        uint32_t swapBytes = wide ? frameSize & ~1u : (frameSize >= 2 ? 2 : 0);
        for (uint32_t b = 0; b < swapBytes; b += 2) std::swap(frame[b], frame[b + 1]);
    }
}

void CopyConverted(uint8_t* out, const uint8_t* in, uint64_t frames, uint32_t frameSize,
                   uint16_t type, bool wide) {
    if (WholeWords(frameSize, wide)) return SwapWords(out, in, frames * frameSize);
    std::memcpy(out, in, frames * frameSize);
    ConvertFrames(out, frames, frameSize, type, wide);
}

}  // namespace kavf

using namespace kavf;

KAVF_EXPORT int32_t KAVFAPI WriteKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start,
                                              int32_t count, const void* frames) {
    KavfHandle* h = AccessHandle(handle);
    if (int32_t refusal = FrameRefusal(h, frames, count)) return refusal;
    int64_t first = std::max(start, 0);
    int64_t end = first + count;
    uint64_t offset = FrameOffset(*h, static_cast<uint64_t>(first));
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h->frameSize);
    if (end > kMaxFrame || !FitsOffset(offset + bytes) || !SeekTo(*h, offset)) return kFailed;
    const uint8_t* in = static_cast<const uint8_t*>(frames);
    bool written = (flags & KAVF_FLOW_CONVERT)
                       ? WriteConverted(*h, offset, in, static_cast<uint64_t>(count))
                       : WriteHere(*h, in, bytes);
    if (!written) return kFailed;
    h->frameCount = static_cast<uint32_t>(end);
    h->position = static_cast<uint32_t>(end);
    return static_cast<int32_t>(end);
}

KAVF_EXPORT int32_t KAVFAPI ReadKavfFlowWave(KAVFHANDLE handle, uint32_t flags, int32_t start,
                                             int32_t count, void* frames) {
    KavfHandle* h = AccessHandle(handle);
    if (int32_t refusal = FrameRefusal(h, frames, count)) return refusal;
    int64_t first = std::max(start, 0);
    if (first >= int64_t{h->frameCount}) return 0;
    int64_t end = first + count;
    uint64_t offset = FrameOffset(*h, static_cast<uint64_t>(first));
    uint64_t bytes = Mul(static_cast<uint64_t>(count), h->frameSize);
    if (end > kMaxFrame || !FitsOffset(offset + bytes) || !SeekTo(*h, offset)) return kFailed;
    uint8_t* out = static_cast<uint8_t*>(frames);
    int64_t got = ReadHere(*h, out, bytes);
    if (got <= 0) return kNothingRead;
    uint64_t recorded = Mul(uint64_t{h->frameCount} - static_cast<uint64_t>(first), h->frameSize);
    uint64_t keep = std::min(static_cast<uint64_t>(got), recorded);
    // Frames past the recorded count read as zero, also where the file still
    // holds bytes of frames written before the count was lowered.
    std::memset(out + keep, 0, bytes - keep);
    if (flags & KAVF_FLOW_CONVERT)
        ConvertFrames(out, static_cast<uint64_t>(count), h->frameSize, h->recordType,
                      h->wideSamples != 0);
    return static_cast<int32_t>(end);
}

KAVF_EXPORT int32_t KAVFAPI ChangeKavfFlowEvent(KAVFHANDLE handle, uint32_t event, uint32_t frame) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::FlowWave) return -1;
    if (!HasEventWord(h->recordType)) return -2;
    uint64_t offset = FrameOffset(*h, frame);
    if (!FitsOffset(offset + 2) || !SeekTo(*h, offset)) return -3;
    uint8_t word[2];
    PutBe16(word, event);
    return WriteHere(*h, word, 2) ? 0 : -4;
}

KAVF_EXPORT int32_t KAVFAPI UpdateKavfFlowWave(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::FlowWave) return kFailed;
    return WriteWaveLength(*h, h->position);
}

KAVF_EXPORT int32_t KAVFAPI ClearKavfFlowWave(KAVFHANDLE handle) {
    KavfHandle* h = AccessHandle(handle);
    if (h == nullptr || h->current != CurrentItem::FlowWave) return kFailed;
    h->position = 0;
    return WriteWaveLength(*h, 0);
}
