// Operating-system services that the platform layer does not cover: the
// critical-error mode, caller-owned memory blocks and drive geometry.
#ifndef KAVF32_SYSTEM_SERVICES_H
#define KAVF32_SYSTEM_SERVICES_H

#include <cstddef>
#include <cstdint>

#include "kavf32.h"

struct PlatFileRecord;  // the platform layer's file

namespace kavf {

// Fail critical errors (a missing disk) without a system dialog.
void SuppressCriticalErrorBoxes();

// The handle GetKavfileHandle hands out: the multimedia file I/O handle on
// Windows, the descriptor elsewhere; 0 without a file.
uintptr_t CallerFileHandle(PlatFileRecord* file);

// A caller's memory block made addressable for one operation.
struct LockedBlock {
    KAVFMEMORY block;
    uint8_t* data;
    size_t size;  // SIZE_MAX when the platform cannot tell
};
bool LockCallerBlock(KAVFMEMORY block, LockedBlock& locked);
void UnlockCallerBlock(LockedBlock& locked);

struct DriveGeometry {
    uint64_t sectorsPerCluster;
    uint64_t freeClusters;
    uint64_t bytesPerSector;
};
// letter: 'A'..'Z'. False when the drive cannot be queried.
bool QueryDriveGeometry(char letter, DriveGeometry& geometry);

}  // namespace kavf

#endif
