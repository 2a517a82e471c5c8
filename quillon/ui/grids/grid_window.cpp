// Handlers the two montage grids share: attaching the record, size,
// scrolling, mouse selection, popup menus and their commands.
#include "grid_window.h"

#include <windowsx.h>

#include "gdi_scope.h"
#include "montage_grids.h"
#include "record_lock.h"
#include "ui_text.h"

namespace {

constexpr int kBorderShift = 8;  // style bits 8..11: border width in pixels
constexpr LONG kBorderMask = 0xF;

const ElectrodeNameTable* g_electrodeNames = nullptr;  // read-only program table

int BorderWidth(HWND grid) {
    return static_cast<int>((GetWindowLongA(grid, GWL_STYLE) >> kBorderShift) & kBorderMask);
}

int FontTextHeight(HWND grid) {
    WindowDcScope screen(nullptr);
    HFONT font = GridFont(grid);
    SelectScope selected(screen.dc,
                         font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen.dc, &metrics);
    return metrics.tmHeight;
}

// The grid's own DPI where the system tells it (per-monitor), else the screen's.
int32_t GridDpi(HWND grid) {
    using DpiProc = UINT(WINAPI*)(HWND);
    static const DpiProc dpiForWindow = reinterpret_cast<DpiProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow != nullptr) {
        const UINT dpi = dpiForWindow(grid);
        if (dpi > 0) return static_cast<int32_t>(dpi);
    }
    WindowDcScope screen(nullptr);
    return screen.dc != nullptr ? GetDeviceCaps(screen.dc, LOGPIXELSY) : 0;
}

void UpdateScrollBar(HWND grid, const GridView& view, int32_t rowCount) {
    SetScrollRange(grid, SB_VERT, 0, GridScrollMaximum(&view, rowCount), FALSE);
    SetScrollPos(grid, SB_VERT, view.topRow, TRUE);
}

void ResizeGrid(HWND grid, MontageKind kind, AppRecord* record) {
    RECT client;
    GetClientRect(grid, &client);
    GridView view;
    LoadGridView(record, kind, &view);
    const int32_t rows = GridRowCount(record, kind);
    ResizeGridViewForDpi(&view, FontTextHeight(grid), client.bottom - 2 * BorderWidth(grid), rows,
                         GridDpi(grid));
    StoreGridView(record, kind, &view);
    UpdateScrollBar(grid, view, rows);
}

GridHit HitAt(HWND grid, MontageKind kind, const AppRecord* record, LPARAM point) {
    GridView view;
    LoadGridView(record, kind, &view);
    const GridArea area = GridWorkingArea(grid);
    return GridHitTest(record, kind, &view, &area, GET_X_LPARAM(point), GET_Y_LPARAM(point));
}

ScrollRequest RequestOf(WORD code) {
    switch (code) {
        case SB_LINEUP:
        case SB_PAGEUP: return kScrollLineUp;
        case SB_LINEDOWN:
        case SB_PAGEDOWN: return kScrollLineDown;
        case SB_THUMBPOSITION: return kScrollThumbSet;
        default: return kScrollOther;
    }
}

// The menu is built while the record is locked and shown after the lock is
// gone: the menu's own message loop may paint the grid.
void ShowMenu(HWND grid, const GridMenu& items) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    for (int32_t i = 0; i < items.count; ++i)
        AppendMenuW(menu, MF_STRING | (items.items[i].checked ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(items.items[i].command),
                    WideFromCp932(items.items[i].text).c_str());
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, grid, nullptr);
    DestroyMenu(menu);
}

// The editor's own notices (Enter, Tab, focus lost); the edit control's
// EN_* notifications arrive with the same id and are none of them.
void OnEditorNotice(HWND grid, MontageKind kind, int code) {
    if (code != kEditEnter && code != kEditTab && code != kEditFocusLost) return;
    RecordLock record(GridRecordHandle(grid));
    if (!record) return;
    CloseGridEditor(grid, kind, record.record, code == kEditEnter);
    if (code != kEditEnter) return;
    GridView view;
    LoadGridView(record.record, kind, &view);
    const bool opens = AdvanceGridEditor(record.record, kind, &view);
    StoreGridView(record.record, kind, &view);
    UpdateScrollBar(grid, view, GridRowCount(record.record, kind));
    InvalidateRect(grid, nullptr, FALSE);
    UpdateWindow(grid);
    if (opens) OpenGridEditor(grid, kind, record.record);
}

}  // namespace

