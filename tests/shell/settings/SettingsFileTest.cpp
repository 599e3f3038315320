// SettingsFileTest.cpp - Merivac.set: the written bytes, the round trip of
// every key, fallbacks for missing and garbled lines, the checks after
// reading, and the safe replacement of the old file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "qso/MessageGen.h"
#include "shell/SettingsFile.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::ReadFile;
using testing::TempDir;

class SettingsFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = (dir.Path() / "Merivac.set").string();

  void Write(const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
  }
  // Loads text into default settings; the load must succeed.
  Settings Load(const std::string& text) {
    Write(text);
    Settings s;
    EXPECT_TRUE(LoadSettings(s, path));
    return s;
  }
};

// Every value differs from its initial one, and passes the checks made
// after reading.
Settings NonDefaults() {
  Settings s;
  s.call = "DL1ABC";
  s.grid = "JO62QM";
  s.pttMethod = 2;
  s.port = "/dev/ttyUSB0";
  s.outputDevice = 3;
  s.inputDevice = 4;
  s.pwr = 77;
  s.rxFreq = 1500;
  s.txFreq = 1510;
  s.watchdogMinutes = 12;
  s.txDelayMs = 250;
  s.mode = 5;
  s.windowTop = -20;
  s.windowLeft = 1930;
  s.utcOffsetHours = 5.75;
  s.shortQso = s.txFirst = s.holdTxFreq = s.saveWav = s.saveDecoded = s.saveDebug = true;
  s.enableTxAfterSelect = true;
  s.spectrumGain = 65;
  s.spectrumOffset = -7;
  s.ignoredFlag = s.showTxMessages = true;
  s.toneSpacing = 4;
  s.discardTxLimits = s.discardRxLimits = true;
  s.traceOffset = -3;
  s.spectrumAgc = false;
  s.pskEnabled = s.pskSwl = true;
  s.pskId = "SWL-7";
  s.dialFreq = 4294967295u;
  s.spectrumLow = 150;
  s.spectrumHigh = 5000;
  s.multiDecode = s.udpEnabled = true;
  s.udpAddress = "127.0.0.5";
  s.udpPort = 65000;
  s.alertLine = 1;
  s.alertMyCall = s.alertNewCall = s.alertNewEntity = s.alertNewState = true;
  s.alertAnyDistance = s.alertNewDistance = s.alertInclude = s.alertExclude = true;
  s.alertAnyKm = 2000;
  s.alertNewKm = 2147483647;
  s.alertIncludeCalls = "DL1ABC,G3XYZ";
  s.alertExcludeCalls = "K1AA";
  s.mixerLo = 23999;
  s.mixerEnabled = true;
  s.logbookPath = "/home/op/log book: 2026.adi";
  s.updateCty = s.updateWas = true;
  return s;
}

