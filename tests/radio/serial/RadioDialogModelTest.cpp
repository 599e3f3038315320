// RadioDialogModelTest.cpp - the Radio dialog's box rules, edit checks, OK
// and the Radio menu follow-up, on the plain model.
#include "radio/RadioDialogModel.h"

#include <gtest/gtest.h>

#include "SerialFakes.h"

namespace merivac {
namespace {

using testing::FakeSerialLineDriver;
using testing::RecordingUi;
using testing::ShownDialog;
using testing::TestLog;
using enum RadioBox;

// The boxes VoxBox, DtrPttBox, RtsPttBox, DtrAlertBox, RtsAlertBox as one
// character each ('X' ticked, 'x' ticked and disabled, 'o' unticked, '-'
// unticked and disabled), then TxDelayEdit ('E' enabled, '-' disabled).
std::string Picture(const RadioDialogModel& m) {
  std::string s;
  for (RadioBox b : {VoxBox, DtrPttBox, RtsPttBox, DtrAlertBox, RtsAlertBox}) {
    const BoxState& st = m.Box(b);
    s += st.checked ? (st.enabled ? 'X' : 'x') : (st.enabled ? 'o' : '-');
  }
  s += m.TxDelayEdit().enabled ? 'E' : '-';
  return s;
}

TPortList Ports(std::initializer_list<const char*> names) {
  TPortList list;
  size_t i = 0;
  for (const char* n : names) list[i++] = n;
  return list;
}

struct Action {
  RadioBox box = Count;  // Count: choose a port instead
  bool checked = true;
  int port = -1;
};
Action Tick(RadioBox b) { return {b, true, -1}; }
Action Untick(RadioBox b) { return {b, false, -1}; }
Action Port(int index) { return {Count, false, index}; }

struct RuleCase {
  const char* name;
  std::string port;  // settings at opening
  uint8_t ptt;
  uint8_t alert;
  std::vector<Action> actions;
  std::string expected;
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class BoxRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(BoxRuleTest, ClicksGiveTicksAndEnables) {
  const RuleCase& c = GetParam();
  Settings settings;
  RadioDialogModel model;
  model.Create(settings, Ports({"ttyS0", "ttyUSB0"}));
  settings.port = c.port;
  settings.pttMethod = c.ptt;
  settings.alertLine = c.alert;
  model.Open(settings);
  for (const Action& a : c.actions) {
    if (a.box == Count) {
      model.SelectPort(a.port);
    } else {
      model.ClickBox(a.box, a.checked);
    }
  }
  EXPECT_EQ(Picture(model), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Radio, BoxRuleTest,
    ::testing::Values(
        RuleCase{"OpenVox", "ttyUSB0", 0, 0, {}, "xoooo-"},
        RuleCase{"OpenDtrPttRtsAlert", "ttyUSB0", 1, 2, {}, "oXooXE"},
        RuleCase{"OpenRtsPttDtrAlert", "ttyUSB0", 2, 1, {}, "ooXXoE"},
        RuleCase{"OpenWithoutPort", "", 1, 1, {}, "x--x--"},
        RuleCase{"DtrPtt", "ttyUSB0", 0, 0, {Tick(DtrPttBox)}, "oXoooE"},
        RuleCase{"PttMovesToRts", "ttyUSB0", 1, 0, {Tick(RtsPttBox)}, "ooXooE"},
        RuleCase{"PttMovesToDtrDroppingItsAlert", "ttyUSB0", 2, 1, {Tick(DtrPttBox)}, "oXoooE"},
        RuleCase{"AlertBesidePtt", "ttyUSB0", 2, 0, {Tick(DtrAlertBox)}, "ooXXoE"},
        RuleCase{"AlertOnThePttLineGivesVox", "ttyUSB0", 1, 0, {Tick(DtrAlertBox)}, "xooXo-"},
        RuleCase{"RtsAlertOnRtsPttGivesVox", "ttyUSB0", 2, 1, {Tick(RtsAlertBox)}, "xoooX-"},
        // Ticking the DTR alert enables the TX delay, also when opening does it.
        RuleCase{"OpenVoxDtrAlert", "ttyUSB0", 0, 1, {}, "xooXoE"},
        RuleCase{"AlertMovesLine", "ttyUSB0", 0, 1, {Tick(RtsAlertBox)}, "xoooXE"},
        RuleCase{"VoxUnticksPtt", "ttyUSB0", 1, 2, {Tick(VoxBox)}, "xoooX-"},
        RuleCase{"UntickPttGivesVox", "ttyUSB0", 2, 0, {Untick(RtsPttBox)}, "xoooo-"},
        RuleCase{"PortNone", "ttyUSB0", 1, 2, {Port(0)}, "x-----"},
        RuleCase{"PortNoneThenPort", "ttyUSB0", 1, 2, {Port(0), Port(2)}, "Xoooo-"},
        RuleCase{"DisabledBoxIgnoresClick", "ttyUSB0", 0, 0, {Port(0), Tick(DtrPttBox)}, "x-----"},
        RuleCase{"PortChoiceKeepsBoxes", "ttyUSB0", 1, 2, {Port(1)}, "oXooXE"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(RadioDialogModel, CreationResetsTheSettingsAndListsPorts) {
  Settings settings;
  settings.port = "ttyS0";
  settings.pttMethod = 2;
  settings.alertLine = 1;
  settings.watchdogMinutes = 5;
  settings.txDelayMs = 100;
  RadioDialogModel model;
  TPortList ports = Ports({"ttyS0"});
  ports[5] = "ttyUSB3";  // gaps are skipped
  model.Create(settings, ports);
  EXPECT_EQ(model.PortItems(), (std::vector<std::string>{"none", "ttyS0", "ttyUSB3"}));
  EXPECT_EQ(settings.port, "");
  EXPECT_EQ(settings.pttMethod + settings.alertLine + settings.watchdogMinutes + settings.txDelayMs,
            0);
}

TEST(RadioDialogModel, OpeningAfterCancelShowsTheSettingsAgain) {
  Settings settings;
  RadioDialogModel model;
  model.Create(settings, Ports({"ttyUSB0"}));
  settings.port = "ttyUSB0";
  model.Open(settings);
  EXPECT_EQ(model.SelectedPort(), 1);
  model.ClickBox(DtrPttBox, true);
  model.ClickBox(RtsAlertBox, true);
  model.EditTxDelay("abc");
  model.Open(settings);  // cancelled, opened again
  EXPECT_EQ(Picture(model), "xoooo-");
  EXPECT_EQ(model.TxDelayEdit().text, "0");
  EXPECT_TRUE(model.OkEnabled());
  // A stored port that is no longer present selects no entry.
  settings.port = "ttyACM4";
  model.Open(settings);
  EXPECT_EQ(model.SelectedPort(), -1);
}

TEST(RadioDialogModel, EditChecks) {
  struct Step {
    bool txDelay;  // which edit
    std::string text;
    bool txRed, wdtRed, ok;
    std::string shown;
  };
  const Step steps[] = {
      {true, "998", false, false, true, "998"},
      {true, "999", false, false, true, "999"},
      {true, "1000", false, false, true, "100"},  // three digits at most
      {true, "9x", true, false, false, "9x"},    // unreadable counts as too large
      {true, "-5", true, false, false, "-5"},
      {true, "", true, false, false, ""},        // emptied: nothing changes
      {false, "99", true, false, false, "99"},   // the other edit is valid, OK stays off
      {true, "150", false, false, true, "150"},
      {false, "100", false, false, true, "10"},  // two digits at most
      {false, "1a", false, true, false, "1a"},
      {false, "0", false, false, true, "0"},
  };
  Settings settings;
  RadioDialogModel model;
  model.Create(settings, Ports({}));
  model.Open(settings);
  for (const Step& s : steps) {
    SCOPED_TRACE((s.txDelay ? "TxDelayEdit " : "WDTEdit ") + s.text);
    if (s.txDelay) {
      model.EditTxDelay(s.text);
    } else {
      model.EditWdt(s.text);
    }
    EXPECT_EQ(model.TxDelayEdit().color == colors::kRed, s.txRed);
    EXPECT_EQ(model.WdtEdit().color == colors::kRed, s.wdtRed);
    EXPECT_EQ(model.OkEnabled(), s.ok);
    EXPECT_EQ((s.txDelay ? model.TxDelayEdit() : model.WdtEdit()).text, s.shown);
  }
  EXPECT_EQ(model.TxDelayEdit().color, colors::kInfoBackground);
}

class RadioOkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model.Create(settings, Ports({"ttyS0", "COM3"}));
  }
  std::string Ok() {
    return model.OkButtonClick(settings, radio, log.Log(), [this] { ++watchdogCleared; });
  }
  Settings settings;
  FakeSerialLineDriver driver;
  RecordingUi ui;
  TestLog log;
  RadioControl radio{settings, driver, ui, log.Log()};
  RadioDialogModel model;
  int watchdogCleared = 0;
};

TEST_F(RadioOkTest, StoresEverythingAndLogsTheChange) {
  model.Open(settings);
  model.SelectPort(2);
  model.ClickBox(DtrPttBox, true);
  model.ClickBox(RtsAlertBox, true);
  model.EditTxDelay("150");
  model.EditWdt("10");
  const std::string text = Ok();
  EXPECT_EQ(text,
            "Radio settings changed: port = COM3, PTT = DTR, alert = RTS, TX delay = 150 ms, "
            "WDT = 10 minutes");
  EXPECT_NE(log.Text().find(" : " + text + "\r\n"), std::string::npos);
  EXPECT_EQ(settings.port, "COM3");
  EXPECT_EQ(settings.pttMethod, 1);
  EXPECT_EQ(settings.alertLine, 2);
  EXPECT_EQ(settings.txDelayMs, 150);
  EXPECT_EQ(settings.watchdogMinutes, 10);
  EXPECT_EQ(watchdogCleared, 1);
  EXPECT_EQ(driver.TakeCalls(), (std::vector<std::string>{"open COM3", "dtr 0", "rts 0"}));
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(RadioOkTest, NoneGivesVoxAndTheWarning) {
  settings.port = "ttyS0";
  settings.pttMethod = 2;
  settings.alertLine = 1;
  ASSERT_TRUE(radio.InitSerialPort());
  model.Open(settings);
  model.SelectPort(0);
  model.EditTxDelay("");
  EXPECT_EQ(Ok(), "Radio settings changed: PTT = VOX, TX delay = 0 ms, WDT = 0 minutes");
  EXPECT_EQ(ui.dialogs, (std::vector<ShownDialog>{
                            {"No serial port selected, VOX enabled", NoticeKind::Warning}}));
  EXPECT_EQ(settings.port, "");
  EXPECT_EQ(settings.pttMethod, 0);
  EXPECT_EQ(settings.alertLine, 0);  // the line boxes were unticked
}

TEST_F(RadioOkTest, PortNotInTheListIsKeptAndNotReopened) {
  settings.port = "ttyACM4";
  settings.pttMethod = 1;
  model.Open(settings);
  model.ClickBox(RtsPttBox, true);
  EXPECT_EQ(Ok(), "Radio settings changed: PTT = RTS, TX delay = 0 ms, WDT = 0 minutes");
  EXPECT_EQ(settings.port, "ttyACM4");
  EXPECT_EQ(settings.pttMethod, 2);
  EXPECT_TRUE(driver.TakeCalls().empty());
  EXPECT_TRUE(ui.dialogs.empty());
}

// The log line tells what the operator chose; the setting is what works.
TEST_F(RadioOkTest, FailedPortMeansVoxWhateverTheBoxesShow) {
  driver.failOpen = true;
  model.Open(settings);
  model.SelectPort(1);
  model.ClickBox(DtrPttBox, true);
  model.ClickBox(RtsAlertBox, true);
  EXPECT_EQ(Ok(),
            "Radio settings changed: port = ttyS0, PTT = DTR, alert = RTS, TX delay = 0 ms, "
            "WDT = 0 minutes");
  EXPECT_EQ(ui.dialogs, (std::vector<ShownDialog>{
                            {"Failed to access ttyS0, VOX enabled", NoticeKind::Error}}));
  EXPECT_EQ(settings.port, "");
  EXPECT_EQ(settings.pttMethod, 0);
  EXPECT_EQ(settings.alertLine, 2);
}

TEST(RadioMenuFollowUp, ShowsTheFullWatchdogTimeAndEnablesThePanel) {
  for (uint16_t wdt : {uint16_t{10}, uint16_t{0}, uint16_t{99}}) {
    Settings settings;
    settings.watchdogMinutes = wdt;
    MainControls controls;
    controls.SetEnabled(Ctl::WDPanel, wdt == 0);
    std::vector<uint16_t> shown;
    RadioMenuFollowUp(settings, controls, [&](uint16_t s) { shown.push_back(s); });
    EXPECT_EQ(shown, std::vector<uint16_t>{static_cast<uint16_t>(wdt * 60)});
    EXPECT_EQ(controls.Enabled(Ctl::WDPanel), wdt != 0);
  }
}

}  // namespace
}  // namespace merivac
