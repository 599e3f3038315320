// BandSimulatorDecodeTest.cpp - the band simulator's signal is real JT9:
// one JT9-1 cycle with a message encoded by jt9code, averaged 4:1 to
// 12000 samples per second, decodes with jt9 at about the SNR asked for.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/BandSimulator.h"
#include "SignalMeasure.h"
#include "support/TempDir.h"

extern char** environ;

namespace merivac {
namespace {

// Runs a program without a shell, its standard output into outPath.
int RunProgram(const std::vector<std::string>& args, const std::string& outPath) {
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The "Channel symbols" of jt9code's output.
std::optional<std::array<uint8_t, 85>> Encode(const std::string& message, const std::string& dir) {
  const std::string out = dir + "/jt9code.txt";
  if (RunProgram({std::string(MERIVAC_WSJT_BIN) + "/jt9code", message}, out) != 0) return std::nullopt;
  std::ifstream in(out);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t at = text.find("Channel symbols");
  if (at == std::string::npos) return std::nullopt;
  std::istringstream rest(text.substr(at + 15));
  std::array<uint8_t, 85> s{};
  for (auto& v : s) {
    int x = -1;
    if (!(rest >> x) || x < 0 || x > 8) return std::nullopt;
    v = static_cast<uint8_t>(x);
  }
  return s;
}

void Write12k(const std::string& path, const std::vector<int16_t>& x) {
  std::string b;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i)); };
  auto u16 = [&](uint16_t v) { b += static_cast<char>(v), b += static_cast<char>(v >> 8); };
  b += "RIFF";
  u32(static_cast<uint32_t>(36 + 2 * x.size()));
  b += "WAVEfmt ";
  u32(16), u16(1), u16(1), u32(12000), u32(24000), u16(2), u16(16);
  b += "data";
  u32(static_cast<uint32_t>(2 * x.size()));
  for (int16_t s : x) u16(static_cast<uint16_t>(s));
  std::ofstream(path, std::ios::binary) << b;
}

// jt9's JT9 SNR estimate reads 1 to 4 dB below the SNR in 2500 Hz that the
// simulator makes (and that the simulator's own tests measure exactly).
void ExpectJt9Snr(int reported, int requested, const std::string& line) {
  EXPECT_GE(reported, requested - 5) << line;
  EXPECT_LE(reported, requested + 1) << line;
}

TEST(BandSimulatorDecodeTest, Jt9DecodesTheSimulatedBand) {
  const std::string jt9 = std::string(MERIVAC_WSJT_BIN) + "/jt9";
  if (!std::filesystem::exists(jt9)) GTEST_SKIP() << jt9 << " is not installed";
  testing::TempDir dir;
  const std::string scenario = (dir.Path() / "band.txt").string();
  std::ofstream(scenario) << "noise 1000\nsignal mode=1 freq=1225 snr=-20 message=\"CQ K1ABC FN42\"\n"
                             "signal mode=1 freq=800 snr=-14 message=\"K1ABC W9XYZ EN37\"\n";
  ManualClock clock(EncodeDateTime(2026, 3, 1, 12, 0));
  const double utcOffset = 0;
  BandSimulator sim(clock, scenario, utcOffset, [&](const std::string& m) { return Encode(m, dir.Str()); });
  std::string error;
  ASSERT_TRUE(sim.Open(error)) << error;
  InputChannel* in = sim.Start(error);
  ASSERT_NE(in, nullptr);
  const std::vector<int16_t> x = testing::Record(*in, clock, 60.0, 0.05);
  std::vector<int16_t> y(720000);
  for (size_t k = 0; k < y.size() && 4 * k + 3 < x.size(); ++k) {
    y[k] = static_cast<int16_t>((x[4 * k] + x[4 * k + 1] + x[4 * k + 2] + x[4 * k + 3]) / 4);
  }
  const std::string wav = (dir.Path() / "260301_1200.wav").string();
  Write12k(wav, y);
  const std::string out = (dir.Path() / "jt9.txt").string();
  ASSERT_EQ(RunProgram({jt9, "-9", "-d", "3", "-H", "1400", "-S", "400", "-a", dir.Str(), "-t", dir.Str(), wav}, out), 0);
  const std::string text = testing::ReadFile(out);
  std::istringstream lines(text);
  std::string line;
  int found = 0;
  while (std::getline(lines, line)) {
    // "1200 -18  0.0 1225 @ CQ K1ABC FN42"
    std::istringstream f(line);
    std::string utc, mark;
    int snr = 0, freq = 0;
    double dt = 0;
    if (!(f >> utc >> snr >> dt >> freq >> mark)) continue;
    std::string msg;
    std::getline(f, msg);
    msg = msg.substr(msg.find_first_not_of(' '));
    if (msg.rfind("CQ K1ABC FN42", 0) == 0) {
      ++found;
      ExpectJt9Snr(snr, -20, line);
      EXPECT_NEAR(freq, 1225, 2) << line;
      EXPECT_NEAR(dt, 0.0, 0.5) << line;  // 1 s into the cycle is jt9's DT 0
    } else if (msg.rfind("K1ABC W9XYZ EN37", 0) == 0) {
      ++found;
      ExpectJt9Snr(snr, -14, line);
      EXPECT_NEAR(freq, 800, 2) << line;
    }
  }
  EXPECT_EQ(found, 2) << text;
}

}  // namespace
}  // namespace merivac
