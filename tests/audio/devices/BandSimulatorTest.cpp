// BandSimulatorTest.cpp - the simulated band: timing, tones, SNR, cycle
// choice, pause, and the scenario file's errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "audio/AudioDevicesSetup.h"
#include "audio/BandSimulator.h"
#include "common/DebugLog.h"
#include "common/Mode.h"
#include "SignalMeasure.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::MeanPower;
using testing::Record;
using testing::ToneAmplitude;

std::string Symbols(const std::array<uint8_t, 85>& s) {
  std::string t;
  for (uint8_t v : s) t += static_cast<char>('0' + v);
  return t;
}

std::array<uint8_t, 85> Pattern() {
  std::array<uint8_t, 85> s{};
  for (size_t k = 0; k < 85; ++k) s[k] = static_cast<uint8_t>((k * 5 + k / 9) % 9);
  return s;
}

class BandSimulatorTest : public ::testing::Test {
 protected:
  // Opens a simulator on the scenario text; the clock stands at 12:00:00 UTC
  // minus `lead` seconds (12:00 starts a first cycle in every mode).
  InputChannel* Start(const std::string& scenario, double lead = 0.0, SymbolEncoder encoder = {}) {
    path = (dir.Path() / "band.txt").string();
    std::ofstream(path) << scenario;
    clock.Set(EncodeDateTime(2026, 3, 1, 12, 0) + utcOffset / 24.0 - lead / kSecondsPerDay);
    sim = std::make_unique<BandSimulator>(clock, path, utcOffset, std::move(encoder));
    std::string error;
    EXPECT_TRUE(sim->Open(error)) << error;
    return sim->Start(error);
  }

  testing::TempDir dir;
  std::string path;
  ManualClock clock;
  double utcOffset = 2.0;  // local time two hours ahead of UTC
  std::unique_ptr<BandSimulator> sim;
};

TEST_F(BandSimulatorTest, TransmissionStartsOneSecondIntoTheCycleAtItsTones) {
  const auto sym = Pattern();
  InputChannel* in = Start("noise 100\nsignal mode=1 freq=1000 snr=20 symbols=" + Symbols(sym) + "\n");
  ASSERT_NE(in, nullptr);
  const std::vector<int16_t> x = Record(*in, clock, 60.0);
  // The manual clock counts days, so 120 steps of 0.5 s may end a sample or two off.
  ASSERT_NEAR(static_cast<double>(x.size()), 60.0 * 48000, 8);
  const double spacing = 12000.0 / 6912;
  const double f0 = 1000 + sym[0] * spacing;
  const double a = SignalAmplitude(20, 100);
  // 10 ms windows just before and just after 1.0 s.
  EXPECT_LT(ToneAmplitude(x, 48000 - 960, 480, f0), 0.1 * a);
  EXPECT_NEAR(ToneAmplitude(x, 48000 + 480, 480, f0), a, 0.1 * a);
  // Each whole symbol holds exactly one of the nine orthogonal tones.
  const size_t symLen = 4 * 6912;
  for (size_t k = 0; k < 85; ++k) {
    int best = -1;
    double bestAmp = 0;
    for (int t = 0; t < 9; ++t) {
      const double amp = ToneAmplitude(x, 48000 + k * symLen, symLen, 1000 + t * spacing);
      if (amp > bestAmp) bestAmp = amp, best = t;
    }
    ASSERT_EQ(best, sym[k]) << "symbol " << k;
    EXPECT_NEAR(bestAmp, a, 0.02 * a);
  }
  // After the 85 symbols only noise remains.
  const size_t end = 48000 + 85 * symLen;
  EXPECT_LT(ToneAmplitude(x, end + 480, 4800, 1000 + sym[84] * spacing), 0.1 * a);
}

struct SnrCase {
  uint32_t mode;
  double snr;
};

