// CloseSignals.cpp - the close signals' handler and its pipe. The handler
// uses only async-signal-safe calls: the PTT release (ioctl, close), write
// and _exit.
#include "shell/CloseSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "radio/PttSafety.h"

namespace merivac {

namespace {

int closePipe[2] = {-1, -1};
std::atomic<int> signalsSeen{0};
static_assert(std::atomic<int>::is_always_lock_free);

void OnCloseSignal(int sig) {
  EmergencyReleasePtt();
  if (signalsSeen.fetch_add(1) >= 1 || closePipe[1] < 0) ::_exit(128 + sig);
  const unsigned char byte = static_cast<unsigned char>(sig);
  [[maybe_unused]] const ssize_t n = ::write(closePipe[1], &byte, 1);
}

}  // namespace

int InstallCloseSignals() {
  static bool installed = false;
  if (!installed) {
    installed = true;
    if (::pipe2(closePipe, O_CLOEXEC | O_NONBLOCK) != 0) closePipe[0] = closePipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      // A signal the parent set to be ignored stays ignored (nohup).
      struct sigaction previous {};
      sigaction(sig, nullptr, &previous);
      if (previous.sa_handler != SIG_IGN) sigaction(sig, &action, nullptr);
    }
  }
  return closePipe[0];
}

int TakeCloseSignal() {
  int last = 0;
  unsigned char byte = 0;
  while (closePipe[0] >= 0 && ::read(closePipe[0], &byte, 1) == 1) last = byte;
  return last;
}

int CloseSignalCount() { return signalsSeen.load(); }

}  // namespace merivac
