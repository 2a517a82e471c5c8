// quillon-cli export: wave data files to EDF+ files, several at a time, with
// a table of what became of each and an exit status for all of them.
#include "export.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/wave_export.h"
#include "export_jobs.h"
#include "platform.h"

namespace {

constexpr int kExitAllDone = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;
constexpr unsigned kMaxJobs = 256;
constexpr size_t kPathSize = 4096;

struct ExportOptions {
    std::vector<const char*> files;
    const char* output = nullptr;
    unsigned jobs = 0;  // 0: one per processor
    bool skipExisting = false;
    bool help = false;
};

struct JobResult {
    std::string output;
    std::string outcome;
    uint32_t frames = 0;
    bool ok = false;
};

const char* LayoutReason(int32_t detail) {
    switch (detail) {
        case kLayoutNoChannels: return "EDF+ cannot hold it: the wave has no channels";
        case kLayoutTooManyChannels: return "EDF+ cannot hold it: more than 256 channels";
        case kLayoutNoInterval: return "EDF+ cannot hold it: the wave has no sampling interval";
        case kLayoutRateNotWhole:
            return "EDF+ cannot hold it: the sampling interval gives no whole number of "
                   "samples a second";
        default: return "EDF+ cannot hold it: the EDF+ writer refused its layout";
    }
}

std::string Reason(const ExportSummary& s) {
    char text[160];
    switch (s.outcome) {
        case kExportCannotOpen:
            return s.detail == PLAT_ERR_FILENOTFOUND ? "no such file" : "cannot open the file";
        case kExportNotWaveFile: return "not a wave data file";
        case kExportNoFlowWave:
            if (s.detail == 0) return "holds no flow wave";
            std::snprintf(text, sizeof text, "holds no flow wave, only a wave description (0x%04X)",
                          static_cast<unsigned>(s.detail));
            return text;
        case kExportDamaged:
            return s.detail == kDamageFramesBeyondFile
                       ? "damaged: the wave declares more frames than the file holds"
                       : "damaged: no group of the file can be read";
        case kExportLayout: return LayoutReason(s.detail);
        case kExportOutputExists: return "the output exists (never overwritten)";
        case kExportCannotCreate: return "the output cannot be created";
        case kExportReadFailed:
            std::snprintf(text, sizeof text, "damaged: frame %d cannot be read",
                          static_cast<int>(s.detail));
            return text;
        case kExportWriteFailed: return "writing the output failed";
        default: return "out of memory";
    }
}

std::string Done(const ExportSummary& s) {
    std::string text = "exported";
    if (s.unscaledChannels > 0)
        text += ", " + std::to_string(s.unscaledChannels) + " channels in digital units";
    if (s.eventsLeftOut > 0)
        text += ", " + std::to_string(s.eventsLeftOut) + " events left out for want of room";
    return text;
}

JobResult ExportOne(const ExportOptions& o, const char* file) {
    JobResult result;
    char path[kPathSize];
    if (o.output != nullptr)
        result.output = o.output;
    else if (MakeEdfPath(file, path, sizeof path))
        result.output = path;
    else
        return result.outcome = "the path is too long", result;
    if (o.skipExisting) {
        const int32_t state = ExportedEdfState(result.output.c_str());
        if (state == kEdfComplete)
            return result.ok = true, result.outcome = "kept (complete)", result;
        if (state == kEdfForeign)
            return result.outcome = "the output exists and is no EDF file (never overwritten)",
                   result;
        if (state == kEdfPartial && !PlatDeleteFile(result.output.c_str()))
            return result.outcome = "a partial output cannot be removed", result;
    }
    ExportSummary summary;
    ExportWaveFile(file, result.output.c_str(), &summary);
    result.ok = summary.outcome == kExportDone;
    result.frames = summary.frames;
    result.outcome = result.ok ? Done(summary) : Reason(summary);
    return result;
}

// Column widths from the longest entry.
void PrintTable(const ExportOptions& o, const std::vector<JobResult>& results) {
    size_t fileWidth = 4, outputWidth = 6;
    for (size_t i = 0; i < results.size(); ++i) {
        fileWidth = std::max(fileWidth, std::strlen(o.files[i]));
        outputWidth = std::max(outputWidth, results[i].output.size());
    }
    const int fw = static_cast<int>(fileWidth), ow = static_cast<int>(outputWidth);
    std::printf("%-*s  %-*s  %10s  %s\n", fw, "file", ow, "output", "frames", "outcome");
    for (size_t i = 0; i < results.size(); ++i)
        std::printf("%-*s  %-*s  %10u  %s\n", fw, o.files[i], ow, results[i].output.c_str(),
                    static_cast<unsigned>(results[i].frames), results[i].outcome.c_str());
}

bool TakeJobs(const char* text, unsigned* jobs) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > static_cast<long>(kMaxJobs))
        return false;
    *jobs = static_cast<unsigned>(value);
    return true;
}

// An empty text, or what is wrong with the command line.
std::string ParseOptions(int argc, char** argv, ExportOptions* o) {
    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        const bool last = i + 1 >= argc;
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            o->help = true;
        } else if (std::strcmp(a, "--skip-existing") == 0) {
            o->skipExisting = true;
        } else if (std::strcmp(a, "-o") == 0) {
            if (last) return "-o needs a file name";
            o->output = argv[++i];
        } else if (std::strcmp(a, "--jobs") == 0) {
            if (last || !TakeJobs(argv[++i], &o->jobs)) return "--jobs needs a number of 1 to 256";
        } else if (a[0] == '-' && a[1] != '\0') {
            return std::string("unknown option \"") + a + "\"";
        } else {
            o->files.push_back(a);
        }
    }
    if (o->help) return "";
    if (o->files.empty()) return "export needs a wave data file";
    if (o->output != nullptr && o->files.size() > 1) return "-o goes with one file only";
    return "";
}

void PrintExportUsage(FILE* out) {
    std::fprintf(out,
                 "usage: quillon-cli export FILE... [-o OUT.edf] [--jobs N] [--skip-existing]\n"
                 "\n"
                 "Writes the flow wave of each wave data file as an EDF+ file: by default FILE\n"
                 "with its extension replaced by .edf; an existing output is never overwritten.\n"
                 "At the end a table says what became of each file; the exit status is 0 when\n"
                 "every file was exported (or kept), 1 when any failed, 2 for a usage error.\n"
                 "\n"
                 "  -o OUT.edf        the output of a single FILE\n"
                 "  --jobs N          files exported at a time (default: the processor count)\n"
                 "  --skip-existing   keep outputs a finished run wrote and redo partial ones\n"
                 "                    (record count -1 or not matching the file's size)\n");
}

}  // namespace

int RunExport(int argc, char** argv) {
    ExportOptions o;
    const std::string error = ParseOptions(argc, argv, &o);
    if (!error.empty()) {
        std::fprintf(stderr, "quillon-cli: %s\n", error.c_str());
        PrintExportUsage(stderr);
        return kExitUsage;
    }
    if (o.help) {
        PrintExportUsage(stdout);
        return kExitAllDone;
    }
    std::vector<JobResult> results(o.files.size());
    RunJobs(o.files.size(), o.jobs > 0 ? o.jobs : ProcessorCount(), [&](size_t i) {
        try {
            results[i] = ExportOne(o, o.files[i]);
        } catch (...) {
            results[i].outcome = "out of memory";
        }
    });
    PrintTable(o, results);
    for (const JobResult& r : results)
        if (!r.ok) return kExitSomeFailed;
    return kExitAllDone;
}
