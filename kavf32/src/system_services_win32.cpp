#include <windows.h>

#include "platform.h"
#include "system_services.h"

namespace kavf {

void SuppressCriticalErrorBoxes() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

uintptr_t CallerFileHandle(PlatFileRecord* file) { return PlatFileMultimediaHandle(file); }

// Caller blocks are global memory handles; GlobalLock also accepts fixed
// blocks, whose handle is their address.
bool LockCallerBlock(KAVFMEMORY block, LockedBlock& locked) {
    locked.block = block;
    locked.data = nullptr;
    locked.size = 0;
    if (block == nullptr) return false;
    void* data = GlobalLock(static_cast<HGLOBAL>(block));
    if (data == nullptr) return false;
    locked.data = static_cast<uint8_t*>(data);
    locked.size = GlobalSize(static_cast<HGLOBAL>(block));
    return true;
}

void UnlockCallerBlock(LockedBlock& locked) {
    if (locked.data != nullptr) GlobalUnlock(static_cast<HGLOBAL>(locked.block));
    locked.data = nullptr;
}

bool QueryDriveGeometry(char letter, DriveGeometry& geometry) {
    char root[] = "?:\\";
    root[0] = letter;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return false;
    geometry.sectorsPerCluster = sectorsPerCluster;
    geometry.bytesPerSector = bytesPerSector;
    geometry.freeClusters = freeClusters;
    return true;
}

}  // namespace kavf
