// TickTest.cpp - the main tick through receive cycles in simulated time:
// cycle starts, decoding, the level bar, the busy display, the debug-log
// lines, start-up notice, keep-alives, field commits and recovery from a
// failing stage.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineRig.h"
#include "common/Level.h"
#include "common/Notice.h"
#include "common/Rgb.h"

namespace merivac {
namespace {

using testing::At;
using testing::EngineRig;
using testing::kTick;

constexpr double kEps = 1e-4;

TEST(Tick, Jt91ReceiveCyclesRecordDecodeAndStartTheNext) {
  EngineRig rig(1);
  rig.decoder.decodes = 3;
  rig.Start(At(10, 0, 30, 13));
  rig.RunUntil(At(10, 3, 5));

  const auto starts = rig.journal.All("cycle start");
  ASSERT_EQ(starts.size(), 3u);
  for (const auto& s : starts) {
    EXPECT_GT(s.sec, 0);
    EXPECT_LE(s.sec, kTick + kEps);  // the first tick after the minute turned
  }
  const auto decodes = rig.journal.All("decode");
  ASSERT_EQ(decodes.size(), 2u);
  for (const auto& d : decodes) {
    EXPECT_GT(d.sec, DecodeStartSeconds(1));
    EXPECT_LE(d.sec, DecodeStartSeconds(1) + kTick + kEps);
  }
  // Input paused for the decoder and resumed right after it.
  EXPECT_EQ(rig.decoder.pausedWhileDecoding, (std::vector<bool>{true, true}));
  EXPECT_EQ(rig.decoder.capturingWhileDecoding, (std::vector<bool>{true, true}));
  const int d = rig.journal.IndexOf("decode");
  EXPECT_EQ(rig.journal.entries[d - 1].what, "input pause");
  EXPECT_EQ(rig.journal.entries[d + 1].what, "input resume");
  EXPECT_FALSE(rig.inputChannel.Paused());
  // The running cycle records what the input delivers (5 s at 96000 bytes/s).
  EXPECT_TRUE(rig.engine.Flags().capturing);
  EXPECT_NEAR(static_cast<double>(rig.capture.recordedBytes), 5 * 96000.0, 96000 * kTick * 2);
  EXPECT_EQ(rig.controls.Get(Ctl::CycleLabel).color, colors::kCycleRx);
}

TEST(Tick, Jt910CycleRunsInSimulatedTime) {
  EngineRig rig(10);
  rig.Start(At(10, 9, 59, 13));
  rig.RunUntil(At(10, 20, 1));
  EXPECT_EQ(rig.journal.Count("cycle start"), 2u);
  const auto decode = rig.journal.First("decode");
  ASSERT_TRUE(decode);
  EXPECT_GT(decode->sec, 589.52);
  EXPECT_LE(decode->sec, 589.52 + kTick + kEps);
}

TEST(Tick, DecodingThatRunsPastTheBoundaryStartsTheNextCycleAtTheNextTick) {
  EngineRig rig(1);
  rig.decoder.seconds = 10;  // from 50.96 s to past the minute
  rig.Start(At(10, 0, 59, 13));
  rig.RunUntil(At(10, 2, 5));
  const auto starts = rig.journal.All("cycle start");
  ASSERT_GE(starts.size(), 2u);
  const double ended = rig.journal.First("decode")->local + 10 / kSecondsPerDay;
  EXPECT_NEAR((starts[1].local - ended) * kSecondsPerDay, kTick, kEps);
}

TEST(Tick, TransmitCyclesFollowTxFirstAndTheParity) {
  struct Case {
    bool enabled;
    bool txFirst;
  };
  for (const Case c : {Case{true, false}, Case{true, true}, Case{false, false}}) {
    EngineRig rig(1);
    rig.settings.txFirst = c.txFirst;
    rig.SetGenMessage("CQ K1ABC FN42");
    rig.Start(At(10, 0, 30, 13));
    if (c.enabled) rig.engine.EnableTxButtonClick();
    rig.RunUntil(At(10, 4, 55));
    const auto starts = rig.journal.All("cycle start");
    ASSERT_EQ(starts.size(), 4u);
    for (const auto& s : starts) {
      const int parity = CycleParity(s.local, 1);
      const bool due = c.enabled && (c.txFirst ? parity == 1 : parity == 2);
      bool sent = false;
      for (const auto& e : rig.journal.All("encode CQ K1ABC FN42")) sent |= e.local == s.local;
      EXPECT_EQ(sent, due) << "txFirst " << c.txFirst << " parity " << parity;
    }
    // Each cycle is either decoded or transmitted.
    EXPECT_EQ(rig.journal.Count("decode") + rig.journal.Count("audio start"), 4u);
  }
}

TEST(Tick, LevelBarThresholdsAndHints) {
  struct Case {
    int16_t peak;
    int level;
    std::optional<Rgb> color;
    bool hintShown;
    const char* hint;
  };
  const Case cases[] = {
      {1, 0, Rgb{255, 127, 0}, true, "low audio input level"},
      {19, 25, Rgb{255, 127, 0}, true, "low audio input level"},
      {20, 26, std::nullopt, false, ""},
      {3093, 69, std::nullopt, false, ""},
      {3094, 70, colors::kRed, true, "high audio input level"},
      {32767, 90, colors::kRed, true, "high audio input level"},
  };
  for (const Case& c : cases) {
    EngineRig rig(1);
    rig.inputChannel.amplitude = c.peak;
    rig.Start(At(10, 0, 10, 13));
    for (int i = 0; i < 5; ++i) rig.Tick();
    EXPECT_EQ(rig.controls.Get(Ctl::LevelBar).position, c.level) << c.peak;
    EXPECT_EQ(rig.controls.Text(Ctl::LeveldBLabel), std::to_string(c.level) + "dB") << c.peak;
    EXPECT_EQ(rig.controls.Get(Ctl::LeveldBLabel).fontColor, c.color) << c.peak;
    EXPECT_EQ(rig.controls.Get(Ctl::LeveldBLabel).showHint, c.hintShown) << c.peak;
    if (c.hintShown) {
      EXPECT_EQ(rig.controls.Get(Ctl::LeveldBLabel).hint, c.hint) << c.peak;
    }
    EXPECT_EQ(rig.capture.InputPeak(), 0) << "reset after the update";
  }
}

TEST(Tick, WithoutInputOnlyTheLevelClockAndLinksRun) {
  EngineRig rig(1, true);
  rig.recordInput.channel = nullptr;
  rig.Start(At(10, 0, 59, 13));
  for (int i = 0; i < 4; ++i) rig.Tick();
  EXPECT_EQ(rig.controls.Text(Ctl::TimeLabel), "0000 Jan 00\r\n00:00:00");
  rig.Tick();
  EXPECT_EQ(rig.controls.Text(Ctl::TimeLabel), "2026 Mar 02\r\n10:00:59");
  EXPECT_EQ(rig.controls.Text(Ctl::LeveldBLabel), "0dB");
  rig.RunFor(3);  // across the minute: no cycle without input
  EXPECT_EQ(rig.journal.Count("cycle start"), 0u);
  const auto lines = rig.LogLines();
  EXPECT_EQ(
      std::vector<std::string>(lines.begin(), lines.begin() + 6),
      (std::vector<std::string>{"Idle (50ms)", "", "Timer routine started",
                                "Soundcard input NOT ACTIVE", "Timer routine ended (0ms)", ""}));
}

TEST(Tick, BusyValueColoursAndTenTickMaximum) {
  struct Case {
    double stageSeconds;
    const char* text;
    Rgb color;
  };
  const Case cases[] = {
      {0.0, "0%", colors::kMoneyGreen}, {0.050, "25%", colors::kMoneyGreen},
      {0.052, "26%", colors::kYellow},  {0.100, "50%", colors::kYellow},
      {0.102, "51%", Rgb{255, 165, 0}}, {0.150, "75%", Rgb{255, 165, 0}},
      {0.152, "76%", colors::kRed},     {0.198, "99%", colors::kRed},
      {0.250, "99%", colors::kRed},
  };
  for (const Case& c : cases) {
    EngineRig rig(1);
    rig.Start(At(10, 0, 5, 13));
    rig.capture.idleStageSeconds = c.stageSeconds;
    rig.Tick();
    EXPECT_EQ(rig.controls.Text(Ctl::BusyPanel), c.text) << c.stageSeconds;
    EXPECT_EQ(rig.controls.Get(Ctl::BusyPanel).color, c.color) << c.stageSeconds;
  }
  // A 120 ms tick shows 60 % for itself and the nine ticks after it.
  EngineRig rig(1);
  rig.Start(At(10, 0, 5, 13));
  rig.capture.idleStageSeconds = 0.120;
  rig.Tick();
  rig.capture.idleStageSeconds = 0;
  for (int i = 0; i < 9; ++i) {
    rig.Tick();
    EXPECT_EQ(rig.controls.Text(Ctl::BusyPanel), "60%");
    EXPECT_EQ(rig.controls.Get(Ctl::BusyPanel).color, (Rgb{255, 165, 0}));
  }
  rig.Tick();
  EXPECT_EQ(rig.controls.Text(Ctl::BusyPanel), "0%");
}

TEST(Tick, DebugLogLinesOfAnIdleTickAndOfTheDecodingTick) {
  EngineRig rig(1, true);
  rig.decoder.decodes = 3;
  rig.decoder.seconds = 1.5;
  rig.Start(At(10, 0, 10, 13));
  rig.Tick();
  EXPECT_EQ(rig.LogLines(),
            (std::vector<std::string>{"Idle (50ms)", "", "Timer routine started",
                                      "Soundcard input active", "Receiving, tuning or idle",
                                      "Receiving or idle", "Capturing not active [Idle]",
                                      "Timer routine ended (0ms)", ""}));

  rig.logOn = false;
  rig.RunUntil(At(10, 1, 50, 950));
  rig.logOn = true;
  rig.ClearLog();
  rig.Tick();  // 10:01:50.963: the decoding tick
  std::vector<std::string> lines = rig.LogLines();
  std::erase(lines, "Audio level bar updated");  // every fifth tick
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Idle (50ms)", "", "Timer routine started", "Soundcard input active",
                       "Receiving, tuning or idle", "Receiving or idle", "Capturing active [RX]",
                       "Decoding started [RX]", "Audio input pauzed (0 bytes) [RX]",
                       "Audio input resumed (0 bytes) [RX]",
                       "Decoding ended (1.500 s - 3 msg decoded) [RX]",
                       "Timer routine ended (1500ms)", ""}));
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_TRUE(rig.controls.Enabled(Ctl::MainMenu));

  // More than 200 entries since the log was started: the new cycle's entry
  // starts the file afresh.
  rig.ClearLog();
  rig.RunUntil(At(10, 2, 0, 70));
  lines = rig.LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "New cycle started");
}

