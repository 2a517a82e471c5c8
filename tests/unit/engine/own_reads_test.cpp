#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scratch_files.h"
#include "source/line_rows.h"
#include "source/source_reader.h"
#include "source/source_lines.h"

namespace {

// Lines of 1 to `longest` bytes with all three line ends, so that the
// middle of a read falls on every kind of place: in a line, on a CR, an LF,
// between the CR and LF of one end. Lines beginning 'x' and empty lines are
// not data; now and then a line is over-long or holds a zero byte.
std::string ManyLines(int32_t count, int32_t longest) {
    const char* const ends[] = {"\n", "\r\n", "\r"};
    std::string text;
    uint32_t seed = 99;
    for (int32_t n = 0; n < count; ++n) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t pick = seed >> 8;
        std::string line(pick % static_cast<uint32_t>(longest) + 1,
                         static_cast<char>('0' + n % 10));
        if (pick % 53 == 0) line[0] = 'x';
        if (pick % 71 == 0) line.clear();
        if (pick % 2999 == 0) line.assign(kLineByteLimit + 9, '7');
        if (line.size() > 4 && pick % 97 == 0) line[2] = '\0';
        text += line + ends[(pick >> 4) % 3];
    }
    return text;
}

struct Converted {
    std::vector<uint64_t> rows;
    std::vector<NonDataRun> runs;
    ConversionTally tally{};
    int64_t offset = 0;
};

// A data line's row: a hash of its bytes, so a row in the wrong slot or
// from the wrong line shows.
RowVerdict HashRow(const SourceLine& line, uint32_t, char* row, FieldFlaws*) {
    if (line.length == 0 || line.text[0] == 'x') return kRowNoNumber;
    uint64_t hash = 1469598103934665603u;
    for (int32_t i = 0; i < line.length; ++i)
        hash = (hash ^ static_cast<uint8_t>(line.text[i])) * 1099511628211u;
    std::memcpy(row, &hash, sizeof hash);
    return kRowData;
}

// The whole source in steps of stepRows rows, as a run takes it.
Converted ConvertInSteps(const std::string& path, uint32_t stepRows) {
    RecordPtr record = ZeroRecord();
    OpenSourceFromPath(record.get(), path.c_str());
    record->ReadBuffer = std::calloc(kSourceReadBufferBytes, 1);
    StartSourceLines(record.get());
    Converted out;
    std::vector<uint64_t> step(stepRows);
    for (;;) {
        const LineRows made = ReadLineRows(
            record.get(), stepRows, reinterpret_cast<char*>(step.data()), sizeof(uint64_t), HashRow,
            [&](const NonDataRun& run) { out.runs.push_back(run); }, true);
        if (made.failed || made.made == 0) break;
        out.rows.insert(out.rows.end(), step.begin(), step.begin() + made.made);
    }
    out.tally = record->Tally;
    out.offset = record->SourceOffset;
    std::free(record->ReadBuffer);
    return out;
}

bool SameRuns(const std::vector<NonDataRun>& a, const std::vector<NonDataRun>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].firstRow != b[i].firstRow || a[i].firstLine != b[i].firstLine ||
            a[i].lastLine != b[i].lastLine)
            return false;
    return true;
}

// Each thread reading, finding and making the lines of its own half of a
// read gives the rows, runs and counts of one thread doing it all: with
// long lines, with lines so short that a half holds more than a batch, and
// with steps that end in the middle of a read.
TEST(OwnReads, RowsOfBothThreadsReadsAreTheRowsOfOne) {
    ScratchFolder scratch;
    WriteBytes(scratch.File("long.csv"), ManyLines(30000, 300));
    WriteBytes(scratch.File("short.csv"), ManyLines(150000, 12));
    for (const char* name : {"long.csv", "short.csv"})
        for (uint32_t stepRows : {5000u, 1777u}) {
            SCOPED_TRACE(std::string(name) + ", steps of " + std::to_string(stepRows));
            SetLineRowSplitting(0);
            const Converted one = ConvertInSteps(scratch.File(name), stepRows);
            SetLineRowSplitting(1);
            const uint64_t ownBefore = line_rows::OwnReadBatches();
            const Converted two = ConvertInSteps(scratch.File(name), stepRows);
            EXPECT_GT(line_rows::OwnReadBatches() - ownBefore, 10u) << "the way was taken";
            ASSERT_EQ(one.rows.size(), two.rows.size());
            EXPECT_TRUE(one.rows == two.rows);
            EXPECT_TRUE(SameRuns(one.runs, two.runs));
            EXPECT_EQ(std::memcmp(&one.tally, &two.tally, sizeof one.tally), 0);
            EXPECT_EQ(one.offset, two.offset);
            EXPECT_GT(one.tally.OverLongLines * one.tally.NulLines * one.tally.BlankLines, 0u);
        }
}

}  // namespace
