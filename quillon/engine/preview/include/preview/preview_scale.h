// Drawing decisions every picture of the preview shares (the window and the
// SVG file): where the time axis has its ticks and how long a trace's scale
// bar is.
#ifndef QUILLON_PREVIEW_SCALE_H
#define QUILLON_PREVIEW_SCALE_H

#include <stdint.h>

constexpr int32_t kPreviewTickLimit = 12;  // ticks on the time axis at most

extern "C" {

// Seconds between ticks for a stretch of seconds: a round step giving at
// most kPreviewTickLimit ticks.
double PreviewTickStep(double seconds);

// The first tick at or after fromSecond.
double PreviewFirstTick(double fromSecond, double step);

// The stretch one wheel notch away from seconds: direction > 0 shorter
// (zoomed in), < 0 longer, along 1, 2, 5, 10, 20, 30 and 60 seconds.
double PreviewZoomStep(double seconds, int32_t direction);

// The scale bar of a trace ranging low..high: the largest 1, 2 or 5 times a
// power of ten not above half the range; 0 when the range is empty.
double PreviewScaleBar(double low, double high);
}

#endif
