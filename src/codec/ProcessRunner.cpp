// ProcessRunner.cpp - posix_spawn with a standard-output pipe.
#include "codec/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace merivac {

namespace {

class PosixChild final : public ChildProcess {
 public:
  PosixChild(pid_t pid, int fd) : pid_(pid), fd_(fd) {}
  ~PosixChild() override { Terminate(); }

  int Read(char* buf, int max, int timeoutMs) override {
    if (fd_ < 0) {
      // The output has ended: wait as asked, so a caller polling until its
      // deadline does not spin.
      ::poll(nullptr, 0, timeoutMs);
      return 0;
    }
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    if (r == 0) return kTimedOut;
    if (r < 0) return errno == EINTR ? kTimedOut : EndOutput();
    ssize_t n = ::read(fd_, buf, static_cast<size_t>(max));
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return kTimedOut;
    return EndOutput();
  }

  void Terminate() override {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
    if (pid_ <= 0) return;
    // A child that closed its output is normally about to exit: give it a
    // moment, then end it. Until it is reaped its process id stays taken,
    // so the group id below cannot belong to anyone else.
    const bool exitedByItself = WaitForExit(outputEnded_ ? 2000 : 0);
    if (!exitedByItself) {
      ::kill(-pid_, SIGTERM);
      WaitForExit(200);
    }
    // Whatever the child started and left running in its group goes too,
    // whether or not the child itself has ended.
    ::kill(-pid_, SIGKILL);
    int status = 0;
    pid_t reaped = -1;
    do {
      reaped = ::waitpid(pid_, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    const bool exited = exitedByItself && reaped == pid_ && WIFEXITED(status);
    exitStatus_ = exited ? WEXITSTATUS(status) : kNoExitStatus;
    pid_ = -1;
  }

  int ExitStatus() const override { return exitStatus_; }

 private:
  int EndOutput() {
    ::close(fd_);
    fd_ = -1;
    outputEnded_ = true;
    return 0;
  }

  // True once the child has exited, waiting up to ms milliseconds. It is
  // not reaped (WNOWAIT), so its pid and group stay reserved until
  // Terminate reaps it.
  bool WaitForExit(int ms) {
    for (int waited = 0;; waited += 5) {
      siginfo_t info{};
      const int r = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
      if (r == 0 && info.si_pid == pid_) return true;
      if (r < 0 && errno != EINTR) return true;  // no such child left
      if (waited >= ms) return false;
      ::poll(nullptr, 0, 5);
    }
  }

  pid_t pid_;
  int fd_;
  bool outputEnded_ = false;
  int exitStatus_ = kNoExitStatus;
};

}  // namespace

std::unique_ptr<ChildProcess> PosixProcessRunner::Start(const std::string& executable,
                                                        const std::vector<std::string>& args,
                                                        const std::string& workDir,
                                                        std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<ChildProcess> {
    if (error != nullptr) *error = why;
    return nullptr;
  };
  std::filesystem::path exe(executable);
  if (exe.is_relative()) exe = std::filesystem::absolute(std::filesystem::path(workDir) / exe);
  if (::access(exe.c_str(), X_OK) != 0) {
    return fail(exe.string() + ": " + std::strerror(errno));
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return fail(std::string("pipe: ") + std::strerror(errno));

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  // The child gets none of the program's other descriptors (serial port,
  // sockets, files), and default signal handling even if the program
  // ignores SIGPIPE.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, exe.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  ::close(fds[1]);
  if (rc != 0) {
    ::close(fds[0]);
    return fail(exe.string() + ": " + std::strerror(rc));
  }
  return std::make_unique<PosixChild>(pid, fds[0]);
}

}  // namespace merivac
