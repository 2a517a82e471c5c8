#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "scratch_files.h"
#include "source/source_reader.h"

namespace {

using std::make_tuple;
using std::string;

// Preset 1: comma fields, one leading time column, labels on line 0.
void EnablePresetOne(AppRecord* record) {
    record->SourcePreset[0] = SourcePreset{1, 0, 0, 1, 0, 1, "One"};
    record->OrgFileType = 1;
}

string Label(const AppRecord& record, int row) {
    return record.PatternSlots[record.CurrentEegPattern].EegRows[row].label;
}

string Collect(const string& head, int32_t line) {
    char out[kLineByteLimit + 1];
    int32_t length = CollectLabelLine(head.data(), static_cast<int32_t>(head.size()), line, out);
    return length < 0 ? "<none>" : string(out);
}

struct Source {
    ScratchFolder dir;
    RecordPtr record = ZeroRecord();
    uint16_t Open(const string& bytes) {
        WriteBytes(dir.File("source.csv"), bytes);
        return OpenSourceFromPath(record.get(), dir.File("source.csv").c_str());
    }
};

TEST(OpenSource, AppliesThePresetAndTakesTheLabelsOfItsLabelLine) {
    Source source;
    AppRecord& r = *source.record;
    EnablePresetOne(&r);
    r.DelimitChar = 1;
    r.PatternSlots[0].EegRows[5].SOURCE = 3;
    EXPECT_EQ(source.Open("Time,Fp1,Fp2,C3\r\n0,1,2,3\r\n"), 2);
    EXPECT_EQ(string(r.OrgFile), source.dir.File("source.csv"));
    EXPECT_EQ(string(r.SourceText), "Time,Fp1,Fp2,C3\r\n0,1,2,3\r\n");
    EXPECT_EQ(std::tie(r.SourceOpen, r.SourceTextLength, r.DelimitChar, r.DataLineBias,
                       r.DataStartLine, r.RecheckChannels, r.ChannelCount),
              make_tuple(2, 26, 0, 1, 1, 1, 3));
    const MontagePattern& slot = r.PatternSlots[0];
    EXPECT_EQ(make_tuple(Label(r, 0), Label(r, 2), string(slot.PsgRows[1].ChLabel)),
              make_tuple("Fp1", "C3", "Fp2"));
    EXPECT_EQ(std::tie(slot.EegRows[2].SOURCE, slot.PsgRows[2].ChEnable, slot.EegRows[5].SOURCE,
                       slot.PsgRows[3].ChEnable),
              make_tuple(1, 1, 0, 0));
}

TEST(OpenSource, WithoutAnEnabledPresetLeavesTheLayoutAlone) {
    Source source;
    AppRecord& r = *source.record;
    EnablePresetOne(&r);
    r.SourcePreset[0].Enable = 0;
    r.DataLineBias = 4;
    EXPECT_EQ(source.Open("Time,Fp1\r\n"), 2);
    EXPECT_EQ(std::tie(r.DataLineBias, r.RecheckChannels, r.ChannelCount), make_tuple(4, 0, 12));
    EXPECT_EQ(Label(r, 0), "");
    r.OrgFileType = 65535;  // no preset; its number + 1 must not read as "closed"
    EXPECT_EQ(source.Open("Time,Fp1\r\n"), 1);
}

TEST(OpenSource, SkipsAUtf8ByteOrderMarkAndKeepsEightKilobytes) {
    Source source;
    AppRecord& r = *source.record;
    ASSERT_EQ(source.Open("\xEF\xBB\xBFTime,Fp1\r\n"), 1);
    EXPECT_EQ(string(r.SourceText), "Time,Fp1\r\n");
    EXPECT_EQ(std::tie(r.SourceTextLength, r.SourceTextOffset), make_tuple(10, 3));
    SetChannelLabels(&r, "Time,Fp1");
    EXPECT_EQ(Label(r, 0), "Time");

    ASSERT_EQ(source.Open("\xEF\xBB\xBF" + string(10000, 'x')), 1);
    EXPECT_EQ(r.SourceTextLength, kSourceHeadSize);
    EXPECT_EQ(make_tuple(r.SourceText[kSourceHeadSize - 1], r.SourceText[kSourceHeadSize]),
              make_tuple('x', '\0'));
}

TEST(OpenSource, AFailedOpenLeavesThePreviousSourceClosed) {
    Source source;
    AppRecord& r = *source.record;
    ASSERT_EQ(source.Open("1,2\r\n"), 1);
    r.SampleRate = 500;
    string missing = source.dir.File("missing.csv");
    EXPECT_EQ(OpenSourceFromPath(&r, missing.c_str()), 0);
    EXPECT_EQ(make_tuple(r.SourceOpen, r.SourceFile, r.SourceText, r.SampleRate),
              make_tuple(0, nullptr, nullptr, 200));
    EXPECT_EQ(string(r.OrgFile), missing);
    // A path too long for OrgFile is refused rather than cut.
    EXPECT_EQ(OpenSourceFromPath(&r, string(300, 'a').c_str()), 0);
    EXPECT_EQ(string(r.OrgFile), missing);
}

TEST(CloseSource, RestoresTheLayoutDefaults) {
    Source source;
    AppRecord& r = *source.record;
    ASSERT_EQ(source.Open("1,2\r\n"), 1);
    r.SampleRate = 1000;
    r.ChannelCount = 32;
    r.RecordYear = 2014;
    r.RecordHour = 13;
    r.OrgDataMag = -100;
    r.DelimitChar = 2;
    EXPECT_EQ(CloseSourceFile(&r), 0);
    EXPECT_EQ(make_tuple(r.SourceOpen, r.SourceText), make_tuple(0, nullptr));
    EXPECT_EQ(std::tie(r.SampleRate, r.ChannelCount, r.RecordYear, r.RecordMonth, r.RecordDay,
                       r.RecordHour, r.OrgDataMag, r.DelimitChar),
              make_tuple(200, 12, 2000, 1, 1, 0, -100, 2));
}

TEST(ReapplySourcePreset, TakesTheLabelsWithoutAskingForARecheck) {
    Source source;
    AppRecord& r = *source.record;
    ASSERT_EQ(source.Open("header\r\nTime,Fp1,Fp2\r\n"), 1);
    r.SelectedLine = 5;
    EnablePresetOne(&r);
    r.SourcePreset[0].ChStartLine = 1;
    ReapplySourcePreset(&r);
    EXPECT_EQ(std::tie(r.SelectedLine, r.ChannelCount, r.RecheckChannels), make_tuple(0, 2, 0));
    EXPECT_EQ(Label(r, 1), "Fp2");
}

TEST(CollectLabelLine, KeepsPrintableAsciiOfTheWantedLine) {
    // Japanese text read from the head loses its bytes 0x80..0xFF.
    EXPECT_EQ(Collect("A\tB\x93\xFA"
                      "C\x01"
                      "D\r\nNext",
                      0),
              "A BCD");
    EXPECT_EQ(Collect("A\r\nNext", 1), "Next");  // cut where the head ends
    EXPECT_EQ(Collect("A\r\nNext", 2), "<none>");
    EXPECT_EQ(Collect("A\r\nNext", -1), "<none>");
    EXPECT_EQ(Collect("L0\nL1\nL2", 1), "L1");  // LF alone ends a line too
    EXPECT_EQ(Collect("a\r\r\nb", 2), "b");
    string longLine = string(4005, 'x') + "\r\nY";
    EXPECT_EQ(Collect(longLine, 0), string(4000, 'x'));
    EXPECT_EQ(Collect(longLine, 1), "xxxxx");
    EXPECT_EQ(Collect(longLine, 2), "Y");
}

TEST(SetChannelLabels, TakesTheNonEmptyFieldsAfterTheBiasIntoThePatternsInUse) {
    RecordPtr record = ZeroRecord();
    AppRecord& r = *record;
    r.DataLineBias = 1;
    r.CurrentEegPattern = 2;
    r.CurrentPsgPattern = 1;
    SetChannelLabels(&r, "time,\"Fp1\",'Fp2',,O1");
    EXPECT_EQ(make_tuple(r.ChannelCount, Label(r, 0), Label(r, 2),
                         string(r.PatternSlots[1].PsgRows[1].ChLabel),
                         string(r.PatternSlots[0].EegRows[0].label)),
              make_tuple(3, "Fp1", "O1", "Fp2", ""));
    EXPECT_EQ(
        std::tie(r.PatternSlots[2].EegRows[2].SOURCE, r.PatternSlots[2].EegRows[3].SOURCE,
                 r.PatternSlots[1].PsgRows[2].ChEnable, r.PatternSlots[0].PsgRows[2].ChEnable),
        make_tuple(1, 0, 1, 0));
    SetChannelLabels(&r, "ab");  // too short: nothing changes
    EXPECT_EQ(r.ChannelCount, 3);
}

TEST(SetChannelLabels, CutsLabelsToThirtyOneBytesBetweenCharacters) {
    string wide;
    for (int i = 0; i < 20; ++i) wide += "\x82\xA0";
    RecordPtr record = ZeroRecord();
    SetChannelLabels(record.get(), (wide + ",A" + wide).c_str());
    EXPECT_EQ(Label(*record, 0), wide.substr(0, 30));  // 31 bytes would split a character
    EXPECT_EQ(Label(*record, 1), "A" + wide.substr(0, 30));
}

TEST(SetChannelLabels, AQuotedOrLongLabelTakesOneChannel) {
    RecordPtr record = ZeroRecord();
    SetChannelLabels(record.get(), ("\"EEG Fp1, ref\"," + string(35, 'X') + ",O1").c_str());
    EXPECT_EQ(
        make_tuple(record->ChannelCount, Label(*record, 0), Label(*record, 1), Label(*record, 2)),
        make_tuple(3, "EEG Fp1, ref", string(30, 'X'), "O1"));
}

// The tab mode ends labels at TAB and keeps their blanks, from the head too.
TEST(OpenSource, ATabPresetTakesTabSeparatedLabels) {
    Source source;
    AppRecord& r = *source.record;
    r.SourcePreset[0] = SourcePreset{1, 2, 0, 1, 0, 1, "Tab"};
    r.OrgFileType = 1;
    ASSERT_EQ(source.Open("No\tEEG Fp1\tEEG Fp2\r\n1\t5\t6\r\n"), 2);
    EXPECT_EQ(make_tuple(r.ChannelCount, Label(r, 0), Label(r, 1)),
              make_tuple(2, "EEG Fp1", "EEG Fp2"));
}

TEST(CountDataColumns, CountsNonEmptyDataFieldsUpToTheChannelLimit) {
    RecordPtr record = ZeroRecord();
    record->DataLineBias = 1;
    string wide = "t";
    for (int i = 0; i < 300; ++i) wide += ",1";
    EXPECT_EQ(
        make_tuple(CountDataColumns(record.get(), "t,1,2,3,4"),
                   CountDataColumns(record.get(), "t,1,,2\r"), CountDataColumns(record.get(), "ab"),
                   CountDataColumns(record.get(), wide.c_str())),
        make_tuple(4, 2, -1, 256));
}

}  // namespace
