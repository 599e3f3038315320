// CycleClockTest.cpp - cycle arithmetic on UTC, the time mark, the cycle
// display texts and the start-up of the clock.
#include <gtest/gtest.h>

#include "EngineRig.h"
#include "common/DateTime.h"
#include "common/Rgb.h"
#include "cycle/CycleClock.h"

namespace merivac {
namespace {

using testing::At;
using testing::EngineRig;

TEST(CycleClock, PositionStartMinuteAndParityFollowUtc) {
  struct Case {
    const char* what;
    double offsetHours;
    uint32_t mode;
    double local;
    double seconds;
    int startMinute;
    int parity;
  };
  const Case cases[] = {
      {"UTC, JT9-2", 0, 2, At(10, 3, 30), 90.0, 2, 2},
      {"UTC+5:45, boundaries follow UTC", 5.75, 2, At(15, 48, 30), 90.0, 2, 2},
      {"UTC+5:30 exactly on a JT9-10 boundary", 5.5, 10, At(16, 0, 0), 0.0, 30, 2},
      {"JT9-1 just before midnight", 0, 1, At(23, 59, 59, 900), 59.9, 59, 2},
      {"JT9-1 just after midnight", 0, 1, At(23, 59, 59, 900) + 0.15 / 86400, 0.05, 0, 1},
      {"UTC-9:30 local evening is the next UTC day", -9.5, 5, At(0, 30, 0), 0.0, 0, 1},
      {"JT9-5 last second of the first cycle", 0, 5, At(10, 4, 59), 299.0, 0, 1},
      {"JT9-5 second cycle", 0, 5, At(10, 5, 0, 20), 0.02, 5, 2},
      {"JT9-10 cycle 40-50 is a first cycle", 0, 10, At(7, 45, 0), 300.0, 40, 1},
      {"JT9-10 cycle 50-00 is a second cycle", 0, 10, At(7, 59, 0), 540.0, 50, 2},
  };
  for (const Case& c : cases) {
    const double utc = UtcFromLocal(c.local, c.offsetHours);
    EXPECT_NEAR(SecondsIntoCycle(utc, c.mode), c.seconds, 1e-5) << c.what;
    EXPECT_EQ(CycleStartMinuteAt(utc, c.mode), c.startMinute) << c.what;
    EXPECT_EQ(CycleParity(utc, c.mode), c.parity) << c.what;
  }
}

TEST(CycleClock, TimeMarkIsRaisedOnceWhenTheStartMinuteChanges) {
  CycleClock clock;
  clock.Start(At(10, 4, 59), 5);
  EXPECT_EQ(clock.cycleStartMinute, 0);
  clock.UpdateCycleStartMinute(At(10, 4, 59, 980), 5);
  EXPECT_FALSE(clock.timeMarkDue);
  clock.UpdateCycleStartMinute(At(10, 5, 0, 20), 5);
  EXPECT_TRUE(clock.timeMarkDue);
  EXPECT_EQ(clock.cycleStartMinute, 5);
  clock.timeMarkDue = false;  // the spectrum view has drawn its mark
  clock.UpdateCycleStartMinute(At(10, 5, 0, 70), 5);
  EXPECT_FALSE(clock.timeMarkDue);
}

TEST(CycleClock, StatusBarWidthColourAndCaption) {
  const std::string msg = "CQ K1ABC FN42";
  struct Case {
    const char* what;
    uint32_t mode;
    double sec;
    bool capturing, transmitting, pttOn, tuning;
    Rgb color;
    std::string caption;
    int width;
  };
  const Case cases[] = {
      {"idle rounds up", 1, 59.6, false, false, false, false, colors::kCycleIdle, "60/60 (idle)",
       231},
      {"receive", 10, 12.6, true, false, false, false, colors::kCycleRx, "13/600 (RX)", 5},
      {"past the decode start", 1, 51.0, true, false, false, false, colors::kCycleIdle,
       "51/60 (idle)", 198},
      {"transmitting with PTT", 2, 30.4, true, true, true, false, colors::kCycleTx,
       "30/120 (TX:CQ K1ABC FN42)", 59},
      {"transmit cycle before PTT", 2, 0.6, true, true, false, false, colors::kCycleIdle,
       "1/120 (idle)", 1},
      {"tuning fills the bar", 1, 20.0, false, false, false, true, colors::kCycleTuning, "Tuning",
       233},
  };
  for (const Case& c : cases) {
    MainControls controls;
    ShowCycleStatus(controls, CycleStatusInput{c.sec, c.mode, c.capturing, c.transmitting, c.pttOn,
                                               c.tuning, &msg});
    EXPECT_EQ(controls.Get(Ctl::CycleLabel).color, c.color) << c.what;
    EXPECT_EQ(controls.Text(Ctl::CycleTextLabel), c.caption) << c.what;
    EXPECT_EQ(controls.Get(Ctl::CycleLabel).width, c.width) << c.what;
  }
}

TEST(CycleClock, LabelsOfTheClockAndTheCurrentCycle) {
  EXPECT_EQ(TimeLabelText(EncodeDateTime(2026, 3, 7, 9, 5, 3)), "2026 Mar 07\r\n09:05:03");
  EXPECT_EQ(CurrentCycleText(1), "Current cycle: 1st");
  EXPECT_EQ(CurrentCycleText(2), "Current cycle: 2nd");
}

// Start-up takes the clock from its first moment: the first tick in the
// middle of a cycle starts no cycle and raises no time mark.
TEST(CycleClock, StartUpDoesNotStartACycleOrRaiseTheTimeMark) {
  EngineRig rig(2);
  rig.settings.utcOffsetHours = 1;
  rig.Start(At(11, 3, 10));  // UTC 10:03:10, in the second JT9-2 cycle 02-04
  EXPECT_EQ(rig.controls.Text(Ctl::CurrentCycleLabel), "Current cycle: 2nd");
  EXPECT_EQ(rig.engine.Cycle().cycleStartMinute, 2);
  rig.Tick();
  EXPECT_FALSE(rig.engine.Cycle().timeMarkDue);
  EXPECT_EQ(rig.journal.Count("cycle start"), 0u);
  rig.RunUntil(At(11, 4, 0, 100));
  EXPECT_TRUE(rig.engine.Cycle().timeMarkDue);
  ASSERT_EQ(rig.journal.Count("cycle start"), 1u);
  EXPECT_EQ(rig.controls.Text(Ctl::CurrentCycleLabel), "Current cycle: 1st");
}

// The clock label shows UTC, refreshed every fifth tick.
TEST(CycleClock, ClockLabelShowsUtcEveryFifthTick) {
  EngineRig rig(1);
  rig.settings.utcOffsetHours = 2;
  rig.Start(At(12, 0, 10));
  const std::string before = rig.controls.Text(Ctl::TimeLabel);
  for (int i = 0; i < 4; ++i) rig.Tick();
  EXPECT_EQ(rig.controls.Text(Ctl::TimeLabel), before);
  rig.Tick();
  EXPECT_EQ(rig.controls.Text(Ctl::TimeLabel), "2026 Mar 02\r\n10:00:10");
}

TEST(CycleClock, MidnightWrapStartsAFirstCycle) {
  EngineRig rig(1);
  rig.Start(At(23, 59, 59, 880));
  rig.Tick();  // 23:59:59.930
  EXPECT_EQ(rig.journal.Count("cycle start"), 0u);
  rig.Tick();  // 23:59:59.980
  rig.Tick();  // 00:00:00.030 next day
  ASSERT_EQ(rig.journal.Count("cycle start"), 1u);
  EXPECT_NEAR(rig.journal.First("cycle start")->sec, 0.03, 1e-4);
  EXPECT_EQ(rig.controls.Text(Ctl::CurrentCycleLabel), "Current cycle: 1st");
}

TEST(CycleClock, TimeLabelClickEndsTheAlert) {
  EngineRig rig;
  rig.controls.SetColor(Ctl::TimeLabel, colors::kRed);
  rig.engine.TimeLabelClick();
  EXPECT_EQ(rig.controls.Get(Ctl::TimeLabel).color, colors::kBlack);
  EXPECT_EQ(rig.journal.Count("alert off"), 1u);
}

}  // namespace
}  // namespace merivac
