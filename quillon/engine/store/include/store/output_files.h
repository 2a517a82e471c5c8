// Output files of a run: claimed by creating them new, so that a second run
// can never write into a file another run (or anything else) made, and
// removed again when the run leaves nothing worth keeping.
#ifndef QUILLON_OUTPUT_FILES_H
#define QUILLON_OUTPUT_FILES_H

#include <stddef.h>
#include <stdint.h>

// Creates path as a new empty file. Returns PLAT_ERR_NONE, or the open
// error (PLAT_ERR_FILEEXISTS when the name is taken) with the system's
// reason in reason (may be null).
uint32_t ClaimNewFile(const char* path, char* reason, size_t reasonSize);

// The system's reason for the failure that just happened, kept in reason.
void KeepFailureReason(char* reason, size_t reasonSize);

// Cuts a file back to size bytes. True on success.
bool CutFileTo(const char* path, int64_t size);

#endif
