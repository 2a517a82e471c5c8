// Ostrel: the PSG recording file library, bound by ordinal.
#ifndef QUILLON_OSTREL_H
#define QUILLON_OSTREL_H

#include <stdint.h>

#include "companion_api.h"

#ifdef __cplusplus
extern "C" {
#endif

// 6: releases a file handle; returns the handle value to keep (0).
uint32_t COMPANIONAPI OstrelRelease(uint32_t handle);

#ifdef __cplusplus
}
#endif

#endif
