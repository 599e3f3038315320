// PttSafetyTest.cpp - PTT and the alert line are dropped and the port is
// closed on every way out: normal exit, SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// std::terminate, abort, a fatal signal, exit().
//
// The signal cases run this test program again as a child (posix_spawn of
// /proc/self/exe with a gtest filter selecting PttSafetyChild.Body). The
// child keys PTT through the fake driver or opens a pseudo-terminal through
// the real driver, writes what happens to descriptor 3 (a pipe the parent
// reads), says "ready" and waits; the parent then sends the signal, reads
// until the child's end of the pipe closes (bounded by poll timeouts) and
// reaps it with waitpid.
#include "radio/PttSafety.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "SerialFakes.h"
#include "radio/RadioControl.h"
#include "radio/SerialLineDriver.h"

extern char** environ;

namespace merivac {
namespace {

using testing::FakeSerialLineDriver;
using testing::RecordingUi;
using testing::TestLog;

constexpr int kRecordFd = 3;
constexpr const char* kChildModeVar = "MERIVAC_PTT_CHILD";
constexpr const char* kChildPtyVar = "MERIVAC_PTT_PTY";

bool IsOpenDescriptor(int fd) { return fcntl(fd, F_GETFD) != -1; }

class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      const char* path = ptsname(master_);
      if (path != nullptr) name_ = std::filesystem::path(path).lexically_relative("/dev").string();
    }
  }
  ~Pty() {
    if (master_ >= 0) close(master_);
  }
  bool Ok() const { return !name_.empty(); }
  const std::string& Name() const { return name_; }

 private:
  int master_ = -1;
  std::string name_;
};

// ---- in this process ----

TEST(PttSafety, ReleaseClearsAndClosesARealDescriptorOnce) {
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  EXPECT_EQ(ReleaseSerialDescriptor(-1), 0);
  {
    const int fd = open(("/dev/" + pty.Name()).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const int done = ReleaseSerialDescriptor(fd);
    EXPECT_TRUE(done & kReleasedClosed);
    EXPECT_FALSE(done & kReleasedLines);  // a pseudo-terminal has no modem lines
    EXPECT_FALSE(IsOpenDescriptor(fd));
  }
  PosixSerialLineDriver driver;
  ASSERT_TRUE(driver.Open(pty.Name()));
  const int fd = driver.Descriptor();
  EXPECT_TRUE(EmergencyReleasePtt());
  EXPECT_FALSE(IsOpenDescriptor(fd));
  EXPECT_EQ(ArmedPttDescriptor(), -1);
  EXPECT_FALSE(EmergencyReleasePtt());  // only once
  // The number may now belong to another file: the driver must not close it.
  const int other = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  EXPECT_TRUE(driver.Close());
  EXPECT_TRUE(IsOpenDescriptor(other));
  close(other);
}

TEST(PttSafety, GuardReleasesThroughTheRadioOnNormalExit) {
  Settings settings;
  settings.port = "ttyUSB0";
  settings.pttMethod = 1;
  settings.alertLine = 2;
  FakeSerialLineDriver driver;
  RecordingUi ui;
  TestLog log;
  RadioControl radio(settings, driver, ui, log.Log());
  ASSERT_TRUE(radio.InitSerialPort());
  radio.SetPtt(true);
  radio.SetAlertLine(true);
  driver.TakeCalls();
  { PttSafetyGuard guard(&radio); }
  EXPECT_EQ(driver.TakeCalls(), (std::vector<std::string>{"dtr 0", "rts 0", "break 0", "close"}));
  EXPECT_FALSE(driver.dtr || driver.rts || driver.brk || driver.IsOpen());
}

TEST(PttSafety, GuardWithoutRadioReleasesTheRegisteredPort) {
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  PosixSerialLineDriver driver;
  ASSERT_TRUE(driver.Open(pty.Name()));
  const int fd = driver.Descriptor();
  { PttSafetyGuard guard; }
  EXPECT_FALSE(IsOpenDescriptor(fd));
  EXPECT_EQ(ArmedPttDescriptor(), -1);
}

// ---- the child ----

void WriteRecord(const char* text) noexcept {
  [[maybe_unused]] ssize_t n = write(kRecordFd, text, strlen(text));
}

// Release step of the fake child: the fake's record pipe is the registered
// descriptor; note the release there, then run the real release on it.
void RecordFakeRelease(int fd) noexcept {
  WriteRecord("emergency release\n");
  ReleaseSerialDescriptor(fd);
}

// Release step of the pseudo-terminal child: the real release, then what it
// achieved and whether the descriptor is really gone.
void RecordRealRelease(int fd) noexcept {
  const int done = ReleaseSerialDescriptor(fd);
  const bool gone = fcntl(fd, F_GETFD) == -1 && errno == EBADF;
  WriteRecord((done & kReleasedClosed) && gone ? "real release: port closed\n"
                                               : "real release: port NOT closed\n");
}

TEST(PttSafetyChild, Body) {
  const char* modeVar = getenv(kChildModeVar);
  if (modeVar == nullptr) GTEST_SKIP() << "runs only as the child of the PTT safety tests";
  const std::string mode = modeVar;
  InstallPttSafetyHandlers();
  Settings settings;
  NullUiServices ui;
  ManualClock clock;
  bool logOn = false;
  DebugLog log(clock, logOn);
  // Never destroyed, as if exit() came from deep inside the program while
  // the port is open: no destructor may do the release instead.
  auto& fake = *new FakeSerialLineDriver(kRecordFd);
  auto& real = *new PosixSerialLineDriver;
  if (mode.starts_with("fake")) {
    SetPttReleaseFunction(&RecordFakeRelease);
    settings.port = "ttyFAKE0";
    settings.pttMethod = 1;
    settings.alertLine = 2;
    auto& radio = *new RadioControl(settings, fake, ui, log);
    radio.InitSerialPort();
    radio.SetPtt(true);
    radio.SetAlertLine(true);
  } else {
    SetPttReleaseFunction(&RecordRealRelease);
    const char* pty = getenv(kChildPtyVar);
    WriteRecord(pty != nullptr && real.Open(pty) ? "pty open\n" : "pty open failed\n");
    real.SetDtr(true);  // refused by a pseudo-terminal; a real port would key here
  }
  WriteRecord("ready\n");
  const std::string how = mode.substr(mode.find(':') + 1);
  if (how == "terminate") std::terminate();
  if (how == "abort") std::abort();
  if (how == "segv") raise(SIGSEGV);
  if (how == "exit") std::exit(3);
  for (;;) pause();  // wait for the parent's signal
}

// ---- the parent ----

struct ChildRun {
  std::string record;
  int status = 0;
  bool timedOut = false;
};

// Reads from fd until want appears (or, with want empty, until end of file);
// false when the bounded wait ran out.
bool ReadUntil(int fd, std::string& into, const std::string& want) {
  constexpr int kTimeoutMs = 30000;
  while (want.empty() || into.find(want) == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kTimeoutMs) <= 0) return false;
    char buf[256];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return want.empty();
    into.append(buf, static_cast<size_t>(n));
  }
  return true;
}

