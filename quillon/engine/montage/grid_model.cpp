// Layout, hit test, scrolling and selection of the montage grids.
#include "montage/grid_model.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int32_t kRowPadding = 6;  // pixels added to the font's height at 96 DPI
constexpr int32_t kBaseDpi = 96;

// EEG columns before Sens have fixed left edges from the area's left; the
// columns from Sens on share the width right of them in sevenths.
constexpr int32_t kEegFixedLefts[] = {0, 28, 118, 178, 218, 258, 298};
constexpr int32_t kEegSharedFrom = 298;
constexpr int32_t kEegFirstShared = kEegColumnSens;

// PSG columns before CAL as (left, right) from the area's left; the columns
// from CAL on in sevenths.
constexpr int32_t kPsgFixedSpans[][2] = {{0, 26}, {28, 87}, {88, 147}, {148, 247}, {248, 307}};
constexpr int32_t kPsgSharedFrom = 308;
constexpr int32_t kPsgFirstShared = kPsgColumnCal;
constexpr int32_t kSharedColumns = 7;
static_assert(kEegGridColumns - kEegFirstShared == kSharedColumns, "EEG sevenths");
static_assert(kPsgGridColumns - kPsgFirstShared == kSharedColumns, "PSG sevenths");

int32_t ToInt(uint32_t value) {
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}
uint32_t ToUnsigned(int32_t value) { return value < 0 ? 0u : static_cast<uint32_t>(value); }

// A length laid out at 96 DPI for the area's DPI, rounded to the nearest pixel.
int32_t Scaled(const GridArea* area, int32_t pixels) {
    const int64_t dpi = area->dpi > 0 ? area->dpi : kBaseDpi;
    return static_cast<int32_t>((pixels * dpi + kBaseDpi / 2) / kBaseDpi);
}

struct ColumnSpan {
    int32_t left;
    int32_t fillRight;  // exclusive
    int32_t hitRight;   // exclusive
};

int32_t EegColumnLeft(const GridArea* area, int32_t column) {
    if (column <= kEegFirstShared) return area->left + Scaled(area, kEegFixedLefts[column]);
    const int32_t sharedFrom = Scaled(area, kEegSharedFrom);
    const int32_t width = area->right - area->left - sharedFrom;
    return area->left + sharedFrom + (column - kEegFirstShared) * width / kSharedColumns;
}

bool SpanOf(MontageKind kind, const GridArea* area, int32_t column, ColumnSpan* span) {
    if (kind == kEegMontage) {
        if (column < 0 || column >= kEegGridColumns) return false;
        const int32_t next = EegColumnLeft(area, column + 1);
        *span = {EegColumnLeft(area, column), next - 1, next};
        return true;
    }
    if (column < 0 || column >= kPsgGridColumns) return false;
    if (column < kPsgFirstShared) {
        const int32_t left = area->left + Scaled(area, kPsgFixedSpans[column][0]);
        const int32_t right = area->left + Scaled(area, kPsgFixedSpans[column][1]);
        *span = {left, right, right};
        return true;
    }
    const int32_t x = area->left + Scaled(area, kPsgSharedFrom);
    const int32_t width = area->right - x + 1;
    const int32_t k = column - kPsgFirstShared;
    const int32_t right = x + (k + 1) * width / kSharedColumns - 1;
    *span = {x + k * width / kSharedColumns, right, right};
    return true;
}

int32_t BandTop(const GridView* view, const GridArea* area, int32_t band) {
    const int64_t shared = area->bottom - area->top - view->rowPixels;
    const int32_t first = area->top + view->rowPixels;
    if (static_cast<int64_t>(view->visibleRows) * view->rowPixels <= shared)
        return first + band * view->rowPixels;
    return first + static_cast<int32_t>(band * shared / view->visibleRows);
}

int32_t ColumnCount(MontageKind kind) {
    return kind == kEegMontage ? kEegGridColumns : kPsgGridColumns;
}

}  // namespace

