// ProgramSignalsTest.cpp - the real program, started offscreen in a program
// folder of its own, ends cleanly on SIGTERM, SIGINT and SIGHUP: settings
// saved, the "terminated" line written, exit status 0 - and when the
// settings cannot be saved it says so on standard error instead of waiting
// for a click on a dialog nobody sees.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using merivac::testing::ReadFile;
using merivac::testing::TempDir;

const fs::path kProgram = fs::path(MERIVAC_BINARY_DIR) / "app" / "merivac";

struct ProgramRun {
  pid_t pid = -1;
  int status = -1;
  bool exited = false;
};

// Starts the program in `folder` with its output in folder/out.txt.
pid_t StartProgram(const fs::path& folder) {
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "MERIVAC_DEBUG=1",
                                  "HOME=" + folder.string(), "XDG_RUNTIME_DIR=/tmp",
                                  "PATH=/usr/bin:/bin"};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  const std::string out = (folder / "out.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::string exe = kProgram.string();
  char* argv[] = {exe.data(), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// Waits up to `seconds` for the program to end.
ProgramRun WaitForExit(pid_t pid, double seconds) {
  ProgramRun r;
  r.pid = pid;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (waitpid(pid, &r.status, WNOHANG) == pid) {
      r.exited = true;
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return r;
}

bool WaitForText(const fs::path& file, const std::string& text, double seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (fs::exists(file) && ReadFile(file).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

struct SignalCase {
  int sig;
  bool settingsWritable;
  // Sent once start-up is done; otherwise while the Logbook dialog of
  // start-up counts down.
  bool afterStartUp;
};

TEST(ProgramSignals, CloseSignalsEndTheProgramCleanly) {
  if (!fs::exists(kProgram)) GTEST_SKIP() << kProgram << " is not built";
  const SignalCase cases[] = {{SIGTERM, true, false},
                              {SIGINT, true, false},
                              {SIGHUP, true, false},
                              {SIGTERM, false, true},
                              {SIGHUP, false, true}};
  for (const SignalCase& c : cases) {
    SCOPED_TRACE(std::string(strsignal(c.sig)) + (c.settingsWritable ? "" : ", unwritable") +
                 (c.afterStartUp ? ", after start-up" : ", during start-up"));
    TempDir dir;
    // A directory in the settings file's place makes every save fail.
    if (!c.settingsWritable) fs::create_directories(dir.Path() / "Merivac.set");
    const pid_t pid = StartProgram(dir.Path());
    ASSERT_GT(pid, 0);
    const fs::path log = dir.Path() / "extra" / "debug.txt";
    const std::string awaited = c.afterStartUp ? "Activating application done" : "";
    if (!WaitForText(log, awaited, 30)) {
      kill(pid, SIGKILL);
      WaitForExit(pid, 5);
      FAIL() << "the program did not start:\n" << ReadFile(dir.Path() / "out.txt");
    }
    if (!c.afterStartUp) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(pid, c.sig);
    const ProgramRun r = WaitForExit(pid, 10);
    if (!r.exited) {
      kill(pid, SIGKILL);
      WaitForExit(pid, 5);
      FAIL() << "the program did not end";
    }
    EXPECT_TRUE(WIFEXITED(r.status)) << "ended by a signal: " << WTERMSIG(r.status);
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
    EXPECT_NE(ReadFile(log).find("********** Merivac terminated **********"), std::string::npos);
    const std::string out = ReadFile(dir.Path() / "out.txt");
    if (c.settingsWritable) {
      EXPECT_TRUE(fs::is_regular_file(dir.Path() / "Merivac.set"));
      EXPECT_EQ(out.find("Failed to save"), std::string::npos) << out;
    } else {
      EXPECT_NE(out.find("Failed to save the settings"), std::string::npos) << out;
      EXPECT_TRUE(fs::is_directory(dir.Path() / "Merivac.set"));
    }
  }
}

// Started under nohup (SIGHUP ignored), the program ignores a hangup and
// still ends cleanly on SIGTERM.
TEST(ProgramSignals, IgnoredHangupStaysIgnored) {
  if (!fs::exists(kProgram)) GTEST_SKIP() << kProgram << " is not built";
  TempDir dir;
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGHUP, &ignore, &previous);
  const pid_t pid = StartProgram(dir.Path());
  sigaction(SIGHUP, &previous, nullptr);
  ASSERT_GT(pid, 0);
  const fs::path log = dir.Path() / "extra" / "debug.txt";
  ASSERT_TRUE(WaitForText(log, "Activating application done", 30));
  kill(pid, SIGHUP);
  EXPECT_FALSE(WaitForExit(pid, 1.0).exited) << "a hangup ended the program under nohup";
  kill(pid, SIGTERM);
  const ProgramRun r = WaitForExit(pid, 10);
  ASSERT_TRUE(r.exited);
  EXPECT_TRUE(WIFEXITED(r.status));
}

}  // namespace
