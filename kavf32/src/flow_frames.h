// Frame helpers shared by the plain, block and clip frame operations.
#ifndef KAVF32_FLOW_FRAMES_H
#define KAVF32_FLOW_FRAMES_H

#include <cstdint>

#include "handle.h"

namespace kavf {

// True when the handle's current item is a flow wave with a frame layout.
bool HasFlowWave(const KavfHandle& h);
// Swaps between native and file order in place: every 16-bit word of wide
// frames, only the event word of 8-bit frames with one, nothing otherwise.
// A swap never crosses a frame's end (an odd size leaves its last byte), so
// a frame size changed through SetKavfInfo can never carry it past the buffer.
void ConvertFrames(uint8_t* data, uint64_t frames, uint32_t frameSize, uint16_t type, bool wide);
// ConvertFrames of a copy: frames from in into out, which must not overlap.
void CopyConverted(uint8_t* out, const uint8_t* in, uint64_t frames, uint32_t frameSize,
                   uint16_t type, bool wide);
// File offset of frame k, or a value beyond the 32-bit space.
inline uint64_t FrameOffset(const KavfHandle& h, uint64_t frame) {
    return uint64_t{h.dataPosition} + Mul(frame, h.frameSize);
}

}  // namespace kavf

#endif
