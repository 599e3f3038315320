// Measure.h - measurements on sampled signals for the signal-path tests:
// tones to feed in, the frequency and level of a tone (with the program's
// FFT), the onset of a tone, and a least-squares sinusoid fit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "audio/Fft.h"

namespace merivac::testing {

constexpr double kPi = std::numbers::pi;

// `count` samples: silence until `start`, then amplitude cos(2 pi f n / rate).
inline std::vector<int16_t> Tone(size_t count, double f, double amplitude, size_t start = 0,
                                 double rate = 48000) {
  std::vector<int16_t> s(count, 0);
  for (size_t n = start; n < count; ++n) {
    s[n] = static_cast<int16_t>(std::lround(amplitude * std::cos(2 * kPi * f * n / rate)));
  }
  return s;
}

// The frequency of the strongest component of x[from .. from + N) (N a
// power of two), Hamming window, with a parabolic fit over the peak bins.
inline double PeakFrequency(const std::vector<int16_t>& x, size_t from, int32_t n, double rate) {
  std::vector<double> re(n), im(n);
  Fft(n, kFftHamming, x.data() + from, re.data(), im.data());
  int32_t best = 1;
  std::vector<double> mag(n / 2);
  for (int32_t k = 0; k < n / 2; ++k) mag[k] = std::hypot(re[k], im[k]);
  for (int32_t k = 1; k < n / 2 - 1; ++k) {
    if (mag[k] > mag[best]) best = k;
  }
  const double a = std::log(mag[best - 1]), b = std::log(mag[best]), c = std::log(mag[best + 1]);
  const double delta = 0.5 * (a - c) / (a - 2 * b + c);
  return (best + delta) * rate / n;
}

// Magnitude of the component at f in x[from .. from + n): the amplitude of
// a cosine at f (least-squares fit over the segment).
struct SineFit {
  double amplitude = 0;
  double phase = 0;
  double maxResidual = 0;
  double rmsResidual = 0;
};

inline SineFit FitSine(const std::vector<int16_t>& x, size_t from, size_t n, double f,
                       double rate) {
  // Normal equations for a cos + b sin + c.
  double scc = 0, sss = 0, ssc = 0, sc = 0, ss = 0, xc = 0, xs = 0, sx = 0;
  for (size_t k = from; k < from + n; ++k) {
    const double w = 2 * kPi * f * static_cast<double>(k) / rate;
    const double c = std::cos(w), s = std::sin(w), v = x[k];
    scc += c * c;
    sss += s * s;
    ssc += s * c;
    sc += c;
    ss += s;
    xc += v * c;
    xs += v * s;
    sx += v;
  }
  const double m = static_cast<double>(n);
  // Solve the 3x3 system by Cramer's rule.
  const double A[3][3] = {{scc, ssc, sc}, {ssc, sss, ss}, {sc, ss, m}};
  const double B[3] = {xc, xs, sx};
  auto det = [](const double M[3][3]) {
    return M[0][0] * (M[1][1] * M[2][2] - M[1][2] * M[2][1]) -
           M[0][1] * (M[1][0] * M[2][2] - M[1][2] * M[2][0]) +
           M[0][2] * (M[1][0] * M[2][1] - M[1][1] * M[2][0]);
  };
  const double d = det(A);
  double sol[3];
  for (int col = 0; col < 3; ++col) {
    double M[3][3];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) M[r][c] = c == col ? B[r] : A[r][c];
    sol[col] = det(M) / d;
  }
  SineFit fit;
  fit.amplitude = std::hypot(sol[0], sol[1]);
  fit.phase = std::atan2(-sol[1], sol[0]);
  double sum2 = 0;
  for (size_t k = from; k < from + n; ++k) {
    const double w = 2 * kPi * f * static_cast<double>(k) / rate;
    const double r = x[k] - (sol[0] * std::cos(w) + sol[1] * std::sin(w) + sol[2]);
    fit.maxResidual = std::max(fit.maxResidual, std::fabs(r));
    sum2 += r * r;
  }
  fit.rmsResidual = std::sqrt(sum2 / m);
  return fit;
}

inline double Rms(const std::vector<int16_t>& x, size_t from, size_t n) {
  double sum2 = 0;
  for (size_t k = from; k < from + n; ++k) sum2 += static_cast<double>(x[k]) * x[k];
  return std::sqrt(sum2 / static_cast<double>(n));
}

// Where a tone at f switches on in x: the envelope (demodulated at f and
// averaged over a centred window of `window` samples) first reaches half its
// final value; the final value is taken from the last `window` samples.
inline double Onset(const std::vector<int16_t>& x, double f, double rate, int window) {
  const size_t n = x.size();
  std::vector<double> i(n + 1, 0.0), q(n + 1, 0.0);  // prefix sums
  for (size_t k = 0; k < n; ++k) {
    const double w = 2 * kPi * f * static_cast<double>(k) / rate;
    i[k + 1] = i[k] + x[k] * std::cos(w);
    q[k + 1] = q[k] + x[k] * std::sin(w);
  }
  auto envelope = [&](size_t centre) {
    const size_t a = centre - window / 2, b = a + window;
    return std::hypot(i[b] - i[a], q[b] - q[a]);
  };
  const double final = envelope(n - window / 2 - 1);
  for (size_t c = window / 2; c + window / 2 + 1 < n; ++c) {
    if (envelope(c) >= final / 2) {
      // Interpolate between c - 1 and c.
      const double e0 = envelope(c - 1), e1 = envelope(c);
      return static_cast<double>(c) - 1 + (final / 2 - e0) / (e1 - e0);
    }
  }
  return -1;
}

}  // namespace merivac::testing
