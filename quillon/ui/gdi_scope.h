// Scope guards for GDI: a device context is released and every selection is
// undone by the handler that made it, also on early returns.
#ifndef QUILLON_GDI_SCOPE_H
#define QUILLON_GDI_SCOPE_H

#include <windows.h>

struct PaintScope {
    HWND window;
    PAINTSTRUCT paint;
    HDC dc;

    explicit PaintScope(HWND w) : window(w), paint{}, dc(BeginPaint(w, &paint)) {}
    ~PaintScope() { EndPaint(window, &paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
};

struct WindowDcScope {
    HWND window;
    HDC dc;

    explicit WindowDcScope(HWND w) : window(w), dc(GetDC(w)) {}
    ~WindowDcScope() {
        if (dc != nullptr) ReleaseDC(window, dc);
    }
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;
};

// Selects an object into a DC and puts the previous one back.
struct SelectScope {
    HDC dc;
    HGDIOBJ previous;

    SelectScope(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~SelectScope() {
        if (previous != nullptr && previous != HGDI_ERROR) SelectObject(dc, previous);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
};

// Owns a pen, brush or font made for one paint.
struct GdiObjectScope {
    HGDIOBJ object;

    explicit GdiObjectScope(HGDIOBJ o) : object(o) {}
    ~GdiObjectScope() {
        if (object != nullptr) DeleteObject(object);
    }
    GdiObjectScope(const GdiObjectScope&) = delete;
    GdiObjectScope& operator=(const GdiObjectScope&) = delete;
};

#endif
