// Handle values, open errors and the per-handle fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <set>

#include "test_support.h"

namespace {

struct Refusal {
    const char* operation;
    std::function<int64_t(KAVFHANDLE)> call;
    int64_t failure;
};

std::vector<Refusal> EveryFamily() {
    static KavfWaveInfo info;
    static KavfTextElement elements[2];
    static KavfUnitTable table;
    static uint8_t frames[64];
    static char text[64];
    static uint16_t words[8];
    static uint32_t longs[8];
    static KavfSpectrumInfo spectrum;
    static KavfTrendInfo trend;
    static int32_t slot;
    return {
        {"GetKavfileHandle", [](KAVFHANDLE h) { return GetKavfileHandle(h); }, 0},
        {"CheckKavfile", [](KAVFHANDLE h) { return CheckKavfile(h, "KAVF", text); }, 0xFFFF},
        {"GetKavfileType", [](KAVFHANDLE h) { return GetKavfileType(h); }, 0},
        {"UpdateKavfDirectory", [](KAVFHANDLE h) { return UpdateKavfDirectory(h); }, 0},
        {"FindKavfIndexPtr", [](KAVFHANDLE h) { return FindKavfIndexPtr(h, 1, 1); }, 0},
        {"GetKavfInfo", [](KAVFHANDLE h) { return GetKavfInfo(h, KAVF_INFO_FRAME_SIZE); }, 0},
        {"SetKavfInfo", [](KAVFHANDLE h) { return SetKavfInfo(h, KAVF_INFO_POSITION, 5); }, 0},
        {"CreateKavfIndexInfo",
         [](KAVFHANDLE h) { return CreateKavfIndexInfo(h, "KAVF", 1, 1, "X"); }, 0},
        {"CreateKavfGroupStart", [](KAVFHANDLE h) { return CreateKavfGroupStart(h, 1, 0); }, 0},
        {"CreateKavfWaveInfo", [](KAVFHANDLE h) { return CreateKavfWaveInfo(h, 1, &info); }, 0},
        {"WriteKavfFlowWave", [](KAVFHANDLE h) { return WriteKavfFlowWave(h, 1, 0, 1, frames); },
         -1},
        {"ReadKavfFlowWave", [](KAVFHANDLE h) { return ReadKavfFlowWave(h, 1, 0, 1, frames); }, -1},
        {"ReadKavfFlowWaveClip",
         [](KAVFHANDLE h) { return ReadKavfFlowWaveClip(h, frames, 0, 0, &slot, 1); }, -1},
        {"WriteKavfFlowWaveClip",
         [](KAVFHANDLE h) { return WriteKavfFlowWaveClip(h, frames, 0, 0, 0, 1); }, -1},
        {"ChangeKavfFlowEvent", [](KAVFHANDLE h) { return ChangeKavfFlowEvent(h, 1, 0); }, -1},
        {"UpdateKavfFlowWave", [](KAVFHANDLE h) { return UpdateKavfFlowWave(h); }, -1},
        {"ClearKavfFlowWave", [](KAVFHANDLE h) { return ClearKavfFlowWave(h); }, -1},
        {"GetKavfTextInfo", [](KAVFHANDLE h) { return GetKavfTextInfo(h, elements, 1, 1, 2, 100); },
         0},
        {"ReadKavfTextData", [](KAVFHANDLE h) { return ReadKavfTextData(h, text, 1, 1, 0, 64); },
         0},
        {"ReadKavfWordData", [](KAVFHANDLE h) { return ReadKavfWordData(h, words, 1, 1, 8); }, 0},
        {"ReadKavfLongDataEx", [](KAVFHANDLE h) { return ReadKavfLongDataEx(h, longs, 1, 1, 8); },
         0},
        {"ReadKavfWaveInfo", [](KAVFHANDLE h) { return ReadKavfWaveInfo(h, 1, 1, &info); }, 0},
        {"GetKavfUnitInfo", [](KAVFHANDLE h) { return GetKavfUnitInfo(h, 1, &table, 64); }, 0},
        {"UpdateKavfIndex", [](KAVFHANDLE h) { return UpdateKavfIndex(h, 1, 2); }, 0},
        {"UpdateKavfWordInfo",
         [](KAVFHANDLE h) { return UpdateKavfWordInfo(h, 1, 1, 1, 0, 1, words); }, 0},
        {"CreateKavfMemFile", [](KAVFHANDLE h) { return CreateKavfMemFile(h, 64); }, 0},
        {"DeleteKavfMemFile", [](KAVFHANDLE h) { return DeleteKavfMemFile(h); }, 0},
        {"WriteKavfMemFile", [](KAVFHANDLE h) { return WriteKavfMemFile(h, 1, 1); }, 0},
        {"ReadKavfSpectrumInfo",
         [](KAVFHANDLE h) { return ReadKavfSpectrumInfo(h, 1, 1, &spectrum); }, 0},
        {"ReadKavfTrendInfo", [](KAVFHANDLE h) { return ReadKavfTrendInfo(h, 1, 1, &trend); }, 0},
        {"SetKavfTrendEnd", [](KAVFHANDLE h) { return SetKavfTrendEnd(h); }, 0},
    };
}

TEST(KavfHandles, ZeroClosedAndForgedValuesAreRefusedByEveryFamily) {
    Scratch s;
    KAVFHANDLE live = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_NE(live, 0u);
    KAVFHANDLE closed = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 8192);
    ASSERT_NE(closed, 0u);
    ASSERT_EQ(CloseKavfile(closed), 0u);
    // Same slot, other generation; and a slot never handed out.
    const KAVFHANDLE forged[] = {live ^ 0x00100000u, (live & ~0xFFFu) | 0xFFEu, 0xFFFFFFFFu};
    for (const Refusal& r : EveryFamily()) {
        EXPECT_EQ(r.call(0), r.failure) << r.operation << " with 0";
        EXPECT_EQ(r.call(closed), r.failure) << r.operation << " with a closed handle";
        for (KAVFHANDLE f : forged)
            EXPECT_EQ(r.call(f), r.failure) << r.operation << " with forged " << std::hex << f;
    }
    EXPECT_EQ(CloseKavfile(live), 0u);
}

