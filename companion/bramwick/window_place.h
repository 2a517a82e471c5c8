// The stored placement of a window and the drive kinds, kept apart from the
// window calls so they build and are tested on every system.
#ifndef BRAMWICK_WINDOW_PLACE_H
#define BRAMWICK_WINDOW_PLACE_H

#include <stdint.h>

struct WindowPlace {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Reads the place stored under section; 1 when a usable one (positive size)
// is stored, else 0 and place untouched.
int32_t ReadWindowPlace(const char* section, const char* path, WindowPlace* place);
// Writes the four edges under section.
int32_t WriteWindowPlace(const char* section, const char* path, const WindowPlace* place);
// Keeps at least minWidth x minHeight and moves a place that does not reach
// into area by at least a grip of pixels back inside it, keeping its size
// where the area allows.
void FitWindowPlace(WindowPlace* place, const WindowPlace* area, int32_t minWidth,
                    int32_t minHeight);

// Drive types as the system reports them.
enum SystemDriveType {
    kSystemDriveUnknown = 0,
    kSystemDriveNoRoot = 1,
    kSystemDriveRemovable = 2,
    kSystemDriveFixed = 3,
    kSystemDriveRemote = 4,
    kSystemDriveCdRom = 5,
    kSystemDriveRamDisk = 6
};
// The ordinal 16 kind of a drive letter of a system drive type.
int32_t DriveKindOfType(int32_t letter, int32_t systemType);

#endif