TEST_F(SettingsFileTest, DefaultsAreWrittenInOrderWithCrLf) {
  ASSERT_TRUE(SaveSettings(Settings{}, path));
  const std::string expected =
      "CALL: \r\nGRID: \r\nPTT_: 0\r\nPORT: \r\nDEVO: -1\r\nDEVI: -1\r\nPWR_: 0\r\n"
      "F_RX: 1225\r\nF_TX: 1225\r\nWDT_: 0\r\nTXDL: 0\r\nCYCL: 1\r\nTOP_: -1\r\nLEFT: -1\r\n"
      "TIME: 0\r\nSQSO: N\r\nTX_1: N\r\nHOLD: N\r\nSAVE: N\r\nS_DC: N\r\nS_DB: N\r\nENTX: N\r\n"
      "GAIN: 20\r\nOFFS: 10\r\nIGNO: N\r\nTXMS: N\r\nT_SP: 1\r\nTXLM: N\r\nRXLM: N\r\n"
      "AVOF: 15\r\nVAGC: Y\r\nP_EN: N\r\nP_SW: N\r\nP_ID: \r\nFSLO: 300\r\nFSHI: 1400\r\n"
      "MDEC: N\r\nU_EN: N\r\nU_IP: 127.0.0.1\r\nU_PO: 2239\r\nA_PN: 0\r\nA_MC: N\r\n"
      "A_NC: N\r\nA_DX: N\r\nA_ST: N\r\nA_AD: N\r\nA_ND: N\r\nA_IN: N\r\nA_EX: N\r\n"
      "LO_F: 0\r\nFEM_: N\r\nUCTY: N\r\nUWAS: N\r\n";
  EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(SettingsFileTest, EveryKeyRoundTrips) {
  const Settings original = NonDefaults();
  ASSERT_TRUE(SaveSettings(original, path));
  const std::string written = ReadFile(path);
  size_t lines = 0;
  for (size_t at = written.find("\r\n"); at != std::string::npos; at = written.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 59u);

  Settings loaded;
  ASSERT_TRUE(LoadSettings(loaded, path));
  // Every value differs from the initial one, so a key the reader skipped
  // shows up as a difference in the re-written text.
  EXPECT_EQ(SettingsFileText(loaded), written);
  EXPECT_TRUE(loaded.windowPlaced);
  EXPECT_EQ(loaded.windowLeft, 1930);
  EXPECT_EQ(loaded.spectrumOffset, -7);
  EXPECT_EQ(loaded.dialFreq, 4294967295u);
  EXPECT_EQ(loaded.logbookPath, "/home/op/log book: 2026.adi");
  EXPECT_FALSE(loaded.spectrumAgc);
}

TEST_F(SettingsFileTest, MissingKeysKeepTheValuesInForce) {
  Settings s;
  s.udpPort = 9999;  // an owner's value set before reading
  Write("CALL: G3XYZ\r\nF_TX: 800\r\n");
  ASSERT_TRUE(LoadSettings(s, path));
  Settings expected;
  expected.call = "G3XYZ";
  expected.txFreq = 800;
  expected.udpPort = 9999;
  EXPECT_EQ(SettingsFileText(s), SettingsFileText(expected));
  EXPECT_FALSE(s.windowPlaced);
}

TEST_F(SettingsFileTest, MissingFileFailsAndEmptyFileSucceedsBothChangingNothing) {
  Settings s = NonDefaults();
  const std::string before = SettingsFileText(s);
  EXPECT_FALSE(LoadSettings(s, path));
  EXPECT_EQ(SettingsFileText(s), before);
  Write("");
  EXPECT_TRUE(LoadSettings(s, path));
  EXPECT_EQ(SettingsFileText(s), before);
}

TEST_F(SettingsFileTest, ReadErrorFails) {
  // A folder where the file should be: it opens but cannot be read.
  std::filesystem::create_directory(path);
  Settings s;
  EXPECT_FALSE(LoadSettings(s, path));
  EXPECT_EQ(SettingsFileText(s), SettingsFileText(Settings{}));
}

struct IntCase {
  const char* line;
  std::function<int64_t(const Settings&)> field;
  int64_t expected;
};

TEST_F(SettingsFileTest, IntegersOutOfShapeTakeTheirFallbackOrTheirLowBits) {
  const IntCase cases[] = {
      {"F_RX: abc", [](const Settings& s) { return s.rxFreq; }, 1250},
      {"F_RX: 1500 ", [](const Settings& s) { return s.rxFreq; }, 1250},  // verbatim value
      {"F_RX: +1500", [](const Settings& s) { return s.rxFreq; }, 1250},
      {"F_RX: 70000", [](const Settings& s) { return s.rxFreq; }, 70000 - 65536},
      {"F_TX: -", [](const Settings& s) { return s.txFreq; }, 1250},
      {"DEVO: 1.5", [](const Settings& s) { return s.outputDevice; }, -1},
      {"DEVI: 2147483648", [](const Settings& s) { return s.inputDevice; }, -1},
      {"DEVI: -2147483648", [](const Settings& s) { return s.inputDevice; }, -2147483648LL},
      {"PTT_: x", [](const Settings& s) { return s.pttMethod; }, 0},
      {"GAIN: 300", [](const Settings& s) { return s.spectrumGain; }, 44},
      {"GAIN: 250", [](const Settings& s) { return s.spectrumGain; }, 100},
      {"GAIN: ?", [](const Settings& s) { return s.spectrumGain; }, 20},
      {"OFFS: -128", [](const Settings& s) { return s.spectrumOffset; }, -128},
      {"OFFS: 200", [](const Settings& s) { return s.spectrumOffset; }, 200 - 256},
      {"OFFS: x", [](const Settings& s) { return s.spectrumOffset; }, 10},
      {"AVOF: x", [](const Settings& s) { return s.traceOffset; }, 10},
      {"T_SP: x", [](const Settings& s) { return s.toneSpacing; }, 0},
      {"DIAL: -5", [](const Settings& s) { return s.dialFreq; }, 0},
      {"DIAL: 4294967296", [](const Settings& s) { return s.dialFreq; }, 0},
      {"DIAL: 99999999999999999999999", [](const Settings& s) { return s.dialFreq; }, 0},
      {"DIAL: 0000137500", [](const Settings& s) { return s.dialFreq; }, 137500},
      {"TOP_: 1e3", [](const Settings& s) { return s.windowTop; }, 0},
      {"U_PO: 22a", [](const Settings& s) { return s.udpPort; }, 0},
      {"A_AK: far", [](const Settings& s) { return s.alertAnyKm; }, -1},
      {"A_PN: x", [](const Settings& s) { return s.alertLine; }, 0},
      {"LO_F: x", [](const Settings& s) { return s.mixerLo; }, 0},
      {"WDT_: x", [](const Settings& s) { return s.watchdogMinutes; }, 0},
      {"TXDL: x", [](const Settings& s) { return s.txDelayMs; }, 0},
      {"PWR_: x", [](const Settings& s) { return s.pwr; }, 0},
      // Only the four cycle lengths are taken; anything else keeps the mode.
      {"CYCL: 10", [](const Settings& s) { return s.mode; }, 10},
      {"CYCL: x", [](const Settings& s) { return s.mode; }, 1},
      {"CYCL: 3", [](const Settings& s) { return s.mode; }, 1},
      {"CYCL: 0", [](const Settings& s) { return s.mode; }, 1},
  };
  for (const IntCase& c : cases) {
    const Settings s = Load(std::string(c.line) + "\r\n");
    EXPECT_EQ(c.field(s), c.expected) << c.line;
  }
}

TEST_F(SettingsFileTest, SpectrumEdgesAndMixerAreCheckedAfterReading) {
  struct Case {
    const char* text;
    int32_t low, high;
  } edges[] = {
      {"FSLO: 1500\r\nFSHI: 3000\r\n", 1500, 3000},
      {"FSLO: 1500\r\nFSHI: 1550\r\n", 200, 1400},
      {"FSHI: 6000\r\n", 200, 1400},
      {"FSLO: 0\r\n", 200, 1400},
      {"FSLO: 100\r\nFSHI: 200\r\n", 100, 200},
      {"FSLO: -2147483648\r\nFSHI: 2147483647\r\n", 200, 1400},
  };
  for (const Case& c : edges) {
    const Settings s = Load(c.text);
    EXPECT_EQ(s.spectrumLow, c.low) << c.text;
    EXPECT_EQ(s.spectrumHigh, c.high) << c.text;
  }
  struct Mixer {
    const char* text;
    bool enabled;
  } mixers[] = {
      {"LO_F: 24000\r\nFEM_: Y\r\n", false},
      {"LO_F: 23999\r\nFEM_: Y\r\n", true},
      {"LO_F: 200\r\nFEM_: Y\r\n", true},
      {"LO_F: 199\r\nFEM_: Y\r\n", false},
      {"FEM_: Y\r\n", false},  // LO_F stays 0
  };
  for (const Mixer& m : mixers) {
    const Settings s = Load(m.text);
    EXPECT_EQ(s.mixerEnabled, m.enabled) << m.text;
  }
  EXPECT_EQ(Load("LO_F: 24000\r\nFEM_: Y\r\n").mixerLo, 24000);
}

TEST_F(SettingsFileTest, ShortGarbledAndUnknownLinesAreIgnored) {
  std::string text =
      "CAL\r\n"
      "CALL:\r\n"
      "CALL: \r\n"
      "U_IP: \r\n"          // an emptied address comes back as the initial one
      "sqso: Y\r\n"         // keys are case-sensitive
      "GRID:JO01\r\n"       // no blank after the colon
      "XXXX: 5\r\n"
      "PORT; COM3\r\n"
      "SQSO: y\r\n"
      "HOLD: N\r\n"
      "SAVE: Yes\r\n"       // only the first seven characters count
      "VAGC: n\r\n"
      "\r\n\r\n";
  text += std::string("\x00\xff\x01garbage\x00\r\n", 13);
  text += std::string(100000, 'Z') + "\r\n";
  const Settings s = Load(text);
  EXPECT_EQ(s.call, "");
  EXPECT_EQ(s.grid, "");
  EXPECT_EQ(s.port, "");
  EXPECT_EQ(s.udpAddress, "127.0.0.1");
  EXPECT_FALSE(s.shortQso);
  EXPECT_FALSE(s.holdTxFreq);
  EXPECT_TRUE(s.saveWav);
  EXPECT_TRUE(s.spectrumAgc);
  Settings expected;
  expected.saveWav = true;
  EXPECT_EQ(SettingsFileText(s), SettingsFileText(expected));
}

TEST_F(SettingsFileTest, RepeatedKeysAndLineEnds) {
  // Bare LF and bare CR end lines too; the last text wins, a set flag
  // stays set and a cleared AGC stays cleared.
  const Settings s = Load(
      "CALL: AA1AA\nCALL: BB2BB\rSQSO: Y\r\nSQSO: N\nVAGC: N\r\nVAGC: Y\r\nF_RX: 900\nF_RX: 950");
  EXPECT_EQ(s.call, "BB2BB");
  EXPECT_TRUE(s.shortQso);
  EXPECT_FALSE(s.spectrumAgc);
  EXPECT_EQ(s.rxFreq, 950);  // the last line has no line end
}

TEST_F(SettingsFileTest, ConditionalKeysAreWrittenOnlyWithAValue) {
  Settings s;
  s.dialFreq = 0;
  s.alertAnyKm = 0;
  s.alertNewKm = -5;
  ASSERT_TRUE(SaveSettings(s, path));
  std::string text = ReadFile(path);
  for (const char* key : {"DIAL", "A_AK", "A_NK", "A_IC", "A_EC", "LOG_"}) {
    EXPECT_EQ(text.find(std::string("\n") + key), std::string::npos) << key;
  }
  Settings reread;
  ASSERT_TRUE(LoadSettings(reread, path));
  EXPECT_EQ(reread.alertAnyKm, -1);
  EXPECT_EQ(reread.alertNewKm, -1);

  s.dialFreq = 137500;
  s.alertAnyKm = 1;
  s.alertNewKm = 500;
  s.alertIncludeCalls = "X";
  s.alertExcludeCalls = "Y";
  s.logbookPath = "/tmp/a.adi";
  text = SettingsFileText(s);
  EXPECT_NE(text.find("\r\nP_ID: \r\nDIAL: 137500\r\nFSLO: 300\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nA_EX: N\r\nA_AK: 1\r\nA_NK: 500\r\nA_IC: X\r\nA_EC: Y\r\nLO_F: 0\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\r\nFEM_: N\r\nLOG_: /tmp/a.adi\r\nUCTY: N\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, TimeIsWrittenShortestWithAPointAndReadBack) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {{5.75, "5.75"}, {-9.5, "-9.5"}, {0.0, "0"}, {-0.0, "0"}, {0.333333333333333, "0.333333333333333"},
               {12, "12"}};
  for (const Case& c : cases) {
    Settings s;
    s.utcOffsetHours = c.value;
    const std::string text = SettingsFileText(s);
    EXPECT_NE(text.find(std::string("\r\nTIME: ") + c.text + "\r\n"), std::string::npos) << c.text;
    EXPECT_DOUBLE_EQ(Load(std::string("TIME: ") + c.text + "\r\n").utcOffsetHours, c.value);
  }
  // At most 15 significant digits.
  Settings third;
  third.utcOffsetHours = 1.0 / 3;
  EXPECT_NE(SettingsFileText(third).find("\r\nTIME: 0.333333333333333\r\n"), std::string::npos);
  EXPECT_EQ(Load("TIME: 5,75\r\n").utcOffsetHours, 0);
  EXPECT_EQ(Load("TIME: 1\r\nTIME: abc\r\n").utcOffsetHours, 0);
  EXPECT_EQ(Load("TIME: nan\r\n").utcOffsetHours, 0);
  EXPECT_EQ(Load("TIME: +3.5\r\n").utcOffsetHours, 3.5);
}

TEST_F(SettingsFileTest, GridAlsoGivesTheFourCharacterLocator) {
  EXPECT_EQ(OwnGrid4(Load("GRID: JO62QM\r\n")), "JO62");
  EXPECT_EQ(OwnGrid4(Load("GRID: JO62\r\n")), "JO62");
  EXPECT_EQ(OwnGrid4(Load("GRID: JO6\r\n")), "JO6");
}

TEST_F(SettingsFileTest, WindowIsPlacedOnlyWhenBothEdgesWereRead) {
  EXPECT_FALSE(Load("TOP_: 40\r\n").windowPlaced);
  const Settings s = Load("LEFT: x\r\nTOP_: 40\r\n");
  EXPECT_TRUE(s.windowPlaced);
  EXPECT_EQ(s.windowTop, 40);
  EXPECT_EQ(s.windowLeft, 0);
}

TEST_F(SettingsFileTest, FailedSaveLeavesTheOldFileIntact) {
  Write("CALL: OLD1\r\n");
  // The temporary file cannot be created: a folder is in its place.
  std::filesystem::create_directory(path + ".tmp");
  EXPECT_FALSE(SaveSettings(NonDefaults(), path));
  EXPECT_EQ(ReadFile(path), "CALL: OLD1\r\n");
  std::filesystem::remove(path + ".tmp");

  // A successful save replaces the file and leaves no temporary behind,
  // also over a stale temporary of an earlier crash.
  { std::ofstream stale(path + ".tmp", std::ios::binary); stale << "CALL: HALF"; }
  ASSERT_TRUE(SaveSettings(NonDefaults(), path));
  EXPECT_EQ(ReadFile(path), SettingsFileText(NonDefaults()));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  EXPECT_FALSE(SaveSettings(Settings{}, (dir.Path() / "missing/Merivac.set").string()));
}

// The WAS.DAT source comes after the keys older readers know, and only when
// it is set, so a file without it is byte for byte what they write.
TEST_F(SettingsFileTest, WasSourceAddressFollowsTheOtherKeys) {
  Settings s = NonDefaults();
  s.wasSourceUrl = "https://example.org/tables/was.dat?x=1: 2";
  ASSERT_TRUE(SaveSettings(s, path));
  const std::string written = ReadFile(path);
  const std::string tail = "UWAS: Y\r\nWURL: https://example.org/tables/was.dat?x=1: 2\r\n";
  EXPECT_EQ(written.compare(written.size() - tail.size(), tail.size(), tail), 0) << written;
  Settings loaded;
  ASSERT_TRUE(LoadSettings(loaded, path));
  EXPECT_EQ(loaded.wasSourceUrl, s.wasSourceUrl);
  EXPECT_EQ(SettingsFileText(NonDefaults()).find("WURL"), std::string::npos);
}

}  // namespace
}  // namespace merivac
