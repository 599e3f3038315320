// ModeFollowUpTest.cpp - what the "Settings" menu does after the Mode and
// Save dialogs close, on a whole station: a mode change ends the cycle and
// disarms TX, the limits follow the mode, the fields are committed, the
// hover hint follows multiple decoding, and S_DB switches the debug log.
#include <gtest/gtest.h>

#include "audio/AudioDevices.h"
#include "shell/ModeSaveDialogs.h"
#include "shell/Station.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

constexpr char kHintSingle[] =
    "Double-click on a call to select the DX call.\r\nThe RX frequency and report will be "
    "retrieved (if available).";
constexpr char kHintMulti[] =
    "Click to stop decoding.\r\nDouble-click on a call to select the DX call.\r\nThe RX "
    "frequency and report will be retrieved (if available).";

class ModeFollowUpTest : public ::testing::Test {
 protected:
  TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  Station station{Options()};

  static StationOptions Options(ManualClock* clock) {
    StationOptions o;
    o.clock = clock;
    o.audio.soundCards = false;
    return o;
  }
  StationOptions Options() { return Options(&clock); }

  void SetUp() override {
    station.GetSettings().saveDebug = true;
    ASSERT_TRUE(station.Create(dir.Str())) << station.FolderError();
    station.Activate();
  }

  Settings& S() { return station.GetSettings(); }
  MainControls& C() { return station.Controls(); }
  OperatingFlags& Flags() { return station.GetEngine().Flags(); }
  std::string Log() { return ReadFile(dir.Path() / "extra/debug.txt"); }

  // The Mode dialog closed with OK on mode, then its follow-up.
  void ChooseMode(uint32_t mode) {
    const uint32_t before = S().mode;
    ModeDialogRules rules(S());
    rules.Open();
    rules.SelectMode(mode);
    rules.OkButtonClick();
    ModeMenuFollowUp(before, station);
  }
};

TEST_F(ModeFollowUpTest, ModeChangeEndsTheCaptureAndDisarmsTx) {
  Flags().capturing = true;
  Flags().txEnabled = true;  // armed by a DX selection: the menu stayed usable
  C().SetVisible(Ctl::EnableTxButton, false);
  C().SetVisible(Ctl::EnableTxShape, true);
  ChooseMode(10);
  EXPECT_FALSE(Flags().capturing);
  EXPECT_FALSE(Flags().txEnabled);
  EXPECT_TRUE(C().Visible(Ctl::EnableTxButton));
  EXPECT_FALSE(C().Visible(Ctl::EnableTxShape));
  EXPECT_EQ(C().Text(Ctl::ModePanel), "JT9-10");
  EXPECT_NE(Log().find(" : Mode changed to JT9-10\r\n"), std::string::npos) << Log();
}

TEST_F(ModeFollowUpTest, ModeChangeEndsARunningTransmission) {
  SetTransmitControlsEnabled(C(), true);  // as with an output device open
  Flags().capturing = true;
  Flags().transmitting = true;
  Flags().streaming = true;
  Flags().txEnabled = true;
  C().SetEnabled(Ctl::TxEdit, false);
  C().SetEnabled(Ctl::TuneButton, false);
  ChooseMode(2);
  EXPECT_FALSE(Flags().transmitting);
  EXPECT_FALSE(Flags().streaming);
  EXPECT_FALSE(Flags().capturing);
  EXPECT_FALSE(Flags().txEnabled);
  EXPECT_TRUE(C().Get(Ctl::TxEdit).enabled);
  EXPECT_TRUE(C().Get(Ctl::TuneButton).enabled);
  EXPECT_EQ(C().Text(Ctl::ModePanel), "JT9-2");
}

TEST_F(ModeFollowUpTest, SameModeLeavesTheCycleAlone) {
  Flags().capturing = true;
  Flags().txEnabled = true;
  ChooseMode(1);
  EXPECT_TRUE(Flags().capturing);
  EXPECT_TRUE(Flags().txEnabled);
  EXPECT_EQ(Log().find("Mode changed"), std::string::npos);
  EXPECT_EQ(C().Text(Ctl::ModePanel), "JT9-1");
}

