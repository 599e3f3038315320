// SpectrumLayout.h - where the spectrum window's pictures lie in its client
// area, and the whole picture as the window shows it.
//
// From the top: the frequency scale (top 4, left 8), 2 pixels below it the
// marker strip, 2 pixels below that the waterfall panel, 4 pixels below the
// panel the spectrum area; the client area ends 8 pixels below the
// spectrum. Right of the spectrum area lie the noise reference mark and the
// colour bar; the column above them holds the window's controls. The same
// layout places the window's widgets and composes merivac-cli's pictures,
// which differ only in the number of waterfall rows.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include "spectrum/SpectrumDrawing.h"

namespace merivac {

class SpectrumView;

// The window's background, which shows through the transparent parts of the
// scale, the range mark and the trace.
constexpr Rgb kSpectrumFormColor{240, 240, 240};

struct SpectrumLayout {
  QRect scale, marker, panel, spectrum, range, ref;
  // The control column above the range mark and the colour bar.
  QRect controls;
  int clientWidth = 0;
  int clientHeight = 0;
};

// The main window's font (fixed pitch, 11 pixels), in which the window draws
// its texts; pictures made without a window use it too.
QFont SpectrumWindowFont();

SpectrumLayout LayOutSpectrum(int scaleHeight, int waterfallRows = kWaterfallRows);

// Scale, marker strip, waterfall (all its rows, newest at the top),
// spectrum with its grid, range mark and colour bar at their places in the
// client area, on the window's background.
QImage ComposeSpectrumPicture(const SpectrumView& view);

}  // namespace merivac
