#include "export_jobs.h"

#include <atomic>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <thread>
#endif

namespace {

struct JobQueue {
    size_t count;
    const std::function<void(size_t)>* job;
    std::atomic<size_t> next{0};
};

// Takes jobs until none is left, so one slow file never holds up the others.
void Work(JobQueue* queue) {
    for (size_t i = queue->next++; i < queue->count; i = queue->next++) (*queue->job)(i);
}

#ifdef _WIN32
DWORD WINAPI WorkThread(LPVOID queue) {
    Work(static_cast<JobQueue*>(queue));
    return 0;
}
#endif

}  // namespace

unsigned ProcessorCount() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
#else
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 0 ? static_cast<unsigned>(count) : 1;
#endif
}

void RunJobs(size_t count, unsigned threads, const std::function<void(size_t)>& job) {
    JobQueue queue{count, &job};
    if (threads > count) threads = static_cast<unsigned>(count);
    if (threads <= 1) {
        Work(&queue);
        return;
    }
#ifdef _WIN32
    std::vector<HANDLE> started;
    for (unsigned t = 1; t < threads; ++t) {
        HANDLE thread = CreateThread(nullptr, 0, WorkThread, &queue, 0, nullptr);
        if (thread != nullptr) started.push_back(thread);
    }
    Work(&queue);  // also when no thread could start
    for (HANDLE thread : started) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
#else
    std::vector<std::thread> started;
    try {
        for (unsigned t = 1; t < threads; ++t) started.emplace_back(Work, &queue);
    } catch (...) {
        // Fewer threads: the ones started and this one take every job.
    }
    Work(&queue);
    for (std::thread& thread : started) thread.join();
#endif
}
