// Records, sources and output readers for the EEG run tests.
#ifndef QUILLON_TESTS_EEG_SUPPORT_H
#define QUILLON_TESTS_EEG_SUPPORT_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/app_record.h"
#include "kavf32.h"

class Scratch {
public:
    Scratch();
    ~Scratch();
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);

struct RecordRelease {
    void operator()(AppRecord* record) const;
};
using RecordPtr = std::unique_ptr<AppRecord, RecordRelease>;

// A zero record with the source at path open and the given layout: comma
// separated A/D values, an "EEG FILING32" output, pattern slot 0 with
// channels traces of kind EEG that follow the pattern-wide 10 uV / 50 uV.
RecordPtr EegRecord(const std::string& source, int32_t channels, int32_t rate);

// Runs action(path) right after each existence check the engine makes, as
// another run taking a name at that moment would (null: nothing).
void AfterExistenceCheck(std::function<void(const char*)> action);

// Runs action(path) right after each OpenKavfile that opened a file, as
// someone swapping the name at that moment would (null: nothing).
void AfterOpen(std::function<void(const char*)> action);

// Lines "v,v+1,..." for each line number, joined with LF.
std::string NumberLines(int32_t lines, int32_t channels, int32_t first = 0);

// Start, every tick, finish. Returns the finish flags (0 when the start was
// refused).
uint32_t ConvertAll(AppRecord* record, const std::string& output,
                    const char* settingsPath = nullptr);

// The frames of a wave data file in native order.
struct Wave {
    uint32_t frames = 0;
    uint32_t channels = 0;
    uint32_t interval = 0;
    uint32_t bits = 0;
    std::vector<uint16_t> words;
    uint16_t Event(uint32_t frame) const { return words[frame * (channels + 1)]; }
    int16_t Sample(uint32_t frame, uint32_t channel) const {
        return static_cast<int16_t>(words[frame * (channels + 1) + 1 + channel]);
    }
};
Wave ReadWave(const std::string& path);

// A file opened and checked for reading; closed when it goes.
struct OpenFile {
    explicit OpenFile(const std::string& path, const char* magic = "KAVF");
    ~OpenFile();
    KAVFHANDLE handle = 0;
    uint32_t groups = 0;
    char typeName[40] = {};
    std::vector<uint16_t> Words(uint32_t group, uint32_t id) const;
    std::vector<uint32_t> Longs(uint32_t group, uint32_t id, uint32_t count) const;
    std::vector<std::string> Texts(uint32_t group, uint32_t id) const;
    std::vector<uint16_t> ItemIds(uint32_t group) const;
};

uint32_t Be32At(const std::string& bytes, size_t offset);
uint16_t Be16At(const std::string& bytes, size_t offset);

#endif