ChildRun RunChild(const std::string& mode, int signal, const std::string& ptyName = "") {
  ChildRun run;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return run;
  // Keep the write end off descriptor 3, so dup2 onto 3 really copies it.
  const int writeEnd = fcntl(fds[1], F_DUPFD_CLOEXEC, 100);
  close(fds[1]);

  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    if (!std::string(*e).starts_with(kChildModeVar)) env.emplace_back(*e);
  }
  env.push_back(std::string(kChildModeVar) + "=" + mode);
  env.push_back(std::string(kChildPtyVar) + "=" + ptyName);
  std::vector<char*> envp;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string exe = "/proc/self/exe";
  std::string filter = "--gtest_filter=PttSafetyChild.Body";
  char* argv[] = {exe.data(), filter.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, writeEnd, kRecordFd);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  // Every signal at its default and unblocked in the child, whatever the
  // test runner left ignored (a background shell ignores SIGINT).
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, exe.c_str(), &actions, &attr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(writeEnd);
  if (rc != 0) {
    close(fds[0]);
    run.timedOut = true;
    return run;
  }
  bool ok = ReadUntil(fds[0], run.record, "ready\n");
  if (ok && signal != 0) kill(pid, signal);
  ok = ok && ReadUntil(fds[0], run.record, "");
  if (!ok) {
    run.timedOut = true;
    kill(pid, SIGKILL);
  }
  close(fds[0]);
  waitpid(pid, &run.status, 0);
  return run;
}

struct ExitCase {
  const char* name;
  const char* how;    // what the child does after "ready"; "wait" for a signal
  int sendSignal;     // 0: none
  int deathSignal;    // the signal the child must end by; 0: a normal exit
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

const ExitCase kExitCases[] = {
    {"SIGINT", "wait", SIGINT, SIGINT},       {"SIGTERM", "wait", SIGTERM, SIGTERM},
    {"SIGHUP", "wait", SIGHUP, SIGHUP},       {"SIGQUIT", "wait", SIGQUIT, SIGQUIT},
    {"terminate", "terminate", 0, SIGABRT},   {"abort", "abort", 0, SIGABRT},
    {"SIGSEGV", "segv", 0, SIGSEGV},          {"exit", "exit", 0, 0},
};

void ExpectEnding(const ChildRun& run, const ExitCase& c) {
  ASSERT_FALSE(run.timedOut) << run.record;
  if (c.deathSignal != 0) {
    ASSERT_TRUE(WIFSIGNALED(run.status)) << run.status;
    EXPECT_EQ(WTERMSIG(run.status), c.deathSignal);  // the default action still ran
  } else {
    ASSERT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 3);
  }
}

class FakeDriverExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(FakeDriverExit, DropsTheLinesAndClosesBeforeEnding) {
  const ExitCase& c = GetParam();
  const ChildRun run = RunChild(std::string("fake:") + c.how, c.sendSignal);
  ExpectEnding(run, c);
  // Opened with both lines idle, PTT on DTR, alert on RTS, then the release.
  EXPECT_EQ(run.record,
            "open ttyFAKE0\ndtr 0\nrts 0\ndtr 1\nrts 1\nready\nemergency release\n");
}

INSTANTIATE_TEST_SUITE_P(Radio, FakeDriverExit, ::testing::ValuesIn(kExitCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

class RealDriverExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(RealDriverExit, ClosesThePseudoTerminalFromTheHandler) {
  const ExitCase& c = GetParam();
  Pty pty;
  ASSERT_TRUE(pty.Ok());
  const ChildRun run = RunChild(std::string("pty:") + c.how, c.sendSignal, pty.Name());
  ExpectEnding(run, c);
  EXPECT_EQ(run.record, "pty open\nready\nreal release: port closed\n");
}

INSTANTIATE_TEST_SUITE_P(Radio, RealDriverExit, ::testing::ValuesIn(kExitCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

}  // namespace
}  // namespace merivac
