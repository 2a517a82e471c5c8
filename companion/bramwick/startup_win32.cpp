#include <windows.h>

#include "bramwick.h"

namespace {
HINSTANCE g_programInstance = nullptr;
}

extern "C" uint32_t COMPANIONAPI BramwickStartup(void* instance) {
    g_programInstance = static_cast<HINSTANCE>(instance);
    return 1;
}

extern "C" void COMPANIONAPI BramwickShutdown(uint32_t, void*) { g_programInstance = nullptr; }

extern "C" void COMPANIONAPI BramwickInitialize(void) {}
