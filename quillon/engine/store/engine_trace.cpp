#include "store/engine_trace.h"

#include "bramwick.h"

namespace {

// The interface thread alone turns it on and reads it.
bool g_traceOn = false;

}  // namespace

extern "C" void EngineTraceOn(void) {
    BramwickTraceOn();
    g_traceOn = true;
}

extern "C" int32_t EngineTraceEnabled(void) { return g_traceOn ? 1 : 0; }
