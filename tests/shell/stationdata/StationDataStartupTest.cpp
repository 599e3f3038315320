// StationDataStartupTest.cpp - a whole station's start-up with its logbook
// and tables: the Logbook dialog before the tables, the logbook read into
// the worked lists, a CTY.DAT update with no server that keeps the old
// table, and the alert lists taken from the settings.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "logbook/ui/LogDialog.h"
#include "shell/Station.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::LoopbackHttpServer;
using testing::ReadFile;
using Lines = std::vector<std::string>;

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";

class StationDataStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRealCty)) GTEST_SKIP() << kRealCty << " is not installed";
    std::filesystem::create_directories(dir.Path() / "tables");
    std::filesystem::copy_file(kRealCty, dir.Path() / "tables/cty.dat");
  }
  StationOptions Options() {
    StationOptions o;
    o.clock = &clock;
    o.audio.soundCards = false;
    o.countryFileUrl = countryUrl;
    return o;
  }
  // Creates the station with this settings file.
  Station& Create(const std::string& settingsFile) {
    station = std::make_unique<Station>(Options());
    station->GetSettings().saveDebug = true;
    EXPECT_TRUE(station->Create(dir.Str())) << station->FolderError();
    std::ofstream(station->SettingsPath()) << settingsFile;
    return *station;
  }
  Station& Start(const std::string& settingsFile) {
    Create(settingsFile).Activate();
    return *station;
  }
  // The Band Activity lines, a red one marked " [red]".
  Lines Shown() const {
    Lines out;
    const MemoModel& memo = station->BandMemo();
    for (size_t i = 0; i < memo.LineCount(); ++i) {
      const MemoLine& l = memo.Line(i);
      out.push_back(l.text + (l.fontColor == colors::kRed ? " [red]" : ""));
    }
    return out;
  }
  // The lines from `first` on, as many as expected holds.
  Lines ShownFrom(const std::string& first, size_t count) const {
    const Lines all = Shown();
    const auto at = std::find(all.begin(), all.end(), first);
    if (at == all.end()) return {};
    return Lines(at, at + std::min<size_t>(count, all.end() - at));
  }
  std::string Log() { return ReadFile(dir.Path() / "extra/debug.txt"); }
  std::string WriteLogbook(const std::string& text) {
    const std::string path = (dir.Path() / "my log.adi").string();
    std::ofstream(path) << text;
    return path;
  }

  testing::TempDir dir;
  ManualClock clock{EncodeDateTime(2026, 12, 9, 20, 1, 10)};
  std::string countryUrl = LoopbackHttpServer::DeadUrl("/cty/cty.dat");
  std::unique_ptr<Station> station;
};

TEST_F(StationDataStartupTest, CtyUpdateWithoutServerKeepsTheOldTable) {
  std::ofstream(dir.Path() / "tables/was.dat") << "CA W6XYZ\n";
  Station& s = Start("UCTY: Y\r\n");
  EXPECT_EQ(ShownFrom("Download CTY.DAT ...", 6),
            (Lines{"Download CTY.DAT ...", "... failed [red]", "Read CTY.DAT ...", "... OK",
                   "Read WAS.DAT ...", "... OK"}));
  const std::string errors = s.GetEngine().StartupErrorText();
  EXPECT_EQ(errors.rfind("Failed to download CTY.DAT file.\r\n", 0), 0u) << errors;
  EXPECT_EQ(errors.find("CTY.DAT file.", 20), std::string::npos) << errors;  // read went fine
  EXPECT_EQ(s.Data().LookupEntity("9M0A"), "1S");
  EXPECT_EQ(s.Data().LookupState("W6XYZ"), "CA");
  EXPECT_TRUE(s.Data().CountryFileLoaded());
  EXPECT_NE(Log().find("\r\nFailed to download CTY.DAT\r\nCTY.DAT loaded\r\nWAS.DAT loaded\r\n"),
            std::string::npos)
      << Log();
  EXPECT_NE(Log().find("curl error 7"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.Path() / "tables/cty.dat"), ReadFile(kRealCty));
}

TEST_F(StationDataStartupTest, CtyUpdateFromTheServerReplacesTheTable) {
  LoopbackHttpServer server;
  server.Set("/cty/cty.dat",
             LoopbackHttpServer::Reply(
                 200, "Spratly Test:   26:  50:  AS:    9.88:  -114.23:    -8.0:  1S:\n    9M;\n"));
  countryUrl = server.Url("/cty/cty.dat");
  Station& s = Start("UCTY: Y\r\n");
  EXPECT_EQ(ShownFrom("Download CTY.DAT ...", 2), (Lines{"Download CTY.DAT ...", "... OK"}));
  EXPECT_EQ(s.Data().LookupEntity("9M2AB"), "1S");
  EXPECT_EQ(s.Data().LookupEntity("K1ABC"), "");
}

