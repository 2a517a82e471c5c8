// Free space of a drive in kilobytes, from its cluster geometry.
#ifndef KAVF32_DISK_GEOMETRY_H
#define KAVF32_DISK_GEOMETRY_H

#include <cstdint>

#include "system_services.h"

namespace kavf {

// 'A'..'Z' for a drive letter of either case, 0 for anything else.
char DriveLetter(uint32_t drive);
// Sectors per cluster times free clusters, scaled by a sector size of 128 to
// 16384 bytes (powers of two); 0 for any other sector size. Saturates at
// 0xFFFFFFFF kilobytes.
uint32_t FreeKilobytes(const DriveGeometry& geometry);

}  // namespace kavf

#endif
