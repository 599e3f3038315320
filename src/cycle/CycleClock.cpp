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

double SecondsIntoCycle(double utc, uint32_t mode) {
  const double cycle = CycleSeconds(mode);
  if (cycle <= 0) return 0;
  const double x = utc * kSecondsPerDay;
  const auto n = static_cast<int64_t>(x / cycle);  // toward zero
  return x - static_cast<double>(n) * cycle;
}

uint8_t CycleStartMinuteAt(double utc, uint32_t mode) {
  if (mode == 0) return 0;
  const auto m = static_cast<int64_t>(utc * kMinutesPerDay);
  const auto minuteOfHour = static_cast<uint32_t>(((m % 60) + 60) % 60);
  return static_cast<uint8_t>((minuteOfHour / mode) * mode);
}

int CycleParity(double utc, uint32_t mode) {
  const double cycle = CycleSeconds(mode);
  if (cycle <= 0) return 1;
  const double dayFraction = utc - std::floor(utc);
  const auto n = static_cast<int64_t>(dayFraction * kSecondsPerDay / cycle);
  return static_cast<int>(n % 2) + 1;
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
