// ToneOutputTest.cpp - transmit and tune audio as it reaches the output
// channel: frequencies, symbol lengths, the queue rule, the sweep order,
// the level, and the oscillator's phase continuity.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Fakes.h"
#include "Measure.h"
#include "audio/ToneOutput.h"
#include "audio/ToneSynth.h"
#include "common/Mode.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::FakeOutput;
using testing::FakeUi;
using testing::PeakFrequency;

struct ToneRig {
  ToneRig() { log.Open((dir.Path() / "debug.txt").string()); }
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> lines;
    const std::string text = testing::ReadFile(dir.Path() / "debug.txt");
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find("\r\n", at);
      const std::string line = text.substr(at, end - at);
      lines.push_back(line.substr(line.find(" : ") + 3));
      at = end + 2;
    }
    return lines;
  }
  testing::TempDir dir;
  ManualClock clock;
  bool logEnabled = true;
  DebugLog log{clock, logEnabled};
  Settings settings;
  FakeOutput output;
  FakeUi ui;
  double lastTickTime = clock.Now();
  ToneOutput tones{[this] { return &output; }, [this](double level) { output.SetLevel(level); },
                   settings, log, clock, lastTickTime, ui};
};

std::array<uint8_t, 85> AllSymbols(uint8_t v) {
  std::array<uint8_t, 85> s{};
  s.fill(v);
  return s;
}

TEST(ToneOutput, ToneFrequencies) {
  struct Case {
    uint32_t mode;
    uint32_t spacing;
    uint16_t tx;
    int32_t lo;  // 0 = mixer off
    int tone;
    double hz;
  };
  const Case cases[] = {
      {1, 1, 1500, 0, 0, 1500},
      {1, 1, 1500, 0, 8, 1500 + 8 * 12000.0 / 6912},  // 1513.89
      {2, 2, 1225, 0, 8, 1225 + 12.5},
      {1, 1, 1225, 10000, 0, 11225},
      {10, 1, 300, 0, -1, 300 - 12000.0 / 82944},
      {5, 3, 400, 0, 9, 400 + 27 * 12000.0 / 40960},
  };
  for (const auto& c : cases) {
    ToneRig rig;
    rig.settings.mode = c.mode;
    rig.settings.toneSpacing = c.spacing;
    rig.settings.txFreq = c.tx;
    rig.settings.mixerEnabled = c.lo != 0;
    rig.settings.mixerLo = c.lo;
    EXPECT_NEAR(rig.tones.ToneFrequency(c.tone), c.hz, 1e-9)
        << ModeName(c.mode) << " tone " << c.tone;
  }
}

TEST(ToneOutput, EachSymbolIsOneSymbolLongAtItsFrequency) {
  for (uint32_t mode : {1u, 2u, 5u, 10u}) {
    SCOPED_TRACE(ModeName(mode));
    ToneRig rig;
    rig.settings.mode = mode;
    rig.settings.txFreq = 1500;
    uint8_t index = 1;
    rig.tones.FillTxOutput(AllSymbols(8), index);
    ASSERT_FALSE(rig.output.pushes_.empty());
    for (uint32_t bytes : rig.output.pushes_) EXPECT_EQ(bytes, 8u * SamplesPerSymbol(mode));
    const double expected = 1500 + 8 * 12000.0 / SamplesPerSymbol(mode);
    EXPECT_NEAR(PeakFrequency(rig.output.pushed_, 0, 65536, 48000), expected, 0.05);
  }
}

TEST(ToneOutput, QueueBelowTheTargetGetsOneMoreSymbolAtTheTargetNone) {
  for (uint32_t queued : {239999u, 240000u}) {
    ToneRig rig;
    rig.settings.mode = 1;
    rig.output.extraQueued_ = queued;
    uint8_t index = 5;
    rig.tones.FillTxOutput(AllSymbols(3), index);
    EXPECT_EQ(rig.output.pushes_.size(), queued < 240000 ? 1u : 0u) << queued;
    EXPECT_EQ(index, queued < 240000 ? 6 : 5);
  }
}

TEST(ToneOutput, FillsUntilTwoAndAHalfSecondsAreQueued) {
  ToneRig rig;
  rig.settings.mode = 1;  // 55 296 bytes a symbol: five reach 240 000
  uint8_t index = 1;
  rig.tones.FillTxOutput(AllSymbols(0), index);
  EXPECT_EQ(rig.output.pushes_.size(), 5u);
  EXPECT_EQ(index, 6);
}

