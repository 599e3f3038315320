// Fft.h - discrete Fourier transform of 16-bit samples for the spectrum view.
//
// Fft(N, window, input, re, im) fills re and im with
// X[k] = sum_n w(n) x[n] e^{+2 pi i n k / N} (positive exponent, no
// normalisation), window 0 = none, 1 = Hamming, 2 = Blackman. N must be a
// power of two from 2 up; for any other N the output is all zero. The work
// storage grows to the largest N requested and is reused, so after the
// first transform of the largest size no call allocates; ReleaseFft frees it
// (at shutdown).
#pragma once

#include <cstdint>
#include <vector>

namespace merivac {

enum FftWindow : int { kFftNoWindow = 0, kFftHamming = 1, kFftBlackman = 2 };

class FftEngine {
 public:
  void Transform(int32_t n, int window, const int16_t* input, double* re, double* im);
  void Release();
  // Capacity of the work storage in points (0 before the first transform).
  int32_t Capacity() const { return capacity_; }

 private:
  void Prepare(int32_t n, int window);

  int32_t capacity_ = 0;
  std::vector<double> work_;       // the windowed input
  std::vector<double> window_;     // w(i) for windowN_ / windowKind_
  std::vector<double> twiddleRe_;  // per stage of half-size h: e^{+pi i j / h}, j < h
  std::vector<double> twiddleIm_;
  int32_t windowN_ = 0;
  int windowKind_ = -1;
  int32_t twiddleN_ = 0;
};

// The program's transform and its work storage.
void Fft(int32_t n, int window, const int16_t* input, double* re, double* im);
void ReleaseFft();
int32_t FftCapacity();

}  // namespace merivac
