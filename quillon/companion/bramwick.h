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

#ifdef __cplusplus
}
#endif

#endif
