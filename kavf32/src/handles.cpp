#include "kavf32.h"

// Placeholder until the library proper lands: nothing opens.
extern "C" uint32_t KAVFAPI OpenKavErrorCode(void) { return 0; }
extern "C" KAVFHANDLE KAVFAPI OpenKavfile(const char*, uint32_t, uint32_t) { return 0; }
extern "C" KAVFHANDLE KAVFAPI CloseKavfile(KAVFHANDLE) { return 0; }
