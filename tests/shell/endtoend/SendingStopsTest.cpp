// SendingStopsTest.cpp - every way a transmission or the tune tone ends
// leaves the station safe and ready: PTT released for good, the Tune and
// Enable TX controls usable, the input recording again for the next cycle;
// the output level holds on every output device, and nothing can key the
// transmitter without one. Driven the way an operator does it: clicks in the
// real main window (offscreen), the Audio dialog's rules and follow-up, and
// whole stations in simulated time.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <algorithm>
#include <fstream>

#include "StationRig.h"
#include "audio/SoundcardDialogRules.h"
#include "audio/WavFile.h"
#include "qso/DecodeWindows.h"
#include "qso/Sequencing.h"
#include "qso/StationDialogRules.h"
#include "shell/ModeSaveDialogs.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtEditFocus.h"

namespace merivac::endtoend {
namespace {

// A station rig with the real main window on it.
class WindowStation {
 public:
  WindowStation(StationRig& rig, SimTime& time) : rig_(rig), time_(time) {
    Station& s = rig.S();
    form_ = std::make_unique<TMainForm>(s.Controls(), s.BandMemo(), s.RxMemo(), s.Hooks());
    focus_ = std::make_unique<QtEditFocus>(*form_);
    s.AttachEditFocus(focus_.get());
    form_->show();
    form_->SyncFromModel();
  }
  ~WindowStation() { rig_.S().AttachEditFocus(nullptr); }

  TMainForm& Form() { return *form_; }

  void Click(Ctl c) {
    auto* button = qobject_cast<QAbstractButton*>(form_->Widget(c));
    ASSERT_NE(button, nullptr) << ControlName(c);
    QTest::mouseClick(button, Qt::LeftButton);
    form_->SyncFromModel();
  }

  // Ticks the station for `seconds` of simulated time, the window following.
  void Run(double seconds) {
    const double until = time_.Now() + seconds / kSecondsPerDay;
    while (time_.Now() < until) {
      time_.Step();
      rig_.S().Tick();
      form_->SyncFromModel();
    }
  }

  // Shows a decode line in Band Activity and double-clicks its callsign.
  void DoubleClickDecode(const tJT9_Msg& decode, const std::string& call) {
    Station& s = rig_.S();
    s.Windows().AddDecodeLine(s.BandMemo(), FormatDecodeLine(decode), false);
    form_->SyncFromModel();
    const int line = static_cast<int>(s.BandMemo().LineCount()) - 1;
    const std::string text = s.BandMemo().Line(static_cast<size_t>(line)).text;
    const size_t column = text.find(call);
    ASSERT_NE(column, std::string::npos) << text;
    QTextEdit* memo = form_->Memo(Ctl::BandMemo);
    QTextCursor cursor(memo->document()->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + static_cast<int>(column) + 1);
    const QPoint at = memo->cursorRect(cursor).center();
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, at);
    form_->SyncFromModel();
  }

 private:
  StationRig& rig_;
  SimTime& time_;
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<QtEditFocus> focus_;
};

bool LineAsserted(const std::vector<LineEdge>& edges) {
  return !edges.empty() && edges.back().asserted;
}

tJT9_Msg Cq(char modeChar, const char* call) {
  tJT9_Msg m;
  m.UtcText = "1000";
  m.Snr = -20;
  m.AudioFreq = 1300;
  m.ModeChar = modeChar;
  m.MsgText = std::string("CQ ") + call + " FN42";
  m.RawLine = "1000 -20  0.1 1300 @  " + m.MsgText;
  return m;
}

AudioDeviceOptions SimulatedOnly(const std::string& scenario = {}) {
  AudioDeviceOptions audio;
  audio.soundCards = false;
  if (!scenario.empty()) audio.bandScenarioPath = scenario;
  return audio;
}

// Tune is running (DTR keys the transmitter) when a double-click on a decode
// of another sub-mode changes the mode. Tuning must end as Halt TX ends it,
// and stay ended.
TEST(SendingStops, ModeTakenFromADecodeEndsTuneForGood) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  ManualClock clock;
  SimTime time(clock, EncodeDateTime(2026, 12, 9, 10, 0, 5));
  StationRig rig(clock, SimulatedOnly());
  StationSetup setup;
  setup.call = "DL1ABC";
  setup.grid = "JO62";
  setup.enableTxAfterSelect = false;
  rig.Start(setup);
  if (HasFatalFailure()) return;
  WindowStation w(rig, time);
  Station& s = rig.S();
  w.Run(1.0);

