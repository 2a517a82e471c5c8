#include "interrupts.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void NoteInterrupt(int) { gInterrupted = 1; }

}  // namespace

void CatchInterrupts() {
    std::signal(SIGINT, NoteInterrupt);
    std::signal(SIGTERM, NoteInterrupt);
#ifdef SIGHUP
    // The terminal closed: the run ends as on Ctrl+C, its output whole.
    std::signal(SIGHUP, NoteInterrupt);
#endif
#ifdef SIGPIPE
    // A reader of our output went away (`| head`): writes to it then fail
    // quietly and the run ends as on Ctrl+C instead of dying mid-step.
    std::signal(SIGPIPE, NoteInterrupt);
#endif
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool InterruptRequested() { return gInterrupted != 0; }
