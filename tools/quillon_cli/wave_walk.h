// An independent, bounded walk over the bytes of a wave data file, for the
// inspector: it checks every declared length against the file's real size
// instead of trusting it.
#ifndef QUILLON_CLI_WAVE_WALK_H
#define QUILLON_CLI_WAVE_WALK_H

#include <cstdint>
#include <string>
#include <vector>

struct WalkItem {
    uint64_t offset = 0;
    uint32_t lengthWords = 0;  // as stored (a flow wave mixes words and bytes)
    uint16_t kind = 0;
    uint16_t id = 0;
    uint32_t count = 0;
};

struct WalkGroup {
    uint32_t number = 0;
    uint64_t offset = 0;
    uint32_t lengthWords = 0;
    std::vector<WalkItem> items;
};

struct WalkWave {
    bool present = false;
    uint32_t group = 0;
    uint16_t id = 0;
    uint16_t type = 0;
    uint32_t frames = 0;
    uint32_t interval = 0;
    uint16_t bits = 0;
    uint16_t channels = 0;
    uint32_t frameSize = 0;         // 0 for description-only kinds
    uint64_t bytesAfterHeader = 0;  // what the file really holds after the 32-byte header
};

struct WalkResult {
    std::string error;  // empty when the file is sound
    uint64_t fileSize = 0;
    char magic[5] = {};
    std::string typeName;
    uint16_t declaredGroups = 0;
    std::vector<WalkGroup> groups;
    WalkWave wave;
};

// Bytes of one frame of a flow wave, 0 for a type without frames.
uint32_t FlowFrameSize(uint16_t type, uint16_t bits, uint16_t channels);
const char* ItemKindName(uint16_t kind);
bool IsFlowWaveKind(uint16_t kind);

WalkResult WalkWaveFile(const char* path);

#endif