  w.Click(Ctl::TuneButton);
  EXPECT_TRUE(LineAsserted(rig.Serial().dtrEdges));
  w.Run(2.0);
  EXPECT_FALSE(s.Controls().Enabled(Ctl::SettingsItem));

  w.DoubleClickDecode(Cq('5', "K1ABC"), "K1ABC");
  ASSERT_EQ(s.GetSettings().mode, 5u) << "the decode did not change the mode";

  w.Run(200.0);
  EXPECT_FALSE(LineAsserted(rig.Serial().dtrEdges)) << "PTT stayed keyed";
  EXPECT_FALSE(s.GetEngine().Flags().tuning);
  EXPECT_TRUE(w.Form().Widget(Ctl::TuneButton)->isVisible());
  EXPECT_FALSE(w.Form().Widget(Ctl::TuneShape)->isVisible());
  EXPECT_TRUE(w.Form().Widget(Ctl::EnableTxButton)->isEnabled());
  EXPECT_TRUE(s.Controls().Enabled(Ctl::SettingsItem));
  // Tune works again, and its label stops it again.
  w.Click(Ctl::TuneButton);
  EXPECT_TRUE(LineAsserted(rig.Serial().dtrEdges));
  QTest::mouseClick(w.Form().Widget(Ctl::TuneLabel), Qt::LeftButton);
  w.Run(1.0);
  EXPECT_FALSE(LineAsserted(rig.Serial().dtrEdges));
  EXPECT_TRUE(w.Form().Widget(Ctl::TuneButton)->isVisible());
}

// The watchdog trips in the middle of a transmission. The receive cycle
// after it must record and decode as any other: the transmission had paused
// the input, and the trip must resume it.
TEST(SendingStops, WatchdogTripLeavesTheNextReceiveCycleDecodable) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  testing::TempDir scenarioDir;
  const std::string scenario = (scenarioDir.Path() / "band.txt").string();
  std::ofstream(scenario) << "noise 1000\nseed 3\n"
                          << "signal mode=1 freq=1200 snr=-15 cycles=first "
                             "message=\"CQ K1ABC FN42\"\n";
  ManualClock clock;
  SimTime time(clock, EncodeDateTime(2026, 12, 9, 10, 0, 30) + 0.013 / kSecondsPerDay);
  testing::TempDir recordings;
  AudioDeviceOptions audio = SimulatedOnly(scenario);
  audio.recorderFolder = recordings.Str();
  StationRig rig(clock, audio);
  StationSetup setup;
  setup.call = "DL1ABC";
  setup.grid = "JO62";
  setup.input = "Band simulator";
  setup.output = "WAV recorder";
  rig.Start(setup);
  if (HasFatalFailure()) return;
  Station& s = rig.S();
  s.GetSettings().watchdogMinutes = 2;
  s.GetSettings().txFirst = false;  // transmit in the second cycles: 10:01, 10:03
  s.Controls().SetChecked(Ctl::GenMsgButton, true);
  s.Controls().SetText(Ctl::GenMsgEdit, "CQ DL1ABC JO62");
  s.GetEngine().EnableTxButtonClick();

  auto runUntil = [&](int minute, double second) {
    const double t = EncodeDateTime(2026, 12, 9, 10, minute, 0) + second / kSecondsPerDay;
    while (time.Now() < t) {
      time.Step();
      s.Tick();
    }
  };
  runUntil(1, 20);
  ASSERT_TRUE(s.GetEngine().Flags().transmitting);
  s.GetEngine().WDPanelClick();  // restarts the countdown: it ends at 10:03:20
  runUntil(3, 10);
  ASSERT_TRUE(s.GetEngine().Flags().transmitting) << "the 10:03 transmission did not start";
  runUntil(3, 22);
  ASSERT_FALSE(s.GetEngine().Flags().txEnabled) << "the watchdog did not trip";
  EXPECT_FALSE(s.GetEngine().Flags().transmitting);
  EXPECT_FALSE(LineAsserted(rig.Serial().dtrEdges));

  const size_t before = s.BandMemo().LineCount();
  runUntil(4, 52);  // the 10:04 receive cycle, decoded at 50.96 s
  bool decoded = false;
  for (size_t i = before; i < s.BandMemo().LineCount(); ++i) {
    decoded = decoded || s.BandMemo().Line(i).text.find("CQ K1ABC FN42") != std::string::npos;
  }
  EXPECT_TRUE(decoded) << "the cycle after the trip was not decoded:\n"
                       << StationRig::Dump(s.BandMemo());
}

