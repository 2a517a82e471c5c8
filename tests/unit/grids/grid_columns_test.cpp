// The grids' columns as the cells, the menus and the headers see them: a
// menu choice shows in the cell of the column that offered it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "montage/grid_model.h"
#include "scratch_files.h"

namespace {

struct NamedColumn {
    MontageKind kind;
    int32_t column;
    const char* header;
};

const NamedColumn kNamedColumns[] = {
    {kEegMontage, kEegColumnNumber, "CH"},     {kEegMontage, kEegColumnLabel, "Label"},
    {kEegMontage, kEegColumnSource, "Source"}, {kEegMontage, kEegColumnG1, "G1"},
    {kEegMontage, kEegColumnG2, "G2"},         {kEegMontage, kEegColumnRecin, "RI"},
    {kEegMontage, kEegColumnSens, "SENS"},     {kEegMontage, kEegColumnLff, "LFF"},
    {kEegMontage, kEegColumnHff, "HFF"},       {kEegMontage, kEegColumnCal, "CAL"},
    {kEegMontage, kEegColumnShow, "Show"},     {kEegMontage, kEegColumnColour, "Color"},
    {kEegMontage, kEegColumnWidth, "Width"},   {kPsgMontage, kPsgColumnNumber, "CH"},
    {kPsgMontage, kPsgColumnOnOff, "ON/OFF"},  {kPsgMontage, kPsgColumnType, "Type"},
    {kPsgMontage, kPsgColumnLabel, "Label"},   {kPsgMontage, kPsgColumnRate, "Rate"},
    {kPsgMontage, kPsgColumnCal, "CAL"},       {kPsgMontage, kPsgColumnAd, "AD"},
    {kPsgMontage, kPsgColumnSens, "Sens"},     {kPsgMontage, kPsgColumnLff, "LFF"},
    {kPsgMontage, kPsgColumnHff, "HFF"},       {kPsgMontage, kPsgColumnUnit, "Unit"},
    {kPsgMontage, kPsgColumnMag, "Mag"},
};

std::string Trimmed(const char* text) {
    std::string s = text;
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

RecordPtr OneChannelRecord() {
    RecordPtr record = ZeroRecord();
    record->MaxCh = 8;
    record->ChannelCount = 1;
    record->SampleRate = 200;
    record->PatternSlots[0].EegRows[0].SOURCE = kFirstSignalKind;
    record->PatternSlots[0].PsgRows[0].ChEnable = kChannelOn;
    return record;
}

TEST(GridColumns, EveryNamedColumnHasItsHeaderAndNoneLiesBeyondTheLast) {
    for (const NamedColumn& c : kNamedColumns)
        EXPECT_STREQ(GridHeaderText(c.kind, c.column), c.header) << c.kind << "/" << c.column;
    EXPECT_STREQ(GridHeaderText(kEegMontage, kEegGridColumns), "");
    EXPECT_STREQ(GridHeaderText(kPsgMontage, kPsgGridColumns), "");
}

// The second item of each value menu, chosen on the first row, is the text
// the same column then shows (blanks aside).
TEST(GridColumns, AnEegMenuChoiceShowsInItsOwnColumn) {
    const int32_t columns[] = {kEegColumnSens, kEegColumnLff,    kEegColumnHff,   kEegColumnCal,
                               kEegColumnShow, kEegColumnColour, kEegColumnWidth, kEegColumnSource};
    for (int32_t column : columns) {
        RecordPtr record = OneChannelRecord();
        const GridView view = {0, 0, 0, column, 1, 1, 0};
        GridMenu menu;
        ASSERT_TRUE(BuildEegGridMenu(record.get(), nullptr, &view, &menu)) << column;
        ASSERT_GE(menu.count, 2) << column;
        ASSERT_TRUE(ApplyGridCommand(record.get(), kEegMontage, &view, menu.items[1].command));
        GridCellText cell;
        EegCellText(record.get(), nullptr, 1, column, &cell);
        EXPECT_EQ(Trimmed(cell.text), Trimmed(menu.items[1].text)) << column;
    }
}

TEST(GridColumns, APsgMenuChoiceShowsInItsOwnColumn) {
    const int32_t columns[] = {kPsgColumnRate, kPsgColumnCal, kPsgColumnAd, kPsgColumnSens,
                               kPsgColumnLff,  kPsgColumnHff, kPsgColumnMag};
    for (int32_t column : columns) {
        RecordPtr record = OneChannelRecord();
        const GridView view = {0, 0, 0, column, 1, 1, 0};
        GridMenu menu;
        ASSERT_TRUE(BuildPsgGridMenu(record.get(), &view, &menu)) << column;
        ASSERT_GE(menu.count, 2) << column;
        ASSERT_TRUE(ApplyGridCommand(record.get(), kPsgMontage, &view, menu.items[1].command));
        GridCellText cell;
        PsgCellText(record.get(), 1, column, &cell);
        EXPECT_DOUBLE_EQ(std::atof(cell.text), std::atof(menu.items[1].text)) << column;
    }
}

// A command number past a column's list but inside the PSG command range
// writes a fixed value rather than nothing.
TEST(GridColumns, APsgCommandBeyondItsListWritesTheFallback) {
    struct Fallback {
        int32_t column;
        uint16_t adBits;
        int32_t PsgChannelRow::*field;
        int32_t value;
    };
    const Fallback fallbacks[] = {
        {kPsgColumnRate, 0, &PsgChannelRow::Rate, 1},
        {kPsgColumnCal, 0, &PsgChannelRow::EU, 50},
        {kPsgColumnSens, 0, &PsgChannelRow::Sens, 50000},
        {kPsgColumnAd, kAdBits12, &PsgChannelRow::VU, 410},
        {kPsgColumnAd, kAdBits16, &PsgChannelRow::VU, 4096},
        {kPsgColumnAd, 14, &PsgChannelRow::VU, kPsgMenuValues - 1},
        {kPsgColumnLff, 0, &PsgChannelRow::LFF, 0},
        {kPsgColumnHff, 0, &PsgChannelRow::HFF, 0},
        {kPsgColumnMag, 0, &PsgChannelRow::MAG, 1},
    };
    for (const Fallback& f : fallbacks) {
        RecordPtr record = OneChannelRecord();
        record->AdBits = f.adBits;
        PsgChannelRow& row = record->PatternSlots[0].PsgRows[0];
        row.*f.field = -7;
        const GridView view = {0, 0, 0, f.column, 1, 1, 0};
        ASSERT_TRUE(ApplyGridCommand(record.get(), kPsgMontage, &view,
                                     kMenuFirstValue + kPsgMenuValues - 1));
        EXPECT_EQ(row.*f.field, f.value) << f.column << " at " << f.adBits << " bits";
    }
}

}  // namespace
