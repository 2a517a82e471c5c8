#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <pthread.h>
#include <unistd.h>

#include "platform.h"

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        char pattern[] = "/tmp/quillon-platform-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const char* name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Get(const std::string& path, const char* section, const char* key,
                const char* fallback = "dflt") {
    char out[256];
    PlatProfileString(section, key, fallback, out, sizeof out, path.c_str());
    return out;
}

TEST(Profile, MissingFileSectionOrKeyGiveTheDefault) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    EXPECT_EQ(Get(ini, "SYSTEM", "MaxCh"), "dflt");
    EXPECT_EQ(PlatProfileInt("SYSTEM", "MaxCh", 32, ini.c_str()), 32);
    WriteBytes(ini, "[SYSTEM]\r\nMaxCh=64\r\n");
    EXPECT_EQ(Get(ini, "INITIAL", "MaxCh"), "dflt");
    EXPECT_EQ(Get(ini, "SYSTEM", "FrameTime"), "dflt");
    EXPECT_EQ(PlatProfileInt("SYSTEM", "FrameTime", 1, ini.c_str()), 1);
    EXPECT_EQ(PlatProfileInt("SYSTEM", "MaxCh", 32, ini.c_str()), 64);
}

TEST(Profile, NamesAreCaseInsensitiveAndTheFirstMatchWins) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(
        ini,
        "[System]\r\nmaxch = 16 \r\nMAXCH=17\r\n[SYSTEM]\r\nMaxCh=18\r\nOther=\"quoted \"\r\n");
    EXPECT_EQ(Get(ini, "SYSTEM", "MaxCh"), "16");
    EXPECT_EQ(Get(ini, "system", "Other"), "dflt") << "only the first section is searched";
    WriteBytes(ini, "[A]\r\nText=  \"quoted \"  \r\nEmpty=\r\n");
    EXPECT_EQ(Get(ini, "a", "TEXT"), "quoted ");
    EXPECT_EQ(Get(ini, "A", "Empty"), "") << "an empty value is not the default";
    EXPECT_EQ(PlatProfileInt("A", "Empty", 7, ini.c_str()), 7);
}

TEST(Profile, IntegersTakeSignDigitsAndStopAtJunk) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(ini,
               "[N]\nneg=-42\nplus=+7\njunk=12abc\nword=abc\nbig=70000\nwrap=4294967297\n"
               "hex=0x1F\nblank=  9\n");
    EXPECT_EQ(PlatProfileInt("N", "neg", 0, ini.c_str()), -42);
    EXPECT_EQ(PlatProfileInt("N", "plus", 0, ini.c_str()), 7);
    EXPECT_EQ(PlatProfileInt("N", "junk", 0, ini.c_str()), 12);
    EXPECT_EQ(PlatProfileInt("N", "word", 5, ini.c_str()), 0);
    EXPECT_EQ(PlatProfileInt("N", "big", 0, ini.c_str()), 70000);
    EXPECT_EQ(PlatProfileInt("N", "wrap", 0, ini.c_str()), 1);
    EXPECT_EQ(PlatProfileInt("N", "hex", 0, ini.c_str()), 31);
    EXPECT_EQ(PlatProfileInt("N", "blank", 0, ini.c_str()), 9);
}

TEST(Profile, LongValuesAreCutToTheBuffer) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(ini, "[S]\nk=abcdefghij\n");
    char out[5];
    EXPECT_EQ(PlatProfileString("S", "k", "", out, sizeof out, ini.c_str()), 4u);
    EXPECT_STREQ(out, "abcd");
}

TEST(Profile, WritingReplacesInPlaceAndKeepsOtherLinesByteForByte) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    const std::string before =
        "; hand-written\r\n[SYSTEM]\r\nMaxCh=32\r\n  odd line without equals\r\n"
        "EEGFileNo = 5\r\n\r\n[ORGCOND0]\r\nEnable=1\r\n";
    WriteBytes(ini, before);
    ASSERT_EQ(PlatWriteProfileString("system", "eegfileno", "6", ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini),
              "; hand-written\r\n[SYSTEM]\r\nMaxCh=32\r\n  odd line without equals\r\n"
              "EEGFileNo =6\r\n\r\n[ORGCOND0]\r\nEnable=1\r\n");
}

