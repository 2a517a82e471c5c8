// The file inspector for people who support the product: what a wave data
// file holds, and a clear one-line reason when it is not sound.
#include "inspect.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kavf32.h"
#include "wave_walk.h"

namespace {

constexpr uint32_t kFramesPerRead = 256;

struct FrameRange {
    bool wanted = false;
    uint32_t first = 0;
    uint32_t last = 0;  // inclusive
};

bool ParseUnsigned(const char* begin, const char* end, uint32_t* value) {
    auto result = std::from_chars(begin, end, *value);
    return result.ec == std::errc() && result.ptr == end && begin != end;
}

bool ParseFrameRange(const char* text, FrameRange* range) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr) return false;
    const char* end = text + std::strlen(text);
    range->wanted = ParseUnsigned(text, colon, &range->first) &&
                    ParseUnsigned(colon + 1, end, &range->last) && range->first <= range->last;
    return range->wanted;
}

void PrintStructure(const char* path, const WalkResult& walk, int foundByLibrary,
                    uint32_t typeCode) {
    std::printf("file: %s (%" PRIu64 " bytes)\n", path, walk.fileSize);
    std::printf("magic: %s\n", walk.magic);
    std::printf("type: \"%s\" (file-type code %" PRIu32 ")\n", walk.typeName.c_str(), typeCode);
    std::printf("groups: declared %u, found %zu", walk.declaredGroups, walk.groups.size());
    // The library's check walks on past a flow wave group into its frames.
    if (foundByLibrary != static_cast<int>(walk.groups.size()))
        std::printf(" (the library's group walk counts %d)", foundByLibrary);
    std::printf("\n");
    for (const WalkGroup& group : walk.groups) {
        std::printf("group %" PRIu32 " at offset %" PRIu64 ", %" PRIu32 " words, %zu item%s\n",
                    group.number, group.offset, group.lengthWords, group.items.size(),
                    group.items.size() == 1 ? "" : "s");
        for (const WalkItem& item : group.items)
            std::printf(
                "  id %u (0x%04X): %s (kind 0x%04X), %" PRIu32 " elements, %" PRIu32 " words\n",
                item.id, item.id, ItemKindName(item.kind), item.kind, item.count, item.lengthWords);
    }
}

void PrintWave(const WalkWave& wave) {
    std::printf("flow wave: group %" PRIu32
                " id %u, type 0x%04X, %u channels, %u bits, "
                "interval %" PRIu32 " us, %" PRIu32 " frames, frame size %" PRIu32 " bytes\n",
                wave.group, wave.id, wave.type, wave.channels, wave.bits, wave.interval,
                wave.frames, wave.frameSize);
    uint64_t unaccounted = wave.bytesAfterHeader - uint64_t{wave.frameSize} * wave.frames;
    if (wave.frameSize != 0 && unaccounted >= wave.frameSize)
        std::printf("note: %" PRIu64 " bytes after the last declared frame (wave not closed?)\n",
                    unaccounted);
}

// Frames in the caller's native layout, as the library hands them out.
int PrintFrames(KAVFHANDLE handle, const WalkWave& wave, const FrameRange& range) {
    if (range.last >= wave.frames) {
        std::fprintf(stderr,
                     "quillon-cli: frames %" PRIu32 ":%" PRIu32 " are outside the wave's %" PRIu32
                     " frames\n",
                     range.first, range.last, wave.frames);
        return 1;
    }
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    if (ReadKavfWaveInfo(handle, static_cast<uint16_t>(wave.group), wave.id, &info) == 0) {
        std::fprintf(stderr, "quillon-cli: the library cannot read the flow wave description\n");
        return 1;
    }
    const bool event = wave.type == 0x0202 || wave.type == 0x0204;
    const bool wide = wave.bits > 8 || wave.type == 0x0204;
    std::vector<uint8_t> buffer(size_t{wave.frameSize} * kFramesPerRead);
    for (uint32_t start = range.first; start <= range.last;) {
        uint32_t count =
            range.last - start + 1 < kFramesPerRead ? range.last - start + 1 : kFramesPerRead;
        int32_t result = ReadKavfFlowWave(handle, 1, static_cast<int32_t>(start),
                                          static_cast<int32_t>(count), buffer.data());
        if (result <= 0) {
            std::fprintf(stderr, "quillon-cli: reading frame %" PRIu32 " failed (%" PRId32 ")\n",
                         start, result);
            return 1;
        }
        for (uint32_t k = 0; k < count; ++k) {
            const uint8_t* frame = buffer.data() + size_t{k} * wave.frameSize;
            std::printf("frame %" PRIu32 ":", start + k);
            size_t pos = 0;
            if (event) {
                uint16_t word;
                std::memcpy(&word, frame, 2);
                std::printf(" event %u |", word);
                pos = 2;
            }
            for (uint32_t c = 0; c < wave.channels; ++c) {
                if (wide) {
                    int16_t sample;
                    std::memcpy(&sample, frame + pos + 2 * c, 2);
                    std::printf(" %d", sample);
                } else {
                    std::printf(" %d", static_cast<int8_t>(frame[pos + c]));
                }
            }
            std::printf("\n");
        }
        start += count;
    }
    return 0;
}

}  // namespace

int RunInspect(int argc, char** argv) {
    const char* path = nullptr;
    FrameRange range;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            if (!ParseFrameRange(argv[++i], &range)) {
                std::fprintf(stderr,
                             "quillon-cli: --frames takes A:B, first and last frame (A <= B)\n");
                return 2;
            }
        } else if (argv[i][0] == '-' || path != nullptr) {
            std::fprintf(stderr, "usage: quillon-cli inspect FILE [--frames A:B]\n");
            return 2;
        } else {
            path = argv[i];
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "usage: quillon-cli inspect FILE [--frames A:B]\n");
        return 2;
    }

    WalkResult walk = WalkWaveFile(path);
    if (!walk.error.empty()) {
        std::fprintf(stderr, "quillon-cli: %s: %s\n", path, walk.error.c_str());
        return 1;
    }
    KAVFHANDLE handle = OpenKavfile(path, 0x0000, 8192);
    if (handle == 0) {
        std::fprintf(stderr, "quillon-cli: %s: the library cannot open it (error %u)\n", path,
                     OpenKavErrorCode());
        return 1;
    }
    char typeName[68] = {};
    uint32_t found = CheckKavfile(handle, walk.magic, typeName) & 0xFFFF;
    int status = 0;
    if (found >= 0xFFFE) {
        std::fprintf(stderr, "quillon-cli: %s: the library refuses the file (%u)\n", path, found);
        status = 1;
    } else {
        PrintStructure(path, walk, static_cast<int>(found), GetKavfileType(handle));
        if (walk.wave.present) PrintWave(walk.wave);
        if (range.wanted) {
            if (!walk.wave.present || walk.wave.frameSize == 0) {
                std::fprintf(stderr, "quillon-cli: %s has no flow wave with frames\n", path);
                status = 1;
            } else {
                status = PrintFrames(handle, walk.wave, range);
            }
        }
    }
    CloseKavfile(handle);
    return status;
}
