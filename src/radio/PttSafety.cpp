// PttSafety.cpp - the emergency release of PTT and the alert line.
//
// Everything reachable from a signal handler here is async-signal-safe:
// lock-free atomics, ioctl, close, sigaction, raise. The release takes the
// descriptor with an atomic exchange, so it runs at most once even when a
// second signal arrives while the first is being handled.
#include "radio/PttSafety.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>

#include "radio/RadioControl.h"

namespace merivac {
namespace {

static_assert(std::atomic<int>::is_always_lock_free, "the signal path needs a lock-free int");
static_assert(std::atomic<PttReleaseFunction>::is_always_lock_free,
              "the signal path needs a lock-free pointer");

std::atomic<int> gArmedFd{-1};
std::atomic<PttReleaseFunction> gReleaseFn{nullptr};
std::atomic<bool> gInstalled{false};
std::terminate_handler gPreviousTerminate = nullptr;

// Signals that end the process by default and after which the transmitter
// must not stay keyed.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                            SIGBUS, SIGFPE,  SIGILL, SIGABRT};

extern "C" void PttSignalHandler(int sig) {
  const int savedErrno = errno;
  EmergencyReleasePtt();
  // SA_RESETHAND has already restored the default action; make sure, then
  // raise again: the signal is delivered with its default effect (ending the
  // process, a core dump for the fatal ones) as soon as this handler returns.
  struct sigaction dfl{};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  raise(sig);
  errno = savedErrno;
}

void PttTerminateHandler() {
  EmergencyReleasePtt();
  if (gPreviousTerminate != nullptr && gPreviousTerminate != &PttTerminateHandler) {
    gPreviousTerminate();
  }
  std::abort();
}

extern "C" void PttAtExit() { EmergencyReleasePtt(); }

}  // namespace

void ArmPttSafety(int fd) noexcept { gArmedFd.store(fd); }

bool DisarmPttSafety(int fd) noexcept {
  if (fd < 0) return false;
  int expected = fd;
  return gArmedFd.compare_exchange_strong(expected, -1);
}

int ArmedPttDescriptor() noexcept { return gArmedFd.load(); }

int ReleaseSerialDescriptor(int fd) noexcept {
  if (fd < 0) return 0;
  int done = 0;
  int bits = TIOCM_DTR | TIOCM_RTS;
  if (ioctl(fd, TIOCMBIC, &bits) == 0) done |= kReleasedLines;
  if (ioctl(fd, TIOCCBRK) == 0) done |= kReleasedBreak;
  // close is not retried on EINTR: on Linux the descriptor is gone anyway.
  if (close(fd) == 0) done |= kReleasedClosed;
  return done;
}

void SetPttReleaseFunction(PttReleaseFunction fn) noexcept { gReleaseFn.store(fn); }

bool EmergencyReleasePtt() noexcept {
  const int fd = gArmedFd.exchange(-1);
  if (fd < 0) return false;
  PttReleaseFunction fn = gReleaseFn.load();
  if (fn != nullptr) {
    fn(fd);
  } else {
    ReleaseSerialDescriptor(fd);
  }
  return true;
}

void InstallPttSafetyHandlers() {
  if (gInstalled.exchange(true)) return;
  struct sigaction action{};
  action.sa_handler = &PttSignalHandler;
  sigemptyset(&action.sa_mask);
  // Block the other handled signals while one is handled, so the release
  // is not interrupted half-way by a second one.
  for (int sig : kSignals) sigaddset(&action.sa_mask, sig);
  action.sa_flags = SA_RESETHAND;
  for (int sig : kSignals) {
    struct sigaction previous{};
    sigaction(sig, nullptr, &previous);
    // A signal the parent told us to ignore (nohup) stays ignored.
    if (previous.sa_handler == SIG_IGN && sig != SIGSEGV && sig != SIGBUS && sig != SIGFPE &&
        sig != SIGILL && sig != SIGABRT) {
      continue;
    }
    sigaction(sig, &action, nullptr);
  }
  gPreviousTerminate = std::set_terminate(&PttTerminateHandler);
  std::atexit(&PttAtExit);
}

PttSafetyGuard::~PttSafetyGuard() {
  if (radio_ != nullptr) radio_->ReleaseAll();
  EmergencyReleasePtt();
}

}  // namespace merivac
