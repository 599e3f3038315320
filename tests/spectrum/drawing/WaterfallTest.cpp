// WaterfallTest.cpp - the waterfall ring: newest line at the top over more
// lines than the panel holds, one row written per line, and time marks (at
// most one per line, the text continued across the ring's seam).
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <vector>

#include "spectrum/Waterfall.h"
#include "support/SpectrumProbe.h"

namespace merivac {
namespace {

using testing::SpectrumTestFont;

// Line i in a colour of its own.
Rgb LineColor(int i) {
  return Rgb{static_cast<uint8_t>(i % 256), static_cast<uint8_t>(i / 256), 7};
}

void AddLine(Waterfall& w, Rgb color) {
  std::vector<Rgb> columns(static_cast<size_t>(w.Width()), color);
  w.ScrollWaterfall(columns);
}

TEST(WaterfallTest, NewestLineOnTopOverMoreLinesThanThePanelHolds) {
  Waterfall w;
  ASSERT_EQ(w.Rows(), 150);
  for (int i = 0; i < 400; ++i) {
    AddLine(w, LineColor(i));
    if (i == 0 || i == 149 || i == 150 || i == 151 || i == 399) {
      const QImage shown = w.Unrolled();
      for (int row = 0; row < 150; ++row) {
        const Rgb expected = row <= i ? LineColor(i - row) : colors::kBlack;
        ASSERT_EQ(w.PixelAt(17, row), expected) << "after line " << i << ", row " << row;
        ASSERT_EQ(FromQRgb(shown.pixel(600, row)), expected) << "after line " << i;
      }
    }
  }
}

TEST(WaterfallTest, ALineWritesOneRowOfTheRing) {
  Waterfall w;
  for (int i = 0; i < 170; ++i) AddLine(w, LineColor(i));
  const QImage before = w.Ring().copy();
  AddLine(w, Rgb{200, 100, 50});
  int changedRows = 0;
  for (int y = 0; y < w.Rows(); ++y) {
    bool changed = false;
    for (int x = 0; x < w.Width(); ++x)
      changed = changed || before.pixel(x, y) != w.Ring().pixel(x, y);
    changedRows += changed;
  }
  EXPECT_EQ(changedRows, 1);
}

// The newest line is overwritten by the lime mark; its text reads downward.
int LimeRows(const Waterfall& w) {
  int rows = 0;
  for (int row = 0; row < w.Rows(); ++row) {
    bool all = true;
    for (int x = 0; x < w.Width() && all; ++x) all = w.PixelAt(x, row) == spectrum::kLime;
    rows += all;
  }
  return rows;
}

TEST(WaterfallTest, TwoMarksWithoutALineBetweenGiveOne) {
  Waterfall once, twice;
  for (Waterfall* w : {&once, &twice}) AddLine(*w, colors::kBlue);
  once.DrawTimeMark("20:00", SpectrumTestFont());
  twice.DrawTimeMark("20:00", SpectrumTestFont());
  EXPECT_FALSE(twice.LineSinceMark());
  twice.DrawTimeMark("20:01", SpectrumTestFont());  // no line since: nothing
  EXPECT_EQ(LimeRows(twice), 1);
  EXPECT_EQ(twice.Unrolled(), once.Unrolled());
  AddLine(twice, colors::kBlue);
  EXPECT_TRUE(twice.LineSinceMark());
  twice.DrawTimeMark("20:01", SpectrumTestFont());
  EXPECT_EQ(LimeRows(twice), 2);
}

// Wherever the ring's seam lies, the panel shows the same mark: the text
// that runs past the ring's last row continues at its first.
TEST(WaterfallTest, TimeMarkTextCrossesTheSeam) {
  const QFont font = SpectrumTestFont();
  const int th = QFontMetrics(font).height();
  auto marked = [&](int lines) {
    Waterfall w;
    for (int i = 0; i < lines; ++i) AddLine(w, colors::kBlack);
    w.DrawTimeMark("23:50", font);
    return w;
  };
  const Waterfall reference = marked(150);  // newest line at ring row 0: no seam below
  ASSERT_EQ(reference.StartRow(), 0);
  const QImage expected = reference.Unrolled();
  int ink = 0;
  for (int row = 1; row <= th; ++row) {
    for (int x = 0; x < 60; ++x) ink += reference.PixelAt(x, row) == spectrum::kLime;
  }
  ASSERT_GT(ink, 20) << "the text is drawn below the mark";
  for (int lines : {1, 2, 5, th - 2, th, 149}) {
    const Waterfall w = marked(lines);
    const int start = w.StartRow();
    EXPECT_EQ(w.Unrolled(), expected) << "newest line at ring row " << start;
    if (start + 1 + th / 2 > w.Rows()) {  // most of the text lies past the seam
      int wrapped = 0;                    // ink in the ring's first rows, below its seam
      for (int y = 0; y < start + 1 + th - w.Rows(); ++y) {
        for (int x = 0; x < 60; ++x) wrapped += FromQRgb(w.Ring().pixel(x, y)) == spectrum::kLime;
      }
      EXPECT_GT(wrapped, 0) << "newest line at ring row " << start;
    }
  }
}

}  // namespace
}  // namespace merivac
