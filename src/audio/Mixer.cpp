// Mixer.cpp - the single-sideband front end mixer.
//
// Per piece: the oscillator's sin and cos come from a rotation recurrence
// started from the exact sin/cos of the piece's phase (so rounding cannot
// build up across pieces); the Hilbert sum uses the filter's odd symmetry,
// h[-i] = -h[i], so each output costs 200 multiply-adds, summed over tiles
// of outputs so that the inner loop runs over neighbouring outputs.
#include "audio/Mixer.h"

#include "common/Mode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace merivac {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int16_t Saturate(double v) {
  v = std::clamp(v, -32768.0, 32767.0);
  return static_cast<int16_t>(std::lrint(v));
}

}  // namespace

FrontEndMixer::FrontEndMixer()
    : extended_(kTwoK + kPiece, 0),
      product_(kTwoK + kPiece + kTile, 0.0),
      cosine_(kPiece + kTile, 0.0) {
  for (int32_t t = 0; t < kTaps; ++t) taps_[t] = HilbertTap(2 * t + 1);
}

void FrontEndMixer::Start(int32_t lo) {
  firstBlock_ = true;
  lo_ = lo;
  loPhase_ = 0;
}

void FrontEndMixer::MixBlock(int16_t* x, int32_t n) {
  for (int32_t done = 0; done < n; done += kPiece) MixPiece(x + done, std::min(kPiece, n - done));
}

void FrontEndMixer::MixPiece(int16_t* x, int32_t n) {
  int16_t* e = extended_.data();
  // History: after a restart the extended block keeps what it held.
  if (!firstBlock_) std::memcpy(e, previous_.data(), sizeof(previous_));
  std::memcpy(e + kTwoK, x, static_cast<size_t>(n) * sizeof(int16_t));
  std::memcpy(previous_.data(), e + n, sizeof(previous_));

  const double step = kTwoPi * lo_ / kSoundCardRate;
  const double stepCos = std::cos(step);
  const double stepSin = std::sin(step);
  double c = std::cos(loPhase_);
  double s = std::sin(loPhase_);
  double* product = product_.data();
  double* cosine = cosine_.data();
  const int32_t total = kTwoK + n;
  for (int32_t q = 0; q < total; ++q) {
    product[q] = e[q] * s;
    if (q >= kHilbertHalf && q < kHilbertHalf + n) cosine[q - kHilbertHalf] = c;
    const double nc = c * stepCos - s * stepSin;
    s = s * stepCos + c * stepSin;
    c = nc;
  }
  std::fill(product + total, product + total + kTile, 0.0);

  const double* centre = product + kHilbertHalf;
  for (int32_t j0 = 0; j0 < n; j0 += kTile) {
    double acc[kTile] = {};
    const double* base = centre + j0;
    for (int32_t t = 0; t < kTaps; ++t) {
      const int32_t i = 2 * t + 1;
      const double h = taps_[t];
      const double* ahead = base + i;
      const double* behind = base - i;
      for (int32_t j = 0; j < kTile; ++j) acc[j] += h * (ahead[j] - behind[j]);
    }
    const int32_t len = std::min(kTile, n - j0);
    for (int32_t j = 0; j < len; ++j) {
      const int32_t q = kHilbertHalf + j0 + j;
      x[j0 + j] = Saturate(acc[j] + e[q] * cosine[j0 + j]);
    }
  }

  firstBlock_ = false;
  // Continuous oscillator: the next piece's extended block starts n samples
  // after this one's.
  loPhase_ = std::fmod(loPhase_ + n * step, kTwoPi);
  if (loPhase_ < 0) loPhase_ += kTwoPi;
}

}  // namespace merivac
