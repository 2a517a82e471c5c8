// Scratch folders and access to the bytes of written EDF+ files.
#ifndef QUILLON_TESTS_EDF_BYTES_H
#define QUILLON_TESTS_EDF_BYTES_H

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = "/tmp/quillon-ostrel-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// text padded with blanks to width, as an expected header field.
inline std::string Pad(const std::string& text, size_t width) {
    return text + std::string(width - text.size(), ' ');
}

// Signal header field i of a file with ns signals: the fields come as
// arrays of ns entries of the given widths, after the 256-byte main header.
inline std::string SignalField(const std::string& file, int ns, int field, int signal) {
    static const int kWidths[10] = {16, 80, 8, 8, 8, 8, 8, 80, 8, 32};
    size_t at = 256;
    for (int f = 0; f < field; ++f) at += static_cast<size_t>(kWidths[f] * ns);
    at += static_cast<size_t>(kWidths[field] * signal);
    return file.substr(at, static_cast<size_t>(kWidths[field]));
}

enum SignalFieldIndex {
    kLabel,
    kTransducer,
    kDimension,
    kPhysicalMin,
    kPhysicalMax,
    kDigitalMin,
    kDigitalMax,
    kPrefiltering,
    kSamples,
    kReserved,
};

inline int16_t SampleAt(const std::string& file, size_t offset) {
    uint16_t bits = static_cast<uint16_t>(static_cast<uint8_t>(file[offset]) |
                                          (static_cast<uint8_t>(file[offset + 1]) << 8));
    return static_cast<int16_t>(bits);
}

// Digital value of the program's epoch buffer at a row and column:
// distinct, never -32768.
inline int16_t Value(int32_t row, int32_t column) {
    return static_cast<int16_t>((row * 4 + column) % 60000 - 30000);
}

inline std::vector<int16_t> Rows(int32_t rows, int32_t columns, int32_t firstRow = 0) {
    std::vector<int16_t> buffer(static_cast<size_t>(rows * columns));
    for (int32_t i = 0; i < rows; ++i)
        for (int32_t c = 0; c < columns; ++c)
            buffer[static_cast<size_t>(i * columns + c)] = Value(firstRow + i, c);
    return buffer;
}

// The TALs of an annotation area, each without its trailing zero.
inline std::vector<std::string> Tals(const std::string& area) {
    std::vector<std::string> tals;
    size_t at = 0;
    while (at < area.size() && area[at] != '\0') {
        size_t end = area.find(std::string("\x14\0", 2), at);
        if (end == std::string::npos) break;
        tals.push_back(area.substr(at, end + 1 - at));
        at = end + 2;
    }
    return tals;
}

#endif
