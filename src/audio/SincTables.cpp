// SincTables.cpp - windowed sinc kernels for the 9/20, 3/8 and 1/12 stages.
#include "audio/SincTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace merivac {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// Row p of a polyphase kernel: centre c = centre0 + step p / rows, taps
// within `reach` of floor(c) get sinc(cutoff t) cos(taper pi t), t = j - c.
template <int Rows, int Taps>
void FillRows(SincTable<Rows, Taps>& table, long double centre0, int reach, long double cutoff,
              long double taper) {
  for (int p = 0; p < Rows; ++p) {
    const long double c = centre0 + static_cast<long double>(table.step) * p / Rows;
    const int base = static_cast<int>(std::floor(c));
    for (int j = 0; j < Taps; ++j) {
      const long double t = j - c;
      const bool inside = j >= base - reach && j <= base + reach;
      table.rows[p][j] = inside ? Sinc(cutoff * t) * std::cos(taper * kPi * t) : 0.0L;
    }
    table.first[p] = std::max(base - reach, 0);
    table.last[p] = std::min(base + reach, Taps - 1);
  }
}

}  // namespace

long double Sinc(long double x) {
  if (x == 0) return 1.0L;
  return std::sin(kPi * x) / (kPi * x);
}

void BuildSincTables(SincTables& tables) {
  auto& t920 = tables.table920;
  t920.lastRow = 8;
  t920.lastTap = 39;
  t920.offset = 39 / 2;
  t920.step = 20;
  t920.gain = 0.468L;
  FillRows(t920, 11.0L, 11, 0.45L, 0.045L);

  auto& t38 = tables.table38;
  t38.lastRow = 2;
  t38.lastTap = 31;
  t38.offset = 16;
  t38.step = 8;
  t38.gain = 0.353L;
  FillRows(t38, 13.0L, 13, 0.375L, 0.0375L);
}

const std::array<long double, 2 * kFir112Half + 1>& Fir112() {
  static const auto table = [] {
    std::array<long double, 2 * kFir112Half + 1> f{};
    for (int k = -kFir112Half + 1; k < kFir112Half; ++k) {
      f[k + kFir112Half] = Sinc(k / 12.0L) * std::cos(kPi * k / 120.0L);
    }
    return f;  // f[-60] = f[60] = 0
  }();
  return table;
}

}  // namespace merivac
