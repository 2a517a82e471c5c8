// Header groups built in a memory file and committed to the file.
#include <gtest/gtest.h>

#include <cstring>

#include "test_support.h"

namespace {

struct Fresh {
    Scratch scratch;
    KAVFHANDLE h = 0;
    Fresh() {
        h = OpenKavfile(scratch.path.c_str(), 0x1002, 8192);
        CreateKavfIndexInfo(h, "KAVF", 2, 1, "EEG FILING32");
    }
    ~Fresh() { CloseKavfile(h); }
};

TEST(KavfMemoryFile, SizeIsRoundedToFourBytes) {
    Fresh f;
    EXPECT_EQ(CreateKavfMemFile(f.h, 1001), 1004u);
    EXPECT_EQ(CreateKavfMemFile(f.h, 0), 0u);
    EXPECT_EQ(DeleteKavfMemFile(f.h), 1u);
    EXPECT_EQ(DeleteKavfMemFile(f.h), 1u) << "nothing attached";
}

TEST(KavfMemoryFile, OneGroupIsBuiltAtItsFileOffsetAndCommittedInOneWrite) {
    Fresh f;
    ASSERT_EQ(CreateKavfMemFile(f.h, 256), 256u);
    const uint16_t values[3] = {0x0102, 0x0304, 0x0506};
    EXPECT_EQ(CreateKavfMemGroupStart(f.h, 1, 0), 40u);
    EXPECT_EQ(CreateKavfMemWordInfo(f.h, 1, 9, 3, values), 60u);
    EXPECT_EQ(CreateKavfMemGroupEnd(f.h, 1), 64u);
    EXPECT_EQ(ReadAll(f.scratch.path).size(), 36u) << "nothing reaches the file before the commit";
    EXPECT_EQ(WriteKavfMemFile(f.h, 1, 1), 64);
    Bytes file = ReadAll(f.scratch.path);
    const Bytes group = {0, 0, 0, 14, 0, 0, 0, 10, 0, 0x11, 0, 9, 0, 0,
                         0, 3, 1, 2,  3, 4, 5, 6,  0, 0,    0, 0, 0, 0};
    EXPECT_EQ(Slice(file, 36, 28), group);
    EXPECT_EQ(file.size(), 64u);
    uint16_t back[4];
    EXPECT_EQ(ReadKavfWordData(f.h, back, 1, 9, 0), 4u)
        << "the handle's group table knows the group";
    EXPECT_EQ(back[2], 0x0506u);
}

TEST(KavfMemoryFile, TwinsWriteTheSameBytesAsTheFileWriters) {
    Fresh mem, direct;
    KavfTextElement texts[2] = {Element(6, "NAME"), Element(2, "")};
    const uint32_t longs[2] = {7, 0x12345678};
    const uint8_t image[3] = {0xAA, 0xBB, 0xCC};
    ASSERT_NE(CreateKavfMemFile(mem.h, 4096), 0u);
    CreateKavfMemGroupStart(mem.h, 1, 0);
    CreateKavfMemTextInfo(mem.h, 1, 2, texts);
    CreateKavfMemLongInfo(mem.h, 1, 2, 2, longs);
    CreateKavfMemLongInfoEx(mem.h, 0, 3, 2, longs);
    CreateKavfMemImageInfo(mem.h, 0, 4, 3, image);
    CreateKavfMemGroupEnd(mem.h, 1);
    CreateKavfMemGroupStart(mem.h, 2, 0);
    CreateKavfMemWordInfo(mem.h, 2, 5, 1, nullptr);
    uint32_t end = CreateKavfMemGroupEnd(mem.h, 2);
    EXPECT_EQ(WriteKavfMemFile(mem.h, 1, 2), static_cast<int32_t>(end));

    CreateKavfGroupStart(direct.h, 1, 0);
    CreateKavfTextInfo(direct.h, 1, 2, texts);
    CreateKavfLongInfo(direct.h, 1, 2, 2, longs);
    CreateKavfLongInfoEx(direct.h, 0, 3, 2, longs);
    CreateKavfImageInfo(direct.h, 0, 4, 3, image);
    CreateKavfGroupEnd(direct.h, 1);
    CreateKavfGroupStart(direct.h, 2, 0);
    CreateKavfWordInfo(direct.h, 2, 5, 1, nullptr);
    EXPECT_EQ(CreateKavfGroupEnd(direct.h, 2), end);
    EXPECT_EQ(ReadAll(mem.scratch.path), ReadAll(direct.scratch.path));
}

TEST(KavfMemoryFile, RecordsThatDoNotFitAreRefusedAndChangeNothing) {
    Fresh f;
    ASSERT_EQ(CreateKavfMemFile(f.h, 80), 80u);
    EXPECT_EQ(CreateKavfMemGroupStart(f.h, 1, 0), 40u);
    KavfTextElement big[1] = {Element(20, "TOO LONG")};
    EXPECT_EQ(CreateKavfMemTextInfo(f.h, 1, 1, big), 0u) << "40 + 56 bytes pass 80";
    const uint16_t one[1] = {1};
    EXPECT_EQ(CreateKavfMemWordInfo(f.h, 1, 2, 1, one), 56u) << "the write offset stayed at 40";
    EXPECT_EQ(CreateKavfMemGroupEnd(f.h, 1), 60u);
    EXPECT_EQ(WriteKavfMemFile(f.h, 1, 1), 60);
    EXPECT_EQ(At32(ReadAll(f.scratch.path), 36), 12u) << "the refused list added nothing";
}

TEST(KavfMemoryFile, WithoutAMemoryFileEveryMemoryWriterFails) {
    Fresh f;
    const uint16_t one[1] = {1};
    KavfTextElement text[1] = {Element(4, "A")};
    EXPECT_EQ(CreateKavfMemGroupStart(f.h, 1, 0), 0u);
    EXPECT_EQ(CreateKavfMemWordInfo(f.h, 1, 1, 1, one), 0u);
    EXPECT_EQ(CreateKavfMemTextInfo(f.h, 1, 1, text), 0u);
    EXPECT_EQ(CreateKavfMemGroupEnd(f.h, 1), 0u);
    EXPECT_EQ(WriteKavfMemFile(f.h, 1, 1), 0);
    ASSERT_EQ(CreateKavfMemFile(f.h, 128), 128u);
    EXPECT_EQ(WriteKavfMemFile(f.h, 0, 1), 0) << "first group 0";
    DeleteKavfMemFile(f.h);
    EXPECT_EQ(CreateKavfMemGroupStart(f.h, 1, 0), 0u);
}

TEST(KavfMemoryFile, ANewMemoryFileReplacesTheOldOne) {
    Fresh f;
    ASSERT_EQ(CreateKavfMemFile(f.h, 128), 128u);
    CreateKavfMemGroupStart(f.h, 1, 0);
    const uint16_t v[1] = {0xFFFF};
    CreateKavfMemWordInfo(f.h, 1, 1, 1, v);
    ASSERT_EQ(CreateKavfMemFile(f.h, 128), 128u);
    EXPECT_EQ(WriteKavfMemFile(f.h, 1, 1), 56) << "group 1's running length: 2 + 8 words";
    Bytes file = ReadAll(f.scratch.path);
    EXPECT_EQ(Slice(file, 36, 20), Bytes(20, 0)) << "the new buffer starts zero-filled";
}

}  // namespace
