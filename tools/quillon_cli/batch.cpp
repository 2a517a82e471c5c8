#include "batch.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "convert.h"
#include "convert_options.h"
#include "convert_report.h"
#include "eeg/eeg_header.h"
#include "eeg/output_volume.h"
#include "finished_outputs.h"
#include "interrupts.h"
#include "jobs.h"
#include "platform.h"
#include "store/app_record.h"
#include "store/settings_store.h"

namespace {

constexpr int kJobsLimit = 256;

struct BatchRequest {
    std::vector<std::string> sources;
    std::vector<std::string> shared;  // the options every job gets
    std::string outputDir;
    std::string volume;
    std::string newDiskId;
    int jobs = 0;  // 0: the processors
    bool skipExisting = false;
};

// What became of one source, a row of the table.
enum RowOutcome {
    kRowPending,
    kRowConverted,
    kRowKept,
    kRowInPart,
    kRowFailed,
    kRowInterrupted,
    kRowNotStarted,
};

struct Row {
    std::string source;
    std::string output;
    std::string frames = "-";
    std::string counts = "-";
    RowOutcome outcome = kRowPending;
    std::string reason;
    int32_t fileNumber = 0;  // on a volume
};

bool IsBatchOption(const char* arg) {
    return std::strcmp(arg, "--output-dir") == 0 || std::strcmp(arg, "--jobs") == 0 ||
           std::strcmp(arg, "--skip-existing") == 0;
}

bool IsSource(const char* arg) {
    return ConvertArgumentKind(arg) == kArgNotOption && !IsBatchOption(arg) &&
           (arg[0] != '-' || arg[1] == '\0');
}

bool TakeValue(int argc, char** argv, int* i, std::string* value, std::string* error) {
    if (*i + 1 >= argc) {
        *error = std::string(argv[*i]) + " needs a value";
        return false;
    }
    *value = argv[++*i];
    return true;
}

bool TakeJobs(const std::string& text, int* jobs, std::string* error) {
    const char* end = text.c_str() + text.size();
    const auto result = std::from_chars(text.c_str(), end, *jobs);
    if (result.ec == std::errc() && result.ptr == end && *jobs >= 1 && *jobs <= kJobsLimit)
        return true;
    *error = "--jobs takes a whole number from 1 to " + std::to_string(kJobsLimit) + ", not \"" +
             text + "\"";
    return false;
}

// The batch's own options apart; the others are passed to every job.
bool TakeBatchArgument(int argc, char** argv, int* i, BatchRequest* r, std::string* error) {
    const std::string arg = argv[*i];
    std::string value;
    if (arg == "--skip-existing") {
        r->skipExisting = true;
        return true;
    }
    if (arg == "-o" || arg == "--file-number") {
        *error = arg + " names one output; a batch names its outputs itself";
        return false;
    }
    if (arg == "--output-dir") return TakeValue(argc, argv, i, &r->outputDir, error);
    if (arg == "--volume") return TakeValue(argc, argv, i, &r->volume, error);
    if (arg == "--create-disk-id") return TakeValue(argc, argv, i, &r->newDiskId, error);
    if (arg == "--jobs")
        return TakeValue(argc, argv, i, &value, error) && TakeJobs(value, &r->jobs, error);
    r->shared.push_back(arg);
    if (ConvertArgumentKind(argv[*i]) != kArgTakesValue) return true;
    if (!TakeValue(argc, argv, i, &value, error)) return false;
    r->shared.push_back(value);
    return true;
}

bool SplitArguments(int argc, char** argv, BatchRequest* r, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        if (IsSource(argv[i])) {
            r->sources.push_back(argv[i]);
            continue;
        }
        if (!TakeBatchArgument(argc, argv, &i, r, error)) return false;
    }
    return true;
}

// The options as one job gets them, checked once: a usage error is the
// batch's, before any job runs.
struct CheckedOptions {
    std::vector<std::string> args;
    ConvertOptions options;
};

