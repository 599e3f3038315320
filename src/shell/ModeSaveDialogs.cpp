// ModeSaveDialogs.cpp - the Mode and Save dialogs' rules and the Mode
// dialog's follow-up.
#include "shell/ModeSaveDialogs.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "common/Mode.h"
#include "common/Rgb.h"
#include "cycle/Engine.h"
#include "qso/DecodeWindows.h"
#include "qso/Frequencies.h"
#include "shell/Station.h"

namespace merivac {

std::string CleanToneSpacingText(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) continue;
    if (digits.size() == kToneSpacingMaxLength) break;
    digits += c;
  }
  return digits;
}

uint32_t ToneSpacingValue(const std::string& text) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return 1;
  return value;
}

void ModeDialogRules::Open() {
  const uint32_t m = settings_.mode;
  selectedMode_ = (m == 2 || m == 5 || m == 10) ? m : 1;
  toneSpacingText_ = std::to_string(settings_.toneSpacing);
  checked_ = {settings_.enableTxAfterSelect, settings_.showTxMessages, settings_.discardTxLimits,
              settings_.discardRxLimits, settings_.multiDecode};
}

void ModeDialogRules::SelectMode(uint32_t mode) {
  if (std::find(kModeButtonModes.begin(), kModeButtonModes.end(), mode) != kModeButtonModes.end()) {
    selectedMode_ = mode;
  }
}

const std::string& ModeDialogRules::ToneSpacingEditChange(const std::string& text) {
  toneSpacingText_ = CleanToneSpacingText(text);
  return toneSpacingText_;
}

void ModeDialogRules::SetChecked(ModeBox box, bool checked) {
  checked_[static_cast<int>(box)] = checked;
}

void ModeDialogRules::OkButtonClick() {
  settings_.mode = selectedMode_;
  settings_.toneSpacing = ToneSpacingValue(toneSpacingText_);
  settings_.enableTxAfterSelect = Checked(ModeBox::EnableTxBox);
  settings_.showTxMessages = Checked(ModeBox::ShowMsgBox);
  settings_.discardTxLimits = Checked(ModeBox::AudioTxBox);
  settings_.discardRxLimits = Checked(ModeBox::AudioRxBox);
  settings_.multiDecode = Checked(ModeBox::MultiDecBox);
}

void SaveDialogRules::Open() {
  checked_ = {settings_.saveWav, settings_.saveDecoded, settings_.saveDebug};
}

void SaveDialogRules::OkButtonClick() {
  settings_.saveWav = Checked(SaveBox::WavBox);
  settings_.saveDecoded = Checked(SaveBox::DecodedBox);
  settings_.saveDebug = Checked(SaveBox::DebugBox);
}

void ModeMenuFollowUp(uint32_t modeBefore, const ModeFollowUpTargets& t) {
  if (t.settings.mode != modeBefore) t.engine.ModeChanged();
  t.controls.SetText(Ctl::ModePanel, ModeName(t.settings.mode));
  t.freqs.ApplyFreqLimits();
  t.freqs.CommitTxFreq();
  t.freqs.CommitRxFreq();
  // While a transmission goes on (TX enabled by a selection, mode kept) the
  // TX field ignores the writes above; both fields end in the normal colour.
  t.controls.SetColor(Ctl::TxEdit, colors::kInfoBackground);
  t.controls.SetColor(Ctl::RxEdit, colors::kInfoBackground);
  t.windows.UpdateHoverHint();
}

void ModeMenuFollowUp(uint32_t modeBefore, Station& station) {
  ModeMenuFollowUp(modeBefore, {station.GetSettings(), station.Controls(), station.GetEngine(),
                                station.Qso().freqs, station.Windows()});
}

}  // namespace merivac
