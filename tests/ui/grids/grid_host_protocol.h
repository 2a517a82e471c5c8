// What the grid host and its driver agree on: the host window, the grid
// ids and sizes, and the messages the driver sends the host.
#ifndef QUILLON_GRID_HOST_PROTOCOL_H
#define QUILLON_GRID_HOST_PROTOCOL_H

#include <windows.h>

#define kGridHostClass "QUILLONGRIDHOST"
constexpr int kGridHostEegPageId = 2001;
constexpr int kGridHostPsgPageId = 2002;
constexpr int kGridHostStatusId = 2003;  // the status text the pages show
constexpr int kGridHostPageWidth = 980;
constexpr int kGridHostEegHeight = 300;  // too short for 12 traces: the EEG grid scrolls
constexpr int kGridHostPsgHeight = 400;
// wParam 0 EEG, 1 PSG; lParam 0..2 for codes 10..12: notifications counted.
constexpr UINT kGridHostNotices = WM_APP + 2;
// wParam row: the host's title becomes "label:" and that EEG row's label.
constexpr UINT kGridHostEegLabel = WM_APP + 3;
// wParam 0 EEG, 1 PSG; lParam MAKELPARAM(column, row): the cell's centre in
// grid client coordinates as MAKELRESULT(x, y), 0 when it is off screen.
constexpr UINT kGridHostCellCentre = WM_APP + 4;
// Posted with a token in wParam; kGridHostSynced (sent) returns the last one.
constexpr UINT kGridHostSync = WM_APP + 5;
constexpr UINT kGridHostSynced = WM_APP + 6;

#endif
