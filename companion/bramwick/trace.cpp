// Ordinals 30 and 31: the diagnostic trace. The trace file is BRAMWICK.LOG in
// the program's folder, beside the settings folder the program already
// writes to. Lines are appended with a CR LF and the file is closed after
// each line, so a trace survives a crash of the program.
#include <cstring>

#include "bramwick.h"
#include "platform.h"

namespace {

bool g_tracing = false;
char g_tracePath[BRAMWICK_FOLDER_SIZE + 16];

// A trace line longer than this is cut; the trace is for people to read.
const size_t kTraceLineLimit = 1024;

}  // namespace

extern "C" void COMPANIONAPI BramwickTraceOn(void) {
    if (g_tracing) return;
    char folder[BRAMWICK_FOLDER_SIZE];
    if (!BramwickProgramFolder(nullptr, folder)) return;
    size_t length = std::strlen(folder);
    static const char kName[] = "BRAMWICK.LOG";
    std::memcpy(g_tracePath, folder, length);
    std::memcpy(g_tracePath + length, kName, sizeof kName);
    g_tracing = true;
}

extern "C" void COMPANIONAPI BramwickTrace(const char* text) {
    if (!g_tracing || text == nullptr) return;
    PlatFile file = PlatFileOpen(g_tracePath, PLAT_OPEN_READWRITE, nullptr);
    if (file == nullptr)
        file = PlatFileOpen(g_tracePath, PLAT_OPEN_READWRITE | PLAT_OPEN_CREATE, nullptr);
    if (file == nullptr) return;
    int64_t size = PlatFileSize(file);
    if (size >= 0 && PlatFileSeek(file, size) == size) {
        size_t length = 0;
        while (length < kTraceLineLimit && text[length] != '\0') ++length;
        PlatFileWrite(file, text, static_cast<int32_t>(length));
        PlatFileWrite(file, "\r\n", 2);
    }
    PlatFileClose(file);
}
