// FrequenciesTest.cpp - limits by mode and option, field commits, pending
// edits driven by a manual clock, arrows, copy buttons and the report.
#include <gtest/gtest.h>

#include "qso/Frequencies.h"
#include "qso/rules/QsoFixture.h"

namespace merivac {
namespace {

using testing::Station;

constexpr Rgb kNormal = colors::kInfoBackground;
constexpr Rgb kRed = FromBgr(0x0000FF);
constexpr Rgb kPending = FromBgr(0xC0DCC0);

TEST(Frequencies, LimitTableOverModesAndOptions) {
  struct Case {
    uint32_t mode;
    bool txlm, rxlm;
    FrequencyLimits limits;  // txLow, txHigh, rxLow, rxHigh
  };
  const Case cases[] = {
      {1, false, false, {200, 1400, 200, 1400}}, {1, true, false, {100, 4985, 200, 1400}},
      {1, false, true, {200, 1400, 100, 4985}},  {1, true, true, {100, 4985, 100, 4985}},
      {2, false, false, {200, 1400, 200, 1400}}, {2, true, false, {100, 4985, 200, 1400}},
      {2, false, true, {200, 1400, 100, 2240}},  {2, true, true, {100, 4985, 100, 2240}},
      {5, false, false, {200, 840, 200, 840}},   {5, true, false, {100, 4985, 200, 840}},
      {5, false, true, {200, 840, 100, 840}},    {5, true, true, {100, 4985, 100, 840}},
      {10, false, false, {200, 415, 200, 415}},  {10, true, false, {100, 4985, 200, 415}},
      {10, false, true, {200, 415, 100, 415}},   {10, true, true, {100, 4985, 100, 415}},
  };
  for (const Case& c : cases) {
    const FrequencyLimits l = ComputeFreqLimits(c.mode, c.txlm, c.rxlm);
    SCOPED_TRACE("mode " + std::to_string(c.mode) + " TXLM " + std::to_string(c.txlm) + " RXLM " +
                 std::to_string(c.rxlm));
    EXPECT_EQ(l.txLow, c.limits.txLow);
    EXPECT_EQ(l.txHigh, c.limits.txHigh);
    EXPECT_EQ(l.rxLow, c.limits.rxLow);
    EXPECT_EQ(l.rxHigh, c.limits.rxHigh);
  }
}

TEST(Frequencies, LimitsBeforeTheFirstApplyAre400To1400) {
  Settings s;
  MainControls c;
  ManualClock clock;
  bool off = false;
  DebugLog log(clock, off);
  NullUiServices ui;
  SimpleCycleControl cycle;
  NullMarkerDrawer markers;
  NullEditFocus focus;
  NullStationLookup stations;
  Frequencies f(QsoContext{s, c, clock, log, ui, cycle, markers, focus, stations});
  EXPECT_EQ(f.RxLowLimit(), 400);
  EXPECT_EQ(f.RxHighLimit(), 1400);
}

TEST(Frequencies, ApplyInJt910ClampsAndRewritesBothFields) {
  Station st;
  st.settings.mode = 10;
  st.settings.txFreq = 150;
  st.controls.SetColor(Ctl::TxEdit, kPending);
  st.qso.freqs.ApplyFreqLimits();
  EXPECT_EQ(st.settings.rxFreq, 415);
  EXPECT_EQ(st.settings.txFreq, 200);
  EXPECT_EQ(st.Text(Ctl::RxEdit), "415");
  EXPECT_EQ(st.Text(Ctl::TxEdit), "200");
  EXPECT_EQ(st.controls.Get(Ctl::RxEdit).hint, "200 .. 415");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).hint, "200 .. 415");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kNormal);
  EXPECT_EQ(st.controls.Get(Ctl::RxEdit).color, kNormal);
  EXPECT_EQ(st.qso.freqs.RxHighLimit(), 415);
}

