#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform.h"

namespace {

std::string Convert(const std::string& in, size_t outSize, size_t* written = nullptr) {
    std::string out(outSize + 4, '\x55');
    size_t n = PlatCp932ToUtf8(in.data(), in.size(), &out[0], outSize);
    if (written) *written = n;
    for (size_t i = outSize; i < out.size(); ++i)
        EXPECT_EQ(out[i], '\x55') << "wrote past outSize at " << i;
    if (outSize == 0) return std::string();
    EXPECT_EQ(std::strlen(out.c_str()), n);
    return out.substr(0, n);
}

TEST(Cp932ToUtf8, SingleAndDoubleByteCharacters) {
    // ASCII (0x5C and 0x7E stay ASCII), 新規, かな, half-width ｱ.
    EXPECT_EQ(Convert("a\\~", 32), "a\\~");
    EXPECT_EQ(Convert("\x90\x56\x8b\x4b", 32), "\xe6\x96\xb0\xe8\xa6\x8f");
    EXPECT_EQ(Convert("ID \x82\xa9\x82\xc8", 32), "ID \xe3\x81\x8b\xe3\x81\xaa");
    EXPECT_EQ(Convert("\xb1", 32), "\xef\xbd\xb1");
}

TEST(Cp932ToUtf8, StopsAtZeroOrInSize) {
    EXPECT_EQ(Convert(std::string("ab\0cd", 5), 32), "ab");
    char text[] = "\x90\x56\x8b\x4b";
    char out[16];
    EXPECT_EQ(PlatCp932ToUtf8(text, 2, out, sizeof out), 3u);
    EXPECT_STREQ(out, "\xe6\x96\xb0");
}

TEST(Cp932ToUtf8, NeverCutsACharacter) {
    size_t n = 0;
    // 新規 is 6 bytes of UTF-8: room for 5 keeps only 新.
    EXPECT_EQ(Convert("\x90\x56\x8b\x4b", 6, &n), "\xe6\x96\xb0");
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(Convert("\x90\x56\x8b\x4b", 7), "\xe6\x96\xb0\xe8\xa6\x8f");
    EXPECT_EQ(Convert("a\x90\x56", 3), "a");
    EXPECT_EQ(Convert("abc", 1), "");
    Convert("abc", 0, &n);
    EXPECT_EQ(n, 0u);
}

TEST(Cp932ToUtf8, InvalidBytesAreReplacedNotSkippedSilently) {
    // A lead byte cut off at the end and a byte no code page 932 text has.
    std::string cut = Convert("ab\x82", 32);
    EXPECT_EQ(cut.substr(0, 2), "ab");
    EXPECT_GT(cut.size(), 2u);
    std::string bad = Convert("x\xa0y", 32);
    EXPECT_EQ(bad.front(), 'x');
    EXPECT_EQ(bad.back(), 'y');
    EXPECT_GT(bad.size(), 2u);
    char out[8] = "keep";
    EXPECT_EQ(PlatCp932ToUtf8(nullptr, 4, out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
}

}  // namespace
