/* KAVF32: the wave data file library. */
#ifndef KAVF32_H
#define KAVF32_H

#include <stdint.h>

#if defined(_WIN32)
#define KAVFAPI __stdcall
#else
#define KAVFAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t KAVFHANDLE;

uint32_t KAVFAPI OpenKavErrorCode(void);
KAVFHANDLE KAVFAPI OpenKavfile(const char* name, uint32_t mode, uint32_t bufferSize);
KAVFHANDLE KAVFAPI CloseKavfile(KAVFHANDLE handle);

#ifdef __cplusplus
}
#endif

#endif
