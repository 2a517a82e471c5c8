#include <sys/statvfs.h>

#include <cstdint>
#include <cstdlib>

#include "platform.h"
#include "system_services.h"

namespace kavf {

// No critical-error dialogs exist here.
void SuppressCriticalErrorBoxes() {}

// No multimedia file layer here: the descriptor stands in for its handle.
uintptr_t CallerFileHandle(PlatFileRecord* file) { return PlatFileNativeHandle(file); }

// A caller's block is plain memory of unknown size; the ring size the block
// set states is then the only bound.
bool LockCallerBlock(KAVFMEMORY block, LockedBlock& locked) {
    locked.block = block;
    locked.data = static_cast<uint8_t*>(block);
    locked.size = SIZE_MAX;
    return block != nullptr;
}

void UnlockCallerBlock(LockedBlock&) {}

// Drive letters name folders through KAVF32_DRIVE_<LETTER>; the volume that
// holds the folder answers. Its fragment size is described as 512-byte
// sectors per cluster where it divides evenly.
bool QueryDriveGeometry(char letter, DriveGeometry& geometry) {
    char name[] = "KAVF32_DRIVE_?";
    name[sizeof name - 2] = letter;
    const char* folder = std::getenv(name);
    if (folder == nullptr || folder[0] == '\0') return false;
    struct statvfs volume;
    if (::statvfs(folder, &volume) != 0) return false;
    uint64_t fragment = volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize;
    if (fragment >= 512 && fragment % 512 == 0) {
        geometry.bytesPerSector = 512;
        geometry.sectorsPerCluster = fragment / 512;
    } else {
        geometry.bytesPerSector = fragment;
        geometry.sectorsPerCluster = 1;
    }
    geometry.freeClusters = volume.f_bavail;
    return true;
}

}  // namespace kavf