TEST(ToneOutput, Jt910AddsOneSymbolPerFill) {
  ToneRig rig;
  rig.settings.mode = 10;
  uint8_t index = 1;
  rig.tones.FillTxOutput(AllSymbols(4), index);
  EXPECT_EQ(rig.output.pushes_.size(), 1u);
  rig.tones.FillTxOutput(AllSymbols(4), index);  // 6.9 s still queued
  EXPECT_EQ(rig.output.pushes_.size(), 1u);
  rig.output.Play(331776 - 100000);  // below 2.5 s again
  rig.tones.FillTxOutput(AllSymbols(4), index);
  EXPECT_EQ(rig.output.pushes_.size(), 2u);
  EXPECT_EQ(index, 3);
}

TEST(ToneOutput, AfterThe85thSymbolNothingMoreIsPushed) {
  ToneRig rig;
  rig.settings.mode = 1;
  uint8_t index = 1;
  while (index <= 85) {
    rig.tones.FillTxOutput(AllSymbols(2), index);
    rig.output.Play(1000000);
  }
  EXPECT_EQ(index, 86);
  EXPECT_EQ(rig.output.pushes_.size(), 85u);
  rig.tones.FillTxOutput(AllSymbols(2), index);
  EXPECT_EQ(rig.output.pushes_.size(), 85u);
  EXPECT_EQ(rig.output.QueuedBytes(), 0u);
  EXPECT_EQ(rig.output.pushed_.size(), 85u * 4 * 6912);
}

TEST(ToneOutput, SymbolsFollowEachOtherWithoutAPhaseStep) {
  // Symbols 0..8 alternate; across every boundary the step between
  // neighbouring samples stays that of a continuous sine.
  ToneRig rig;
  rig.settings.mode = 1;
  rig.settings.toneSpacing = 200;  // 347 Hz apart: a phase step would show
  std::array<uint8_t, 85> symbols{};
  for (int i = 0; i < 85; ++i) symbols[i] = static_cast<uint8_t>(i % 9);
  uint8_t index = 1;
  rig.tones.FillTxOutput(symbols, index);
  const auto& s = rig.output.pushed_;
  const double maxHz = rig.tones.ToneFrequency(8);
  const double maxStep = 30000 * 2 * std::numbers::pi * maxHz / 48000 + 2;
  for (size_t k = 1; k < s.size(); ++k) ASSERT_LE(std::abs(s[k] - s[k - 1]), maxStep) << k;
  // The same synthesis carries on into the tune tone.
  rig.tones.StartTune();
  rig.tones.FillTuneOutput();
  for (size_t k = 1; k < s.size(); ++k) ASSERT_LE(std::abs(s[k] - s[k - 1]), maxStep) << k;
}

TEST(ToneOutput, TuneSweepsUpAndDownOverElevenTones) {
  ToneRig rig;
  rig.settings.mode = 1;
  rig.settings.txFreq = 1000;
  rig.settings.toneSpacing = 40;  // 69 Hz between tones
  rig.tones.StartTune();
  EXPECT_EQ(rig.tones.TuneTone(), 0);
  EXPECT_EQ(rig.tones.TuneStep(), 1);
  while (rig.output.pushes_.size() < 20) {
    rig.tones.FillTuneOutput();
    rig.output.Play(1000000);
  }
  const std::vector<int> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, -1};
  const double spacing = 40 * 12000.0 / 6912;
  for (size_t i = 0; i < 20; ++i) {
    const double f = PeakFrequency(rig.output.pushed_, i * 4 * 6912 + 2000, 16384, 48000);
    EXPECT_EQ(std::lround((f - 1000) / spacing), expected[i]) << "symbol " << i;
  }
}

