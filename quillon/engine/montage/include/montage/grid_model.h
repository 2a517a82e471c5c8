// The two montage grids without their windows: where columns and rows lie,
// what a point hits, how far the view scrolls, how a selection grows, which
// popup menu a column offers, what a menu command or a typed value writes.
// The grid windows only move pixels and messages; every decision is here.
#ifndef QUILLON_GRID_MODEL_H
#define QUILLON_GRID_MODEL_H

#include <stdint.h>

#include "store/app_record.h"
#include "store/field_text.h"

enum MontageKind : int32_t { kEegMontage = 0, kPsgMontage = 1 };

// The columns of each grid, left to right: cells, menus, editing and
// painting all go by these. Column 0 holds the row numbers and is never
// selected, so 0 also stands for "no column" in GridView and GridHit.
enum EegGridColumn : int32_t {
    kEegColumnNumber = 0,
    kEegColumnLabel,
    kEegColumnSource,
    kEegColumnG1,
    kEegColumnG2,
    kEegColumnRecin,
    kEegColumnSens,
    kEegColumnLff,
    kEegColumnHff,
    kEegColumnCal,
    kEegColumnShow,
    kEegColumnColour,
    kEegColumnWidth,
};
enum PsgGridColumn : int32_t {
    kPsgColumnNumber = 0,
    kPsgColumnOnOff,
    kPsgColumnType,
    kPsgColumnLabel,
    kPsgColumnRate,
    kPsgColumnCal,
    kPsgColumnAd,
    kPsgColumnSens,
    kPsgColumnLff,
    kPsgColumnHff,
    kPsgColumnUnit,
    kPsgColumnMag,
};
constexpr int32_t kNoGridColumn = 0;
constexpr int32_t kFirstGridColumn = 1;  // the first a user can select
constexpr int32_t kEegGridColumns = kEegColumnWidth + 1;
constexpr int32_t kPsgGridColumns = kPsgColumnMag + 1;

// WM_COMMAND codes: the grid to its page, and the edit control to its grid.
constexpr int32_t kGridSelectionBegins = 10;
constexpr int32_t kGridSelectionExtends = 11;
constexpr int32_t kGridSelectionEnds = 12;
constexpr int32_t kEditEnter = 10;
constexpr int32_t kEditTab = 11;
constexpr int32_t kEditFocusLost = 12;
constexpr int32_t kGridEditId = 900;

// Menu command numbers: one command for "Auto Sequence Label", one per value.
constexpr int32_t kMenuAutoSequence = 2300;
constexpr int32_t kMenuFirstValue = 2500;
constexpr int32_t kEegMenuValues = 64;
constexpr int32_t kPsgMenuValues = 30;
constexpr int32_t kGridMenuMaxItems = 72;
constexpr int32_t kGridTextSize = 40;
constexpr int32_t kGridEditTextSize = 128;

// The working area: the client rectangle shrunk by the border, right and
// bottom exclusive; the DPI its fixed column widths are scaled to (0: 96).
struct GridArea {
    int32_t left, top, right, bottom;
    int32_t dpi = 0;
};

// Rectangle for FillRect: right and bottom exclusive; what lies between one
// cell's fill and the next cell is the black background, the grid lines.
struct GridCell {
    int32_t left, top, right, bottom;
};

// The view state of one grid, copied out of and back into the record's
// fields of that grid for the length of one message.
struct GridView {
    int32_t rowPixels;    // header height; bands share the rest
    int32_t visibleRows;  // bands on screen
    int32_t topRow;       // rows scrolled away above the first band
    int32_t column;       // selected column, kNoGridColumn none
    int32_t selStart;     // 1-based row where the selection began, 0 none
    int32_t selEnd;       // 1-based row where it ends
    int32_t dragging;
};

struct GridHit {
    int32_t column;  // kNoGridColumn none
    int32_t row;     // 1-based, 0 none
};

enum GridTextColour : int32_t { kTextBlack = 0, kTextRed = 1, kTextGrey = 2 };

struct GridCellText {
    char text[kGridTextSize];
    int32_t colour;
};

struct GridMenuItem {
    char text[kPatternTextSize];
    int32_t command;
    int32_t checked;
};

struct GridMenu {
    int32_t count;
    GridMenuItem items[kGridMenuMaxItems];
};

// What a right-button release does.
enum GridMenuOutcome : int32_t { kNoMenu = 0, kShowMenu = 1, kMenuRefused = 2 };

enum ScrollRequest : int32_t { kScrollLineUp, kScrollLineDown, kScrollThumbSet, kScrollOther };

