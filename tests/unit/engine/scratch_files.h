// Temporary folders and raw file bytes for the engine tests.
#ifndef QUILLON_TESTS_SCRATCH_FILES_H
#define QUILLON_TESTS_SCRATCH_FILES_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "store/app_record.h"
#include "source/source_reader.h"

class ScratchFolder {
public:
    // In memory where the system offers it: the settings stores write each
    // key through a synced file replacement.
    ScratchFolder() {
        std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        pattern += "/quillon-engine-XXXXXX";
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The record is large (four patterns): a zero-filled one on the heap, as the
// program's zero-filled block, with its source closed when it goes.
struct RecordRelease {
    void operator()(AppRecord* record) const {
        CloseSourceFile(record);
        std::free(record);
    }
};
using RecordPtr = std::unique_ptr<AppRecord, RecordRelease>;

inline RecordPtr ZeroRecord() {
    return RecordPtr(static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord))));
}

#endif
