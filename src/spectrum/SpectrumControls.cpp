// SpectrumControls.cpp - the spectrum window's handlers: activation, the
// gain, offset and AGC labels, the track bar, the click on the spectrum,
// the arrow pairs of the display range and the clicks on the waterfall.
#include <algorithm>
#include <string>

#include "common/Mode.h"
#include "spectrum/SpectrumView.h"

namespace merivac {

namespace {

// The edges of the display range move in steps of 100 Hz within 0 .. 5000
// and stay at least 100 Hz apart.
constexpr int32_t kRangeStep = 100;

}  // namespace

double SpectrumView::ClickCeiling(uint32_t mode) {
  const int32_t sps = SamplesPerSymbol(mode);
  return 5000.0 * 6912.0 / (sps > 0 ? sps : SamplesPerSymbol(1));
}

void SpectrumView::FormActivate() {
  state_.trackBarPosition = settings_.spectrumGain;
  state_.gainLime = true;
  state_.offsLime = false;
  state_.agcLime = settings_.spectrumAgc;
  DrawStaticParts();
  // The colour bar follows the gain and offset in force (the settings file
  // may have changed them since the window was created).
  DrawColorBar();
}

void SpectrumView::GainLabelClick() {
  state_.gainLime = true;
  state_.offsLime = false;
  state_.trackBarPosition = settings_.spectrumGain;
}

void SpectrumView::OffsLabelClick() {
  state_.offsLime = true;
  state_.gainLime = false;
  state_.trackBarPosition = settings_.traceOffset + 30;
}

void SpectrumView::GainTrackBarChange(int position) {
  position = std::clamp(position, 0, 100);
  state_.trackBarPosition = position;
  if (state_.gainLime) settings_.spectrumGain = static_cast<uint8_t>(position);
  if (state_.offsLime) settings_.traceOffset = static_cast<int8_t>(position - 30);
  DrawColorBar();
}

void SpectrumView::AgcLabelClick() {
  state_.agcLime = !state_.agcLime;
  settings_.spectrumAgc = state_.agcLime;
}

void SpectrumView::SpectrumImageMouseDown(bool leftButton, int y) {
  if (!leftButton) return;
  settings_.spectrumOffset = static_cast<int8_t>(kSpectrumHeight - y);
  DrawRangeMark();
  DrawColorBar();
}

void SpectrumView::FhighUpDownChangingEx(bool up) {
  int32_t& high = settings_.spectrumHigh;
  if (up && high <= 4900) high += kRangeStep;
  if (!up && high >= 200) high -= kRangeStep;
  if (high < settings_.spectrumLow + kRangeStep) high = settings_.spectrumLow + kRangeStep;
  DrawStaticParts();
}

void SpectrumView::FlowUpDownChangingEx(bool up) {
  int32_t& low = settings_.spectrumLow;
  if (up && low <= 4800) low += kRangeStep;
  if (!up && low >= 100) low -= kRangeStep;
  if (settings_.spectrumHigh - kRangeStep < low) low = settings_.spectrumHigh - kRangeStep;
  DrawStaticParts();
}

void SpectrumView::WFImageMouseMove(int x) {
  const DisplayRange r = Range();
  const int64_t f =
      r.low + RoundEven(static_cast<double>(x) * (r.high - r.low) / waterfall_.Width());
  cursorFreq_ = static_cast<uint16_t>(std::clamp<int64_t>(f, 0, 65535));
}

void SpectrumView::WFImageClick() {
  if (freqs_ == nullptr || cursorFreq_ > ClickCeiling(settings_.mode)) return;
  settings_.rxFreq = cursorFreq_;
  freqs_->WriteRxEdit(std::to_string(cursorFreq_));
  freqs_->CommitRxFreq();
  controls_.SetColor(Ctl::RxEdit, colors::kInfoBackground);
  DrawMarkers();
  if (controls_.Get(Ctl::TxEdit).color == colors::kMoneyGreen) {
    controls_.SetColor(Ctl::TxEdit, colors::kInfoBackground);
  }
}

void SpectrumView::WFImageDblClick() {
  if (freqs_ == nullptr || cursorFreq_ > ClickCeiling(settings_.mode)) return;
  if (!controls_.Enabled(Ctl::TxEdit)) return;
  settings_.txFreq = cursorFreq_;
  freqs_->WriteTxEdit(std::to_string(cursorFreq_));
  freqs_->CommitTxFreq();
  controls_.SetColor(Ctl::TxEdit, colors::kInfoBackground);
  DrawMarkers();
  if (controls_.Get(Ctl::RxEdit).color == colors::kMoneyGreen) {
    controls_.SetColor(Ctl::RxEdit, colors::kInfoBackground);
  }
}

}  // namespace merivac