TEST(Profile, NewKeysJoinTheirSectionAndNewSectionsGoAtTheEnd) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(ini, "[SYSTEM]\r\nMaxCh=32\r\n\r\n[INITIAL]\r\nDebug=0\r\n");
    ASSERT_EQ(PlatWriteProfileString("SYSTEM", "FrameTime", "2", ini.c_str()), 1);
    ASSERT_EQ(PlatWriteProfileString("PATIENT", "Name", "x", ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini),
              "[SYSTEM]\r\nMaxCh=32\r\nFrameTime=2\r\n\r\n[INITIAL]\r\nDebug=0\r\n"
              "\r\n[PATIENT]\r\nName=x\r\n");
    EXPECT_EQ(PlatProfileInt("SYSTEM", "FrameTime", 1, ini.c_str()), 2);
}

// A file whose last line ends in a carriage return alone: a key written
// after it must not join that line, where it would be lost.
TEST(Profile, AWriteAfterALoneCarriageReturnIsKept) {
    ScratchFolder dir;
    const std::string ini = dir.File("q.ini");
    WriteBytes(ini, "[SYSTEM]\r");
    ASSERT_EQ(PlatWriteProfileString("SYSTEM", "EEGFileNo", "12345", ini.c_str()), 1);
    EXPECT_EQ(Get(ini, "SYSTEM", "EEGFileNo"), "12345");
    WriteBytes(ini, "[SYSTEM]\r\nEEGFileNo=1\r");
    ASSERT_EQ(PlatWriteProfileString("SYSTEM", "EEGFileNo", "7", ini.c_str()), 1);
    ASSERT_EQ(PlatWriteProfileString("SYSTEM", "MaxCh", "16", ini.c_str()), 1);
    EXPECT_EQ(Get(ini, "SYSTEM", "EEGFileNo"), "7");
    EXPECT_EQ(Get(ini, "SYSTEM", "MaxCh"), "16");
}

// A held file is read once and written once, to the same bytes the same
// writes give without a hold; a second path cannot be held meanwhile.
TEST(Profile, AHeldFileIsWrittenOnceAtReleaseWithTheSameBytes) {
    ScratchFolder dir;
    const std::string held = dir.File("held.ini");
    const std::string plain = dir.File("plain.ini");
    const std::string start = "[SYSTEM]\r\nMaxCh=32\r\n";
    WriteBytes(held, start);
    WriteBytes(plain, start);
    auto writeAll = [](const std::string& path) {
        PlatWriteProfileString("SYSTEM", "MaxCh", "16", path.c_str());
        PlatWriteProfileString("EEG1", "PATTERN", "\x8a\xb3\x8e\xd2", path.c_str());
        PlatWriteProfileString("SYSTEM", "OrgFile", nullptr, path.c_str());
    };
    ASSERT_EQ(PlatProfileHold(held.c_str()), 1);
    ASSERT_EQ(PlatProfileHold(held.c_str()), 1);
    EXPECT_EQ(PlatProfileHold(plain.c_str()), 0);
    writeAll(held);
    writeAll(plain);
    EXPECT_EQ(PlatProfileInt("SYSTEM", "MaxCh", 0, held.c_str()), 16);
    EXPECT_EQ(PlatProfileHasSection("EEG1", held.c_str()), 1);
    ASSERT_EQ(PlatProfileRelease(held.c_str()), 1);
    EXPECT_EQ(ReadBytes(held), start);  // still held once
    ASSERT_EQ(PlatProfileRelease(held.c_str()), 1);
    EXPECT_EQ(ReadBytes(held), ReadBytes(plain));
    EXPECT_EQ(Get(held, "SYSTEM", "MaxCh"), "16");
}

