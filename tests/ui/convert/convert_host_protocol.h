// What the convert host and its driver agree on: the host window, the page
// ids and the messages the driver sends the host.
#ifndef QUILLON_CONVERT_HOST_PROTOCOL_H
#define QUILLON_CONVERT_HOST_PROTOCOL_H

#include <windows.h>

#define kConvertHostClass "QUILLONCONVERTHOST"
constexpr int kConvertHostPageId = 2101;
constexpr int kConvertHostWidth = 600;
constexpr int kConvertHostHeight = 440;
// Posted with a token in wParam; kConvertHostSynced (sent) returns the last one.
constexpr UINT kConvertHostSync = WM_APP + 5;
constexpr UINT kConvertHostSynced = WM_APP + 6;
// Sent: 1 while a run owns an output, else 0.
constexpr UINT kConvertHostRunning = WM_APP + 7;
// Sent: the page's next wParam timer ticks run, later ones wait (-1: all
// run, the default), so the driver sees a run in progress at its pace.
// Returns the ticks still allowed.
constexpr UINT kConvertHostAllowTicks = WM_APP + 8;
constexpr UINT kConvertHostTicksLeft = WM_APP + 9;

#endif
