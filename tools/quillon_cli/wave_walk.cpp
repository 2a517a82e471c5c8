#include "wave_walk.h"

#include <cstdio>
#include <cstring>

#include "platform.h"

namespace {

constexpr uint32_t kIndexHeaderBytes = 12;
constexpr uint32_t kItemHeaderBytes = 12;
constexpr uint32_t kWaveHeaderBytes = 32;
constexpr uint32_t kMaxItemsListed = 100000;

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
uint32_t Be32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

struct Reader {
    PlatFile file;
    uint64_t size;
    // Reads exactly count bytes at offset; false when the file is shorter.
    bool At(uint64_t offset, void* out, uint32_t count) const {
        if (offset > size || count > size - offset) return false;
        return PlatFileSeek(file, static_cast<int64_t>(offset)) == static_cast<int64_t>(offset) &&
               PlatFileRead(file, out, static_cast<int32_t>(count)) == static_cast<int32_t>(count);
    }
};

std::string Format(const char* format, unsigned long long a, unsigned long long b = 0,
                   unsigned long long c = 0) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Element counts that the item's length must agree with, for the kinds whose
// layout is fixed; true for other kinds.
bool LengthMatchesCount(const WalkItem& item) {
    uint64_t n = item.count;
    switch (item.kind) {
        case 0x0011: return item.lengthWords == 6 + ((n + 1) & ~1ull);
        case 0x0012: return item.lengthWords == 6 + 2 * n;
        case 0x0010: return item.lengthWords == 6 + ((n + 1) & ~1ull);
        default: return true;
    }
}

std::string CheckTextList(const Reader& r, const WalkItem& item) {
    uint64_t pos = item.offset + kItemHeaderBytes;
    uint64_t end = item.offset + 2ull * item.lengthWords;
    uint32_t elements = 0;
    while (pos + 4 <= end) {
        uint8_t h[4];
        if (!r.At(pos, h, 4)) return "text list cut by the end of the file";
        uint16_t words = Be16(h);
        if (words == 0) break;
        if (words < 2 || pos + 2ull * words > end)
            return Format("text element %llu of item at %llu runs past its item", elements,
                          item.offset);
        if (Be16(h + 2) > 2u * words - 4)
            return Format("text element %llu of item at %llu claims more text than its room",
                          elements, item.offset);
        pos += 2ull * words;
        ++elements;
    }
    if (elements < (item.count & 0xFFFF))
        return Format("text list at %llu declares %llu elements but holds %llu", item.offset,
                      item.count & 0xFFFF, elements);
    return "";
}

std::string ReadIndex(const Reader& r, WalkResult* out, uint64_t* firstGroup) {
    uint8_t head[kIndexHeaderBytes];
    if (!r.At(0, head, 4)) return "not a wave data file (shorter than 4 bytes)";
    std::memcpy(out->magic, head, 4);
    if (std::memcmp(head, "KAVF", 4) != 0 && std::memcmp(head, "KAVT", 4) != 0)
        return "not a wave data file (it does not start with KAVF or KAVT)";
    if (!r.At(0, head, kIndexHeaderBytes)) return "truncated index record";
    uint64_t indexEnd = 4 + 2ull * Be32(head + 4);
    if (indexEnd > r.size || indexEnd < kIndexHeaderBytes)
        return Format("index record length %llu words does not fit the file of %llu bytes",
                      Be32(head + 4), r.size);
    out->declaredGroups = Be16(head + 8);
    uint16_t subItems = Be16(head + 10);
    uint64_t pos = kIndexHeaderBytes;
    for (uint16_t i = 0; i < subItems && pos + 8 <= indexEnd; ++i) {
        uint8_t sub[8];
        if (!r.At(pos, sub, 8)) break;
        uint16_t words = Be16(sub);
        if (words == 0) break;
        if (Be16(sub + 2) == 0x0020) {
            uint16_t bytes = Be16(sub + 6);
            if (pos + 8 + bytes > indexEnd) return "type name runs past the index record";
            char name[256] = {};
            uint16_t take = bytes < 255 ? bytes : 255;
            if (!r.At(pos + 8, name, take)) return "truncated type name";
            out->typeName.assign(name, strnlen(name, take));
            break;
        }
        pos += 2ull * words;
    }
    *firstGroup = indexEnd;
    return "";
}

std::string ReadWave(const Reader& r, WalkGroup* group, WalkItem* item, WalkResult* out) {
    uint8_t h[kWaveHeaderBytes];
    if (!r.At(item->offset, h, kWaveHeaderBytes))
        return Format("flow wave header of group %llu cut by the end of the file", group->number);
    WalkWave& w = out->wave;
    w.present = true;
    w.group = group->number;
    w.id = item->id;
    w.type = item->kind;
    w.frames = Be32(h + 8);
    w.interval = Be32(h + 12);
    w.bits = Be16(h + 16);
    w.channels = Be16(h + 18);
    w.frameSize = FlowFrameSize(w.type, w.bits, w.channels);
    w.bytesAfterHeader = r.size - item->offset - kWaveHeaderBytes;
    if (w.frameSize != 0) {
        uint64_t declared = uint64_t{w.frameSize} * w.frames;
        if (declared > w.bytesAfterHeader)
            return Format("flow wave declares %llu frames (%llu bytes) but the file holds %llu",
                          w.frames, declared, w.bytesAfterHeader);
        if (item->lengthWords != 16 && item->lengthWords != 16 + declared)
            return Format("flow wave length field %llu disagrees with %llu frames",
                          item->lengthWords, w.frames);
    }
    return "";
}

std::string ReadGroup(const Reader& r, WalkGroup* group, WalkResult* out, bool* last) {
    uint64_t itemPos = group->offset + 4;
    uint8_t h[kItemHeaderBytes];
    // A flow wave is the only item of the last group, whatever the group length says.
    if (r.At(itemPos, h, kItemHeaderBytes) && IsFlowWaveKind(Be16(h + 4))) {
        WalkItem item{itemPos, Be32(h), Be16(h + 4), Be16(h + 6), Be32(h + 8)};
        group->items.push_back(item);
        *last = true;
        return ReadWave(r, group, &group->items.back(), out);
    }
    uint64_t groupEnd = group->offset + 2ull * group->lengthWords;
    if (group->lengthWords < 4 || groupEnd > r.size)
        return Format("group %llu at offset %llu: length %llu words does not fit the file",
                      group->number, group->offset, group->lengthWords);
    while (itemPos + 4 <= groupEnd) {
        if (!r.At(itemPos, h, 4)) return "truncated item";
        uint32_t words = Be32(h);
        if (words == 0) return "";
        if (words < kItemHeaderBytes / 2 || itemPos + 2ull * words > groupEnd - 4)
            return Format("item at offset %llu: length %llu words runs past its group %llu",
                          itemPos, words, group->number);
        if (!r.At(itemPos, h, kItemHeaderBytes)) return "truncated item header";
        WalkItem item{itemPos, words, Be16(h + 4), Be16(h + 6), Be32(h + 8)};
        if (!LengthMatchesCount(item))
            return Format("item at offset %llu: %llu elements do not fit its length of %llu words",
                          item.offset, item.count, item.lengthWords);
        if (item.kind == 0x0080) {
            std::string error = CheckTextList(r, item);
            if (!error.empty()) return error;
        }
        if (group->items.size() >= kMaxItemsListed) return "too many items in one group";
        group->items.push_back(item);
        itemPos += 2ull * words;
    }
    return Format("group %llu at offset %llu has no terminator", group->number, group->offset);
}

}  // namespace