// A held file looks its values up in an index of them: every answer must be
// the one the file gives unheld, also after a write while held.
TEST(Profile, AHeldFileAnswersEveryLookupAsTheFileDoes) {
    ScratchFolder dir;
    const std::string ini = dir.File("q.ini");
    WriteBytes(ini,
               "Top=before any section\r\n[A]\r\nKey=first\r\nkey=second\r\n"
               "  Spaced  =  ' quoted '  \r\n=empty key\r\n[broken\r\nAfter=broken\r\n"
               "[ a ]\r\nKey=shadowed\r\nOnly=later section\r\n[B]\nKey=\"x\"\nTail=no end");
    const char* const sections[] = {"A", "a", " A", "B", "b", "C", ""};
    const char* const keys[] = {"Key", "KEY", "Spaced", "", "After", "Only", "Tail", "Top", "x"};
    std::vector<std::string> unheld;
    for (const char* section : sections) {
        unheld.push_back(std::to_string(PlatProfileHasSection(section, ini.c_str())));
        for (const char* key : keys) unheld.push_back(Get(ini, section, key));
    }
    ASSERT_EQ(PlatProfileHold(ini.c_str()), 1);
    size_t at = 0;
    for (const char* section : sections) {
        EXPECT_EQ(std::to_string(PlatProfileHasSection(section, ini.c_str())), unheld[at++])
            << section;
        for (const char* key : keys)
            EXPECT_EQ(Get(ini, section, key), unheld[at++]) << section << key;
    }
    EXPECT_EQ(Get(ini, "A", "Key"), "first");
    EXPECT_EQ(Get(ini, "B", "Key"), "x");
    PlatWriteProfileString("a", "KEY", "changed", ini.c_str());
    PlatWriteProfileString("New", "Key", "added", ini.c_str());
    EXPECT_EQ(Get(ini, "A", "Key"), "changed");
    EXPECT_EQ(Get(ini, "new", "key"), "added");
    EXPECT_EQ(PlatProfileHasSection("NEW", ini.c_str()), 1);
    ASSERT_EQ(PlatProfileRelease(ini.c_str()), 1);
    EXPECT_EQ(Get(ini, "A", "Key"), "changed");
}