TEST_F(StationDataStartupTest, TheLogbookIsReadBeforeTheTablesAndFillsTheWorkedLists) {
  std::ofstream(dir.Path() / "tables/was.dat") << "NY K2ABC\nCA W6XYZ\nTX N5ZZ\n";
  const std::string log = WriteLogbook(
      "Exported by a logger\n<EOH>\n"
      "<CALL:5>K2ABC<BAND:4>630M<MODE:5>JT9-1<EOR><CALL:5>W6XYZ<FREQ:6>0.4757<EOR>\n"
      "<CALL:6>JA1XYZ<BAND:4>630m<MODE:3>JT9<EOR>\n<CALL:5>N5ZZZ<BAND:3>20M<EOR>\n");
  Station& s = Start("DIAL: 475700\r\nLOG_: " + log + "\r\nA_IC: G3XYZ, DL1ABC\r\n");
  EXPECT_EQ(ShownFrom("Reading settings ...", 5),
            (Lines{"Reading settings ...", "... OK", "Read logbook ...", "... 3 QSOs found",
                   "Read CTY.DAT ..."}));
  EXPECT_NE(Log().find("\r\nLogbook: 3 QSOs found\r\n"), std::string::npos) << Log();
  WorkedLists& w = s.Data().Worked();
  EXPECT_TRUE(w.LogbookLoaded());
  EXPECT_EQ(w.WorkedCalls(), (Lines{"K2ABC", "W6XYZ", "JA1XYZ"}));
  EXPECT_EQ(w.WorkedEntities(), (Lines{"K", "JA"}));
  EXPECT_EQ(w.WorkedStates()[0], "NY");
  EXPECT_EQ(w.WorkedStates()[1], "CA");
  EXPECT_EQ(w.WorkedStates()[2], "");
  EXPECT_TRUE(s.Data().IsNewCall("N5ZZZ"));
  EXPECT_FALSE(s.Data().IsNewEntity("K"));
  EXPECT_EQ(s.Data().Lists().include[1], "DL1ABC");
}

TEST_F(StationDataStartupTest, AMissingLogbookFailsInItsWords) {
  Station& s = Start("LOG_: " + (dir.Path() / "gone.adi").string() + "\r\n");
  EXPECT_EQ(ShownFrom("Read logbook ...", 2), (Lines{"Read logbook ...", "... failed [red]"}));
  EXPECT_NE(s.GetEngine().StartupErrorText().find("Failed to read the logbook.\r\n"),
            std::string::npos);
  EXPECT_NE(Log().find("\r\nFailed to read the logbook\r\n"), std::string::npos) << Log();
  EXPECT_FALSE(s.Data().Worked().LogbookLoaded());
  EXPECT_FALSE(s.Data().IsNewCall("K1ABC"));
}

TEST_F(StationDataStartupTest, TheLogbookDialogComesAfterTheSettingsAndCancelLoadsNothing) {
  const std::string log = WriteLogbook("<CALL:5>K2ABC<EOR>\n");
  Station& s = Create("LOG_: " + log + "\r\n");
  TLogForm form(s.GetSettings(), "Merivac  v0.1.0.0.");
  DialogLogbookPrompt prompt(form, [] { return QPoint(100, 100); });
  s.AttachLogbookPrompt(&prompt);
  Lines shownWhileOpen;
  QString caption, path;
  QTimer::singleShot(0, &form, [&] {
    shownWhileOpen = Shown();
    caption = form.windowTitle();
    path = form.findChild<QLineEdit*>("LogEdit")->text();
    form.findChild<QPushButton*>("CancelButton")->click();
  });
  QTimer::singleShot(5000, [] {  // a failure must not hang the test
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  s.Activate();
  s.AttachLogbookPrompt(nullptr);
  EXPECT_EQ(shownWhileOpen,
            (Lines{"Activating application ...", "Reading settings ...", "... OK"}));
  EXPECT_EQ(caption, "Merivac  v0.1.0.0.  :  Load logbook");
  EXPECT_EQ(path.toStdString(), log);
  EXPECT_TRUE(ShownFrom("Read logbook ...", 1).empty());
  EXPECT_FALSE(ShownFrom("Read CTY.DAT ...", 1).empty());
  EXPECT_FALSE(s.Data().Worked().LogbookLoaded());
}

}  // namespace
}  // namespace merivac
