// Clock.h - the engine's only view of time.
//
// Now() is the PC clock (local time) as a day count; Elapsed() is a
// monotonic stopwatch in seconds. Production uses SystemClock; tests and
// simulations use ManualClock and advance it themselves.
#pragma once

#include <chrono>

#include "common/DateTime.h"

namespace merivac {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Now() const = 0;
  virtual double Elapsed() const = 0;
};

class SystemClock final : public Clock {
 public:
  double Now() const override { return SystemLocalNow(); }
  double Elapsed() const override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }
};

// A clock that moves only when told to. Elapsed() follows Now(), so a tick
// measured against it takes no time unless the test advances the clock.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(double now = EncodeDateTime(2026, 1, 1)) : now_(now) {}
  double Now() const override { return now_; }
  double Elapsed() const override { return (now_ - start_) * kSecondsPerDay; }
  void Set(double now) { now_ = now; }
  void AdvanceSeconds(double seconds) { now_ += seconds / kSecondsPerDay; }

 private:
  double now_;
  double start_ = now_;
};

}  // namespace merivac
