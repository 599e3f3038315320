// StationDataCliTest.cpp - merivac-cli lookup, logbook and was-from-uls: the
// real country file, a real logbook, and a licence-database fixture written
// from the archive's documented layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CliCommands.h"
#include "stationdata/StateTable.h"
#include "stationdata/TableStartup.h"
#include "support/TempDir.h"

namespace merivac::cli {
namespace {

using merivac::testing::ReadFile;
using merivac::testing::TempDir;

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";
const std::string kSamples = std::string(MERIVAC_TESTDATA_DIR) + "/peers/adif/";

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(LookupCommand, EntityAndStateOfEachCall) {
  if (!std::filesystem::exists(kRealCty)) GTEST_SKIP() << kRealCty << " is not installed";
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "tables");
  std::filesystem::copy_file(kRealCty, dir.Path() / "tables/cty.dat");
  std::ofstream(dir.Path() / "tables/was.dat") << "CA W6XYZ\nHI KH6ABC\n";
  CliRun r = Cli({"lookup", "--folder", dir.Str(), "9M0A", "W6XYZ", "KH6ABC", "k1abc", "R9FM/1"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "9M0A 1S -\nW6XYZ K CA\nKH6ABC KH6 -\nk1abc - -\nR9FM/1 UA -\n");
  EXPECT_EQ(r.err, "");

  std::filesystem::remove(dir.Path() / "tables/was.dat");
  r = Cli({"lookup", "--folder", dir.Str(), "W6XYZ"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "W6XYZ K -\n");
  EXPECT_NE(r.err.find("was.dat is missing or empty"), std::string::npos) << r.err;

  r = Cli({"lookup", "--folder", (dir.Path() / "nowhere").string(), "W6XYZ"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
  EXPECT_EQ(Cli({"lookup", "--folder", dir.Str()}).code, 2);
}

TEST(LogbookCommand, CountAndCallsWithTheProgramsRules) {
  CliRun r =
      Cli({"logbook", kSamples + "wsjtx_log.adi", "--band", "40M", "--mode", "Any", "--calls"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1\nWY6R\n");
  r = Cli({"logbook", kSamples + "lotwreport.adi", "--band", "20M", "--mode", "Digi"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "21\n");

  struct Bad {
    std::vector<std::string> args;
    const char* says;
  };
  const std::vector<Bad> bad = {
      {{"logbook", "/no/such/log.adi", "--band", "20M", "--mode", "Any"}, "no such file"},
      {{"logbook", kSamples + "goodfile.txt", "--band", "20M", "--mode", "Any"}, "not an ADIF"},
      {{"logbook", kSamples + "wsjtx_log.adi", "--band", "20m", "--mode", "Any"}, "--band"},
      {{"logbook", kSamples + "wsjtx_log.adi", "--band", "20M", "--mode", "FT8"}, "--mode"},
      {{"logbook", kSamples + "wsjtx_log.adi", "--mode", "Any"}, "--band"},
      {{"logbook", "--band", "0M", "--mode", "Any"}, "one file"},
  };
  for (const Bad& b : bad) {
    r = Cli(b.args);
    EXPECT_EQ(r.code, 2) << b.says;
    EXPECT_NE(r.err.find(b.says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// An EN record: field 1 "EN", 2 the licence's system identifier, 5 the call,
// 6 the entity type, 18 the state; 27 fields in all.
std::string En(const std::string& usi, const std::string& call, const std::string& type,
               const std::string& state) {
  return "EN|" + usi + "|0000000001||" + call + "|" + type +
         "|L00000001|DOE, JOHN|JOHN|Q|DOE|||||123 MAIN ST|ANYTOWN|" + state +
         "|12345||||0000000001|I||||\r\n";
}
// An HD record: field 5 the call, field 6 the licence status.
std::string Hd(const std::string& usi, const std::string& call, const std::string& status) {
  return "HD|" + usi + "|0000000001||" + call + "|" + status +
         "|HA|01/02/2020|01/02/2030||||||||||||||||||||||\r\n";
}

TEST(WasFromUlsCommand, OneLinePerLicenseeInTheStateFileLayout) {
  TempDir dir;
  const std::string en = (dir.Path() / "EN.dat").string();
  const std::string hd = (dir.Path() / "HD.dat").string();
  const std::string out = (dir.Path() / "tables/was.dat").string();
  std::filesystem::create_directories(dir.Path() / "tables");
  std::ofstream(en) << En("1001", "W6XYZ", "L", "CA") << En("1002", "K2ABC", "L", "NY")
                    << En("1003", "K2ABC", "CL", "NJ")  // a contact, not the licensee
                    << En("1004", "N5OLD", "L", "TX")   // expired
                    << En("1005", "KL7AA", "L", "AK") << En("1006", "W1NOST", "L", "")
                    << "EN|1007|short\r\n"
                    << En("1008", "W6XYZ", "L", "OR")  // a second record of the call
                    << En("1009", "AH6ZZ", "L", "hi");
  std::ofstream(hd) << Hd("1001", "W6XYZ", "A") << Hd("1002", "K2ABC", "A")
                    << Hd("1004", "N5OLD", "E") << Hd("1005", "KL7AA", "A")
                    << Hd("1008", "W6XYZ", "A");
  std::ofstream(out) << "OLD W1AW\n";

  CliRun r = Cli({"was-from-uls", "--active", hd, en, out});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "3 calls written to " + out + "\n");
  EXPECT_EQ(ReadFile(out), "CA W6XYZ\r\nNY K2ABC\r\nAK KL7AA\r\n");
  EXPECT_FALSE(std::filesystem::exists(out + ".tmp"));
  // The program reads it as a state file, and a download would accept it.
  StateTable states;
  EXPECT_EQ(states.Load(out), 3u);
  EXPECT_EQ(states.LookupState("KL7AA"), "AK");
  std::string why;
  EXPECT_TRUE(CheckStateFile(out, why)) << why;

  // Without --active every licensee record counts.
  r = Cli({"was-from-uls", en, out});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(ReadFile(out), "CA W6XYZ\r\nNY K2ABC\r\nTX N5OLD\r\nAK KL7AA\r\n");

  r = Cli({"was-from-uls", (dir.Path() / "missing.dat").string(), out});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("cannot read"), std::string::npos);
  EXPECT_EQ(ReadFile(out), "CA W6XYZ\r\nNY K2ABC\r\nTX N5OLD\r\nAK KL7AA\r\n");
  r = Cli({"was-from-uls", "--active", (dir.Path() / "missing.dat").string(), en, out});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(Cli({"was-from-uls", en}).code, 2);
  r = Cli({"was-from-uls", en, (dir.Path() / "no/such/folder/was.dat").string()});
  EXPECT_EQ(r.code, 1);
}

}  // namespace
}  // namespace merivac::cli
