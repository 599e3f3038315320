// AudioDevicesTest.cpp - opening the chosen devices, the status bits, the
// start-up reports, the Audio dialog's rules and the Audio menu follow-up.
#include <gtest/gtest.h>

#include "audio/AudioDevices.h"
#include "audio/SoundcardDialogRules.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "FakeEndpoints.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::FakeRig;

enum class Fail { None, Open, Start };

struct StatusCase {
  int32_t in, out;
  Fail inFail, outFail;
  uint8_t status;
  bool inputOpen, outputOpen;
};

class OpenStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(OpenStatusTest, StatusBitsAndChannels) {
  const StatusCase c = GetParam();
  Settings s;
  s.inputDevice = c.in;
  s.outputDevice = c.out;
  FakeRig rig(s, nullptr);
  for (auto* e : rig.in) e->failOpen = c.inFail == Fail::Open, e->failStart = c.inFail == Fail::Start;
  for (auto* e : rig.out) e->failOpen = c.outFail == Fail::Open, e->failStart = c.outFail == Fail::Start;
  EXPECT_EQ(rig.devices->OpenAudioDevices(), c.status);
  EXPECT_EQ(rig.devices->Input() != nullptr, c.inputOpen);
  EXPECT_EQ(rig.devices->Output() != nullptr, c.outputOpen);
  EXPECT_EQ(rig.devices->LastErrors().size(),
            static_cast<size_t>((c.status & 3) != 0) + static_cast<size_t>((c.status & 12) != 0));
}

INSTANTIATE_TEST_SUITE_P(
    AllCombinations, OpenStatusTest,
    ::testing::Values(StatusCase{0, 0, Fail::None, Fail::None, 0, true, true},
                      StatusCase{0, 1, Fail::Open, Fail::None, 1, false, true},
                      StatusCase{0, 1, Fail::Start, Fail::None, 2, false, true},
                      StatusCase{1, 0, Fail::None, Fail::Open, 4, true, false},
                      StatusCase{0, 0, Fail::Open, Fail::Open, 5, false, false},
                      StatusCase{0, 0, Fail::Start, Fail::Open, 6, false, false},
                      StatusCase{0, 0, Fail::None, Fail::Start, 8, true, false},
                      StatusCase{0, 0, Fail::Open, Fail::Start, 9, false, false},
                      StatusCase{0, 0, Fail::Start, Fail::Start, 10, false, false},
                      // a stored index beyond the list fails like a missing device
                      StatusCase{7, 9, Fail::None, Fail::None, 5, false, false},
                      // nothing chosen: nothing tried, nothing fails
                      StatusCase{-1, -1, Fail::Open, Fail::Open, 0, false, false}));

TEST(AudioDevicesTest, NoCallsForADeviceNotChosen) {
  Settings s;
  s.inputDevice = -1;
  s.outputDevice = 0;
  FakeRig rig(s, nullptr);
  rig.devices->OpenAudioDevices();
  EXPECT_EQ(rig.in[0]->calls.Total() + rig.in[1]->calls.Total(), 0);
  EXPECT_EQ(rig.out[0]->calls.open, 1);
  EXPECT_EQ(rig.out[0]->calls.start, 1);
}

TEST(AudioDevicesTest, DisabledDeviceIsListedWithStarAndCanBeOpened) {
  Settings s;
  s.inputDevice = 1;
  FakeRig rig(s, nullptr);
  EXPECT_EQ(rig.devices->InputList(), (std::vector<std::string>{"Mic", "Line*"}));
  EXPECT_EQ(rig.devices->OutputList(), (std::vector<std::string>{"Speaker", "Phones"}));
  EXPECT_EQ(rig.devices->OpenAudioDevices(), 0);
  EXPECT_EQ(rig.devices->Input(), &rig.in[1]->channel);
}

TEST(AudioDevicesTest, FailedOpenIsFreedAndLogged) {
  testing::TempDir dir;
  ManualClock clock;
  bool on = true;
  DebugLog log(clock, on);
  ASSERT_TRUE(log.Open((dir.Path() / "debug.txt").string()));
  Settings s;
  s.inputDevice = 0;
  FakeRig rig(s, &log);
  rig.in[0]->failOpen = true;
  EXPECT_EQ(rig.devices->OpenAudioDevices(), 1);
  EXPECT_EQ(rig.in[0]->calls.close, 1);  // freed after the failed open
  EXPECT_NE(testing::ReadFile(dir.Path() / "debug.txt").find("Mic cannot be opened"), std::string::npos);
}

TEST(AudioDevicesTest, CloseAllFreesOutputThenInput) {
  Settings s;
  s.inputDevice = 0;
  s.outputDevice = 1;
  FakeRig rig(s, nullptr);
  rig.devices->OpenAudioDevices();
  rig.devices->StopInput();
  rig.devices->StopOutput();
  EXPECT_EQ(rig.devices->Input(), nullptr);
  EXPECT_EQ(rig.in[0]->calls.stop, 1);
  EXPECT_EQ(rig.out[1]->calls.stop, 1);
  rig.devices->CloseAll();
  EXPECT_EQ(rig.in[0]->calls.close, 1);
  EXPECT_EQ(rig.out[1]->calls.close, 1);
}