// The decoder lets the interface process events; a timer event then must
// not run a second tick inside the first.
TEST(Tick, TicksNeverOverlap) {
  EngineRig rig(1);
  bool timerWasEnabled = true;
  rig.decoder.duringDecode = [&] {
    timerWasEnabled = rig.engine.TimerEnabled();
    rig.engine.TimerTimer();
  };
  rig.Start(At(10, 0, 59, 13));
  rig.RunUntil(At(10, 1, 52));
  EXPECT_FALSE(timerWasEnabled);
  EXPECT_EQ(rig.journal.Count("decode"), 1u);  // a nested tick would decode again
  EXPECT_TRUE(rig.engine.TimerEnabled());
}

TEST(Tick, StartUpErrorTextIsShownOnceAsAWarningNotice) {
  EngineRig rig(1);
  rig.engine.AppendStartupError("No soundcard input selected.");
  rig.Start(At(10, 0, 10));
  rig.Tick();
  EXPECT_TRUE(rig.controls.Visible(Ctl::MessagePanel));
  EXPECT_EQ(rig.controls.Text(Ctl::MessageLabel),
            "WARNING\r\n\r\nNo soundcard input selected.\r\n\r\n\r\nCLICK ANYWHERE ON THIS "
            "MESSAGE TO CLOSE IT");
  EXPECT_TRUE(rig.engine.StartupErrorText().empty());
  MessagePanelClick(rig.controls);
  rig.Tick();
  EXPECT_FALSE(rig.controls.Visible(Ctl::MessagePanel));
}

