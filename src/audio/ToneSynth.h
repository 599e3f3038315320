// ToneSynth.h - phase-continuous sine synthesis at 48000 samples per second.
//
// Used for the transmitted tones, the tune sweep and the band simulator, so
// that all of them make the same signal.
#pragma once

#include <cstdint>

namespace merivac {

constexpr double kToneAmplitude = 30000.0;

// Writes n samples of kToneAmplitude * sin(phase), phase advancing by
// 2 pi f / 48000 per sample, each rounded to the nearest integer; returns
// the phase after the last sample so the next call continues without a step.
double SynthesizeTone(int16_t* out, int32_t n, double phase, double f);

}  // namespace merivac
