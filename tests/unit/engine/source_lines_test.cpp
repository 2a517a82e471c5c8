#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "source/source_lines.h"

namespace {

// A source whose first read ends on the CR of a CR LF, followed by lines of
// lengths from 1 to 300 bytes with all three line ends, so that
// later reads end anywhere in a line.
std::string CutAtReads() {
    const int32_t crOfFirstCut = kSourceReadBytes - 1;
    // A first line of headLength bytes, then lines of 99 bytes and CR LF.
    const int32_t headLength = (crOfFirstCut - 99) % 101 + 101;
    std::string text(static_cast<size_t>(headLength) - 2, 'h');
    text += "\r\n";
    while (text.size() < static_cast<size_t>(crOfFirstCut)) text += std::string(99, 'x') + "\r\n";
    const char* const ends[] = {"\n", "\r\n", "\r"};
    for (int32_t n = 0; n < 6000; ++n)
        text +=
            std::string(static_cast<size_t>(n * 37 % 300 + 1), static_cast<char>('a' + n % 26)) +
            ends[n % 3];
    return text;
}

struct Walk {
    RecordPtr record = ZeroRecord();
    SourceLines lines{};
    explicit Walk(const std::string& path) {
        OpenSourceFromPath(record.get(), path.c_str());
        record->ReadBuffer = std::calloc(kSourceReadBufferBytes, 1);
        record->SourceOffset = 0;
        OpenSourceLines(record.get(), &lines);
    }
    ~Walk() { std::free(record->ReadBuffer); }
};

// Every line with its length, as the walk hands them out; with readAhead,
// the next read is taken each time the whole lines of the bytes read run
// out, as a run's batches take it.
std::vector<std::string> AllLines(const std::string& path, bool readAhead, int32_t* aheads) {
    Walk walk(path);
    std::vector<std::string> all;
    SourceLine line;
    for (;;) {
        while (NextBufferedLine(&walk.lines, &line)) all.emplace_back(line.text, line.length);
        if (readAhead && WantsReadAhead(&walk.lines)) {
            ReadAheadSourceLines(&walk.lines);
            ++*aheads;
        }
        if (NextSourceLine(&walk.lines, &line) != kSourceLineFound) break;
        all.emplace_back(line.text, line.length);
    }
    return all;
}

TEST(SourceLines, ReadingAheadHandsOutTheSameLines) {
    ScratchFolder scratch;
    const std::string text = CutAtReads();
    ASSERT_EQ(text[static_cast<size_t>(kSourceReadBytes) - 1], '\r');
    ASSERT_EQ(text[static_cast<size_t>(kSourceReadBytes)], '\n');
    WriteBytes(scratch.File("src.csv"), text);
    int32_t aheads = 0;
    const std::vector<std::string> plain = AllLines(scratch.File("src.csv"), false, &aheads);
    const std::vector<std::string> ahead = AllLines(scratch.File("src.csv"), true, &aheads);
    EXPECT_GE(aheads, 5) << "reads taken ahead";
    ASSERT_EQ(plain.size(), ahead.size());
    EXPECT_TRUE(plain == ahead);
    EXPECT_EQ(plain.size(), 1u + 1296u + 6000u);
}

}  // namespace
