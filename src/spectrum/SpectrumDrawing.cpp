// SpectrumDrawing.cpp - colour ramp, colour bar, trace, grid, scale, range
// mark and marker strip.
#include "spectrum/SpectrumDrawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <string>

namespace merivac {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

int ClampInt(int64_t v, int lo, int hi) { return static_cast<int>(std::clamp<int64_t>(v, lo, hi)); }

// Fills columns [x1, x2) of rows [top, bottom) clipped to the image, as a
// line from x1 to x2 leaves out its end point.
void FillColumns(QImage& image, int x1, int x2, int top, int bottom, Rgb color) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, image.width());
  if (x2 <= x1) return;
  const QRgb c = ToQRgb(color);
  for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row + x1, row + x2, c);
  }
}

// The first multiple of step above low.
int32_t FirstMultipleAbove(int32_t low, int step) {
  const int32_t m = (low >= 0 ? low / step : (low - step + 1) / step) * step;
  return m + step;
}

}  // namespace

int FreqToX(double f, DisplayRange range, int width) {
  const int32_t span = range.high - range.low;
  if (span == 0) return 0;
  return static_cast<int>(RoundEven((f - range.low) * width / span));
}

int32_t FftLengthOf(uint32_t mode) {
  switch (mode) {
    case 2:
      return 32768;
    case 5:
      return 65536;
    case 10:
      return 131072;
    default:
      return 16384;
  }
}

Rgb LevelToColor(int v) {
  auto u8 = [](int x) { return static_cast<uint8_t>(x); };
  if (v < 0) return Rgb{0, 0, 0};
  if (v <= 255) return Rgb{0, 0, u8(v)};
  if (v <= 511) return Rgb{u8(v - 256), u8(v - 256), u8(511 - v)};
  if (v <= 767) return Rgb{255, u8(std::min(255, 768 - v)), 0};
  return Rgb{255, 0, 0};
}

int GridStep(int32_t span) {
  if (span <= 150) return 10;
  if (span <= 300) return 20;
  if (span <= 750) return 50;
  if (span <= 1500) return 100;
  if (span <= 3000) return 200;
  return 500;
}

void DrawColorBar(QImage& ref, int gain, int offs, std::vector<Rgb>& rowColors) {
  const int h = ref.height();
  rowColors.assign(static_cast<size_t>(h), Rgb{});
  for (int y = 0; y < h; ++y) {
    const Rgb c = LevelToColor(gain * (h - offs - y));
    rowColors[static_cast<size_t>(y)] = c;
    FillColumns(ref, 0, ref.width(), y, y + 1, c);
  }
}

void DrawSpectrumLine(QImage& spectrum, const TraceInput& in, std::span<const Rgb> rowColors,
                      std::span<Rgb> columnColors) {
  const int w = spectrum.width();
  const int h = spectrum.height();
  const double ref = in.agc ? in.mean : 30.0;
  const int32_t span = in.range.high - in.range.low;
  const auto last = static_cast<int64_t>(in.levels.size()) - 1;
  auto rowOf = [&](double f) {
    const int64_t k = std::clamp<int64_t>(RoundEven(in.fftLength * f / kSpectrumSampleRate), 0,
                                          std::max<int64_t>(last, 0));
    const double level = in.levels.empty() ? ref : in.levels[static_cast<size_t>(k)];
    return h - in.traceOffset - RoundEven(level - ref);
  };
  spectrum.fill(Qt::transparent);
  QPolygon trace;
  trace.reserve(w);
  // The start point is not clamped to the area; the painter clips it.
  trace.append(QPoint(0, ClampInt(rowOf(in.range.low), -100000, 100000)));
  const int rows = std::min(h, static_cast<int>(rowColors.size()));
  for (int x = 1; x < w; ++x) {
    const double f = in.range.low + static_cast<double>(x) * span / w;
    const int y = ClampInt(rowOf(f), 0, h - 1);
    trace.append(QPoint(x, y));
    if (x < static_cast<int>(columnColors.size()) && y < rows) {
      columnColors[static_cast<size_t>(x)] = rowColors[static_cast<size_t>(y)];
    }
  }
  QPainter p(&spectrum);
  p.setPen(QPen(ToQColor(colors::kBlue), 1));
  p.drawPolyline(trace);
}