TEST(Frequencies, RedTxValueIsCommittedAndClampedFiveSecondsLater) {
  Station st;
  Frequencies& f = st.qso.freqs;
  f.CommitPendingEdits(st.clock.Now() + 1);  // settles the writes of the start-up apply
  f.TxEditEnter();
  f.TxEditChange("9");
  st.clock.AdvanceSeconds(0.4);
  f.TxEditChange("99");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kRed);
  EXPECT_EQ(f.TxEditTime(), st.clock.Now());
  const int draws = st.markers.draws;

  st.clock.AdvanceSeconds(4.9);
  f.CommitPendingEdits(st.clock.Now());
  EXPECT_EQ(st.settings.txFreq, 1225);
  EXPECT_NE(f.TxEditTime(), 0);

  st.clock.AdvanceSeconds(0.2);
  ASSERT_LT(f.TxEditTime(), st.clock.Now() - kPendingEditSeconds / kSecondsPerDay);
  f.CommitPendingTx();  // what the tick runs for a due TX edit
  EXPECT_EQ(st.settings.txFreq, 200);
  EXPECT_EQ(st.Text(Ctl::TxEdit), "200");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kNormal);
  EXPECT_EQ(f.TxEditTime(), 0);
  EXPECT_EQ(f.FocusedField(), Ctl::DefocusEdit);
  EXPECT_GE(st.focus.moves, 1);
  EXPECT_GT(st.markers.draws, draws);
}

TEST(Frequencies, GreenRxValueCommitsOnEnterOrAfterFiveSeconds) {
  {
    Station st;
    Frequencies& f = st.qso.freqs;
    f.RxEditEnter();
    f.RxEditChange("1300");
    EXPECT_EQ(st.controls.Get(Ctl::RxEdit).color, kPending);
    f.RxEditReturn();
    EXPECT_EQ(st.settings.rxFreq, 1300);
    EXPECT_EQ(st.controls.Get(Ctl::RxEdit).color, kNormal);
    EXPECT_EQ(f.RxEditTime(), 0);
    EXPECT_EQ(st.focus.moves, 1);
  }
  {
    Station st;
    Frequencies& f = st.qso.freqs;
    f.RxEditEnter();
    f.RxEditChange("1300");
    st.clock.AdvanceSeconds(5.5);
    f.CommitPendingEdits(st.clock.Now());
    EXPECT_EQ(st.settings.rxFreq, 1300);
    EXPECT_EQ(st.Text(Ctl::RxEdit), "1300");
    EXPECT_EQ(f.RxEditTime(), 0);
    EXPECT_EQ(f.FocusedField(), Ctl::DefocusEdit);
  }
}

TEST(Frequencies, LeavingTxResetsAGreenRxField) {
  Station st;
  Frequencies& f = st.qso.freqs;
  f.RxEditChange("1000");  // typed, not committed
  f.TxEditEnter();
  f.TxEditChange("900");
  f.TxEditExit();
  EXPECT_EQ(st.settings.txFreq, 900);
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kNormal);
  EXPECT_EQ(st.controls.Get(Ctl::RxEdit).color, kNormal);
  f.TxEditExit();  // a second focus-out of a field no longer focused does nothing
  EXPECT_EQ(st.settings.txFreq, 900);
}

TEST(Frequencies, WhileTransmittingTxWritesChangeNothingButTheText) {
  Station st;
  Frequencies& f = st.qso.freqs;
  f.CommitPendingEdits(st.clock.Now() + 1);
  st.cycle.transmitting = true;
  st.settings.txFreq = 1500;
  f.ApplyFreqLimits();
  EXPECT_EQ(st.Text(Ctl::TxEdit), "1400");
  EXPECT_EQ(f.TxEditTime(), 0);
  f.TxEditChange("99");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kNormal);
  EXPECT_EQ(f.TxEditTime(), 0);
}

TEST(Frequencies, ArrowsStepAndCommit) {
  Station st;
  Frequencies& f = st.qso.freqs;
  f.TxUpDownClick(true);
  EXPECT_EQ(st.settings.txFreq, 1226);
  EXPECT_EQ(st.Text(Ctl::TxEdit), "1226");
  f.RxUpDownClick(false);
  EXPECT_EQ(st.settings.rxFreq, 1224);
  st.controls.SetText(Ctl::TxEdit, "");  // unreadable: starts from 1500, clamped to 1400
  f.TxUpDownClick(false);
  EXPECT_EQ(st.settings.txFreq, 1400);
  st.controls.SetText(Ctl::RxEdit, "200");
  f.RxUpDownClick(false);
  EXPECT_EQ(st.settings.rxFreq, 200);
}