TEST_F(BandSimulatorTest, MeasuredSnrIn2500HzMatchesTheRequest) {
  for (const SnrCase c : {SnrCase{1, -10}, SnrCase{1, -20}, SnrCase{2, -15}, SnrCase{1, 3}}) {
    const std::string zeros(85, '0');  // one steady tone over the whole transmission
    InputChannel* in = Start("noise 800\nseed 7\nsignal mode=" + std::to_string(c.mode) +
                             " freq=1500 snr=" + std::to_string(c.snr) + " symbols=" + zeros + "\n");
    ASSERT_NE(in, nullptr);
    const double tx = TransmissionSeconds(c.mode);
    const std::vector<int16_t> x = Record(*in, clock, std::ceil(tx + 1.0));
    const size_t n = static_cast<size_t>(tx * 48000);
    const double a = ToneAmplitude(x, 48000, n, 1500);
    const double noise = MeanPower(x, 0, 48000);  // the first second is noise only
    const double measured = 10 * std::log10((a * a / 2) / (noise * 2500.0 / 24000.0));
    EXPECT_NEAR(measured, c.snr, 0.5) << "JT9-" << c.mode << " at " << c.snr << " dB";
    EXPECT_NEAR(std::sqrt(noise), 800, 16);
  }
}

TEST_F(BandSimulatorTest, SignalsPlayOnlyInTheirCycles) {
  const std::string zeros(85, '0');
  // 12:00 UTC is a first cycle, 12:01 a second one, 12:02 a first one.
  InputChannel* in = Start("noise 100\n"
                           "signal freq=800 snr=10 cycles=first symbols=" + zeros + "\n"
                           "signal freq=1200 snr=10 cycles=second symbols=" + zeros + "\n"
                           "signal freq=1600 snr=10 cycles=260301_1202 symbols=" + zeros + "\n"
                           "signal mode=2 freq=2000 snr=10 cycles=all symbols=" + zeros + "\n");
  ASSERT_NE(in, nullptr);
  const std::vector<int16_t> x = Record(*in, clock, 180.0);
  const double a = SignalAmplitude(10, 100);
  auto present = [&](int minute, double f) {
    return ToneAmplitude(x, static_cast<size_t>(minute * 60 + 10) * 48000, 48000, f) > 0.5 * a;
  };
  EXPECT_TRUE(present(0, 800));
  EXPECT_FALSE(present(1, 800));
  EXPECT_TRUE(present(2, 800));
  EXPECT_FALSE(present(0, 1200));
  EXPECT_TRUE(present(1, 1200));
  EXPECT_FALSE(present(0, 1600));
  EXPECT_FALSE(present(1, 1600));
  EXPECT_TRUE(present(2, 1600));
  // JT9-2 cycles start at even minutes and last 2 minutes (113 s of signal).
  EXPECT_TRUE(present(0, 2000));
  EXPECT_TRUE(present(1, 2000));
  EXPECT_TRUE(present(2, 2000));
}

TEST_F(BandSimulatorTest, StartingMidCycleJoinsTheTransmissionInStep) {
  const auto sym = Pattern();
  // Start 30 s before 12:00: the first half minute is the tail of an 11:59 cycle (second).
  InputChannel* in = Start("noise 100\nsignal freq=1000 snr=20 cycles=first symbols=" + Symbols(sym) + "\n", 30.0);
  const std::vector<int16_t> x = Record(*in, clock, 60.0);
  const double spacing = 12000.0 / 6912;
  const double a = SignalAmplitude(20, 100);
  const size_t start = 31 * 48000;  // 12:00:01
  EXPECT_LT(ToneAmplitude(x, start - 4800, 4800, 1000 + sym[0] * spacing), 0.1 * a);
  EXPECT_NEAR(ToneAmplitude(x, start, 4 * 6912, 1000 + sym[0] * spacing), a, 0.02 * a);
}

TEST_F(BandSimulatorTest, InputFollowsTheClockAndStopsWhilePaused) {
  InputChannel* in = Start("noise 100\n");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->WaitingBytes(), 0u);
  clock.AdvanceSeconds(1.0);
  EXPECT_EQ(in->WaitingBytes(), 96000u);
  clock.AdvanceSeconds(0.05);
  EXPECT_EQ(in->WaitingBytes(), 100800u);
  in->Pause();
  clock.AdvanceSeconds(2.0);
  EXPECT_EQ(in->WaitingBytes(), 100800u);
  in->Resume();
  clock.AdvanceSeconds(0.5);
  EXPECT_EQ(in->WaitingBytes(), 148800u);
  // The buffer holds 5 s; beyond that input is lost but the count stays sane.
  clock.AdvanceSeconds(30.0);
  EXPECT_EQ(in->WaitingBytes(), 480000u);
  std::vector<int16_t> buf(240000);
  EXPECT_EQ(in->Read(buf.data(), 480000), 480000u);
  EXPECT_EQ(in->WaitingBytes(), 0u);
}

