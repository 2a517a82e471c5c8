// Scratch files and byte builders for the KAVF32 tests.
#ifndef KAVF32_TEST_SUPPORT_H
#define KAVF32_TEST_SUPPORT_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "kavf32.h"

using Bytes = std::vector<uint8_t>;

// A file name in a folder of its own, removed with the folder.
struct Scratch {
    std::string folder;
    std::string path;
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
};

Bytes ReadAll(const std::string& path);
void WriteAll(const std::string& path, const Bytes& bytes);

void Be16(Bytes& b, uint32_t v);
void Be32(Bytes& b, uint32_t v);
void Text(Bytes& b, const std::string& s);
void Zeros(Bytes& b, size_t n);
uint16_t At16(const Bytes& b, size_t offset);
uint32_t At32(const Bytes& b, size_t offset);
Bytes Slice(const Bytes& b, size_t offset, size_t n);

// The 36-byte index record of a "KAVF" file named "EEG FILING32" that
// declares groupCount groups.
Bytes IndexRecord(uint16_t groupCount, const char* magic = "KAVF",
                  const std::string& name = "EEG FILING32");
// The index record followed by the groups.
Bytes FileOf(uint16_t declared, const std::vector<Bytes>& groups,
             const std::string& name = "EEG FILING32");
// Big-endian words.
Bytes Words(std::initializer_list<uint16_t> values);
// A group: length field counting items plus terminator, items, terminator.
Bytes Group(const std::vector<Bytes>& items);
// Item header plus body; the length is taken from the body.
Bytes Item(uint16_t kind, uint16_t id, uint32_t count, const Bytes& body);
// Text list of the given texts, each in an element of `words` words.
Bytes TextList(uint16_t id, const std::vector<std::string>& texts, uint16_t words = 10);

// Opens path for reading and validates it as "KAVF"; 0 on failure.
KAVFHANDLE OpenChecked(const std::string& path, uint32_t* groups = nullptr);

KavfTextElement Element(uint16_t words, const std::string& text, int length = -1);

#endif
