// ToneSynth.cpp - the sine oscillator behind every tone the program makes.
//
// The phase advances by repeated addition, sample by sample, exactly as a
// plain loop would, so the returned phase is bit for bit the same. The sine
// is not evaluated per sample: per chunk of kChunk samples the exact sin/cos
// of the chunk's first phase is combined with a table of sin/cos(m step),
// and the tiny difference between the accumulated phase and
// first + m step (rounding of the additions) is added as a first-order
// correction. The result matches 30000 sin(phase) to far below one unit, so
// at most a sample lying within ~1e-9 of a rounding boundary can differ.
#include "audio/ToneSynth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace merivac {

namespace {

constexpr int32_t kChunk = 1024;

int16_t RoundToSample(double v) {
  // Round half away from zero, like lround; |v| <= 30000.
  return static_cast<int16_t>(static_cast<int32_t>(v + (v < 0 ? -0.5 : 0.5)));
}

}  // namespace

double SynthesizeTone(int16_t* out, int32_t n, double phase, double f) {
  const double step = 2.0 * std::numbers::pi * f / 48000.0;
  if (n <= 0) return phase;
  const int32_t tableSize = std::min(n, kChunk);
  std::array<double, kChunk> stepSin;
  std::array<double, kChunk> stepCos;
  for (int32_t m = 0; m < tableSize; ++m) {
    stepSin[m] = std::sin(m * step);
    stepCos[m] = std::cos(m * step);
  }
  std::array<double, kChunk> offset;  // accumulated phase - chunk's first phase
  for (int32_t done = 0; done < n; done += kChunk) {
    const int32_t len = std::min(kChunk, n - done);
    const double first = phase;
    for (int32_t m = 0; m < len; ++m) {
      offset[m] = phase - first;
      phase += step;
    }
    const double s0 = std::sin(first);
    const double c0 = std::cos(first);
    int16_t* o = out + done;
    for (int32_t m = 0; m < len; ++m) {
      const double s = s0 * stepCos[m] + c0 * stepSin[m];
      const double c = c0 * stepCos[m] - s0 * stepSin[m];
      const double delta = offset[m] - m * step;
      o[m] = RoundToSample(kToneAmplitude * (s + delta * c));
    }
  }
  return phase;
}

}  // namespace merivac
