// A job runner: runs quillon-cli itself once per job, several at a time,
// and collects what each job printed and its exit status. One process per
// job keeps a job's failure, memory and files its own; the runner only
// schedules, passes an interrupt on and collects.
#ifndef QUILLON_CLI_JOBS_H
#define QUILLON_CLI_JOBS_H

#include <string>
#include <vector>

enum JobState {
    kJobWaiting = 0,     // to be run
    kJobDone = 1,        // ran (or could not be started): see status and log
    kJobNotStarted = 2,  // an interrupt came first
    kJobSettled = 3,     // the caller settled it without a run
};

constexpr int kJobCannotStart = -1;  // the status of a job whose process did not start

struct Job {
    std::vector<std::string> args;  // after the program's name
    std::string label;              // its name in the progress lines
    JobState state = kJobWaiting;
    int status = kJobCannotStart;
    std::string log;  // its standard output and error
};

// Runs the waiting jobs in order, at most parallel at a time. An interrupt
// (InterruptRequested) is passed to the running jobs and starts no more;
// the runner returns when the running ones have ended. With progress, one
// line per running job on standard error, cleared at the end. Returns true
// when interrupted.
bool RunJobs(std::vector<Job>* jobs, int parallel, bool progress);

// The last percentage a job's progress line shows in its log, or -1.
int LastPercent(const std::string& log);

#endif
