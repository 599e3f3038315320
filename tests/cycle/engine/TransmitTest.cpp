// TransmitTest.cpp - transmit cycles in simulated time: PTT and audio
// timing, the end of a transmission, the TX watchdog, Halt TX, Tune and the
// Enable TX controls.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineRig.h"
#include "common/Rgb.h"

namespace merivac {
namespace {

using testing::At;
using testing::EngineRig;
using testing::JournalEntry;
using testing::kTick;

constexpr double kEps = 1e-4;
const std::string kMsg = "CQ K1ABC FN42";

const Ctl kTxLocked[] = {Ctl::TuneButton, Ctl::TxRxButton, Ctl::TxEdit, Ctl::TxUpDown,
                         Ctl::TxFirstBox, Ctl::BandMemo,   Ctl::RxMemo};

bool TxLockedEnabled(const MainControls& c) {
  return std::all_of(std::begin(kTxLocked), std::end(kTxLocked),
                     [&](Ctl x) { return c.Enabled(x); });
}
bool TxLockedDisabled(const MainControls& c) {
  return std::none_of(std::begin(kTxLocked), std::end(kTxLocked),
                      [&](Ctl x) { return c.Enabled(x); });
}

double Seconds(double days) { return days * kSecondsPerDay; }

// TX armed for first cycles; the clock starts 4.987 s before the 10:00
// cycle, so every tick lies 13 ms after a multiple of 50 ms.
void ArmForTenOClock(EngineRig& rig) {
  rig.settings.txFirst = true;
  rig.SetGenMessage(kMsg);
  rig.Start(At(9, 59, 55, 13));
  rig.engine.EnableTxButtonClick();
}

TEST(Transmit, PttAudioAndReleaseTiming) {
  for (uint32_t mode : {1u, 2u}) {
    for (uint16_t delayMs : {0, 200, 999}) {
      SCOPED_TRACE(::testing::Message() << "JT9-" << mode << " TXDL " << delayMs);
      EngineRig rig(mode);
      rig.settings.txDelayMs = delayMs;
      rig.settings.showTxMessages = true;
      ArmForTenOClock(rig);
      rig.RunUntil(At(10, 0, 20));
      EXPECT_TRUE(rig.engine.Flags().transmitting);
      EXPECT_TRUE(TxLockedDisabled(rig.controls));
      EXPECT_TRUE(rig.inputChannel.Paused());
      EXPECT_EQ(rig.controls.Get(Ctl::CycleLabel).color, colors::kCycleTx);
      rig.RunUntil(At(10, 0, 0) + (60.0 * mode - 2) / kSecondsPerDay);

      const double d = delayMs / 1000.0;
      const double t = TransmissionSeconds(mode);
      const auto start = rig.journal.First("cycle start");
      const auto pttOn = rig.journal.All("ptt on");
      const auto audio = rig.journal.First("audio start");
      const auto end = rig.journal.First("tx line");
      const auto pttOff = rig.journal.All("ptt off");
      ASSERT_TRUE(start && audio && end);
      ASSERT_EQ(pttOn.size(), 1u);
      ASSERT_EQ(pttOff.size(), 1u);
      // PTT at the first transmit-stage tick after 1 - TXDL/1000 s.
      EXPECT_GT(pttOn[0].sec, 1 - d);
      EXPECT_LE(pttOn[0].sec, std::max(1 - d, start->sec) + kTick + kEps);
      // Audio at the first tick after 1 s.
      EXPECT_GT(audio->sec, 1.0);
      EXPECT_LE(audio->sec, 1.0 + kTick + kEps);
      if (delayMs == 0) {
        EXPECT_EQ(pttOn[0].local, audio->local);
        EXPECT_LT(rig.journal.IndexOf("ptt on"), rig.journal.IndexOf("audio start"));
      }
      // The transmission ends once the output has played out ...
      EXPECT_GE(end->sec, audio->sec + t - kEps);
      EXPECT_LE(end->sec, audio->sec + t + kTick + kEps);
      EXPECT_EQ(rig.journal.First("input resume")->local, end->local);
      // ... and PTT falls at the first tick after the 85 symbols plus TXDL.
      const double release = std::max(t + 1 + d, end->sec);
      EXPECT_GT(pttOff[0].sec, release - kEps);
      EXPECT_LE(pttOff[0].sec, release + kTick + kEps);

      const TxSymbolArray symbols = *rig.encoder.RunEncoder(kMsg);
      EXPECT_EQ(rig.output.sent, std::vector<uint8_t>(symbols.begin(), symbols.end()));
      EXPECT_EQ(rig.journal.Count("commit tx frequency"), 1u);
      EXPECT_FALSE(rig.engine.Flags().transmitting);
      EXPECT_FALSE(rig.engine.Flags().pttOn);
      EXPECT_TRUE(TxLockedEnabled(rig.controls));
      EXPECT_EQ(rig.journal.Count("decode"), 0u);
    }
  }
}

TEST(Transmit, NoMessageMeansAReceiveCycle) {
  struct Case {
    const char* what;
    bool gen, free;
    std::string genText, freeText;
  };
  const Case cases[] = {
      {"empty Gen field", true, false, "", kMsg},
      {"no message button checked", false, false, kMsg, kMsg},
      {"empty Free field", false, true, kMsg, ""},
  };
  for (const Case& c : cases) {
    EngineRig rig(1);
    rig.settings.watchdogMinutes = 5;
    ArmForTenOClock(rig);
    rig.controls.SetChecked(Ctl::GenMsgButton, c.gen);
    rig.controls.SetChecked(Ctl::FreeMsgButton, c.free);
    rig.controls.SetText(Ctl::GenMsgEdit, c.genText);
    rig.controls.SetText(Ctl::FreeMsgEdit, c.freeText);
    rig.RunUntil(At(10, 0, 55));
    EXPECT_EQ(rig.journal.Count("ptt on"), 0u) << c.what;
    EXPECT_EQ(rig.journal.Count("audio start"), 0u) << c.what;
    EXPECT_EQ(rig.journal.Count("decode"), 1u) << c.what;
    EXPECT_TRUE(TxLockedEnabled(rig.controls)) << c.what;
    EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0) << c.what;
    EXPECT_TRUE(rig.engine.Flags().txEnabled) << c.what;
  }
}

TEST(Transmit, FreeMessageIsSentWhenItsButtonIsChecked) {
  EngineRig rig(1);
  ArmForTenOClock(rig);
  rig.controls.SetChecked(Ctl::GenMsgButton, false);
  rig.controls.SetChecked(Ctl::FreeMsgButton, true);
  rig.controls.SetText(Ctl::FreeMsgEdit, "TNX 73");
  rig.RunUntil(At(10, 0, 30));
  EXPECT_EQ(rig.engine.TxMessage(), "TNX 73");
  EXPECT_EQ(rig.controls.Text(Ctl::CycleTextLabel), "30/60 (TX:TNX 73)");
  EXPECT_EQ(rig.journal.Count("encode TNX 73"), 1u);
}

TEST(Transmit, EncoderFailureSkipsTheTransmissionAndReceives) {
  EngineRig rig(1, true);
  rig.encoder.fail = true;
  ArmForTenOClock(rig);
  rig.RunUntil(At(10, 0, 0, 100));
  EXPECT_FALSE(rig.engine.Flags().transmitting);
  EXPECT_TRUE(rig.engine.Flags().capturing);
  EXPECT_TRUE(TxLockedEnabled(rig.controls));
  const auto lines = rig.LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Encoder failed, \"CQ K1ABC FN42\" not transmitted [TX]"),
            lines.end());
  // The operator sees it too: the debug log is off by default.
  EXPECT_TRUE(rig.controls.Visible(Ctl::MessagePanel));
  EXPECT_NE(rig.controls.Text(Ctl::MessageLabel).find("\"CQ K1ABC FN42\" could not be encoded"),
            std::string::npos);
  rig.logOn = false;
  rig.RunUntil(At(10, 0, 55));
  EXPECT_EQ(rig.journal.Count("ptt on"), 0u);
  EXPECT_EQ(rig.journal.Count("decode"), 1u);
}

