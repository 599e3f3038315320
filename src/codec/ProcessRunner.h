// ProcessRunner.h - starting the outside encoder and decoder.
//
// A child process is started from an argument vector (never through a
// shell) in a given working folder, with its standard output on a pipe that
// the caller reads in blocks. Reads wait at most a given time, so the caller
// can look at its clock and its stop request between reads. Each child leads
// a process group of its own; ending it ends that whole group, so nothing it
// started outlives the pass either. Destroying a ChildProcess terminates it
// if it still runs and always reaps it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace merivac {

class ChildProcess {
 public:
  // Result of Read when nothing arrived within the waiting time.
  static constexpr int kTimedOut = -1;

  virtual ~ChildProcess() = default;
  // Waits up to timeoutMs for output and moves up to `max` bytes into buf.
  // Returns the bytes read (> 0), 0 once the output has ended (after that
  // every call waits timeoutMs and returns 0 again), or kTimedOut.
  virtual int Read(char* buf, int max, int timeoutMs) = 0;
  // Ends the process if it still runs, and everything it started in its
  // process group, and reaps it; safe to call twice.
  virtual void Terminate() = 0;
  // After Terminate: the exit status the process gave itself (0..255), or
  // kNoExitStatus when it was killed by a signal (a crash, or ended here
  // because it did not finish).
  virtual int ExitStatus() const = 0;
  static constexpr int kNoExitStatus = -1;
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  // Starts `executable` (a path; relative paths resolve against workDir)
  // with args (args[0] is the program name the child sees). Returns null and
  // sets *error when the process cannot be started.
  virtual std::unique_ptr<ChildProcess> Start(const std::string& executable,
                                              const std::vector<std::string>& args,
                                              const std::string& workDir, std::string* error) = 0;
};

// The real runner: posix_spawn, a pipe for standard output, poll for the
// waiting; standard input and standard error go to /dev/null.
class PosixProcessRunner final : public ProcessRunner {
 public:
  std::unique_ptr<ChildProcess> Start(const std::string& executable,
                                      const std::vector<std::string>& args,
                                      const std::string& workDir, std::string* error) override;
};

}  // namespace merivac
