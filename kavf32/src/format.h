// Byte order, record sizes and rounding rules of the wave data file. Every
// size computation of the library goes through here, in 64 bits, so that a
// caller checks the result against the 32-bit offset space once.
#ifndef KAVF32_FORMAT_H
#define KAVF32_FORMAT_H

#include <cstddef>
#include <cstdint>

namespace kavf {

constexpr uint64_t kOffsetLimit = 0xFFFFFFFFull;  // file offsets are 32-bit

constexpr size_t kIndexFixedBytes = 24;  // index record without the name
constexpr size_t kItemHeaderBytes = 12;  // length, kind, id, count
constexpr size_t kWaveHeaderBytes = 32;  // flow wave, sweep, spectrum, trend headers
constexpr uint32_t kWaveHeaderWords = 16;
constexpr size_t kGroupLengthBytes = 4;
constexpr size_t kTextElementHeaderBytes = 4;
constexpr uint32_t kMaxItemsPerSearch = 1000;
constexpr size_t kTypeNameCapacity = 32;  // characters kept of a file-type name
constexpr uint32_t kMaxGroups = 64;

constexpr size_t kRevisionItemBytes = 276;  // 66 longs + item header
constexpr uint32_t kRevisionItemWords = 138;
constexpr uint32_t kRevisionMaxEntries = 32;

constexpr size_t kSpectrumLineHeaderBytes = 224;
constexpr size_t kSpectrumRecordHeaderBytes = 32;
constexpr size_t kTrendLineHeaderBytes = 64;
constexpr size_t kTrendChannelContentBytes = 192;
constexpr size_t kTrendRecordBytes = 20;
constexpr size_t kSweepHeaderBytes = 32;

inline uint16_t GetBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t GetBe32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline void PutBe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void PutBe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}
inline uint16_t Swap16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
inline uint32_t Swap32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}
inline uint16_t Low16(uint32_t v) { return static_cast<uint16_t>(v & 0xFFFFu); }

// Products of values a file or caller declares saturate far above the 32-bit
// offset space, so a few of them can be added without wrapping and the sum
// still fails the range check.
constexpr uint64_t kTooBig = uint64_t{1} << 40;
inline uint64_t Mul(uint64_t a, uint64_t b) {
    if (a == 0 || b == 0) return 0;
    if (a >= kTooBig || b >= kTooBig || a > kTooBig / b) return kTooBig;
    return a * b;
}
inline bool FitsOffset(uint64_t v) { return v <= kOffsetLimit; }

// ---- Rounding rules --------------------------------------------------------
// Name in the index: padded to a multiple of 4 bytes.
inline uint32_t PaddedNameBytes(uint32_t characters) { return (characters + 3u) & ~3u; }
// Word arrays and image blocks: count rounded up to even.
inline uint64_t EvenCount(uint64_t n) { return (n + 1) & ~uint64_t{1}; }
// 8-bit frames: channel bytes rounded up to even.
inline uint32_t EvenChannelBytes(uint32_t channels) { return (channels + 1u) & ~1u; }

// ---- Item lengths in words -------------------------------------------------
inline uint64_t WordArrayWords(uint64_t count) { return 6 + EvenCount(count); }
inline uint64_t LongArrayWords(uint64_t count) { return 6 + Mul(2, count); }
inline uint64_t ImageBlockWords(uint64_t byteCount) { return 6 + EvenCount(byteCount); }
// Text list: header, elements, and the 4-byte zero element.
inline uint64_t TextListWords(uint64_t elementWords) { return 8 + elementWords; }

inline bool IsFlowWaveType(uint32_t type) {
    return type == 0x0202 || type == 0x0203 || type == 0x0204;
}
inline bool HasEventWord(uint32_t type) { return type == 0x0202 || type == 0x0204; }

// Frame size F of a flow wave; 0 for a type without a frame layout.
inline uint32_t FrameBytes(uint32_t type, uint32_t bits, uint32_t channels) {
    switch (type) {
        case 0x0202: return bits > 8 ? 2 + 2 * channels : 2 + EvenChannelBytes(channels);
        case 0x0203: return bits > 8 ? 2 * channels : EvenChannelBytes(channels);
        case 0x0204: return 2 + 2 * channels;
        default: return 0;
    }
}
// Samples are 16-bit: always for 0x0204, otherwise above 8 bits.
inline bool WideSamples(uint32_t type, uint32_t bits) { return type == 0x0204 || bits > 8; }

// Spectrum: a record is its 32-byte header and P 32-bit values.
inline uint64_t SpectrumRecordBytes(uint64_t points) { return 32 + Mul(4, points); }
inline uint64_t SpectrumLineBytes(uint64_t points, uint64_t records) {
    return kSpectrumLineHeaderBytes + Mul(records, SpectrumRecordBytes(points));
}
// Trend line: header, P channel records of Q words, B blocks of P records.
inline uint64_t TrendChannelPartBytes(uint64_t points, uint64_t q) {
    return kTrendLineHeaderBytes + Mul(2, Mul(q, points));
}
inline uint64_t TrendBlockBytes(uint64_t points) { return Mul(kTrendRecordBytes, points); }
inline uint64_t TrendLineBytes(uint64_t points, uint64_t q, uint64_t blocks) {
    return TrendChannelPartBytes(points, q) + Mul(blocks, TrendBlockBytes(points));
}

}  // namespace kavf

#endif
