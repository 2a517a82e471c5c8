#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "montage/grid_model.h"
#include "scratch_files.h"

namespace {

TEST(TypedValues, IntegersReadLikeC) {
    EXPECT_EQ(ParseTypedInteger("010"), 8);
    EXPECT_EQ(ParseTypedInteger("  0x1F"), 31);
    EXPECT_EQ(ParseTypedInteger("-12abc"), -12);
    EXPECT_EQ(ParseTypedInteger("089"), 0);  // octal stops at the 8
    EXPECT_EQ(ParseTypedInteger("0x"), 0);
    EXPECT_EQ(ParseTypedInteger("abc"), 0);
    EXPECT_EQ(ParseTypedInteger(""), 0);
    EXPECT_EQ(ParseTypedInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseTypedInteger("-99999999999"), INT32_MIN);
}

TEST(TypedValues, DecimalsBecomeExactThousandths) {
    EXPECT_EQ(ParseTypedThousandths("0.3"), 300);
    EXPECT_EQ(ParseTypedThousandths("1.005"), 1005);  // no binary rounding down to 1004
    EXPECT_EQ(ParseTypedThousandths(" 50.0"), 50000);
    EXPECT_EQ(ParseTypedThousandths(".5"), 500);
    EXPECT_EQ(ParseTypedThousandths("-0.0019"), -1);  // truncated toward zero
    EXPECT_EQ(ParseTypedThousandths("2e-3"), 2);
    EXPECT_EQ(ParseTypedThousandths("1e3x"), 1000000);
    EXPECT_EQ(ParseTypedThousandths("inf"), 0);
    EXPECT_EQ(ParseTypedThousandths("."), 0);
    EXPECT_EQ(ParseTypedThousandths("1e999"), INT32_MAX);
    EXPECT_EQ(ParseTypedThousandths("-3000000"), INT32_MIN);
}

TEST(TypedValues, FieldCopiesNeverSplitADoubleByteCharacter) {
    char field[5];
    CopyFieldText(field, sizeof field, "ab\x83\x41\x83\x42");  // "abアイ"
    EXPECT_STREQ(field, "ab\x83\x41");
    CopyFieldText(field, sizeof field, "abc\x83\x41");
    EXPECT_STREQ(field, "abc");
    CopyFieldText(field, sizeof field, "a\x83");  // a lone lead byte at the end
    EXPECT_STREQ(field, "a");
}

RecordPtr PsgRecord() {
    RecordPtr record = ZeroRecord();
    record->MaxCh = 32;
    record->ChannelCount = 12;
    for (int32_t r = 0; r < 12; ++r) record->PatternSlots[0].PsgRows[r].ChEnable = 1;
    return record;
}

TEST(GridEditor, PsgCellsStoreWhatWasTypedAndShowItBack) {
    RecordPtr record = PsgRecord();
    char text[kGridEditTextSize];
    int32_t limit = 0;
    ASSERT_TRUE(StoreGridEditText(record.get(), kPsgMontage, 8, 2, "0.3"));
    ASSERT_TRUE(GridEditText(record.get(), kPsgMontage, 8, 2, text, sizeof text, &limit));
    EXPECT_STREQ(text, "0.30");
    EXPECT_EQ(limit, 6);
    StoreGridEditText(record.get(), kPsgMontage, 5, 2, "010");
    EXPECT_EQ(record->PatternSlots[0].PsgRows[1].EU, 8);
    StoreGridEditText(record.get(), kPsgMontage, 10, 2, "mmHg");
    GridEditText(record.get(), kPsgMontage, 10, 2, text, sizeof text, &limit);
    EXPECT_STREQ(text, "mmHg");
    EXPECT_EQ(limit, 4);
    StoreGridEditText(record.get(), kPsgMontage, 3, 2, "Thorax \x83\x41");
    EXPECT_STREQ(record->PatternSlots[0].PsgRows[1].ChLabel, "Thorax \x83\x41");
    EXPECT_FALSE(GridEditText(record.get(), kPsgMontage, 4, 2, text, sizeof text, &limit));
    EXPECT_FALSE(StoreGridEditText(record.get(), kPsgMontage, 11, 2, "10"));
}

TEST(GridEditor, EnterMovesOnAndWrapsToTheFirstRow) {
    RecordPtr record = PsgRecord();
    GridView view = {18, 11, 0, 3, 11, 11, 0};
    EXPECT_TRUE(AdvanceGridEditor(record.get(), kPsgMontage, &view));
    EXPECT_EQ(view.selEnd, 12);
    EXPECT_EQ(view.topRow, 1);  // the new row is scrolled into view
    EXPECT_FALSE(AdvanceGridEditor(record.get(), kPsgMontage, &view));  // beyond the source
    view.selStart = view.selEnd = 32;
    EXPECT_TRUE(AdvanceGridEditor(record.get(), kPsgMontage, &view));
    EXPECT_EQ(view.selStart, 1);
    EXPECT_EQ(view.topRow, 0);

    GridView eeg = {18, 12, 0, 1, 12, 12, 0};
    EXPECT_TRUE(AdvanceGridEditor(record.get(), kEegMontage, &eeg));
    EXPECT_EQ(eeg.selEnd, 1);
}

TEST(GridCells, EegTextsAndColoursFollowTheSignalKind) {
    RecordPtr record = ZeroRecord();
    ElectrodeNameTable names = {};
    std::strcpy(names.Names[2][5], "Fp1");
    record->ElectrodeType = 2;
    EegMontageRow* rows = record->PatternSlots[0].EegRows;
    rows[0] = EegMontageRow{1, 5, 5, 0, 20, 4, 3, 5, 1, 3, 25, 0, 0, "Fp1-A1"};
    rows[1].SOURCE = 14;  // MARK1
    rows[2].SOURCE = 99;  // from a damaged settings file
    GridCellText cell;
    EegCellText(record.get(), &names, 1, 3, &cell);
    EXPECT_STREQ(cell.text, "Fp1");
    EegCellText(record.get(), &names, 1, 6, &cell);
    EXPECT_STREQ(cell.text, " ACC");
    EegCellText(record.get(), &names, 1, 11, &cell);
    EXPECT_STREQ(cell.text, "Color3");
    EegCellText(record.get(), &names, 2, 3, &cell);
    EXPECT_STREQ(cell.text, "--");
    EXPECT_EQ(cell.colour, kTextBlack);
    EegCellText(record.get(), &names, 2, 2, &cell);
    EXPECT_EQ(cell.colour, kTextRed);
    EegCellText(record.get(), &names, 4, 7, &cell);  // " OFF "
    EXPECT_STREQ(cell.text, "--");
    EXPECT_EQ(cell.colour, kTextGrey);
    EegCellText(record.get(), &names, 3, 2, &cell);
    EXPECT_STREQ(cell.text, "--");
}

TEST(GridCells, PsgRowsBeyondTheSourceTurnOffWhenPaintedAndOtherValuesShowGrey) {
    RecordPtr record = PsgRecord();
    PsgChannelRow* rows = record->PatternSlots[0].PsgRows;
    rows[1].ChEnable = 2;
    rows[12].ChEnable = 1;
    GridCellText cell;
    PsgCellText(record.get(), 2, 1, &cell);
    EXPECT_STREQ(cell.text, "--");
    PsgCellText(record.get(), 2, 5, &cell);
    EXPECT_EQ(cell.colour, kTextGrey);
    PreparePsgRowForPaint(record.get(), 13);
    EXPECT_EQ(rows[12].ChEnable, 0);
    EXPECT_EQ(rows[12].MAG, 1);
    PsgCellText(record.get(), 13, 0, &cell);
    EXPECT_EQ(cell.colour, kTextBlack);
    PsgCellText(record.get(), 12, 0, &cell);
    EXPECT_EQ(cell.colour, kTextRed);
}

}  // namespace
