// Waterfall.h - the scrolling waterfall: one image used as a ring.
//
// The panel shows the newest line at its top and older lines below, one
// pixel row per line. Instead of moving pixels, a new line moves the ring's
// start row up by one and overwrites that row, so a line costs one row of
// pixel writes; the panel is painted in two pieces, from the start row to
// the image's end and then from the image's first row. Time marks are a
// lime line over the newest line with the UTC time written downward over
// the older lines, continued across the ring's seam.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <span>
#include <string>

#include "common/Rgb.h"
#include "spectrum/SpectrumDrawing.h"

class QPainter;

namespace merivac {

class Waterfall {
 public:
  explicit Waterfall(int rows = kWaterfallRows, int width = kSpectrumWidth);

  int Rows() const { return image_.height(); }
  int Width() const { return image_.width(); }

  // Moves the ring by one line and paints columnColors as the newest line
  // at the panel's top.
  void ScrollWaterfall(std::span<const Rgb> columnColors);

  // A time mark over the newest line, drawn only when a line came since the
  // last mark.
  void DrawTimeMark(const std::string& text, const QFont& font);
  bool LineSinceMark() const { return lineSinceMark_; }

  // The colour at panel row `row` (0 = top, the newest line) and column x.
  Rgb PixelAt(int x, int row) const;
  // Paints the panel with its top-left corner at `at`.
  void Paint(QPainter& painter, QPoint at) const;
  // The panel as shown, newest line at the top.
  QImage Unrolled() const;

  // The ring itself and the image row that the panel shows at its top.
  const QImage& Ring() const { return image_; }
  int StartRow() const { return startRow_; }

 private:
  QImage image_;
  int startRow_ = 0;
  bool lineSinceMark_ = true;
};

}  // namespace merivac
