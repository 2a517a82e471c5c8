// quillon-cli preview: the wave preview of the desktop program as an SVG
// file, of a source read as its conversion would read it, or of a written
// recording, so the two can be put side by side.
#include "preview.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert.h"
#include "convert_options.h"
#include "convert_report.h"
#include "preview/preview_model.h"
#include "preview_recording.h"
#include "preview_svg.h"

namespace {

constexpr int kPictureColumns = 1000;

struct PreviewArguments {
    double fromSecond = 0.0;
    double seconds = kPreviewDefaultSeconds;
    std::vector<char*> rest;  // for convert's option parser
};

void PrintPreviewUsage(FILE* out) {
    std::fputs(
        "usage: quillon-cli preview SOURCE [layout options] [--from S] [--seconds N] -o FILE.svg\n"
        "       quillon-cli preview RECORDING [--from S] [--seconds N] -o FILE.svg\n"
        "\n"
        "Draws N seconds (default 10, at most 60) from second S (default 0) as an SVG\n"
        "picture: one labelled trace per channel switched on, each scaled to its own\n"
        "range, a time axis in seconds, the lines that are not data in red.\n"
        "A SOURCE text is read as its conversion would read it, with the settings,\n"
        "preset, pattern, output type and layout options of quillon-cli convert\n"
        "(--help there); a start past second 0 is found from the source's mean line\n"
        "length, so its time is an estimate. A RECORDING is an EEG wave data file or\n"
        "an EDF+ file.\n"
        "Exit status: 0 written; 1 failed; 2 usage error.\n",
        out);
}

bool TakeNumber(const char* option, const char* text, double low, double high, double* value,
                std::string* error) {
    char* end = nullptr;
    const double v = text != nullptr ? std::strtod(text, &end) : 0.0;
    if (text == nullptr || end == text || *end != '\0' || !(v >= low && v <= high)) {
        *error = std::string(option) + " takes a number of seconds from " +
                 std::to_string(int(low)) + " to " + std::to_string(int64_t(high));
        return false;
    }
    *value = v;
    return true;
}

bool SplitArguments(int argc, char** argv, PreviewArguments* a, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        const bool from = std::strcmp(argv[i], "--from") == 0;
        if (!from && std::strcmp(argv[i], "--seconds") != 0) {
            a->rest.push_back(argv[i]);
            continue;
        }
        const char* text = i + 1 < argc ? argv[++i] : nullptr;
        if (from ? !TakeNumber("--from", text, 0, 1e9, &a->fromSecond, error)
                 : !TakeNumber("--seconds", text, 0, kPreviewSecondsLimit, &a->seconds, error))
            return false;
        if (!from && a->seconds <= 0.0) a->seconds = kPreviewDefaultSeconds;
    }
    return true;
}

const char* ModelProblem(int32_t outcome) {
    switch (outcome) {
        case kPreviewBadLayout: return "the channel count or the sampling rate is out of range";
        case kPreviewNoTrace: return "no channel of the pattern is switched on";
        case kPreviewOutOfMemory: return "out of memory";
        case kPreviewReadFailed: return "reading the source failed";
        default: return "no source is open";
    }
}

void PictureOfModel(const PreviewModel& m, Picture* p) {
    p->fromSecond = m.fromSecond;
    p->seconds = m.seconds;
    p->columns = m.columns;
    for (int32_t t = 0; t < m.traceCount; ++t) {
        PictureTrace trace = EmptyTrace(*p, m.traces[t].label, m.traces[t].unit);
        for (int32_t c = 0; c < m.columns; ++c) {
            const size_t at = size_t(t) * size_t(m.columns) + size_t(c);
            if (m.minimum[at] > m.maximum[at]) continue;
            AddSample(&trace, c, m.minimum[at]);
            AddSample(&trace, c, m.maximum[at]);
        }
        p->traces.push_back(trace);
    }
    for (int32_t k = 0; k < m.markCount; ++k)
        p->marks.push_back(m.fromSecond + double(m.marks[k]) / m.sampleRate);
}

int DrawSource(const ConvertOptions& o, const PreviewArguments& a, Picture* p) {
    SettingsPaths paths;
    std::vector<std::string> notes;
    ConvertRecord record;
    const int prepared = PrepareConvertSource(o, kLayoutJudged, &paths, &notes, &record);
    if (prepared != kExitConverted) return prepared;
    for (const std::string& note : notes) Warn(note);
    PreviewModel model;
    const int32_t outcome =
        MakePreviewModel(record.get(), a.fromSecond, a.seconds, kPictureColumns, &model);
    if (outcome != kPreviewMade)
        return Fail(kExitFailed,
                    "cannot preview " + Quoted(o.source) + ": " + ModelProblem(outcome));
    PictureOfModel(model, p);
    if (model.estimated != 0) p->title += " (start estimated from the mean line length)";
    FreePreviewModel(&model);
    return kExitConverted;
}

}  // namespace

int RunPreview(int argc, char** argv) {
    PreviewArguments a;
    ConvertOptions o;
    std::string error;
    if (!SplitArguments(argc, argv, &a, &error) ||
        !ParseSourceOptions(int(a.rest.size()), a.rest.data(), "preview", &o, &error))
        return Fail(kExitUsage, error + " (quillon-cli preview --help)");
    if (o.help) {
        PrintPreviewUsage(stdout);
        return kExitConverted;
    }
    if (o.outputFile == nullptr || o.volumeRoot != nullptr)
        return Fail(kExitUsage,
                    "preview writes one picture: -o FILE.svg (quillon-cli preview --help)");
    Picture picture;
    picture.title =
        std::string(o.source) + ", from second " + std::to_string(int64_t(a.fromSecond));
    const RecordingKind kind = RecordingKindOf(o.source);
    if (kind != kRecordingNone) {
        picture.fromSecond = a.fromSecond;
        picture.seconds = a.seconds;
        picture.columns = kPictureColumns;
        if (!DrawRecording(kind, o.source, &picture, &error)) return Fail(kExitFailed, error);
    } else {
        const int drawn = DrawSource(o, a, &picture);
        if (drawn != kExitConverted) return drawn;
    }
    if (!WriteSvg(picture, o.outputFile, &error)) return Fail(kExitFailed, error);
    std::printf("%s: %d traces, %g s from second %g\n", o.outputFile,
                static_cast<int>(picture.traces.size()), picture.seconds, picture.fromSecond);
    return kExitConverted;
}