// The largest absolute sample of every WAV recording in a folder.
int16_t RecordedPeak(const std::filesystem::path& folder) {
  int16_t peak = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".wav") continue;
    WavReader reader;
    std::string error;
    if (!reader.Open(entry.path().string(), error)) continue;
    std::vector<int16_t> samples(static_cast<size_t>(reader.SampleCount()));
    reader.ReadAt(0, samples.data(), static_cast<int32_t>(samples.size()));
    for (int16_t x : samples) peak = std::max<int16_t>(peak, static_cast<int16_t>(std::abs(x)));
  }
  return peak;
}

// PWR at 20 %: after the Audio dialog switches the output device, the tune
// tone must still come out at 20 % of full level, on every output.
TEST(SendingStops, OutputLevelHoldsAcrossAnOutputDeviceChange) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  ManualClock clock;
  SimTime time(clock, EncodeDateTime(2026, 12, 9, 10, 0, 5));
  testing::TempDir recordings;
  LoopbackBus bus(clock);
  AudioDeviceOptions audio = SimulatedOnly();
  audio.recorderFolder = recordings.Str();
  audio.loopback = &bus;
  StationRig rig(clock, audio);
  StationSetup setup;
  setup.call = "DL1ABC";
  setup.grid = "JO62";
  setup.output = "Loopback";
  setup.pwr = 20;
  rig.Start(setup);
  if (HasFatalFailure()) return;
  Station& s = rig.S();
  auto tune = [&](double seconds) {
    s.GetEngine().TuneButtonClick();
    for (int i = 0; i < seconds * 20; ++i) {
      time.Step();
      s.Tick();
    }
    s.GetEngine().TuneLabelClick();
    for (int i = 0; i < 20; ++i) {
      time.Step();
      s.Tick();
    }
  };
  auto chooseOutput = [&](const std::string& name) {
    SoundcardDialogRules dialog(s.Audio());
    dialog.Activate();
    dialog.OutBoxChange(s.Audio().FindOutput(name));
    ASSERT_TRUE(dialog.OkButtonClick());
    s.AudioMenuFollowUp();
  };
  // Full level would be about 30 000; 20 % of it, about 6 000.
  chooseOutput("WAV recorder");
  tune(3.0);
  const int16_t recorded = RecordedPeak(recordings.Path());
  EXPECT_GT(recorded, 5000);
  EXPECT_LE(recorded, 6600);

  // Back to the loopback pair, heard by a second station on the same bus.
  chooseOutput("Loopback");
  Settings listenerSettings;
  AudioDeviceOptions listenerAudio = SimulatedOnly();
  listenerAudio.loopback = &bus;
  auto listener = CreateAudioDevices(listenerSettings, clock, nullptr, listenerAudio);
  listenerSettings.inputDevice = listener->FindInput("Loopback");
  ASSERT_EQ(listener->OpenAudioDevices(), 0);
  s.GetEngine().TuneButtonClick();
  int16_t heard = 0;
  std::vector<int16_t> block(48000);
  for (int i = 0; i < 60; ++i) {
    time.Step();
    s.Tick();
    InputChannel& in = *listener->Input();
    const uint32_t n = in.Read(block.data(), std::min<uint32_t>(in.WaitingBytes(), 96000));
    for (uint32_t k = 0; k < n / 2; ++k) {
      heard = std::max<int16_t>(heard, static_cast<int16_t>(std::abs(block[k])));
    }
  }
  s.GetEngine().HaltTxButtonClick();
  EXPECT_GT(heard, 5000);
  EXPECT_LE(heard, 6600);
}

