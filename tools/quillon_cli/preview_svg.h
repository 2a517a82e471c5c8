// The picture quillon-cli preview draws, and its SVG form.
#ifndef QUILLON_CLI_PREVIEW_SVG_H
#define QUILLON_CLI_PREVIEW_SVG_H

#include <string>
#include <vector>

struct PictureTrace {
    std::string label;  // code page 932, as the pattern or the file holds it
    std::string unit;
    // Per pixel column; a column with low > high holds no sample.
    std::vector<double> low;
    std::vector<double> high;
};

struct Picture {
    std::string title;
    double fromSecond = 0.0;
    double seconds = 0.0;
    int columns = 0;
    std::vector<PictureTrace> traces;
    std::vector<double> marks;  // seconds of lines that are not data
};

// An empty trace of picture's columns.
PictureTrace EmptyTrace(const Picture& picture, const std::string& label, const std::string& unit);

// Widens column's extremes of trace to value.
void AddSample(PictureTrace* trace, int column, double value);

// Writes the picture: one labelled trace per row, each scaled to its own
// range, a time axis in seconds, the marks as red lines. false with the
// reason in error when the file cannot be written.
bool WriteSvg(const Picture& picture, const char* path, std::string* error);

#endif
