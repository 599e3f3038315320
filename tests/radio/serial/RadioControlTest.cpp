// RadioControlTest.cpp - PTT and alert lines on the fake driver, and the
// port initialisation with its dialogs.
#include "radio/RadioControl.h"

#include <gtest/gtest.h>

#include "SerialFakes.h"

namespace merivac {
namespace {

using testing::FakeSerialLineDriver;
using testing::RecordingUi;
using testing::ShownDialog;
using testing::TestLog;
using Calls = std::vector<std::string>;

class RadioControlTest : public ::testing::Test {
 protected:
  void OpenPort(uint8_t ptt, uint8_t alert) {
    settings.port = "ttyUSB0";
    settings.pttMethod = ptt;
    settings.alertLine = alert;
    ASSERT_TRUE(radio.InitSerialPort());
    driver.TakeCalls();
  }
  Settings settings;
  FakeSerialLineDriver driver;
  RecordingUi ui;
  TestLog log;
  RadioControl radio{settings, driver, ui, log.Log()};
};

struct LineCase {
  uint8_t ptt;
  uint8_t alert;
  bool pttResult;
  Calls pttCalls;  // SetPtt(true), then SetPtt(false)
  bool alertResult;
  Calls alertCalls;  // SetAlertLine(true), then SetAlertLine(false)
};

class LineChoiceTest : public RadioControlTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineChoiceTest, EachMethodSwitchesOnlyItsLine) {
  const LineCase& c = GetParam();
  OpenPort(c.ptt, c.alert);
  EXPECT_EQ(radio.SetPtt(true), c.pttResult);
  radio.SetPtt(false);
  EXPECT_EQ(driver.TakeCalls(), c.pttCalls);
  EXPECT_EQ(radio.SetAlertLine(true), c.alertResult);
  radio.SetAlertLine(false);
  EXPECT_EQ(driver.TakeCalls(), c.alertCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Radio, LineChoiceTest,
    ::testing::Values(
        LineCase{0, 0, false, {}, false, {}},                                  // VOX, no alert
        LineCase{1, 2, true, {"dtr 1", "dtr 0"}, true, {"rts 1", "rts 0"}},    // PTT DTR, alert RTS
        LineCase{2, 1, true, {"rts 1", "rts 0"}, true, {"dtr 1", "dtr 0"}},    // PTT RTS, alert DTR
        LineCase{0, 1, false, {}, true, {"dtr 1", "dtr 0"}},                   // VOX with alert
        LineCase{3, 7, false, {}, false, {}}));                                // edited file: nothing

TEST_F(RadioControlTest, ControlLineCodesAndStates) {
  OpenPort(0, 0);
  EXPECT_TRUE(radio.SetControlLine(kLineDtr, kLineSet));
  EXPECT_TRUE(radio.SetControlLine(kLineRts, kLineSet));
  EXPECT_TRUE(radio.SetControlLine(kLineBreak, kLineSet));
  EXPECT_TRUE(driver.dtr && driver.rts && driver.brk);
  EXPECT_TRUE(radio.SetControlLine(kLineBreak, kLineClear));
  EXPECT_FALSE(driver.brk);
  for (int code : {0, 1, 4, 6}) EXPECT_FALSE(radio.SetControlLine(code, kLineSet)) << code;
  EXPECT_FALSE(radio.SetControlLine(kLineDtr, 2));
  EXPECT_FALSE(radio.SetControlLine(kLineDtr, -1));
}

TEST_F(RadioControlTest, LinesOfAClosedPortFailSilently) {
  settings.pttMethod = 1;
  settings.alertLine = 2;
  EXPECT_FALSE(radio.SetPtt(true));
  EXPECT_FALSE(radio.SetAlertLine(true));
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(RadioControlTest, InitOpensWithBothLinesIdle) {
  settings.port = "ttyUSB0";
  settings.pttMethod = 2;
  settings.alertLine = 1;
  EXPECT_TRUE(radio.InitSerialPort());
  EXPECT_EQ(driver.TakeCalls(), (Calls{"open ttyUSB0", "dtr 0", "rts 0"}));
  EXPECT_EQ(settings.pttMethod, 2);
  EXPECT_TRUE(ui.dialogs.empty());
  // A second initialisation drops the lines of the open port before reopening.
  radio.SetPtt(true);
  driver.TakeCalls();
  EXPECT_TRUE(radio.InitSerialPort());
  EXPECT_EQ(driver.TakeCalls(),
            (Calls{"dtr 0", "rts 0", "break 0", "close", "open ttyUSB0", "dtr 0", "rts 0"}));
}

TEST_F(RadioControlTest, InitFailuresFallBackToVoxWithTheirDialog) {
  struct Case {
    std::string port;
    bool failOpen;
    bool refuseLines;
    ShownDialog dialog;
  };
  const Case cases[] = {
      {"", false, false, {"No serial port selected, VOX enabled", NoticeKind::Warning}},
      {"ttyUSB7", true, false, {"Failed to access ttyUSB7, VOX enabled", NoticeKind::Error}},
      {"ttyUSB8", false, true, {"Failed to access ttyUSB8, VOX enabled", NoticeKind::Error}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.port);
    settings.port = c.port;
    settings.pttMethod = 1;
    settings.alertLine = 2;
    driver.failOpen = c.failOpen;
    driver.refuseLines = c.refuseLines;
    ui.dialogs.clear();
    EXPECT_FALSE(radio.InitSerialPort());
    EXPECT_EQ(ui.dialogs, std::vector<ShownDialog>{c.dialog});
    EXPECT_EQ(settings.port, "");
    EXPECT_EQ(settings.pttMethod, 0);
    EXPECT_EQ(settings.alertLine, 2);  // the alert choice stays
    EXPECT_FALSE(radio.PortOpen());
    EXPECT_NE(log.Text().find(" : " + c.dialog.text + "\r\n"), std::string::npos);
  }
}

TEST_F(RadioControlTest, LoweringClearsALineTheSettingsMovedAway) {
  OpenPort(1, 0);
  radio.SetPtt(true);  // DTR keyed
  settings.pttMethod = 2;  // the Radio dialog moved PTT to RTS meanwhile
  radio.SetPtt(false);
  EXPECT_FALSE(driver.dtr);
  EXPECT_FALSE(driver.rts);
  // PTT moved to VOX while keyed: lowering still unkeys the transmitter.
  settings.pttMethod = 1;
  radio.SetPtt(true);
  settings.pttMethod = 0;
  EXPECT_FALSE(radio.SetPtt(false));
  EXPECT_FALSE(driver.dtr);
  // PTT keyed again after a move: the old line drops, the new one keys.
  settings.pttMethod = 1;
  radio.SetPtt(true);
  settings.pttMethod = 2;
  radio.SetPtt(true);
  EXPECT_FALSE(driver.dtr);
  EXPECT_TRUE(driver.rts);
  radio.SetPtt(false);
  // The alert moved from DTR to RTS while raised: the click clears both.
  settings.alertLine = 1;
  radio.SetAlertLine(true);
  settings.alertLine = 2;
  radio.TimeLabelClickAlertOff();
  EXPECT_FALSE(driver.dtr);
  EXPECT_FALSE(driver.rts);
}

TEST_F(RadioControlTest, LoweringPttKeepsAnAlertRaisedOnItsOldLine) {
  OpenPort(1, 0);
  radio.SetPtt(true);  // DTR keyed
  // The dialog swaps the lines during the transmission, and an alert comes.
  settings.pttMethod = 2;
  settings.alertLine = 1;
  radio.SetAlertLine(true);
  radio.SetPtt(false);
  EXPECT_TRUE(driver.dtr);  // now the alert's line: stays raised
  EXPECT_FALSE(driver.rts);
  radio.SetAlertLine(false);
  EXPECT_FALSE(driver.dtr);
}

TEST_F(RadioControlTest, ReleaseAllDropsEveryLineAndCloses) {
  OpenPort(1, 2);
  radio.SetPtt(true);
  radio.SetAlertLine(true);
  radio.SetControlLine(kLineBreak, kLineSet);
  driver.TakeCalls();
  radio.ReleaseAll();
  EXPECT_EQ(driver.TakeCalls(), (Calls{"dtr 0", "rts 0", "break 0", "close"}));
  EXPECT_FALSE(driver.dtr || driver.rts || driver.brk || radio.PortOpen());
  EXPECT_NE(log.Text().find("PTT and alert line released, serial port closed"), std::string::npos);
  radio.ReleaseAll();  // nothing open: nothing to do
  EXPECT_TRUE(driver.TakeCalls().empty());
}

}  // namespace
}  // namespace merivac