TEST_F(BandSimulatorTest, MessagesGoThroughTheEncoder) {
  const auto sym = Pattern();
  std::vector<std::string> asked;
  SymbolEncoder encoder = [&](const std::string& m) -> std::optional<std::array<uint8_t, 85>> {
    asked.push_back(m);
    if (m == "BAD") return std::nullopt;
    return sym;
  };
  BandScenario sc;
  std::string error;
  ASSERT_TRUE(ParseBandScenario("signal freq=1000 snr=-20 message=\"CQ K1ABC FN42\" # comment\n", encoder, sc, error))
      << error;
  ASSERT_EQ(sc.transmissions.size(), 1u);
  EXPECT_EQ(sc.transmissions[0].message, "CQ K1ABC FN42");
  EXPECT_EQ(sc.transmissions[0].symbols, sym);
  EXPECT_EQ(asked, std::vector<std::string>{"CQ K1ABC FN42"});
  EXPECT_FALSE(ParseBandScenario("\nsignal freq=1000 snr=-20 message=BAD\n", encoder, sc, error));
  EXPECT_EQ(error, "line 2: the encoder cannot encode \"BAD\"");
}

TEST(BandScenarioTest, ErrorsNameTheLine) {
  const std::string ok(85, '1');
  const struct {
    std::string text, error;
  } cases[] = {
      {"noise\n", "line 1: noise takes one rms value from 0 to 10000"},
      {"# band\n\nnoise -3\n", "line 3: noise takes one rms value from 0 to 10000"},
      {"seed x\n", "line 1: seed takes one whole number"},
      {"sigal freq=1\n", "line 1: unknown line \"sigal\" (noise, seed or signal expected)"},
      {"signal freq=1000 snr=-10\n", "line 1: a signal needs either symbols= or message="},
      {"signal snr=-10 symbols=" + ok + "\n", "line 1: a signal needs freq= and snr="},
      {"signal freq=1000 snr=-10 frq=3 symbols=" + ok + "\n", "line 1: unknown key \"frq\""},
      {"signal freq=1000 snr=-10 symbols=123\n", "line 1: symbols must be 85 digits 0 to 8"},
      {"signal freq=1000 snr=-10 symbols=" + std::string(84, '1') + "9\n", "line 1: symbols must be 85 digits 0 to 8"},
      {"signal mode=3 freq=1000 snr=-10 symbols=" + ok + "\n", "line 1: mode must be 1, 2, 5 or 10"},
      {"signal freq=abc snr=-10 symbols=" + ok + "\n", "line 1: freq must be a frequency in Hz above 0"},
      {"signal freq=1000 snr=99 symbols=" + ok + "\n", "line 1: snr must be a number of dB from -60 to 60"},
      {"signal freq=23999 snr=0 symbols=" + ok + "\n", "line 1: the tones must stay below 24000 Hz"},
      {"signal freq=1000 snr=0 dt=11.1 symbols=" + ok + "\n", "line 1: dt leaves no room for the transmission in the cycle"},
      {"signal freq=1000 snr=0 cycles=odd symbols=" + ok + "\n",
       "line 1: cycles must be all, first, second or UTC cycle starts yymmdd_hhnn"},
      {"signal mode=2 freq=1000 snr=0 cycles=260301_1201 symbols=" + ok + "\n",
       "line 1: 260301_1201 is not the start of a JT9-2 cycle"},
      {"signal freq=1000 snr=0 message=\"CQ\n", "line 1: unterminated quote"},
      {"signal freq=1000 snr=0 message=CQ\n", "line 1: messages need the encoder; give symbols= instead"},
      {"signal freq=1000 snr=0 message=CQ symbols=" + ok + "\n", "line 1: a signal needs either symbols= or message="},
      {"signal freq=1000 snr=0 symbols=" + ok + "\nnoise 0\n", "line 1: an SNR needs noise above 0"},
  };
  for (const auto& c : cases) {
    BandScenario sc;
    std::string error;
    EXPECT_FALSE(ParseBandScenario(c.text, {}, sc, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
  BandScenario sc;
  std::string error;
  EXPECT_TRUE(ParseBandScenario("noise 0\n", {}, sc, error));
  EXPECT_TRUE(ParseBandScenario("signal mode=10 freq=400 snr=-28 dt=12 cycles=260301_1200,260301_1220 symbols=" + ok,
                                {}, sc, error))
      << error;
  EXPECT_EQ(sc.transmissions.at(0).cycleStarts.size(), 2u);
}

TEST(BandSimulatorDeviceTest, BadScenarioFailsToOpenWithTheLineInTheLog) {
  testing::TempDir dir;
  ManualClock clock;
  bool on = true;
  DebugLog log(clock, on);
  log.Open((dir.Path() / "debug.txt").string());
  const std::string path = (dir.Path() / "band.txt").string();
  std::ofstream(path) << "noise 100\nsignal freq=1000\n";
  Settings s;
  AudioDeviceOptions o;
  o.soundCards = false;
  o.bandScenarioPath = path;
  auto devices = CreateAudioDevices(s, clock, &log, o);
  s.inputDevice = devices->FindInput("Band simulator");
  ASSERT_EQ(s.inputDevice, 0);
  const AudioStartupResult r = OpenAudioDevicesAtStartup(*devices, nullptr);
  EXPECT_EQ(r.status, 1);
  const std::string why = "Band simulator: " + path + " line 2: a signal needs freq= and snr=";
  EXPECT_NE(std::find(r.report.begin(), r.report.end(), why), r.report.end());
  EXPECT_NE(testing::ReadFile(dir.Path() / "debug.txt").find(why), std::string::npos);
  EXPECT_EQ(devices->Input(), nullptr);

  std::filesystem::remove(path);
  s.inputDevice = 0;
  EXPECT_EQ(devices->OpenAudioDevices(), 1);
  EXPECT_EQ(devices->LastErrors().at(0),
            "Band simulator: scenario file " + path +
                " cannot be opened: No such file or directory (set MERIVAC_BAND_SCENARIO)");
}

// Only a regular file of sensible size is read as a scenario: /dev/zero
// would never end, a FIFO would block the start, a huge file exhaust memory.
TEST(BandSimulatorOpen, RefusesWhatIsNoScenarioFile) {
  testing::TempDir dir;
  const std::string fifo = (dir.Path() / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string big = (dir.Path() / "big.txt").string();
  { std::ofstream create(big); }
  std::filesystem::resize_file(big, kMaxScenarioBytes + 1);
  struct Case {
    std::string path;
    const char* why;
  };
  const Case cases[] = {{"/dev/zero", "is not a regular file"},
                        {fifo, "is not a regular file"},
                        {dir.Str(), "is not a regular file"},
                        {big, "is larger than 1048576 bytes"}};
  for (const Case& c : cases) {
    ManualClock clock;
    const double offset = 0;
    BandSimulator sim(clock, c.path, offset, nullptr);
    std::string error;
    EXPECT_FALSE(sim.Open(error)) << c.path;
    EXPECT_NE(error.find(std::string("cannot be opened: ") + c.why), std::string::npos) << error;
  }
}

TEST(AudioDeviceListTest, SimulatedDevicesFollowTheSoundCards) {
  ManualClock clock;
  Settings s;
  AudioDeviceOptions o;
  o.soundCards = false;
  auto devices = CreateAudioDevices(s, clock, nullptr, o);
  EXPECT_EQ(devices->InputList(), (std::vector<std::string>{"Band simulator", "WAV file", "Loopback"}));
  EXPECT_EQ(devices->OutputList(), (std::vector<std::string>{"WAV recorder", "Loopback"}));
}

TEST(AudioDeviceListTest, EnvironmentSetsThePaths) {
  setenv("MERIVAC_BAND_SCENARIO", "/tmp/x-band.txt", 1);
  setenv("MERIVAC_WAV_INPUT", "/tmp/x.wav", 1);
  setenv("MERIVAC_LOOPBACK_NOISE", "250", 1);
  const AudioDeviceOptions o = AudioDeviceOptionsFromEnvironment();
  unsetenv("MERIVAC_BAND_SCENARIO");
  unsetenv("MERIVAC_WAV_INPUT");
  unsetenv("MERIVAC_LOOPBACK_NOISE");
  EXPECT_EQ(o.bandScenarioPath, "/tmp/x-band.txt");
  EXPECT_EQ(o.wavInputPath, "/tmp/x.wav");
  EXPECT_EQ(o.loopbackNoiseRms, 250.0);
  const AudioDeviceOptions d = AudioDeviceOptionsFromEnvironment();
  EXPECT_EQ(d.bandScenarioPath, "band-simulator.txt");
  EXPECT_EQ(d.recorderFolder, "extra");
}

}  // namespace
}  // namespace merivac