TEST(Frequencies, CopyButtonsRespectTheOtherLimits) {
  Station st;
  st.settings.discardRxLimits = true;
  st.settings.rxFreq = 1600;
  Frequencies& f = st.qso.freqs;
  f.ApplyFreqLimits();
  ASSERT_EQ(st.settings.rxFreq, 1600);
  f.TxRxButtonClick();  // 1600 is above TxHighLimit 1400
  EXPECT_EQ(st.settings.txFreq, 1225);
  EXPECT_EQ(st.Text(Ctl::TxEdit), "1225");
  st.settings.rxFreq = 1300;
  f.TxRxButtonClick();
  EXPECT_EQ(st.settings.txFreq, 1300);
  EXPECT_EQ(st.Text(Ctl::TxEdit), "1300");
  EXPECT_EQ(st.controls.Get(Ctl::TxEdit).color, kNormal);
  st.settings.txFreq = 1350;
  f.RxTxButtonClick();
  EXPECT_EQ(st.settings.rxFreq, 1350);
  st.settings.discardTxLimits = true;
  st.settings.discardRxLimits = false;
  f.ApplyFreqLimits();
  st.settings.txFreq = 3000;
  f.RxTxButtonClick();  // above RxHighLimit 1400
  EXPECT_EQ(st.settings.rxFreq, 1350);
}

TEST(Frequencies, DialField) {
  Station st;
  Frequencies& f = st.qso.freqs;
  st.settings.dialFreq = 137000;
  f.QrgEditEnter();
  f.QrgEditChange("");
  EXPECT_EQ(st.controls.Get(Ctl::QrgEdit).color, kRed);
  f.QrgEditExit();
  EXPECT_EQ(st.settings.dialFreq, 137000u);
  EXPECT_EQ(st.controls.Get(Ctl::QrgEdit).color, kRed);
  EXPECT_EQ(f.QrgEditTime(), 0);

  f.QrgEditEnter();
  f.QrgEditChange("475500");
  EXPECT_EQ(st.controls.Get(Ctl::QrgEdit).color, kPending);
  st.clock.AdvanceSeconds(6);
  f.CommitPendingEdits(st.clock.Now());
  EXPECT_EQ(st.settings.dialFreq, 475500u);
  EXPECT_EQ(st.controls.Get(Ctl::QrgEdit).color, kNormal);
  EXPECT_EQ(f.FocusedField(), Ctl::DefocusEdit);

  f.QrgEditEnter();
  f.QrgEditChange("0");
  f.QrgEditReturn();
  EXPECT_EQ(st.settings.dialFreq, 0u);
  EXPECT_EQ(st.controls.Get(Ctl::QrgEdit).color, kRed);
}

TEST(Frequencies, ReportArrowsAtTheEdges) {
  struct Case {
    const char* text;
    bool up;
    const char* result;
  };
  const Case cases[] = {{"", true, "-19"},   {"", false, "-21"}, {"-50", false, "-50"},
                        {"49", true, "49"},  {"48", true, "49"}, {"0", false, "-1"},
                        {"-1", true, "0"},   {" 7 ", true, "8"}, {"-99", true, "-50"},
                        {"80", false, "49"}, {"R", true, "-19"}};
  for (const Case& c : cases) {
    Station st;
    st.qso.freqs.dBEditChange(c.text);
    st.qso.freqs.dBUpDownClick(c.up);
    EXPECT_EQ(st.Text(Ctl::dBEdit), c.result) << '"' << c.text << '"' << c.up;
    EXPECT_EQ(st.controls.Get(Ctl::dBEdit).color, kNormal);
  }
  Station st;  // the report field starts empty and red
  EXPECT_EQ(st.Text(Ctl::dBEdit), "");
  EXPECT_EQ(st.controls.Get(Ctl::dBEdit).color, kRed);
  st.qso.freqs.dBEditChange("-3");
  EXPECT_EQ(st.controls.Get(Ctl::dBEdit).color, kNormal);
  st.qso.freqs.dBEditChange("R-3");
  EXPECT_EQ(st.controls.Get(Ctl::dBEdit).color, kRed);
}

}  // namespace
}  // namespace merivac
