#include <gtest/gtest.h>

#include "bramwick.h"
#include "scratch_files.h"
#include "window_place.h"

namespace {

TEST(WindowPlace, RoundTripsThroughTheSettingsFileOnly) {
    ScratchFolder folder;
    const std::string path = folder.File("QUILLON.INI");
    WindowPlace place = {0, 0, 0, 0};
    EXPECT_EQ(ReadWindowPlace("INITIAL", path.c_str(), &place), 0);
    const WindowPlace stored = {-20, 40, 700, 560};
    ASSERT_EQ(WriteWindowPlace("INITIAL", path.c_str(), &stored), 1);
    ASSERT_EQ(ReadWindowPlace("INITIAL", path.c_str(), &place), 1);
    EXPECT_EQ(place.left, -20);
    EXPECT_EQ(place.bottom, 560);
    WriteBytes(
        path, "[INITIAL]\r\nWindowLeft=10\r\nWindowTop=10\r\nWindowRight=5\r\nWindowBottom=90\r\n");
    EXPECT_EQ(ReadWindowPlace("INITIAL", path.c_str(), &place), 0);
    // Edges no screen has, from a damaged file, would overflow the fitting.
    WriteBytes(path,
               "[INITIAL]\r\nWindowLeft=-2147483647\r\nWindowTop=10\r\nWindowRight=2147483647\r\n"
               "WindowBottom=90\r\n");
    EXPECT_EQ(ReadWindowPlace("INITIAL", path.c_str(), &place), 0);
}

TEST(WindowPlace, FitsBackOntoTheScreenAndKeepsTheSmallestSize) {
    const WindowPlace screen = {0, 0, 1024, 768};
    WindowPlace place = {3000, 100, 3700, 600};
    FitWindowPlace(&place, &screen, 640, 480);
    EXPECT_EQ(place.right, 1024);
    EXPECT_EQ(place.left, 324);
    EXPECT_EQ(place.top, 100);
    place = {10, -900, 100, -800};
    FitWindowPlace(&place, &screen, 640, 480);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right - place.left, 640);
    EXPECT_EQ(place.bottom - place.top, 480);
    place = {500, 300, 1300, 900};  // partly off screen but grabbable: kept
    FitWindowPlace(&place, &screen, 640, 480);
    EXPECT_EQ(place.left, 500);
}

TEST(DriveKinds, OfferFixedRemoteRamAndRemovableBeyondTheFloppies) {
    EXPECT_EQ(DriveKindOfType('c', kSystemDriveFixed), BRAMWICK_DRIVE_HARD_DISK);
    EXPECT_EQ(DriveKindOfType('Z', kSystemDriveRemote), BRAMWICK_DRIVE_REMOTE);
    EXPECT_EQ(DriveKindOfType('R', kSystemDriveRamDisk), BRAMWICK_DRIVE_RAM_DISK);
    EXPECT_EQ(DriveKindOfType('E', kSystemDriveRemovable), BRAMWICK_DRIVE_MO_3INCH);
    EXPECT_EQ(DriveKindOfType('A', kSystemDriveRemovable), BRAMWICK_DRIVE_NONE);
    EXPECT_EQ(DriveKindOfType('D', kSystemDriveCdRom), BRAMWICK_DRIVE_NONE);
    EXPECT_EQ(DriveKindOfType('1', kSystemDriveFixed), BRAMWICK_DRIVE_NONE);
}

}  // namespace
