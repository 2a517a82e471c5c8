// Files whose declared lengths, counts and offsets do not hold, and calls
// the writers refuse. Every case must end with the operation's failure value
// or a bounded result, never outside a buffer (ASan watches).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "test_support.h"

namespace {

// Runs every reader over a file; results only need to be bounded.
void ReadEverything(KAVFHANDLE h) {
    static uint16_t words[70000];
    static uint32_t longs[70000];
    static uint8_t bytes[140000];
    static KavfTextElement elements[300];
    static char text[4096];
    static int16_t samples[70000];
    KavfWaveInfo info;
    KavfUnitTable table;
    uint16_t event;
    for (uint32_t g = 0; g <= 3; ++g) {
        for (uint32_t id = 0; id <= 8; ++id) {
            ReadKavfWordData(h, words, g, id, 0);
            ReadKavfLongData(h, longs, g, id, 0);
            ReadKavfLongDataEx(h, longs, g, id, 300);
            ReadKavfImageData(h, bytes, g, id, sizeof bytes);
            GetKavfTextInfo(h, elements, g, id, 300, 100000);
            ReadKavfTextData(h, text, g, id, 0, sizeof text);
            ReadKavfWaveData(h, g, id, 3, &event, samples);
            if (ReadKavfWaveInfo(h, g, id, &info) != 0) ReadKavfFlowWave(h, 1, 0, 1, bytes);
        }
        GetKavfUnitInfo(h, g, &table, 64);
    }
}

Bytes SampleFile() {
    Bytes image = {9, 8, 7};
    Zeros(image, 1);
    Bytes g1 =
        Group({TextList(1, {"PATIENT", "", "X"}), Item(KAVF_KIND_WORDS, 2, 3, Words({1, 2, 3, 0})),
               Item(KAVF_KIND_LONGS, 3, 1, Words({1, 2})), Item(KAVF_KIND_BLOCK, 4, 3, image)});
    Bytes g2;
    Be32(g2, 2);
    Be32(g2, 16);
    Be16(g2, KAVF_WAVE_EVENT);
    Be16(g2, 5);
    Be32(g2, 2);
    Be32(g2, 1000);
    Be16(g2, 16);
    Be16(g2, 2);
    Zeros(g2, 12);
    Bytes frames = Words({1, 2, 3, 4, 5, 6});
    g2.insert(g2.end(), frames.begin(), frames.end());
    return FileOf(2, {g1, g2});
}

TEST(KavfHostile, EveryTruncationOfAFileReadsSafely) {
    Scratch s;
    Bytes full = SampleFile();
    for (size_t n = 0; n <= full.size(); ++n) {
        WriteAll(s.path, Slice(full, 0, n));
        KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 1024);
        char name[33];
        uint32_t groups = CheckKavfile(h, "KAVF", name);
        if (n < 4)
            EXPECT_EQ(groups, KAVF_CHECK_WRONG_MAGIC) << n;
        else
            EXPECT_LE(groups, 2u) << n;
        ReadEverything(h);
        CloseKavfile(h);
    }
}

TEST(KavfHostile, ItemPastTheEndOfTheFileReadsAsZerosWithinTheItem) {
    Scratch s;
    Bytes item;
    Be32(item, 0xFFFF);
    Be16(item, KAVF_KIND_LONGS);
    Be16(item, 1);
    Be32(item, 2);
    Be32(item, 0x01020304);
    Bytes g;
    Be32(g, 0x10000);
    g.insert(g.end(), item.begin(), item.end());
    WriteAll(s.path, FileOf(1, {g}));
    KAVFHANDLE h = OpenChecked(s.path);
    uint32_t longs[4] = {7, 7, 7, 7};
    EXPECT_EQ(ReadKavfLongData(h, longs, 1, 1, 0), 2u) << "the stored count bounds max 0";
    EXPECT_EQ(longs[0], 0x01020304u);
    EXPECT_EQ(longs[1], 0u);
    EXPECT_EQ(longs[2], 7u);
    CloseKavfile(h);
}

TEST(KavfHostile, DeclaredGroupCountIsBoundedAtSixtyFour) {
    Scratch s;
    std::vector<Bytes> groups(70, Group({}));
    WriteAll(s.path, FileOf(0xFFFF, groups));
    uint32_t found = 0;
    KAVFHANDLE h = OpenChecked(s.path, &found);
    EXPECT_EQ(found, 64u);
    KavfUnitTable table;
    EXPECT_EQ(GetKavfUnitInfo(h, 65, &table, 64), 0u);
    CloseKavfile(h);
}

