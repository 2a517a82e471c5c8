#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform.h"
#include "platform_common.h"

extern char** environ;

struct PlatProcessRecord {
    pid_t pid;
};

namespace {

constexpr size_t kExecutablePathBytes = 4096;
constexpr int kSignalStatusBase = 128;  // as shells report a killed process

extern "C" void NoteChildEnd(int) {}

// Caught, not ignored, so that a wait for a child's end wakes up; SIGCHLD is
// ignored by default, so this changes nothing else.
void CatchChildEnds() {
    static bool caught = false;
    if (caught) return;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = NoteChildEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NOCLDSTOP | SA_RESTART;
    caught = ::sigaction(SIGCHLD, &action, nullptr) == 0;
}

int StatusOf(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return kSignalStatusBase + WTERMSIG(raw);
    return -1;
}

}  // namespace

extern "C" PlatProcess PlatStartSelf(const char* const* args, int count, const char* logPath) {
    if (args == nullptr || count < 0 || logPath == nullptr) return nullptr;
    char program[kExecutablePathBytes];
    if (!plat_common::ExecutablePath(program, sizeof program)) return nullptr;
    std::vector<char*> argv;
    argv.push_back(program);
    for (int i = 0; i < count; ++i) argv.push_back(const_cast<char*>(args[i]));
    argv.push_back(nullptr);

    CatchChildEnds();
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return nullptr;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath,
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        errno = failed;
        return nullptr;
    }
    PlatProcess process = static_cast<PlatProcess>(std::malloc(sizeof(PlatProcessRecord)));
    if (process == nullptr) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return nullptr;
    }
    process->pid = pid;
    return process;
}

extern "C" int PlatProcessEnded(PlatProcess process, int* status) {
    if (process == nullptr) return -1;
    int raw = 0;
    const pid_t got = ::waitpid(process->pid, &raw, WNOHANG);
    if (got == 0) return 0;
    if (got < 0 && errno == EINTR) return 0;
    if (status != nullptr) *status = got == process->pid ? StatusOf(raw) : -1;
    std::free(process);
    return got < 0 ? -1 : 1;
}

extern "C" int PlatProcessInterrupt(PlatProcess process) {
    return process != nullptr && ::kill(process->pid, SIGTERM) == 0 ? 1 : 0;
}

extern "C" void PlatWaitForAnyEnd(const PlatProcess* processes, int count, uint32_t milliseconds) {
    for (int i = 0; i < count; ++i) {
        siginfo_t info;
        std::memset(&info, 0, sizeof info);
        if (processes[i] != nullptr &&
            ::waitid(P_PID, static_cast<id_t>(processes[i]->pid), &info,
                     WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid != 0)
            return;
    }
    // A child's end (SIGCHLD, caught) cuts the sleep short.
    struct timespec span;
    span.tv_sec = static_cast<time_t>(milliseconds / 1000);
    span.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    ::nanosleep(&span, nullptr);
}

extern "C" int PlatProcessorCount(void) {
    // The processors this process may use: a scheduler's allocation, not the machine's.
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 && online < INT_MAX ? static_cast<int>(online) : 1;
}

extern "C" int PlatErrorIsTerminal(void) {
    const char* term = std::getenv("TERM");
    return ::isatty(STDERR_FILENO) && term != nullptr && std::strcmp(term, "dumb") != 0 ? 1 : 0;
}

extern "C" int PlatMakeTempFile(char* path, size_t size) {
    if (path == nullptr || size == 0) return 0;
    const char* folder = std::getenv("TMPDIR");
    if (folder == nullptr || folder[0] == '\0') folder = "/tmp";
    const int n = std::snprintf(path, size, "%s/quillon-XXXXXX", folder);
    if (n < 0 || static_cast<size_t>(n) >= size) return 0;
    const int fd = ::mkstemp(path);
    if (fd < 0) return 0;
    ::close(fd);
    return 1;
}