// Without an output device nothing may key the transmitter, whatever would
// enable the transmit controls again: the decoding stage, the Station
// dialog's follow-up.
TEST(SendingStops, NoOutputDeviceKeepsTransmitControlsDisabled) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  testing::TempDir scenarioDir;
  const std::string scenario = (scenarioDir.Path() / "band.txt").string();
  std::ofstream(scenario) << "noise 1000\n";
  ManualClock clock;
  SimTime time(clock, EncodeDateTime(2026, 12, 9, 10, 0, 30) + 0.013 / kSecondsPerDay);
  StationOptions options;
  options.clock = &clock;
  options.audio = SimulatedOnly(scenario);
  testing::TempDir dir;
  Station s(options);
  ASSERT_TRUE(s.Create(dir.Str()));
  s.GetSettings().call = "DL1ABC";
  s.GetSettings().grid = "JO62";
  s.GetSettings().inputDevice = s.Audio().FindInput("Band simulator");
  s.Activate();
  TMainForm form(s.Controls(), s.BandMemo(), s.RxMemo(), s.Hooks());
  form.show();
  const double until = EncodeDateTime(2026, 12, 9, 10, 1, 52);
  bool decoded = false;
  while (time.Now() < until) {
    time.Step();
    s.Tick();
    form.SyncFromModel();
    decoded = decoded || s.Controls().Text(Ctl::CycleTextLabel).rfind("decoding", 0) == 0;
  }
  ASSERT_TRUE(decoded) << "no cycle was decoded";
  StationDialogFollowUp(s.GetSettings(), s.Controls());
  form.SyncFromModel();
  for (Ctl c : {Ctl::TuneButton, Ctl::EnableTxButton, Ctl::HaltTxButton, Ctl::QSOPanel}) {
    EXPECT_FALSE(form.Widget(c)->isEnabled()) << ControlName(c);
  }
  // A click on the disabled Tune button does nothing.
  QTest::mouseClick(form.Widget(Ctl::TuneButton), Qt::LeftButton);
  EXPECT_FALSE(s.GetEngine().Flags().tuning);
}

// Drives the station until the simulated time t.
void RunUntil(Station& s, SimTime& time, double t) {
  while (time.Now() < t) {
    time.Step();
    s.Tick();
  }
}

double TenOClock(int minute, double second) {
  return EncodeDateTime(2026, 12, 9, 10, minute, 0) + second / kSecondsPerDay;
}

// A station on the loopback pair, call and grid set, PTT on DTR.
struct ArmedStation {
  explicit ArmedStation(uint16_t txDelayMs = 200) : time(clock, TenOClock(0, 5)), rig(clock, SimulatedOnly()) {
    StationSetup setup;
    setup.call = "DL1ABC";
    setup.grid = "JO62";
    setup.txDelayMs = txDelayMs;
    rig.Start(setup);
    Station& s = rig.S();
    s.GetSettings().txFirst = false;  // transmit in the second cycles: 10:01, 10:03
    s.Controls().SetChecked(Ctl::GenMsgButton, true);
    s.Controls().SetText(Ctl::GenMsgEdit, "CQ DL1ABC JO62");
  }
  // The Audio dialog's OK with these devices, and its follow-up.
  void ChooseDevices(int32_t input, int32_t output) {
    SoundcardDialogRules dialog(rig.S().Audio());
    dialog.Activate();
    dialog.InBoxChange(input);
    dialog.OutBoxChange(output);
    dialog.OkButtonClick();
    rig.S().AudioMenuFollowUp();
  }
  ManualClock clock;
  SimTime time;
  StationRig rig;
};