extern "C" {

// --- View state, layout, hit test, scrolling, selection (grid_model.cpp) ---

void LoadGridView(const AppRecord* record, MontageKind kind, GridView* view);
void StoreGridView(AppRecord* record, MontageKind kind, const GridView* view);

// Rows the grid lays out: EEG the source channels, PSG MaxCh; at most 256.
int32_t GridRowCount(const AppRecord* record, MontageKind kind);
// Rows that can be selected and edited: the source channels, at most 256.
int32_t GridSelectableRows(const AppRecord* record);

// After a size change: row height from the font, bands that fit, top row
// kept inside the scroll range. Returns the scroll range's maximum.
int32_t ResizeGridView(GridView* view, int32_t textHeight, int32_t areaHeight, int32_t rowCount);
// The same with the padding around the text scaled to dpi (0: 96).
int32_t ResizeGridViewForDpi(GridView* view, int32_t textHeight, int32_t areaHeight,
                             int32_t rowCount, int32_t dpi);
int32_t GridScrollMaximum(const GridView* view, int32_t rowCount);
// 1 when the view changed and the grid repaints.
int32_t ScrollGridView(GridView* view, int32_t rowCount, ScrollRequest request, int32_t position);
// Scrolls the least so that a row shows in a band; 1 when the view moved.
int32_t RevealGridRow(GridView* view, int32_t rowCount, int32_t row);

// Bands: the header, and what a row off screen has.
constexpr int32_t kHeaderBand = -1;
constexpr int32_t kNoBand = -2;

// Fill rectangle of a column in the header (kHeaderBand) or in band 0..V-1.
// Rows keep their height where the area is taller than they need; only a
// grid with more rows than fit shares the area among the bands it shows.
// 0 for a column or band that does not exist.
int32_t GridCellRect(MontageKind kind, const GridView* view, const GridArea* area, int32_t column,
                     int32_t band, GridCell* cell);
// Band showing a 1-based row, or kNoBand when the row is off screen.
int32_t GridBandOfRow(const GridView* view, int32_t row);
// The in-place editor's rectangle: the cell one pixel taller at both ends.
int32_t GridEditorRect(MontageKind kind, const GridView* view, const GridArea* area, int32_t column,
                       int32_t row, GridCell* cell);

GridHit GridHitTest(const AppRecord* record, MontageKind kind, const GridView* view,
                    const GridArea* area, int32_t x, int32_t y);

// A press on a hit starts a selection (PSG: only in column 1 or on a row
// that is on). 1 when it did.
int32_t BeginGridSelection(const AppRecord* record, MontageKind kind, GridView* view, GridHit hit);
// 1 when a drag moved the selection's end.
int32_t ExtendGridSelection(GridView* view, GridHit hit);
// 1 when a drag ended; the PSG grid then orders start and end.
int32_t EndGridSelection(MontageKind kind, GridView* view);
// The highlighted rows, smallest first; 0 when nothing is selected.
int32_t GridSelectedRows(const GridView* view, int32_t* first, int32_t* last);

// --- Cell texts (grid_cells.cpp) ---

const char* GridHeaderText(MontageKind kind, int32_t column);
void EegCellText(const AppRecord* record, const ElectrodeNameTable* names, int32_t row,
                 int32_t column, GridCellText* cell);
void PsgCellText(const AppRecord* record, int32_t row, int32_t column, GridCellText* cell);
// What painting a PSG row writes into it: channels beyond the source turn
// off, a multiplier of 0 reads as 1.
void PreparePsgRowForPaint(AppRecord* record, int32_t row);

// --- Popup menus and their commands (grid_menus.cpp) ---

// The menu of the selected column; 0 when that column has none (the EEG
// grid then beeps).
int32_t BuildEegGridMenu(const AppRecord* record, const ElectrodeNameTable* names,
                         const GridView* view, GridMenu* menu);
int32_t BuildPsgGridMenu(const AppRecord* record, const GridView* view, GridMenu* menu);
// After a right-button release: no menu without a selection or in the
// number column; a column without a menu is refused (the EEG grid beeps).
GridMenuOutcome GridMenuForSelection(const AppRecord* record, MontageKind kind,
                                     const ElectrodeNameTable* names, const GridView* view,
                                     GridMenu* menu);
// Writes a menu command's value into the highlighted rows, or numbers the
// labels; 1 when something was written and the grid repaints.
int32_t ApplyGridCommand(AppRecord* record, MontageKind kind, const GridView* view,
                         int32_t command);
// The A/D resolution the "AD" menu offers: AdBits, where nothing set it 16.
int32_t PsgGridAdBits(const AppRecord* record);

// --- In-place editing (grid_cells.cpp) ---

// 1 when a double click on the hit opens the editor.
int32_t GridCellEditable(const AppRecord* record, MontageKind kind, GridHit hit);
// The editor's starting text and its limit in characters; 0 when the cell
// has no editor.
int32_t GridEditText(const AppRecord* record, MontageKind kind, int32_t column, int32_t row,
                     char* text, int32_t size, int32_t* limit);
// Stores a typed text in the cell; 1 when it did.
int32_t StoreGridEditText(AppRecord* record, MontageKind kind, int32_t column, int32_t row,
                          const char* text);
// After Enter: the next row (the first after the last) becomes the whole
// selection, shown on screen. Returns 1 when the editor opens there.
int32_t AdvanceGridEditor(const AppRecord* record, MontageKind kind, GridView* view);

// C integer text: blanks, a sign, 0x hexadecimal, 0 octal; stops at the
// first other character; nothing readable is 0; saturates at 32 bits.
int32_t ParseTypedInteger(const char* text);
// A decimal number times 1000, truncated toward zero, exactly; saturates.
int32_t ParseTypedThousandths(const char* text);
}

// The slots the grids show, read-only; null when the stored index is out of range.
inline const MontagePattern* EegSlotOf(const AppRecord* record) {
    return record->CurrentEegPattern < kPatternSlotCount
               ? &record->PatternSlots[record->CurrentEegPattern]
               : nullptr;
}
inline const MontagePattern* PsgSlotOf(const AppRecord* record) {
    return record->CurrentPsgPattern < kPatternSlotCount
               ? &record->PatternSlots[record->CurrentPsgPattern]
               : nullptr;
}

#endif
