#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bramwick.h"
#include "scratch_files.h"

namespace {

std::vector<uint16_t> Numbers(const std::string& text, int32_t length, int32_t maxCount = 256) {
    uint16_t values[256];
    uint32_t count = ParseNumberList(values, text.c_str(), length, maxCount);
    return std::vector<uint16_t>(values, values + count);
}

std::vector<uint16_t> Numbers(const std::string& text) {
    return Numbers(text, static_cast<int32_t>(text.size()));
}

TEST(ParseNumberList, KeepsTheLowSixteenBitsOfEachValue) {
    using V = std::vector<uint16_t>;
    EXPECT_EQ(Numbers("-1,70000,,65536"), (V{65535, 4464, 0, 0}));
    EXPECT_EQ(Numbers("10,20,30,", 4), (V{10, 2}));
    EXPECT_EQ(Numbers("10,20,30,", 9, 2), (V{10, 20}));
}

std::string ProgramFolder() {
    char folder[BRAMWICK_FOLDER_SIZE];
    EXPECT_EQ(BramwickProgramFolder(nullptr, folder), 1);
    return folder;
}

TEST(ProgramFolder, EndsWithASeparatorUntilTrimmed) {
    std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), PlatPathSeparator());
    EXPECT_TRUE(PlatIsDirectory(folder.c_str()));
    char trimmed[BRAMWICK_FOLDER_SIZE];
    std::snprintf(trimmed, sizeof trimmed, "%s", folder.c_str());
    BramwickTrimFolder(trimmed);
    EXPECT_EQ(std::string(trimmed) + PlatPathSeparator(), folder);

    char root[BRAMWICK_FOLDER_SIZE] = "C:\\";
    BramwickTrimFolder(root);
    EXPECT_STREQ(root, "C:");
}

// One test: tracing cannot be turned off again within a process.
TEST(Trace, WritesNothingUntilTurnedOnThenAppendsLines) {
    std::string path = ProgramFolder() + "BRAMWICK.LOG";
    std::remove(path.c_str());
    BramwickTrace("before");
    EXPECT_FALSE(PlatFileExists(path.c_str()));
    BramwickTraceOn();
    BramwickTrace("first");
    BramwickTrace("second");
    EXPECT_EQ(ReadBytes(path), "first\r\nsecond\r\n");
    std::remove(path.c_str());
}

}  // namespace
