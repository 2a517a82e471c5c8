// Marks the definitions of the exported functions. The shared object hides
// everything else; on Windows the export table comes from kavf32.def.
#ifndef KAVF32_API_H
#define KAVF32_API_H

#include "kavf32.h"

#if defined(__GNUC__) && !defined(_WIN32)
#define KAVF_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define KAVF_EXPORT extern "C"
#endif

#endif
