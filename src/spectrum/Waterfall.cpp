// Waterfall.cpp - the waterfall ring: scrolling, time marks and painting.
#include "spectrum/Waterfall.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace merivac {

Waterfall::Waterfall(int rows, int width) : image_(width, std::max(rows, 1), QImage::Format_RGB32) {
  image_.fill(Qt::black);
}

void Waterfall::ScrollWaterfall(std::span<const Rgb> columnColors) {
  startRow_ = (startRow_ + Rows() - 1) % Rows();
  auto* row = reinterpret_cast<QRgb*>(image_.scanLine(startRow_));
  const int n = std::min(Width(), static_cast<int>(columnColors.size()));
  for (int x = 0; x < n; ++x) row[x] = ToQRgb(columnColors[static_cast<size_t>(x)]);
  std::fill(row + n, row + Width(), qRgb(0, 0, 0));
  lineSinceMark_ = true;
}

void Waterfall::DrawTimeMark(const std::string& text, const QFont& font) {
  if (!lineSinceMark_) return;
  lineSinceMark_ = false;
  const QRgb lime = ToQRgb(spectrum::kLime);
  auto* row = reinterpret_cast<QRgb*>(image_.scanLine(startRow_));
  std::fill(row, row + Width(), lime);
  // The text reads downward from the row below the mark; where it runs past
  // the ring's last row it continues at the ring's first.
  // Plain pixels, no smoothing against the lines below.
  QFont plain(font);
  plain.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics fm(plain);
  const int textTop = startRow_ + 1;
  QPainter p(&image_);
  p.setFont(plain);
  p.setPen(QColor(lime));
  const QString label = QString::fromStdString(text);
  p.drawText(0, textTop + fm.ascent(), label);
  if (textTop + fm.height() > Rows()) p.drawText(0, textTop - Rows() + fm.ascent(), label);
}

Rgb Waterfall::PixelAt(int x, int row) const {
  return FromQRgb(image_.pixel(x, (startRow_ + row) % Rows()));
}

void Waterfall::Paint(QPainter& painter, QPoint at) const {
  const int upper = Rows() - startRow_;
  painter.drawImage(at, image_, QRect(0, startRow_, Width(), upper));
  if (startRow_ > 0) {
    painter.drawImage(at + QPoint(0, upper), image_, QRect(0, 0, Width(), startRow_));
  }
}

QImage Waterfall::Unrolled() const {
  QImage out(Width(), Rows(), QImage::Format_RGB32);
  QPainter p(&out);
  Paint(p, QPoint(0, 0));
  return out;
}

}  // namespace merivac
