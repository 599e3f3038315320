// DrawingTest.cpp - the spectrum window's pictures pixel by pixel, from
// small known inputs: colour ramp and colour bar, trace, grid, scale, range
// mark and marker strip.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <vector>

#include "spectrum/SpectrumDrawing.h"
#include "support/SpectrumProbe.h"

namespace merivac {
namespace {

using testing::SpectrumTestFont;

Rgb At(const QImage& image, int x, int y) { return FromQRgb(image.pixel(x, y)); }
int Alpha(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

TEST(LevelToColorTest, RampEdges) {
  struct Case {
    int v;
    Rgb color;
  };
  const Case cases[] = {
      {-1, {0, 0, 0}},       {0, {0, 0, 0}},         {1, {0, 0, 1}},       {255, {0, 0, 255}},
      {256, {0, 0, 255}},    {384, {128, 128, 127}}, {511, {255, 255, 0}}, {512, {255, 255, 0}},
      {513, {255, 255, 0}},  {640, {255, 128, 0}},   {767, {255, 1, 0}},   {768, {255, 0, 0}},
      {100000, {255, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(LevelToColor(c.v), c.color) << "v = " << c.v;
}

TEST(DrawColorBarTest, RowsFollowGainAboveTheNoiseReference) {
  struct Case {
    int gain, offs, y;
    Rgb color;
  };
  const Case cases[] = {
      {20, 10, 59, {0, 0, 0}},       // below the reference
      {20, 10, 50, {0, 0, 0}},       // the reference row H - OFFS
      {20, 10, 49, {0, 0, 20}},      // one dB above: GAIN ramp units
      {20, 10, 37, {4, 4, 251}},     // 260
      {20, 10, 25, {244, 244, 11}},  // 500
      {20, 10, 12, {255, 8, 0}},     // 760
      {20, 10, 0, {255, 0, 0}},      // beyond the ramp
      {0, 10, 0, {0, 0, 0}},         // no gain: all black
      {5, -5, 59, {0, 0, 30}},       // reference below the area: 5 x 6
      {100, 10, 44, {255, 168, 0}},  // 600
  };
  for (const Case& c : cases) {
    QImage ref(kRefImageWidth, kSpectrumHeight, QImage::Format_RGB32);
    std::vector<Rgb> rows;
    DrawColorBar(ref, c.gain, c.offs, rows);
    ASSERT_EQ(rows.size(), static_cast<size_t>(kSpectrumHeight));
    EXPECT_EQ(rows[c.y], c.color) << "gain " << c.gain << " offs " << c.offs << " row " << c.y;
    EXPECT_EQ(At(ref, 0, c.y), c.color);
    EXPECT_EQ(At(ref, kRefImageWidth - 1, c.y), c.color);
  }
}

// Levels of 30 dB everywhere, except the bins of two columns: one far above
// (the trace runs off the top) and one far below (off the bottom).
class TraceTest : public ::testing::Test {
 protected:
  static constexpr int32_t kLength = 16384;
  DisplayRange range{300, 1400};
  std::vector<double> levels = std::vector<double>(kLength, 30.0);
  std::vector<Rgb> rowColors;
  std::vector<Rgb> columns = std::vector<Rgb>(kSpectrumWidth, Rgb{1, 2, 3});
  QImage trace{kSpectrumWidth, kSpectrumHeight, QImage::Format_ARGB32_Premultiplied};

  void SetUp() override {
    QImage ref(kRefImageWidth, kSpectrumHeight, QImage::Format_RGB32);
    DrawColorBar(ref, 20, 10, rowColors);
  }
  int BinOf(int x) const {
    const double f = range.low + static_cast<double>(x) * (range.high - range.low) / kSpectrumWidth;
    return static_cast<int>(RoundEven(kLength * f / 12000));
  }
  void Draw(bool agc, int traceOffset = 15) {
    TraceInput in;
    in.levels = levels;
    in.mean = 20.0;
    in.fftLength = kLength;
    in.range = range;
    in.traceOffset = traceOffset;
    in.agc = agc;
    DrawSpectrumLine(trace, in, rowColors, columns);
  }
};

TEST_F(TraceTest, RowsClampedAtTopAndBottomAndColumnZeroUntouched) {
  levels[BinOf(100)] = 30.0 + 200;  // y = 45 - 200
  levels[BinOf(200)] = 30.0 - 200;  // y = 45 + 200
  Draw(false);
  const int h = kSpectrumHeight;
  EXPECT_EQ(columns[100], rowColors[0]);
  EXPECT_EQ(columns[200], rowColors[h - 1]);
  EXPECT_EQ(columns[50], rowColors[h - 15]);  // the reference: AVOF above the bottom
  EXPECT_EQ(columns[0], (Rgb{1, 2, 3})) << "column 0 is never written";
  EXPECT_EQ(At(trace, 100, 0), colors::kBlue);
  EXPECT_EQ(At(trace, 200, h - 1), colors::kBlue);
  EXPECT_EQ(At(trace, 50, h - 15), colors::kBlue);
  EXPECT_EQ(Alpha(trace, 50, 5), 0) << "off the trace the picture is transparent";
}

TEST_F(TraceTest, AgcPutsTheMeanAtTheTraceOffset) {
  // AGC on: the reference is the mean (20 dB), so 30 dB lies 10 rows higher.
  Draw(true, 15);
  EXPECT_EQ(columns[300], rowColors[kSpectrumHeight - 15 - 10]);
  EXPECT_EQ(At(trace, 300, kSpectrumHeight - 25), colors::kBlue);
  Draw(false, -30);  // a trace offset below the area: the trace lies on the last row
  EXPECT_EQ(columns[300], rowColors[kSpectrumHeight - 1]);
}

TEST(GridTest, StepBySpanAndLinesAtTheMultiples) {
  struct Case {
    int32_t low, high;
    int step;
    int lineF, gapF;  // a frequency with a grid line, one without
  };
  const Case cases[] = {
      {300, 450, 10, 310, 315},   {300, 451, 20, 320, 310},         {300, 600, 20, 320, 330},
      {300, 601, 50, 350, 340},   {300, 1050, 50, 350, 400 + 25},   {300, 1051, 100, 400, 350},
      {300, 1800, 100, 400, 350}, {300, 1801, 200, 400, 500},       {0, 3000, 200, 200, 300},
      {0, 3001, 500, 500, 400},   {0, 5000, 500, 4500, 4000 + 250},
  };
  for (const Case& c : cases) {
    const DisplayRange r{c.low, c.high};
    EXPECT_EQ(GridStep(c.high - c.low), c.step) << c.low << ".." << c.high;
    QImage grid(kSpectrumWidth, kSpectrumHeight, QImage::Format_RGB32);
    DrawSpectrumGrid(grid, r);
    EXPECT_EQ(At(grid, FreqToX(c.lineF, r), 5), colors::kBlack) << c.low << ".." << c.high;
    EXPECT_EQ(At(grid, FreqToX(c.gapF, r), 5), colors::kWhite) << c.low << ".." << c.high;
    for (int y : {10, 20, 30, 40, 50}) EXPECT_EQ(At(grid, 3, y), colors::kBlack);
    EXPECT_EQ(At(grid, 3, 15), colors::kWhite);
    EXPECT_EQ(At(grid, 0, 15), colors::kBlack) << "border";
    EXPECT_EQ(At(grid, kSpectrumWidth - 1, 15), colors::kBlack) << "border";
  }
}

TEST(ScaleTest, HeightTicksAndLabels) {
  const QFont font = SpectrumTestFont();
  const int th = QFontMetrics(font).height();
  QImage scale;
  const DisplayRange r{300, 1400};
  DrawScale(scale, font, r);
  ASSERT_EQ(scale.height(), th + 9);
  ASSERT_EQ(scale.width(), kSpectrumWidth);
  const int base = th + 8;
  for (int f = 400; f <= 1300; f += 100) {
    const int x = FreqToX(f, r);
    EXPECT_EQ(At(scale, x, th + 3), colors::kBlack) << f << " Hz tick";
    int ink = 0;  // label pixels above the tick
    for (int y = 0; y < th; ++y) {
      for (int dx = -12; dx <= 12; ++dx) ink += Alpha(scale, x + dx, y) > 0;
    }
    EXPECT_GT(ink, 10) << f << " Hz label";
  }
  EXPECT_EQ(At(scale, 0, th + 3), colors::kBlack);
  EXPECT_EQ(At(scale, kSpectrumWidth - 1, th + 3), colors::kBlack);
  EXPECT_EQ(At(scale, 200, base), colors::kBlack) << "baseline";
  EXPECT_EQ(Alpha(scale, FreqToX(350, r), th + 3), 0) << "no tick between steps";
}

TEST(RangeMarkTest, RedLineAtTheNoiseReference) {
  for (int offs : {10, 30, 1}) {
    QImage range(kRangeImageWidth, kSpectrumHeight, QImage::Format_ARGB32_Premultiplied);
    DrawRangeMark(range, offs);
    const int y = kSpectrumHeight - offs - 1;
    for (int x = 0; x < kRangeImageWidth; ++x) EXPECT_EQ(At(range, x, y), colors::kRed) << offs;
    EXPECT_EQ(Alpha(range, 3, y > 5 ? y - 5 : y + 5), 0) << offs;
  }
}

// Red (TX) and blue (RX) columns of a marker row, as [first, last].
std::pair<int, int> Span(const QImage& markers, int row, Rgb color) {
  int first = -1, last = -1;
  for (int x = 0; x < markers.width(); ++x) {
    if (At(markers, x, row) == color) {
      if (first < 0) first = x;
      last = x;
    }
  }
  return {first, last};
}

TEST(MarkersTest, SpanByModeFromTheFrequencyToItsSignalWidthAndMargin) {
  struct Case {
    uint32_t mode;
    int b, a;
  };
  const Case cases[] = {{1, 16, 0}, {2, 8, 1}, {5, 4, 2}, {10, 2, 2}, {7, 2, 2}};
  const DisplayRange r{300, 1400};
  for (const Case& c : cases) {
    MarkerInput in;
    in.mode = c.mode;
    in.range = r;
    in.tx = 400;
    in.rx = 410;
    QImage markers(kSpectrumWidth, kMarkerRows, QImage::Format_RGB32);
    DrawMarkers(markers, in);
    for (int row : {0, 1, 2}) {
      EXPECT_EQ(Span(markers, row, colors::kRed),
                std::make_pair(FreqToX(400, r) - c.a, FreqToX(400 + c.b, r) + c.a - 1))
          << "JT9-" << c.mode;
    }
    for (int row : {4, 5, 6}) {
      EXPECT_EQ(Span(markers, row, colors::kBlue),
                std::make_pair(FreqToX(410, r) - c.a, FreqToX(410 + c.b, r) + c.a - 1));
    }
    EXPECT_EQ(Span(markers, 3, spectrum::kSilver), std::make_pair(0, kSpectrumWidth - 1));
  }
}

TEST(MarkersTest, Jt9TenMarkerIsAboutFivePixelsAndOutOfLimitRangesAreGrey) {
  const DisplayRange r{300, 1400};
  MarkerInput in;
  in.mode = 10;
  in.range = r;
  in.txLow = 200;  // below the display: nothing shaded on the left
  in.txHigh = 415;
  in.rxLow = 350;
  in.rxHigh = 415;
  in.tx = 400;
  in.rx = 400;
  QImage markers(kSpectrumWidth, kMarkerRows, QImage::Format_RGB32);
  DrawMarkers(markers, in);
  const auto tx = Span(markers, 1, colors::kRed);
  EXPECT_EQ(tx.second - tx.first + 1, 5);
  EXPECT_EQ(tx.first, FreqToX(400, r) - 2);
  const int greyFrom = FreqToX(415 + 2, r) + 2;
  EXPECT_EQ(At(markers, greyFrom - 1, 0), spectrum::kSilver);
  EXPECT_EQ(At(markers, greyFrom, 0), spectrum::kGrey);
  EXPECT_EQ(At(markers, kSpectrumWidth - 1, 2), spectrum::kGrey);
  EXPECT_EQ(At(markers, 0, 0), spectrum::kSilver) << "TX low limit lies below the display";
  EXPECT_EQ(At(markers, 0, 5), spectrum::kGrey) << "RX low limit lies inside it";
  EXPECT_EQ(At(markers, FreqToX(350, r) - 3, 5), spectrum::kGrey);
  EXPECT_EQ(At(markers, FreqToX(350, r) - 2, 5), spectrum::kSilver);
  EXPECT_EQ(At(markers, kSpectrumWidth - 1, 3), spectrum::kSilver);
}

TEST(FftLengthTest, ByMode) {
  EXPECT_EQ(FftLengthOf(1), 16384);
  EXPECT_EQ(FftLengthOf(2), 32768);
  EXPECT_EQ(FftLengthOf(5), 65536);
  EXPECT_EQ(FftLengthOf(10), 131072);
  EXPECT_EQ(FftLengthOf(3), 16384) << "an unknown mode";
}

}  // namespace
}  // namespace merivac
