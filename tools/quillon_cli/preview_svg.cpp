#include "preview_svg.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

#include "platform.h"
#include "preview/preview_scale.h"

namespace {

constexpr int kLabelWidth = 160;  // pixels left of the traces
constexpr int kTraceHeight = 64;
constexpr int kTraceGap = 8;
constexpr int kTopMargin = 28;
constexpr int kAxisHeight = 36;
constexpr int kRightMargin = 16;
constexpr size_t kUtf8PerByte = 3;  // a cp932 byte becomes at most this many UTF-8 bytes

// Text with the characters XML reserves escaped and control bytes dropped.
std::string XmlEscaped(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
        }
    }
    return out;
}

// cp932 text (labels, units) as UTF-8.
std::string XmlText(const std::string& cp932) {
    std::string utf8(cp932.size() * kUtf8PerByte + 1, '\0');
    utf8.resize(PlatCp932ToUtf8(cp932.data(), cp932.size(), &utf8[0], utf8.size()));
    return XmlEscaped(utf8);
}

// The title names a path, whose bytes may be in any encoding: ASCII only.
std::string XmlTitle(const std::string& text) {
    std::string ascii = text;
    for (char& c : ascii)
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    return XmlEscaped(ascii);
}

struct Frame {
    int width;
    int height;
    double pixelsPerSecond;
};

void WriteAxis(FILE* out, const Picture& p, const Frame& f) {
    const int y = f.height - kAxisHeight;
    std::fprintf(out, "<g class=\"time-axis\" stroke=\"#444\" font-size=\"11\">\n");
    std::fprintf(out, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/>\n", kLabelWidth, y,
                 kLabelWidth + p.columns, y);
    const double step = PreviewTickStep(p.seconds);
    for (double t = PreviewFirstTick(p.fromSecond, step); t <= p.fromSecond + p.seconds + 1e-9;
         t += step) {
        const double x = kLabelWidth + (t - p.fromSecond) * f.pixelsPerSecond;
        std::fprintf(out, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\"/>\n", x, y, x, y + 5);
        std::fprintf(
            out, "<text x=\"%.1f\" y=\"%d\" text-anchor=\"middle\" stroke=\"none\">%g s</text>\n",
            x, y + 18, t);
    }
    std::fprintf(out, "</g>\n");
}

// The trace's columns as one path through each column's extremes.
void WriteTrace(FILE* out, const PictureTrace& trace, int index) {
    double low = std::numeric_limits<double>::max(), high = -low;
    for (size_t c = 0; c < trace.low.size(); ++c)
        if (trace.low[c] <= trace.high[c]) {
            low = std::fmin(low, trace.low[c]);
            high = std::fmax(high, trace.high[c]);
        }
    const int top = kTopMargin + index * (kTraceHeight + kTraceGap);
    const std::string label = XmlText(trace.label), unit = XmlText(trace.unit);
    std::fprintf(out, "<g class=\"trace\" data-label=\"%s\">\n", label.c_str());
    std::fprintf(out, "<text class=\"label\" x=\"4\" y=\"%d\" font-size=\"13\">%s</text>\n",
                 top + kTraceHeight / 2, label.c_str());
    if (low > high) {
        std::fprintf(
            out, "<text class=\"range\" x=\"4\" y=\"%d\" font-size=\"10\">no data</text>\n</g>\n",
            top + kTraceHeight / 2 + 14);
        return;
    }
    std::fprintf(out,
                 "<text class=\"range\" x=\"4\" y=\"%d\" font-size=\"10\">%g .. %g %s</text>\n",
                 top + kTraceHeight / 2 + 14, low, high, unit.c_str());
    const double scale = high > low ? kTraceHeight / (high - low) : 0.0;
    auto y = [&](double v) {
        return high > low ? top + (high - v) * scale : top + kTraceHeight / 2.0;
    };
    std::fprintf(out, "<path fill=\"none\" stroke=\"#036\" stroke-width=\"1\" d=\"");
    bool first = true;
    for (size_t c = 0; c < trace.low.size(); ++c) {
        if (trace.low[c] > trace.high[c]) continue;
        const int x = kLabelWidth + static_cast<int>(c);
        std::fprintf(out, "%s%d %.1f L%d %.1f", first ? "M" : " L", x, y(trace.high[c]), x,
                     y(trace.low[c]));
        first = false;
    }
    std::fprintf(out, "\"/>\n</g>\n");
}

void WriteMarks(FILE* out, const Picture& p, const Frame& f) {
    std::fprintf(out, "<g class=\"non-data\" stroke=\"red\">\n");
    for (double t : p.marks) {
        const double x = kLabelWidth + (t - p.fromSecond) * f.pixelsPerSecond;
        std::fprintf(out, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\"/>\n", x, kTopMargin, x,
                     f.height - kAxisHeight);
    }
    std::fprintf(out, "</g>\n");
}

}  // namespace

PictureTrace EmptyTrace(const Picture& picture, const std::string& label, const std::string& unit) {
    PictureTrace trace{label, unit, {}, {}};
    trace.low.assign(size_t(picture.columns), std::numeric_limits<double>::max());
    trace.high.assign(size_t(picture.columns), -std::numeric_limits<double>::max());
    return trace;
}

void AddSample(PictureTrace* trace, int column, double value) {
    if (column < 0 || size_t(column) >= trace->low.size()) return;
    trace->low[column] = std::fmin(trace->low[column], value);
    trace->high[column] = std::fmax(trace->high[column], value);
}

bool WriteSvg(const Picture& p, const char* path, std::string* error) {
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path, "wb"), std::fclose);
    if (!out) {
        *error = std::string("cannot create \"") + path + "\"";
        return false;
    }
    const int traces = static_cast<int>(p.traces.size());
    Frame f{kLabelWidth + p.columns + kRightMargin,
            kTopMargin + traces * (kTraceHeight + kTraceGap) + kAxisHeight,
            p.seconds > 0 ? p.columns / p.seconds : 0.0};
    std::fprintf(out.get(),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                 "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\">\n"
                 "<title>%s</title>\n<rect width=\"100%%\" height=\"100%%\" fill=\"white\"/>\n",
                 f.width, f.height, f.width, f.height, XmlTitle(p.title).c_str());
    std::fprintf(out.get(), "<text x=\"4\" y=\"16\" font-size=\"12\">%s</text>\n",
                 XmlTitle(p.title).c_str());
    WriteMarks(out.get(), p, f);
    for (int t = 0; t < traces; ++t) WriteTrace(out.get(), p.traces[size_t(t)], t);
    WriteAxis(out.get(), p, f);
    std::fprintf(out.get(), "</svg>\n");
    if (std::ferror(out.get()) != 0 || std::fflush(out.get()) != 0) {
        *error = std::string("cannot write \"") + path + "\"";
        return false;
    }
    return true;
}
