#include <windows.h>

#include "bramwick.h"

void ReleaseBramwickFonts();

namespace {
HINSTANCE g_programInstance = nullptr;
}

extern "C" uint32_t COMPANIONAPI BramwickStartup(void* instance) {
    g_programInstance = static_cast<HINSTANCE>(instance);
    return 1;
}

// The fonts go with the program's windows, which are gone by now.
extern "C" void COMPANIONAPI BramwickShutdown(uint32_t, void*) {
    ReleaseBramwickFonts();
    g_programInstance = nullptr;
}

extern "C" void COMPANIONAPI BramwickInitialize(void) {}
