// CycleClock.h - the cycle clock: UTC from the PC clock, the position in the
// current cycle, the cycle's start minute and parity, the new-cycle test,
// and the cycle display on the main window (progress bar, current-cycle
// label, clock label).
//
// Cycles are aligned to the UTC hour. The functions are pure; the only
// state is the start minute with its time-mark flag and the position of the
// previous tick, kept in CycleClock and evaluated once per tick.
#pragma once

#include <cstdint>
#include <string>

#include "common/MainControls.h"

namespace merivac {

// Design width of CycleBgLabel, the background of the cycle progress bar.
constexpr int kCycleBgLabelWidth = 233;

// UTC as a day count: the PC clock (local) less the offset in hours.
double UtcFromLocal(double localNow, double utcOffsetHours);

// Seconds elapsed in the current cycle of `mode` minutes at UTC time t.
double SecondsIntoCycle(double utc, uint32_t mode);

// Minute of the UTC hour at which the cycle containing t began.
uint8_t CycleStartMinuteAt(double utc, uint32_t mode);

// 1 for a first cycle, 2 for a second cycle (whole cycles since 00:00 UTC).
int CycleParity(double utc, uint32_t mode);

// A new cycle has begun when the position wrapped since the previous tick.
inline bool IsNewCycle(double secondsIntoCycle, double prevSecondsIntoCycle) {
  return secondsIntoCycle < prevSecondsIntoCycle;
}

// "Current cycle: 1st" or "Current cycle: 2nd".
std::string CurrentCycleText(int parity);

// The clock label: "yyyy mmm dd", CR LF, "hh:nn:ss" of the UTC time.
std::string TimeLabelText(double utc);

// What ShowCycleStatus reads of the operating state.
struct CycleStatusInput {
  double secondsIntoCycle = 0;
  uint32_t mode = 1;
  bool capturing = false;
  bool transmitting = false;
  bool pttOn = false;
  bool tuning = false;
  const std::string* txMessage = nullptr;
};

// Progress bar width and colour and the caption of CycleTextLabel.
void ShowCycleStatus(MainControls& controls, const CycleStatusInput& in);

// The clock state carried from tick to tick.
struct CycleClock {
  uint8_t cycleStartMinute = 0;
  bool timeMarkDue = false;  // raised when the start minute changes; the spectrum clears it
  double prevSecondsIntoCycle = 0;

  // Stores the start minute of t; raises timeMarkDue when it changed.
  void UpdateCycleStartMinute(double utc, uint32_t mode);

  // Start-up: takes the start minute and the position from the UTC time of
  // the start, so that the first tick neither raises the time mark nor sees
  // a new cycle merely because the program started.
  void Start(double utc, uint32_t mode);
};

}  // namespace merivac
