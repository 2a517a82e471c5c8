#include <gtest/gtest.h>

#include <string>

#include "scratch_files.h"
#include "store/recent_files.h"

namespace {

std::string Listed(const RecentFiles& list) {
    std::string text;
    for (int32_t i = 0; i < list.count; ++i) text += std::string(list.paths[i]) + ";";
    return text;
}

TEST(RecentFiles, NewestFirstOldestDroppedRepeatsMovedUp) {
    RecentFiles list = {};
    for (const char* path : {"C:\\a.txt", "C:\\b.csv", "C:\\c.txt", "C:\\d.txt"})
        EXPECT_EQ(AddRecentFile(&list, path), 1);
    EXPECT_EQ(Listed(list), "C:\\d.txt;C:\\c.txt;C:\\b.csv;C:\\a.txt;");
    AddRecentFile(&list, "c:/B.CSV");
    EXPECT_EQ(Listed(list), "c:/B.CSV;C:\\d.txt;C:\\c.txt;C:\\a.txt;");
    AddRecentFile(&list, "C:\\e.txt");
    EXPECT_EQ(Listed(list), "C:\\e.txt;c:/B.CSV;C:\\d.txt;C:\\c.txt;");
}

TEST(RecentFiles, DoubleByteNamesCompareTheirTrailBytesExactly) {
    RecentFiles list = {};
    // The trail bytes 0x61 and 0x41 differ only as letters would in case.
    AddRecentFile(&list, "C:\\\x83\x61.txt");
    AddRecentFile(&list, "C:\\\x83\x41.txt");
    EXPECT_EQ(list.count, 2);
    AddRecentFile(&list, "c:\\\x83\x61.TXT");
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(std::string(list.paths[0]), "c:\\\x83\x61.TXT");
}

TEST(RecentFiles, EmptyAndOverLongPathsChangeNothing) {
    RecentFiles list = {};
    AddRecentFile(&list, "C:\\a.txt");
    EXPECT_EQ(AddRecentFile(&list, ""), 0);
    EXPECT_EQ(AddRecentFile(&list, std::string(kPathSize, 'x').c_str()), 0);
    EXPECT_EQ(Listed(list), "C:\\a.txt;");
}

TEST(RecentFiles, SurviveTheSettingsFileAndSkipRepeatedKeys) {
    ScratchFolder folder;
    const std::string settings = folder.File("QUILLON.INI");
    RecentFiles list = {};
    AddRecentFile(&list, "C:\\a.txt");
    AddRecentFile(&list, "C:\\b.txt");
    SaveRecentFileList(&list, settings.c_str());
    RecentFiles loaded;
    LoadRecentFileList(&loaded, settings.c_str());
    EXPECT_EQ(Listed(loaded), "C:\\b.txt;C:\\a.txt;");

    WriteBytes(settings,
               "[RECENT]\r\nFile1=C:\\x.txt\r\nFile2=\r\nFile3=c:\\X.TXT\r\n"
               "File4=C:\\y.txt\r\n");
    LoadRecentFileList(&loaded, settings.c_str());
    EXPECT_EQ(Listed(loaded), "C:\\x.txt;C:\\y.txt;");
}

}  // namespace
