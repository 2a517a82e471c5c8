// Bramwick: window and message tools, bound by ordinal. The ordinal of each
// call stands beside it; the names are ours.
#ifndef QUILLON_BRAMWICK_H
#define QUILLON_BRAMWICK_H

#include <stdint.h>

#include "companion_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// 17: start-up; the value is handed back to ordinal 18 at exit.
uint32_t COMPANIONAPI BramwickStartup(void* instance);
// 18: shut-down after the message loop.
void COMPANIONAPI BramwickShutdown(uint32_t startupValue, void* instance);
// 49: start-up, right after ordinal 17.
void COMPANIONAPI BramwickInitialize(void);

// Size of the folder buffers of ordinals 10 and 12.
#define BRAMWICK_FOLDER_SIZE 260

// 10: writes the program's folder, ending in a path separator, into a buffer
// of BRAMWICK_FOLDER_SIZE bytes. 1 on success; on failure 0 and an empty text.
int32_t COMPANIONAPI BramwickProgramFolder(void* instance, char* folder);
// 12: removes the trailing path separators of a folder text in place.
int32_t COMPANIONAPI BramwickTrimFolder(char* folder);
// 13: parses a comma-separated list of decimal numbers (at most length bytes
// of text) into at most maxCount 16-bit values; returns how many were stored.
uint32_t COMPANIONAPI ParseNumberList(uint16_t* values, const char* text, int32_t length,
                                      int32_t maxCount);
// 30: appends one line to the trace file while tracing is on; does nothing
// at all while it is off.
void COMPANIONAPI BramwickTrace(const char* text);
// 31: turns tracing on for the rest of the process.
void COMPANIONAPI BramwickTraceOn(void);

#ifdef __cplusplus
}
#endif

#endif
