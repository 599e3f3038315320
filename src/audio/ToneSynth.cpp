// ToneSynth.cpp - the sine oscillator behind every tone the program makes.
#include "audio/ToneSynth.h"

#include <cmath>
#include <numbers>

namespace merivac {

double SynthesizeTone(int16_t* out, int32_t n, double phase, double f) {
  const double step = 2.0 * std::numbers::pi * f / 48000.0;
  for (int32_t k = 0; k < n; ++k) {
    out[k] = static_cast<int16_t>(std::lround(kToneAmplitude * std::sin(phase)));
    phase += step;
  }
  return phase;
}

}  // namespace merivac
