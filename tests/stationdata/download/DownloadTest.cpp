// DownloadTest.cpp - table downloads against an HTTP server on 127.0.0.1
// inside the test: a good file replaces the table; an error status, a
// transfer cut off half-way, an error page, a dead or silent server each
// leave the old table untouched and say why in the debug log.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "stationdata/Download.h"
#include "stationdata/TableStartup.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::LoopbackHttpServer;
using testing::ReadFile;

const std::string kOldCty = "Old Land:   14:  27:  EU:   46.00:    -2.00:    -1.0:  OL:\n    OL;\n";
const std::string kNewCty =
    "New Land:   14:  27:  EU:   46.00:    -2.00:    -1.0:  NL:\n    NL,=OL1ABC;\n";
const std::string kErrorPage =
    "<!DOCTYPE html>\n<html><head><title>Service unavailable</title></head>\n"
    "<body><h1>Sorry</h1><p>Try again later: the country files are being updated.</p></body>\n"
    "</html>\n";

class DownloadTest : public ::testing::Test {
 protected:
  DownloadTest() : log(clock, logOn) {
    log.Open((dir.Path() / "debug.txt").string());
    std::filesystem::create_directories(dir.Path() / "tables");
    std::ofstream(Cty()) << kOldCty;
  }
  std::string Cty() const { return (dir.Path() / "tables/cty.dat").string(); }
  bool Download(const std::string& url, CurlLimits limits = {}) {
    CurlDownloader curl(limits);
    return DownloadFile(curl, url, Cty(), CheckCountryFile, &log);
  }
  std::string Log() { return ReadFile(dir.Path() / "debug.txt"); }
  bool LeftoversIn(const std::filesystem::path& folder) {
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      if (e.path().filename() != "cty.dat" && e.path().filename() != "was.dat") return true;
    }
    return false;
  }

  testing::TempDir dir;
  ManualClock clock;
  bool logOn = true;
  DebugLog log;
  LoopbackHttpServer server;
};

struct FailCase {
  const char* name;
  LoopbackHttpServer::Route route;
  const char* logged;  // part of the debug-log line
};

TEST_F(DownloadTest, AGoodFileReplacesTheTable) {
  server.Set("/cty/cty.dat", LoopbackHttpServer::Reply(200, kNewCty));
  ASSERT_TRUE(Download(server.Url("/cty/cty.dat"))) << Log();
  EXPECT_EQ(ReadFile(Cty()), kNewCty);
  EXPECT_NE(Log().find("HTTP status 200"), std::string::npos) << Log();
  EXPECT_FALSE(LeftoversIn(dir.Path() / "tables"));
}

TEST_F(DownloadTest, RedirectsAreFollowed) {
  server.Set("/cty/cty.dat", LoopbackHttpServer::Redirect("/files/cty.dat"));
  server.Set("/files/cty.dat", LoopbackHttpServer::Reply(200, kNewCty));
  ASSERT_TRUE(Download(server.Url("/cty/cty.dat"))) << Log();
  EXPECT_EQ(ReadFile(Cty()), kNewCty);
  EXPECT_EQ(server.Requests(), 2);
}

TEST_F(DownloadTest, FailuresLeaveTheOldTableAndSayWhy) {
  const std::vector<FailCase> cases = {
      {"not found", LoopbackHttpServer::Reply(404, kNewCty), "HTTP status 404"},
      {"server error page", LoopbackHttpServer::Reply(500, kErrorPage, "text/html"),
       "HTTP status 500"},
      {"error page sent as a success", LoopbackHttpServer::Reply(200, kErrorPage, "text/html"),
       "no entity in the country-file layout"},
      {"connection closed half-way", LoopbackHttpServer::CutOff(kNewCty + kNewCty + kNewCty),
       "curl error"},
      {"empty body", LoopbackHttpServer::Reply(200, ""), "no entity"},
  };
  for (const FailCase& c : cases) {
    server.Set("/cty.dat", c.route);
    EXPECT_FALSE(Download(server.Url("/cty.dat"))) << c.name;
    EXPECT_EQ(ReadFile(Cty()), kOldCty) << c.name;
    EXPECT_NE(Log().find(c.logged), std::string::npos) << c.name << "\n" << Log();
    EXPECT_FALSE(LeftoversIn(dir.Path() / "tables")) << c.name;
  }
  EXPECT_NE(Log().find("is unchanged"), std::string::npos);
}

TEST_F(DownloadTest, NoServerAtAll) {
  EXPECT_FALSE(Download(LoopbackHttpServer::DeadUrl("/cty/cty.dat")));
  EXPECT_EQ(ReadFile(Cty()), kOldCty);
  EXPECT_NE(Log().find("curl error 7"), std::string::npos) << Log();
}

TEST_F(DownloadTest, ASilentServerIsGivenUpAfterTheTimeLimit) {
  server.Set("/cty.dat", LoopbackHttpServer::Silent());
  CurlLimits limits;
  limits.totalTimeoutMs = 700;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Download(server.Url("/cty.dat"), limits));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_NE(Log().find("curl error 28"), std::string::npos) << Log();
  EXPECT_EQ(ReadFile(Cty()), kOldCty);
}

TEST_F(DownloadTest, NoSourceSetAndAMissingTablesFolder) {
  CurlDownloader curl;
  const std::string was = (dir.Path() / "fresh/tables/was.dat").string();
  EXPECT_FALSE(DownloadFile(curl, "", was, CheckStateFile, &log));
  EXPECT_NE(Log().find("no source address is set"), std::string::npos) << Log();

  server.Set("/was.dat", LoopbackHttpServer::Reply(200, "NY K2ABC\nCA W6XYZ\n"));
  EXPECT_TRUE(DownloadFile(curl, server.Url("/was.dat"), was, CheckStateFile, &log)) << Log();
  EXPECT_EQ(ReadFile(was), "NY K2ABC\nCA W6XYZ\n");
  server.Set("/was.dat", LoopbackHttpServer::Reply(200, kErrorPage));
  EXPECT_FALSE(DownloadFile(curl, server.Url("/was.dat"), was, CheckStateFile, &log));
  EXPECT_EQ(ReadFile(was), "NY K2ABC\nCA W6XYZ\n");
}

TEST_F(DownloadTest, OnlyWebAddressesAreFetched) {
  CurlDownloader curl;
  const std::string secret = (dir.Path() / "secret.txt").string();
  std::ofstream(secret) << kNewCty;
  EXPECT_FALSE(DownloadFile(curl, "file://" + secret, Cty(), CheckCountryFile, &log));
  EXPECT_EQ(ReadFile(Cty()), kOldCty);
}

}  // namespace
}  // namespace merivac
