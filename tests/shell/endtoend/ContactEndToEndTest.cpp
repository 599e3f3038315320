// ContactEndToEndTest.cpp - a whole contact between two stations in one
// process: A and B, each in its own program folder, joined by the loopback
// pair through noise, on one manual clock. A calls CQ; B's operator
// double-clicks A's CQ with "enable TX after select" on; from then on each
// operator double-clicks the other's latest decode. Everything between is
// the real thing: jt9code symbols, tone synthesis, the loopback cable, the
// capture chain, jt9 decoding, the QSO rules and the cycle engine's PTT.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>

#include "StationRig.h"

namespace merivac::endtoend {
namespace {

struct ContactCase {
  const char* name;
  uint32_t mode;
  bool shortQso;
  uint16_t freqA, freqB;  // the stations' RX/TX frequencies at start
};

void PrintTo(const ContactCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kCallA = "K1ABC";
constexpr const char* kCallB = "W9XYZ";
constexpr uint16_t kTxDelayMs = 200;
// The grid of 50 ms ticks lies 13 ms after each cycle boundary.
constexpr double kTickOffset = 0.013;
// PWR 1 % makes the tone 300 in amplitude (30000 at full power). At full
// power, -18 dB in 2500 Hz would need noise far beyond the 16-bit range.
constexpr uint8_t kPwr = 1;
constexpr double kToneAmplitude = 30000.0 * kPwr / 100.0;
constexpr double kSnrDb = -18.0;

// Noise rms at 48000 samples per second for the SNR in 2500 Hz: sine power
// A^2 / 2 against noise power sigma^2 x 2500 / 24000.
double NoiseRmsFor(double amplitude, double snrDb) {
  const double signalPower = amplitude * amplitude / 2;
  const double noisePower2500 = signalPower / std::pow(10.0, snrDb / 10);
  return std::sqrt(noisePower2500 * 24000.0 / 2500.0);
}

struct Transmission {
  char station;  // 'A' or 'B'
  double cycleStart;
  std::string message;
};

// One operator: reacts to new decodes of the other station.
struct Operator {
  char name;
  StationRig& rig;
  std::string own, other;
  size_t linesSeen = 0;
  bool wasTransmitting = false;
  std::vector<DecodeColumns> heard;  // decodes from the other station, in order
};

class ContactEndToEnd : public ::testing::TestWithParam<ContactCase> {};

TEST_P(ContactEndToEnd, RunsFromCqTo73WithPttOnTime) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  const ContactCase& c = GetParam();
  const uint32_t mode = c.mode;
  const double cycleDays = mode / kMinutesPerDay;
  // 12:00 + one cycle is a second cycle, in which A (TX 1st cycle off) calls.
  const double first = EncodeDateTime(2026, 3, 1, 12, 0) + cycleDays;
  ManualClock clock;
  SimTime time(clock, first - (1 - kTickOffset) / kSecondsPerDay);

  LoopbackBus bus(clock, NoiseRmsFor(kToneAmplitude, kSnrDb), 11);
  AudioDeviceOptions audio;
  audio.soundCards = false;
  audio.loopback = &bus;
  StationRig rigA(clock, audio), rigB(clock, audio);
  StationSetup setup;
  setup.mode = mode;
  setup.pwr = kPwr;
  setup.txDelayMs = kTxDelayMs;
  setup.shortQso = c.shortQso;
  setup.call = kCallA;
  setup.grid = "FN42";
  setup.freq = c.freqA;
  rigA.Start(setup);
  setup.call = kCallB;
  setup.grid = "EN37";
  setup.freq = c.freqB;
  rigB.Start(setup);
  if (HasFatalFailure()) return;
  Station& a = rigA.S();
  Station& b = rigB.S();

  // A calls CQ.
  ASSERT_TRUE(a.Hooks().Fire(Ctl::CqS1Button, Ev::Click));
  ASSERT_EQ(a.Controls().Text(Ctl::GenMsgEdit), "CQ K1ABC FN42");
  ASSERT_TRUE(a.Controls().Checked(Ctl::GenMsgButton));
  ASSERT_TRUE(a.Hooks().Fire(Ctl::EnableTxButton, Ev::Click));
  ASSERT_TRUE(a.GetEngine().Flags().txEnabled);
  EXPECT_FALSE(b.GetEngine().Flags().txEnabled);

  // The messages of the contact, in order, A first.
  const std::string rpt = "[-+][0-9]{1,2}";
  std::vector<std::string> expected = {"CQ K1ABC FN42"};
  if (!c.shortQso) expected.push_back("K1ABC W9XYZ EN37");
  const std::string toB = "W9XYZ K1ABC ", toA = "K1ABC W9XYZ ";
  // After the CQ the stations take turns; the report comes from the station
  // that answered the CQ in the short format, else from the caller.
  const std::vector<std::string> tails = {rpt, "R" + rpt, "RRR", "73"};
  for (const std::string& tail : tails) {
    const bool fromA = expected.size() % 2 == 0;
    expected.push_back((fromA ? toB : toA) + tail);
  }
  const std::string last = expected.back();

  Operator opA{'A', rigA, kCallA, kCallB};
  Operator opB{'B', rigB, kCallB, kCallA};
  std::vector<Transmission> sent;
  bool lastHeard = false;
  const double giveUp = first + (expected.size() + 2) * cycleDays;

  auto look = [&](Operator& op) {
    Station& s = op.rig.S();
    const bool transmitting = s.GetEngine().Flags().transmitting;
    if (transmitting && !op.wasTransmitting) {
      sent.push_back({op.name, CycleStartOf(time.Now(), mode), s.GetEngine().TxMessage()});
    }
    op.wasTransmitting = transmitting;
    const MemoModel& memo = s.BandMemo();
    for (; op.linesSeen < memo.LineCount(); ++op.linesSeen) {
      const std::string& line = memo.Line(op.linesSeen).text;
      DecodeColumns d;
      if (!ParseDecodeLine(line, d)) continue;
      const bool fromOther = d.message.rfind("CQ " + op.other + " ", 0) == 0 ||
                             d.message.rfind(op.own + " " + op.other + " ", 0) == 0;
      if (!fromOther) continue;
      op.heard.push_back(d);
      if (std::regex_match(d.message, std::regex(last))) {
        lastHeard = true;
        continue;
      }
      // The operator double-clicks the sender's call in the new line.
      UiEvent ev;
      ev.control = Ctl::BandMemo;
      ev.event = Ev::DblClick;
      ev.line = static_cast<int>(op.linesSeen);
      ev.lineText = line;
      ev.word = op.other;
      ASSERT_TRUE(s.Hooks().Fire(ev));
    }
  };

  while (!lastHeard && time.Now() < giveUp) {
    time.Step();
    a.Tick();
    b.Tick();
    look(opA);
    look(opB);
    if (HasFatalFailure()) return;
  }

  const std::string shown =
      "A:\n" + StationRig::Dump(a.BandMemo()) + "B:\n" + StationRig::Dump(b.BandMemo());
  ASSERT_TRUE(lastHeard) << "the contact did not reach its 73\n" << shown;

  // Consecutive cycles, A and B in turn, each with the expected message.
  ASSERT_EQ(sent.size(), expected.size()) << shown;
  for (size_t i = 0; i < sent.size(); ++i) {
    SCOPED_TRACE("transmission " + std::to_string(i) + ": " + sent[i].message);
    EXPECT_EQ(sent[i].station, i % 2 == 0 ? 'A' : 'B');
    EXPECT_NEAR((sent[i].cycleStart - first) * kSecondsPerDay, i * mode * 60.0, 1e-3);
    EXPECT_TRUE(std::regex_match(sent[i].message, std::regex(expected[i])));
  }
  // Each message reached the other station as sent (real jt9 decoding).
  std::vector<DecodeColumns> heardInTurn;
  for (size_t i = 0; i < sent.size(); ++i) {
    const Operator& receiver = sent[i].station == 'A' ? opB : opA;
    const size_t k = i / 2;
    ASSERT_LT(k, receiver.heard.size()) << shown;
    EXPECT_EQ(receiver.heard[k].message, sent[i].message) << shown;
    EXPECT_EQ(receiver.heard[k].modeChar, ModeChar(mode));
    heardInTurn.push_back(receiver.heard[k]);
  }
  // A report sent is the SNR its sender read from the message it answers.
  for (size_t i = 1; i < sent.size(); ++i) {
    std::smatch m;
    if (std::regex_search(sent[i].message, m, std::regex(" R?([-+][0-9]{1,2})$"))) {
      EXPECT_EQ(std::stoi(m[1].str()), heardInTurn[i - 1].snr) << sent[i].message;
    }
  }
  // B moved to A's frequency when it answered.
  EXPECT_NEAR(b.GetSettings().txFreq, c.freqA, 1);

  // PTT on the DTR line: on at the first tick after 1 s less the TX delay,
  // off at the first tick after the 85 symbols plus 1 s and the TX delay.
  const double onAt = FirstTickAfter(1 - kTxDelayMs / 1000.0, kTickOffset);
  const double offAt =
      FirstTickAfter(TransmissionSeconds(mode) + 1 + kTxDelayMs / 1000.0, kTickOffset);
  for (char side : {'A', 'B'}) {
    SCOPED_TRACE(std::string("station ") + side);
    const std::vector<LineEdge>& edges = (side == 'A' ? rigA : rigB).Serial().dtrEdges;
    std::vector<double> starts;
    for (const Transmission& t : sent) {
      if (t.station == side) starts.push_back(t.cycleStart);
    }
    ASSERT_EQ(edges.size(), 2 * starts.size());
    for (size_t i = 0; i < starts.size(); ++i) {
      EXPECT_TRUE(edges[2 * i].asserted);
      EXPECT_FALSE(edges[2 * i + 1].asserted);
      EXPECT_NEAR((edges[2 * i].at - starts[i]) * kSecondsPerDay, onAt, 1e-3);
      EXPECT_NEAR((edges[2 * i + 1].at - starts[i]) * kSecondsPerDay, offAt, 1e-3);
    }
    EXPECT_TRUE((side == 'A' ? rigA : rigB).Serial().rtsEdges.empty());
  }
}

// JT9-10: a single symbol (6.9 s) is longer than the 2.5 s that the tone
// output keeps queued, so the output queue must take it whole. A's CQ goes
// out, B decodes it at A's frequency, and PTT follows the JT9-10 times.
TEST(ContactEndToEndJt9_10, CqReachesTheOtherStation) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  const uint32_t mode = 10;
  const double first = EncodeDateTime(2026, 3, 1, 12, 10);  // a second cycle
  ManualClock clock;
  SimTime time(clock, first - (1 - kTickOffset) / kSecondsPerDay);
  LoopbackBus bus(clock, NoiseRmsFor(kToneAmplitude, kSnrDb), 5);
  AudioDeviceOptions audio;
  audio.soundCards = false;
  audio.loopback = &bus;
  StationRig rigA(clock, audio), rigB(clock, audio);
  StationSetup setup;
  setup.mode = mode;
  setup.pwr = kPwr;
  setup.txDelayMs = kTxDelayMs;
  setup.call = kCallA;
  setup.grid = "FN42";
  setup.freq = 300;
  rigA.Start(setup);
  setup.call = kCallB;
  setup.grid = "EN37";
  rigB.Start(setup);
  if (HasFatalFailure()) return;
  Station& a = rigA.S();
  Station& b = rigB.S();
  ASSERT_TRUE(a.Hooks().Fire(Ctl::CqS1Button, Ev::Click));
  ASSERT_TRUE(a.Hooks().Fire(Ctl::EnableTxButton, Ev::Click));

