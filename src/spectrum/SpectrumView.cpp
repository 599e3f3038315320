// SpectrumView.cpp - the window's life, the production of spectrum lines
// and the static parts.
#include "spectrum/SpectrumView.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "audio/Fft.h"
#include "common/DateTime.h"

namespace merivac {

namespace {

// A bin of exactly zero magnitude (digital silence) would have a level of
// minus infinity, which no row or mean survives; it counts as -200 dB.
constexpr double kPowerFloor = 1e-20;

}  // namespace

SpectrumView::SpectrumView(Settings& settings, MainControls& controls, DebugLog& log,
                           const Clock& clock, bool& timeMarkDue, int waterfallRows)
    : settings_(settings),
      controls_(controls),
      log_(log),
      clock_(clock),
      timeMarkDue_(timeMarkDue),
      waterfall_(waterfallRows) {}

void SpectrumView::FormCreate(const QFont& font) {
  created_ = true;
  open_ = false;
  font_ = font;
  fftLength_ = 16384;
  buffer_.assign(kSpectrumBufferSamples, 0);
  re_.assign(kSpectrumBufferSamples, 0.0);
  im_.assign(kSpectrumBufferSamples, 0.0);
  levels_.assign(kSpectrumBufferSamples, 0.0);
  markers_ = QImage(kSpectrumWidth, kMarkerRows, QImage::Format_RGB32);
  grid_ = QImage(kSpectrumWidth, kSpectrumHeight, QImage::Format_RGB32);
  trace_ = QImage(kSpectrumWidth, kSpectrumHeight, QImage::Format_ARGB32_Premultiplied);
  trace_.fill(Qt::transparent);
  range_ = QImage(kRangeImageWidth, kSpectrumHeight, QImage::Format_ARGB32_Premultiplied);
  range_.fill(Qt::transparent);
  ref_ = QImage(kRefImageWidth, kSpectrumHeight, QImage::Format_RGB32);
  ref_.fill(Qt::black);
  rowColors_.assign(kSpectrumHeight, Rgb{});
  columnColors_.assign(kSpectrumWidth, Rgb{});
  DrawScale();
  DrawSpectrumGrid();
  DrawMarkers();
}

void SpectrumView::Opened() {
  log_.Write("Spectrum view window opened");
  controls_.SetEnabled(Ctl::SpectrumItem, false);
  bufferCount_ = 0;
  open_ = true;
}

void SpectrumView::FormClose() {
  open_ = false;
  log_.Write("Spectrum view window closed");
  controls_.SetEnabled(Ctl::SpectrumItem, true);
}

void SpectrumView::UpdateSpectrum(const int16_t* samples, int count) {
  if (!open_ || !Created()) return;
  if (log_.Enabled()) log_.Write("Spectrum update started (" + std::to_string(count) + ")");
  fftLength_ = FftLengthOf(settings_.mode);
  int lines = 0;
  for (int i = 0; i < count;) {
    // Sample by sample the buffer fills up to FftLength; a buffer that
    // already holds more (the mode has just become faster) takes one more
    // sample and then gives its line at once.
    const int room = std::max(fftLength_ - bufferCount_, 1);
    const int n = std::min(room, count - i);
    std::copy(samples + i, samples + i + n, buffer_.begin() + bufferCount_);
    bufferCount_ += n;
    i += n;
    if (bufferCount_ >= fftLength_) {
      ComputeLine();
      bufferCount_ = 0;
      ++lines;
    }
  }
  if (log_.Enabled()) {
    log_.Write("Spectrum update ended (" + std::to_string(lines) + " lines added)");
  }
  if (lines > 0) Changed();
}

// One line from the first FftLength buffered samples: levels of the
// displayed bins, trace, optional time mark, waterfall row.
void SpectrumView::ComputeLine() {
  const int32_t n = fftLength_;
  Fft(n, kFftHamming, buffer_.data(), re_.data(), im_.data());
  const DisplayRange r = Range();
  const auto lo =
      std::clamp<int64_t>(RoundEven(static_cast<double>(r.low) * n / 12000.0), 0, n - 1);
  const auto hi =
      std::clamp<int64_t>(RoundEven(static_cast<double>(r.high) * n / 12000.0 + 1), lo, n - 1);
  double sum = 0;
  for (int64_t k = lo; k <= hi; ++k) {
    const double power = re_[k] * re_[k] + im_[k] * im_[k];
    levels_[k] = 10.0 * std::log10(std::max(power, kPowerFloor));  // 20 log10 |X|
    sum += levels_[k];
  }
  TraceInput in;
  in.levels = std::span<const double>(levels_.data(), static_cast<size_t>(hi) + 1);
  in.mean = sum / static_cast<double>(hi - lo + 1);
  in.fftLength = n;
  in.range = r;
  in.traceOffset = settings_.traceOffset;
  in.agc = settings_.spectrumAgc;
  merivac::DrawSpectrumLine(trace_, in, rowColors_, columnColors_);
  if (timeMarkDue_) {
    const double utc = clock_.Now() - settings_.utcOffsetHours / 24.0;
    waterfall_.DrawTimeMark(FormatDateTime("hh:nn", utc), font_);
    timeMarkDue_ = false;
  }
  waterfall_.ScrollWaterfall(columnColors_);
  ++linesDrawn_;
}

void SpectrumView::DrawMarkers() {
  if (!Created()) return;
  const FrequencyLimits limits =
      freqs_ != nullptr
          ? freqs_->Limits()
          : ComputeFreqLimits(settings_.mode, settings_.discardTxLimits, settings_.discardRxLimits);
  MarkerInput in;
  in.mode = settings_.mode;
  in.range = Range();
  in.txLow = limits.txLow;
  in.txHigh = limits.txHigh;
  in.rxLow = limits.rxLow;
  in.rxHigh = limits.rxHigh;
  if (frequencyMarkers_) {
    in.tx = settings_.txFreq;
    in.rx = settings_.rxFreq;
  }
  merivac::DrawMarkers(markers_, in);
  Changed();
}

void SpectrumView::DrawScale() {
  if (!Created()) return;
  merivac::DrawScale(scale_, font_, Range());
  Changed();
}

void SpectrumView::DrawSpectrumGrid() {
  if (!Created()) return;
  merivac::DrawSpectrumGrid(grid_, Range());
  Changed();
}

void SpectrumView::DrawRangeMark() {
  if (!Created()) return;
  merivac::DrawRangeMark(range_, settings_.spectrumOffset);
  Changed();
}

void SpectrumView::DrawColorBar() {
  if (!Created()) return;
  merivac::DrawColorBar(ref_, settings_.spectrumGain, settings_.spectrumOffset, rowColors_);
  Changed();
}

void SpectrumView::DrawStaticParts() {
  DrawScale();
  DrawMarkers();
  DrawRangeMark();
  DrawSpectrumGrid();
}

}  // namespace merivac
