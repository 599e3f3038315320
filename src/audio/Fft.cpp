// Fft.cpp - in-place radix-2 decimation-in-time transform with bit-reversed
// input order.
//
// The twiddle factors are computed once per size with sin/cos (more
// accurate than a rotation recurrence), stage by stage in the order the
// butterflies use them; the window is likewise kept for the size and kind
// last used. Both live in storage that only grows with the capacity.
#include "audio/Fft.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace merivac {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool IsPowerOfTwo(int32_t n) { return n >= 2 && (n & (n - 1)) == 0; }

typedef double Vec4 __attribute__((vector_size(32)));

// The butterflies of one stage: blocks of 2 half points, block point k and
// its partner k + half, twiddle w[j] for the j-th pair of every block.
__attribute__((target_clones("avx2", "default"))) void Stage(double* re, double* im, int32_t n,
                                                             int32_t half, const double* wRe,
                                                             const double* wIm) {
  for (int32_t start = 0; start < n; start += 2 * half) {
    double* reK = re + start;
    double* imK = im + start;
    double* reM = reK + half;
    double* imM = imK + half;
    int32_t j = 0;
    for (; j + 4 <= half; j += 4) {
      Vec4 wr, wi, rm, im4, rk, ik;
      std::memcpy(&wr, wRe + j, sizeof(Vec4));
      std::memcpy(&wi, wIm + j, sizeof(Vec4));
      std::memcpy(&rm, reM + j, sizeof(Vec4));
      std::memcpy(&im4, imM + j, sizeof(Vec4));
      std::memcpy(&rk, reK + j, sizeof(Vec4));
      std::memcpy(&ik, imK + j, sizeof(Vec4));
      const Vec4 tr = wr * rm - wi * im4;
      const Vec4 ti = wr * im4 + wi * rm;
      const Vec4 outs[4] = {rk - tr, ik - ti, rk + tr, ik + ti};
      std::memcpy(reM + j, &outs[0], sizeof(Vec4));
      std::memcpy(imM + j, &outs[1], sizeof(Vec4));
      std::memcpy(reK + j, &outs[2], sizeof(Vec4));
      std::memcpy(imK + j, &outs[3], sizeof(Vec4));
    }
    for (; j < half; ++j) {
      const double tr = wRe[j] * reM[j] - wIm[j] * imM[j];
      const double ti = wRe[j] * imM[j] + wIm[j] * reM[j];
      reM[j] = reK[j] - tr;
      imM[j] = imK[j] - ti;
      reK[j] += tr;
      imK[j] += ti;
    }
  }
}

double WindowValue(int kind, int32_t i, int32_t n) {
  const double a = kTwoPi * i / n;
  switch (kind) {
    case kFftHamming:
      return 0.54 - 0.46 * std::cos(a);
    case kFftBlackman:
      return 0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2 * a);
    default:
      return 1.0;
  }
}

}  // namespace

void FftEngine::Prepare(int32_t n, int window) {
  if (capacity_ < n) {
    // Grows only; the old storage is given back first.
    Release();
    work_.assign(n, 0.0);
    window_.assign(n, 0.0);
    twiddleRe_.assign(n, 0.0);
    twiddleIm_.assign(n, 0.0);
    capacity_ = n;
  }
  if (windowN_ != n || windowKind_ != window) {
    for (int32_t i = 0; i < n; ++i) window_[i] = WindowValue(window, i, n);
    windowN_ = n;
    windowKind_ = window;
  }
}

void FftEngine::Transform(int32_t n, int window, const int16_t* input, double* re, double* im) {
  if (n <= 0) return;
  Prepare(n, window);
  for (int32_t i = 0; i < n; ++i) work_[i] = window_[i] * input[i];
  if (!IsPowerOfTwo(n)) {
    std::fill(re, re + n, 0.0);
    std::fill(im, im + n, 0.0);
    return;
  }
  if (twiddleN_ != n) {
    // Stage with half-size h keeps its h twiddles e^{+2 pi i j / 2h}
    // contiguously from index h - 1, so every butterfly loop reads its data
    // and its twiddles in order.
    for (int32_t h = 1; h <= n / 2; h *= 2) {
      for (int32_t j = 0; j < h; ++j) {
        const double a = std::numbers::pi * j / h;
        twiddleRe_[h - 1 + j] = std::cos(a);
        twiddleIm_[h - 1 + j] = std::sin(a);
      }
    }
    twiddleN_ = n;
  }
  // r runs through the bit-reversed indices: a counter incremented from
  // its top bit down.
  int32_t r = 0;
  for (int32_t i = 0; i < n; ++i) {
    re[r] = work_[i];
    im[r] = 0.0;
    int32_t bit = n >> 1;
    while ((r & bit) != 0) {
      r ^= bit;
      bit >>= 1;
    }
    r |= bit;
  }
  for (int32_t half = 1; half < n; half *= 2) {
    Stage(re, im, n, half, twiddleRe_.data() + half - 1, twiddleIm_.data() + half - 1);
  }
}

void FftEngine::Release() {
  std::vector<double>().swap(work_);
  std::vector<double>().swap(window_);
  std::vector<double>().swap(twiddleRe_);
  std::vector<double>().swap(twiddleIm_);
  capacity_ = 0;
  windowN_ = 0;
  windowKind_ = -1;
  twiddleN_ = 0;
}

namespace {
FftEngine& ProgramFft() {
  static FftEngine engine;
  return engine;
}
}  // namespace

void Fft(int32_t n, int window, const int16_t* input, double* re, double* im) {
  ProgramFft().Transform(n, window, input, re, im);
}

void ReleaseFft() { ProgramFft().Release(); }

int32_t FftCapacity() { return ProgramFft().Capacity(); }

}  // namespace merivac
