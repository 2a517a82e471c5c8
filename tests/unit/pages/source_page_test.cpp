#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_files.h"
#include "source/head_lines.h"
#include "pages/source_page.h"

namespace {

// The lines the source page lists.
std::vector<std::string> Listed(const std::string& head) {
    std::vector<std::string> lines;
    char line[kLineByteLimit + 1];
    const int32_t size = static_cast<int32_t>(head.size());
    for (int32_t i = 0; HeadListLine(head.data(), size, i, line) >= 0; ++i) lines.push_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

TEST(HeadList, ListsTheLinesTheRunsConvert) {
    EXPECT_EQ(Listed("a\r\nb\r\nc"), (Lines{"a", "b", "c"})) << "the head holds the whole source";
    EXPECT_EQ(Listed("only line"), Lines{"only line"});
    EXPECT_EQ(Listed(""), Lines{});
    // LF alone before a double-byte character keeps the character; LF CR
    // and CR CR end a line and then an empty one.
    EXPECT_EQ(Listed("a\n\x8E\x52x\nz\n"), (Lines{"a", "\x8E\x52x", "z"}));
    EXPECT_EQ(Listed("a\n\rb\r\rc"), (Lines{"a", "", "b", "", "c"}));
}

TEST(HeadList, KeepsHalfWidthKatakanaAndDoubleByteCharacters) {
    // ｶﾀｶﾅ as single bytes, 山 as a double-byte pair, a TAB, a control byte.
    EXPECT_EQ(Listed("\xB6\xC0\xB6\xC5 \x8E\x52\tx\x01y\r\nnext\r\n"),
              (Lines{"\xB6\xC0\xB6\xC5 \x8E\x52 xy", "next"}));
    // Bytes 0x80 and 0xA0 are not characters and go.
    EXPECT_EQ(Listed("a\x80\xA0\x62\r\nz\r\n"), (Lines{"ab", "z"}));
}

TEST(HeadList, ListsALongLineOnceByItsFirst4000Bytes) {
    const std::string longLine(4100, 'x');
    Lines lines = Listed(longLine + "\r\n" + std::string(4000, 'y') + "\r\nend\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 4000u);
    EXPECT_EQ(lines[1], std::string(4000, 'y')) << "exactly the limit: one line, no blank one";
    EXPECT_EQ(lines[2], "end");
}

TEST(TypedValues, TakeOnlyValuesInRange) {
    RecordPtr record = ZeroRecord();
    record->RecordYear = 2000;
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedYear, "1989"), 0);
    EXPECT_EQ(record->RecordYear, 2000);
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedYear, " +2099x"), 1);
    EXPECT_EQ(record->RecordYear, 2099);
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedMinute, "abc"), 1);  // no number reads 0
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedMonth, "abc"), 0);
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedTimeResolution, "10001"), 0);
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedTimeResolution, "99999999999"), 0);
    EXPECT_EQ(TakeTypedSourceValue(record.get(), kTypedTimeResolution, "7"), 1);
    char shown[16];
    FormatSourceValue(record.get(), kTypedTimeResolution, shown, sizeof shown);
    EXPECT_STREQ(shown, "    7");
    FormatSourceValue(record.get(), kTypedYear, shown, sizeof shown);
    EXPECT_STREQ(shown, "2099");
    record->RecordMonth = 7;
    FormatSourceValue(record.get(), kTypedMonth, shown, sizeof shown);
    EXPECT_STREQ(shown, "07");
}

TEST(TypedValues, SampleRateIsRefusedWithABeepForEegFiling32Only) {
    RecordPtr record = ZeroRecord();
    record->SampleRate = 200;
    record->CopyFileType = 1;
    EXPECT_EQ(TakeTypedSampleRate(record.get(), "123"), kRateTaken);
    EXPECT_EQ(record->SampleRate, 123);
    EXPECT_EQ(TakeTypedSampleRate(record.get(), "1000001"), kRateRefused);
    EXPECT_EQ(TakeTypedSampleRate(record.get(), "0"), kRateRefused);
    record->CopyFileType = 2;
    EXPECT_EQ(TakeTypedSampleRate(record.get(), "250"), kRateRefusedWithBeep);
    EXPECT_EQ(record->SampleRate, 123);
}

TEST(ListEntries, CarryTheirValues) {
    EXPECT_EQ(FindListEntry(kSampleRateEntries, kSampleRateEntryCount, 256), 11);
    EXPECT_STREQ(kSampleRateEntries[20].text, "10000 ");
    EXPECT_EQ(FindListEntry(kSampleRateEntries, kSampleRateEntryCount, 123), -1);
    EXPECT_EQ(FindListEntry(kMagnificationEntries, kMagnificationEntryCount, -10), 5);
    EXPECT_STREQ(kMagnificationEntries[0].text, "1/1000000 ");
    EXPECT_EQ(kMagnificationEntries[15].value, 1000000000);
}

TEST(ChannelCount, SwitchesTheRowsOfBothPatterns) {
    RecordPtr record = ZeroRecord();
    record->CurrentEegPattern = 1;
    record->CurrentPsgPattern = 2;
    SelectChannelCount(record.get(), 3);
    EXPECT_EQ(record->ChannelCount, 3);
    EXPECT_EQ(record->PatternSlots[1].EegRows[2].SOURCE, 1);
    EXPECT_EQ(record->PatternSlots[1].EegRows[3].SOURCE, 0);
    EXPECT_EQ(record->PatternSlots[2].PsgRows[2].ChEnable, 1);
    EXPECT_EQ(record->PatternSlots[2].PsgRows[3].ChEnable, 0);
    SelectChannelCount(record.get(), 257);
    EXPECT_EQ(record->ChannelCount, 3);
}

TEST(DataColumns, AskOnlyWhenTheCountDiffers) {
    RecordPtr record = ZeroRecord();
    record->DataLineBias = 1;
    record->ChannelCount = 3;
    EXPECT_EQ(DataColumnsToAsk(record.get(), "00:01,1,2,3,4"), 4);
    EXPECT_EQ(DataColumnsToAsk(record.get(), "00:01,1,2,3"), -1);
    EXPECT_EQ(DataColumnsToAsk(record.get(), "ab"), -1);
}

}  // namespace
