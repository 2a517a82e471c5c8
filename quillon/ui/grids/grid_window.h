// Shared by the two grid window procedures: window data, and the handlers
// that differ between the grids only by the model's kind.
#ifndef QUILLON_GRID_WINDOW_H
#define QUILLON_GRID_WINDOW_H

#include <windows.h>

#include "store/app_record.h"
#include "montage/grid_model.h"

// Window data: the record's handle, the font, then a word that is 1 while
// the in-place editor is open on a cell.
constexpr int kGridRecordSlot = 0;
constexpr int kGridFontSlot = sizeof(LONG_PTR);
constexpr int kGridEditingSlot = 2 * sizeof(LONG_PTR);
constexpr int kGridExtraBytes = 2 * sizeof(LONG_PTR) + sizeof(WORD);
constexpr UINT kGridClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_PARENTDC;

HGLOBAL GridRecordHandle(HWND grid);
HFONT GridFont(HWND grid);
GridArea GridWorkingArea(HWND grid);
ATOM RegisterGridClass(HINSTANCE instance, const char* name, WNDPROC procedure);
ATOM RegisterEegGridClass(HINSTANCE instance);
ATOM RegisterPsgGridClass(HINSTANCE instance);

LRESULT OnGridSetData(HWND grid, MontageKind kind, WPARAM recordHandle);
LRESULT OnGridSetFont(HWND grid, WPARAM font);
LRESULT OnGridSize(HWND grid, MontageKind kind);
LRESULT OnGridScroll(HWND grid, MontageKind kind, WPARAM wParam);
LRESULT OnGridButtonDown(HWND grid, MontageKind kind, LPARAM point);
LRESULT OnGridMouseMove(HWND grid, MontageKind kind, LPARAM point);
LRESULT OnGridButtonUp(HWND grid, MontageKind kind);
LRESULT OnGridDoubleClick(HWND grid, MontageKind kind, LPARAM point);
LRESULT OnGridRightButtonUp(HWND grid, MontageKind kind);
LRESULT OnGridCommand(HWND grid, MontageKind kind, WPARAM wParam);
LRESULT OnGridEnable(HWND grid);

// The window procedure both grids share, with the kind of model it shows.
LRESULT DispatchGridMessage(HWND grid, MontageKind kind, UINT message, WPARAM wParam,
                            LPARAM lParam);

// The EEG grid's electrode names (null until registered).
const ElectrodeNameTable* GridElectrodeNames();
void SetGridElectrodeNames(const ElectrodeNameTable* names);

// Painting (grid_paint.cpp).
void PaintGrid(HWND grid, MontageKind kind);
// Repaints the cells of an old selection plain and of a new one highlighted.
void RepaintGridSelection(HWND grid, MontageKind kind, AppRecord* record, const GridView* before,
                          const GridView* after);

// The in-place editor (grid_editor.cpp).
HWND AttachGridEditor(HWND grid, MontageKind kind, AppRecord* record);
void OpenGridEditor(HWND grid, MontageKind kind, AppRecord* record);
// Hides the editor; with store, the text goes into the cell it covered.
void CloseGridEditor(HWND grid, MontageKind kind, AppRecord* record, bool store);

#endif