TEST(KavfHostile, OffsetsThatWouldPassFourGigabytesEndTheWalk) {
    Scratch s;
    Bytes file = IndexRecord(3);
    file[4] = file[5] = file[6] = file[7] = 0xFF;  // L0: the first group beyond 32 bits
    WriteAll(s.path, file);
    uint32_t found = 9;
    KAVFHANDLE h = OpenChecked(s.path, &found);
    EXPECT_EQ(found, 0u);
    CloseKavfile(h);

    Bytes huge;
    Be32(huge, 0xFFFFFFF0u);  // a group length that steps past the offset space
    Zeros(huge, 4);
    WriteAll(s.path, FileOf(3, {huge, Group({})}));
    h = OpenChecked(s.path, &found);
    EXPECT_EQ(found, 1u);
    CloseKavfile(h);
}

TEST(KavfHostile, TypeNameIsCutToThirtyTwoCharactersWhateverTheIndexSays) {
    Scratch s;
    Bytes file = IndexRecord(1, "KAVF", std::string(60, 'Q'));
    file[18] = 0xFF;  // byte count far beyond the record
    file[19] = 0xFF;
    WriteAll(s.path, file);
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 8192);
    char name[40];
    std::memset(name, '#', sizeof name);
    CheckKavfile(h, "KAVF", name);
    EXPECT_EQ(std::strlen(name), 32u);
    EXPECT_EQ(name[33], '#');
    CloseKavfile(h);
}

TEST(KavfHostile, IndexSubItemsAreScannedOnlyInsideTheBytesRead) {
    Scratch s;
    Bytes file = {'K', 'A', 'V', 'F', 0, 0, 0, 4, 0, 1, 0xFF, 0xFF};
    for (int i = 0; i < 2000; ++i) {  // 4-byte sub-items of a foreign kind
        Be16(file, 2);
        Be16(file, 0x0021);
    }
    WriteAll(s.path, file);
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READ, 1024);
    char name[33] = "junk";
    CheckKavfile(h, "KAVF", name);
    EXPECT_STREQ(name, "");
    CloseKavfile(h);
}

