#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "source/line_rows.h"
#include "source/source_lines.h"
#include "source/wide_vectors.h"

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

// Lines of every length from empty to over-long, with every kind of line
// end, so that ends fall on each byte of a 64-byte block and at its edges.
std::string MixedEnds() {
    const char* const ends[] = {"\n", "\r\n", "\r", "\r\r\n", "\n\r"};
    std::string text;
    uint32_t seed = 7;
    for (int32_t n = 0; n < 9000; ++n) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t pick = seed >> 16;
        size_t length = pick % 150;
        if (pick % 97 == 0) length = kLineByteLimit - 2 + pick % 5;  // at and over the limit
        if (pick % 89 == 0) length = 63 + pick % 3;
        std::string line(length, static_cast<char>('0' + n % 10));
        if (length > 3 && pick % 13 == 0) line[length / 2] = '\0';
        text += line + ends[pick % 5];
    }
    return text;
}

// Every line with its length and source offset, handed out most at a time
// by NextBufferedLines (one at a time by NextBufferedLine when most is 0)
// and by NextSourceLine where whole lines run out; last, where the walk
// ended and the lines it counted.
std::vector<std::string> LinesInBatches(const std::string& path, uint32_t most) {
    Walk walk(path);
    std::vector<std::string> all;
    std::vector<SourceLine> batch(most > 0 ? most : 1);
    const auto keep = [&](const SourceLine& line) {
        const int64_t offset =
            line.overLong ? -1 : walk.lines.bufferOffset + (line.text - walk.lines.buffer);
        all.push_back(std::string(line.text, static_cast<size_t>(line.length)) + "@" +
                      std::to_string(offset));
    };
    SourceLine line;
    for (;;) {
        if (most == 0) {
            while (NextBufferedLine(&walk.lines, &line)) keep(line);
        } else {
            uint32_t got;
            while ((got = NextBufferedLines(&walk.lines, batch.data(), most)) > 0)
                for (uint32_t i = 0; i < got; ++i) keep(batch[i]);
        }
        if (NextSourceLine(&walk.lines, &line) != kSourceLineFound) break;
        keep(line);
    }
    all.push_back(std::to_string(walk.lines.bufferOffset + walk.lines.at) + "#" +
                  std::to_string(walk.lines.taken));
    return all;
}

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

// Line ends found 16 and 32 bytes at a time (the default last).
TEST(SourceLines, LinesHandedOutManyAtOnceAreTheLinesOneByOne) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("cut.csv"), CutAtReads());
    WriteBytes(scratch.File("mixed.csv"), MixedEnds());
    for (int32_t wide : {0, 1}) {
        SetWideVectors(wide);
        for (const char* name : {"cut.csv", "mixed.csv"}) {
            const std::vector<std::string> single = LinesInBatches(scratch.File(name), 0);
            EXPECT_GT(single.size(), 6000u) << name;
            for (uint32_t most : {1u, 7u, 32u, 1024u})
                EXPECT_TRUE(LinesInBatches(scratch.File(name), most) == single)
                    << name << ", " << most << " at a time, wide " << wide;
        }
    }
}

// A side job runs exactly once, whether the helper thread takes it or the
// thread awaiting it runs it itself, and at once when rows are not split.
TEST(SideJob, RunsOnceWhoeverTakesIt) {
    struct Count {
        std::atomic<int> runs{0};
    } count;
    line_rows::SideJob job{[](void* raw) { static_cast<Count*>(raw)->runs.fetch_add(1); },
                           &count,
                           {line_rows::kSideJobNone}};
    for (int32_t splitting : {1, 0}) {
        SetLineRowSplitting(splitting);
        for (int round = 1; round <= 2000; ++round) {
            line_rows::PostSideJob(&job);
            if (splitting == 0) {
                EXPECT_EQ(job.state.load(), line_rows::kSideJobDone);
            }
            line_rows::AwaitSideJob(&job);
            ASSERT_EQ(count.runs.exchange(0), 1) << "round " << round;
        }
    }
    SetLineRowSplitting(1);
    line_rows::AwaitSideJob(&job);
    EXPECT_EQ(count.runs.load(), 0) << "nothing posted, nothing run";
}

}  // namespace
