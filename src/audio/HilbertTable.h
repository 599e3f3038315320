// HilbertTable.h - the 801-tap Hilbert transformer of the front end mixer.
//
// h[i], i = -400..400: 0 for even i (and so for |i| = 400); for odd i
// h[i] = -(2 / (pi i)) w(|i|) with h[-i] = -h[i]. The window w is 1 at the
// centre and falls smoothly and monotonically towards 0; it passes through
// the values fixed by the reference taps below (h[1], h[3], h[5], h[99],
// h[199], h[299], h[399]), which the filter must reproduce.
#pragma once

#include <array>

namespace merivac {

constexpr int kHilbertHalf = 400;  // K, the half-length of the filter

// The reference taps the table reproduces.
struct HilbertReferenceTap {
  int index;
  double value;
};
inline constexpr std::array<HilbertReferenceTap, 7> kHilbertReferenceTaps{{
    {1, -0.6365088324396287},
    {3, -0.21211752096446074},
    {5, -0.12720802471043427},
    {99, -0.0047295252167455},
    {199, -0.000843813156307615},
    {299, -6.0963883077075e-05},
    {399, -2.00794097795678e-10},
}};

// The window w(x) for 0 <= x <= 399: a monotone cubic Hermite interpolant
// (Fritsch-Carlson) of ln w over x^2 through w(0) = 1 and the reference
// points. Interpolating over x^2 makes w even and flat at the centre.
double HilbertWindow(double x);

// h[i] at index i + 400.
const std::array<double, 2 * kHilbertHalf + 1>& HilbertTable();

inline double HilbertTap(int i) { return HilbertTable()[i + kHilbertHalf]; }

}  // namespace merivac
