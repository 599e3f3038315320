// SpectrumDrawing.h - the spectrum window's pictures, drawn on QImages: the
// colour ramp and colour bar, the spectrum trace, the grid behind it, the
// frequency scale, the noise reference mark and the TX/RX marker strip.
//
// Every frequency-mapped picture is kSpectrumWidth (W) pixels wide and maps
// the display range FSLO .. FSHI linearly onto its columns. The functions
// are plain drawing on images (QtGui only), shared by the spectrum window
// and merivac-cli's waterfall pictures. Rounding is half to even throughout.
#pragma once

#include <QFont>
#include <QImage>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/Rgb.h"

namespace merivac {

constexpr int kSpectrumWidth = 634;  // W: every frequency-mapped picture
constexpr int kSpectrumHeight = 60;  // H: the spectrum area
constexpr int kWaterfallRows = 150;  // the waterfall panel's height
constexpr int kMarkerRows = 7;       // the marker strip
constexpr int kRefImageWidth = 28;   // the colour bar beside the spectrum
constexpr int kRangeImageWidth = 8;  // the noise reference mark beside the spectrum
constexpr int kSpectrumSampleRate = 12000;

namespace spectrum {
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kLime{0, 255, 0};
}  // namespace spectrum

inline QRgb ToQRgb(Rgb c) { return qRgb(c.r, c.g, c.b); }
inline Rgb FromQRgb(QRgb c) {
  return Rgb{static_cast<uint8_t>(qRed(c)), static_cast<uint8_t>(qGreen(c)),
             static_cast<uint8_t>(qBlue(c))};
}

// Round half to even (the default floating-point rounding mode).
inline int64_t RoundEven(double v) { return std::llrint(v); }

// The display range FSLO .. FSHI in Hz.
struct DisplayRange {
  int32_t low = 300;
  int32_t high = 1400;
};

// x(f) = Round((f - FSLO) x width / (FSHI - FSLO)).
int FreqToX(double f, DisplayRange range, int width = kSpectrumWidth);

// Samples per spectrum line by mode: 16 384 (JT9-1 and any unknown mode),
// 32 768, 65 536, 131 072 (JT9-2, JT9-5, JT9-10).
int32_t FftLengthOf(uint32_t mode);

// The colour ramp: black below 0, black to blue (0..255), blue through grey
// to yellow (256..511), yellow to red (512..767), red from 768.
Rgb LevelToColor(int v);

// The grid and scale step for a span in Hz: 10 Hz up to 150, then 20, 50,
// 100, 200 (up to 300, 750, 1500, 3000) and 500 beyond.
int GridStep(int32_t span);

// The colour bar (width kRefImageWidth, height H): row y takes
// LevelToColor(gain x (H - offs - y)), stored in rowColors[y] as well.
void DrawColorBar(QImage& ref, int gain, int offs, std::vector<Rgb>& rowColors);

// What a spectrum trace is drawn from.
struct TraceInput {
  std::span<const double> levels;  // dB by FFT bin; only the displayed bins are read
  double mean = 0;                 // the mean of the displayed levels
  int32_t fftLength = 16384;
  DisplayRange range;
  int traceOffset = 15;  // AVOF
  bool agc = true;       // VAGC: reference = mean, else 30 dB
};

// The trace (blue, one pixel per dB, the reference AVOF pixels above the
// bottom) on a transparent image of the spectrum area; every column x from
// 1 takes the colour of the row its trace point reaches (clamped to the
// area) into columnColors[x]. Column 0 is left as it is.
void DrawSpectrumLine(QImage& spectrum, const TraceInput& in, std::span<const Rgb> rowColors,
                      std::span<Rgb> columnColors);

// The grid behind the trace: white, a black border, a vertical line at every
// multiple of the grid step inside the range and a line every 10 dB.
void DrawSpectrumGrid(QImage& background, DisplayRange range);

// The frequency scale: the image becomes (text height of "X") + 9 rows
// high, transparent, with a baseline, end ticks and a labelled tick at every
// multiple of the grid step inside the range.
void DrawScale(QImage& scale, const QFont& font, DisplayRange range, int width = kSpectrumWidth);

// The noise reference mark: a red line two pixels wide at row H - offs - 1
// on a transparent image.
void DrawRangeMark(QImage& range, int offs);

// What the marker strip shows.
struct MarkerInput {
  uint32_t mode = 1;
  DisplayRange range;
  uint16_t txLow = 200, txHigh = 1400, rxLow = 200, rxHigh = 1400;
  std::optional<uint16_t> tx, rx;  // no marker when unset
};

// Signal width b (Hz) and margin a (pixels) of the markers by mode.
struct MarkerSpan {
  int width = 2;
  int margin = 2;
};
MarkerSpan MarkerSpanOf(uint32_t mode);

// The marker strip (kMarkerRows rows): silver; grey where a frequency lies
// outside its limits (TX rows 0..2, RX rows 4..6); the TX marker red and the
// RX marker blue from x(f) - a up to x(f + b) + a.
void DrawMarkers(QImage& markers, const MarkerInput& in);

}  // namespace merivac
