// Running numbered jobs on a few threads: the Windows builds' compiler has
// no std::thread, so each system starts its own.
#ifndef QUILLON_CLI_EXPORT_JOBS_H
#define QUILLON_CLI_EXPORT_JOBS_H

#include <cstddef>
#include <functional>

// The processors the system offers, at least 1.
unsigned ProcessorCount();
// Runs job(0) .. job(count - 1), at most threads at a time; returns when all ended.
void RunJobs(size_t count, unsigned threads, const std::function<void(size_t)>& job);

#endif