uint32_t FlowFrameSize(uint16_t type, uint16_t bits, uint16_t channels) {
    uint32_t c = channels;
    bool wide = bits > 8 || type == 0x0204;
    uint32_t samples = wide ? 2 * c : (c + 1) & ~1u;
    switch (type) {
        case 0x0202:
        case 0x0204: return 2 + samples;
        case 0x0203: return samples;
        default: return 0;
    }
}

bool IsFlowWaveKind(uint16_t kind) { return kind >= 0x0202 && kind <= 0x0206; }

const char* ItemKindName(uint16_t kind) {
    switch (kind) {
        case 0x0010: return "image block";
        case 0x0011: return "word array";
        case 0x0012: return "long array";
        case 0x0080: return "text list";
        case 0x0202: return "flow wave (event word)";
        case 0x0203: return "flow wave (samples only)";
        case 0x0204: return "flow wave (event word, 16-bit)";
        case 0x0205:
        case 0x0206: return "wave description";
        case 0x0207: return "spectrum";
        case 0x0209: return "trend";
        default: return "other";
    }
}

WalkResult WalkWaveFile(const char* path) {
    WalkResult out;
    uint32_t error = 0;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, &error);
    if (file == nullptr) {
        out.error = error == PLAT_ERR_FILENOTFOUND ? "no such file" : "cannot open the file";
        return out;
    }
    int64_t size = PlatFileSize(file);
    Reader r{file, size < 0 ? 0 : static_cast<uint64_t>(size)};
    out.fileSize = r.size;
    uint64_t offset = 0;
    out.error = ReadIndex(r, &out, &offset);
    bool last = false;
    for (uint32_t number = 1; out.error.empty() && !last && number <= out.declaredGroups;
         ++number) {
        uint8_t h[4];
        if (offset == r.size) break;  // the file ends between groups
        if (!r.At(offset, h, 4)) {
            out.error =
                Format("group %llu at offset %llu cut by the end of the file", number, offset);
            break;
        }
        WalkGroup group{number, offset, Be32(h), {}};
        if (group.lengthWords == 0) break;
        out.error = ReadGroup(r, &group, &out, &last);
        offset += 2ull * group.lengthWords;
        out.groups.push_back(std::move(group));
    }
    PlatFileClose(file);
    return out;
}
