// Placement keys under the caller's section, and drive kinds.
#include "window_place.h"

#include <cstdio>

#include "bramwick.h"
#include "platform.h"

namespace {

const char* const kEdgeKeys[4] = {"WindowLeft", "WindowTop", "WindowRight", "WindowBottom"};
// A value no edge takes: a key that is missing.
constexpr int32_t kMissing = INT32_MIN;
// Pixels of a window that must stay on the screen to be grabbed again.
constexpr int32_t kGrip = 40;
// No screen reaches this far; an edge beyond it is a damaged settings file,
// and keeping edges inside it keeps the fitting arithmetic in range.
constexpr int32_t kFarthestEdge = 1 << 24;

int32_t* Edge(WindowPlace* place, int index) {
    int32_t* edges[4] = {&place->left, &place->top, &place->right, &place->bottom};
    return edges[index];
}

// Moves [low, high) into [areaLow, areaHigh) when less than kGrip of it lies
// inside, keeping its length where the area allows.
void FitSpan(int32_t* low, int32_t* high, int32_t areaLow, int32_t areaHigh) {
    const int64_t length = static_cast<int64_t>(*high) - *low;
    if (*high - kGrip >= areaLow && static_cast<int64_t>(*low) + kGrip <= areaHigh) return;
    int64_t start = *low < areaLow ? areaLow : static_cast<int64_t>(areaHigh) - length;
    if (start < areaLow) start = areaLow;
    *low = static_cast<int32_t>(start);
    *high = static_cast<int32_t>(start + length);
}

}  // namespace

int32_t ReadWindowPlace(const char* section, const char* path, WindowPlace* place) {
    if (section == nullptr || path == nullptr || place == nullptr) return 0;
    WindowPlace read = {};
    for (int i = 0; i < 4; ++i) {
        *Edge(&read, i) = PlatProfileInt(section, kEdgeKeys[i], kMissing, path);
        const int32_t edge = *Edge(&read, i);
        if (edge == kMissing || edge > kFarthestEdge || edge < -kFarthestEdge) return 0;
    }
    if (read.right <= read.left || read.bottom <= read.top) return 0;
    *place = read;
    return 1;
}

int32_t WriteWindowPlace(const char* section, const char* path, const WindowPlace* place) {
    if (section == nullptr || path == nullptr || place == nullptr) return 0;
    WindowPlace copy = *place;
    int32_t written = 1;
    for (int i = 0; i < 4; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "%i", static_cast<int>(*Edge(&copy, i)));
        if (!PlatWriteProfileString(section, kEdgeKeys[i], text, path)) written = 0;
    }
    return written;
}

void FitWindowPlace(WindowPlace* place, const WindowPlace* area, int32_t minWidth,
                    int32_t minHeight) {
    if (place == nullptr || area == nullptr) return;
    if (static_cast<int64_t>(place->right) - place->left < minWidth)
        place->right = place->left + minWidth;
    if (static_cast<int64_t>(place->bottom) - place->top < minHeight)
        place->bottom = place->top + minHeight;
    FitSpan(&place->left, &place->right, area->left, area->right);
    FitSpan(&place->top, &place->bottom, area->top, area->bottom);
}

int32_t DriveKindOfType(int32_t letter, int32_t systemType) {
    if (letter >= 'a' && letter <= 'z') letter -= 'a' - 'A';
    if (letter < 'A' || letter > 'Z') return BRAMWICK_DRIVE_NONE;
    switch (systemType) {
        case kSystemDriveFixed: return BRAMWICK_DRIVE_HARD_DISK;
        case kSystemDriveRemote: return BRAMWICK_DRIVE_REMOTE;
        case kSystemDriveRamDisk: return BRAMWICK_DRIVE_RAM_DISK;
        // Removable media beyond the floppy letters are today's magneto-
        // optical disks: memory cards and sticks take their place.
        case kSystemDriveRemovable:
            return letter >= 'C' ? BRAMWICK_DRIVE_MO_3INCH : BRAMWICK_DRIVE_NONE;
        default: return BRAMWICK_DRIVE_NONE;
    }
}
