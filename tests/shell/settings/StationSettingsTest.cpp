// StationSettingsTest.cpp - the settings file in the station's start-up and
// close: read in the activation, written by the close query.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/SettingsFile.h"
#include "shell/Station.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

struct RecordingUi : NullUiServices {
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    shown = text;
    shownKind = kind;
    ++count;
  }
  std::string shown;
  NoticeKind shownKind = NoticeKind::Warning;
  int count = 0;
};

class StationSettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  Station station{Options()};
  RecordingUi ui;

  StationOptions Options() {
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    return o;
  }
  void WriteSettings(const std::string& text) {
    std::ofstream out(dir.Path() / "Merivac.set", std::ios::binary);
    out << text;
  }
  void TearDown() override { station.AttachUi(nullptr); }
};

TEST_F(StationSettingsTest, ActivationReadsTheSettingsFile) {
  WriteSettings(
      "CYCL: 5\r\nWDT_: 12\r\nSQSO: Y\r\nHOLD: Y\r\nTOP_: 120\r\nLEFT: 340\r\n");
  ASSERT_TRUE(station.Create(dir.Str()));
  station.Activate();
  MemoModel& band = station.BandMemo();
  ASSERT_GE(band.LineCount(), 3u);
  EXPECT_EQ(band.Line(1).text, "Reading settings ...");
  EXPECT_EQ(band.Line(2).text, "... OK");
  EXPECT_NE(band.Line(2).fontColor, colors::kRed);

  MainControls& c = station.Controls();
  EXPECT_EQ(c.Text(Ctl::ModePanel), "JT9-5");
  EXPECT_TRUE(c.Enabled(Ctl::WDPanel));
  EXPECT_TRUE(c.Checked(Ctl::ShortQSOBox));
  EXPECT_TRUE(c.Checked(Ctl::HoldTxBox));
  const Settings& s = station.GetSettings();
  EXPECT_TRUE(s.windowPlaced);
  EXPECT_EQ(s.windowTop, 120);
  EXPECT_EQ(s.windowLeft, 340);
  EXPECT_EQ(station.GetEngine().StartupErrorText().find("Failed to read the settings."),
            std::string::npos);
}

TEST_F(StationSettingsTest, MissingFileIsTheFirstStartupError) {
  ASSERT_TRUE(station.Create(dir.Str()));
  station.Activate();
  MemoModel& band = station.BandMemo();
  ASSERT_GE(band.LineCount(), 3u);
  EXPECT_EQ(band.Line(1).text, "Reading settings ...");
  EXPECT_EQ(band.Line(2).text, "... failed");
  EXPECT_EQ(band.Line(2).fontColor, colors::kRed);
  EXPECT_EQ(station.GetEngine().StartupErrorText().rfind("Failed to read the settings.\r\n", 0),
            0u);
  EXPECT_FALSE(station.GetSettings().windowPlaced);
  EXPECT_EQ(station.Controls().Text(Ctl::ModePanel), "JT9-1");
}

TEST_F(StationSettingsTest, CloseQueryWritesTheWindowPositionAndCheckBoxes) {
  ASSERT_TRUE(station.Create(dir.Str()));
  station.AttachUi(&ui);
  station.Activate();
  station.Controls().SetChecked(Ctl::HoldTxBox, true);
  station.Hooks().Fire(Ctl::HoldTxBox, Ev::Change);
  EXPECT_TRUE(station.GetSettings().holdTxFreq);
  station.Controls().SetChecked(Ctl::TxFirstBox, true);

  EXPECT_TRUE(station.SaveSettingsOnClose(333, 44));
  EXPECT_EQ(ui.count, 0);
  const std::string text = ReadFile(dir.Path() / "Merivac.set");
  EXPECT_NE(text.find("\r\nTOP_: 44\r\nLEFT: 333\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nTX_1: Y\r\nHOLD: Y\r\n"), std::string::npos);

  // The next start finds the window where it was.
  Settings next;
  ASSERT_TRUE(LoadSettings(next, station.SettingsPath()));
  EXPECT_TRUE(next.windowPlaced);
  EXPECT_EQ(next.windowLeft, 333);
  EXPECT_EQ(next.windowTop, 44);
}

TEST_F(StationSettingsTest, FailedSaveShowsTheErrorDialogAndKeepsTheOldFile) {
  WriteSettings("CALL: OLD1\r\n");
  ASSERT_TRUE(station.Create(dir.Str()));
  station.AttachUi(&ui);
  station.Activate();
  std::filesystem::create_directory(dir.Path() / "Merivac.set.tmp");
  EXPECT_FALSE(station.SaveSettingsOnClose(0, 0));
  EXPECT_EQ(ui.count, 1);
  EXPECT_EQ(ui.shownKind, NoticeKind::Error);
  EXPECT_EQ(ui.shown,
            "Failed to save the settings.\r\nIf the application is installed in a \"Program "
            "Files\" folder you might need to run it as administrator.");
  EXPECT_EQ(ReadFile(dir.Path() / "Merivac.set"), "CALL: OLD1\r\n");
  station.Close();
}

}  // namespace
}  // namespace merivac