TEST(ToneOutput, PwrZeroSilencesAudioAlreadyQueued) {
  ToneRig rig;
  rig.settings.mode = 1;
  EXPECT_EQ(rig.tones.PwrTrackBarChange(37), "37%");
  EXPECT_EQ(rig.settings.pwr, 37);
  EXPECT_DOUBLE_EQ(rig.output.level_, 0.37);
  uint8_t index = 1;
  rig.tones.FillTxOutput(AllSymbols(1), index);
  const auto before = rig.output.Play(1000);
  EXPECT_GT(*std::max_element(before.begin(), before.end()), 10000);
  EXPECT_EQ(rig.tones.PwrTrackBarChange(0), "0%");
  const auto after = rig.output.Play(20000);  // the middle of the queued symbol
  ASSERT_EQ(after.size(), 20000u);
  EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t v) { return v == 0; }));
}

TEST(ToneOutput, OutputLevelIsClamped) {
  ToneRig rig;
  rig.tones.SetOutputLevel(1.5);
  EXPECT_EQ(rig.output.level_, 1.0);
  rig.tones.SetOutputLevel(-0.2);
  EXPECT_EQ(rig.output.level_, 0.0);
}

TEST(ToneOutput, PwrHintFollowsTheTrackBar) {
  ToneRig rig;
  rig.tones.PwrTrackBarChange(55);
  EXPECT_TRUE(rig.ui.shown.empty());  // no hint shown yet
  rig.tones.PwrTrackBarMouseEnter(100, 200, 700, 40);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "55%");
  EXPECT_EQ(rig.ui.shown[0].x, 800);
  EXPECT_EQ(rig.ui.shown[0].y, 265);
  EXPECT_EQ(rig.ui.shown[0].sizeText, "100%");
  rig.tones.PwrTrackBarChange(60);
  ASSERT_EQ(rig.ui.shown.size(), 2u);
  EXPECT_EQ(rig.ui.shown[1].text, "60%");
  EXPECT_EQ(rig.ui.shown[1].x, 800);
  rig.tones.PwrTrackBarMouseLeave();
  EXPECT_EQ(rig.ui.hides, 1);
  rig.tones.PwrTrackBarChange(70);
  EXPECT_EQ(rig.ui.shown.size(), 2u);
}

TEST(ToneOutput, WithoutAnOutputChannelNothingIsFilled) {
  ToneRig rig;
  ToneOutput none([] { return nullptr; }, nullptr, rig.settings, rig.log, rig.clock,
                  rig.lastTickTime, rig.ui);
  EXPECT_EQ(none.QueuedBytes(), kAudioError);
  uint8_t index = 1;
  none.FillTxOutput(AllSymbols(0), index);
  none.FillTuneOutput();
  EXPECT_EQ(index, 1);
  none.ClearOutput();
  none.SetOutputLevel(0.5);
}

TEST(ToneOutput, LogLinesCarryTheMillisecondsIntoTheTick) {
  ToneRig rig;
  rig.settings.mode = 10;
  rig.clock.AdvanceSeconds(0.012);
  uint8_t index = 1;
  rig.tones.FillTxOutput(AllSymbols(0), index);
  rig.tones.ClearOutput();
  EXPECT_EQ(rig.output.discards_, 1);
  rig.tones.StartTune();
  rig.tones.FillTuneOutput();
  const std::vector<std::string> expected = {
      "Tone 1 added to audio output buffer [TX] (12ms)",
      "Audio output buffer = 0 bytes [Tuning]",
      "Next tone added to audio output buffer [Tuning]",
  };
  EXPECT_EQ(rig.LogTexts(), expected);
}

TEST(SynthesizeTone, MatchesThePlainOscillatorAndReturnsItsPhase) {
  struct Case {
    double phase;
    double f;
    int32_t n;
  };
  const Case cases[] = {
      {0, 1500, 331776}, {12345.678, 11225.3, 100000}, {3.3e7, 1513.9, 50000}, {1.0, 700, 3}};
  for (const auto& c : cases) {
    std::vector<int16_t> fast(c.n);
    const double end = SynthesizeTone(fast.data(), c.n, c.phase, c.f);
    double phase = c.phase;
    const double step = 2.0 * std::numbers::pi * c.f / 48000.0;
    int differ = 0;
    for (int32_t k = 0; k < c.n; ++k) {
      const auto plain = static_cast<int16_t>(std::lround(30000 * std::sin(phase)));
      ASSERT_LE(std::abs(plain - fast[k]), 1) << k;
      differ += plain != fast[k];
      phase += step;
    }
    EXPECT_EQ(end, phase);
    EXPECT_LE(differ, c.n / 10000 + 1);
  }
}

}  // namespace
}  // namespace merivac