extern "C" void LoadGridView(const AppRecord* record, MontageKind kind, GridView* view) {
    if (kind == kEegMontage) {
        *view = {ToInt(record->EegGridRowPixels), ToInt(record->EegGridVisibleRows),
                 ToInt(record->EegGridTopRow),    ToInt(record->EegGridColumn),
                 ToInt(record->EegGridSelStart),  ToInt(record->EegGridSelEnd),
                 record->EegGridDragging};
        return;
    }
    *view = {record->PsgRowHeight, record->PsgVisibleRows, record->PsgTopRow,  record->PsgSelColumn,
             record->PsgSelStart,  record->PsgSelEnd,      record->PsgDragging};
}

extern "C" void StoreGridView(AppRecord* record, MontageKind kind, const GridView* view) {
    if (kind == kEegMontage) {
        record->EegGridRowPixels = ToUnsigned(view->rowPixels);
        record->EegGridVisibleRows = ToUnsigned(view->visibleRows);
        record->EegGridTopRow = ToUnsigned(view->topRow);
        record->EegGridColumn = ToUnsigned(view->column);
        record->EegGridSelStart = ToUnsigned(view->selStart);
        record->EegGridSelEnd = ToUnsigned(view->selEnd);
        record->EegGridDragging = view->dragging != 0;
        return;
    }
    record->PsgRowHeight = view->rowPixels;
    record->PsgVisibleRows = view->visibleRows;
    record->PsgTopRow = view->topRow;
    record->PsgSelColumn = view->column;
    record->PsgSelStart = view->selStart;
    record->PsgSelEnd = view->selEnd;
    record->PsgDragging = view->dragging != 0;
}

extern "C" int32_t GridSelectableRows(const AppRecord* record) {
    return std::clamp(record->ChannelCount, 0, kPatternRowCount);
}

extern "C" int32_t GridRowCount(const AppRecord* record, MontageKind kind) {
    if (kind == kEegMontage) return GridSelectableRows(record);
    return std::min<int32_t>(record->MaxCh, kPatternRowCount);
}

extern "C" int32_t GridScrollMaximum(const GridView* view, int32_t rowCount) {
    return view->visibleRows >= rowCount ? 0 : rowCount - view->visibleRows;
}

extern "C" int32_t ResizeGridView(GridView* view, int32_t textHeight, int32_t areaHeight,
                                  int32_t rowCount) {
    return ResizeGridViewForDpi(view, textHeight, areaHeight, rowCount, kBaseDpi);
}

extern "C" int32_t ResizeGridViewForDpi(GridView* view, int32_t textHeight, int32_t areaHeight,
                                        int32_t rowCount, int32_t dpi) {
    const GridArea scale = {0, 0, 0, 0, dpi};
    view->rowPixels = std::max(textHeight, 0) + Scaled(&scale, kRowPadding);
    view->visibleRows = std::clamp(std::max(areaHeight, 0) / view->rowPixels, 0, rowCount);
    const int32_t maximum = GridScrollMaximum(view, rowCount);
    view->topRow = std::clamp(view->topRow, 0, maximum);
    return maximum;
}

extern "C" int32_t ScrollGridView(GridView* view, int32_t rowCount, ScrollRequest request,
                                  int32_t position) {
    const int32_t maximum = GridScrollMaximum(view, rowCount);
    switch (request) {
        case kScrollLineUp:
            if (view->topRow < 1) return 0;
            view->topRow -= 1;
            return 1;
        case kScrollLineDown:
            if (view->topRow + 1 > maximum) return 0;
            view->topRow += 1;
            return 1;
        case kScrollThumbSet:
            view->topRow = std::clamp(position, 0, maximum);
            view->selStart = 0;
            view->selEnd = 0;
            return 1;
        default: return 0;
    }
}

