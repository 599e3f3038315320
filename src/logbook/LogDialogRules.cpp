// LogDialogRules.cpp - the Logbook dialog's countdown, clicks and choices.
#include "logbook/LogDialogRules.h"

namespace merivac {

namespace {
constexpr const char* kCaptionSuffix = "  :  Load logbook";
constexpr int kCountdownSeconds = 10;
}  // namespace

LogDialogRules::LogDialogRules(Settings& settings, std::string captionPrefix)
    : settings_(settings), prefix_(std::move(captionPrefix)), caption_(prefix_ + kCaptionSuffix) {}

void LogDialogRules::FormActivate() {
  logEdit_ = settings_.logbookPath;
  band_ = BandIndex(BandOfHz(settings_.dialFreq));
  mode_ = 0;
  choice_.filter.mode = kModeChoices[0];
  choice_.loadConfirmed = false;  // until the choices are taken
  countdown_ = 0;
  timerRunning_ = true;
  caption_ = prefix_ + kCaptionSuffix;
}

bool LogDialogRules::TimerTimer() {
  if (!timerRunning_) return false;
  ++countdown_;
  caption_ =
      prefix_ + kCaptionSuffix + " (" + std::to_string(kCountdownSeconds + 1 - countdown_) + ")";
  if (countdown_ <= kCountdownSeconds) return false;
  timerRunning_ = false;
  TakeChoices();
  return true;
}

void LogDialogRules::StopCountdown() {
  timerRunning_ = false;
  caption_ = prefix_ + kCaptionSuffix;
}

void LogDialogRules::BandGroupClick(int index) {
  StopCountdown();
  if (index >= 0 && index < static_cast<int>(kBands.size())) band_ = index;
}

void LogDialogRules::ModeGroupClick(int index) {
  StopCountdown();
  if (index >= 0 && index < static_cast<int>(kModeChoices.size())) mode_ = index;
}

void LogDialogRules::LogButtonClick() { StopCountdown(); }

void LogDialogRules::OkButtonClick() {
  StopCountdown();
  TakeChoices();
}

void LogDialogRules::TakeChoices() {
  choice_.filter.band = band_ >= 0 ? kBands[band_].name : kNoBand;
  if (mode_ >= 0) choice_.filter.mode = kModeChoices[mode_];
  choice_.loadConfirmed = true;
  settings_.logbookPath = logEdit_;
}

LogbookChoice CountdownLogbookPrompt::AskLogbook() {
  rules_.FormActivate();
  while (!rules_.TimerTimer()) {
  }
  return rules_.Choice();
}

}  // namespace merivac
