// SequencingTest.cpp - double-clicks on decode lines: DX call, reply,
// frequencies, report, cycle, mode, distance and hint; the DX call field
// and the Log button.
#include <gtest/gtest.h>

#include "qso/Sequencing.h"
#include "qso/rules/QsoFixture.h"

namespace merivac {
namespace {

using testing::DecodeLine;
using testing::Station;

TEST(Sequencing, SplitMessage) {
  struct Case {
    std::string line;
    const char* first;
    const char* second;
    const char* rest;
  };
  const Case cases[] = {
      {DecodeLine("1201", -12, 1100, '1', "CQ W9XYZ EN52"), "CQ", "W9XYZ", "EN52"},
      {DecodeLine("1201", -12, 1100, '1', "CQ DX W9XYZ EN52  "), "CQ", "DX", "W9XYZ EN52"},
      {DecodeLine("1201", -12, 1100, '1', "K1ABC W9XYZ"), "K1ABC", "", "W9XYZ"},
      {DecodeLine("1201", -12, 1100, '1', "TNX"), "", "", "TNX"},
      {"1201 -12  0.0 1100 1 ", "", "", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    const MessageWords w = SplitMessage(c.line);
    EXPECT_EQ(w.first, c.first) << c.line;
    EXPECT_EQ(w.second, c.second) << c.line;
    EXPECT_EQ(w.rest, c.rest) << c.line;
  }
}

TEST(Sequencing, GridOfMessageAndDistanceLabel) {
  EXPECT_EQ(GridOfMessage("CQ W9XYZ EN52 "), "EN52");
  EXPECT_EQ(GridOfMessage("K1ABC W9XYZ RR73"), "RR73");
  EXPECT_EQ(GridOfMessage("K1ABC W9XYZ -12"), "");
  EXPECT_EQ(GridOfMessage("73"), "");
  EXPECT_EQ(DistanceLabelText(5365),
            "\u2248"
            "5300km");
  EXPECT_EQ(DistanceLabelText(99),
            "\u2248"
            "0km");
  EXPECT_EQ(DistanceLabelText(-1), "");
}

struct SelectCase {
  const char* name;
  std::string line;
  const char* word;
  // station options
  bool shortFormat = false;
  bool hold = false;
  // expected
  const char* dx = "";
  const char* message = "";
  int rx = 1225;
  int tx = 1225;
  const char* report = "";
  bool txFirst = false;
  const char* distance = "";
  std::string hint;
  uint32_t mode = 1;
};

const std::string kNoReport = "Warning: no TX frequency or report available for ";

std::vector<SelectCase> Cases() {
  const std::string cq01 = DecodeLine("1201", -12, 1100, '1', "CQ W9XYZ EN52");
  const std::string other = DecodeLine("1200", -17, 1300, '1', "W9XYZ G4ABC IO91");
  auto toUs = [](const std::string& rest) {
    return DecodeLine("1202", -8, 1150, '1', "K1ABC W9XYZ " + rest);
  };
  std::vector<SelectCase> c;
  c.push_back({"CQ, click on the caller", cq01, "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC FN42",
               1100, 1100, "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"CQ, click on CQ", cq01, "CQ", false, false, "W9XYZ", "W9XYZ K1ABC FN42", 1100, 1100,
               "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"CQ, click on the grid", cq01, " EN52\r\n", false, false, "W9XYZ",
               "W9XYZ K1ABC FN42", 1100, 1100, "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"CQ, short format", cq01, "W9XYZ", true, false, "W9XYZ", "W9XYZ K1ABC -12", 1100,
               1100, "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"CQ, hold TX", cq01, "W9XYZ", false, true, "W9XYZ", "W9XYZ K1ABC FN42", 1100, 1225,
               "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"CQ in a first cycle", DecodeLine("1200", 3, 1100, '1', "CQ W9XYZ EN52"), "W9XYZ",
               false, false, "W9XYZ", "W9XYZ K1ABC FN42", 1100, 1100, "3", false,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"directed CQ, click on the caller",
               DecodeLine("1201", -12, 1100, '1', "CQ DX W9XYZ EN52"), "W9XYZ", false, false,
               "W9XYZ", "W9XYZ K1ABC FN42", 1100, 1100, "-12", true,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"reply with grid", toUs("EN52"), "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC -8",
               1150, 1150, "-8", false, "", ""});
  c.push_back({"reply with report", toUs("-15"), "K1ABC", false, false, "W9XYZ", "W9XYZ K1ABC R-8",
               1150, 1150, "-8", false, "", ""});
  c.push_back({"reply with R-report", toUs("R-15"), "R-15", false, false, "W9XYZ",
               "W9XYZ K1ABC RRR", 1150, 1150, "-8", false, "", ""});
  c.push_back({"reply RRR", toUs("RRR"), "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC 73", 1150,
               1150, "-8", false, "", ""});
  c.push_back({"reply 73", toUs("73"), "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC 73", 1150, 1150,
               "-8", false, "", ""});
  c.push_back({"reply RR73 reads as a grid", toUs("RR73"), "W9XYZ", false, false, "W9XYZ",
               "W9XYZ K1ABC -8", 1150, 1150, "-8", false, "", ""});
  c.push_back({"to someone else, click on the called call", other, "W9XYZ", false, false, "W9XYZ",
               "W9XYZ K1ABC FN42", 1225, 1225, "", true, "", kNoReport + "W9XYZ"});
  c.push_back({"to someone else, click on the sender", other, "G4ABC", false, false, "G4ABC",
               "G4ABC K1ABC FN42", 1300, 1300, "-17", false,
               "\u2248"
               "5100km",
               ""});
  c.push_back({"to someone else, short format", other, "G4ABC", true, true, "G4ABC",
               "G4ABC K1ABC -17", 1300, 1225, "-17", false,
               "\u2248"
               "5100km",
               ""});
  c.push_back({"to someone else, click on the grid", other, "IO91", false, false, "", "", 1225,
               1225, "-17", false, "", "Could not generate message"});
  c.push_back({"JT9-2 line while in JT9-1", DecodeLine("1202", -20, 1100, '2', "CQ W9XYZ EN52"),
               "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC FN42", 1100, 1100, "-20", true,
               "\u2248"
               "1400km",
               "Warning: mode changed from JT9-1 to JT9-2", 2});
  c.push_back({"JT9-10 line keeps the mode", DecodeLine("1210", -20, 400, 'X', "CQ W9XYZ EN52"),
               "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC FN42", 400, 400, "-20", false,
               "\u2248"
               "1400km",
               ""});
  c.push_back({"JT9-2 line to someone else", DecodeLine("1204", -20, 900, '2', "W9XYZ G4ABC IO91"),
               "W9XYZ", false, false, "W9XYZ", "W9XYZ K1ABC FN42", 1225, 1225, "", true, "",
               kNoReport + "W9XYZ\r\nWarning: mode changed from JT9-1 to JT9-2", 2});
  return c;
}

TEST(Sequencing, SelectFromDecodeTable) {
  for (const SelectCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    Station st;
    st.qso.messages.ShortQSOBoxChange(c.shortFormat);
    st.settings.holdTxFreq = c.hold;
    st.cycle.capturing = true;
    st.qso.sequencer.SelectFromDecode(c.word, c.line, {300, 140});
    EXPECT_EQ(st.Text(Ctl::DxCallEdit), c.dx);
    EXPECT_EQ(st.Generated(), c.message);
    EXPECT_EQ(st.settings.rxFreq, c.rx);
    EXPECT_EQ(st.settings.txFreq, c.tx);
    EXPECT_EQ(st.Text(Ctl::RxEdit), std::to_string(c.rx));
    EXPECT_EQ(st.Text(Ctl::TxEdit), std::to_string(c.tx));
    EXPECT_EQ(st.Text(Ctl::dBEdit), c.report);
    EXPECT_EQ(st.cycle.txFirst, c.txFirst);
    EXPECT_EQ(st.controls.Checked(Ctl::TxFirstBox), c.txFirst);
    EXPECT_EQ(st.Text(Ctl::DxLabel), c.distance);
    EXPECT_EQ(st.ui.hint, c.hint);
    EXPECT_EQ(st.ui.hintShown, !c.hint.empty());
    if (st.ui.hintShown) {
      EXPECT_EQ(st.ui.hintX, 300);
      EXPECT_EQ(st.ui.hintY, 140);
      EXPECT_EQ(st.ui.hintSize, "");
    }
    EXPECT_EQ(st.settings.mode, c.mode);
    EXPECT_EQ(st.cycle.capturing, c.mode == 1);  // a mode change ends the capture
    if (c.mode != 1) {
      EXPECT_EQ(st.Text(Ctl::ModePanel), "JT9-" + std::to_string(c.mode));
    }
    EXPECT_FALSE(st.cycle.txEnabled);  // ENTX off
    EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, colors::kInfoBackground);
    EXPECT_EQ(st.controls.Get(Ctl::RxEdit).color, colors::kInfoBackground);
  }
}

TEST(Sequencing, ModeChangeAppliesTheNewLimits) {
  Station st;
  st.qso.sequencer.SelectFromDecode("W9XYZ", DecodeLine("1210", -20, 400, '5', "CQ W9XYZ EN52"),
                                    {});
  EXPECT_EQ(st.settings.mode, 5u);
  EXPECT_EQ(st.qso.freqs.RxHighLimit(), 840);
  EXPECT_EQ(st.cycle.flagClears, 1);
  EXPECT_FALSE(st.cycle.txFirst);  // minute 10 of a 10-minute pair
}

TEST(Sequencing, EnableTxAfterSelect) {
  struct Case {
    const char* word;
    std::string line;
    uint16_t watchdog;
    bool enabled;
    int resets;
  };
  const Case cases[] = {
      {"W9XYZ", DecodeLine("1201", -12, 1100, '1', "CQ W9XYZ EN52"), 6, true, 1},
      {"W9XYZ", DecodeLine("1201", -12, 1100, '1', "CQ W9XYZ EN52"), 0, true, 0},
      {"W9XYZ", DecodeLine("1200", -17, 1300, '1', "W9XYZ G4ABC IO91"), 6, true, 1},
      {"IO91", DecodeLine("1200", -17, 1300, '1', "W9XYZ G4ABC IO91"), 6, false, 0},
  };
  for (const Case& c : cases) {
    Station st;
    st.settings.enableTxAfterSelect = true;
    st.settings.watchdogMinutes = c.watchdog;
    st.qso.sequencer.SelectFromDecode(c.word, c.line, {});
    EXPECT_EQ(st.cycle.txEnabled, c.enabled) << c.word << " " << c.line;
    EXPECT_EQ(st.cycle.automaticEnables, c.enabled ? 1 : 0);
    EXPECT_EQ(st.cycle.watchdogResets, c.resets);
    EXPECT_TRUE(st.controls.Enabled(Ctl::SettingsItem));
  }
  Station st;  // already enabled: only the watchdog restarts
  st.settings.enableTxAfterSelect = true;
  st.settings.watchdogMinutes = 3;
  st.cycle.txEnabled = true;
  st.qso.sequencer.SelectFromDecode("W9XYZ", DecodeLine("1201", -12, 1100, '1', "CQ W9XYZ EN52"),
                                    {});
  EXPECT_EQ(st.cycle.automaticEnables, 0);
  EXPECT_EQ(st.cycle.watchdogResets, 1);
}

TEST(Sequencing, ReportOfTheFirstSelectionIsKeptAsLastReport) {
  Station st;
  Sequencer& s = st.qso.sequencer;
  EXPECT_EQ(s.LastReport(), -99);
  s.SelectFromDecode("IO91", DecodeLine("1200", -17, 1300, '1', "W9XYZ G4ABC IO91"), {});
  EXPECT_EQ(s.LastReport(), -17);
  // A "Failed to decode" style line without a readable report empties the field
  // but never brings LastReport back to -99.
  EXPECT_EQ(s.TakeReport("1200 ???"), -99);
  EXPECT_EQ(st.Text(Ctl::dBEdit), "");
  EXPECT_EQ(s.LastReport(), -17);
}

TEST(Sequencing, CheckCycleAndModeWithUnreadableMinutes) {
  Station st;
  std::string warnings = "earlier";
  EXPECT_EQ(st.qso.sequencer.CheckCycleAndMode("12xx -12  0.0 1100 2  CQ W9XYZ EN52", warnings),
            255);
  EXPECT_EQ(st.settings.mode, 1u);
  EXPECT_EQ(st.qso.sequencer.CheckCycleAndMode(DecodeLine("1207", -1, 1000, '2', "X"), warnings),
            3);
  EXPECT_EQ(warnings, "earlier\r\nWarning: mode changed from JT9-1 to JT9-2");
}

TEST(Sequencing, DxCallFieldCleansAndShowsTheEntity) {
  Station st;
  st.stations.entities["W9XYZ"] = "K";
  Sequencer& s = st.qso.sequencer;
  st.controls.SetText(Ctl::DxLabel,
                      "\u2248"
                      "1400km");
  EXPECT_EQ(s.DxCallEditChange("w9 xyz", 6), 5);
  EXPECT_EQ(st.Text(Ctl::DxCallEdit), "W9XYZ");
  EXPECT_EQ(st.controls.Get(Ctl::DxCallEdit).color, colors::kInfoBackground);
  EXPECT_EQ(st.Text(Ctl::DxLabel), "");
  EXPECT_EQ(st.Text(Ctl::DxccLabel), "K");
  EXPECT_TRUE(st.controls.Enabled(Ctl::LogButton));
  EXPECT_EQ(st.controls.Get(Ctl::DxCallEdit).fontColor, colors::kRed);
  EXPECT_EQ(st.controls.Get(Ctl::DxccLabel).fontColor, colors::kRed);

  st.stations.workedCalls.push_back("W9XYZ");
  st.stations.workedEntities.push_back("K");
  s.DxCallEditChange("W9XYZ", 5);
  EXPECT_FALSE(st.controls.Enabled(Ctl::LogButton));
  EXPECT_EQ(st.controls.Get(Ctl::DxCallEdit).fontColor, colors::kBlack);
  EXPECT_EQ(st.controls.Get(Ctl::DxccLabel).fontColor, colors::kBlack);

  s.DxCallEditChange("W9XYZ/P", 7);
  EXPECT_EQ(st.controls.Get(Ctl::DxCallEdit).color, FromBgr(0x0000FF));
  EXPECT_FALSE(st.controls.Enabled(Ctl::LogButton));
  EXPECT_EQ(st.Text(Ctl::DxccLabel), "");
}

TEST(Sequencing, LogButtonAddsCallEntityAndState) {
  Station st;
  st.stations.entities = {{"W9XYZ", "K"}, {"W1AW", "K"}, {"G4ABC", "G"}};
  st.stations.states = {{"W9XYZ", "IL"}, {"W1AW", "CT"}};
  st.stations.slots[0] = "CT";
  Sequencer& s = st.qso.sequencer;

  s.DxCallEditChange("W1AW", 4);  // state already worked
  s.LogButtonClick();
  EXPECT_EQ(st.stations.workedCalls, std::vector<std::string>{"W1AW"});
  EXPECT_EQ(st.stations.workedEntities, std::vector<std::string>{"K"});
  EXPECT_EQ(st.stations.slots[0], "CT");
  EXPECT_EQ(st.stations.slots[1], "");
  EXPECT_EQ(st.Text(Ctl::DxCallEdit), "");
  EXPECT_EQ(st.Text(Ctl::DxccLabel), "");
  EXPECT_FALSE(st.controls.Enabled(Ctl::LogButton));

  s.DxCallEditChange("W9XYZ", 5);
  s.LogButtonClick();
  EXPECT_EQ(st.stations.workedEntities.size(), 1u);  // K is no longer new
  EXPECT_EQ(st.stations.slots[1], "IL");

  s.DxCallEditChange("G4ABC", 5);
  s.LogButtonClick();
  EXPECT_EQ(st.stations.workedEntities.back(), "G");
  EXPECT_EQ(st.stations.slots[2], "");  // no state outside K

  st.stations.slots.fill("XX");  // all 50 slots taken: nothing is added
  st.stations.states["W1AB"] = "ME";
  st.stations.entities["W1AB"] = "K";
  s.DxCallEditChange("W1AB", 4);
  s.LogButtonClick();
  for (const std::string& slot : st.stations.slots) EXPECT_EQ(slot, "XX");
}

}  // namespace
}  // namespace merivac
