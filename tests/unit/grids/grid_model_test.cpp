#include "montage/grid_model.h"

#include <gtest/gtest.h>

#include <string>

#include "scratch_files.h"

namespace {

// A record as the program has it after loading: 32 grid rows, slot 0 current.
RecordPtr GridRecord(int32_t channels) {
    RecordPtr record = ZeroRecord();
    record->MaxCh = 32;
    record->ChannelCount = channels;
    record->SampleRate = 200;
    for (int32_t r = 0; r < channels; ++r) record->PatternSlots[0].PsgRows[r].ChEnable = 1;
    return record;
}

GridView Sized(const AppRecord* record, MontageKind kind, int32_t areaHeight) {
    GridView view = {};
    ResizeGridView(&view, 12, areaHeight, GridRowCount(record, kind));
    return view;
}

GridCell Cell(MontageKind kind, const GridView& view, const GridArea& area, int32_t column,
              int32_t band) {
    GridCell cell = {};
    EXPECT_TRUE(GridCellRect(kind, &view, &area, column, band, &cell));
    return cell;
}

TEST(GridLayout, EegColumnsLeaveOnePixelLinesAndShareTheRestInSevenths) {
    RecordPtr record = GridRecord(12);
    GridView view = Sized(record.get(), kEegMontage, 400);  // 18-pixel rows, 12 of 22 fit
    EXPECT_EQ(view.rowPixels, 18);
    EXPECT_EQ(view.visibleRows, 12);
    const GridArea area = {1, 1, 1 + 298 + 700, 401};
    GridCell header = Cell(kEegMontage, view, area, 0, kHeaderBand);
    EXPECT_EQ(header.left, 1);
    EXPECT_EQ(header.right, 28);
    EXPECT_EQ(header.bottom, 18);
    GridCell label = Cell(kEegMontage, view, area, 1, 0);
    EXPECT_EQ(label.left, 29);
    EXPECT_EQ(label.right, 118);
    EXPECT_EQ(label.top, 19);
    // Rows keep their 18 pixels in the taller area; the rest stays empty.
    EXPECT_EQ(label.bottom, 19 + 18 - 1);
    GridCell width = Cell(kEegMontage, view, area, 12, 11);
    EXPECT_EQ(width.left, 1 + 298 + 600);
    EXPECT_EQ(width.right, 1 + 298 + 700 - 1);
    EXPECT_EQ(width.bottom, 19 + 12 * 18 - 1);
    // A selected row scrolled away has no cell, not the header's.
    view.topRow = 2;
    GridCell none;
    EXPECT_FALSE(GridCellRect(kEegMontage, &view, &area, 1, GridBandOfRow(&view, 2), &none));
    EXPECT_FALSE(GridEditorRect(kEegMontage, &view, &area, 1, 2, &none));
}

TEST(GridLayout, PsgColumnsFollowTheirFixedRangesThenSevenths) {
    RecordPtr record = GridRecord(12);
    GridView view = Sized(record.get(), kPsgMontage, 200);
    const GridArea area = {1, 1, 1 + 308 + 699, 201};
    EXPECT_EQ(Cell(kPsgMontage, view, area, 0, kHeaderBand).right, 27);
    EXPECT_EQ(Cell(kPsgMontage, view, area, 1, 0).left, 29);
    EXPECT_EQ(Cell(kPsgMontage, view, area, 1, 0).right, 88);
    EXPECT_EQ(Cell(kPsgMontage, view, area, 5, 0).left, 309);
    EXPECT_EQ(Cell(kPsgMontage, view, area, 5, 0).right, 309 + 100 - 1);
    EXPECT_EQ(Cell(kPsgMontage, view, area, 11, 0).right, 309 + 700 - 1);
}

TEST(GridLayout, At144DpiFixedColumnsAndPaddingGrowByHalfAndRowsDoNotStretch) {
    RecordPtr record = GridRecord(3);
    GridView view = {};
    ResizeGridViewForDpi(&view, 18, 900, GridRowCount(record.get(), kEegMontage), 144);
    EXPECT_EQ(view.rowPixels, 18 + 9);
    EXPECT_EQ(view.visibleRows, 3);
    const GridArea eeg = {0, 0, 447 + 700, 900, 144};
    EXPECT_EQ(Cell(kEegMontage, view, eeg, 1, 0).left, 42);
    EXPECT_EQ(Cell(kEegMontage, view, eeg, 1, 0).right, 176);
    EXPECT_EQ(Cell(kEegMontage, view, eeg, 7, 0).left, 447 + 100);
    EXPECT_EQ(Cell(kEegMontage, view, eeg, 1, 2).bottom, 4 * 27 - 1);
    GridHit below = GridHitTest(record.get(), kEegMontage, &view, &eeg, 100, 4 * 27 + 5);
    EXPECT_EQ(below.row, 0);
    const GridArea psg = {0, 0, 462 + 700, 900, 144};
    EXPECT_EQ(Cell(kPsgMontage, view, psg, 3, 0).left, 222);
    EXPECT_EQ(Cell(kPsgMontage, view, psg, 5, 0).left, 462);
}

TEST(GridLayout, AGridTooSmallForARowHasOnlyItsHeader) {
    RecordPtr record = GridRecord(12);
    GridView view = Sized(record.get(), kPsgMontage, 10);
    EXPECT_EQ(view.visibleRows, 0);
    const GridArea area = {0, 0, 500, 10};
    GridCell cell;
    EXPECT_TRUE(GridCellRect(kPsgMontage, &view, &area, 3, kHeaderBand, &cell));
    EXPECT_FALSE(GridCellRect(kPsgMontage, &view, &area, 3, 0, &cell));
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 5).row, 0);
}

