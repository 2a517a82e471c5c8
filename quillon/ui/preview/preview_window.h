// The wave preview: a modeless window beside the main window that draws a
// stretch of the open source as the conversion in use would read it, and
// follows every change of the record that changes that picture.
#ifndef QUILLON_PREVIEW_WINDOW_H
#define QUILLON_PREVIEW_WINDOW_H

#include <windows.h>

#include "preview/preview_model.h"

// Messages a test (or another window) may send the preview to learn what it
// drew: wParam one of PreviewQuery, the answer the value.
#define WM_PREVIEW_QUERY (WM_APP + 40)

enum PreviewQuery {
    kQueryRedraws = 0,       // pictures drawn after a change of the record
    kQueryRedrawMicros = 1,  // from the last change to the end of its paint
    kQueryTraces = 2,        // traces of the picture
    kQueryFromSecond = 3,    // whole seconds
    kQuerySeconds = 4,       // whole seconds shown
    kQueryMarks = 5,         // lines that are not data
    kQueryOpenMicros = 6,    // the last model made, from its start to its end
};

// Opens the preview, or brings it forward; refused with a beep while no
// source is open.
void ShowPreviewWindow(HWND mainWindow);

// A page may have changed the record: the preview, when open, redraws if
// what it shows changed.
void PreviewFollowRecord();

// What the paint of a preview draws.
struct PreviewPicture {
    const PreviewModel* model;  // null: message instead
    const wchar_t* message;
    const wchar_t* note;  // beside the time axis, may be empty
    int dpi;
};

// The plot area of a client rectangle: its width is the model's columns.
RECT PreviewPlotRect(const RECT& client, int dpi);

void PaintPreview(HDC dc, const RECT& client, const PreviewPicture& picture);

#endif
