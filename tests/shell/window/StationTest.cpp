// StationTest.cpp - the composition root: window creation in a program
// folder, start-up placeholders, hooks wired to the engine, ticks and close.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <filesystem>

#include "shell/Station.h"
#include "shell/Version.h"
#include "shell/ui/MainForm.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

class StationTest : public ::testing::Test {
 protected:
  TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  Station station{Options()};

  StationOptions Options() {
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    return o;
  }
};

TEST_F(StationTest, CreateSetsUpTheFolderAndCaption) {
  ASSERT_TRUE(station.Create(dir.Str())) << station.FolderError();
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "save"));
  EXPECT_EQ(ReadFile(dir.Path() / "extra/debug.txt"), "");
  EXPECT_EQ(station.Controls().Text(Ctl::MainForm), MainCaption());
}

TEST_F(StationTest, ActivationClearsPlaceholdersAndStartsTheTimer) {
  ASSERT_TRUE(station.Create(dir.Str()));
  station.BandMemo().AppendPlain("design sample line");
  MainControls& c = station.Controls();
  c.SetText(Ctl::BusyPanel, "99%");
  station.Activate();
  // The design lines are gone; the start-up progress lines replace them,
  // the missing settings file, the missing tables and the failed sound-card
  // step (no device chosen) in red.
  ASSERT_EQ(station.BandMemo().LineCount(), 9u);
  EXPECT_EQ(station.BandMemo().Line(0).text, "Activating application ...");
  EXPECT_EQ(station.BandMemo().Line(1).text, "Reading settings ...");
  EXPECT_EQ(station.BandMemo().Line(3).text, "Read CTY.DAT ...");
  EXPECT_EQ(station.BandMemo().Line(5).text, "Read WAS.DAT ...");
  EXPECT_EQ(station.BandMemo().Line(7).text, "Sound card initialisation ...");
  EXPECT_EQ(station.BandMemo().Line(8).text, "... failed");
  EXPECT_EQ(station.BandMemo().Line(8).fontColor, colors::kRed);
  EXPECT_NE(station.GetEngine().StartupErrorText().find("No soundcard input selected."),
            std::string::npos);
  EXPECT_EQ(c.Text(Ctl::BusyPanel), "");
  EXPECT_EQ(c.Text(Ctl::DxLabel), "");
  EXPECT_EQ(c.Get(Ctl::CycleLabel).width, 0);
  EXPECT_EQ(c.Text(Ctl::ModePanel), "JT9-1");
  EXPECT_EQ(c.Text(Ctl::TxEdit), "1225");
  EXPECT_TRUE(station.GetEngine().TimerEnabled());
}

TEST_F(StationTest, TicksLogTheMissingInputWhileDebugIsOn) {
  station.GetSettings().saveDebug = true;
  ASSERT_TRUE(station.Create(dir.Str()));
  station.Activate();
  station.Tick();
  clock.AdvanceSeconds(0.05);
  station.Tick();
  const std::string log = ReadFile(dir.Path() / "extra/debug.txt");
  EXPECT_NE(log.find("**********  Merivac launched  **********"), std::string::npos);
  size_t count = 0;
  for (size_t at = log.find("Soundcard input NOT ACTIVE"); at != std::string::npos;
       at = log.find("Soundcard input NOT ACTIVE", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 2u);
  station.Close();
  EXPECT_NE(
      ReadFile(dir.Path() / "extra/debug.txt").find("********** Merivac terminated **********"),
      std::string::npos);
}

TEST_F(StationTest, MustReadShowsAnInformationDialog) {
  struct RecordingUi : NullUiServices {
    void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
      shown = text;
      shownKind = kind;
    }
    std::string shown;
    NoticeKind shownKind = NoticeKind::Warning;
  } ui;
  ASSERT_TRUE(station.Create(dir.Str()));
  station.AttachUi(&ui);
  EXPECT_TRUE(station.Hooks().FireMenu(MenuItem::MustRead));
  EXPECT_EQ(ui.shownKind, NoticeKind::Information);
  EXPECT_NE(ui.shown.find("Acknowledgements"), std::string::npos);
  EXPECT_NE(ui.shown.find("Disclaimer"), std::string::npos);
  station.AttachUi(nullptr);
}

TEST_F(StationTest, FolderFailureBecomesAStartupWarning) {
  std::filesystem::create_directories(dir.Path() / "extra");
  std::filesystem::create_directories(dir.Path() / "extra/debug.txt");  // a folder in the way
  EXPECT_FALSE(station.Create(dir.Str()));
  station.Activate();
  station.Tick();  // the first tick shows the start-up errors
  EXPECT_TRUE(station.Controls().Visible(Ctl::MessagePanel));
  EXPECT_NE(station.Controls().Text(Ctl::MessageLabel).find("debug log"), std::string::npos);
}

TEST_F(StationTest, WindowHooksReachTheEngineAndTheNoticePanel) {
  ASSERT_TRUE(station.Create(dir.Str()));
  TMainForm form(station.Controls(), station.BandMemo(), station.RxMemo(), station.Hooks());
  form.show();
  station.Activate();
  form.SyncFromModel();

  // TX 1st cycle goes through the model into the engine's setting.
  QTest::mouseClick(form.Widget(Ctl::TxFirstBox), Qt::LeftButton);
  EXPECT_TRUE(station.GetSettings().txFirst);

  station.GetEngine().AppendStartupError("Something failed.");
  station.Tick();
  form.SyncFromModel();
  QWidget* panel = form.Widget(Ctl::MessagePanel);
  EXPECT_TRUE(panel->isVisible());
  QTest::mouseClick(form.Widget(Ctl::MessageLabel), Qt::LeftButton);
  EXPECT_FALSE(panel->isVisible());

  // Closing the window closes the log files and stops the timer.
  EXPECT_TRUE(form.close());
  EXPECT_FALSE(station.GetEngine().TimerEnabled());
  EXPECT_EQ(station.Folder().DecodedFile(), nullptr);
}

}  // namespace
}  // namespace merivac
