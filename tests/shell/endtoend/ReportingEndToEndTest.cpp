// ReportingEndToEndTest.cpp - a receive cycle of a whole station with
// spotting and broadcasting on: the band simulator plays a CQ with a grid,
// a four-word CQ and a report, the real jt9 decodes them through the real
// tick, and exactly the CQ with its grid reaches the loopback collector as a
// spot, at dial + audio frequency (+ the mixer's LO), as "JT9" or "JT9-10";
// as SWL with a two-character ID nothing is spotted. The UDP listener gets the open
// datagram, heartbeats, the three decodes and the closing datagram in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "StationRig.h"
#include "support/LoopbackReceiver.h"
#include "support/PskReporterDatagram.h"

namespace merivac::endtoend {
namespace {

using merivac::testing::LoopbackReceiver;

struct SpotCase {
  const char* name;
  uint32_t mode = 1;
  int cq = 1500, fourWords = 1200, report = 900;  // audio frequencies
  int32_t mixerLo = 0;                            // 0 = mixer off
  const char* swlId = nullptr;                    // report as SWL under this ID
  uint32_t spottedHz = 0;                         // 0 = nothing spotted
  const char* spottedMode = "JT9";
};

void PrintTo(const SpotCase& c, std::ostream* os) { *os << c.name; }

class ReportingEndToEnd : public ::testing::TestWithParam<SpotCase> {
 protected:
  ~ReportingEndToEnd() override { ::setenv("MERIVAC_PSKREPORTER", "127.0.0.1:9", 1); }
};

TEST_P(ReportingEndToEnd, OnlyTheCqWithAGridIsSpotted) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  const SpotCase& c = GetParam();
  LoopbackReceiver collector;
  LoopbackReceiver listener;
  ::setenv("MERIVAC_PSKREPORTER", collector.HostPort().c_str(), 1);

  const double boundary = EncodeDateTime(2026, 3, 1, 12, 0);
  ManualClock clock;
  SimTime time(clock, boundary - 0.987 / kSecondsPerDay);
  merivac::testing::TempDir scenarioDir;
  const std::string scenario = (scenarioDir.Path() / "band.txt").string();
  const int32_t lo = c.mixerLo;
  const uint32_t mode = c.mode;
  std::ofstream(scenario) << "noise 1000\nseed 11\n"
                          << "signal mode=" << mode << " freq=" << lo + c.cq
                          << " snr=-18 message=\"CQ K1ABC FN42\"\n"
                          << "signal mode=" << mode << " freq=" << lo + c.fourWords
                          << " snr=-18 message=\"CQ DX W9XYZ EN37\"\n"
                          << "signal mode=" << mode << " freq=" << lo + c.report
                          << " snr=-18 message=\"W9XYZ K1ABC -15\"\n";
  AudioDeviceOptions audio;
  audio.soundCards = false;
  audio.bandScenarioPath = scenario;
  StationRig rig(clock, audio);
  std::filesystem::copy_file(std::string(MERIVAC_BINARY_DIR) + "/lib/libpskreporter.so",
                             rig.Dir().Path() / "libpskreporter.so");
  StationSetup setup;
  setup.call = "DL1ABC";
  setup.grid = "JO62";
  setup.input = "Band simulator";
  setup.output = "WAV recorder";
  setup.mode = mode;
  setup.freq = static_cast<uint16_t>(c.cq);
  setup.mixerEnabled = lo != 0;
  setup.mixerLo = lo;
  setup.adjust = [&](Settings& s) {
    s.dialFreq = 474200;
    s.discardRxLimits = true;  // JT9-1 decodes only up to 1400 Hz otherwise
    s.pskEnabled = true;
    s.pskSwl = c.swlId != nullptr;
    s.pskId = c.swlId != nullptr ? c.swlId : "";
    s.udpEnabled = true;
    s.udpAddress = "127.0.0.1";
    s.udpPort = listener.Port();
  };
  rig.Start(setup);
  if (HasFatalFailure()) return;
  Station& s = rig.S();
  ASSERT_TRUE(s.GetReporting().PskActive());