TEST(Transmit, TransmitTickLogLines) {
  EngineRig rig(1, true);
  ArmForTenOClock(rig);
  rig.logOn = false;
  rig.RunUntil(At(10, 0, 1));
  rig.logOn = true;
  rig.ClearLog();
  rig.Tick();  // 10:00:01.013: PTT and audio (TXDL 0)
  std::vector<std::string> lines = rig.LogLines();
  std::erase(lines, "Audio level bar updated");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Idle (50ms)", "", "Timer routine started", "Soundcard input active",
                       "Transmitting", "Audio input buffer cleared (0 bytes) [TX]",
                       "Capturing active [TX]", "Not streaming to soundcard output [TX]",
                       "PTT activated [TX]", "Audio output stream will start [TX] (0ms)",
                       "Audio output stream cleared [TX] (0ms)", "Timer routine ended (0ms)", ""}));
  rig.ClearLog();
  rig.Tick();
  lines = rig.LogLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Streaming to soundcard output [TX]"),
            lines.end());
}

TEST(Transmit, OutputErrorKeepsTheTransmissionGoingUntilHalted) {
  EngineRig rig(1);
  ArmForTenOClock(rig);
  rig.output.error = true;
  rig.RunUntil(At(10, 0, 58));
  EXPECT_TRUE(rig.engine.Flags().transmitting);
  EXPECT_EQ(rig.engine.Tx().symbolIndex, 1);
  EXPECT_EQ(rig.journal.Count("tx line"), 0u);
  rig.engine.HaltTxButtonClick();
  EXPECT_FALSE(rig.engine.Flags().transmitting);
}

