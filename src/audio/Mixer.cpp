// Mixer.cpp - the single-sideband front end mixer.
//
// Per piece: the oscillator's sin and cos come from a rotation recurrence
// started from the exact sin/cos of the piece's phase (so rounding cannot
// build up across pieces). The Hilbert sum uses the filter's odd symmetry,
// h[-i] = -h[i], so each output costs 200 multiply-adds; it runs over tiles
// of 8 neighbouring outputs held in vector registers. The kernel is built
// twice, for AVX2 and for the baseline, and the loader picks one; both
// evaluate the same operations in the same order (no fused multiply-add),
// so they give identical results.
#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "common/Mode.h"

namespace merivac {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int32_t kTaps = kHilbertHalf / 2;

typedef double Vec4 __attribute__((vector_size(32)));

// out[j] = sum over t of taps[t] (centre[j + 2t + 1] - centre[j - 2t - 1])
// for j < n rounded up to a multiple of 8.
__attribute__((target_clones("avx2", "default"))) void HilbertSum(const double* __restrict centre,
                                                                  const double* __restrict taps,
                                                                  double* __restrict out,
                                                                  int32_t n) {
  for (int32_t j0 = 0; j0 < n; j0 += 8) {
    Vec4 acc0 = {0, 0, 0, 0};
    Vec4 acc1 = {0, 0, 0, 0};
    const double* base = centre + j0;
    for (int32_t t = 0; t < kTaps; ++t) {
      const int32_t i = 2 * t + 1;
      const double h = taps[t];
      Vec4 a0, a1, b0, b1;
      std::memcpy(&a0, base + i, sizeof(Vec4));
      std::memcpy(&a1, base + i + 4, sizeof(Vec4));
      std::memcpy(&b0, base - i, sizeof(Vec4));
      std::memcpy(&b1, base - i + 4, sizeof(Vec4));
      acc0 += h * (a0 - b0);
      acc1 += h * (a1 - b1);
    }
    std::memcpy(out + j0, &acc0, sizeof(Vec4));
    std::memcpy(out + j0 + 4, &acc1, sizeof(Vec4));
  }
}

// Nearest integer (halves to even) within the 16-bit range.
int16_t Saturate(double v) {
  constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52
  v = std::clamp(v, -32768.0, 32767.0);
  return static_cast<int16_t>((v + kMagic) - kMagic);
}

}  // namespace

FrontEndMixer::FrontEndMixer()
    : extended_(kTwoK + kPiece, 0),
      product_(kTwoK + kPiece + kTile, 0.0),
      sine_(kTwoK + kPiece, 0.0),
      cosine_(kTwoK + kPiece, 0.0),
      hilbert_(kPiece + kTile, 0.0) {
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

  // The oscillator at every position of the extended block.
  const int32_t total = kTwoK + n;
  const double step = kTwoPi * lo_ / kSoundCardRate;
  const double stepCos = std::cos(step);
  const double stepSin = std::sin(step);
  double c = std::cos(loPhase_);
  double s = std::sin(loPhase_);
  double* sine = sine_.data();
  double* cosine = cosine_.data();
  for (int32_t q = 0; q < total; ++q) {
    sine[q] = s;
    cosine[q] = c;
    const double nc = c * stepCos - s * stepSin;
    s = s * stepCos + c * stepSin;
    c = nc;
  }
  double* product = product_.data();
  for (int32_t q = 0; q < total; ++q) product[q] = e[q] * sine[q];
  std::fill(product + total, product + total + kTile, 0.0);

  HilbertSum(product + kHilbertHalf, taps_.data(), hilbert_.data(), n);
  const double* hilbert = hilbert_.data();
  for (int32_t j = 0; j < n; ++j) {
    const int32_t q = kHilbertHalf + j;
    x[j] = Saturate(hilbert[j] + e[q] * cosine[q]);
  }

  firstBlock_ = false;
  // Continuous oscillator: the next piece's extended block starts n samples
  // after this one's.
  loPhase_ = std::fmod(loPhase_ + n * step, kTwoPi);
  if (loPhase_ < 0) loPhase_ += kTwoPi;
}

}  // namespace merivac
