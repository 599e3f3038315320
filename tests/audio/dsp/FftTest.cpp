// FftTest.cpp - the transform against its definition and the edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "audio/Fft.h"

namespace merivac {
namespace {

struct Spectrum {
  std::vector<double> re, im;
};

Spectrum Transform(const std::vector<int16_t>& x, int window) {
  Spectrum s{std::vector<double>(x.size(), -7.0), std::vector<double>(x.size(), -7.0)};
  Fft(static_cast<int32_t>(x.size()), window, x.data(), s.re.data(), s.im.data());
  return s;
}

TEST(Fft, ImpulseAndCosine) {
  std::vector<int16_t> impulse(8, 0);
  impulse[0] = 1;
  auto s = Transform(impulse, kFftNoWindow);
  for (int k = 0; k < 8; ++k) {
    EXPECT_NEAR(s.re[k], 1.0, 1e-12);
    EXPECT_NEAR(s.im[k], 0.0, 1e-12);
  }
  std::vector<int16_t> cosine(8);
  for (int n = 0; n < 8; ++n)
    cosine[n] = static_cast<int16_t>(std::lround(1000 * std::cos(2 * std::numbers::pi * n / 8)));
  s = Transform(cosine, kFftNoWindow);
  for (int k = 0; k < 8; ++k) {
    // The input holds 707 for 707.107: "0" is up to that rounding.
    EXPECT_NEAR(s.re[k], k == 1 || k == 7 ? 4000.0 : 0.0, 0.5) << k;
    EXPECT_NEAR(s.im[k], 0.0, 0.5) << k;
  }
}

TEST(Fft, ExponentIsPositive) {
  // x = sin(2 pi n / 8): with e^{+2 pi i n k / N}, X[1] = +4i, X[7] = -4i.
  std::vector<int16_t> sine(8);
  for (int n = 0; n < 8; ++n)
    sine[n] = static_cast<int16_t>(std::lround(1000 * std::sin(2 * std::numbers::pi * n / 8)));
  const auto s = Transform(sine, kFftNoWindow);
  EXPECT_NEAR(s.im[1], 4000.0, 1.0);
  EXPECT_NEAR(s.im[7], -4000.0, 1.0);
}

TEST(Fft, HammingWindowEndsAt008AndPeaksAtTheMiddle) {
  // An impulse at n gives w(n) x[n] e^{..} in every bin: w(0) = 0.08, w(8) = 1.
  std::vector<int16_t> x(16, 0);
  x[0] = 1000;
  auto s = Transform(x, kFftHamming);
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(std::hypot(s.re[k], s.im[k]), 80.0, 1e-9);
  x[0] = 0;
  x[8] = 1000;
  s = Transform(x, kFftHamming);
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(s.re[k], k % 2 == 0 ? 1000.0 : -1000.0, 1e-9);
}

TEST(Fft, MatchesTheDefinitionForEveryWindow) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> any(-32768, 32767);
  for (int32_t n : {2, 64, 1024}) {
    std::vector<int16_t> x(n);
    for (auto& v : x) v = static_cast<int16_t>(any(random));
    for (int window : {kFftNoWindow, kFftHamming, kFftBlackman}) {
      SCOPED_TRACE(std::to_string(n) + " window " + std::to_string(window));
      const auto s = Transform(x, window);
      double worst = 0, scale = 0;
      for (int32_t k = 0; k < n; ++k) {
        std::complex<long double> sum = 0;
        for (int32_t i = 0; i < n; ++i) {
          const long double a = 2 * std::numbers::pi_v<long double> * i / n;
          long double w = 1;
          if (window == kFftHamming) w = 0.54L - 0.46L * std::cos(a);
          if (window == kFftBlackman) w = 0.42L - 0.5L * std::cos(a) + 0.08L * std::cos(2 * a);
          const long double angle =
              2 * std::numbers::pi_v<long double> * ((static_cast<int64_t>(i) * k) % n) / n;
          sum += w * x[i] * std::complex<long double>(std::cos(angle), std::sin(angle));
        }
        worst = std::max(worst, static_cast<double>(
                                    std::abs(sum - std::complex<long double>(s.re[k], s.im[k]))));
        scale = std::max(scale, static_cast<double>(std::abs(sum)));
      }
      EXPECT_LT(worst, 1e-12 * scale + 1e-9);
    }
  }
}

TEST(Fft, SizesThatAreNotPowersOfTwoGiveZeros) {
  for (int32_t n : {12, 1, 3, 100}) {
    std::vector<int16_t> x(n, 1234);
    const auto s = Transform(x, kFftHamming);
    for (int32_t k = 0; k < n; ++k) {
      EXPECT_EQ(s.re[k], 0.0) << n;
      EXPECT_EQ(s.im[k], 0.0) << n;
    }
  }
}

TEST(Fft, WorkStorageGrowsToTheLargestSizeAndIsReleased) {
  FftEngine engine;
  EXPECT_EQ(engine.Capacity(), 0);
  std::vector<int16_t> x(4096, 100);
  std::vector<double> re(4096), im(4096);
  engine.Transform(1024, kFftHamming, x.data(), re.data(), im.data());
  EXPECT_EQ(engine.Capacity(), 1024);
  engine.Transform(4096, kFftHamming, x.data(), re.data(), im.data());
  EXPECT_EQ(engine.Capacity(), 4096);
  engine.Transform(256, kFftBlackman, x.data(), re.data(), im.data());
  EXPECT_EQ(engine.Capacity(), 4096);
  // The smaller size after the larger one still transforms correctly.
  EXPECT_NEAR(re[0], 100 * 256 * 0.42, 1e-6);
  engine.Release();
  EXPECT_EQ(engine.Capacity(), 0);
  engine.Transform(8, kFftNoWindow, x.data(), re.data(), im.data());
  EXPECT_NEAR(re[0], 800, 1e-9);
  EXPECT_EQ(engine.Capacity(), 8);
}

}  // namespace
}  // namespace merivac
