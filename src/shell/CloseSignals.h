// CloseSignals.h - SIGINT, SIGTERM and SIGHUP end the program cleanly.
//
// The handler releases PTT at once (the transmitter must not wait for the
// close) and writes one byte to a pipe; the program's event loop watches the
// pipe and runs its normal close, without any dialog. A second signal while
// that close is under way ends the process at once: whatever the close was
// waiting for, the operator has asked twice.
#pragma once

namespace merivac {

// Installs the handlers (once; a signal that is ignored, as under nohup,
// stays ignored) and returns the pipe's reading end, -1 when
// the pipe could not be made (the handlers then only release PTT and end
// the process as the PTT safety does).
int InstallCloseSignals();

// Reads the pending bytes of the pipe; returns the number of the last signal
// received, 0 when none was pending.
int TakeCloseSignal();

// How many close signals have arrived so far.
int CloseSignalCount();

}  // namespace merivac
