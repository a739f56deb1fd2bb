#include "cli/interruption.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t interruptingSignal = 0;
// A pipe whose reading end becomes readable when the signal comes.
int signalPipe[2] = {-1, -1};

void NoteInterruption(int signal)
{
    interruptingSignal = signal;
    const char note = 1;
    // Nothing can be done about a write that fails here; the signal is noted all the same.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &note, 1);
}

}  // namespace

void InstallInterruptionHandlers()
{
    // Without a pipe (no descriptor left at start), a wait learns of the signal by its interrupted call alone.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = -1;
        signalPipe[1] = -1;
    }
    struct sigaction action {};
    action.sa_handler = NoteInterruption;
    sigemptyset(&action.sa_mask);
    // The handler is for the first signal only; a second one has its usual effect. Without SA_RESTART, a
    // wait for the person's answer ends at once.
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

int InterruptionDescriptor()
{
    return signalPipe[0];
}
