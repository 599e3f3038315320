// ProcessRunnerTest.cpp - the real runner: argument vector without a shell,
// working folder, reading in blocks, failure to start.
#include <gtest/gtest.h>
#include <signal.h>

#include "codec/ProcessRunner.h"
#include "codec/bridge/Jt9Fixture.h"

namespace merivac {
namespace {

std::string ReadAll(ChildProcess& child) {
  std::string out;
  char buf[7];  // small blocks: output arrives over several reads
  for (int n; (n = child.Read(buf, sizeof buf, 1000)) != 0;) {
    if (n > 0) out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

// Alive and not a zombie.
bool Running(int pid) {
  const std::string stat = testing::ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}

TEST(PosixProcessRunner, PassesArgumentsVerbatimInTheWorkingFolder) {
  testing::ProgramFolder folder;
  folder.ReplaceTool("echo_args", "pwd; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done");
  PosixProcessRunner runner;
  std::string error;
  const std::string tricky = "CQ \"$(touch pwned)\" `id` ; *";
  auto child = runner.Start("wsjt/echo_args", {"wsjt/echo_args", tricky, ""}, folder.Str(), &error);
  ASSERT_TRUE(child) << error;
  const std::string out = ReadAll(*child);
  child->Terminate();
  const std::string cwd = std::filesystem::canonical(folder.Path()).string();
  EXPECT_EQ(out, cwd + "\n[" + tricky + "]\n[]\n");
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "pwned"));
}

TEST(PosixProcessRunner, MissingOrNonExecutableFileFailsToStart) {
  testing::ProgramFolder folder;
  PosixProcessRunner runner;
  std::string error;
  EXPECT_FALSE(runner.Start("wsjt/none", {"wsjt/none"}, folder.Str(), &error));
  EXPECT_NE(error.find("wsjt/none"), std::string::npos);
  { std::ofstream(folder.Path() / "wsjt" / "plain") << "not a program"; }
  EXPECT_FALSE(runner.Start("wsjt/plain", {"wsjt/plain"}, folder.Str(), &error));
}

TEST(PosixProcessRunner, ReadTimesOutWhileTheChildIsSilent) {
  testing::ProgramFolder folder;
  // A shell with a child of its own: both must go.
  folder.ReplaceTool("slow", "sleep 30 & echo $! > sleeper.txt; wait");
  PosixProcessRunner runner;
  std::string error;
  auto child = runner.Start("wsjt/slow", {"wsjt/slow"}, folder.Str(), &error);
  ASSERT_TRUE(child);
  char buf[16];
  EXPECT_EQ(child->Read(buf, sizeof buf, 20), ChildProcess::kTimedOut);
  while (!std::filesystem::exists(folder.Path() / "sleeper.txt") ||
         std::filesystem::file_size(folder.Path() / "sleeper.txt") == 0) {
    child->Read(buf, sizeof buf, 5);
  }
  child->Terminate();  // ends and reaps it at once
  child->Terminate();  // a second call is harmless
  const int sleeper = std::stoi(testing::ReadFile(folder.Path() / "sleeper.txt"));
  // The orphaned sleeper is reaped by whoever adopts it; dead is enough.
  for (int i = 0; i < 200 && Running(sleeper); ++i) child->Read(buf, sizeof buf, 5);
  EXPECT_FALSE(Running(sleeper));
}

}  // namespace
}  // namespace merivac
