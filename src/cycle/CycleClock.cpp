// CycleClock.cpp - cycle arithmetic on UTC day counts and the cycle display.
#include "cycle/CycleClock.h"

#include <cmath>

#include "common/DateTime.h"
#include "common/Mode.h"
#include "common/Rgb.h"

namespace merivac {

double UtcFromLocal(double localNow, double utcOffsetHours) {
  return localNow - utcOffsetHours / 24.0;
}

namespace {

// The time as whole microseconds since the day count's epoch. Cycle
// boundaries are whole seconds, and a clock sitting exactly on one (10:30:00
// less an offset of 5.5 h) must not land a hair before it through the
// rounding of the day fraction.
int64_t Microseconds(double utc) { return std::llround(utc * kSecondsPerDay * 1e6); }

int64_t FloorMod(int64_t a, int64_t b) { return ((a % b) + b) % b; }

}  // namespace

double SecondsIntoCycle(double utc, uint32_t mode) {
  const auto cycle = static_cast<int64_t>(CycleSeconds(mode)) * 1000000;
  if (cycle <= 0) return 0;
  return static_cast<double>(FloorMod(Microseconds(utc), cycle)) / 1e6;
}

uint8_t CycleStartMinuteAt(double utc, uint32_t mode) {
  if (mode == 0) return 0;
  const int64_t minute = FloorMod(Microseconds(utc), 86400LL * 1000000) / 60000000;
  const auto minuteOfHour = static_cast<uint32_t>(minute % 60);
  return static_cast<uint8_t>((minuteOfHour / mode) * mode);
}

int CycleParity(double utc, uint32_t mode) {
  const auto cycle = static_cast<int64_t>(CycleSeconds(mode)) * 1000000;
  if (cycle <= 0) return 1;
  const int64_t ofDay = FloorMod(Microseconds(utc), 86400LL * 1000000);
  return static_cast<int>((ofDay / cycle) % 2) + 1;
}

std::string CurrentCycleText(int parity) {
  return parity == 1 ? "Current cycle: 1st" : "Current cycle: 2nd";
}

std::string TimeLabelText(double utc) {
  return FormatDateTime("yyyy mmm dd", utc) + "\r\n" + FormatDateTime("hh:nn:ss", utc);
}

void ShowCycleStatus(MainControls& controls, const CycleStatusInput& in) {
  const double cycle = CycleSeconds(in.mode);
  int bgWidth = controls.Get(Ctl::CycleBgLabel).width;
  if (bgWidth < 0) bgWidth = kCycleBgLabelWidth;
  if (cycle > 0) {
    controls.SetWidth(Ctl::CycleLabel,
                      static_cast<int>(std::lround(bgWidth * in.secondsIntoCycle / cycle)));
  }
  const std::string prefix = std::to_string(std::lround(in.secondsIntoCycle)) + "/" +
                             std::to_string(static_cast<int>(cycle));
  Rgb color = colors::kCycleIdle;
  std::string caption = prefix + " (idle)";
  if (in.capturing && in.secondsIntoCycle > DecodeStartSeconds(in.mode)) {
    // past the decode threshold: shown as idle
  } else if (in.capturing && in.transmitting && in.pttOn) {
    color = colors::kCycleTx;
    caption = prefix + " (TX:" + (in.txMessage ? *in.txMessage : std::string()) + ")";
  } else if (in.capturing && in.transmitting) {
    // PTT not yet on: idle
  } else if (in.capturing) {
    color = colors::kCycleRx;
    caption = prefix + " (RX)";
  } else if (in.tuning) {
    color = colors::kCycleTuning;
    caption = "Tuning";
    controls.SetWidth(Ctl::CycleLabel, bgWidth);
  }
  controls.SetColor(Ctl::CycleLabel, color);
  controls.SetText(Ctl::CycleTextLabel, caption);
}

void CycleClock::UpdateCycleStartMinute(double utc, uint32_t mode) {
  const uint8_t minute = CycleStartMinuteAt(utc, mode);
  if (minute != cycleStartMinute) {
    cycleStartMinute = minute;
    timeMarkDue = true;
  }
}

void CycleClock::Start(double utc, uint32_t mode) {
  cycleStartMinute = CycleStartMinuteAt(utc, mode);
  prevSecondsIntoCycle = SecondsIntoCycle(utc, mode);
}

}  // namespace merivac