void NotifyParent(HWND control, int code) {
    PostMessageA(GetParent(control), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(control), static_cast<WORD>(code)),
                 reinterpret_cast<LPARAM>(control));
}

const ElectrodeNameTable* GridElectrodeNames() { return g_electrodeNames; }
void SetGridElectrodeNames(const ElectrodeNameTable* names) { g_electrodeNames = names; }

HGLOBAL GridRecordHandle(HWND grid) {
    return reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(grid, kGridRecordSlot));
}

HFONT GridFont(HWND grid) {
    return reinterpret_cast<HFONT>(GetWindowLongPtrA(grid, kGridFontSlot));
}

GridArea GridWorkingArea(HWND grid) {
    RECT client;
    GetClientRect(grid, &client);
    const int border = BorderWidth(grid);
    return GridArea{client.left + border, client.top + border, client.right - border,
                    client.bottom - border, GridDpi(grid)};
}

ATOM RegisterGridClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
    WNDCLASSA wc = {};
    wc.style = kGridClassStyle;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = kGridExtraBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

LRESULT OnGridSetData(HWND grid, MontageKind kind, WPARAM recordHandle) {
    SetWindowLongPtrA(grid, kGridRecordSlot, static_cast<LONG_PTR>(recordHandle));
    RecordLock record(reinterpret_cast<HGLOBAL>(recordHandle));
    if (!record) return 0;
    AttachGridEditor(grid, kind, record.record);
    if (GridRowCount(record.record, kind) > 0) ResizeGrid(grid, kind, record.record);
    return 0;
}

LRESULT OnGridSetFont(HWND grid, WPARAM font) {
    SetWindowLongPtrA(grid, kGridFontSlot, static_cast<LONG_PTR>(font));
    return 0;
}

LRESULT OnGridSize(HWND grid, MontageKind kind) {
    RecordLock record(GridRecordHandle(grid));
    if (record) ResizeGrid(grid, kind, record.record);
    return 0;
}

LRESULT OnGridEnable(HWND grid) {
    InvalidateRect(grid, nullptr, FALSE);
    return 0;
}

LRESULT OnGridScroll(HWND grid, MontageKind kind, WPARAM wParam) {
    if (LOWORD(wParam) == SB_THUMBTRACK) {
        SetScrollPos(grid, SB_VERT, static_cast<short>(HIWORD(wParam)), TRUE);
        return 0;
    }
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    GridView view;
    LoadGridView(record.record, kind, &view);
    const int32_t rows = GridRowCount(record.record, kind);
    if (!ScrollGridView(&view, rows, RequestOf(LOWORD(wParam)), HIWORD(wParam))) return 0;
    StoreGridView(record.record, kind, &view);
    SetScrollPos(grid, SB_VERT, view.topRow, TRUE);
    InvalidateRect(grid, nullptr, FALSE);
    return 0;
}

LRESULT OnGridButtonDown(HWND grid, MontageKind kind, LPARAM point) {
    if (GetFocus() != grid) SetFocus(grid);
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    GridView before, after;
    LoadGridView(record.record, kind, &before);
    after = before;
    if (!BeginGridSelection(record.record, kind, &after, HitAt(grid, kind, record.record, point)))
        return 0;
    StoreGridView(record.record, kind, &after);
    SetCapture(grid);
    RepaintGridSelection(grid, kind, record.record, &before, &after);
    NotifyParent(grid, kGridSelectionBegins);
    return 0;
}