TEST(Profile, AHeldMissingFileGivesDefaultsUntilWrittenAndIsCreatedAtRelease) {
    ScratchFolder dir;
    const std::string ini = dir.File("new.ini");
    ASSERT_EQ(PlatProfileHold(ini.c_str()), 1);
    EXPECT_EQ(Get(ini, "SYSTEM", "EEGFileNo"), "dflt");
    EXPECT_EQ(PlatProfileHasSection("SYSTEM", ini.c_str()), 0);
    PlatWriteProfileString("SYSTEM", "EEGFileNo", "1", ini.c_str());
    EXPECT_EQ(PlatProfileInt("SYSTEM", "EEGFileNo", 0, ini.c_str()), 1);
    EXPECT_NE(access(ini.c_str(), F_OK), 0);
    ASSERT_EQ(PlatProfileRelease(ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[SYSTEM]\r\nEEGFileNo=1\r\n");
}

TEST(Profile, WritingCreatesAMissingFileAndLeavesNoTemporaryBehind) {
    ScratchFolder dir;
    std::string ini = dir.File("new.ini");
    ASSERT_EQ(PlatWriteProfileString("SYSTEM", "EEGFileNo", "1", ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[SYSTEM]\r\nEEGFileNo=1\r\n");
    char name[64];
    EXPECT_EQ(PlatFindFirstWithExtension(dir.Path().c_str(), "ini", name, sizeof name), 1);
    EXPECT_STREQ(name, "new.ini");
    EXPECT_EQ(std::system(("test $(ls '" + dir.Path() + "' | wc -l) -eq 1").c_str()), 0);
}

TEST(Profile, AFinalLineWithoutLineEndIsReplacedAndExtendedCleanly) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(ini, "[S]\nA=1");
    ASSERT_EQ(PlatWriteProfileString("S", "A", "2", ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[S]\nA=2\n");
    WriteBytes(ini, "[S]\nA=1");
    ASSERT_EQ(PlatWriteProfileString("S", "B", "3", ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[S]\nA=1\nB=3\n");
}

TEST(Profile, NullValueRemovesTheKeyAndNullKeyTheSection) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    WriteBytes(ini, "[A]\nx=1\ny=2\n[B]\nz=3\n");
    ASSERT_EQ(PlatWriteProfileString("A", "x", nullptr, ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[A]\ny=2\n[B]\nz=3\n");
    ASSERT_EQ(PlatWriteProfileString("A", nullptr, nullptr, ini.c_str()), 1);
    EXPECT_EQ(ReadBytes(ini), "[B]\nz=3\n");
}

TEST(Profile, Cp932ValuesAreKeptAsBytes) {
    ScratchFolder dir;
    std::string ini = dir.File("q.ini");
    // "病院" then a trail byte that is '\' (0x5C) in "表".
    const char hospital[] = "\x95\x61\x89\x40\x95\x5C";
    ASSERT_EQ(PlatWriteProfileString("PATIENT", "Hospital", hospital, ini.c_str()), 1);
    EXPECT_EQ(Get(ini, "PATIENT", "Hospital"), hospital);
    EXPECT_EQ(ReadBytes(ini), std::string("[PATIENT]\r\nHospital=") + hospital + "\r\n");
}

TEST(Cp932, LeadByteRanges) {
    EXPECT_FALSE(PlatIsLeadByte932(0x80));
    EXPECT_TRUE(PlatIsLeadByte932(0x81));
    EXPECT_TRUE(PlatIsLeadByte932(0x9F));
    EXPECT_FALSE(PlatIsLeadByte932(0xA0));
    EXPECT_FALSE(PlatIsLeadByte932(0xB1)) << "half-width katakana is single-byte";
    EXPECT_FALSE(PlatIsLeadByte932(0xDF));
    EXPECT_TRUE(PlatIsLeadByte932(0xE0));
    EXPECT_TRUE(PlatIsLeadByte932(0xFC));
    EXPECT_FALSE(PlatIsLeadByte932(0xFD));
    EXPECT_FALSE(PlatIsLeadByte932('A'));
}

TEST(Files, ResultsFollowTheMultimediaFileContract) {
    ScratchFolder dir;
    std::string path = dir.File("data.bin");
    uint32_t error = 1;
    EXPECT_EQ(PlatFileOpen(path.c_str(), PLAT_OPEN_READ, &error), nullptr);
    EXPECT_EQ(error, static_cast<uint32_t>(PLAT_ERR_FILENOTFOUND));

    PlatFile file = PlatFileOpen(path.c_str(), PLAT_OPEN_CREATE | PLAT_OPEN_READWRITE, &error);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(error, 0u);
    EXPECT_EQ(PlatFileWrite(file, "abcdef", 6), 6);
    EXPECT_EQ(PlatFileSeek(file, 2), 2);
    char buffer[16] = {};
    EXPECT_EQ(PlatFileRead(file, buffer, 16), 4);
    EXPECT_STREQ(buffer, "cdef");
    EXPECT_EQ(PlatFileRead(file, buffer, 16), 0) << "0 at end of file";
    EXPECT_EQ(PlatFileSeek(file, -1), -1);
    EXPECT_EQ(PlatFileSize(file), 6);
    PlatFileClose(file);

    // Create truncates an existing file.
    file = PlatFileOpen(path.c_str(), PLAT_OPEN_CREATE | PLAT_OPEN_WRITE, &error);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PlatFileSize(file), 0);
    EXPECT_LT(PlatFileRead(file, buffer, 1), 0) << "a write-only file cannot be read";
    PlatFileClose(file);

    EXPECT_EQ(PlatFileOpen(dir.Path().c_str(), PLAT_OPEN_READ, &error), nullptr);
    EXPECT_EQ(error, static_cast<uint32_t>(PLAT_ERR_ACCESSDENIED));
}

TEST(Files, CreateNewNeverTakesAnExistingFile) {
    ScratchFolder dir;
    std::string path = dir.File("out.DAT");
    const uint32_t createNew = PLAT_OPEN_CREATE | PLAT_OPEN_CREATE_NEW | PLAT_OPEN_WRITE;
    uint32_t error = 0;
    PlatFile first = PlatFileOpen(path.c_str(), createNew, &error);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(PlatFileWrite(first, "kept", 4), 4);
    EXPECT_EQ(PlatFileOpen(path.c_str(), createNew, &error), nullptr)
        << "a second claim of the same name fails while the first is open";
    EXPECT_EQ(error, static_cast<uint32_t>(PLAT_ERR_FILEEXISTS));
    PlatFileClose(first);
    EXPECT_EQ(PlatFileOpen(path.c_str(), createNew, &error), nullptr);
    EXPECT_EQ(ReadBytes(path), "kept") << "the failed claim left the bytes alone";
}

TEST(Files, SetSizeCutsBackAndDeleteRemoves) {
    ScratchFolder dir;
    std::string path = dir.File("records.edf");
    WriteBytes(path, "0123456789");
    PlatFile file = PlatFileOpen(path.c_str(), PLAT_OPEN_READWRITE, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PlatFileSeek(file, 8), 8);
    EXPECT_EQ(PlatFileSetSize(file, 4), 1);
    EXPECT_EQ(PlatFileSize(file), 4);
    EXPECT_EQ(PlatFileSetSize(file, -1), 0);
    PlatFileClose(file);
    EXPECT_EQ(ReadBytes(path), "0123");
    EXPECT_EQ(PlatDeleteFile(path.c_str()), 1);
    EXPECT_FALSE(PlatFileExists(path.c_str()));
    EXPECT_EQ(PlatDeleteFile(path.c_str()), 0);
}

TEST(Files, AttributesAndFolders) {
    ScratchFolder dir;
    EXPECT_EQ(PlatFileAttributes(dir.File("none").c_str()), PLAT_ATTR_INVALID);
    EXPECT_TRUE(PlatIsDirectory(dir.Path().c_str()));
    std::string sub = dir.File("DAT");
    EXPECT_EQ(PlatCreateDirectory(sub.c_str()), 1);
    EXPECT_EQ(PlatCreateDirectory(sub.c_str()), 1) << "an existing folder is fine";
    WriteBytes(dir.File("plain"), "x");
    EXPECT_EQ(PlatCreateDirectory(dir.File("plain").c_str()), 0);
    EXPECT_TRUE(PlatFileExists(dir.File("plain").c_str()));
    EXPECT_FALSE(PlatIsDirectory(dir.File("plain").c_str()));
    char name[8];
    WriteBytes(dir.File("4710.VOL"), "");
    EXPECT_EQ(PlatFindFirstWithExtension(dir.Path().c_str(), "vol", name, sizeof name), 0)
        << "a name that does not fit is not returned cut";
    char wide[64];
    EXPECT_EQ(PlatFindFirstWithExtension(dir.Path().c_str(), "vol", wide, sizeof wide), 1);
    EXPECT_STREQ(wide, "4710.VOL");
}

// The settings are found beside the program, so its folder must be the
// whole folder, never cut, and a buffer too small must fail.
TEST(Files, ProgramFolderHoldsTheRunningProgram) {
    char folder[4096];
    ASSERT_EQ(PlatProgramFolder(folder, sizeof folder), 1);
    const std::string self = std::string(folder) + PlatPathSeparator() + "platform_test";
    EXPECT_TRUE(PlatFileExists(self.c_str())) << self;
    EXPECT_FALSE(PlatIsDirectory(self.c_str()));
    char small[4];
    EXPECT_EQ(PlatProgramFolder(small, sizeof small), 0);
}

// Each job runs on another thread, and the wait returns after it.
TEST(Worker, RunsEachJobHandedOnItsOwnThreadBeforeTheWaitReturns) {
    PlatWorker worker = PlatWorkerStart();
    ASSERT_NE(worker, nullptr);
    struct Job {
        pthread_t ranOn;
        int runs;
    } job{pthread_self(), 0};
    for (int round = 0; round < 50; ++round) {
        PlatWorkerHand(
            worker,
            [](void* raw) {
                Job* done = static_cast<Job*>(raw);
                done->ranOn = pthread_self();
                ++done->runs;
            },
            &job);
        PlatWorkerWait(worker);
        EXPECT_EQ(job.runs, round + 1);
        EXPECT_FALSE(pthread_equal(job.ranOn, pthread_self()));
    }
    PlatWorkerStop(worker);
}

}  // namespace