// The watchdog trips when the expiry is less than half a second away, at a
// check every fifth tick (250 ms).
void ExpectTripNear(const EngineRig& rig, double expiry) {
  const auto dialog = rig.journal.First("dialog TX watchdog timer tripped");
  ASSERT_TRUE(dialog);
  EXPECT_GT(Seconds(dialog->local - expiry), -0.5);
  EXPECT_LE(Seconds(dialog->local - expiry), -0.5 + 0.25 + kEps);
  EXPECT_EQ(rig.ui.dialogs.size(), 1u);
  EXPECT_EQ(rig.ui.kinds[0], NoticeKind::Warning);
  const auto off = rig.journal.All("ptt off");
  EXPECT_TRUE(std::any_of(off.begin(), off.end(),
                          [&](const JournalEntry& e) { return e.local == dialog->local; }));
  EXPECT_FALSE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.controls.Visible(Ctl::EnableTxShape));
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "00'00\"");
  EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0);
}

// TX in second cycles of JT9-1 from 10:00:30; the first transmission is the
// 10:01 cycle.
void ArmSecondCycles(EngineRig& rig, uint16_t wdt) {
  rig.settings.watchdogMinutes = wdt;
  rig.SetGenMessage(kMsg);
  rig.Start(At(10, 0, 30, 13));
  rig.engine.EnableTxButtonClick();
}

TEST(Watchdog, UnchangedMessageTripsAfterWdtMinutesInAReceiveCycle) {
  EngineRig rig(1);
  ArmSecondCycles(rig, 2);
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "02'00\"");
  EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0);  // not running before the first transmission
  rig.RunUntil(At(10, 4, 30));
  const double expiry = rig.journal.First("cycle start")->local + 2 / kMinutesPerDay;
  ExpectTripNear(rig, expiry);  // 10:02:59.5, in the idle end of a receive cycle
  EXPECT_EQ(rig.journal.Count("audio start"), 1u);
  EXPECT_EQ(rig.journal.Count("decode"), 2u);  // 10:02 and 10:03 were received
}