void DrawSpectrumGrid(QImage& background, DisplayRange range) {
  const int w = background.width();
  const int h = background.height();
  background.fill(Qt::white);
  QPainter p(&background);
  p.setPen(QPen(Qt::black, 1));
  p.drawRect(0, 0, w - 1, h - 1);
  const int step = GridStep(range.high - range.low);
  for (int32_t f = FirstMultipleAbove(range.low, step); f < range.high; f += step) {
    const int x = FreqToX(f, range, w);
    p.drawLine(x, 0, x, h - 1);
  }
  for (int y = 10; y <= 50 && y < h; y += 10) p.drawLine(0, y, w - 1, y);
}

void DrawScale(QImage& scale, const QFont& font, DisplayRange range, int width) {
  const QFontMetrics fm(font);
  const int th = fm.height();
  scale = QImage(width, th + 9, QImage::Format_ARGB32_Premultiplied);
  scale.fill(Qt::transparent);
  QPainter p(&scale);
  p.setFont(font);
  p.setPen(QPen(Qt::black, 1));
  const int base = th + 8;
  p.drawLine(0, base, width - 1, base);
  p.drawLine(0, base, 0, th + 1);
  const int step = GridStep(range.high - range.low);
  for (int32_t f = FirstMultipleAbove(range.low, step); f < range.high; f += step) {
    const int x = FreqToX(f, range, width);
    const QString label = QString::number(f);
    p.drawText(x - fm.horizontalAdvance(label) / 2, fm.ascent(), label);
    p.drawLine(x, base, x, th + 1);
  }
  p.drawLine(width - 1, base, width - 1, th + 1);
}

void DrawRangeMark(QImage& range, int offs) {
  range.fill(Qt::transparent);
  QPainter p(&range);
  p.setPen(QPen(ToQColor(colors::kRed), 2));
  const int y = range.height() - offs - 1;
  p.drawLine(0, y, range.width(), y);
}

MarkerSpan MarkerSpanOf(uint32_t mode) {
  switch (mode) {
    case 1:
      return {16, 0};
    case 2:
      return {8, 1};
    case 5:
      return {4, 2};
    default:
      return {2, 2};
  }
}

void DrawMarkers(QImage& markers, const MarkerInput& in) {
  const int w = markers.width();
  const MarkerSpan s = MarkerSpanOf(in.mode);
  auto x = [&](double f) { return FreqToX(f, in.range, w); };
  markers.fill(ToQRgb(spectrum::kSilver));
  // Outside the limits: TX rows 0..2, RX rows 4..6; row 3 stays silver.
  if (in.txLow > in.range.low)
    FillColumns(markers, 0, x(in.txLow) - s.margin, 0, 3, spectrum::kGrey);
  if (in.rxLow > in.range.low)
    FillColumns(markers, 0, x(in.rxLow) - s.margin, 4, 7, spectrum::kGrey);
  if (in.txHigh < in.range.high) {
    FillColumns(markers, x(in.txHigh + s.width) + s.margin, w, 0, 3, spectrum::kGrey);
  }
  if (in.rxHigh < in.range.high) {
    FillColumns(markers, x(in.rxHigh + s.width) + s.margin, w, 4, 7, spectrum::kGrey);
  }
  // Each marker spans the signal's band, widened by the margin.
  if (in.tx) {
    FillColumns(markers, x(*in.tx) - s.margin, x(*in.tx + s.width) + s.margin, 0, 3, colors::kRed);
  }
  if (in.rx) {
    FillColumns(markers, x(*in.rx) - s.margin, x(*in.rx + s.width) + s.margin, 4, 7, colors::kBlue);
  }
}

}  // namespace merivac