bool CheckOptions(const BatchRequest& r, CheckedOptions* checked, std::string* error) {
    if (r.outputDir.empty() == r.volume.empty()) {
        *error = r.outputDir.empty() ? "several sources go to --output-dir DIR or --volume DIR"
                                     : "--output-dir or --volume, not both";
        return false;
    }
    if (r.skipExisting && !r.volume.empty()) {
        *error = "--skip-existing goes with --output-dir (a volume's numbers name no source)";
        return false;
    }
    if (r.sources.empty()) {
        *error = "convert needs a source file";
        return false;
    }
    checked->args = r.sources;
    checked->args.resize(1);
    checked->args.insert(checked->args.end(), r.shared.begin(), r.shared.end());
    if (r.volume.empty()) checked->args.insert(checked->args.end(), {"-o", r.outputDir});
    if (!r.volume.empty()) checked->args.insert(checked->args.end(), {"--volume", r.volume});
    if (!r.newDiskId.empty())
        checked->args.insert(checked->args.end(), {"--create-disk-id", r.newDiskId});
    std::vector<char*> argv;
    for (std::string& arg : checked->args) argv.push_back(&arg[0]);
    return ParseConvertOptions(static_cast<int>(argv.size()), argv.data(), &checked->options,
                               error);
}

std::string BaseName(const std::string& path) {
    const std::string::size_type slash = path.find_last_of(std::string("/") + PlatPathSeparator());
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Joined(const std::string& folder, const std::string& name) {
    const char last = folder.empty() ? '\0' : folder.back();
    const bool separated = last == '/' || last == PlatPathSeparator();
    return folder + (separated ? "" : std::string(1, PlatPathSeparator())) + name;
}

}  // namespace

namespace {

void Settle(Row* row, Job* job, RowOutcome outcome, const std::string& reason) {
    row->outcome = outcome;
    row->reason = reason;
    job->state = kJobSettled;
}

std::vector<std::string> JobArgs(const BatchRequest& r, const std::string& source,
                                 std::initializer_list<std::string> output) {
    std::vector<std::string> args{"convert", source};
    args.insert(args.end(), r.shared.begin(), r.shared.end());
    args.insert(args.end(), output);
    return args;
}

bool PrepareFolder(const std::string& folder, std::string* error) {
    if (PlatIsDirectory(folder.c_str())) return true;
    if (!PlatFileExists(folder.c_str()) && PlatCreateDirectory(folder.c_str())) return true;
    *error = "cannot use " + Quoted(folder.c_str()) + " as the output folder";
    return false;
}

// --skip-existing: a finished output is kept, a partial one removed so its
// source is converted again. False when the source needs no run.
bool ReadyForRestart(bool psg, Row* row, Job* job) {
    const char* path = row->output.c_str();
    switch (psg ? EdfOutputState(path) : EegOutputState(path)) {
        case kOutputMissing: return true;
        case kOutputFinished: Settle(row, job, kRowKept, ""); return false;
        case kOutputPartial: break;
    }
    if (RemovePartialOutput(path, !psg)) return true;
    Settle(row, job, kRowFailed, "cannot remove the partial output " + Quoted(path));
    return false;
}

// One output per source in the folder, named after it; a name an earlier
// source took is the later source's failure, whoever would finish first.
void PlanFolder(const BatchRequest& r, bool psg, std::vector<Row>* rows, std::vector<Job>* jobs) {
    std::set<std::string> taken;
    for (size_t i = 0; i < rows->size(); ++i) {
        Row& row = (*rows)[i];
        Job& job = (*jobs)[i];
        row.output = Joined(r.outputDir, BaseName(row.source) + (psg ? ".edf" : ".DAT"));
        if (!taken.insert(row.output).second) {
            Settle(&row, &job, kRowFailed, "an earlier source has the same output");
            continue;
        }
        if (r.skipExisting && !ReadyForRestart(psg, &row, &job)) continue;
        job.args = JobArgs(r, row.source, {"-o", row.output});
    }
}

// The first number from fileNumber whose file and reference file are both
// free, or 0 when every number is taken.
int32_t FreeNumber(const std::string& root, int32_t fileNumber) {
    char path[kPathSize];
    char reference[kPathSize + 8];
    for (int32_t tries = 0; tries < kFileNumberLast; ++tries) {
        if (!MakeAutomaticOutputPath(root.c_str(), fileNumber, path, sizeof path) ||
            !MakeEegReferencePath(path, reference, sizeof reference))
            return 0;
        if (!PlatFileExists(path) && !PlatFileExists(reference)) return fileNumber;
        fileNumber = NextEegFileNumber(fileNumber);
    }
    return 0;
}

// The volume checked (its Disk ID made) once, the settings' EEGFileNo read
// once, and the numbers handed out in the order of the sources.
bool PlanVolume(const BatchRequest& r, const ConvertOptions& o, std::vector<Row>* rows,
                std::vector<Job>* jobs, std::string* settings, std::string* error) {
    SettingsPaths paths;
    if (!FindConvertSettings(o, &paths, error)) return false;
    AppRecord* record = static_cast<AppRecord*>(std::calloc(1, sizeof(AppRecord)));
    if (record == nullptr) {
        *error = "out of memory";
        return false;
    }
    LoadSettingsForConversion(record, &paths);
    const bool ready = PrepareConvertVolume(o, record, error);
    int32_t number = record->EEGFileNo;
    std::free(record);
    if (!ready) return false;
    *settings = paths.SettingsPath;
    for (size_t i = 0; i < rows->size(); ++i) {
        Row& row = (*rows)[i];
        number = FreeNumber(r.volume, number);
        if (number == 0) {
            Settle(&row, &(*jobs)[i], kRowFailed, "no free file number on the volume");
            continue;
        }
        char path[kPathSize];
        MakeAutomaticOutputPath(r.volume.c_str(), number, path, sizeof path);
        row.output = path;
        row.fileNumber = number;
        (*jobs)[i].args =
            JobArgs(r, row.source, {"--volume", r.volume, "--file-number", std::to_string(number)});
        number = NextEegFileNumber(number);
    }
    return true;
}

// EEGFileNo past the last number a job wrote a file with.
bool SaveNextNumber(const std::vector<Row>& rows, const std::string& settings, std::string* error) {
    int32_t last = 0;
    for (const Row& row : rows)
        if (row.fileNumber > 0 && PlatFileExists(row.output.c_str())) last = row.fileNumber;
    if (last == 0) return true;
    const int32_t next = NextEegFileNumber(last);
    PlatWriteProfileString("SYSTEM", "EEGFileNo", std::to_string(next).c_str(), settings.c_str());
    if (PlatProfileInt("SYSTEM", "EEGFileNo", 0, settings.c_str()) == next) return true;
    *error = "cannot save EEGFileNo " + std::to_string(next) + " in " + Quoted(settings.c_str());
    return false;
}

}  // namespace