TEST(KavfHandles, CloseReturnsZeroOnceAndTheValueItselfWhenInaccessible) {
    Scratch s;
    EXPECT_EQ(CloseKavfile(0), 0u);
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(CloseKavfile(h), 0u);
    EXPECT_EQ(CloseKavfile(h), h);
}

TEST(KavfHandles, ReopeningNeverHandsOutAValueStillHeldOrJustClosed) {
    Scratch s;
    std::set<KAVFHANDLE> seen;
    for (int i = 0; i < 50; ++i) {
        KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 1024);
        ASSERT_NE(h, 0u);
        EXPECT_TRUE(seen.insert(h).second) << "value " << h << " came back";
        CloseKavfile(h);
    }
}

TEST(KavfHandles, FailedOpenReportsThePlatformErrorUntilTheNextFailure) {
    Scratch s;
    EXPECT_EQ(OpenKavfile((s.folder + "/missing/X.DAT").c_str(), KAVF_OPEN_READ, 8192), 0u);
    EXPECT_EQ(OpenKavErrorCode(), 257u);
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(OpenKavErrorCode(), 257u);  // a success does not clear it
    EXPECT_NE(GetKavfileHandle(h), 0u);
    CloseKavfile(h);
}

// The create-new bit: a name taken by a file or by a link (even one to
// nothing) is refused with 280 and left as it was.
TEST(KavfHandles, CreateNewRefusesATakenNameAndLeavesItAsItIs) {
    Scratch s;
    const uint32_t mode = KAVF_OPEN_CREATE | KAVF_OPEN_CREATE_NEW | KAVF_OPEN_READWRITE;
    const std::string file = s.folder + "/taken.dat";
    const std::string target = s.folder + "/target.dat";
    const std::string link = s.folder + "/link.dat";
    const std::string dangling = s.folder + "/dangling.dat";
    WriteAll(file, Bytes{1, 2, 3});
    WriteAll(target, Bytes{4, 5});
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(symlink((s.folder + "/nothing").c_str(), dangling.c_str()), 0);
    for (const std::string& taken : {file, link, dangling}) {
        EXPECT_EQ(OpenKavfile(taken.c_str(), mode, 8192), 0u) << taken;
        EXPECT_EQ(OpenKavErrorCode(), 280u) << taken;
    }
    EXPECT_EQ(ReadAll(file), (Bytes{1, 2, 3}));
    EXPECT_EQ(ReadAll(target), (Bytes{4, 5}));
    EXPECT_FALSE(std::ifstream(s.folder + "/nothing").good());
}

