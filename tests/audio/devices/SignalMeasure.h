// SignalMeasure.h - small measurements on recorded samples for the
// simulated-device tests: Goertzel power at one frequency, mean power, and
// recording a channel while a ManualClock advances.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/AudioChannels.h"
#include "common/Clock.h"

namespace merivac::testing {

// Amplitude of the sine at f in samples [from, from + n) (2 |X| / n).
inline double ToneAmplitude(const std::vector<int16_t>& x, size_t from, size_t n, double f) {
  const double w = 2.0 * std::numbers::pi * f / 48000.0;
  double re = 0, im = 0;
  for (size_t k = 0; k < n; ++k) {
    const double v = x[from + k];
    re += v * std::cos(w * static_cast<double>(k));
    im -= v * std::sin(w * static_cast<double>(k));
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(n);
}

inline double MeanPower(const std::vector<int16_t>& x, size_t from, size_t n) {
  double sum = 0;
  for (size_t k = from; k < from + n; ++k) sum += static_cast<double>(x[k]) * x[k];
  return sum / static_cast<double>(n);
}

// Advances the clock in steps of `step` seconds for `seconds`, reading all
// waiting input after each step.
inline std::vector<int16_t> Record(InputChannel& in, ManualClock& clock, double seconds, double step = 0.5) {
  std::vector<int16_t> out;
  std::vector<int16_t> block;
  const int steps = static_cast<int>(std::lround(seconds / step));
  for (int i = 0; i < steps; ++i) {
    clock.AdvanceSeconds(step);
    const uint32_t bytes = in.WaitingBytes();
    block.resize(bytes / 2);
    const uint32_t got = in.Read(block.data(), bytes);
    out.insert(out.end(), block.begin(), block.begin() + got / 2);
  }
  return out;
}

}  // namespace merivac::testing