TEST(Watchdog, ChangedMessagesNeverTrip) {
  EngineRig rig(1);
  ArmSecondCycles(rig, 3);  // a new message every 2 minutes restarts the 3 minutes
  rig.beforeTick = [&] {
    if (!rig.engine.Flags().transmitting) {
      const int minute = DecodeDateTime(rig.clock.Now()).minute;
      rig.controls.SetText(Ctl::GenMsgEdit, "CQ K" + std::to_string(minute) + "ABC FN42");
    }
  };
  rig.RunUntil(At(10, 10, 55));
  EXPECT_TRUE(rig.ui.dialogs.empty());
  EXPECT_EQ(rig.journal.Count("audio start"), 5u);
  EXPECT_TRUE(rig.engine.Flags().txEnabled);
}

TEST(Watchdog, ClickDuringATransmissionRestartsTheCountdown) {
  EngineRig rig(1);
  rig.settings.txDelayMs = 200;
  ArmSecondCycles(rig, 4);
  rig.RunUntil(At(10, 3, 20));
  ASSERT_TRUE(rig.engine.Flags().transmitting);
  rig.clock.Set(At(10, 3, 19, 990));
  rig.engine.WDPanelClick();
  const double expiry = rig.clock.Now() + 4 / kMinutesPerDay;
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "04'00\"");
  rig.RunUntil(At(10, 7, 19));
  EXPECT_TRUE(rig.ui.dialogs.empty());
  rig.RunUntil(At(10, 7, 21));
  ExpectTripNear(rig, expiry);
  // It tripped in the middle of the 10:07 transmission, which ends at once
  // with its queued audio discarded (a VOX transmitter would key on it); the
  // rest of the cycle is idle.
  EXPECT_FALSE(rig.engine.Flags().transmitting);
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.engine.Flags().streaming);
  EXPECT_TRUE(TxLockedEnabled(rig.controls));
  EXPECT_EQ(rig.journal.Count("output clear"), 5u);  // each transmission start, and the trip

  // Enabled again, the next transmission keys and plays like any other.
  rig.RunUntil(At(10, 7, 30));
  rig.engine.EnableTxButtonClick();
  const size_t before = rig.journal.entries.size();
  rig.RunUntil(At(10, 9, 10));
  EXPECT_EQ(rig.journal.Count("decode"), 4u);  // the even minutes 2, 4, 6 and 8
  std::vector<JournalEntry> later(rig.journal.entries.begin() + static_cast<long>(before),
                                  rig.journal.entries.end());
  auto find = [&](const std::string& what) {
    return *std::find_if(later.begin(), later.end(),
                         [&](const JournalEntry& e) { return e.what == what; });
  };
  EXPECT_GT(find("ptt on").sec, 0.8);
  EXPECT_LE(find("ptt on").sec, 0.85 + kEps);
  EXPECT_GT(find("audio start").sec, 1.0);
  EXPECT_LE(find("audio start").sec, 1.05 + kEps);
  EXPECT_GT(find("audio start").local, At(10, 9, 0));
}

TEST(Watchdog, ClickBetweenTransmissionsStopsItUntilTheNextOne) {
  EngineRig rig(1);
  ArmSecondCycles(rig, 3);
  rig.RunUntil(At(10, 2, 20));
  EXPECT_GT(rig.engine.Tx().watchdogExpiry, 0);
  rig.engine.WDPanelClick();
  EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0);
  rig.RunUntil(At(10, 2, 59));
  EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0);
  rig.RunUntil(At(10, 6, 30));
  const auto starts = rig.journal.All("cycle start");
  ASSERT_GE(starts.size(), 3u);
  ExpectTripNear(rig, starts[2].local + 3 / kMinutesPerDay);  // counted from 10:03
}