TEST(Tick, FailingStageIsLoggedAndTheTimerRunsOn) {
  EngineRig rig(1, true);
  std::vector<bool> timerStates;
  rig.engine.SetTimerListener([&](bool on) { timerStates.push_back(on); });
  rig.Start(At(10, 0, 50, 13));
  rig.capture.throwInIdle = 1;
  rig.Tick();
  EXPECT_TRUE(rig.engine.TimerEnabled());
  EXPECT_EQ(timerStates, (std::vector<bool>{true, false, true}));
  const auto lines = rig.LogLines();
  const auto at =
      std::find(lines.begin(), lines.end(), "Error in timer routine: idle stage failed");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*(at + 1), "Timer routine ended (0ms)");

  rig.Tick();
  EXPECT_EQ(rig.capture.idleCalls, 2);
  EXPECT_TRUE(rig.engine.TimerEnabled());
  rig.RunUntil(At(10, 1, 1));
  EXPECT_EQ(rig.journal.Count("cycle start"), 1u);
}

TEST(Tick, FailingDecoderEndsTheCycleAndTheNextOneIsDecoded) {
  EngineRig rig(1);
  rig.decoder.throwNext = true;
  rig.Start(At(10, 0, 59, 13));
  rig.RunUntil(At(10, 1, 52));
  EXPECT_TRUE(rig.engine.TimerEnabled());
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.inputChannel.Paused());
  rig.RunUntil(At(10, 2, 52));
  EXPECT_EQ(rig.journal.Count("cycle start"), 2u);
  EXPECT_EQ(rig.journal.Count("decode"), 2u);
}

