// SpectrumLayout.cpp - the window's geometry and the composed picture.
#include "spectrum/SpectrumLayout.h"

#include <QPainter>

#include "spectrum/SpectrumView.h"

namespace merivac {

QFont SpectrumWindowFont() {
  QFont f("Liberation Mono");
  f.setPixelSize(11);
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  return f;
}

SpectrumLayout LayOutSpectrum(int scaleHeight, int waterfallRows) {
  constexpr int left = 8;
  SpectrumLayout l;
  l.scale = QRect(left, 4, kSpectrumWidth, scaleHeight);
  l.marker = QRect(left, l.scale.bottom() + 1 + 2, kSpectrumWidth, kMarkerRows);
  l.panel = QRect(left, l.marker.bottom() + 1 + 2, kSpectrumWidth, waterfallRows);
  l.spectrum = QRect(left, l.panel.bottom() + 1 + 4, kSpectrumWidth, kSpectrumHeight);
  l.range = QRect(l.spectrum.right() + 1, l.spectrum.top(), kRangeImageWidth, kSpectrumHeight);
  l.ref = QRect(l.range.right() + 1, l.spectrum.top(), kRefImageWidth, kSpectrumHeight);
  l.clientWidth = l.ref.right() + 1 + 8;
  l.clientHeight = l.spectrum.bottom() + 1 + 8;
  l.controls = QRect(l.range.left(), l.scale.top(), l.clientWidth - l.range.left(),
                     l.spectrum.top() - l.scale.top());
  return l;
}

QImage ComposeSpectrumPicture(const SpectrumView& view) {
  const Waterfall& waterfall = view.WaterfallRing();
  const SpectrumLayout l = LayOutSpectrum(view.ScaleImage().height(), waterfall.Rows());
  QImage picture(l.clientWidth, l.clientHeight, QImage::Format_RGB32);
  picture.fill(ToQRgb(kSpectrumFormColor));
  QPainter p(&picture);
  p.drawImage(l.scale.topLeft(), view.ScaleImage());
  p.drawImage(l.marker.topLeft(), view.MarkerImage());
  waterfall.Paint(p, l.panel.topLeft());
  p.drawImage(l.spectrum.topLeft(), view.SpectrumBgImage());
  p.drawImage(l.spectrum.topLeft(), view.SpectrumImage());
  p.drawImage(l.range.topLeft(), view.RangeImage());
  p.drawImage(l.ref.topLeft(), view.RefImage());
  return picture;
}

}  // namespace merivac