TEST(Watchdog, PanelCaptionAndBlinking) {
  struct Case {
    uint16_t wdt;
    uint16_t seconds;
    const char* caption;
    bool blinks;
  };
  const Case cases[] = {
      {10, 545, "09'05\"", false}, {99, 5940, "99'00\"", false}, {10, 59, "00'59\"", true},
      {10, 60, "01'00\"", false},  {1, 29, "00'29\"", true},     {1, 30, "00'30\"", false},
      {0, 0, "00'00\"", false},
  };
  for (const Case& c : cases) {
    EngineRig rig(1);
    rig.settings.watchdogMinutes = c.wdt;
    rig.engine.ShowWatchdog(c.seconds);
    EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), c.caption);
    const Rgb first = *rig.controls.Get(Ctl::WDPanel).color;
    rig.engine.ShowWatchdog(c.seconds);
    const Rgb second = *rig.controls.Get(Ctl::WDPanel).color;
    if (c.blinks) {
      EXPECT_NE(first, second) << c.caption;
      EXPECT_TRUE(first == colors::kRed || second == colors::kRed) << c.caption;
    } else {
      EXPECT_EQ(first, colors::kMoneyGreen) << c.caption;
      EXPECT_EQ(second, colors::kMoneyGreen) << c.caption;
    }
  }
  // A blinking panel returns to pale green once the time is no longer short.
  EngineRig rig(1);
  rig.settings.watchdogMinutes = 10;
  rig.engine.ShowWatchdog(10);
  ASSERT_EQ(rig.controls.Get(Ctl::WDPanel).color, colors::kRed);
  rig.engine.ShowWatchdog(300);
  EXPECT_EQ(rig.controls.Get(Ctl::WDPanel).color, colors::kMoneyGreen);
}

TEST(HaltTx, InTheMiddleOfAJt92Transmission) {
  EngineRig rig(2, true);
  rig.settings.watchdogMinutes = 3;
  ArmForTenOClock(rig);
  rig.logOn = false;
  rig.RunUntil(At(10, 0, 50));
  ASSERT_TRUE(rig.engine.Flags().streaming);
  ASSERT_GT(rig.output.QueuedBytes(), 0u);
  rig.logOn = true;
  rig.ClearLog();
  rig.clock.Set(At(10, 0, 49, 990));
  rig.engine.HaltTxButtonClick();

  EXPECT_EQ(rig.output.QueuedBytes(), 0u);
  EXPECT_FALSE(rig.radio.ptt);
  EXPECT_EQ(rig.journal.All("ptt off").back().local, rig.clock.Now());
  EXPECT_FALSE(rig.engine.Flags().transmitting);
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.engine.Flags().streaming);
  EXPECT_FALSE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(TxLockedEnabled(rig.controls));
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SettingsItem));
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.inputChannel.Paused());
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "03'00\"");
  EXPECT_EQ(rig.engine.Tx().watchdogExpiry, 0);
  const auto lines = rig.LogLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "TX halted");
  EXPECT_EQ(lines[1], "PTT released");
  EXPECT_EQ(lines[2].rfind("Audio input resumed (", 0), 0u);
  EXPECT_NE(lines[2].find(" bytes) [TX halted]"), std::string::npos);

  // The rest of the cycle is neither recorded nor decoded; the next starts.
  rig.logOn = false;
  rig.RunUntil(At(10, 2, 5));
  EXPECT_EQ(rig.journal.Count("decode"), 0u);
  const auto starts = rig.journal.All("cycle start");
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_LE(starts[1].sec, kTick + kEps);
  EXPECT_TRUE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.engine.Flags().transmitting);
}

