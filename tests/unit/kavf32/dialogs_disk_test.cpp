// File dialog block and free-space query.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "disk_geometry.h"
#include "test_support.h"

namespace {

TEST(KavfDialogs, FilterBecomesZeroSeparatedInPlace) {
    char filter[] = "Wave files|*.dat|All files|*.*|";
    KAVFDIALOG dialog = InitKavfileDialog(filter);
    ASSERT_NE(dialog, nullptr);
    const char expected[] = "Wave files\0*.dat\0All files\0*.*\0";
    EXPECT_EQ(std::memcmp(filter, expected, sizeof expected), 0);
    std::free(dialog);
}

TEST(KavfDialogs, ABarThatIsADoubleByteTrailByteStays) {
    // 0x83 0x7C is one katakana character whose second byte is '|'.
    char filter[] = "\x83\x7C\x83\x74|*.dat|";
    KAVFDIALOG dialog = InitKavfileDialog(filter);
    const char expected[] = "\x83\x7C\x83\x74\0*.dat\0";
    EXPECT_EQ(std::memcmp(filter, expected, sizeof expected), 0);
    std::free(dialog);
}

TEST(KavfDialogs, BlockOperationsAndNoDialogWithoutADesktop) {
    char filter[] = "All|*.*|";
    KAVFDIALOG dialog = InitKavfileDialog(filter);
    EXPECT_EQ(SetKavfileDirectory(dialog, "/data"), 1u);
    EXPECT_EQ(SetKavfileTitle(dialog, "Open"), 1u);
    EXPECT_EQ(SetKavfileDirectory(nullptr, "/data"), 0u);
    EXPECT_EQ(SetKavfileTitle(nullptr, "Open"), 0u);
    char file[260] = "", title[512] = "";
    EXPECT_EQ(GetOpenKavfilename(dialog, nullptr, file, title, "dat"), 0u);
    EXPECT_EQ(GetSaveKavfilename(dialog, nullptr, file, title, "dat"), 0u);
    EXPECT_EQ(GetOpenKavfilename(nullptr, nullptr, file, title, "dat"), 0u);
    std::free(dialog);
}

TEST(KavfDiskSpace, SectorSizesScaleToKilobytes) {
    EXPECT_EQ(kavf::FreeKilobytes({8, 1000, 512}), 4000u);
    EXPECT_EQ(kavf::FreeKilobytes({8, 1000, 3000}), 0u);
    EXPECT_EQ(kavf::FreeKilobytes({1, 80, 128}), 10u);
    EXPECT_EQ(kavf::FreeKilobytes({1, 80, 256}), 20u);
    EXPECT_EQ(kavf::FreeKilobytes({2, 5, 1024}), 10u);
    EXPECT_EQ(kavf::FreeKilobytes({1, 3, 16384}), 48u);
    EXPECT_EQ(kavf::FreeKilobytes({64, 0xFFFFFFFFu, 4096}), 0xFFFFFFFFu) << "saturates";
    EXPECT_EQ(kavf::DriveLetter('c'), 'C');
    EXPECT_EQ(kavf::DriveLetter('Z'), 'Z');
    EXPECT_EQ(kavf::DriveLetter('1'), 0);
    EXPECT_EQ(kavf::DriveLetter('c' + 0x100), 0);
}

TEST(KavfDiskSpace, DriveLettersMapToFoldersThroughTheEnvironment) {
    Scratch s;
    ::unsetenv("KAVF32_DRIVE_Q");
    ::setenv("KAVF32_DRIVE_C", s.folder.c_str(), 1);
    uint16_t clusters = 1, sectors = 1, bytes = 1;
    EXPECT_EQ(GetKavDiskEmpty('Q', &clusters, &sectors, &bytes), 0u);
    EXPECT_EQ(bytes, 1u) << "nothing stored without an answer";
    EXPECT_EQ(GetKavDiskEmpty('1', &clusters, &sectors, &bytes), 0u);
    EXPECT_GT(GetKavDiskEmpty('C', &clusters, &sectors, &bytes), 0u);
    EXPECT_EQ(bytes, 512u);
    EXPECT_GE(sectors, 1u);
    uint16_t lowerSectors = 0;
    EXPECT_GT(GetKavDiskEmpty('c', nullptr, &lowerSectors, nullptr), 0u);
    EXPECT_EQ(lowerSectors, sectors);
    ::setenv("KAVF32_DRIVE_C", (s.folder + "/absent").c_str(), 1);
    EXPECT_EQ(GetKavDiskEmpty('C', nullptr, nullptr, nullptr), 0u);
    ::unsetenv("KAVF32_DRIVE_C");
}

}  // namespace