TEST(KavfHandles, SmallBufferSizesAreRaisedTo1024Bytes) {
    // A text list of ten 260-byte elements: a 1024-byte work buffer holds
    // the 12-byte item header and three whole elements.
    Scratch s;
    std::vector<std::string> texts(10, "abc");
    Bytes file = IndexRecord(1);
    Bytes group = Group({TextList(7, texts, 130)});
    file.insert(file.end(), group.begin(), group.end());
    WriteAll(s.path, file);
    KavfTextElement out[10];
    for (uint32_t size : {100u, 1024u}) {
        KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, size);
        char name[33];
        ASSERT_EQ(CheckKavfile(h, "KAVF", name), 1u);
        EXPECT_EQ(GetKavfTextInfo(h, out, 1, 7, 0, 1000), 3u) << "buffer size " << size;
        CloseKavfile(h);
    }
    KAVFHANDLE h = OpenChecked(s.path);
    EXPECT_EQ(GetKavfTextInfo(h, out, 1, 7, 0, 1000), 10u);
    CloseKavfile(h);
}

TEST(KavfHandles, InfoSelectorsCoverTheListedFieldsOnly) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    const uint32_t selectors[] = {1, 3, 4, 5, 6, 7, 8, 10};
    for (uint32_t sel : selectors) {
        EXPECT_EQ(SetKavfInfo(h, sel, 0x1234), 1u) << sel;
        EXPECT_EQ(GetKavfInfo(h, sel), 0x1234u) << sel;
        EXPECT_EQ(GetKavfInfo(h, sel + 0x10000), 0x1234u) << "selector is taken modulo 65536";
    }
    EXPECT_EQ(SetKavfInfo(h, 3, 0x12345678), 1u);
    EXPECT_EQ(GetKavfInfo(h, 3), 0x12345678u);
    EXPECT_EQ(SetKavfInfo(h, 5, 0x12345678), 1u);
    EXPECT_EQ(GetKavfInfo(h, 5), 0x5678u) << "16-bit field";
    for (uint32_t sel : {0u, 2u, 9u, 11u}) {
        EXPECT_EQ(SetKavfInfo(h, sel, 7), 0u) << sel;
        EXPECT_EQ(GetKavfInfo(h, sel), 0u) << sel;
    }
    CloseKavfile(h);
}

TEST(KavfHandles, UpdateDirectoryReopensTheFileAndWritingContinues) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_EQ(CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING32"), 36u);
    EXPECT_EQ(UpdateKavfDirectory(h), 1u);
    EXPECT_EQ(CreateKavfGroupStart(h, 1, 0), 40u);
    EXPECT_EQ(CreateKavfGroupEnd(h, 1), 44u);
    CloseKavfile(h);
    Bytes file = ReadAll(s.path);
    ASSERT_EQ(file.size(), 44u);
    EXPECT_EQ(At32(file, 36), 4u);
    EXPECT_EQ(std::string(file.begin() + 20, file.begin() + 32), "EEG FILING32");
}

TEST(KavfHandles, AFailedReopenLeavesTheHandleWithoutAFile) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_EQ(CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING32"), 36u);
    std::remove(s.path.c_str());
    EXPECT_EQ(UpdateKavfDirectory(h), 0u);
    EXPECT_EQ(GetKavfileHandle(h), 0u);
    EXPECT_EQ(CreateKavfGroupStart(h, 1, 0), 0u);
    EXPECT_EQ(CloseKavfile(h), 0u);
}

}  // namespace
