// Ctrl+C and termination requests during a conversion: noted, so the run
// ends its output cleanly between two steps instead of dying mid-write.
#ifndef QUILLON_CLI_INTERRUPTS_H
#define QUILLON_CLI_INTERRUPTS_H

constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

// Catches SIGINT, SIGTERM and SIGHUP (a closed terminal); a file-size limit (SIGXFSZ) becomes a
// failed write the run reports instead of a silent kill.
void CatchInterrupts();

bool InterruptRequested();

#endif