TEST(Tune, TxDelayBeforeTheToneAndBeforePttFalls) {
  EngineRig rig(1);
  rig.settings.txDelayMs = 500;
  rig.Start(At(10, 0, 59, 13));
  rig.RunUntil(At(10, 1, 10));
  ASSERT_TRUE(rig.engine.Flags().capturing);
  rig.clock.Set(At(10, 1, 9, 990));
  const double clicked = rig.clock.Now();
  rig.engine.TuneButtonClick();
  EXPECT_EQ(rig.journal.First("ptt on")->local, clicked);
  EXPECT_EQ(rig.journal.Count("tune start"), 1u);
  EXPECT_TRUE(rig.inputChannel.Paused());
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.controls.Visible(Ctl::TuneButton));
  EXPECT_TRUE(rig.controls.Visible(Ctl::TuneShape));
  EXPECT_FALSE(rig.controls.Enabled(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.controls.Enabled(Ctl::SettingsItem));

  rig.RunUntil(At(10, 1, 20));
  EXPECT_EQ(rig.controls.Text(Ctl::CycleTextLabel), "Tuning");
  const auto tone = rig.journal.First("tone start");
  ASSERT_TRUE(tone);
  // The tick after the one that saw the delay pass starts the tone.
  EXPECT_GT(Seconds(tone->local - clicked), 0.5 + kTick);
  EXPECT_LE(Seconds(tone->local - clicked), 0.5 + 2 * kTick + kEps);

  rig.clock.Set(At(10, 1, 19, 990));
  const double stopped = rig.clock.Now();
  rig.engine.TuneLabelClick();
  EXPECT_EQ(rig.journal.All("output clear").back().local, stopped);
  EXPECT_FALSE(rig.inputChannel.Paused());
  EXPECT_TRUE(rig.engine.Flags().tuning);  // until PTT has fallen
  EXPECT_TRUE(rig.controls.Visible(Ctl::TuneButton));
  rig.RunUntil(At(10, 1, 22));
  const auto off = rig.journal.First("ptt off");
  ASSERT_TRUE(off);
  EXPECT_GT(Seconds(off->local - stopped), 0.5);
  EXPECT_LE(Seconds(off->local - stopped), 0.5 + kTick + kEps);
  EXPECT_FALSE(rig.engine.Flags().tuning);

  // The abandoned cycle is not decoded; the next one starts and is.
  rig.RunUntil(At(10, 2, 55));
  const auto decodes = rig.journal.All("decode");
  ASSERT_EQ(decodes.size(), 1u);
  EXPECT_GT(decodes[0].local, At(10, 2, 50));
}

TEST(Tune, WhileTxEnabledDisablesTxUntilTuningStops) {
  EngineRig rig(1);
  rig.Start(At(10, 0, 10));
  rig.engine.EnableTxButtonClick();
  rig.engine.TuneButtonClick();
  EXPECT_FALSE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.controls.Visible(Ctl::EnableTxShape));
  EXPECT_FALSE(rig.controls.Enabled(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.controls.Enabled(Ctl::SettingsItem));
  rig.engine.TuneLabelClick();
  EXPECT_TRUE(rig.controls.Enabled(Ctl::EnableTxButton));
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SettingsItem));
}

TEST(Tune, HaltWhileTuningStopsAtOnceAndTheNextTuneRunsNormally) {
  EngineRig rig(1);
  rig.settings.txDelayMs = 500;
  rig.Start(At(10, 0, 10, 13));
  rig.engine.TuneButtonClick();
  rig.RunFor(2);
  rig.engine.TuneLabelClick();
  rig.engine.HaltTxButtonClick();  // during the wait for PTT to fall
  EXPECT_FALSE(rig.engine.Flags().tuning);
  EXPECT_FALSE(rig.radio.ptt);
  EXPECT_TRUE(rig.controls.Visible(Ctl::TuneButton));
  EXPECT_FALSE(rig.controls.Visible(Ctl::TuneShape));
  rig.RunFor(2);
  rig.engine.TuneButtonClick();
  rig.RunFor(1);
  EXPECT_TRUE(rig.engine.Flags().tuning);  // a stale stop time must not end it
  EXPECT_TRUE(rig.radio.ptt);
  EXPECT_EQ(rig.journal.Count("tone start"), 2u);
}

