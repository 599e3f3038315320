// Fft.cpp - in-place radix-2 decimation-in-time transform with bit-reversed
// input order.
//
// The twiddle factors of the largest stage are computed once per size with
// sin/cos (more accurate than a rotation recurrence) and the smaller stages
// take every (N / b)-th of them; the window is likewise kept for the size and
// kind last used. Both live in storage that only grows with the capacity.
#include "audio/Fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace merivac {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool IsPowerOfTwo(int32_t n) { return n >= 2 && (n & (n - 1)) == 0; }

double WindowValue(int kind, int32_t i, int32_t n) {
  const double a = kTwoPi * i / n;
  switch (kind) {
    case kFftHamming: return 0.54 - 0.46 * std::cos(a);
    case kFftBlackman: return 0.42 - 0.5 * std::cos(a) + 0.08 * std::cos(2 * a);
    default: return 1.0;
  }
}

}  // namespace

void FftEngine::Prepare(int32_t n, int window) {
  if (capacity_ < n) {
    // Grows only; the old storage is given back first.
    Release();
    work_.assign(n, 0.0);
    window_.assign(n, 0.0);
    twiddleRe_.assign(n / 2 + 1, 0.0);
    twiddleIm_.assign(n / 2 + 1, 0.0);
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
    for (int32_t j = 0; j < n / 2; ++j) {
      twiddleRe_[j] = std::cos(kTwoPi * j / n);
      twiddleIm_[j] = std::sin(kTwoPi * j / n);
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
  for (int32_t size = 2; size <= n; size *= 2) {
    const int32_t half = size / 2;
    const int32_t stride = n / size;
    for (int32_t start = 0; start < n; start += size) {
      double* reK = re + start;
      double* imK = im + start;
      double* reM = reK + half;
      double* imM = imK + half;
      for (int32_t j = 0; j < half; ++j) {
        const double wr = twiddleRe_[j * stride];
        const double wi = twiddleIm_[j * stride];
        const double tr = wr * reM[j] - wi * imM[j];
        const double ti = wr * imM[j] + wi * reM[j];
        reM[j] = reK[j] - tr;
        imM[j] = imK[j] - ti;
        reK[j] += tr;
        imK[j] += ti;
      }
    }
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
