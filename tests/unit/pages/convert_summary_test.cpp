// The convert pages' summary and the source page's layout decisions, on a
// generated comma source opened as the window opens it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "pages/convert_summary.h"
#include "pages/source_page.h"
#include "scratch_files.h"
#include "source/source_reader.h"

namespace {

constexpr int kDataLines = 2000;
constexpr int kRate = 100;

// "Time,A,B,C" and kDataLines lines of one length, each with its time.
std::string CommaSource() {
    std::string text = "Recording 7\r\nTime,A,B,C\r\n";
    for (int i = 0; i < kDataLines; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%02d:%02d.%02d,1,-2,%d\r\n", i / kRate / 60,
                      i / kRate % 60, i % kRate, i % 10);
        text += line;
    }
    return text;
}

struct OpenSource {
    ScratchFolder scratch;
    RecordPtr record = ZeroRecord();
    explicit OpenSource(const std::string& text) {
        WriteBytes(scratch.File("s.csv"), text);
        EXPECT_NE(OpenSourceFromPath(record.get(), scratch.File("s.csv").c_str()), 0);
    }
};

// The comma layout the source has: one leading field, labels on line 1.
void SetCommaLayout(AppRecord* record) {
    SourceLayout layout{kFieldModeComma, 1, 1, 2, 3, kAdValues};
    ApplySuggestedLayout(record, &layout);
    record->SampleRate = kRate;
}

TEST(ConvertSummary, EstimatesTheLengthFromTheSourceSize) {
    OpenSource open(CommaSource());
    SetCommaLayout(open.record.get());
    EXPECT_NEAR(SourceSecondsEstimate(open.record.get()), double(kDataLines) / kRate, 1e-9);
    open.record->SampleRate = 0;
    EXPECT_EQ(SourceSecondsEstimate(open.record.get()), kSecondsUnknown);
    RecordPtr closed = ZeroRecord();
    EXPECT_EQ(SourceSecondsEstimate(closed.get()), kSecondsUnknown);
}

TEST(ConvertSummary, NamesWhatTheOutputKindWrites) {
    OpenSource open(CommaSource());
    AppRecord* r = open.record.get();
    r->CurrentPsgPattern = 1;
    SetCommaLayout(r);
    std::snprintf(r->PatientInfo.PatientId, sizeof r->PatientInfo.PatientId, "ID-42");
    std::snprintf(r->PatientInfo.Name1, sizeof r->PatientInfo.Name1, "\x8E\x52\x93\x63");
    std::snprintf(r->PsgTargetPath, sizeof r->PsgTargetPath, "C:\\out\\night.edf");
    r->PatternSlots[1].PsgRows[1].ChEnable = kChannelOff;
    r->CopyFileType = kOutputPsg;
    ConvertSummary s;
    DescribeConvertSummary(r, "88000001.DAT", &s);
    char text[256];
    FormatConvertSummary("%c ch %r Hz %d [%i] %n -> %t %x%", &s, text, sizeof text);
    EXPECT_STREQ(text, "2 ch 100 Hz 0:00:20 [ID-42] \x8E\x52\x93\x63 -> C:\\out\\night.edf %x%")
        << "a switched-off PSG row is not written";
    r->CopyFileType = kOutputEegFiling32;
    DescribeConvertSummary(r, "88000001.DAT", &s);
    FormatConvertSummary("%c|%t", &s, text, sizeof text);
    EXPECT_STREQ(text, "3|88000001.DAT");
    s.seconds = 90061.4;
    FormatConvertSummary("%d", &s, text, sizeof text);
    EXPECT_STREQ(text, "25:01:01");
    EXPECT_EQ(FormatConvertSummary("%t%t", &s, text, 8), 7) << "cut to the buffer";
}

TEST(SourceLayoutView, AppliesTheSuggestionOfAWrongPreset) {
    OpenSource open(CommaSource());
    AppRecord* r = open.record.get();
    r->DelimitChar = kFieldModeBlank;  // a blank preset chosen for a comma source
    r->ChStartLine = 0;
    r->DataStartLine = 1;
    r->ChannelCount = 3;
    LayoutCheck check;
    ASSERT_GT(CheckSourceLayout(r, &check), 0);
    ApplySuggestedLayout(r, &check.suggested);
    EXPECT_EQ(r->DelimitChar, kFieldModeComma);
    EXPECT_EQ(r->DataLineBias, 1);
    EXPECT_EQ(r->ChStartLine, 1);
    EXPECT_EQ(r->DataStartLine, 2);
    EXPECT_EQ(r->ChannelCount, 3);
    EXPECT_STREQ(CurrentEegSlot(r)->EegRows[0].label, "A") << "labels read in the new mode";
    EXPECT_EQ(CheckSourceLayout(r, &check), 0) << "the applied layout looks right";
    EXPECT_EQ(HeadLineMarks(r, 1), kHeadLineLabels);
    EXPECT_EQ(HeadLineMarks(r, 2), kHeadLineDataStart);
    EXPECT_EQ(HeadLineMarks(r, 0), kHeadLinePlain);
    r->DataStartLine = 1;
    EXPECT_EQ(HeadLineMarks(r, 1), kHeadLineLabels | kHeadLineDataStart);
}

TEST(SourceLayoutView, WordsFindingValuesAsThePageCounts) {
    char text[64];
    LayoutFinding lines{kLayoutLabelLine, {0, kNoLabelLine}};
    FormatLayoutFinding("%1 -> %2 (%3)", &lines, text, sizeof text);
    EXPECT_STREQ(text, "1 -> - (%3)") << "lines from 1, no label line as -";
    LayoutFinding modes{kLayoutDelimiter, {kFieldModeBlank, kFieldModeComma}};
    FormatLayoutFinding("%1/%2", &modes, text, sizeof text);
    EXPECT_EQ(std::string(text),
              std::string(kDelimiterEntries[1].text) + "/" + kDelimiterEntries[0].text);
    LayoutFinding columns{kLayoutColumns, {9, 8}};
    FormatLayoutFinding("%1 %2", &columns, text, sizeof text);
    EXPECT_STREQ(text, "9 8") << "counts stay as they are";
}

}  // namespace
