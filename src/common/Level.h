// Level.h - the input level in dB that the level bar and the debug log show.
#pragma once

#include <cmath>
#include <cstdint>

namespace merivac {

// 0 for a peak of 0; otherwise 20 log10(peak / 32768) rounded, plus 90,
// so that a full-scale peak reads 90 and a peak of 1 reads 0.
inline int LevelDb(int16_t peak) {
  if (peak <= 0) return 0;
  return static_cast<int>(std::lround(20.0 * std::log10(peak / 32768.0))) + 90;
}

}  // namespace merivac
