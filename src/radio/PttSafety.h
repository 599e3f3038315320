// PttSafety.h - makes sure the transmitter is never left keyed when the
// program ends, however it ends.
//
// The open serial port's descriptor is kept in a lock-free atomic int. On a
// normal exit (PttSafetyGuard, atexit), on SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// on the fatal signals SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT and on
// std::terminate, the release clears DTR and RTS and the break state with
// ioctl and closes the descriptor. Signal handlers use only async-signal-safe
// calls; afterwards they restore the default action and raise the signal
// again, so the process still ends the way it would have.
#pragma once

namespace merivac {

class RadioControl;

// Registers fd as the open serial port (replacing any earlier one).
void ArmPttSafety(int fd) noexcept;
// Forgets fd when it is the registered one; false when it is not (another
// descriptor is registered, or the release has already closed it).
bool DisarmPttSafety(int fd) noexcept;
// The registered descriptor, -1 for none.
int ArmedPttDescriptor() noexcept;

// Clears DTR, RTS and the break state of fd and closes it. Async-signal-safe.
// Returns a mask of the steps that succeeded (kReleased...).
constexpr int kReleasedLines = 1;   // TIOCMBIC DTR | RTS
constexpr int kReleasedBreak = 2;   // TIOCCBRK
constexpr int kReleasedClosed = 4;  // close
int ReleaseSerialDescriptor(int fd) noexcept;

// The step the emergency release runs on the registered descriptor;
// nullptr restores ReleaseSerialDescriptor. A replacement must be
// async-signal-safe (tests use one that also records what it did).
using PttReleaseFunction = void (*)(int fd) noexcept;
void SetPttReleaseFunction(PttReleaseFunction fn) noexcept;

// Takes the registered descriptor (at most once) and releases it.
// Async-signal-safe. True when there was a descriptor to release.
bool EmergencyReleasePtt() noexcept;

// Installs the signal handlers, the terminate handler and an atexit release.
// Call once, early in main. Safe to call again (it does nothing then).
void InstallPttSafetyHandlers();

// Releases PTT and the alert line and closes the port when main leaves its
// scope normally (the window closed): through the radio's own rules when
// given (so the debug log records it), then the emergency release as a
// backstop for a descriptor still registered.
class PttSafetyGuard {
 public:
  explicit PttSafetyGuard(RadioControl* radio = nullptr) : radio_(radio) {}
  ~PttSafetyGuard();
  PttSafetyGuard(const PttSafetyGuard&) = delete;
  PttSafetyGuard& operator=(const PttSafetyGuard&) = delete;

 private:
  RadioControl* radio_;
};

}  // namespace merivac