TEST_F(ModeFollowUpTest, LimitsFollowTheModeAndTheDiscardOptions) {
  const struct {
    uint32_t mode;
    bool discardTx, discardRx;
    uint16_t tx, rx;  // starting at 1225 and 1225
    const char* txHint;
    const char* rxHint;
  } cases[] = {
      {10, false, false, 415, 415, "200 .. 415", "200 .. 415"},
      {5, false, false, 840, 840, "200 .. 840", "200 .. 840"},
      {2, false, true, 1225, 1225, "200 .. 1400", "100 .. 2240"},
      {10, true, false, 1225, 415, "100 .. 4985", "200 .. 415"},
      {1, false, false, 1225, 1225, "200 .. 1400", "200 .. 1400"},
  };
  for (const auto& c : cases) {
    S().txFreq = 1225;
    S().rxFreq = 1225;
    C().SetText(Ctl::TxEdit, "1225");
    C().SetText(Ctl::RxEdit, "1225");
    const uint32_t before = S().mode;
    ModeDialogRules rules(S());
    rules.Open();
    rules.SelectMode(c.mode);
    rules.SetChecked(ModeBox::AudioTxBox, c.discardTx);
    rules.SetChecked(ModeBox::AudioRxBox, c.discardRx);
    rules.OkButtonClick();
    ModeMenuFollowUp(before, station);
    EXPECT_EQ(S().txFreq, c.tx) << "JT9-" << c.mode;
    EXPECT_EQ(S().rxFreq, c.rx) << "JT9-" << c.mode;
    EXPECT_EQ(C().Text(Ctl::TxEdit), std::to_string(c.tx));
    EXPECT_EQ(C().Text(Ctl::RxEdit), std::to_string(c.rx));
    EXPECT_EQ(C().Get(Ctl::TxEdit).hint, c.txHint);
    EXPECT_EQ(C().Get(Ctl::RxEdit).hint, c.rxHint);
    EXPECT_EQ(C().Get(Ctl::TxEdit).color, colors::kInfoBackground);
    EXPECT_EQ(C().Get(Ctl::RxEdit).color, colors::kInfoBackground);
  }
}

// Opening and cancelling still re-applies the limits and commits both
// fields: frequencies beyond the limits are clamped and the fields rewritten.
TEST_F(ModeFollowUpTest, CancelStillReappliesTheLimits) {
  S().txFreq = 4000;
  S().rxFreq = 99;
  C().SetColor(Ctl::TxEdit, colors::kPendingEdit);
  C().SetColor(Ctl::RxEdit, colors::kPendingEdit);
  ModeDialogRules rules(S());
  rules.Open();
  rules.SelectMode(10);
  rules.CancelButtonClick();
  ModeMenuFollowUp(S().mode, station);
  EXPECT_EQ(S().mode, 1u);
  EXPECT_EQ(S().txFreq, 1400);
  EXPECT_EQ(S().rxFreq, 200);
  EXPECT_EQ(C().Text(Ctl::TxEdit), "1400");
  EXPECT_EQ(C().Text(Ctl::RxEdit), "200");
  EXPECT_EQ(C().Get(Ctl::TxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(C().Get(Ctl::RxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(C().Text(Ctl::ModePanel), "JT9-1");
}

// With TX armed by a selection the transmission may run while the dialog is
// open; keeping the mode leaves it going and the locked TX field alone, but
// both fields end in the normal colour.
TEST_F(ModeFollowUpTest, SameModeDuringATransmissionKeepsIt) {
  Flags().transmitting = true;
  Flags().txEnabled = true;
  C().SetText(Ctl::TxEdit, "1300");
  C().SetColor(Ctl::TxEdit, colors::kPendingEdit);
  ChooseMode(1);
  EXPECT_TRUE(Flags().transmitting);
  EXPECT_TRUE(Flags().txEnabled);
  EXPECT_EQ(C().Get(Ctl::TxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(C().Get(Ctl::RxEdit).color, colors::kInfoBackground);
}

TEST_F(ModeFollowUpTest, HoverHintFollowsMultipleDecoding) {
  for (bool multi : {true, false, true}) {
    ModeDialogRules rules(S());
    rules.Open();
    rules.SetChecked(ModeBox::MultiDecBox, multi);
    rules.OkButtonClick();
    ModeMenuFollowUp(S().mode, station);
    EXPECT_EQ(station.Windows().HoverHint(), multi ? kHintMulti : kHintSingle);
  }
  // Set only when the dialog closes: a changed setting alone changes nothing.
  S().multiDecode = false;
  EXPECT_EQ(station.Windows().HoverHint(), kHintMulti);
}

TEST_F(ModeFollowUpTest, SaveDialogSwitchesTheDebugLog) {
  auto saveDebug = [this](bool on, bool ok) {
    SaveDialogRules rules(S());
    rules.Open();
    rules.SetChecked(SaveBox::DebugBox, on);
    if (ok) {
      rules.OkButtonClick();
    } else {
      rules.CancelButtonClick();
    }
    SaveMenuFollowUp();
  };
  saveDebug(false, true);
  station.Log().Write("written while off");
  saveDebug(true, false);  // cancelled: still off
  station.Log().Write("written after cancel");
  saveDebug(true, true);
  station.Log().Write("written while on");
  saveDebug(false, true);
  station.Log().Write("written after switching off");
  const std::string log = Log();
  EXPECT_EQ(log.find("written while off"), std::string::npos);
  EXPECT_EQ(log.find("written after cancel"), std::string::npos);
  EXPECT_NE(log.find("written while on"), std::string::npos);
  EXPECT_EQ(log.find("written after switching off"), std::string::npos);
}

}  // namespace
}  // namespace merivac
