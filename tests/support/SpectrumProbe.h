// SpectrumProbe.h - reading the spectrum view's pictures in tests: the
// place of a colour on the colour ramp, the brightest waterfall column, the
// main window's font, and test tones at 12 000 samples per second.
#pragma once

#include <QFont>
#include <cmath>
#include <cstdint>
#include <vector>

#include "common/Rgb.h"
#include "spectrum/SpectrumLayout.h"
#include "spectrum/Waterfall.h"

namespace merivac::testing {

// The main window's font, in which the spectrum window draws its texts.
inline QFont SpectrumTestFont() { return SpectrumWindowFont(); }

// Where a colour of LevelToColor lies on the ramp (0 black .. 768 red);
// -1 for a colour that is not on it.
inline int RampValue(Rgb c) {
  if (c.r == 0 && c.g == 0) return c.b;
  if (c.r == c.g && c.r < 255 && c.r + c.b == 255) return c.r + 256;
  if (c.r == 255 && c.b == 0) return c.g == 255 ? 512 : 768 - c.g;
  return -1;
}

// The column of panel row `row` with the highest ramp value, from column
// `from`. A strong tone clamps the trace over several columns (with a dip
// where a column's bin meets a null of the window): for one signal, the
// middle between the first and the last column of the highest value.
inline int BrightestColumn(const Waterfall& w, int row, int from = 1) {
  int first = from, last = from, bestValue = -2;
  for (int x = from; x < w.Width(); ++x) {
    const int v = RampValue(w.PixelAt(x, row));
    if (v > bestValue) {
      bestValue = v;
      first = last = x;
    } else if (v == bestValue) {
      last = x;
    }
  }
  return (first + last) / 2;
}

// n samples of a sine at f Hz (12 000 per second) with the given amplitude,
// starting at sample number `first`.
inline std::vector<int16_t> Tone12k(double f, int n, double amplitude = 8000, long first = 0) {
  std::vector<int16_t> out(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    out[static_cast<size_t>(i)] = static_cast<int16_t>(
        std::lround(amplitude * std::sin(2 * M_PI * f * static_cast<double>(first + i) / 12000)));
  }
  return out;
}

}  // namespace merivac::testing