TEST(GridScrolling, RangeLinesAndThumb) {
    RecordPtr record = GridRecord(12);
    GridView eeg = Sized(record.get(), kEegMontage, 400);
    EXPECT_EQ(GridScrollMaximum(&eeg, 12), 0);
    GridView psg = Sized(record.get(), kPsgMontage, 200);  // 11 of 32 rows
    EXPECT_EQ(GridScrollMaximum(&psg, 32), 21);
    EXPECT_FALSE(ScrollGridView(&psg, 32, kScrollLineUp, 0));
    psg.topRow = 21;
    EXPECT_FALSE(ScrollGridView(&psg, 32, kScrollLineDown, 0));
    EXPECT_TRUE(ScrollGridView(&psg, 32, kScrollLineUp, 0));
    EXPECT_EQ(psg.topRow, 20);
    psg.selStart = psg.selEnd = 4;
    EXPECT_TRUE(ScrollGridView(&psg, 32, kScrollThumbSet, 99));
    EXPECT_EQ(psg.topRow, 21);
    EXPECT_EQ(psg.selStart, 0);
    ResizeGridView(&psg, 12, 400, 32);  // taller: the top row stays in range
    EXPECT_EQ(psg.topRow, 32 - psg.visibleRows);
    record->MaxCh = 4464;  // "MaxCh=70000" read into 16 bits: the grid lays out every row it has
    EXPECT_EQ(GridRowCount(record.get(), kPsgMontage), 256);
}

TEST(GridHits, HeaderRowNumbersAndRowsBeyondTheSourceGiveNothing) {
    RecordPtr record = GridRecord(12);
    GridView view = Sized(record.get(), kPsgMontage, 200);  // bands of 182/11 pixels
    const GridArea area = {0, 0, 1008, 200};
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 10).row, 0);
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 10, 30).column, 0);
    GridHit hit = GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 18 + 2 * 182 / 11);
    EXPECT_EQ(hit.column, 3);
    EXPECT_EQ(hit.row, 3);
    view.topRow = 8;
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 18 + 3 * 182 / 11).row, 12);
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 18 + 4 * 182 / 11).row, 0);
    record->MaxCh = 2;  // the bands counted stop at MaxCh
    view.topRow = 0;
    EXPECT_EQ(GridHitTest(record.get(), kPsgMontage, &view, &area, 200, 18 + 2 * 182 / 11).row, 0);
}