TEST(KavfHostile, ZeroLengthsEndEveryWalk) {
    Scratch s;
    Bytes zeroItem;
    Be32(zeroItem, 0);
    Be16(zeroItem, KAVF_KIND_WORDS);
    Be16(zeroItem, 1);
    Bytes g;
    Be32(g, 100);
    g.insert(g.end(), zeroItem.begin(), zeroItem.end());
    Zeros(g, 200 - g.size());
    Bytes list = TextList(2, {"A", "B"});
    list[12] = list[13] = 0;  // first element length 0
    WriteAll(s.path, FileOf(2, {g, Group({list})}));
    KAVFHANDLE h = OpenChecked(s.path);
    EXPECT_EQ(FindKavfIndexPtr(h, 1, 1), 0u);
    KavfTextElement e[2];
    char text[16];
    EXPECT_EQ(GetKavfTextInfo(h, e, 2, 2, 0, 100), 0u);
    EXPECT_EQ(ReadKavfTextData(h, text, 2, 2, 0, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(UpdateKavfTextInfo(h, 2, 2, 1, 1, "Z"), 0u);
    CloseKavfile(h);
}

TEST(KavfHostile, SearchExaminesAtMostOneThousandItems) {
    Scratch s;
    std::vector<Bytes> items;
    for (uint16_t i = 0; i < 1100; ++i) items.push_back(Item(KAVF_KIND_LONGS, i, 0, {}));
    WriteAll(s.path, FileOf(1, {Group(items)}));
    KAVFHANDLE h = OpenChecked(s.path);
    EXPECT_NE(FindKavfIndexPtr(h, 1, 999), 0u);
    EXPECT_EQ(FindKavfIndexPtr(h, 1, 1000), 0u);
    CloseKavfile(h);
}

TEST(KavfHostile, TextElementsLargerThanTheRecordOrTheRead) {
    Scratch s;
    Bytes body;
    Be16(body, 200);  // 396 bytes of room: more than a record's 256
    Be16(body, 0xFFFF);
    Text(body, std::string(396, 'T'));
    Be16(body, 0xFFFF);  // past the bytes read
    Be16(body, 4);
    Text(body, "LOST");
    Bytes list = Item(KAVF_KIND_TEXT, 3, 0xFFFF, body);
    WriteAll(s.path, FileOf(1, {Group({list})}));
    KAVFHANDLE h = OpenChecked(s.path);
    struct {
        KavfTextElement e[2];
        uint8_t canary[16];
    } out;
    std::memset(&out, 0xC5, sizeof out);
    EXPECT_EQ(GetKavfTextInfo(h, out.e, 1, 3, 2, 2000), 1u);
    EXPECT_EQ(out.e[0].words, 200u);
    EXPECT_EQ(out.e[0].length, 256u);
    EXPECT_EQ(std::strlen(out.e[0].text), 255u);
    EXPECT_EQ(out.e[1].words, 0xC5C5u);
    EXPECT_EQ(out.canary[0], 0xC5u);
    char text[300];
    EXPECT_EQ(ReadKavfTextData(h, text, 1, 3, 0, sizeof text), 1u);
    EXPECT_EQ(std::strlen(text), sizeof text - 1);
    CloseKavfile(h);
}

TEST(KavfHostile, WaveFieldsThatReachPastTheOffsetSpace) {
    Scratch s;
    Bytes g;
    Be32(g, 2);
    Be32(g, 16);
    Be16(g, KAVF_WAVE_EVENT);
    Be16(g, 1);
    Be32(g, 0xFFFFFFFFu);  // frames
    Be32(g, 1);
    Be16(g, 16);
    Be16(g, 0xFFFF);  // channels: 131072-byte frames
    Zeros(g, 12);
    WriteAll(s.path, FileOf(1, {g}));
    KAVFHANDLE h = OpenChecked(s.path);
    KavfWaveInfo info;
    ASSERT_EQ(ReadKavfWaveInfo(h, 1, 1, &info), KAVF_WAVE_EVENT);
    std::vector<int16_t> samples(0x10000);
    uint16_t event;
    EXPECT_EQ(ReadKavfWaveData(h, 1, 1, 0, &event, samples.data()), 0u) << "nothing to read";
    EXPECT_EQ(ReadKavfWaveData(h, 1, 1, 0x10000, &event, samples.data()), 0u);
    std::vector<uint8_t> frame(131072);
    EXPECT_EQ(ReadKavfFlowWave(h, 0, 0x7FFF0000, 1, frame.data()), -1);
    EXPECT_EQ(ChangeKavfFlowEvent(h, 1, 0x40000), -3);
    SetKavfInfo(h, KAVF_INFO_POSITION, 0x10000);
    EXPECT_EQ(UpdateKavfFlowWave(h), -1) << "the length would pass 32 bits";
    CloseKavfile(h);
}

TEST(KavfHostile, SpectrumAndTrendLinesThatCannotBeAddressed) {
    Scratch s;
    Bytes spectrum;
    Be32(spectrum, 16);
    Be16(spectrum, KAVF_SPECTRUM);
    Be16(spectrum, 1);
    Be32(spectrum, 0xFFFFFFFFu);  // P
    Zeros(spectrum, 6);
    Be16(spectrum, 0xFFFF);  // R
    Zeros(spectrum, 12);
    Bytes trendHugeP = Item(KAVF_TREND, 3, 0x02000000, Words({0, 96, 10, 1, 0, 0, 0, 0, 0, 0}));
    WriteAll(s.path, FileOf(1, {Group({spectrum, trendHugeP})}));
    KAVFHANDLE h = OpenChecked(s.path);
    KavfSpectrumInfo si;
    KavfTrendInfo ti;
    EXPECT_EQ(ReadKavfSpectrumInfo(h, 1, 1, &si), 0u);
    EXPECT_EQ(ReadKavfTrendInfo(h, 1, 3, &ti), 0u) << "a line beyond 32 bits";
    uint32_t values[4];
    EXPECT_EQ(ReadKavfSpectrumData(h, 0, 0, values), 0);
    CloseKavfile(h);
}

TEST(KavfHostile, UpdatersRefuseItemsTooShortForTheWrite) {
    Scratch s;
    Bytes history = Item(KAVF_KIND_LONGS, KAVF_ID_REVISIONS, 66, Bytes(8, 0));
    Bytes after = Item(KAVF_KIND_WORDS, 1, 2, Words({0xAAAA, 0xBBBB}));
    WriteAll(s.path, FileOf(1, {Group({history, after})}));
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), KAVF_OPEN_READWRITE, 8192);
    char name[33];
    ASSERT_EQ(CheckKavfile(h, "KAVF", name), 1u);
    Bytes before = ReadAll(s.path);
    EXPECT_EQ(UpdateKavfIndex(h, 1, 2), 0u);
    const uint16_t v[2] = {1, 2};
    EXPECT_EQ(UpdateKavfWordInfo(h, 1, 1, 1, 0xFFFF, 2, v), 0u) << "no 16-bit wrap of the range";
    EXPECT_EQ(UpdateKavfWordInfo(h, 1, 1, 1, 1, 2, v), 0u);
    EXPECT_EQ(UpdateKavfWordInfo(h, 1, 1, 1, 0, 0, v), 0u);
    CloseKavfile(h);
    EXPECT_EQ(ReadAll(s.path), before);
}

