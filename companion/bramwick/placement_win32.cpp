// Ordinals 5 and 6: the main window's normal place kept in the settings
// file, and ordinal 16, drive kinds by letter.
#include <windows.h>

#include "bramwick.h"
#include "window_place.h"

namespace {

const char kPlacementSection[] = "INITIAL";
// The smallest window the program lays out.
constexpr int32_t kMinWidth = 640;
constexpr int32_t kMinHeight = 480;

WindowPlace FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

WindowPlace WorkAreaNear(const RECT& rect) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && GetMonitorInfoA(monitor, &info)) return FromRect(info.rcWork);
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

extern "C" void COMPANIONAPI BramwickRestorePlacement(void* window, const char* section,
                                                      const char* path, int32_t) {
    HWND hwnd = static_cast<HWND>(window);
    WindowPlace place;
    if (hwnd == nullptr || !ReadWindowPlace(section, path, &place)) return;
    RECT wanted = {place.left, place.top, place.right, place.bottom};
    WindowPlace area = WorkAreaNear(wanted);
    FitWindowPlace(&place, &area, kMinWidth, kMinHeight);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(hwnd, &placement)) return;
    placement.rcNormalPosition = {place.left, place.top, place.right, place.bottom};
    // Restoring the place never shows a window the caller has not shown.
    if (!IsWindowVisible(hwnd)) placement.showCmd = SW_HIDE;
    SetWindowPlacement(hwnd, &placement);
}

extern "C" void COMPANIONAPI BramwickStorePlacement(void* window, const char* path) {
    HWND hwnd = static_cast<HWND>(window);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (hwnd == nullptr || !GetWindowPlacement(hwnd, &placement)) return;
    WindowPlace place = FromRect(placement.rcNormalPosition);
    WriteWindowPlace(kPlacementSection, path, &place);
}

extern "C" int32_t COMPANIONAPI BramwickDriveKind(int32_t letter) {
    if (letter >= 'a' && letter <= 'z') letter -= 'a' - 'A';
    if (letter < 'A' || letter > 'Z') return BRAMWICK_DRIVE_NONE;
    char root[4] = {static_cast<char>(letter), ':', '\\', '\0'};
    return DriveKindOfType(letter, static_cast<int32_t>(GetDriveTypeA(root)));
}