extern "C" int32_t RevealGridRow(GridView* view, int32_t rowCount, int32_t row) {
    if (view->visibleRows < 1 || row < 1 || row > rowCount) return 0;
    int32_t top = view->topRow;
    if (row <= top) top = row - 1;
    if (row > top + view->visibleRows) top = row - view->visibleRows;
    top = std::clamp(top, 0, GridScrollMaximum(view, rowCount));
    if (top == view->topRow) return 0;
    view->topRow = top;
    return 1;
}

extern "C" int32_t GridCellRect(MontageKind kind, const GridView* view, const GridArea* area,
                                int32_t column, int32_t band, GridCell* cell) {
    ColumnSpan span;
    if (!SpanOf(kind, area, column, &span)) return 0;
    if (band == kHeaderBand) {
        *cell = {span.left, area->top, span.fillRight, area->top + view->rowPixels - 1};
        return 1;
    }
    if (band < 0 || band >= view->visibleRows) return 0;
    *cell = {span.left, BandTop(view, area, band), span.fillRight,
             BandTop(view, area, band + 1) - 1};
    return 1;
}

extern "C" int32_t GridBandOfRow(const GridView* view, int32_t row) {
    const int64_t band = static_cast<int64_t>(row) - view->topRow - 1;
    return band >= 0 && band < view->visibleRows ? static_cast<int32_t>(band) : kNoBand;
}

extern "C" int32_t GridEditorRect(MontageKind kind, const GridView* view, const GridArea* area,
                                  int32_t column, int32_t row, GridCell* cell) {
    if (!GridCellRect(kind, view, area, column, GridBandOfRow(view, row), cell)) return 0;
    cell->top -= 1;
    cell->bottom += 1;
    return 1;
}

extern "C" GridHit GridHitTest(const AppRecord* record, MontageKind kind, const GridView* view,
                               const GridArea* area, int32_t x, int32_t y) {
    GridHit hit = {kNoGridColumn, 0};
    for (int32_t c = kFirstGridColumn; c < ColumnCount(kind); ++c) {
        ColumnSpan span;
        if (SpanOf(kind, area, c, &span) && x >= span.left && x < span.hitRight) hit.column = c;
    }
    const int32_t bands = std::min<int32_t>(view->visibleRows, record->MaxCh);
    for (int32_t band = 0; band < bands; ++band) {
        if (y >= BandTop(view, area, band) && y < BandTop(view, area, band + 1)) {
            const int64_t row = static_cast<int64_t>(view->topRow) + band + 1;
            if (row <= GridSelectableRows(record)) hit.row = static_cast<int32_t>(row);
        }
    }
    if (hit.column == kNoGridColumn || hit.row == 0) hit = {kNoGridColumn, 0};
    return hit;
}

extern "C" int32_t BeginGridSelection(const AppRecord* record, MontageKind kind, GridView* view,
                                      GridHit hit) {
    if (hit.column < kFirstGridColumn || hit.row < 1) return 0;
    if (kind == kPsgMontage && hit.column != kPsgColumnOnOff) {
        const MontagePattern* slot = PsgSlotOf(record);
        if (slot == nullptr || slot->PsgRows[hit.row - 1].ChEnable <= kChannelOff) return 0;
    }
    view->dragging = 1;
    view->column = hit.column;
    view->selStart = hit.row;
    view->selEnd = hit.row;
    return 1;
}

extern "C" int32_t ExtendGridSelection(GridView* view, GridHit hit) {
    if (!view->dragging || hit.row < 1 || hit.column != view->column) return 0;
    view->selEnd = hit.row;
    return 1;
}

extern "C" int32_t EndGridSelection(MontageKind kind, GridView* view) {
    if (!view->dragging) return 0;
    if (kind == kPsgMontage && view->selStart > view->selEnd)
        std::swap(view->selStart, view->selEnd);
    view->dragging = 0;
    return 1;
}

extern "C" int32_t GridSelectedRows(const GridView* view, int32_t* first, int32_t* last) {
    if (view->selStart < 1 || view->selEnd < 1) return 0;
    *first = std::min(view->selStart, view->selEnd);
    *last = std::max(view->selStart, view->selEnd);
    return 1;
}
