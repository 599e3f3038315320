// SincTables.h - the coefficient tables of the capture chain's resamplers.
//
// SincTable920 interpolates 9 outputs from every 20 inputs (the 9/20 stage
// of JT9-2 and JT9-5), SincTable38 3 outputs from every 8 (the 3/8 stage of
// JT9-5); both are windowed sinc kernels, one row per output phase, built
// once at start-up by BuildSincTables. Fir112 is the fixed low-pass of the
// 1/12 decimation of JT9-10. The kernels are kept in extended precision
// because the resamplers sum in it.
#pragma once

#include <array>
#include <cstdint>

namespace merivac {

// One polyphase table with the parameters the resamplers read from it. A
// step of 0 means the table was never built.
template <int Rows, int Taps>
struct SincTable {
  int lastRow = 0;       // Rows - 1 once built
  int lastTap = 0;       // Taps - 1 once built
  int offset = 0;        // taps before the output position
  int step = 0;          // input samples consumed per group of Rows outputs
  long double gain = 0;  // brings the stage to about unit gain
  std::array<std::array<long double, Taps>, Rows> rows{};
  // The non-zero taps of each row: sums over first..last equal sums over
  // all taps exactly (the others add exact zeros).
  std::array<int, Rows> first{};
  std::array<int, Rows> last{};
};

using SincTable920 = SincTable<9, 40>;
using SincTable38 = SincTable<3, 32>;

struct SincTables {
  SincTable920 table920;
  SincTable38 table38;
  bool Built() const { return table920.step != 0 && table38.step != 0; }
};

// sin(pi x) / (pi x), 1 at 0.
long double Sinc(long double x);

// Fills both tables and their parameters.
void BuildSincTables(SincTables& tables);

// The 121 taps f[k], k = -60..60, stored at index k + 60. Their sum is about
// 11.994 and no gain is applied: JT9-10 records a narrow-band signal about
// 12 times (21.6 dB) larger than it arrives.
constexpr int kFir112Half = 60;
const std::array<long double, 2 * kFir112Half + 1>& Fir112();

}  // namespace merivac