// While the limit holds, the file cannot grow past `bytes`: writes beyond
// fail instead of raising the signal.
struct FileSizeLimit {
    rlimit saved;
    void (*savedHandler)(int);
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
    }
};

TEST(KavfHostile, AGroupEndWhoseWriteFailsIsReportedAndLeavesTheGroupOpen) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    CreateKavfIndexInfo(h, "KAVF", 1, 1, "EEG FILING24");
    ASSERT_EQ(CreateKavfGroupStart(h, 1, 0), 40u);
    {
        FileSizeLimit limit(40);
        EXPECT_EQ(CreateKavfGroupEnd(h, 1), 0u);
    }
    EXPECT_EQ(CreateKavfGroupEnd(h, 1), 44u) << "still the open group";
    CloseKavfile(h);
    EXPECT_EQ(At32(ReadAll(s.path), 36), 4u);
}

TEST(KavfHostile, WritersRefuseWhatTheFormatCannotHold) {
    Scratch s;
    KAVFHANDLE h = OpenKavfile(s.path.c_str(), 0x1002, 8192);
    ASSERT_EQ(CreateKavfIndexInfo(h, "KAVF", 2, 1, "EEG FILING24"), 36u);
    const uint16_t words[2] = {1, 2};
    EXPECT_EQ(CreateKavfWordInfo(h, 1, 1, 2, words), 0u) << "no group open";
    EXPECT_EQ(CreateKavfGroupEnd(h, 1), 0u) << "group 1 was never started";
    EXPECT_EQ(CreateKavfGroupStart(h, 0, 0), 0u);
    EXPECT_EQ(CreateKavfGroupStart(h, 65, 0), 0u);
    ASSERT_EQ(CreateKavfGroupStart(h, 1, 0), 40u);
    KavfTextElement tooShort[1] = {Element(1, "")};
    KavfTextElement tooLong[2] = {Element(10, "OK"), Element(131, "X")};
    EXPECT_EQ(CreateKavfTextInfo(h, 1, 1, tooShort), 0u);
    EXPECT_EQ(CreateKavfTextInfo(h, 1, 2, tooLong), 0u);
    EXPECT_EQ(CreateKavfTextInfo(h, 1, 1, nullptr), 0u);
    EXPECT_EQ(CreateKavfGroupEnd(h, 2), 0u) << "not the open group";
    EXPECT_EQ(CreateKavfGroupEnd(h, 1), 44u);
    EXPECT_EQ(CreateKavfGroupEnd(h, 1), 0u) << "already closed";
    EXPECT_EQ(CreateKavfLongInfoEx(h, 1, 1, 2, nullptr), 0u) << "closed group";
    KavfWaveInfo info = {};
    EXPECT_EQ(CreateKavfWaveInfo(h, 1, &info), 0u);
    EXPECT_EQ(SetKavfWaveEnd(h), 0u) << "no wave written";
    ASSERT_EQ(CreateKavfGroupStart(h, 2, 0), 48u);
    EXPECT_EQ(CreateKavfLongInfoEx(h, 1, 1, 0x7FFFFFFF, nullptr), 0u) << "beyond the offset space";
    CloseKavfile(h);
    EXPECT_EQ(ReadAll(s.path).size(), 48u);
}

}  // namespace
