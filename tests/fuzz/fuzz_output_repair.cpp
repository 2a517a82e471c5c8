// Arbitrary bytes as a file a killed run left: the EEG wave repair and the
// EDF+ repair each read, check and may rewrite or cut it. Sanitizers report
// any access outside the bytes read; the repairs must never grow a file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "eeg/eeg_repair.h"
#include "psg/psg_repair.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = "/dev/shm/quillon-fuzz-repair-" + std::to_string(getpid());
    return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

int64_t SizeOf(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RepairReport report;
    for (int kind = 0; kind < 2; ++kind) {
        if (!WriteInput(data, size)) return 0;
        const int32_t outcome = kind == 0 ? RepairEegWave(ScratchPath().c_str(), &report)
                                          : RepairEdfFile(ScratchPath().c_str(), &report);
        if (SizeOf(ScratchPath()) > static_cast<int64_t>(size)) std::abort();
        if (outcome != kRepairDone && SizeOf(ScratchPath()) != static_cast<int64_t>(size))
            std::abort();
        std::remove((ScratchPath() + ".REF").c_str());
    }
    return 0;
}
