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

// Outcomes of finishing a file a killed run left behind.
enum OutputRepair {
    kRepairDone = 0,         // finished from the data present
    kRepairComplete = 1,     // a complete file: left as it is
    kRepairNotThisKind = 2,  // not a file of the kind asked for
    kRepairNoWholeData = 3,  // not one whole frame or record: nothing to keep
    kRepairCannotOpen = 4,   // reason holds the system's reason
    kRepairWriteFailed = 5,  // reason holds the system's reason
    kRepairDamaged = 6,      // its header does not describe data it could hold
};

struct RepairReport {
    int32_t outcome;   // OutputRepair
    int64_t declared;  // frames or records the header declared (-1 none)
    int64_t kept;      // frames or records the file holds now
    int64_t cutBytes;  // bytes of a partial last frame or record cut off
    char reason[128];  // the system's reason of a failure
};

// A report with the outcome given and nothing counted; returns the outcome.
int32_t SetRepairOutcome(RepairReport* report, int32_t outcome);

// The size of a regular file opened without creating or following anything
// new; -1 when it cannot be opened (reason kept in report).
int64_t RepairFileSize(const char* path, RepairReport* report);

#endif