  const double decodeAt = boundary + (DecodeStartSeconds(mode) + 0.2) / kSecondsPerDay;
  while (time.Now() < decodeAt) {
    time.Step();
    s.Tick();
  }
  const std::string shown = StationRig::Dump(s.BandMemo());
  ASSERT_EQ(StationRig::Decodes(s.BandMemo()).size(), 3u) << shown;

  // Spots go out when the library is released at the end of the program.
  EXPECT_FALSE(collector.Receive(200)) << "nothing before the library's interval";
  s.SaveSettingsOnClose(0, 0);
  s.Close();
  const auto datagram = collector.Receive(1000);
  if (c.spottedHz == 0) {
    EXPECT_FALSE(datagram) << "nothing spotted";
  } else {
    ASSERT_TRUE(datagram) << shown;
    merivac::testing::ipfix::Collector ipfix;
    merivac::testing::PskDatagram d;
    std::string error;
    ASSERT_TRUE(merivac::testing::ReadPskDatagram(ipfix, datagram->bytes, d, error)) << error;
    EXPECT_EQ(d.receiverCall, "DL1ABC");
    EXPECT_EQ(d.receiverLocator, "JO62");
    ASSERT_EQ(d.heard.size(), 1u) << shown;
    EXPECT_EQ(d.heard[0].call, "K1ABC");
    EXPECT_EQ(d.heard[0].locator, "FN42");
    EXPECT_EQ(d.heard[0].frequency, c.spottedHz);
    EXPECT_EQ(d.heard[0].mode, c.spottedMode);
    EXPECT_GE(d.heard[0].snr, -28);
    EXPECT_LE(d.heard[0].snr, -10);
    EXPECT_FALSE(collector.Receive(200)) << "one datagram";
  }

  // The listener: open, heartbeats, the three decodes by frequency, close.
  std::vector<std::string> got;
  for (const auto& g : listener.ReceiveAll()) got.push_back(g.bytes);
  ASSERT_GE(got.size(), 6u);
  EXPECT_EQ(got.front(), "Merivac|0.1.0.0.|O|");
  EXPECT_EQ(got[1], "Merivac|0.1.0.0.|H|");
  EXPECT_EQ(got.back(), "Merivac|0.1.0.0.|C|");
  std::vector<std::string> decodes;
  for (const std::string& g : got) {
    if (g.rfind("Merivac|0.1.0.0.|M|", 0) == 0) decodes.push_back(g);
  }
  ASSERT_EQ(decodes.size(), 3u);
  const auto rf = [&](int audioHz) {
    std::string digits = std::to_string(474200 + lo + audioHz);
    return std::string(9 - digits.size(), '0') + digits;
  };
  // The time is the cycle's start minute (the local time less mode - 1
  // minutes); the message text goes as stored, with jt9's padding blanks.
  const std::string prefix = "Merivac|0.1.0.0.|M|ooooooo|1200|";
  const std::string mark(1, ModeChar(mode));
  const struct {
    int audio;
    const char* message;
  } expected[] = {
      {c.report, "W9XYZ K1ABC -15"}, {c.fourWords, "CQ DX W9XYZ EN37"}, {c.cq, "CQ K1ABC FN42"}};
  for (size_t i = 0; i < 3; ++i) {
    const std::string& m = decodes[i];
    EXPECT_EQ(m.rfind(prefix, 0), 0u) << m;
    EXPECT_NE(m.find("|" + rf(expected[i].audio) + "|" + mark + "|" + expected[i].message),
              std::string::npos)
        << m;
    EXPECT_EQ(m.back(), '|') << m;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Spots, ReportingEndToEnd,
    ::testing::Values(SpotCase{"Dial", 1, 1500, 1200, 900, 0, nullptr, 475700},
                      SpotCase{"Mixer", 1, 1500, 1200, 900, 2000, nullptr, 477700},
                      SpotCase{"SwlTwoCharacterId", 1, 1500, 1200, 900, 0, "AB", 0},
                      SpotCase{"Jt9_10", 10, 380, 300, 220, 0, nullptr, 474580, "JT9-10"}),
    [](const ::testing::TestParamInfo<SpotCase>& p) { return p.param.name; });

}  // namespace
}  // namespace merivac::endtoend
