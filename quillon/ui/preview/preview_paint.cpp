// Drawing one picture of the preview: labelled traces each scaled to its own
// range with a scale bar, the non-data lines in red, the time axis.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "gdi_scope.h"
#include "preview/preview_scale.h"
#include "preview_window.h"
#include "ui_text.h"

namespace {

// Sizes at 96 dots per inch, scaled by the window's.
constexpr int kBaseDpi = 96;
constexpr int kLabelWidth = 128;
constexpr int kTopMargin = 6;
constexpr int kAxisHeight = 30;
constexpr int kRightMargin = 24;  // room for the last tick's label
constexpr int kTickLength = 5;
constexpr int kBarInset = 8;  // the scale bar sits this far left of the plot
constexpr int kFontPoints = 9;
constexpr int kPointsPerInch = 72;
constexpr int kSmallestText = 7;  // pixels
constexpr int kLargestText = 64;
constexpr int kTextSize = 64;
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kTraceColour = RGB(0, 51, 102);
constexpr COLORREF kMarkColour = RGB(220, 0, 0);
constexpr COLORREF kAxisColour = RGB(68, 68, 68);
constexpr COLORREF kGapColour = RGB(232, 232, 232);

int Scaled(int size, int dpi) { return MulDiv(size, dpi, kBaseDpi); }

void PutText(HDC dc, int x, int y, const std::wstring& text) {
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

struct Band {
    int top;
    int height;
};

// The trace's extremes over the picture, low > high when it holds no data.
void TraceRange(const PreviewModel& m, int t, int* low, int* high) {
    *low = INT16_MAX;
    *high = INT16_MIN;
    for (int c = 0; c < m.columns; ++c) {
        const size_t at = size_t(t) * size_t(m.columns) + size_t(c);
        if (m.minimum[at] > m.maximum[at]) continue;
        if (m.minimum[at] < *low) *low = m.minimum[at];
        if (m.maximum[at] > *high) *high = m.maximum[at];
    }
}

// The bar is in the trace's unit: the stored values scaled by what one stands for.
void DrawScaleBar(HDC dc, const RECT& plot, const Band& band, int low, int high,
                  const PreviewTrace& trace, int dpi) {
    const double per = trace.unitsPerValue > 0.0 ? trace.unitsPerValue : 1.0;
    const double bar = PreviewScaleBar(low * per, high * per);
    if (!(bar > 0.0)) return;
    const int pixels = static_cast<int>(bar / per * (band.height - 2) / (high - low));
    const int x = plot.left - Scaled(kBarInset, dpi);
    const int middle = band.top + band.height / 2;
    DrawLine(dc, x, middle - pixels / 2, x, middle + pixels / 2 + 1);
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%g %s", bar, trace.unit);
    const std::wstring wide = WideFromCp932(text);
    SIZE size = {};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    PutText(dc, x - Scaled(4, dpi) - size.cx, middle, wide);
}

// One path through each column's extremes, as the SVG picture draws it.
void DrawTrace(HDC dc, const PreviewModel& m, int t, const RECT& plot, const Band& band, int low,
               int high) {
    static std::vector<POINT> points;
    points.clear();
    const double scale = high > low ? double(band.height - 2) / (high - low) : 0.0;
    auto y = [&](int v) {
        return high > low ? band.top + 1 + static_cast<int>((high - v) * scale)
                          : band.top + band.height / 2;
    };
    for (int c = 0; c < m.columns; ++c) {
        const size_t at = size_t(t) * size_t(m.columns) + size_t(c);
        if (m.minimum[at] > m.maximum[at]) continue;
        points.push_back(POINT{plot.left + c, y(m.maximum[at])});
        points.push_back(POINT{plot.left + c, y(m.minimum[at])});
    }
    if (points.size() > 1) Polyline(dc, points.data(), static_cast<int>(points.size()));
}

// A font of pixels height, made once for the program's life: heights are
// few (text shrinks to its band, grows with the DPI) and bounded here.
HFONT FontOfHeight(int pixels) {
    static HFONT fonts[kLargestText + 1] = {};
    const int at = pixels < kSmallestText  ? kSmallestText
                   : pixels > kLargestText ? kLargestText
                                           : pixels;
    if (fonts[at] == nullptr)
        fonts[at] = CreateFontW(-at, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH, L"MS UI Gothic");
    return fonts[at];
}

int TextPixels(int dpi) { return MulDiv(kFontPoints, dpi, kPointsPerInch); }

// Labels shrink with their bands, so many traces never overlap their labels.
void DrawTraces(HDC dc, const PreviewModel& m, const RECT& plot, int dpi) {
    const int height = (plot.bottom - plot.top) / (m.traceCount > 0 ? m.traceCount : 1);
    SelectScope useFont(dc, FontOfHeight(height < TextPixels(dpi) ? height : TextPixels(dpi)));
    GdiObjectScope pen(CreatePen(PS_SOLID, 1, kTraceColour));
    for (int t = 0; t < m.traceCount; ++t) {
        const Band band{plot.top + t * height, height};
        int low = 0, high = 0;
        TraceRange(m, t, &low, &high);
        SetTextColor(dc, kTraceColour);
        PutText(dc, Scaled(4, dpi), band.top + Scaled(1, dpi), WideFromCp932(m.traces[t].label));
        if (low > high) continue;
        SelectScope use(dc, pen.object);
        DrawScaleBar(dc, plot, band, low, high, m.traces[t], dpi);
        DrawTrace(dc, m, t, plot, band, low, high);
    }
}

void DrawMarks(HDC dc, const PreviewModel& m, const RECT& plot) {
    GdiObjectScope pen(CreatePen(PS_SOLID, 1, kMarkColour));
    SelectScope use(dc, pen.object);
    for (int k = 0; k < m.markCount; ++k) {
        const int x = plot.left + PreviewColumnOfLine(&m, m.marks[k]);
        DrawLine(dc, x, plot.top, x, plot.bottom);
    }
}

void DrawAxis(HDC dc, const PreviewModel& m, const RECT& plot, const wchar_t* note, int dpi) {
    GdiObjectScope pen(CreatePen(PS_SOLID, 1, kAxisColour));
    SelectScope use(dc, pen.object);
    SetTextColor(dc, kAxisColour);
    DrawLine(dc, plot.left, plot.bottom, plot.right, plot.bottom);
    const double step = PreviewTickStep(m.seconds);
    const double perSecond = m.columns / m.seconds;
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    for (double t = PreviewFirstTick(m.fromSecond, step); t <= m.fromSecond + m.seconds + 1e-9;
         t += step) {
        const int x = plot.left + static_cast<int>((t - m.fromSecond) * perSecond);
        DrawLine(dc, x, plot.bottom, x, plot.bottom + Scaled(kTickLength, dpi));
        wchar_t text[kTextSize];
        swprintf(text, kTextSize, L"%g s", t);
        PutText(dc, x, plot.bottom + Scaled(kTickLength + 1, dpi), text);
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    if (note != nullptr)
        PutText(dc, Scaled(4, dpi), plot.bottom + Scaled(kTickLength + 1, dpi), note);
}

}  // namespace

RECT PreviewPlotRect(const RECT& client, int dpi) {
    RECT plot = {client.left + Scaled(kLabelWidth, dpi), client.top + Scaled(kTopMargin, dpi),
                 client.right - Scaled(kRightMargin, dpi),
                 client.bottom - Scaled(kAxisHeight, dpi)};
    if (plot.right < plot.left + 1) plot.right = plot.left + 1;
    if (plot.bottom < plot.top + 1) plot.bottom = plot.top + 1;
    return plot;
}

void PaintPreview(HDC dc, const RECT& client, const PreviewPicture& picture) {
    GdiObjectScope background(CreateSolidBrush(kBackground));
    FillRect(dc, &client, static_cast<HBRUSH>(background.object));
    const int dpi = picture.dpi;
    SelectScope useFont(dc, FontOfHeight(TextPixels(dpi)));
    SetBkMode(dc, TRANSPARENT);
    const PreviewModel* m = picture.model;
    if (m == nullptr || m->columns < 1 || !(m->seconds > 0.0)) {
        SetTextColor(dc, kAxisColour);
        PutText(dc, Scaled(12, dpi), Scaled(12, dpi),
                picture.message != nullptr ? picture.message : L"");
        return;
    }
    const RECT plot = PreviewPlotRect(client, dpi);
    GdiObjectScope gap(CreateSolidBrush(kGapColour));
    RECT edge = {plot.left - 1, plot.top, plot.left, plot.bottom};
    FillRect(dc, &edge, static_cast<HBRUSH>(gap.object));
    DrawMarks(dc, *m, plot);
    DrawTraces(dc, *m, plot, dpi);
    DrawAxis(dc, *m, plot, picture.note, dpi);
}