LRESULT OnGridMouseMove(HWND grid, MontageKind kind, LPARAM point) {
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    GridView before, after;
    LoadGridView(record.record, kind, &before);
    after = before;
    if (!before.dragging || !ExtendGridSelection(&after, HitAt(grid, kind, record.record, point)))
        return 0;
    StoreGridView(record.record, kind, &after);
    RepaintGridSelection(grid, kind, record.record, &before, &after);
    NotifyParent(grid, kGridSelectionExtends);
    return 0;
}

LRESULT OnGridButtonUp(HWND grid, MontageKind kind) {
    ReleaseCapture();
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    GridView before, after;
    LoadGridView(record.record, kind, &before);
    after = before;
    if (!EndGridSelection(kind, &after)) return 0;
    StoreGridView(record.record, kind, &after);
    RepaintGridSelection(grid, kind, record.record, &before, &after);
    NotifyParent(grid, kGridSelectionEnds);
    return 0;
}

LRESULT OnGridDoubleClick(HWND grid, MontageKind kind, LPARAM point) {
    SetFocus(grid);
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    const GridHit hit = HitAt(grid, kind, record.record, point);
    if (!GridCellEditable(record.record, kind, hit)) return 0;
    GridView view;
    LoadGridView(record.record, kind, &view);
    if (view.column != hit.column || view.selEnd != hit.row) {
        GridView before = view;
        view.column = hit.column;
        view.selStart = view.selEnd = hit.row;
        StoreGridView(record.record, kind, &view);
        RepaintGridSelection(grid, kind, record.record, &before, &view);
    }
    OpenGridEditor(grid, kind, record.record);
    return 0;
}

LRESULT OnGridRightButtonUp(HWND grid, MontageKind kind) {
    GridMenu menu;
    GridMenuOutcome outcome = kNoMenu;
    {
        RecordLock record(GridRecordHandle(grid));
        if (!record) return 0;
        GridView view;
        LoadGridView(record.record, kind, &view);
        outcome = GridMenuForSelection(record.record, kind, GridElectrodeNames(), &view, &menu);
    }
    if (outcome == kMenuRefused && kind == kEegMontage) MessageBeep(0);
    if (outcome == kShowMenu) ShowMenu(grid, menu);
    return 0;
}

LRESULT OnGridCommand(HWND grid, MontageKind kind, WPARAM wParam) {
    if (LOWORD(wParam) == kGridEditId) {
        OnEditorNotice(grid, kind, HIWORD(wParam));
        return 0;
    }
    RecordLock record(GridRecordHandle(grid));
    if (!record) return 0;
    GridView view;
    LoadGridView(record.record, kind, &view);
    if (ApplyGridCommand(record.record, kind, &view, LOWORD(wParam)))
        InvalidateRect(grid, nullptr, FALSE);
    return 0;
}

BOOL RegisterMontageGridClasses(HINSTANCE instance, const ElectrodeNameTable* electrodeNames) {
    SetGridElectrodeNames(electrodeNames);
    return RegisterEegGridClass(instance) != 0 && RegisterPsgGridClass(instance) != 0;
}

LRESULT DispatchGridMessage(HWND grid, MontageKind kind, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return 0;
        case WM_ENABLE: return OnGridEnable(grid);
        case WM_SETFONT: return OnGridSetFont(grid, wParam);
        case WM_SIZE: return OnGridSize(grid, kind);
        case WM_PAINT: PaintGrid(grid, kind); return 0;
        case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
        case WM_VSCROLL: return OnGridScroll(grid, kind, wParam);
        case WM_LBUTTONDOWN: return OnGridButtonDown(grid, kind, lParam);
        case WM_MOUSEMOVE: return OnGridMouseMove(grid, kind, lParam);
        case WM_LBUTTONUP: return OnGridButtonUp(grid, kind);
        case WM_LBUTTONDBLCLK: return OnGridDoubleClick(grid, kind, lParam);
        case WM_RBUTTONUP: return OnGridRightButtonUp(grid, kind);
        case WM_COMMAND: return OnGridCommand(grid, kind, wParam);
        case WM_GRID_SETDATA: return OnGridSetData(grid, kind, wParam);
        default: return DefWindowProcA(grid, message, wParam, lParam);
    }
}
