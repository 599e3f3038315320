// BindingTest.cpp - binding the spotting library and talking to it: loading
// from the program folder or the search path, all six entry points or none,
// the station and seen-callsign records byte for byte, the choice of the
// reported station, and the calls with their arguments and results.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/Settings.h"
#include "reporting/PskReporter.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

const std::string kLibDir = std::string(MERIVAC_BINARY_DIR) + "/lib";

std::string Nul(std::initializer_list<const char*> parts) {
  std::string s;
  for (const char* p : parts) {
    s += p;
    s += '\0';
  }
  return s + '\0';
}

// ---- records ---------------------------------------------------------------

TEST(ReporterRecordTest, StationRecordKeysInOrderWithTheirNuls) {
  EXPECT_EQ(StationRecord("DL1ABC", "JO62QM", "0.1.0.0."),
            Nul({"STATION_CALLSIGN", "DL1ABC", "MY_GRIDSQUARE", "JO62QM", "PROGRAMID", "Merivac",
                 "PROGRAMVERSION", "0.1.0.0."}));
}

TEST(ReporterRecordTest, SpotRecordAndModeNames) {
  const struct {
    const char* mark;
    const char* mode;
  } cases[] = {{"1", "JT9"}, {"2", "JT9-2"}, {"5", "JT9-5"}, {"X", "JT9-10"}, {"?", "JT9"}};
  for (const auto& c : cases) {
    EXPECT_EQ(SpotRecord("K1ABC", c.mark, "475700", "-15", "FN42"),
              Nul({"CALL", "K1ABC", "MODE", c.mode, "FREQ", "475700", "SNR", "-15", "GRIDSQUARE",
                   "FN42"}))
        << c.mark;
  }
  EXPECT_EQ(SpotRecord("K1ABC", "1", "475700", "3", "FN42", 1781000040),
            Nul({"CALL", "K1ABC", "MODE", "JT9", "FREQ", "475700", "SNR", "3", "GRIDSQUARE", "FN42",
                 "TIME", "1781000040"}));
}

TEST(ReporterRecordTest, Utf16TextKeepsTheNulsAndAddsItsOwn) {
  const std::u16string text = ReporterText(StationRecord("DL1ABC", "JO62", "0.1.0.0."));
  const std::string record = StationRecord("DL1ABC", "JO62", "0.1.0.0.");
  ASSERT_EQ(text.size(), record.size());
  for (size_t i = 0; i < record.size(); ++i) EXPECT_EQ(text[i], record[i]) << i;
  EXPECT_EQ(text.c_str()[text.size()], u'\0');  // the string's own NUL after the two
  EXPECT_EQ(ReporterText("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xBB"), u"\u00E9\u20AC\U0001F4FB");
}

// ---- a library whose entry points record their calls -------------------------

struct Calls {
  std::vector<std::string> names;
  bool initializeArgsNull = false;
  std::u16string remote, local;
  unsigned int flags = 0;
  int initializeResult = 0, seenResult = 0, tickleResult = 0;
};
Calls calls;

int FakeInitialize(const char16_t* host, const char16_t* port) {
  calls.names.push_back("initialize");
  calls.initializeArgsNull = host == nullptr && port == nullptr;
  return calls.initializeResult;
}
int FakeSeen(const char16_t* remote, const char16_t* local, unsigned int flags) {
  calls.names.push_back("seen");
  // Up to the closing NUL of each record.
  auto copy = [](const char16_t* t) {
    size_t n = 0;
    while (!(t[n] == 0 && t[n + 1] == 0)) ++n;
    return std::u16string(t, n + 2);
  };
  calls.remote = copy(remote);
  calls.local = copy(local);
  calls.flags = flags;
  return calls.seenResult;
}
int FakeTickle() {
  calls.names.push_back("tickle");
  return calls.tickleResult;
}
int FakeUninitialize() {
  calls.names.push_back("uninitialize");
  return 0;
}
int FakeText(char16_t*, unsigned int) { return 0; }

class FakeLibrary final : public ReporterLibrary {
 public:
  bool Load() override {
    ++loads;
    loaded = present;
    return present;
  }
  bool Loaded() const override { return loaded; }
  void* Symbol(const char* name) override {
    const std::map<std::string, void*> symbols = {
        {"ReporterInitialize", reinterpret_cast<void*>(&FakeInitialize)},
        {"ReporterSeenCallsign", reinterpret_cast<void*>(&FakeSeen)},
        {"ReporterTickle", reinterpret_cast<void*>(&FakeTickle)},
        {"ReporterUninitialize", reinterpret_cast<void*>(&FakeUninitialize)},
        {"ReporterGetInformation", reinterpret_cast<void*>(&FakeText)},
        {"ReporterGetStatistics", reinterpret_cast<void*>(&FakeText)}};
    if (name == missing) return nullptr;
    return symbols.at(name);
  }
  void Release() override {
    loaded = false;
    ++releases;
  }
  std::string Error() const override { return present ? "" : "not there"; }

  bool present = true;
  bool loaded = false;
  std::string missing;
  int loads = 0, releases = 0;
};

