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
    std::signal(SIGHUP, NoteInterrupt);
#endif
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool InterruptRequested() { return gInterrupted != 0; }