struct ReportCase {
  Fail inFail, outFail;
  int32_t in, out;
  std::vector<std::string> report;
  std::vector<std::string> errors;
  bool txControls;
};

TEST(AudioDevicesTest, StartupReports) {
  const std::vector<ReportCase> cases = {
      {Fail::None, Fail::None, 0, 1, {"Soundcard input = Mic", "Soundcard output = Phones"}, {}, true},
      {Fail::None, Fail::None, 1, 0, {"Soundcard input = Line*", "Soundcard output = Speaker"}, {}, true},
      {Fail::None, Fail::None, -1, -1,
       {"No soundcard input selected", "No soundcard output selected"},
       {"No soundcard input selected.", "No soundcard output selected."}, false},
      {Fail::Open, Fail::Start, 0, 0,
       {"Soundcard input device not found", "Access to soundcard output device failed",
        "Mic cannot be opened", "Speaker cannot start", "No soundcard input selected",
        "No soundcard output selected"},
       {"No soundcard input selected.", "No soundcard output selected."}, false},
      {Fail::Start, Fail::Open, 0, 0,
       {"Access to soundcard input device failed", "Soundcard output device not found",
        "Mic cannot start", "Speaker cannot be opened", "No soundcard input selected",
        "No soundcard output selected"},
       {"No soundcard input selected.", "No soundcard output selected."}, false},
      {Fail::Open, Fail::None, 0, 0,
       {"Soundcard input device not found", "Mic cannot be opened", "No soundcard input selected",
        "Soundcard output = Speaker"},
       {"No soundcard input selected."}, true},
  };
  for (const ReportCase& c : cases) {
    Settings s;
    s.inputDevice = c.in;
    s.outputDevice = c.out;
    FakeRig rig(s, nullptr);
    for (auto* e : rig.in) e->failOpen = c.inFail == Fail::Open, e->failStart = c.inFail == Fail::Start;
    for (auto* e : rig.out) e->failOpen = c.outFail == Fail::Open, e->failStart = c.outFail == Fail::Start;
    MainControls controls;
    const AudioStartupResult r = OpenAudioDevicesAtStartup(*rig.devices, &controls);
    EXPECT_EQ(r.report, c.report);
    EXPECT_EQ(r.errors, c.errors);
    for (Ctl ctl : {Ctl::EnableTxButton, Ctl::TuneButton, Ctl::HaltTxButton, Ctl::QSOPanel}) {
      EXPECT_EQ(controls.Enabled(ctl), c.txControls) << ControlName(ctl);
    }
    if (c.inFail != Fail::None) {
      EXPECT_EQ(s.inputDevice, -1);
    }
    if (c.outFail != Fail::None) {
      EXPECT_EQ(s.outputDevice, -1);
    }
  }
}

TEST(AudioDevicesTest, ApplyAudioStatusResetsOnlyTheFailedSide) {
  Settings s;
  s.inputDevice = 3;
  s.outputDevice = 4;
  EXPECT_EQ(ApplyAudioStatus(8, s), std::vector<std::string>{"Access to soundcard output device failed"});
  EXPECT_EQ(s.inputDevice, 3);
  EXPECT_EQ(s.outputDevice, -1);
  EXPECT_TRUE(ApplyAudioStatus(0, s).empty());
}

// ---- the Audio dialog's rules ----

class SoundcardRulesTest : public ::testing::Test {
 protected:
  SoundcardRulesTest() : log(clock, logOn) {
    log.Open((dir.Path() / "debug.txt").string());
    s.inputDevice = 0;
    s.outputDevice = 0;
    rig = std::make_unique<FakeRig>(s, &log);
    rig->devices->OpenAudioDevices();
    rules = std::make_unique<SoundcardDialogRules>(*rig->devices);
  }
  std::string Log() { return testing::ReadFile(dir.Path() / "debug.txt"); }

  testing::TempDir dir;
  ManualClock clock;
  bool logOn = true;
  DebugLog log;
  Settings s;
  std::unique_ptr<FakeRig> rig;
  std::unique_ptr<SoundcardDialogRules> rules;
};

TEST_F(SoundcardRulesTest, OkWithoutChangeTouchesNothing) {
  const int before = rig->TotalCalls();
  rig->devices->InputDeviceChanged() = true;
  rules->Activate();
  EXPECT_FALSE(rig->devices->InputDeviceChanged());
  rules->InBoxChange(1);
  rules->InBoxChange(0);  // back to the current device
  EXPECT_FALSE(rules->OkButtonClick());
  EXPECT_EQ(rig->TotalCalls(), before);
  EXPECT_FALSE(rig->devices->InputDeviceChanged());
  EXPECT_NE(rig->devices->Input(), nullptr);
}

