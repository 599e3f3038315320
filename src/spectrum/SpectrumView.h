// SpectrumView.h - the spectrum view: the state and pictures of the spectrum
// and waterfall window and the rules of its controls, without widgets.
//
// The capture chain hands every block of 12 kHz samples to UpdateSpectrum.
// While the window is open the samples are collected until FftLength of
// them (by mode) have arrived; each such line is transformed with the
// Hamming window, the levels of the displayed bins become the trace and a
// new waterfall row, with a time mark over it when a cycle started since
// the last line. While the window is closed nothing is kept or computed.
//
// Around the trace and waterfall the view draws the frequency scale, the
// grid, the noise reference mark, the colour bar and the TX/RX marker strip;
// DrawMarkers is the redraw entry point that the frequency rules call after
// every change of a frequency, a limit or the mode. The window's handlers
// (labels, track bar, arrows, clicks) are methods here; the Qt window only
// shows the pictures and the control state and forwards events.
#pragma once

#include <QFont>
#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/CaptureChain.h"
#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "qso/Frequencies.h"
#include "qso/QsoServices.h"
#include "spectrum/SpectrumDrawing.h"
#include "spectrum/Waterfall.h"

namespace merivac {

inline constexpr char kWaterfallHint[] =
    "Click to set RX frequency\r\nDoubleclick to set TX & RX frequency";
inline constexpr char kSpectrumHint[] = "Click to set the noise reference level (Gain offset)";

// The largest SpectrumBuffer count: one JT9-10 line and one more sample.
constexpr int32_t kSpectrumBufferSamples = 131073;

// What the window's labels and track bar show, as the handlers leave it.
// The lime label tells which value the track bar edits.
struct SpectrumControlState {
  bool gainLime = true;
  bool offsLime = false;
  bool agcLime = true;
  int trackBarPosition = 20;  // 0..100
};

class SpectrumView final : public SpectrumSink, public MarkerDrawer {
 public:
  // timeMarkDue: the cycle clock's flag, raised at every change of the cycle
  // start minute; the view clears it when it has drawn the mark.
  SpectrumView(Settings& settings, MainControls& controls, DebugLog& log, const Clock& clock,
               bool& timeMarkDue, int waterfallRows = kWaterfallRows);

  // The frequency rules: their limits are shaded in the marker strip and the
  // waterfall clicks commit through them. Without them the limits follow
  // the mode and the clicks do nothing.
  void AttachFrequencies(Frequencies* freqs) { freqs_ = freqs; }
  // Whether the marker strip shows the TX and RX markers (the limits are
  // always shaded). Pictures of recordings have no TX or RX frequency.
  void SetFrequencyMarkers(bool shown) { frequencyMarkers_ = shown; }

  // ---- the window's life ---------------------------------------------------
  // The window's creation: the font, the pictures and their first drawing.
  // Before it nothing is drawn.
  void FormCreate(const QFont& font);
  bool Created() const { return created_; }
  // The menu entry has shown the window: the log line, the menu entry
  // disabled, the buffer emptied, lines from now on.
  void Opened();
  // The window was closed (hidden; the pictures stay).
  void FormClose();
  bool SpectrumOpen() const { return open_; }

  // ---- lines ---------------------------------------------------------------
  void UpdateSpectrum(const int16_t* samples, int count) override;
  int32_t FftLength() const { return fftLength_; }
  int32_t BufferedSamples() const { return bufferCount_; }
  // Lines drawn since the program started.
  long LinesDrawn() const { return linesDrawn_; }

  // ---- the static parts ----------------------------------------------------
  void DrawMarkers() override;
  void DrawScale();
  void DrawSpectrumGrid();
  void DrawRangeMark();
  void DrawColorBar();

  // ---- the window's handlers -----------------------------------------------
  void FormActivate();
  void GainLabelClick();
  void OffsLabelClick();
  void AgcLabelClick();
  void GainTrackBarChange(int position);
  // A press on the spectrum area at row y; only the left button counts.
  void SpectrumImageMouseDown(bool leftButton, int y);
  // The arrow pairs: up = the right arrow.
  void FlowUpDownChangingEx(bool up);
  void FhighUpDownChangingEx(bool up);
  // The pointer over either waterfall image at column x.
  void WFImageMouseMove(int x);
  // Click: the RX frequency; double click: the TX frequency (the first click
  // of a double click has already set RX). Above the mode's ceiling nothing
  // happens.
  void WFImageClick();
  void WFImageDblClick();
  uint16_t CursorFreq() const { return cursorFreq_; }
  const SpectrumControlState& Controls() const { return state_; }

  // The highest frequency a click may set in a mode: 5000 x 6912 /
  // samples per symbol (5000, 2250, 843.75, 416.67 Hz).
  static double ClickCeiling(uint32_t mode);

  // ---- pictures ------------------------------------------------------------
  const QFont& Font() const { return font_; }
  const QImage& ScaleImage() const { return scale_; }
  const QImage& MarkerImage() const { return markers_; }
  const QImage& SpectrumBgImage() const { return grid_; }
  const QImage& SpectrumImage() const { return trace_; }
  const QImage& RangeImage() const { return range_; }
  const QImage& RefImage() const { return ref_; }
  const Waterfall& WaterfallRing() const { return waterfall_; }
  const std::vector<Rgb>& RowColors() const { return rowColors_; }
  const std::vector<Rgb>& ColumnColors() const { return columnColors_; }

  // Called after the pictures changed (once per block that added lines,
  // once per redraw of a static part), so that the window repaints.
  void SetChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

 private:
  DisplayRange Range() const { return {settings_.spectrumLow, settings_.spectrumHigh}; }
  void ComputeLine();
  void DrawStaticParts();
  void Changed() {
    if (changed_) changed_();
  }

  Settings& settings_;
  MainControls& controls_;
  DebugLog& log_;
  const Clock& clock_;
  bool& timeMarkDue_;
  Frequencies* freqs_ = nullptr;
  bool frequencyMarkers_ = true;
  bool created_ = false;

  bool open_ = false;
  int32_t fftLength_ = 16384;
  std::vector<int16_t> buffer_;  // SpectrumBuffer
  int32_t bufferCount_ = 0;
  std::vector<double> re_, im_;
  std::vector<double> levels_;  // dB by bin; only the displayed bins are written
  long linesDrawn_ = 0;

  QFont font_;
  QImage scale_, markers_, grid_, trace_, range_, ref_;
  Waterfall waterfall_;
  std::vector<Rgb> rowColors_;
  std::vector<Rgb> columnColors_;

  SpectrumControlState state_;
  uint16_t cursorFreq_ = 0;
  std::function<void()> changed_;
};

}  // namespace merivac
