// GDI painting of both montage grids: header, rows and the selection. Cells
// are filled short of their right and bottom edges so the black class
// background shows between them as the grid lines.
#include "gdi_scope.h"
#include "grid_window.h"
#include "record_lock.h"
#include "ui_text.h"

namespace {

constexpr COLORREF kHeaderColour = RGB(192, 220, 192);
constexpr COLORREF kCellColour = RGB(255, 255, 255);
constexpr COLORREF kSelectedColour = RGB(255, 255, 0);
constexpr COLORREF kTextColours[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(128, 128, 128)};
// Centred on one line, no clipping, no prefix processing.
constexpr UINT kCellTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX;

struct Painter {
    HDC dc;
    MontageKind kind;
    AppRecord* record;
    GridView view;
    GridArea area;
};

int32_t ColumnCount(MontageKind kind) {
    return kind == kEegMontage ? kEegGridColumns : kPsgGridColumns;
}

void Fill(const Painter& p, const GridCell& cell, COLORREF colour) {
    RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
    GdiObjectScope brush(CreateSolidBrush(GetNearestColor(p.dc, colour)));
    FillRect(p.dc, &rect, static_cast<HBRUSH>(brush.object));
}

void Write(const Painter& p, const GridCell& cell, const char* text, int32_t colour) {
    RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
    SetTextColor(p.dc, kTextColours[colour >= kTextBlack && colour <= kTextGrey ? colour : 0]);
    const std::wstring wide = WideFromCp932(text);
    DrawTextW(p.dc, wide.c_str(), static_cast<int>(wide.size()), &rect, kCellTextFormat);
}

void PaintCell(const Painter& p, int32_t column, int32_t row, COLORREF background) {
    GridCell cell;
    if (!GridCellRect(p.kind, &p.view, &p.area, column, GridBandOfRow(&p.view, row), &cell)) return;
    // The PSG grid's channel numbers stand on the header colour.
    if (p.kind == kPsgMontage && column == kPsgColumnNumber) background = kHeaderColour;
    Fill(p, cell, background);
    GridCellText text;
    if (p.kind == kEegMontage)
        EegCellText(p.record, GridElectrodeNames(), row, column, &text);
    else
        PsgCellText(p.record, row, column, &text);
    Write(p, cell, text.text, text.colour);
}

void PaintHeader(const Painter& p) {
    for (int32_t column = 0; column < ColumnCount(p.kind); ++column) {
        GridCell cell;
        if (!GridCellRect(p.kind, &p.view, &p.area, column, kHeaderBand, &cell)) continue;
        Fill(p, cell, kHeaderColour);
        Write(p, cell, GridHeaderText(p.kind, column), kTextBlack);
    }
}

void PaintRows(const Painter& p) {
    const int32_t rows = GridRowCount(p.record, p.kind);
    for (int32_t band = 0; band < p.view.visibleRows; ++band) {
        const int32_t row = p.view.topRow + band + 1;
        if (row > rows) break;
        if (p.kind == kPsgMontage) PreparePsgRowForPaint(p.record, row);
        for (int32_t column = 0; column < ColumnCount(p.kind); ++column)
            PaintCell(p, column, row, kCellColour);
    }
}

void PaintSelection(const Painter& p, const GridView& selection, COLORREF background) {
    int32_t first = 0, last = 0;
    if (!GridSelectedRows(&selection, &first, &last)) return;
    const int32_t rows = GridRowCount(p.record, p.kind);
    for (int32_t row = first; row <= last && row <= rows; ++row)
        PaintCell(p, selection.column, row, background);
}

Painter MakePainter(HDC dc, HWND grid, MontageKind kind, AppRecord* record) {
    Painter p = {dc, kind, record, {}, GridWorkingArea(grid)};
    LoadGridView(record, kind, &p.view);
    SetBkMode(dc, TRANSPARENT);
    return p;
}

}  // namespace

void PaintGrid(HWND grid, MontageKind kind) {
    PaintScope paint(grid);
    RecordLock record(GridRecordHandle(grid));
    if (!record || paint.dc == nullptr) return;
    SelectScope font(paint.dc, GridFont(grid) ? static_cast<HGDIOBJ>(GridFont(grid))
                                              : GetStockObject(SYSTEM_FONT));
    const Painter p = MakePainter(paint.dc, grid, kind, record.record);
    PaintHeader(p);
    if (p.view.visibleRows < 1) return;  // too small for a row: the header alone
    PaintRows(p);
    PaintSelection(p, p.view, kSelectedColour);
}

void RepaintGridSelection(HWND grid, MontageKind kind, AppRecord* record, const GridView* before,
                          const GridView* after) {
    WindowDcScope window(grid);
    if (window.dc == nullptr) return;
    SelectScope font(window.dc, GridFont(grid) ? static_cast<HGDIOBJ>(GridFont(grid))
                                               : GetStockObject(SYSTEM_FONT));
    Painter p = MakePainter(window.dc, grid, kind, record);
    PaintSelection(p, *before, kCellColour);
    PaintSelection(p, *after, kSelectedColour);
}