namespace {

constexpr char kToolPrefix[] = "quillon-cli: ";
constexpr char kWarningPrefix[] = "quillon-cli: warning: ";
constexpr char kProgressPrefix[] = "quillon-cli: converting ";
constexpr char kCountsPrefix[] = "counts: ";
constexpr char kHoldsWords[] = "holds the first ";
constexpr char kFramesWords[] = " frames, ";

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// The whole number at the start of text, or "".
std::string LeadingNumber(const std::string& text) {
    std::string::size_type end = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    return text.substr(0, end);
}

// The frames of a summary line "PATH: N frames, S steps", or "".
std::string SummaryFrames(const std::string& line, const std::string& output) {
    if (line.compare(0, output.size() + 2, output + ": ") != 0) return "";
    const std::string rest = line.substr(output.size() + 2);
    const std::string frames = LeadingNumber(rest);
    return !frames.empty() &&
                   rest.compare(frames.size(), std::strlen(kFramesWords), kFramesWords) == 0
               ? frames
               : "";
}

// One line a job printed: its summary, counts, error or warning.
void TakeLogLine(const std::string& line, Row* row, std::string* firstError) {
    const std::string frames = SummaryFrames(line, row->output);
    if (!frames.empty()) {
        row->frames = frames;
    } else if (StartsWith(line, kCountsPrefix)) {
        row->counts = line.substr(std::strlen(kCountsPrefix));
    } else if (StartsWith(line, kWarningPrefix)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    } else if (StartsWith(line, kToolPrefix) && !StartsWith(line, kProgressPrefix)) {
        const std::string::size_type holds = line.find(kHoldsWords);
        if (holds != std::string::npos)
            row->frames = LeadingNumber(line.substr(holds + std::strlen(kHoldsWords)));
        if (firstError->empty()) *firstError = line.substr(std::strlen(kToolPrefix));
    }
}

// A job the forwarded SIGTERM reached before it could catch it.
constexpr int kExitTerminated = 128 + SIGTERM;

RowOutcome OutcomeOf(int status) {
    switch (status) {
        case kExitConverted: return kRowConverted;
        case kExitPartial: return kRowInPart;
        case kExitInterrupted:
        case kExitTerminated: return kRowInterrupted;
        default: return kRowFailed;
    }
}

void ReadJob(const Job& job, Row* row) {
    std::string error;
    std::string::size_type at = 0;
    while (at < job.log.size()) {
        std::string::size_type end = job.log.find('\n', at);
        if (end == std::string::npos) end = job.log.size();
        std::string line = job.log.substr(at, end - at);
        // Windows ends lines with CR LF; progress lines are rewritten in place after a CR.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string::size_type back = line.rfind('\r');
        if (back != std::string::npos) line.erase(0, back + 1);
        TakeLogLine(line, row, &error);
        at = end + 1;
    }
    row->outcome = OutcomeOf(job.status);
    row->reason = error.empty() ? "exit status " + std::to_string(job.status) : error;
}

std::string OutcomeText(const Row& row) {
    switch (row.outcome) {
        case kRowConverted: return "converted";
        case kRowKept: return "kept (finished before)";
        case kRowInPart: return "converted in part: " + row.reason;
        case kRowInterrupted: return "interrupted";
        case kRowNotStarted: return "not started (interrupted)";
        default: return "failed: " + row.reason;
    }
}

void PrintTable(const std::vector<Row>& rows) {
    std::vector<std::vector<std::string>> cells{
        {"SOURCE", "OUTPUT", "FRAMES", "OUTCOME", "COUNTS"}};
    for (const Row& row : rows)
        cells.push_back({row.source, row.output.empty() ? "-" : row.output, row.frames,
                         OutcomeText(row), row.counts});
    std::vector<size_t> widths(cells[0].size(), 0);
    for (const auto& line : cells)
        for (size_t c = 0; c < line.size(); ++c) widths[c] = std::max(widths[c], line[c].size());
    for (const auto& line : cells) {
        std::string text;
        for (size_t c = 0; c + 1 < line.size(); ++c)
            text += line[c] + std::string(widths[c] - line[c].size() + 2, ' ');
        std::printf("%s%s\n", text.c_str(), line.back().c_str());
    }
}

// The last line: how many of each outcome, and the exit status it means.
int PrintTotals(const std::vector<Row>& rows, bool interrupted) {
    size_t converted = 0, kept = 0;
    for (const Row& row : rows) {
        converted += row.outcome == kRowConverted ? 1 : 0;
        kept += row.outcome == kRowKept ? 1 : 0;
    }
    const size_t failed = rows.size() - converted - kept;
    std::printf("%zu sources: %zu converted, %zu kept, %zu not converted%s\n", rows.size(),
                converted, kept, failed, interrupted ? " (interrupted)" : "");
    std::fflush(stdout);
    if (interrupted) return kExitInterrupted;
    return failed == 0 ? kExitConverted : kExitFailed;
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

}  // namespace

bool IsBatchConvert(int argc, char** argv) {
    int sources = 0;
    for (int i = 0; i < argc; ++i) {
        if (IsBatchOption(argv[i])) return true;
        if (ConvertArgumentKind(argv[i]) == kArgTakesValue)
            ++i;
        else if (IsSource(argv[i]))
            ++sources;
    }
    return sources > 1;
}

int RunBatchConvert(int argc, char** argv) {
    if (AsksForHelp(argc, argv)) {
        PrintConvertUsage(stdout);
        return kExitConverted;
    }
    BatchRequest r;
    CheckedOptions checked;
    std::string error;
    if (!SplitArguments(argc, argv, &r, &error) || !CheckOptions(r, &checked, &error))
        return Fail(kExitUsage, error + " (quillon-cli convert --help)");
    CatchInterrupts();
    std::vector<Row> rows(r.sources.size());
    std::vector<Job> jobs(r.sources.size());
    for (size_t i = 0; i < rows.size(); ++i) rows[i].source = jobs[i].label = r.sources[i];
    std::string settings;
    if (r.volume.empty()) {
        if (!PrepareFolder(r.outputDir, &error)) return Fail(kExitFailed, error);
        PlanFolder(r, checked.options.fileType == kOutputPsg, &rows, &jobs);
    } else if (!PlanVolume(r, checked.options, &rows, &jobs, &settings, &error)) {
        return Fail(kExitFailed, error);
    }
    const int parallel = r.jobs > 0 ? r.jobs : PlatProcessorCount();
    const bool interrupted = RunJobs(&jobs, parallel, PlatErrorIsTerminal() != 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (jobs[i].state == kJobDone) ReadJob(jobs[i], &rows[i]);
        if (jobs[i].state == kJobNotStarted) rows[i].outcome = kRowNotStarted;
    }
    PrintTable(rows);
    int status = PrintTotals(rows, interrupted);
    if (!r.volume.empty() && !SaveNextNumber(rows, settings, &error)) {
        Fail(kExitFailed, error);
        if (status == kExitConverted) status = kExitFailed;
    }
    return status;
}
