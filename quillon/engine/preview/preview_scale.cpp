#include "preview/preview_scale.h"

#include <cmath>

namespace {

const double kTickSteps[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 30, 60};
const double kZoomSeconds[] = {1, 2, 5, 10, 20, 30, 60};
const double kBarMantissas[] = {5.0, 2.0, 1.0};
constexpr double kTickSlack = 1e-9;  // a tick on a whole second is not lost to rounding

}  // namespace

extern "C" double PreviewTickStep(double seconds) {
    for (double step : kTickSteps)
        if (seconds / step <= kPreviewTickLimit) return step;
    return seconds / kPreviewTickLimit;
}

extern "C" double PreviewFirstTick(double fromSecond, double step) {
    const double tick = step > 0.0 ? std::ceil(fromSecond / step - kTickSlack) * step : fromSecond;
    return tick + 0.0;  // never -0, which would read "-0 s"
}

extern "C" double PreviewZoomStep(double seconds, int32_t direction) {
    const int count = static_cast<int>(sizeof kZoomSeconds / sizeof kZoomSeconds[0]);
    int at = 0;  // the nearest step at or below seconds
    while (at + 1 < count && kZoomSeconds[at + 1] <= seconds) ++at;
    if (direction > 0) return kZoomSeconds[kZoomSeconds[at] < seconds ? at : at > 0 ? at - 1 : 0];
    if (direction < 0) return kZoomSeconds[at + 1 < count ? at + 1 : at];
    return seconds;
}

extern "C" double PreviewScaleBar(double low, double high) {
    const double half = (high - low) / 2.0;
    if (!(half > 0.0)) return 0.0;
    const double power = std::pow(10.0, std::floor(std::log10(half)));
    for (double mantissa : kBarMantissas)
        if (mantissa * power <= half * (1.0 + kTickSlack)) return mantissa * power;
    return power;
}
