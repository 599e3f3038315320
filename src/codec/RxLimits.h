// RxLimits.h - the receive audio band handed to the decoder.
//
// The decoder bridge takes the current RX limits through an accessor, so it
// always sees the values the frequency rules (qso/Frequencies.h) hold, e.g.
//   [&] { return RxFreqLimits{freqs.RxLowLimit(), freqs.RxHighLimit()}; }
#pragma once

#include <cstdint>
#include <functional>

namespace merivac {

struct RxFreqLimits {
  uint16_t low = 400;
  uint16_t high = 1400;
};

using RxLimitsAccessor = std::function<RxFreqLimits()>;

}  // namespace merivac