  const double decoded = first + (DecodeStartSeconds(mode) + 0.2) / kSecondsPerDay;
  while (time.Now() < decoded) {
    time.Step();
    a.Tick();
    b.Tick();
  }
  const std::vector<DecodeColumns> heard = StationRig::Decodes(b.BandMemo());
  ASSERT_EQ(heard.size(), 1u) << StationRig::Dump(b.BandMemo());
  EXPECT_EQ(heard[0].message, "CQ K1ABC FN42");
  EXPECT_EQ(heard[0].freq, 300);
  EXPECT_EQ(heard[0].modeChar, 'X');
  const std::vector<LineEdge>& edges = rigA.Serial().dtrEdges;
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_NEAR((edges[0].at - first) * kSecondsPerDay,
              FirstTickAfter(1 - kTxDelayMs / 1000.0, kTickOffset), 1e-3);
  EXPECT_NEAR((edges[1].at - first) * kSecondsPerDay,
              FirstTickAfter(TransmissionSeconds(mode) + 1 + kTxDelayMs / 1000.0, kTickOffset),
              1e-3);
  EXPECT_TRUE(rigB.Serial().dtrEdges.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, ContactEndToEnd,
                         ::testing::Values(ContactCase{"Jt9_1_Normal", 1, false, 1000, 1200},
                                           ContactCase{"Jt9_1_Short", 1, true, 1000, 1200},
                                           ContactCase{"Jt9_5_Normal", 5, false, 600, 500},
                                           ContactCase{"Jt9_5_Short", 5, true, 600, 500}),
                         [](const ::testing::TestParamInfo<ContactCase>& p) {
                           return p.param.name;
                         });

}  // namespace
}  // namespace merivac::endtoend
