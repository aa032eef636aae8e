// Ctrl-C, SIGTERM and SIGHUP during a run: the output being written is
// removed at once, and the run stops after the file in hand so that it can
// print what it has done and exit with 128 plus the signal's number.
// SIGPIPE, a closed pipe on standard output or error, stops the run the
// same way; the run then exits with 1, as for any output it could not write.
#pragma once

namespace zentoro {

// Installs the handlers. A second signal of the same kind ends the program
// at once, as if no handler were there.
void catchInterruptions();

// The signal that interrupted the run, or 0.
int interruptingSignal();

// Keeps those signals off the calling thread, a worker's, so that they reach
// the thread that runs the run; a conversion on a worker then never has a
// call cut short by one.
void leaveInterruptionsToOtherThreads();

}  // namespace zentoro
