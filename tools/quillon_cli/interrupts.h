// Ctrl+C, termination requests, a closed terminal and a closed pipe during a
// conversion: noted, so the run ends its output cleanly between two steps
// instead of dying mid-write.
#ifndef QUILLON_CLI_INTERRUPTS_H
#define QUILLON_CLI_INTERRUPTS_H

// 128 + SIGINT, as shells report it; also for the other signals caught, so
// scripts test one status for "ended early on request".
constexpr int kExitInterrupted = 130;

// Catches SIGINT, SIGTERM, SIGHUP and SIGPIPE; a file-size limit (SIGXFSZ)
// becomes a failed write the run reports instead of a silent kill.
void CatchInterrupts();

bool InterruptRequested();

#endif