TEST(GridSelection, UpwardDragHighlightsAndChangesTheSameRows) {
    RecordPtr record = GridRecord(12);
    GridView view = Sized(record.get(), kEegMontage, 400);
    ASSERT_TRUE(BeginGridSelection(record.get(), kEegMontage, &view, GridHit{11, 7}));
    EXPECT_FALSE(ExtendGridSelection(&view, GridHit{10, 3}));  // another column
    EXPECT_TRUE(ExtendGridSelection(&view, GridHit{11, 3}));
    EXPECT_TRUE(EndGridSelection(kEegMontage, &view));
    EXPECT_EQ(view.selStart, 7);  // the EEG grid keeps the drag's direction
    EXPECT_TRUE(ApplyGridCommand(record.get(), kEegMontage, &view, kMenuFirstValue + 3));
    for (int32_t r = 1; r <= 12; ++r)
        EXPECT_EQ(record->PatternSlots[0].EegRows[r - 1].COLOR, r >= 3 && r <= 7 ? 3 : 0) << r;

    GridView psg = Sized(record.get(), kPsgMontage, 200);
    BeginGridSelection(record.get(), kPsgMontage, &psg, GridHit{5, 7});
    ExtendGridSelection(&psg, GridHit{5, 3});
    EndGridSelection(kPsgMontage, &psg);
    EXPECT_EQ(psg.selStart, 3);  // the PSG grid orders them
    EXPECT_EQ(psg.selEnd, 7);
    EXPECT_TRUE(ApplyGridCommand(record.get(), kPsgMontage, &psg, kMenuFirstValue + 2));
    for (int32_t r = 1; r <= 12; ++r)
        EXPECT_EQ(record->PatternSlots[0].PsgRows[r - 1].EU, r >= 3 && r <= 7 ? 20 : 0) << r;
}

TEST(GridSelection, APsgRowThatIsOffIsSelectableOnlyInTheOnOffColumn) {
    RecordPtr record = GridRecord(12);
    record->PatternSlots[0].PsgRows[4].ChEnable = 0;
    record->PatternSlots[0].PsgRows[5].ChEnable = 2;
    GridView view = {};
    EXPECT_FALSE(BeginGridSelection(record.get(), kPsgMontage, &view, GridHit{3, 5}));
    EXPECT_TRUE(BeginGridSelection(record.get(), kPsgMontage, &view, GridHit{1, 5}));
    EXPECT_TRUE(BeginGridSelection(record.get(), kPsgMontage, &view, GridHit{3, 6}));
    EXPECT_TRUE(GridCellEditable(record.get(), kPsgMontage, GridHit{3, 6}));
    EXPECT_FALSE(GridCellEditable(record.get(), kPsgMontage, GridHit{3, 5}));
    EXPECT_FALSE(GridCellEditable(record.get(), kPsgMontage, GridHit{4, 6}));
}

std::vector<std::string> Texts(const GridMenu& menu) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < menu.count; ++i) texts.push_back(menu.items[i].text);
    return texts;
}

int32_t Checked(const GridMenu& menu) {
    for (int32_t i = 0; i < menu.count; ++i)
        if (menu.items[i].checked) return menu.items[i].command;
    return 0;
}

