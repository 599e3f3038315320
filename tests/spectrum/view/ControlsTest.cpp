// ControlsTest.cpp - the rules of the spectrum window's controls: the
// labels and the track bar, the click on the spectrum, the arrow pairs and
// their limits, the cursor frequency and the waterfall clicks with the
// mode's ceiling, and the markers that follow every frequency change.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/SpectrumRig.h"

namespace merivac {
namespace {

using testing::SpectrumRig;

TEST(SpectrumControlsTest, LabelsChooseWhatTheTrackBarEdits) {
  SpectrumRig rig;
  Settings& s = rig.settings;
  s.spectrumGain = 35;
  s.traceOffset = -12;
  s.spectrumAgc = false;
  rig.view.FormActivate();
  EXPECT_TRUE(rig.view.Controls().gainLime);
  EXPECT_FALSE(rig.view.Controls().offsLime);
  EXPECT_FALSE(rig.view.Controls().agcLime);
  EXPECT_EQ(rig.view.Controls().trackBarPosition, 35);
  EXPECT_EQ(rig.view.RowColors()[kSpectrumHeight - s.spectrumOffset - 1], (Rgb{0, 0, 35}))
      << "the colour bar follows the gain";

  rig.view.GainTrackBarChange(40);
  EXPECT_EQ(s.spectrumGain, 40);
  EXPECT_EQ(rig.view.RowColors()[kSpectrumHeight - s.spectrumOffset - 1], (Rgb{0, 0, 40}));
  EXPECT_EQ(s.traceOffset, -12);

  rig.view.OffsLabelClick();
  EXPECT_TRUE(rig.view.Controls().offsLime);
  EXPECT_FALSE(rig.view.Controls().gainLime);
  EXPECT_EQ(rig.view.Controls().trackBarPosition, 18);  // AVOF + 30
  rig.view.GainTrackBarChange(100);
  EXPECT_EQ(s.traceOffset, 70);
  rig.view.GainTrackBarChange(0);
  EXPECT_EQ(s.traceOffset, -30);
  EXPECT_EQ(s.spectrumGain, 40);

  rig.view.GainLabelClick();
  EXPECT_TRUE(rig.view.Controls().gainLime);
  EXPECT_EQ(rig.view.Controls().trackBarPosition, 40);

  rig.view.AgcLabelClick();
  EXPECT_TRUE(s.spectrumAgc);
  EXPECT_TRUE(rig.view.Controls().agcLime);
  rig.view.AgcLabelClick();
  EXPECT_FALSE(s.spectrumAgc);
}

TEST(SpectrumControlsTest, LeftClickOnTheSpectrumSetsTheNoiseReference) {
  SpectrumRig rig;
  rig.view.SpectrumImageMouseDown(false, 20);
  EXPECT_EQ(rig.settings.spectrumOffset, 10) << "only the left button";
  rig.view.SpectrumImageMouseDown(true, 20);
  EXPECT_EQ(rig.settings.spectrumOffset, 40);
  EXPECT_EQ(FromQRgb(rig.view.RangeImage().pixel(2, 19)), colors::kRed);
  EXPECT_EQ(rig.view.RowColors()[20], colors::kBlack) << "the reference row H - OFFS";
  EXPECT_EQ(rig.view.RowColors()[19], (Rgb{0, 0, 20}));
}

TEST(SpectrumControlsTest, ArrowPairsKeepTheRangeInsideItsLimits) {
  struct Case {
    int32_t low, high;
    bool upperPair, up;
    int32_t newLow, newHigh;
  };
  const Case cases[] = {
      {300, 1400, true, true, 300, 1500},    {300, 1400, true, false, 300, 1300},
      {4900, 5000, true, true, 4900, 5000},  {4800, 4900, true, true, 4800, 5000},
      {0, 100, true, false, 0, 100},         {100, 200, true, false, 100, 200},
      {300, 1400, false, true, 400, 1400},   {300, 1400, false, false, 200, 1400},
      {4900, 5000, false, true, 4900, 5000}, {1300, 1400, false, true, 1300, 1400},
      {0, 1400, false, false, 0, 1400},      {100, 1400, false, false, 0, 1400},
  };
  for (const Case& c : cases) {
    SpectrumRig rig;
    rig.settings.spectrumLow = c.low;
    rig.settings.spectrumHigh = c.high;
    if (c.upperPair) {
      rig.view.FhighUpDownChangingEx(c.up);
    } else {
      rig.view.FlowUpDownChangingEx(c.up);
    }
    EXPECT_EQ(rig.settings.spectrumLow, c.newLow)
        << c.low << ".." << c.high << (c.upperPair ? " upper" : " lower")
        << (c.up ? " up" : " down");
    EXPECT_EQ(rig.settings.spectrumHigh, c.newHigh)
        << c.low << ".." << c.high << (c.upperPair ? " upper" : " lower")
        << (c.up ? " up" : " down");
  }
}

TEST(SpectrumControlsTest, ArrowsRedrawScaleGridAndMarkers) {
  SpectrumRig rig;
  const QImage scale = rig.view.ScaleImage(), grid = rig.view.SpectrumBgImage(),
               markers = rig.view.MarkerImage();
  rig.view.FlowUpDownChangingEx(true);
  EXPECT_NE(rig.view.ScaleImage(), scale);
  EXPECT_NE(rig.view.SpectrumBgImage(), grid);
  EXPECT_NE(rig.view.MarkerImage(), markers);
}

TEST(SpectrumControlsTest, CursorFrequencyFollowsThePointer) {
  SpectrumRig rig;
  struct Case {
    int x;
    uint16_t f;
  };
  for (const Case c : {Case{0, 300}, Case{346, 900}, Case{633, 1398}, Case{317, 850}}) {
    rig.view.WFImageMouseMove(c.x);
    EXPECT_EQ(rig.view.CursorFreq(), c.f) << "x = " << c.x;
  }
}

TEST(SpectrumControlsTest, ClickSetsRxBelowTheModesCeiling) {
  struct Case {
    uint32_t mode;
    uint16_t f;
    bool takes;
  };
  const Case cases[] = {
      {1, 1398, true}, {2, 900, true},   {5, 900, false}, {5, 843, true},   {5, 844, false},
      {10, 416, true}, {10, 417, false}, {2, 2250, true}, {2, 2251, false},
  };
  EXPECT_DOUBLE_EQ(SpectrumView::ClickCeiling(1), 5000);
  EXPECT_DOUBLE_EQ(SpectrumView::ClickCeiling(2), 2250);
  EXPECT_DOUBLE_EQ(SpectrumView::ClickCeiling(5), 843.75);
  EXPECT_NEAR(SpectrumView::ClickCeiling(10), 416.67, 0.01);
  for (const Case& c : cases) {
    SpectrumRig rig;
    Settings& s = rig.settings;
    s.mode = c.mode;
    s.discardRxLimits = true;  // RX limits from 100 Hz
    s.rxFreq = 150;
    rig.freqs.ApplyFreqLimits();
    ASSERT_EQ(s.rxFreq, 150);
    // The display starts at f, so the pointer at column 0 lies on f.
    s.spectrumLow = c.f;
    s.spectrumHigh = c.f + 100;
    rig.view.WFImageMouseMove(0);
    ASSERT_EQ(rig.view.CursorFreq(), c.f);
    rig.view.WFImageClick();
    // A click taken is committed and so clamped to the RX limits.
    const uint16_t taken = std::min(c.f, rig.freqs.RxHighLimit());
    EXPECT_EQ(s.rxFreq, c.takes ? taken : 150) << "JT9-" << c.mode << " at " << c.f << " Hz";
  }
}

TEST(SpectrumControlsTest, ClickCommitsRxThroughItsFieldAndRedrawsTheMarker) {
  SpectrumRig rig;
  Settings& s = rig.settings;
  rig.controls.SetColor(Ctl::TxEdit, colors::kMoneyGreen);
  rig.view.WFImageMouseMove(346);
  rig.view.WFImageClick();
  EXPECT_EQ(s.rxFreq, 900);
  EXPECT_EQ(rig.controls.Text(Ctl::RxEdit), "900");
  EXPECT_EQ(rig.controls.Get(Ctl::RxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(rig.controls.Get(Ctl::TxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(rig.X(900) + 1, 5)), colors::kBlue);
  EXPECT_EQ(s.txFreq, 1225) << "a single click leaves TX alone";
}

TEST(SpectrumControlsTest, DoubleClickSetsTxOnlyWhileTxEditIsEnabled) {
  SpectrumRig rig;
  Settings& s = rig.settings;
  rig.view.WFImageMouseMove(346);
  rig.controls.SetEnabled(Ctl::TxEdit, false);  // transmitting
  rig.view.WFImageDblClick();
  EXPECT_EQ(s.txFreq, 1225);
  rig.controls.SetEnabled(Ctl::TxEdit, true);
  rig.controls.SetColor(Ctl::RxEdit, colors::kMoneyGreen);
  rig.view.WFImageDblClick();
  EXPECT_EQ(s.txFreq, 900);
  EXPECT_EQ(rig.controls.Text(Ctl::TxEdit), "900");
  EXPECT_EQ(rig.controls.Get(Ctl::RxEdit).color, colors::kInfoBackground);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(rig.X(900) + 1, 1)), colors::kRed);
  // A click above the ceiling changes nothing, double or not.
  s.mode = 10;
  rig.view.WFImageDblClick();
  EXPECT_EQ(s.txFreq, 900);
}

TEST(SpectrumControlsTest, FrequencyRulesRedrawTheMarkers) {
  SpectrumRig rig;
  const int before = rig.X(1225);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(before + 1, 5)), colors::kBlue);
  for (int i = 0; i < 30; ++i) rig.freqs.RxUpDownClick(false);
  EXPECT_EQ(rig.settings.rxFreq, 1195);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(rig.X(1195) + 1, 5)), colors::kBlue);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(before + 1, 5)), spectrum::kSilver);
  // A mode with lower limits shades what lies above them.
  rig.settings.mode = 10;
  rig.freqs.CommitRxFreq();
  EXPECT_EQ(rig.settings.rxFreq, 415);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(rig.X(1000), 5)), spectrum::kGrey);
  EXPECT_EQ(FromQRgb(rig.view.MarkerImage().pixel(rig.X(1000), 1)), spectrum::kGrey);
}

}  // namespace
}  // namespace merivac