TEST(Tick, InputDeviceChangeEndsTheCaptureWithoutDecoding) {
  EngineRig rig(1);
  rig.Start(At(10, 0, 59, 13));
  rig.RunUntil(At(10, 1, 20));
  rig.capture.deviceChanged = true;
  rig.Tick();
  EXPECT_FALSE(rig.engine.Flags().capturing);
  rig.RunUntil(At(10, 2, 55));
  EXPECT_EQ(rig.journal.Count("cycle start"), 2u);
  const auto decodes = rig.journal.All("decode");
  ASSERT_EQ(decodes.size(), 1u);
  EXPECT_GT(decodes[0].local, At(10, 2, 50));
}

TEST(Tick, PendingFieldEditsAreCommittedAfterFiveSecondsInOrder) {
  EngineRig rig(1);
  rig.Start(At(10, 0, 10, 13));
  const double now = rig.clock.Now();
  rig.frequencies.changeTime[0] = now - 3 / kSecondsPerDay;    // QrgEdit, not yet
  rig.frequencies.changeTime[1] = now - 5.5 / kSecondsPerDay;  // TxEdit
  rig.frequencies.changeTime[2] = now - 6 / kSecondsPerDay;    // RxEdit
  rig.Tick();
  std::vector<std::string> seen;
  for (const auto& e : rig.journal.entries) seen.push_back(e.what);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"commit TxEdit", "defocus", "commit RxEdit", "defocus"}));
  rig.RunFor(1.5);
  EXPECT_EQ(rig.journal.Count("commit QrgEdit"), 0u);
  rig.RunFor(1);
  EXPECT_EQ(rig.journal.Count("commit QrgEdit"), 1u);
  EXPECT_EQ(rig.journal.Count("commit TxEdit"), 1u);
}

TEST(Tick, ReportingLinksAreKeptAlive) {
  EngineRig rig(1, true);
  rig.Start(At(10, 0, 10, 13));
  rig.psk.active = true;
  rig.psk.last = rig.clock.Now() - 9 / kSecondsPerDay;
  rig.udp.active = true;
  rig.udp.last = rig.clock.Now() - 11 / kSecondsPerDay;
  rig.Tick();
  EXPECT_EQ(rig.journal.Count("psk keep-alive"), 0u);
  EXPECT_EQ(rig.journal.Count("udp keep-alive"), 1u);
  EXPECT_EQ(rig.udp.last, rig.clock.Now());
  rig.Tick();
  EXPECT_EQ(rig.journal.Count("udp keep-alive"), 1u);

  rig.psk.last = rig.clock.Now() - 11 / kSecondsPerDay;
  rig.Tick();
  rig.psk.succeed = false;
  rig.Tick();
  EXPECT_EQ(rig.journal.Count("psk keep-alive"), 2u);
  const auto lines = rig.LogLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "PSK Reporter tickle OK"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "PSK Reporter tickle failed"), 1);
}

}  // namespace
}  // namespace merivac