TEST(TxControls, EnableTxButtonLabelAndSelection) {
  EngineRig rig(1);
  rig.settings.watchdogMinutes = 7;
  rig.Start(At(10, 0, 10));
  rig.engine.EnableTxButtonClick();
  EXPECT_TRUE(rig.engine.Flags().txEnabled);
  EXPECT_FALSE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxShape));
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxLabel));
  EXPECT_FALSE(rig.controls.Enabled(Ctl::SettingsItem));
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "07'00\"");
  rig.controls.SetText(Ctl::WDPanel, "changed");
  rig.engine.EnableTxButtonClick();  // a second click does nothing
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "changed");

  rig.engine.EnableTxLabelClick();
  EXPECT_FALSE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_FALSE(rig.controls.Visible(Ctl::EnableTxShape));
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SettingsItem));

  rig.engine.EnableTxFromSelection();
  EXPECT_TRUE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxShape));
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SettingsItem));

  rig.controls.SetChecked(Ctl::TxFirstBox, true);
  rig.engine.TxFirstBoxChange();
  EXPECT_TRUE(rig.settings.txFirst);
  rig.controls.SetChecked(Ctl::TxFirstBox, false);
  rig.engine.TxFirstBoxChange();
  EXPECT_FALSE(rig.engine.TxFirst());
}

TEST(TxControls, DisablingTxLetsTheTransmissionInProgressFinish) {
  EngineRig rig(1);
  rig.settings.showTxMessages = true;
  ArmForTenOClock(rig);
  rig.RunUntil(At(10, 0, 20));
  rig.engine.EnableTxLabelClick();
  rig.RunUntil(At(10, 2, 55));
  EXPECT_EQ(rig.journal.Count("tx line"), 1u);
  EXPECT_EQ(rig.journal.Count("audio start"), 1u);
  EXPECT_EQ(rig.output.sent.size(), 85u);
}

// A mode change during a JT9-1 transmission: it ends at once and the new
// JT9-2 cycles start at the next wrap of the new cycle clock.
TEST(TxControls, ModeChangeEndsTheTransmissionAndTheNewCyclesFollow) {
  EngineRig rig(1, true);
  ArmForTenOClock(rig);
  rig.RunUntil(At(10, 0, 30));
  ASSERT_TRUE(rig.engine.Flags().streaming);
  rig.settings.mode = 2;
  rig.engine.ModeChanged();
  EXPECT_FALSE(rig.radio.ptt);
  EXPECT_EQ(rig.output.QueuedBytes(), 0u);
  EXPECT_FALSE(rig.engine.Flags().transmitting);
  EXPECT_FALSE(rig.engine.Flags().capturing);
  EXPECT_FALSE(rig.engine.Flags().txEnabled);
  EXPECT_TRUE(rig.controls.Visible(Ctl::EnableTxButton));
  EXPECT_TRUE(TxLockedEnabled(rig.controls));
  EXPECT_EQ(rig.LogLines().back(), "Mode changed to JT9-2");
  rig.logOn = false;
  rig.RunUntil(At(10, 2, 1));
  const auto starts = rig.journal.All("cycle start");
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_LE(starts[1].sec, kTick + kEps);
  EXPECT_GT(starts[1].local, At(10, 2, 0));  // 10:01 is no JT9-2 boundary
}

TEST(TxControls, HaltWithNothingGoingOn) {
  EngineRig rig(1);
  rig.settings.watchdogMinutes = 5;
  rig.Start(At(10, 0, 10));
  rig.controls.SetEnabled(Ctl::SettingsItem, false);
  rig.inputChannel.Pause();
  rig.engine.HaltTxButtonClick();
  EXPECT_FALSE(rig.inputChannel.Paused());
  EXPECT_EQ(rig.controls.Text(Ctl::WDPanel), "05'00\"");
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SettingsItem));
  EXPECT_EQ(rig.journal.Count("ptt off"), 0u);
  EXPECT_EQ(rig.journal.Count("output clear"), 0u);
}

TEST(Transmit, DroppedInputRaisesThePeakWhenTheCaptureFlagWasCleared) {
  EngineRig rig(1);
  ArmForTenOClock(rig);
  rig.RunUntil(At(10, 0, 10));
  ASSERT_TRUE(rig.engine.Flags().transmitting);
  rig.engine.Flags().capturing = false;
  rig.inputChannel.amplitude = 3094;
  rig.inputChannel.Resume();
  rig.RunFor(0.5);
  EXPECT_EQ(rig.controls.Get(Ctl::LevelBar).position, 70);
}

}  // namespace
}  // namespace merivac
