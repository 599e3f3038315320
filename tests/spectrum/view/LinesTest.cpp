// LinesTest.cpp - spectrum lines from the capture chain's blocks: nothing
// kept while the window is closed, one line per FftLength samples by mode,
// the mode change with a full buffer, tones at their column, silence, time
// marks and the two debug-log lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/SpectrumRig.h"

namespace merivac {
namespace {

using testing::BrightestColumn;
using testing::SpectrumRig;
using testing::Tone12k;

TEST(SpectrumLinesTest, ClosedWindowKeepsNothingAndOpeningStartsAnEmptyBuffer) {
  SpectrumRig rig(false);
  rig.Feed(Tone12k(1000, 20000));
  EXPECT_EQ(rig.view.LinesDrawn(), 0);
  EXPECT_EQ(rig.view.BufferedSamples(), 0);
  EXPECT_EQ(rig.Log().find("Spectrum update started"), std::string::npos);

  rig.view.Opened();
  rig.Feed(Tone12k(1000, 16383));
  EXPECT_EQ(rig.view.LinesDrawn(), 0);
  rig.view.FormClose();
  rig.view.Opened();  // a new opening empties the buffer again
  rig.Feed(Tone12k(1000, 16383));
  EXPECT_EQ(rig.view.LinesDrawn(), 0);
  rig.Feed(Tone12k(1000, 1));
  EXPECT_EQ(rig.view.LinesDrawn(), 1);
  const std::string log = rig.Log();
  EXPECT_NE(log.find(" : Spectrum view window opened\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" : Spectrum view window closed\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" : Spectrum update started (16383)\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" : Spectrum update ended (0 lines added)\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" : Spectrum update started (1)\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" : Spectrum update ended (1 lines added)\r\n"), std::string::npos) << log;
}

TEST(SpectrumLinesTest, OneLinePerFftLengthByMode) {
  struct Case {
    uint32_t mode;
    int32_t length;
  };
  for (const Case c :
       {Case{1, 16384}, Case{2, 32768}, Case{5, 65536}, Case{10, 131072}, Case{4, 16384}}) {
    SpectrumRig rig;
    rig.settings.mode = c.mode;
    // 2400-sample blocks as the receive stage hands them over.
    const auto tone = Tone12k(800, 2 * c.length + 100);
    for (size_t i = 0; i < tone.size(); i += 2400) {
      const int n = static_cast<int>(std::min<size_t>(2400, tone.size() - i));
      rig.view.UpdateSpectrum(tone.data() + i, n);
      const long expected = static_cast<long>((i + n) / static_cast<size_t>(c.length));
      ASSERT_EQ(rig.view.LinesDrawn(), expected) << "JT9-" << c.mode << " after " << i + n;
    }
    EXPECT_EQ(rig.view.FftLength(), c.length);
    EXPECT_EQ(rig.view.BufferedSamples(), 100) << "JT9-" << c.mode;
  }
}

TEST(SpectrumLinesTest, ToneLightsItsColumnAndColumnZeroStaysBlack) {
  for (double f : {450.0, 1000.0, 1333.0}) {
    SpectrumRig rig;
    rig.Feed(Tone12k(f, 16384));
    ASSERT_EQ(rig.view.LinesDrawn(), 1);
    const Waterfall& w = rig.view.WaterfallRing();
    EXPECT_NEAR(BrightestColumn(w, 0), rig.X(f), 1) << f << " Hz";
    EXPECT_EQ(w.PixelAt(0, 0), colors::kBlack);
    EXPECT_EQ(testing::RampValue(w.PixelAt(rig.X(f), 0)), 768) << "well above the reference";
  }
}

// JT9-10 collects 131 072 samples per line; after a change to JT9-1 with
// more than 16 384 of them buffered, the next sample completes a line at
// once from the first 16 384 and the rest of the buffer is dropped.
TEST(SpectrumLinesTest, ModeChangeWithAFullBufferTakesTheFirstSamples) {
  SpectrumRig rig;
  rig.settings.mode = 10;
  rig.Feed(Tone12k(500, 16384));
  rig.Feed(Tone12k(1200, 20000));
  EXPECT_EQ(rig.view.LinesDrawn(), 0);
  EXPECT_EQ(rig.view.BufferedSamples(), 36384);
  rig.settings.mode = 1;
  rig.Feed(Tone12k(1200, 2400));
  EXPECT_EQ(rig.view.LinesDrawn(), 1);
  EXPECT_EQ(rig.view.FftLength(), 16384);
  EXPECT_EQ(rig.view.BufferedSamples(), 2399) << "the line took one sample, the rest follows";
  EXPECT_NEAR(BrightestColumn(rig.view.WaterfallRing(), 0), rig.X(500), 1);
}

TEST(SpectrumLinesTest, DigitalSilenceGivesAFlatTrace) {
  SpectrumRig rig;
  rig.Feed(std::vector<int16_t>(16384, 0));
  ASSERT_EQ(rig.view.LinesDrawn(), 1);
  // AGC: every level equals the mean, so the trace lies AVOF above the bottom.
  const Rgb reference = rig.view.RowColors()[kSpectrumHeight - rig.settings.traceOffset];
  for (int x : {1, 100, 633}) EXPECT_EQ(rig.view.ColumnColors()[x], reference) << x;
}

TEST(SpectrumLinesTest, TimeMarkOverTheLastLineAtTheUtcMinute) {
  SpectrumRig rig;
  rig.settings.utcOffsetHours = 1.0;  // PC clock 20:01:10 is 19:01 UTC
  rig.Feed(Tone12k(1000, 16384));
  rig.timeMarkDue = true;  // two cycle starts, no line between them
  rig.timeMarkDue = true;
  rig.Feed(Tone12k(1000, 16384));
  rig.Feed(Tone12k(1000, 16384));
  EXPECT_FALSE(rig.timeMarkDue);
  const Waterfall& shown = rig.view.WaterfallRing();
  // Panel rows: 0 the third line, 1 the second, 2 the first line, replaced by the mark.
  int limeRows = 0;
  for (int row = 0; row < 10; ++row) limeRows += shown.PixelAt(300, row) == spectrum::kLime;
  EXPECT_EQ(shown.PixelAt(300, 2), spectrum::kLime);
  EXPECT_EQ(shown.PixelAt(5, 2), spectrum::kLime);
  EXPECT_NE(shown.PixelAt(300, 1), spectrum::kLime);
  // The text is the UTC minute: the same pixels as a mark drawn with "19:01".
  Waterfall expected;
  std::vector<Rgb> black(kSpectrumWidth, colors::kBlack);
  expected.ScrollWaterfall(black);
  expected.DrawTimeMark("19:01", rig.view.Font());
  for (int row = 1; row < 10; ++row) {
    for (int x = 0; x < 40; ++x) {
      const bool lime = expected.PixelAt(x, row) == spectrum::kLime;
      ASSERT_EQ(shown.PixelAt(x, row + 2) == spectrum::kLime, lime) << x << "," << row;
    }
  }
}

TEST(SpectrumLinesTest, DebugLinesOnlyWhileTheLogIsOn) {
  SpectrumRig rig;
  rig.logOn = false;
  rig.Feed(Tone12k(1000, 2400));
  rig.logOn = true;
  rig.Feed(Tone12k(1000, 600));
  const std::string log = rig.Log();
  EXPECT_EQ(log.find("Spectrum update started (2400)"), std::string::npos);
  EXPECT_NE(log.find(" : Spectrum update started (600)\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace merivac
