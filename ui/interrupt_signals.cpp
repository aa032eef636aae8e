#include "ui/interrupt_signals.h"

#include <atomic>
#include <csignal>

#ifndef _WIN32
#include <pthread.h>
#endif

#include "convert/output_file.h"

namespace zentoro {

namespace {

// Written by the signal handler, read by the run between files and by its
// workers: a lock-free atomic, which a handler may use and any thread read.
std::atomic<int> caughtSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onInterruption(int signal) {
    discardOutputFromSignal();
    caughtSignal.store(signal);
#ifdef _WIN32
    std::signal(signal, SIG_DFL);
#endif
}

#ifndef _WIN32
// A reader that went away: the writes to its pipe fail with EPIPE from now
// on, as often as they are tried, and the run stops as for Ctrl-C. The
// first signal of a run is the one it reports.
extern "C" void onClosedPipe(int signal) {
    discardOutputFromSignal();
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signal);
}
#endif

}  // namespace

void catchInterruptions() {
#ifdef _WIN32
    std::signal(SIGINT, onInterruption);
    std::signal(SIGTERM, onInterruption);
#else
    struct sigaction action {};
    action.sa_handler = onInterruption;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read from a pipe or terminal that waits is cut short.
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    struct sigaction closedPipe {};
    closedPipe.sa_handler = onClosedPipe;
    sigemptyset(&closedPipe.sa_mask);
    sigaction(SIGPIPE, &closedPipe, nullptr);
#endif
}

int interruptingSignal() { return caughtSignal.load(); }

void leaveInterruptionsToOtherThreads() {
#ifndef _WIN32
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
#endif
}

}  // namespace zentoro
