#include "jobs.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "interrupts.h"
#include "platform.h"
#include "store/app_record.h"

namespace {

constexpr uint32_t kPollMilliseconds = 250;  // at most: a job's end wakes the runner
constexpr int32_t kTailBytes = 160;          // enough for the last progress line
constexpr int32_t kReadChunkBytes = 65536;

struct Running {
    size_t index;
    PlatProcess process;
    std::string logPath;
};

std::string ReadFrom(const char* path, int64_t lastBytes) {
    std::string text;
    PlatFile file = PlatFileOpen(path, PLAT_OPEN_READ, nullptr);
    if (file == nullptr) return text;
    const int64_t size = PlatFileSize(file);
    if (lastBytes >= 0 && size > lastBytes) PlatFileSeek(file, size - lastBytes);
    char chunk[kReadChunkBytes];
    int32_t n;
    while ((n = PlatFileRead(file, chunk, sizeof chunk)) > 0) text.append(chunk, n);
    PlatFileClose(file);
    return text;
}

void Start(std::vector<Job>* jobs, size_t index, std::vector<Running>* running) {
    Job& job = (*jobs)[index];
    char logPath[kPathSize] = "";
    std::vector<const char*> args;
    for (const std::string& arg : job.args) args.push_back(arg.c_str());
    PlatProcess process = nullptr;
    const bool logged = PlatMakeTempFile(logPath, sizeof logPath) != 0;
    if (logged) process = PlatStartSelf(args.data(), static_cast<int>(args.size()), logPath);
    if (process != nullptr) {
        running->push_back(Running{index, process, logPath});
        return;
    }
    char reason[128] = "";
    PlatLastErrorText(reason, sizeof reason);
    job.state = kJobDone;
    job.status = kJobCannotStart;
    job.log = std::string("quillon-cli: cannot start the job: ") + reason + "\n";
    if (logged) PlatDeleteFile(logPath);
}

// Collects the jobs that ended; the others stay.
void Collect(std::vector<Job>* jobs, std::vector<Running>* running) {
    for (size_t i = 0; i < running->size();) {
        Running& r = (*running)[i];
        int status = kJobCannotStart;
        if (PlatProcessEnded(r.process, &status) == 0) {
            ++i;
            continue;
        }
        Job& job = (*jobs)[r.index];
        job.state = kJobDone;
        job.status = status;
        job.log = ReadFrom(r.logPath.c_str(), -1);
        PlatDeleteFile(r.logPath.c_str());
        running->erase(running->begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// The block of progress lines, redrawn in place when it changes.
struct ProgressBlock {
    bool shown;
    int lines;
    std::string text;
};

void Clear(ProgressBlock* block) {
    if (block->lines > 0) std::fprintf(stderr, "\x1b[%dA\r\x1b[J", block->lines);
    block->lines = 0;
    block->text.clear();
}

void Draw(ProgressBlock* block, const std::vector<Job>& jobs, const std::vector<Running>& running) {
    if (!block->shown) return;
    std::string text;
    for (const Running& r : running) {
        const int percent = LastPercent(ReadFrom(r.logPath.c_str(), kTailBytes));
        char line[64];
        std::snprintf(line, sizeof line, "quillon-cli: [%zu/%zu] ", r.index + 1, jobs.size());
        text += line + jobs[r.index].label + ": ";
        text += percent >= 0 ? std::to_string(percent) + "%\n" : std::string("starting\n");
    }
    if (text == block->text) return;
    Clear(block);
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    block->lines = static_cast<int>(running.size());
    block->text = text;
}

}  // namespace

int LastPercent(const std::string& log) {
    const std::string::size_type sign = log.rfind('%');
    if (sign == std::string::npos) return -1;
    std::string::size_type first = sign;
    while (first > 0 && log[first - 1] >= '0' && log[first - 1] <= '9') --first;
    if (first == sign || sign - first > 3) return -1;
    return std::stoi(log.substr(first, sign - first));
}

bool RunJobs(std::vector<Job>* jobs, int parallel, bool progress) {
    std::vector<Running> running;
    ProgressBlock block{progress, 0, std::string()};
    bool passedOn = false;
    size_t next = 0;
    for (;;) {
        if (InterruptRequested() && !passedOn) {
            for (const Running& r : running) PlatProcessInterrupt(r.process);
            passedOn = true;
        }
        while (!InterruptRequested() && next < jobs->size() &&
               running.size() < static_cast<size_t>(parallel)) {
            if ((*jobs)[next].state == kJobWaiting) Start(jobs, next, &running);
            ++next;
        }
        if (running.empty()) break;
        Draw(&block, *jobs, running);
        std::vector<PlatProcess> processes;
        for (const Running& r : running) processes.push_back(r.process);
        PlatWaitForAnyEnd(processes.data(), static_cast<int>(processes.size()), kPollMilliseconds);
        Collect(jobs, &running);
    }
    Clear(&block);
    for (; next < jobs->size(); ++next)
        if ((*jobs)[next].state == kJobWaiting) (*jobs)[next].state = kJobNotStarted;
    return passedOn;
}
