// HilbertTable.cpp - the window and the taps of the Hilbert transformer.
//
// ln w is nearly linear in x^2 over most of the filter (a Gaussian-like
// window) and drops steeply near the ends; a shape-preserving cubic through
// the reference points follows that without overshoot, so w stays monotone.
#include "audio/HilbertTable.h"

#include <cmath>
#include <numbers>

namespace merivac {

namespace {

constexpr int kNodes = 8;

struct WindowSpline {
  std::array<double, kNodes> u{};  // x^2 at the nodes
  std::array<double, kNodes> l{};  // ln w at the nodes
  std::array<double, kNodes> d{};  // d(ln w)/du at the nodes
};

// The end derivative of a monotone cubic (three-point formula, limited).
double EndSlope(double h0, double h1, double s0, double s1) {
  double d = ((2 * h0 + h1) * s0 - h0 * s1) / (h0 + h1);
  if (std::signbit(d) != std::signbit(s0)) return 0.0;
  if (std::signbit(s0) != std::signbit(s1) && std::fabs(d) > std::fabs(3 * s0)) return 3 * s0;
  return d;
}

WindowSpline MakeSpline() {
  WindowSpline s;
  s.u[0] = 0;
  s.l[0] = 0;
  for (int k = 0; k < 7; ++k) {
    const auto& tap = kHilbertReferenceTaps[k];
    const double x = tap.index;
    s.u[k + 1] = x * x;
    s.l[k + 1] = std::log(-tap.value * std::numbers::pi * x / 2.0);
  }
  std::array<double, kNodes - 1> h{};
  std::array<double, kNodes - 1> slope{};
  for (int k = 0; k + 1 < kNodes; ++k) {
    h[k] = s.u[k + 1] - s.u[k];
    slope[k] = (s.l[k + 1] - s.l[k]) / h[k];
  }
  for (int k = 1; k + 1 < kNodes; ++k) {
    if (slope[k - 1] * slope[k] <= 0) {
      s.d[k] = 0;
    } else {
      const double w1 = 2 * h[k] + h[k - 1];
      const double w2 = h[k] + 2 * h[k - 1];
      s.d[k] = (w1 + w2) / (w1 / slope[k - 1] + w2 / slope[k]);
    }
  }
  s.d[0] = EndSlope(h[0], h[1], slope[0], slope[1]);
  s.d[kNodes - 1] = EndSlope(h[kNodes - 2], h[kNodes - 3], slope[kNodes - 2], slope[kNodes - 3]);
  return s;
}

const WindowSpline& Spline() {
  static const WindowSpline spline = MakeSpline();
  return spline;
}

}  // namespace

double HilbertWindow(double x) {
  const WindowSpline& s = Spline();
  const double u = x * x;
  int k = 0;
  while (k + 2 < kNodes && u > s.u[k + 1]) ++k;
  const double h = s.u[k + 1] - s.u[k];
  const double t = (u - s.u[k]) / h;
  const double t2 = t * t;
  const double t3 = t2 * t;
  const double l = (2 * t3 - 3 * t2 + 1) * s.l[k] + (t3 - 2 * t2 + t) * h * s.d[k] +
                   (-2 * t3 + 3 * t2) * s.l[k + 1] + (t3 - t2) * h * s.d[k + 1];
  return std::exp(l);
}

const std::array<double, 2 * kHilbertHalf + 1>& HilbertTable() {
  static const auto table = [] {
    std::array<double, 2 * kHilbertHalf + 1> t{};
    for (int i = 1; i < kHilbertHalf; i += 2) {
      const double v = -(2.0 / (std::numbers::pi * i)) * HilbertWindow(i);
      t[kHilbertHalf + i] = v;
      t[kHilbertHalf - i] = -v;
    }
    return t;
  }();
  return table;
}

}  // namespace merivac
