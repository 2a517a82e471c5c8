// Calling convention of the companion libraries: arguments on the stack, the
// callee removes them.
#ifndef QUILLON_COMPANION_API_H
#define QUILLON_COMPANION_API_H

#if defined(_WIN32)
#define COMPANIONAPI __stdcall
#else
#define COMPANIONAPI
#endif

#endif