TEST(GridMenus, EegMenusSkipPlaceHoldersAndCheckTheLastRowsValue) {
    RecordPtr record = GridRecord(12);
    GridView view = {0, 0, 0, 12, 2, 5, 0};
    GridMenu menu;
    ASSERT_TRUE(ApplyGridCommand(record.get(), kEegMontage, &view, kMenuFirstValue + 3));
    ASSERT_TRUE(BuildEegGridMenu(record.get(), nullptr, &view, &menu));
    EXPECT_EQ(record->PatternSlots[0].EegRows[4].WIDTH, 25);
    EXPECT_EQ(menu.count, 23);
    EXPECT_EQ(Checked(menu), kMenuFirstValue + 3);
    view.column = 2;
    BuildEegGridMenu(record.get(), nullptr, &view, &menu);
    EXPECT_EQ(Texts(menu).size(), 10u);
    EXPECT_EQ(menu.items[8].command, kMenuFirstValue + 14);  // "MARK1" keeps its index
    view.column = 6;
    BuildEegGridMenu(record.get(), nullptr, &view, &menu);
    EXPECT_EQ(Texts(menu).back(), " ACC");
    EXPECT_EQ(menu.items[menu.count - 1].command, kMenuFirstValue + 20);
    view.column = 0;
    EXPECT_EQ(GridMenuForSelection(record.get(), kEegMontage, nullptr, &view, &menu), kNoMenu);
    view.column = 13;
    EXPECT_EQ(GridMenuForSelection(record.get(), kEegMontage, nullptr, &view, &menu), kMenuRefused);
    view.column = 2;
    view.selStart = 0;
    EXPECT_EQ(GridMenuForSelection(record.get(), kEegMontage, nullptr, &view, &menu), kNoMenu);
}

TEST(GridMenus, PsgMenusWriteTheirTablesValues) {
    RecordPtr record = GridRecord(12);
    GridView view = {0, 0, 0, 6, 1, 1, 0};
    GridMenu menu;
    ASSERT_TRUE(BuildPsgGridMenu(record.get(), &view, &menu));
    EXPECT_EQ(Texts(menu).back(), " 65536 (1/1) ");  // nothing set AdBits: 16 bits
    record->AdBits = 12;
    BuildPsgGridMenu(record.get(), &view, &menu);
    EXPECT_EQ(Texts(menu).back(), " 4096 (1/1) ");
    ApplyGridCommand(record.get(), kPsgMontage, &view, kMenuFirstValue + 3);
    EXPECT_EQ(record->PatternSlots[0].PsgRows[0].VU, 819);
    record->AdBits = 14;
    BuildPsgGridMenu(record.get(), &view, &menu);
    EXPECT_EQ(menu.count, 0);

    view.column = 7;
    ApplyGridCommand(record.get(), kPsgMontage, &view, kMenuFirstValue + 11);
    GridCellText cell;
    PsgCellText(record.get(), 1, 7, &cell);
    EXPECT_STREQ(cell.text, "5000.0");
    view.column = 4;
    ApplyGridCommand(record.get(), kPsgMontage, &view, kMenuFirstValue + 3);
    BuildPsgGridMenu(record.get(), &view, &menu);
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"200", "100", "50", "40", "20", "10", "4"}));
    EXPECT_EQ(Checked(menu), kMenuFirstValue + 3);
    PsgCellText(record.get(), 1, 4, &cell);
    EXPECT_STREQ(cell.text, "40");
    view.column = 2;
    BuildPsgGridMenu(record.get(), &view, &menu);
    EXPECT_EQ(menu.count, 21);
    EXPECT_EQ(Texts(menu)[4], "EEG");
}

TEST(GridMenus, AutoSequenceLabelNumbersEveryChannel) {
    RecordPtr record = GridRecord(19);
    GridView view = {};
    ASSERT_TRUE(ApplyGridCommand(record.get(), kEegMontage, &view, kMenuAutoSequence));
    ASSERT_TRUE(ApplyGridCommand(record.get(), kPsgMontage, &view, kMenuAutoSequence));
    EXPECT_STREQ(record->PatternSlots[0].EegRows[0].label, "1");
    EXPECT_STREQ(record->PatternSlots[0].EegRows[18].label, "19");
    EXPECT_STREQ(record->PatternSlots[0].PsgRows[18].ChLabel, "19");
    EXPECT_STREQ(record->PatternSlots[0].EegRows[19].label, "");
}

}  // namespace
