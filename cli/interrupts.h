#pragma once
// The process around the commands: standard streams, interrupts and a
// broken standard output.

namespace qv::cli {

// Keeps the standard descriptors taken, so that no file the tool opens
// becomes standard output by accident, and starts the watch for interrupts:
// on SIGINT, SIGTERM or SIGHUP the tool removes the temporary files it is
// writing, clears the progress line and exits with 128 + the signal number.
void PrepareProcess();

// Ends the process as a write to a pipe without reader ends it.
[[noreturn]] void EndOnBrokenPipe();

bool StandardOutputIsTerminal();
bool StandardErrorIsTerminal();

}  // namespace qv::cli
