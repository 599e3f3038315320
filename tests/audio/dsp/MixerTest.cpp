// MixerTest.cpp - the front end mixer and its Hilbert transformer, measured
// on the mixed audio: frequency shift, delay, sideband suppression, phase
// continuity from block to block, and saturation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Measure.h"
#include "audio/HilbertTable.h"
#include "audio/Mixer.h"

namespace merivac {
namespace {

using testing::FitSine;
using testing::Onset;
using testing::PeakFrequency;
using testing::Rms;
using testing::Tone;

constexpr int32_t kBlock = 9600;

// Mixes `input` in blocks of `block` samples, the way the capture chain does.
std::vector<int16_t> Mix(std::vector<int16_t> input, int32_t lo, int32_t block = kBlock) {
  FrontEndMixer mixer;
  mixer.Start(lo);
  for (size_t at = 0; at < input.size(); at += block) {
    const auto n = static_cast<int32_t>(std::min<size_t>(block, input.size() - at));
    mixer.MixBlock(input.data() + at, n);
  }
  return input;
}

TEST(HilbertTable, ReproducesTheReferenceTapsAndIsAnOddWindowedKernel) {
  for (const auto& tap : kHilbertReferenceTaps) {
    EXPECT_NEAR(HilbertTap(tap.index) / tap.value, 1.0, 1e-9) << "h[" << tap.index << "]";
    EXPECT_NEAR(HilbertTap(-tap.index) / tap.value, -1.0, 1e-9);
  }
  for (int i = -400; i <= 400; i += 2) EXPECT_EQ(HilbertTap(i), 0.0) << i;
  // The window is 1 at the centre and falls monotonically, smoothly.
  EXPECT_DOUBLE_EQ(HilbertWindow(0), 1.0);
  double previous = 1.0;
  double previousStep = 0;
  for (double x = 0.25; x <= 399; x += 0.25) {
    const double w = HilbertWindow(x);
    ASSERT_LT(w, previous) << x;
    ASSERT_GT(w, 0) << x;
    // No kinks: neighbouring steps differ by a few per cent at most.
    const double step = previous - w;
    if (x > 10 && x < 390) {
      ASSERT_LT(std::fabs(step - previousStep), 0.1 * std::max(step, previousStep)) << x;
    }
    previous = w;
    previousStep = step;
  }
  for (int i = 1; i < 400; i += 2) {
    EXPECT_NEAR(HilbertTap(i), -(2.0 / (std::numbers::pi * i)) * HilbertWindow(i), 1e-15);
  }
}

TEST(FrontEndMixer, ShiftsAToneAboveTheOscillatorDownAndDelaysBy400Samples) {
  // LO 1000: a 1500 Hz tone switched on at sample 20 000 comes out at 500 Hz,
  // switched on at sample 20 400.
  const auto out = Mix(Tone(20 * kBlock, 1500, 10000, 20000), 1000);
  EXPECT_NEAR(PeakFrequency(out, 40000, 65536, 48000), 500.0, 0.05);
  const auto fit = FitSine(out, 40000, 96000, 500, 48000);
  EXPECT_NEAR(fit.amplitude, 10000, 10);
  EXPECT_NEAR(Onset(out, 500, 48000, 960), 20400, 10);
}

TEST(FrontEndMixer, DelaysEveryFrequencyBy400Samples) {
  // The group delay from the output phases of two neighbouring tones: for
  // a delay D, phase(f1) - phase(f2) = 2 pi (f2 - f1) D / 48000 (the
  // oscillator's own phase is common to both and cancels).
  for (double f : {1100.0, 1500.0, 4000.0}) {
    const double g = f + 10;
    const auto a = FitSine(Mix(Tone(20 * kBlock, f, 10000), 1000), 20000, 150000, f - 1000, 48000);
    const auto b = FitSine(Mix(Tone(20 * kBlock, g, 10000), 1000), 20000, 150000, g - 1000, 48000);
    double dphi = a.phase - b.phase;
    while (dphi < 0) dphi += 2 * std::numbers::pi;
    EXPECT_NEAR(dphi / (2 * std::numbers::pi * (g - f) / 48000), 400, 0.5) << f;
  }
}

TEST(FrontEndMixer, SuppressesAToneBelowTheOscillator) {
  const auto above = Mix(Tone(20 * kBlock, 1500, 30000), 1000);
  const auto below = Mix(Tone(20 * kBlock, 800, 30000), 1000);
  const double wanted = Rms(above, 20000, 150000);
  const double leak = Rms(below, 20000, 150000);
  const double suppressionDb = 20 * std::log10(wanted / leak);
  std::printf("800 Hz tone with LO 1000 Hz suppressed by %.1f dB\n", suppressionDb);
  EXPECT_GT(suppressionDb, 50);
}

TEST(FrontEndMixer, OscillatorRunsOnWithoutAPhaseStepAtBlockBoundaries) {
  // A steady 1500 Hz tone through 20 blocks must give one steady 500 Hz sine:
  // a single fit over all of it leaves only rounding, also at every block
  // boundary. Odd block sizes too (the idle stage mixes what has arrived).
  for (int32_t block : {kBlock, 4801, 1000}) {
    SCOPED_TRACE(block);
    const auto out = Mix(Tone(20 * kBlock, 1500, 10000), 1000, block);
    const auto fit = FitSine(out, 2000, out.size() - 2000, 500, 48000);
    EXPECT_NEAR(fit.amplitude, 10000, 10);
    EXPECT_LT(fit.maxResidual, 3.0);
  }
}

TEST(FrontEndMixer, RestartBeginsTheOscillatorAtPhaseZero) {
  FrontEndMixer mixer;
  mixer.Start(1000);
  auto block = Tone(kBlock, 1500, 10000);
  mixer.MixBlock(block.data(), kBlock);
  EXPECT_FALSE(mixer.FirstBlock());
  EXPECT_NE(mixer.LoPhase(), 0.0);
  mixer.Start(2000);
  EXPECT_TRUE(mixer.FirstBlock());
  EXPECT_EQ(mixer.LoPhase(), 0.0);
  EXPECT_EQ(mixer.Lo(), 2000);
}

TEST(FrontEndMixer, OutputsClipInsteadOfWrapping) {
  // A full-scale square wave's single-sideband image peaks far above full
  // scale near the edges. The loud output must be the quiet one scaled and
  // clipped.
  auto square = [](double amplitude) {
    std::vector<int16_t> s(4 * kBlock);
    for (size_t n = 0; n < s.size(); ++n)
      s[n] = static_cast<int16_t>(((n / 20) % 2 ? -1 : 1) * amplitude);
    return s;
  };
  const auto quiet = Mix(square(2000), 1000);
  const auto loud = Mix(square(32000), 1000);
  int clipped = 0;
  for (size_t n = 0; n < loud.size(); ++n) {
    const double scaled = std::clamp(16.0 * quiet[n], -32768.0, 32767.0);
    ASSERT_NEAR(loud[n], scaled, 16) << n;
    clipped += loud[n] == 32767 || loud[n] == -32768;
  }
  EXPECT_GT(clipped, 10);
}

}  // namespace
}  // namespace merivac