class PskReporterTest : public ::testing::Test {
 protected:
  void SetUp() override { calls = Calls{}; }
  FakeLibrary library;
  ManualClock clock{EncodeDateTime(2026, 3, 1, 12, 0, 0)};
  PskReporter psk{library, clock};
};

TEST_F(PskReporterTest, StartBindsAllSixAndInitialisesWithTwoNulls) {
  EXPECT_TRUE(psk.StartReporter());
  EXPECT_TRUE(psk.ReporterReady());
  EXPECT_TRUE(calls.initializeArgsNull);
  // Bound once: a second start does not load or resolve again.
  EXPECT_TRUE(psk.StartReporter());
  EXPECT_EQ(library.loads, 1);
  calls.initializeResult = 3;
  EXPECT_FALSE(psk.StartReporter());
  EXPECT_FALSE(psk.ReporterReady());
}

// A library that lacks an entry point is released, so that a later start
// does not take the loaded library as bound and call into a missing name.
TEST_F(PskReporterTest, AMissingEntryPointFailsEveryStart) {
  for (const char* name : {"ReporterInitialize", "ReporterGetStatistics"}) {
    FakeLibrary lib;
    lib.missing = name;
    PskReporter p(lib, clock);
    EXPECT_FALSE(p.StartReporter()) << name;
    EXPECT_FALSE(lib.Loaded()) << name;
    EXPECT_FALSE(p.StartReporter()) << name;
    EXPECT_EQ(lib.loads, 2) << name;
  }
  EXPECT_TRUE(calls.names.empty());
  library.present = false;
  EXPECT_FALSE(psk.StartReporter());
}

TEST_F(PskReporterTest, SpotSendsBothRecordsWithSourceOneThenTickles) {
  ASSERT_TRUE(psk.StartReporter());
  psk.SetReporterStation("DL1ABC", "JO62", "0.1.0.0.");
  clock.AdvanceSeconds(30);
  EXPECT_TRUE(psk.SpotDecode("K1ABC", "X", "475700", "-15", "FN42"));
  EXPECT_EQ(calls.names, (std::vector<std::string>{"initialize", "seen", "tickle"}));
  EXPECT_EQ(calls.remote, ReporterText(SpotRecord("K1ABC", "X", "475700", "-15", "FN42")));
  EXPECT_EQ(calls.local, ReporterText(StationRecord("DL1ABC", "JO62", "0.1.0.0.")));
  EXPECT_EQ(calls.flags, 1u);
  EXPECT_DOUBLE_EQ(psk.LastTickle(), clock.Now());

  // Refused by the library: dropped, no tickle.
  calls.names.clear();
  calls.seenResult = 2;
  EXPECT_FALSE(psk.SpotDecode("K1ABC", "X", "475700", "-15", "FN42"));
  EXPECT_EQ(calls.names, std::vector<std::string>{"seen"});
}

TEST_F(PskReporterTest, NothingIsSentWithAnEmptyValueOrStation) {
  ASSERT_TRUE(psk.StartReporter());
  EXPECT_FALSE(psk.SpotDecode("K1ABC", "1", "475700", "-15", "FN42")) << "no station record yet";
  psk.SetReporterStation("DL1ABC", "JO62", "0.1.0.0.");
  const char* full[5] = {"K1ABC", "1", "475700", "-15", "FN42"};
  for (int empty = 0; empty < 5; ++empty) {
    std::string v[5];
    for (int i = 0; i < 5; ++i) v[i] = i == empty ? "" : full[i];
    EXPECT_FALSE(psk.SpotDecode(v[0], v[1], v[2], v[3], v[4])) << "value " << empty << " empty";
  }
  EXPECT_EQ(calls.names, std::vector<std::string>{"initialize"});
}

TEST_F(PskReporterTest, TickleTimeMovesOnlyOnSuccess) {
  ASSERT_TRUE(psk.StartReporter());
  clock.AdvanceSeconds(11);
  EXPECT_TRUE(psk.TickleReporter());
  const double ok = psk.LastTickle();
  EXPECT_DOUBLE_EQ(ok, clock.Now());
  calls.tickleResult = 1;
  clock.AdvanceSeconds(11);
  EXPECT_FALSE(psk.TickleReporter());
  EXPECT_DOUBLE_EQ(psk.LastTickle(), ok);
}

TEST_F(PskReporterTest, ShutdownUninitialisesOnlyWhenReady) {
  ASSERT_TRUE(psk.StartReporter());
  psk.SetReporterStation("DL1ABC", "JO62", "0.1.0.0.");
  psk.ShutdownReporter();
  EXPECT_EQ(calls.names.back(), "uninitialize");
  EXPECT_FALSE(library.Loaded());
  EXPECT_TRUE(psk.LocalInformation().empty());

  calls = Calls{};
  calls.initializeResult = 1;
  PskReporter refused(library, clock);
  EXPECT_FALSE(refused.StartReporter());
  refused.ShutdownReporter();
  EXPECT_EQ(calls.names, std::vector<std::string>{"initialize"});
}