TEST_F(SoundcardRulesTest, OutputChangeAlsoReopensInput) {
  rig->in[0]->channel.waiting = 4000;
  rules->Activate();
  rules->OutBoxChange(1);
  EXPECT_TRUE(rules->OkButtonClick());
  EXPECT_EQ(rig->in[0]->channel.readBytes, 4000u);  // waiting input dropped first
  EXPECT_EQ(rig->in[0]->calls.stop, 1);
  EXPECT_EQ(rig->in[0]->calls.open, 2);
  EXPECT_EQ(rig->in[0]->calls.start, 2);
  EXPECT_EQ(rig->out[0]->channel.discards, 1);
  EXPECT_EQ(rig->out[0]->calls.stop, 1);
  EXPECT_EQ(rig->out[1]->calls.start, 1);
  EXPECT_EQ(s.outputDevice, 1);
  EXPECT_EQ(rig->devices->Output(), &rig->out[1]->channel);
  EXPECT_TRUE(rig->devices->InputDeviceChanged());
}

TEST_F(SoundcardRulesTest, FailedDeviceShowsNotSelectedNextTime) {
  rig->in[1]->failOpen = true;
  rig->out[1]->failStart = true;
  rules->Activate();
  EXPECT_EQ(rules->InBoxText(), "Mic");
  EXPECT_EQ(rules->OutBoxText(), "Speaker");
  rules->InBoxChange(1);
  rules->OutBoxChange(1);
  EXPECT_TRUE(rules->OkButtonClick());
  EXPECT_EQ(rules->LastStatus(), 9);
  EXPECT_EQ(rules->LastReports(), (std::vector<std::string>{"Soundcard input device not found",
                                                            "Access to soundcard output device failed"}));
  EXPECT_EQ(s.inputDevice, -1);
  EXPECT_EQ(s.outputDevice, -1);
  const std::string text = Log();
  EXPECT_NE(text.find(" : Soundcard input device not found\r\n"), std::string::npos);
  EXPECT_NE(text.find(" : Access to soundcard output device failed\r\n"), std::string::npos);
  EXPECT_NE(text.find("Line cannot be opened"), std::string::npos);
  rules->Activate();
  EXPECT_EQ(rules->InBoxText(), kNotSelected);
  EXPECT_EQ(rules->OutBoxText(), kNotSelected);
  EXPECT_EQ(rules->PendingInput(), -1);
}

TEST_F(SoundcardRulesTest, ChoosingNoneClosesTheDevice) {
  rules->Activate();
  rules->InBoxChange(-1);
  EXPECT_TRUE(rules->OkButtonClick());
  EXPECT_EQ(rig->devices->Input(), nullptr);
  EXPECT_EQ(rig->in[0]->calls.close, 1);
  EXPECT_NE(rig->devices->Output(), nullptr);
}

TEST(SoundcardLayoutTest, WidensOnlyForLongNames) {
  const SoundcardLayout design;
  const SoundcardLayout same = WidenSoundcardLayout(design, design.listWidth - 28);
  EXPECT_EQ(same.listWidth, design.listWidth);
  EXPECT_EQ(same.formWidth, design.formWidth);
  const SoundcardLayout wide = WidenSoundcardLayout(design, 400);
  EXPECT_EQ(wide.listWidth, 428);
  EXPECT_EQ(wide.boxWidth, design.listLeft + 428 + 13);
  EXPECT_EQ(wide.formWidth, wide.boxWidth + 16);
  const int gap = (wide.formWidth - design.okWidth - design.cancelWidth) / 3;
  EXPECT_EQ(wide.okLeft, gap);
  EXPECT_EQ(wide.cancelLeft + design.cancelWidth, wide.formWidth - gap);
}

TEST(AudioMenuFollowUpTest, LogsAndSwitchesTransmitControls) {
  testing::TempDir dir;
  ManualClock clock;
  bool on = true;
  DebugLog log(clock, on);
  log.Open((dir.Path() / "debug.txt").string());
  MainControls controls;
  Settings s;
  s.inputDevice = -1;
  s.outputDevice = -1;
  AudioMenuFollowUp(s, controls, &log);
  EXPECT_FALSE(controls.Enabled(Ctl::EnableTxButton));
  EXPECT_FALSE(controls.Enabled(Ctl::QSOPanel));
  std::string text = testing::ReadFile(dir.Path() / "debug.txt");
  EXPECT_NE(text.find(" : No soundcard input selected\r\n"), std::string::npos);
  EXPECT_NE(text.find(" : No soundcard output selected\r\n"), std::string::npos);
  s.inputDevice = 0;
  s.outputDevice = 0;
  log.Open((dir.Path() / "debug.txt").string());
  AudioMenuFollowUp(s, controls, &log);
  for (Ctl ctl : {Ctl::EnableTxButton, Ctl::TuneButton, Ctl::HaltTxButton, Ctl::QSOPanel}) {
    EXPECT_TRUE(controls.Enabled(ctl));
  }
  EXPECT_EQ(testing::ReadFile(dir.Path() / "debug.txt"), "");
}

}  // namespace
}  // namespace merivac
