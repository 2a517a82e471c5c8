// The engine's diagnostic trace switch. Tracing is turned on once, for the
// rest of the process, through Bramwick ordinal 31 ("Debug" in the settings,
// or Help with Shift held); the engine keeps the state beside it so that it
// formats no trace line while tracing is off.
#ifndef QUILLON_ENGINE_TRACE_H
#define QUILLON_ENGINE_TRACE_H

#include <stdint.h>

extern "C" {

// Bramwick ordinal 31, and the engine's own switch.
void EngineTraceOn(void);
// Non-zero once tracing is on.
int32_t EngineTraceEnabled(void);
}

#endif