TEST_F(PskReporterTest, EmptyStationValueKeepsTheRecordAndClearsReady) {
  ASSERT_TRUE(psk.StartReporter());
  psk.SetReporterStation("DL1ABC", "JO62", "0.1.0.0.");
  psk.SetReporterStation("", "JO62", "0.1.0.0.");
  EXPECT_EQ(psk.LocalInformation(), StationRecord("DL1ABC", "JO62", "0.1.0.0."));
  EXPECT_FALSE(psk.ReporterReady());
}

TEST_F(PskReporterTest, ReportedStationFromTheSettings) {
  const struct {
    const char* what;
    const char* call;
    const char* grid;
    bool swl;
    const char* id;
    const char* reported;  // STATION_CALLSIGN, or nullptr for no record
  } cases[] = {
      {"call and grid", "DL1ABC", "JO62QM", false, "", "DL1ABC"},
      {"invalid call", "DL1", "JO62", false, "", nullptr},
      {"invalid grid", "DL1ABC", "JO6", false, "", nullptr},
      {"SWL with an ID", "DL1ABC", "JO62", true, "DL-SWL-7", "DL-SWL-7"},
      {"SWL with a 3-character ID", "", "JO62", true, "ABC", "ABC"},
      {"SWL with a 2-character ID", "DL1ABC", "JO62", true, "AB", nullptr},
      {"SWL without a valid grid", "DL1ABC", "", true, "DL-SWL-7", nullptr},
  };
  for (const auto& c : cases) {
    PskReporter p(library, clock);
    Settings s;
    s.call = c.call;
    s.grid = c.grid;
    s.pskSwl = c.swl;
    s.pskId = c.id;
    p.ChooseReportedStation(s, "0.1.0.0.");
    if (c.reported == nullptr) {
      EXPECT_TRUE(p.LocalInformation().empty()) << c.what;
    } else {
      EXPECT_EQ(p.LocalInformation(), StationRecord(c.reported, c.grid, "0.1.0.0.")) << c.what;
    }
  }
  // A rejected identity leaves an earlier record in place.
  Settings s;
  s.call = "DL1ABC";
  s.grid = "JO62";
  psk.ChooseReportedStation(s, "0.1.0.0.");
  s.call = "X";
  psk.ChooseReportedStation(s, "0.1.0.0.");
  EXPECT_EQ(psk.LocalInformation(), StationRecord("DL1ABC", "JO62", "0.1.0.0."));
}

// ---- the real shared library -------------------------------------------------

TEST(SharedReporterLibraryTest, FolderFirstThenTheSearchPath) {
  TempDir folder;
  ManualClock clock;
  TempDir logDir;
  bool debugOn = true;
  DebugLog log(clock, debugOn);
  ASSERT_TRUE(log.Open((logDir.Path() / "debug.txt").string()));

  // Not in the folder, not on the search path.
  SharedReporterLibrary missing(kReporterLibraryName, folder.Str());
  PskReporter notThere(missing, clock, &log);
  EXPECT_FALSE(notThere.StartReporter());
  const std::string logged = ReadFile(logDir.Path() / "debug.txt");
  EXPECT_NE(logged.find("PSK Reporter library not loaded: " + folder.Str() +
                        "/libpskreporter.so: cannot open shared object file"),
            std::string::npos)
      << logged;

  // Our library in the program folder binds and starts.
  std::filesystem::copy_file(kLibDir + "/libpskreporter.so", folder.Path() / kReporterLibraryName);
  SharedReporterLibrary ours(kReporterLibraryName, folder.Str());
  PskReporter psk(ours, clock, &log);
  EXPECT_TRUE(psk.StartReporter());
  EXPECT_EQ(ours.LoadedFrom(), folder.Str() + "/" + kReporterLibraryName);
  psk.ShutdownReporter();
  EXPECT_FALSE(ours.Loaded());

  // A library found on the search path (the C library here) that has none
  // of the entry points does not bind.
  SharedReporterLibrary other("libc.so.6", folder.Str());
  PskReporter wrong(other, clock, &log);
  EXPECT_FALSE(wrong.StartReporter());
  EXPECT_FALSE(other.Loaded());
  EXPECT_NE(ReadFile(logDir.Path() / "debug.txt")
                .find("PSK Reporter library lacks the entry point ReporterInitialize"),
            std::string::npos);
}

TEST(SharedReporterLibraryTest, LibraryWithFiveOfTheSixEntryPointsDoesNotBind) {
  TempDir folder;
  std::filesystem::copy_file(kLibDir + "/libpskreporter_partial.so",
                             folder.Path() / kReporterLibraryName);
  ManualClock clock;
  SharedReporterLibrary partial(kReporterLibraryName, folder.Str());
  PskReporter psk(partial, clock);
  EXPECT_FALSE(psk.StartReporter());
  EXPECT_FALSE(psk.ReporterReady());
  EXPECT_FALSE(psk.Bound());
  EXPECT_FALSE(psk.StartReporter());
}

}  // namespace
}  // namespace merivac
