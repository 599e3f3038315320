// TableStartupTest.cpp - the table steps of start-up: their progress lines,
// report lines and error sentences in order, with and without downloads,
// and the worked lists they build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "stationdata/TableStartup.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::LoopbackHttpServer;
using testing::ReadFile;

const std::string kCty =
    "United States:   05:  08:  NA:   37.53:    91.67:     5.0:  K:\n    K,W;\n"
    "England:   14:  27:  EU:   52.77:     1.47:     0.0:  G:\n    G,M;\n";

struct Collected : StartupOutput {
  void Show(const std::string& line, bool failed) override {
    shown.push_back(failed ? line + " [red]" : line);
  }
  void Report(const std::string& line) override { report.push_back(line); }
  void Error(const std::string& sentence) override { errors.push_back(sentence); }
  std::vector<std::string> shown, report, errors;
};

class TableStartupTest : public ::testing::Test {
 protected:
  TableStartupTest() : log(clock, logOn), data(settings) {
    log.Open((dir.Path() / "debug.txt").string());
    std::filesystem::create_directories(dir.Path() / "tables");
    data.Worked().SetWorkedCalls({"W6XYZ", "G3XYZ", "K2ABC"});
  }
  void WriteTables(const std::string& cty, const std::string& was) {
    std::ofstream(dir.Path() / "tables/cty.dat") << cty;
    std::ofstream(dir.Path() / "tables/was.dat") << was;
  }
  Collected Run(const std::string& countryUrl) {
    Collected out;
    CurlDownloader curl;
    RunTableStartup(data, TableStartupInput{settings, folder, countryUrl, curl, &log}, out);
    return out;
  }

  testing::TempDir dir;
  std::string folder = dir.Str();
  ManualClock clock;
  bool logOn = true;
  DebugLog log;
  Settings settings;
  StationData data;
};

using Lines = std::vector<std::string>;

TEST_F(TableStartupTest, WithoutDownloadsOnlyTheReadsRun) {
  WriteTables(kCty, "CA W6XYZ\nNY K2ABC\n");
  const Collected out = Run("http://127.0.0.1:1/never");
  EXPECT_EQ(out.shown, (Lines{"Read CTY.DAT ...", "... OK", "Read WAS.DAT ...", "... OK"}));
  EXPECT_EQ(out.report, (Lines{"CTY.DAT loaded", "WAS.DAT loaded"}));
  EXPECT_TRUE(out.errors.empty());
  EXPECT_TRUE(data.CountryFileLoaded());
  EXPECT_EQ(data.Worked().WorkedEntities(), (Lines{"K", "G"}));
  EXPECT_EQ(data.Worked().WorkedStates()[0], "CA");
  EXPECT_EQ(data.Worked().WorkedStates()[1], "NY");
}

TEST_F(TableStartupTest, MissingAndEmptyFilesFailInTheirOwnWords) {
  std::ofstream(dir.Path() / "tables/was.dat") << "";
  const Collected out = Run("");
  EXPECT_EQ(out.shown, (Lines{"Read CTY.DAT ...", "... failed [red]", "Read WAS.DAT ...",
                              "... failed [red]"}));
  EXPECT_EQ(out.report, (Lines{"Failed to load CTY.DAT", "Failed to load WAS.DAT"}));
  EXPECT_EQ(out.errors, (Lines{"Failed to read CTY.DAT file.", "Failed to read WAS.DAT file."}));
  EXPECT_FALSE(data.CountryFileLoaded());
  EXPECT_TRUE(data.Worked().WorkedEntities().empty());
}

TEST_F(TableStartupTest, FailedDownloadsKeepTheOldTablesLoading) {
  WriteTables(kCty, "CA W6XYZ\n");
  settings.updateCty = settings.updateWas = true;  // and no WAS.DAT source set
  const Collected out = Run(LoopbackHttpServer::DeadUrl("/cty/cty.dat"));
  EXPECT_EQ(out.shown, (Lines{"Download CTY.DAT ...", "... failed [red]", "Download WAS.DAT ...",
                              "... failed [red]", "Read CTY.DAT ...", "... OK", "Read WAS.DAT ...",
                              "... OK"}));
  EXPECT_EQ(out.report, (Lines{"Failed to download CTY.DAT", "Failed to download WAS.DAT",
                               "CTY.DAT loaded", "WAS.DAT loaded"}));
  EXPECT_EQ(out.errors,
            (Lines{"Failed to download CTY.DAT file.", "Failed to download WAS.DAT file."}));
  EXPECT_EQ(data.LookupEntity("G3XYZ"), "G");
  const std::string logText = ReadFile(dir.Path() / "debug.txt");
  EXPECT_NE(logText.find("curl error 7"), std::string::npos) << logText;
  EXPECT_NE(logText.find("no source address is set"), std::string::npos) << logText;
}

TEST_F(TableStartupTest, SuccessfulDownloadsAreRead) {
  WriteTables(kCty, "CA W6XYZ\n");
  LoopbackHttpServer server;
  server.Set("/cty/cty.dat",
             LoopbackHttpServer::Reply(
                 200, "Japan:   25:  45:  AS:   36.40:  -138.38:    -9.0:  JA:\n    JA,W6XYZ;\n"));
  server.Set("/tables/was.dat", LoopbackHttpServer::Reply(200, "TX K2ABC\n"));
  settings.updateCty = settings.updateWas = true;
  settings.wasSourceUrl = server.Url("/tables/was.dat");
  const Collected out = Run(server.Url("/cty/cty.dat"));
  EXPECT_EQ(out.report, (Lines{"CTY.DAT downloaded", "WAS.DAT downloaded", "CTY.DAT loaded",
                               "WAS.DAT loaded"}));
  EXPECT_EQ(out.shown[1], "... OK");
  EXPECT_EQ(data.LookupEntity("W6XYZ"), "JA");
  EXPECT_EQ(data.LookupState("K2ABC"), "TX");
  EXPECT_EQ(data.Worked().WorkedStates()[0], "TX");
}

}  // namespace
}  // namespace merivac
