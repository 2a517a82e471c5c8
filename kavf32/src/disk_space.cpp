// The free-space query: drive letter to geometry to kilobytes.
#include <algorithm>

#include "api.h"
#include "disk_geometry.h"

namespace kavf {
namespace {

// The old free-space service marks an invalid drive this way.
constexpr uint64_t kInvalidDriveMark = 0xFFFF;

void StoreCapped(uint16_t* out, uint64_t value) {
    if (out != nullptr) *out = static_cast<uint16_t>(std::min<uint64_t>(value, 0xFFFF));
}

}  // namespace
}  // namespace kavf

using namespace kavf;

KAVF_EXPORT uint32_t KAVFAPI GetKavDiskEmpty(uint32_t drive, uint16_t* freeClusters,
                                             uint16_t* sectorsPerCluster,
                                             uint16_t* bytesPerSector) {
    char letter = DriveLetter(drive);
    DriveGeometry geometry{};
    if (letter == 0 || !QueryDriveGeometry(letter, geometry)) return 0;
    if (geometry.sectorsPerCluster == kInvalidDriveMark) return 0;
    StoreCapped(freeClusters, geometry.freeClusters);
    StoreCapped(sectorsPerCluster, geometry.sectorsPerCluster);
    StoreCapped(bytesPerSector, geometry.bytesPerSector);
    return FreeKilobytes(geometry);
}