// Without an output device nothing arms TX: not a double-click with "Enable
// TX after selecting", not the Enable TX button; and taking the output away
// during a transmission ends it.
TEST(SendingStops, NothingIsKeyedOnceTheOutputDeviceIsGone) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  ArmedStation a;
  if (HasFatalFailure()) return;
  Station& s = a.rig.S();
  Engine& e = s.GetEngine();
  // TX armed and transmitting at 10:01; the operator removes the output.
  e.EnableTxFromSelection();
  RunUntil(s, a.time, TenOClock(1, 20));
  ASSERT_TRUE(e.Flags().transmitting);
  ASSERT_TRUE(LineAsserted(a.rig.Serial().dtrEdges));
  a.ChooseDevices(s.GetSettings().inputDevice, -1);
  EXPECT_FALSE(e.Flags().transmitting);
  EXPECT_FALSE(e.Flags().txEnabled);
  EXPECT_FALSE(LineAsserted(a.rig.Serial().dtrEdges));
  // Nothing arms it again.
  s.Qso().sequencer.SelectFromDecode("K1ABC", FormatDecodeLine(Cq('1', "K1ABC")), HintAnchor{});
  e.EnableTxButtonClick();
  e.TuneButtonClick();
  RunUntil(s, a.time, TenOClock(3, 50));
  EXPECT_FALSE(e.Flags().txEnabled);
  EXPECT_FALSE(e.Flags().tuning);
  EXPECT_FALSE(LineAsserted(a.rig.Serial().dtrEdges));
}

// The Audio dialog can be opened during a transmission when TX was enabled
// by a selection; closing it must not offer Tune in the middle of it.
TEST(SendingStops, AudioDialogDuringATransmissionKeepsTuneLocked) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  ArmedStation a;
  if (HasFatalFailure()) return;
  Station& s = a.rig.S();
  s.GetEngine().EnableTxFromSelection();
  RunUntil(s, a.time, TenOClock(1, 20));
  ASSERT_TRUE(s.GetEngine().Flags().transmitting);
  s.AudioMenuFollowUp();  // the dialog cancelled
  EXPECT_FALSE(s.Controls().Enabled(Ctl::TuneButton));
  s.GetEngine().TuneButtonClick();
  EXPECT_FALSE(s.GetEngine().Flags().tuning);
  // Its OK with other devices ends the transmission: its stream is gone.
  a.ChooseDevices(s.Audio().FindInput("Band simulator"), s.GetSettings().outputDevice);
  EXPECT_FALSE(s.GetEngine().Flags().transmitting);
  EXPECT_FALSE(LineAsserted(a.rig.Serial().dtrEdges));
}

// A transmission has just ended and PTT waits for the TX delay when the mode
// changes to a longer one: PTT falls at once, not minutes later.
TEST(SendingStops, ModeChangeRightAfterATransmissionReleasesPtt) {
  if (!HaveWsjtTools()) GTEST_SKIP() << "jt9 or jt9code is not installed";
  ArmedStation a(900);
  if (HasFatalFailure()) return;
  Station& s = a.rig.S();
  s.GetEngine().EnableTxFromSelection();
  RunUntil(s, a.time, TenOClock(1, 20));
  while (s.GetEngine().Flags().transmitting && a.time.Now() < TenOClock(1, 55)) {
    a.time.Step();
    s.Tick();
  }
  ASSERT_FALSE(s.GetEngine().Flags().transmitting);
  ASSERT_TRUE(LineAsserted(a.rig.Serial().dtrEdges)) << "PTT fell already";
  const uint32_t before = s.GetSettings().mode;
  s.GetSettings().mode = 10;  // the Mode dialog's OK
  ModeMenuFollowUp(before, s);
  EXPECT_FALSE(LineAsserted(a.rig.Serial().dtrEdges));
}

}  // namespace
}  // namespace merivac::endtoend
