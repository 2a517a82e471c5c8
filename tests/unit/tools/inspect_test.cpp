// The inspector's walk and the quillon-cli inspect command on sound,
// truncated and lying files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "kavf32.h"
#include "wave_walk.h"

namespace {

struct Scratch {
    std::string dir;
    Scratch() {
        char pattern[] = "/tmp/quillon-inspect-XXXXXX";
        dir = mkdtemp(pattern);
    }
    ~Scratch() { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string Path(const char* name) const { return dir + "/" + name; }
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Index, two header groups, a wave group with 10 frames of 3 channels.
void MakeSampleFile(const std::string& path) {
    KAVFHANDLE h = OpenKavfile(path.c_str(), 0x1002, 8192);
    ASSERT_NE(h, 0u);
    CreateKavfIndexInfo(h, "KAVF", 40, 1, "EEG FILING32");
    CreateKavfGroupStart(h, 1, 0);
    KavfTextElement texts[2];
    std::memset(texts, 0, sizeof texts);
    texts[0] = {4, 4, "1900"};
    texts[1] = {4, 3, "500"};
    CreateKavfTextInfo(h, 0x80, 2, texts);
    const uint16_t words[3] = {1, 2, 3};
    CreateKavfWordInfo(h, 1, 0x86, 3, words);
    CreateKavfGroupEnd(h, 1);
    CreateKavfGroupStart(h, 2, 0);
    const uint32_t longs[2] = {7, 8};
    CreateKavfLongInfo(h, 1, 0x88, 2, longs);
    CreateKavfGroupEnd(h, 2);
    CreateKavfGroupStart(h, 3, 0);
    KavfWaveInfo info;
    std::memset(&info, 0, sizeof info);
    info.type = KAVF_WAVE_EVENT;
    info.interval = 2000;
    info.bits = 16;
    info.channels = 3;
    CreateKavfWaveInfo(h, 0xA0, &info);
    int16_t frames[10][4];
    for (int k = 0; k < 10; ++k) {
        frames[k][0] = static_cast<int16_t>(k == 1 ? 0x1001 : 0);
        for (int c = 1; c < 4; ++c) frames[k][c] = static_cast<int16_t>(k * 10 - c);
    }
    ASSERT_EQ(WriteKavfFlowWave(h, 1, 0, 10, frames), 10);
    SetKavfWaveEnd(h);
    CloseKavfile(h);
}

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

CliResult RunCli(const Scratch& scratch, const std::string& args) {
    std::string out = scratch.Path("stdout"), err = scratch.Path("stderr");
    int raw =
        std::system((std::string(QUILLON_CLI) + " " + args + " >" + out + " 2>" + err).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}

TEST(InspectWalk, DescribesASoundFile) {
    Scratch scratch;
    std::string path = scratch.Path("a.DAT");
    MakeSampleFile(path);
    WalkResult walk = WalkWaveFile(path.c_str());
    ASSERT_EQ(walk.error, "");
    EXPECT_STREQ(walk.magic, "KAVF");
    EXPECT_EQ(walk.typeName, "EEG FILING32");
    EXPECT_EQ(walk.declaredGroups, 40);
    ASSERT_EQ(walk.groups.size(), 3u);
    // Index 36 bytes; group 1: 2 + text list (8 + 4 + 4) + word array (6 + 4) + 2 = 30 words.
    EXPECT_EQ(walk.groups[0].offset, 36u);
    EXPECT_EQ(walk.groups[0].lengthWords, 30u);
    ASSERT_EQ(walk.groups[0].items.size(), 2u);
    EXPECT_EQ(walk.groups[0].items[0].kind, 0x0080);
    EXPECT_EQ(walk.groups[0].items[0].count, 2u);
    EXPECT_EQ(walk.groups[0].items[1].lengthWords, 10u);
    EXPECT_EQ(walk.groups[1].offset, 96u);
    ASSERT_TRUE(walk.wave.present);
    EXPECT_EQ(walk.wave.group, 3u);
    EXPECT_EQ(walk.wave.frames, 10u);
    EXPECT_EQ(walk.wave.frameSize, 8u);
    EXPECT_EQ(walk.wave.bytesAfterHeader, 80u);
}

TEST(InspectWalk, RefusesWhatIsNotSound) {
    Scratch scratch;
    std::string path = scratch.Path("a.DAT");
    MakeSampleFile(path);
    const std::string sound = ReadAll(path);
    std::string bad = scratch.Path("bad.DAT");

    WriteAll(bad, "");
    EXPECT_NE(WalkWaveFile(bad.c_str()).error, "");
    WriteAll(bad, "time,Fp1,Fp2\n0,1,2\n");
    EXPECT_NE(WalkWaveFile(bad.c_str()).error.find("not a wave data file"), std::string::npos);

    // Cut inside every structure in turn: index, group 1, the wave's header
    // and its frames.
    for (size_t cut :
         {size_t{10}, size_t{40}, size_t{70}, size_t{100}, size_t{140}, sound.size() - 1}) {
        WriteAll(bad, sound.substr(0, cut));
        EXPECT_NE(WalkWaveFile(bad.c_str()).error, "") << "cut at " << cut;
    }

    // Lies: the frame count, the group length and an item length.
    std::string lie = sound;
    lie[sound.size() - 80 - 32 + 11] = 11;  // 11 frames declared, 10 present
    WriteAll(bad, lie);
    EXPECT_NE(WalkWaveFile(bad.c_str()).error.find("declares 11 frames"), std::string::npos);
    lie = sound;
    lie[36 + 3] = static_cast<char>(0xF0);  // group 1 length far past the end
    WriteAll(bad, lie);
    EXPECT_NE(WalkWaveFile(bad.c_str()).error, "");
    lie = sound;
    lie[40 + 3] = 9;  // text list of 9 words in place of 16
    WriteAll(bad, lie);
    EXPECT_NE(WalkWaveFile(bad.c_str()).error, "");
}

TEST(InspectCommand, PrintsStructureAndFrames) {
    Scratch scratch;
    std::string path = scratch.Path("a.DAT");
    MakeSampleFile(path);
    CliResult r = RunCli(scratch, "inspect " + path + " --frames 1:2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("magic: KAVF"), std::string::npos);
    EXPECT_NE(r.out.find("\"EEG FILING32\" (file-type code 5)"), std::string::npos);
    EXPECT_NE(r.out.find("groups: declared 40, found 3"), std::string::npos);
    EXPECT_NE(r.out.find("type 0x0202, 3 channels, 16 bits, interval 2000 us, 10 frames, "
                         "frame size 8 bytes"),
              std::string::npos);
    EXPECT_NE(r.out.find("frame 1: event 4097 | 9 8 7\nframe 2: event 0 | 19 18 17\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("frame 3:"), std::string::npos);
}

TEST(InspectCommand, BadFilesGetOneLineAndAFailingStatus) {
    Scratch scratch;
    std::string path = scratch.Path("a.DAT");
    MakeSampleFile(path);
    std::string sound = ReadAll(path);
    std::string bad = scratch.Path("bad.DAT");
    WriteAll(bad, sound.substr(0, sound.size() - 5));
    for (const std::string& args : {"inspect " + bad, "inspect " + scratch.Path("missing.DAT"),
                                    "inspect " + path + " --frames 5:10"}) {
        CliResult r = RunCli(scratch, args);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
        EXPECT_EQ(r.err.rfind("quillon-cli: ", 0), 0u) << r.err;
    }
    EXPECT_EQ(RunCli(scratch, "inspect").status, 2);
    EXPECT_EQ(RunCli(scratch, "inspect " + path + " --frames 3").status, 2);
}

}  // namespace
