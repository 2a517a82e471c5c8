#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

Scratch::Scratch() {
    char pattern[] = "/tmp/kavf32-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    folder = made != nullptr ? made : "/tmp";
    path = folder + "/WAVE.DAT";
}

Scratch::~Scratch() {
    std::remove(path.c_str());
    ::rmdir(folder.c_str());
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void Be16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

void Be32(Bytes& b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}

void Text(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
void Zeros(Bytes& b, size_t n) { b.insert(b.end(), n, 0); }

uint16_t At16(const Bytes& b, size_t offset) {
    return static_cast<uint16_t>((b.at(offset) << 8) | b.at(offset + 1));
}

uint32_t At32(const Bytes& b, size_t offset) {
    return (uint32_t{At16(b, offset)} << 16) | At16(b, offset + 2);
}

Bytes Slice(const Bytes& b, size_t offset, size_t n) {
    if (offset + n > b.size()) return {};
    return Bytes(b.begin() + static_cast<long>(offset), b.begin() + static_cast<long>(offset + n));
}

Bytes IndexRecord(uint16_t groupCount, const char* magic, const std::string& name) {
    uint32_t d = (static_cast<uint32_t>(name.size()) + 3) & ~3u;
    Bytes b;
    Text(b, std::string(magic, 4));
    Be32(b, 10 + d / 2);
    Be16(b, groupCount);
    Be16(b, 1);
    Be16(b, 4 + d / 2);
    Be16(b, KAVF_KIND_NAME);
    Be16(b, 2 + d / 2);
    Be16(b, d);
    Text(b, name);
    Zeros(b, d - name.size() + 4);
    return b;
}

Bytes FileOf(uint16_t declared, const std::vector<Bytes>& groups, const std::string& name) {
    Bytes file = IndexRecord(declared, "KAVF", name);
    for (const Bytes& g : groups) file.insert(file.end(), g.begin(), g.end());
    return file;
}

Bytes Words(std::initializer_list<uint16_t> values) {
    Bytes b;
    for (uint16_t v : values) Be16(b, v);
    return b;
}

Bytes Group(const std::vector<Bytes>& items) {
    size_t bytes = 8;
    for (const Bytes& i : items) bytes += i.size();
    Bytes b;
    Be32(b, static_cast<uint32_t>(bytes / 2));
    for (const Bytes& i : items) b.insert(b.end(), i.begin(), i.end());
    Zeros(b, 4);
    return b;
}

Bytes Item(uint16_t kind, uint16_t id, uint32_t count, const Bytes& body) {
    Bytes b;
    Be32(b, static_cast<uint32_t>((12 + body.size()) / 2));
    Be16(b, kind);
    Be16(b, id);
    Be32(b, count);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes TextList(uint16_t id, const std::vector<std::string>& texts, uint16_t words) {
    Bytes body;
    for (const std::string& t : texts) {
        Be16(body, words);
        Be16(body, static_cast<uint32_t>(t.size()));
        Text(body, t);
        Zeros(body, 2u * words - 4 - t.size());
    }
    Zeros(body, 4);
    return Item(KAVF_KIND_TEXT, id, static_cast<uint32_t>(texts.size()), body);
}

KAVFHANDLE OpenChecked(const std::string& path, uint32_t* groups) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), KAVF_OPEN_READ, 8192);
    if (h == 0) return 0;
    char name[33];
    uint32_t found = CheckKavfile(h, "KAVF", name);
    if (groups != nullptr) *groups = found;
    if (found == KAVF_CHECK_WRONG_MAGIC || found == KAVF_CHECK_NO_ACCESS) {
        CloseKavfile(h);
        return 0;
    }
    return h;
}

KavfTextElement Element(uint16_t words, const std::string& text, int length) {
    KavfTextElement e;
    std::memset(&e, 0, sizeof e);
    e.words = words;
    e.length = static_cast<uint16_t>(length < 0 ? text.size() : static_cast<size_t>(length));
    std::memcpy(e.text, text.data(), std::min(text.size(), sizeof e.text));
    return e;
}
