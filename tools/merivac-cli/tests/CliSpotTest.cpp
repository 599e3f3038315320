// CliSpotTest.cpp - merivac-cli decode --spot: a synthesised recording
// decoded by the real jt9 and its CQ spotted through the program's library
// to a loopback collector, at dial + audio (+ mixer LO) frequency and with
// the recording's cycle start as the time; the argument errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "CliCommands.h"
#include "codec/bridge/Jt9Fixture.h"
#include "common/DateTime.h"
#include "support/LoopbackReceiver.h"
#include "support/PskReporterDatagram.h"

namespace merivac::cli {
namespace {

using merivac::testing::LoopbackReceiver;
using merivac::testing::ProgramFolder;

bool ToolsPresent() {
  return std::filesystem::exists(std::string(MERIVAC_WSJT_BIN) + "/jt9") &&
         std::filesystem::exists(std::string(MERIVAC_WSJT_BIN) + "/jt9code");
}

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

class CliSpotTest : public ::testing::Test {
 protected:
  CliSpotTest() { ::setenv("MERIVAC_PSKREPORTER", collector.HostPort().c_str(), 1); }
  ~CliSpotTest() override { ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1); }
  void AddLibrary() {
    std::filesystem::copy_file(std::string(MERIVAC_BINARY_DIR) + "/lib/libpskreporter.so",
                               folder.Path() / "libpskreporter.so");
  }
  std::string Synth(const std::string& name, const std::vector<std::string>& extra = {}) {
    const std::string path = (folder.Path() / name).string();
    std::vector<std::string> args = {"synth",
                                     "--folder",
                                     folder.Str(),
                                     "--mode",
                                     "1",
                                     "--tx",
                                     "1100:-15:CQ K1ABC FN42",
                                     "--tx",
                                     "1500:-15:W9XYZ K1ABC -15"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(path);
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 0) << r.err;
    return path;
  }

  LoopbackReceiver collector;
  ProgramFolder folder;
};

TEST_F(CliSpotTest, SpotsTheCqOfARecording) {
  if (!ToolsPresent()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  AddLibrary();
  // The cycle start comes from the file name.
  const struct {
    const char* name;
    std::vector<std::string> mixer;
    uint64_t hz;
  } cases[] = {{"dial", {}, 475300}, {"mixer", {"--mixer-lo", "2000"}, 477300}};
  for (const auto& c : cases) {
    const std::string wav = Synth("261209_1940.wav", c.mixer);
    std::vector<std::string> args = {"decode", "--folder", folder.Str(), "--mode", "1"};
    args.insert(args.end(), c.mixer.begin(), c.mixer.end());
    const CliRun plain = Cli([&] {
      auto a = args;
      a.push_back(wav);
      return a;
    }());
    EXPECT_EQ(plain.code, 0) << plain.err;
    EXPECT_FALSE(collector.Receive(200)) << c.name << ": without --spot nothing is sent";

    args.insert(args.end(), {"--spot", "DL1ABC:JO62", "--dial", "474200", wav});
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("spotted K1ABC FN42 " + std::to_string(c.hz) + " Hz"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("1 spot sent to PSK Reporter as DL1ABC"), std::string::npos) << r.out;

    const auto datagram = collector.Receive();
    ASSERT_TRUE(datagram) << c.name;
    merivac::testing::ipfix::Collector ipfix;
    merivac::testing::PskDatagram d;
    std::string error;
    ASSERT_TRUE(merivac::testing::ReadPskDatagram(ipfix, datagram->bytes, d, error)) << error;
    EXPECT_EQ(d.receiverCall, "DL1ABC");
    EXPECT_EQ(d.receiverLocator, "JO62");
    EXPECT_EQ(d.software, "Merivac 0.1.0.0.");
    ASSERT_EQ(d.heard.size(), 1u) << c.name;
    EXPECT_EQ(d.heard[0].call, "K1ABC");
    EXPECT_EQ(d.heard[0].locator, "FN42");
    EXPECT_EQ(d.heard[0].frequency, c.hz);
    EXPECT_EQ(d.heard[0].mode, "JT9");
    const double start = EncodeDateTime(2026, 12, 9, 19, 40);
    EXPECT_EQ(d.heard[0].time, static_cast<uint64_t>((start - 25569.0) * 86400.0 + 0.5));
    std::filesystem::remove(wav);
  }
}

TEST_F(CliSpotTest, ArgumentErrorsAndAMissingLibrary) {
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--spot", "DL1ABC:JO62", "261209_1940.wav"}, "--spot needs --dial"},
      {{"--spot", "DL1ABC", "--dial", "474200", "261209_1940.wav"}, "--spot must be CALL:GRID"},
      {{"--spot", "DL1ABC:JO6", "--dial", "474200", "261209_1940.wav"}, "--spot must be"},
      {{"--spot", "DL1ABC:JO62", "--dial", "0", "261209_1940.wav"}, "--dial must be"},
      {{"--spot", "DL1ABC:JO62", "--dial", "474200", "band.wav"}, "cycle start"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"decode", "--folder", folder.Str(), "--mode", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitUsage) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  // --utc gives the time when the name does not.
  if (!ToolsPresent()) return;
  const std::string wav = Synth("band.wav");
  const CliRun r = Cli({"decode", "--folder", folder.Str(), "--mode", "1", "--utc", "261209_1940",
                        "--spot", "DL1ABC:JO62", "--dial", "474200", wav});
  EXPECT_EQ(r.code, kExitFailed) << "the folder has no library";
  EXPECT_NE(r.err.find("PSK Reporter initialisation failed"), std::string::npos) << r.err;
  EXPECT_FALSE(collector.Receive(200));
}

}  // namespace
}  // namespace merivac::cli
