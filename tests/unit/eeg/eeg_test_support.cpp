#include "eeg_test_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "eeg/eeg_run.h"
#include "source/source_reader.h"

Scratch::Scratch() {
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    pattern += "/quillon-eeg-XXXXXX";
    path_ = mkdtemp(pattern.data());
}

Scratch::~Scratch() { std::filesystem::remove_all(path_); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

void RecordRelease::operator()(AppRecord* record) const {
    ReleaseEegRun(record, nullptr);
    CloseSourceFile(record);
    std::free(record);
}

namespace {

std::function<void(const char*)> gAfterExistenceCheck;
std::function<void(const char*)> gAfterOpen;

}  // namespace

void AfterExistenceCheck(std::function<void(const char*)> action) {
    gAfterExistenceCheck = std::move(action);
}

void AfterOpen(std::function<void(const char*)> action) { gAfterOpen = std::move(action); }

extern "C" KAVFHANDLE __real_OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize);
extern "C" KAVFHANDLE __wrap_OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize) {
    const KAVFHANDLE handle = __real_OpenKavfile(name, mode, bufferSize);
    if (handle != 0 && gAfterOpen) gAfterOpen(name);
    return handle;
}

// The engine's existence checks, seen through the linker's --wrap.
extern "C" int __real_PlatFileExists(const char* path);
extern "C" int __wrap_PlatFileExists(const char* path) {
    const int exists = __real_PlatFileExists(path);
    if (gAfterExistenceCheck) gAfterExistenceCheck(path);
    return exists;
}

RecordPtr EegRecord(const std::string& source, int32_t channels, int32_t rate) {
    RecordPtr record(static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord))));
    OpenSourceFromPath(record.get(), source.c_str());
    record->ChannelCount = channels;
    record->SampleRate = rate;
    record->CopyFileType = 2;
    record->OrgDataMag = 1;
    record->EEGFileNo = 1;
    MontagePattern& pattern = record->PatternSlots[0];
    pattern.ACCSens = 6;
    pattern.ACCCal = 5;
    for (int32_t row = 0; row < channels; ++row) {
        pattern.EegRows[row].SOURCE = 1;
        pattern.EegRows[row].SENS = AccIndex;
        pattern.EegRows[row].CAL = AccIndex;
    }
    return record;
}

std::string NumberLines(int32_t lines, int32_t channels, int32_t first) {
    std::string text;
    for (int32_t line = 0; line < lines; ++line) {
        for (int32_t c = 0; c < channels; ++c) {
            if (c > 0) text += ',';
            text += std::to_string((first + line + c) % 30000);
        }
        text += '\n';
    }
    return text;
}

uint32_t ConvertAll(AppRecord* record, const std::string& output, const char* settingsPath) {
    if (StartEegConversion(record, output.c_str()) != kEegStarted) return 0;
    while (EegTimerTick(record)) {
    }
    return FinishEegConversion(record, settingsPath);
}

Wave ReadWave(const std::string& path) {
    Wave wave;
    OpenFile file(path);
    KavfWaveInfo info;
    if (ReadKavfWaveInfo(file.handle, 40, 0xA0, &info) != KAVF_WAVE_EVENT) return wave;
    wave.frames = info.frames;
    wave.channels = info.channels;
    wave.interval = info.interval;
    wave.bits = info.bits;
    wave.words.assign(size_t{wave.frames} * (wave.channels + 1), 0);
    if (wave.frames > 0)
        ReadKavfFlowWave(file.handle, KAVF_FLOW_CONVERT, 0, static_cast<int32_t>(wave.frames),
                         wave.words.data());
    return wave;
}

OpenFile::OpenFile(const std::string& path, const char* magic) {
    handle = OpenKavfile(path.c_str(), KAVF_OPEN_READ, 0x10000);
    if (handle != 0) groups = CheckKavfile(handle, magic, typeName);
}

OpenFile::~OpenFile() {
    if (handle != 0) CloseKavfile(handle);
}

std::vector<uint16_t> OpenFile::Words(uint32_t group, uint32_t id) const {
    std::vector<uint16_t> values(8192);
    KavfUnitTable table;
    std::memset(&table, 0, sizeof table);
    uint32_t items = GetKavfUnitInfo(handle, group, &table, 64);
    for (uint32_t i = 0; i < items; ++i)
        if (table.id[i] == id) {
            values.resize(ReadKavfWordData(handle, values.data(), group, id, table.count[i]));
            return values;
        }
    return {};
}

std::vector<uint32_t> OpenFile::Longs(uint32_t group, uint32_t id, uint32_t count) const {
    std::vector<uint32_t> values(count);
    values.resize(ReadKavfLongData(handle, values.data(), group, id, count));
    return values;
}

std::vector<std::string> OpenFile::Texts(uint32_t group, uint32_t id) const {
    std::vector<KavfTextElement> elements(300);
    std::memset(elements.data(), 0, elements.size() * sizeof(KavfTextElement));
    uint32_t n = GetKavfTextInfo(handle, elements.data(), group, id, 0, 30000);
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < n; ++i) texts.emplace_back(elements[i].text);
    return texts;
}

std::vector<uint16_t> OpenFile::ItemIds(uint32_t group) const {
    KavfUnitTable table;
    std::memset(&table, 0, sizeof table);
    uint32_t items = GetKavfUnitInfo(handle, group, &table, 64);
    return std::vector<uint16_t>(table.id, table.id + items);
}

uint32_t Be32At(const std::string& bytes, size_t offset) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

uint16_t Be16At(const std::string& bytes, size_t offset) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
}
