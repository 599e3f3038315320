// CliProcessTest.cpp - merivac-cli as its own process: decodes running side
// by side in one program folder, a decode stopped by a signal, and a
// recording that claims to be enormous, under a memory limit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CliCommands.h"
#include "codec/bridge/Jt9Fixture.h"

namespace merivac::cli {
namespace {

namespace fs = std::filesystem;
using testing::ProgramFolder;
using testing::ReadFile;

const fs::path kCli = fs::path(MERIVAC_BINARY_DIR) / "tools" / "merivac-cli" / "merivac-cli";

struct Child {
  pid_t pid = -1;
  fs::path out, err;
};

// Starts merivac-cli with args; output to files in dir. memoryLimit (bytes,
// 0 = none) caps its address space.
Child Start(const std::vector<std::string>& args, const fs::path& dir, const std::string& tag,
            const std::string& tmpdir = {}, rlim_t memoryLimit = 0, const fs::path& cwd = {}) {
  Child c;
  c.out = dir / (tag + ".out");
  c.err = dir / (tag + ".err");
  std::vector<std::string> argvStrings = {kCli.string()};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = c.out.string(), err = c.err.string();
  c.pid = fork();
  if (c.pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(o, 1);
    ::dup2(e, 2);
    if (!tmpdir.empty()) ::setenv("TMPDIR", tmpdir.c_str(), 1);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
    if (memoryLimit != 0) {
      const rlimit limit{memoryLimit, memoryLimit};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return c;
}

int Wait(const Child& c) {
  int status = 0;
  ::waitpid(c.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Alive(int pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}

class CliProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kCli)) GTEST_SKIP() << kCli << " is not built";
  }
  std::string Synth(const std::string& name, const std::string& tx) {
    const std::string path = (folder.Path() / name).string();
    std::ostringstream out, err;
    EXPECT_EQ(
        RunCli({"synth", "--folder", folder.Str(), "--mode", "1", "--tx", tx, path}, out, err), 0)
        << err.str();
    return path;
  }
  ProgramFolder folder;
};

// Two decodes of two recordings at once, in the same program folder: each
// prints its own recording's decode.
TEST_F(CliProcessTest, DecodesSideBySideDoNotMix) {
  const std::string a = Synth("a.wav", "1100:-12:CQ K1ABC FN42");
  const std::string b = Synth("b.wav", "1300:-12:CQ W9XYZ EN37");
  const std::vector<std::string> common = {"decode",     "--mode", "1",          "--folder",
                                           folder.Str(), "--utc",  "261209_1940"};
  auto args = [&](const std::string& file) {
    std::vector<std::string> v = common;
    v.push_back(file);
    return v;
  };
  const Child ca = Start(args(a), folder.Path(), "a");
  const Child cb = Start(args(b), folder.Path(), "b");
  EXPECT_EQ(Wait(ca), 0) << ReadFile(ca.err);
  EXPECT_EQ(Wait(cb), 0) << ReadFile(cb.err);
  const std::string outA = ReadFile(ca.out), outB = ReadFile(cb.out);
  EXPECT_NE(outA.find("CQ K1ABC FN42"), std::string::npos) << outA;
  EXPECT_EQ(outA.find("W9XYZ"), std::string::npos) << outA;
  EXPECT_NE(outB.find("CQ W9XYZ EN37"), std::string::npos) << outB;
  EXPECT_EQ(outB.find("K1ABC"), std::string::npos) << outB;
  // Nothing of theirs is left in the program folder's save/.
  EXPECT_TRUE(fs::is_empty(folder.Path() / "save"));
}

// Run inside the program folder, without --folder: the tools are found
// relative to it.
TEST_F(CliProcessTest, DecodesInTheProgramFolderItself) {
  Synth("in.wav", "1100:-12:CQ K1ABC FN42");
  const Child c = Start({"decode", "--mode", "1", "in.wav"}, folder.Path(), "here", {}, 0,
                        folder.Path());
  EXPECT_EQ(Wait(c), 0) << ReadFile(c.err);
  EXPECT_NE(ReadFile(c.out).find("CQ K1ABC FN42"), std::string::npos) << ReadFile(c.err);
}

// SIGTERM during the decoder's run: the decoder is ended, the temporary
// recording removed, and the exit status tells the signal.
TEST_F(CliProcessTest, SignalEndsTheDecoderAndRemovesTheRecording) {
  const std::string in = Synth("in.wav", "1100:-12:CQ K1ABC FN42");
  folder.ReplaceTool("jt9_copy", "echo $$ > decoder.pid; exec sleep 30");
  testing::TempDir tmp;
  const Child c =
      Start({"decode", "--mode", "1", "--folder", folder.Str(), in}, folder.Path(), "c", tmp.Str());
  const fs::path pidFile = folder.Path() / "wsjt" / "decoder.pid";
  for (int i = 0; i < 500 && (!fs::exists(pidFile) || fs::file_size(pidFile) == 0); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(fs::exists(pidFile)) << ReadFile(c.err);
  const int decoder = std::stoi(ReadFile(pidFile));
  EXPECT_FALSE(fs::is_empty(tmp.Path()));  // the recording is there meanwhile
  ::kill(c.pid, SIGTERM);
  EXPECT_EQ(Wait(c), 128 + SIGTERM);
  EXPECT_TRUE(fs::is_empty(tmp.Path()));
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    gone = !Alive(decoder);
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone) << "the decoder still runs";
}

// A 2 GB recording (sparse, so the test costs no disk): decode reads only
// the one cycle it needs, so it works under a memory limit of 1 GB.
TEST_F(CliProcessTest, EnormousRecordingNeedsNoEnormousMemory) {
  const std::string path = (folder.Path() / "big.wav").string();
  {
    std::ofstream f(path, std::ios::binary);
    auto put32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    put32(0xFFFFFFF0u);
    f.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(48000);
    put32(96000);
    put16(2);
    put16(16);
    f.write("data", 4);
    put32(0x80000000u);
  }
  fs::resize_file(path, 44 + 0x80000000ull);
  const Child c = Start({"decode", "--mode", "1", "--folder", folder.Str(), path}, folder.Path(),
                        "big", {}, 1024ull * 1024 * 1024);
  EXPECT_EQ(Wait(c), 0) << ReadFile(c.err);
}

}  // namespace
}  // namespace merivac::cli
