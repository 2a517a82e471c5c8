#include "disk_geometry.h"

#include <algorithm>

#include "format.h"

namespace kavf {

char DriveLetter(uint32_t drive) {
    if (drive >= 'a' && drive <= 'z') return static_cast<char>(drive - 'a' + 'A');
    if (drive >= 'A' && drive <= 'Z') return static_cast<char>(drive);
    return 0;
}

uint32_t FreeKilobytes(const DriveGeometry& geometry) {
    uint64_t sectors = Mul(geometry.sectorsPerCluster, geometry.freeClusters);
    uint64_t kilobytes;
    switch (geometry.bytesPerSector) {
        case 128: kilobytes = sectors / 8; break;
        case 256: kilobytes = sectors / 4; break;
        case 512: kilobytes = sectors / 2; break;
        case 1024:
        case 2048:
        case 4096:
        case 8192:
        case 16384: kilobytes = Mul(sectors, geometry.bytesPerSector / 1024); break;
        default: return 0;
    }
    return static_cast<uint32_t>(std::min<uint64_t>(kilobytes, 0xFFFFFFFFu));
}

}  // namespace kavf
