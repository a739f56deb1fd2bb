#include "cli/interruption.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t interruptingSignal = 0;

void NoteInterruption(int signal)
{
    interruptingSignal = signal;
}

}  // namespace

void InstallInterruptionHandlers()
{
    struct sigaction action {};
    action.sa_handler = NoteInterruption;
    sigemptyset(&action.sa_mask);
    // The handler is for the first signal only; a second one has its usual effect.
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    for (const int signal : {SIGINT, SIGHUP, SIGTERM}) {
        sigaction(signal, &action, nullptr);
    }
    // A file-size limit makes a write fail, which the run reports, instead of killing it half-way.
    std::signal(SIGXFSZ, SIG_IGN);
}

int InterruptingSignal()
{
    return interruptingSignal;
}
