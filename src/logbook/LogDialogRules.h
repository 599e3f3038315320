// LogDialogRules.h - the Logbook dialog's rules without the dialog.
//
// The dialog is shown at every start: it shows the logbook path, preselects
// the band that holds the dial frequency and the mode "JT9", and counts down
// once a second in its caption (10, 9, ... 0); when the count runs out it
// takes its choices and closes, so the logbook loads by itself. Any click
// on a band, a mode or the Logbook button stops the countdown.
#pragma once

#include <string>

#include "common/Settings.h"
#include "logbook/AdifReader.h"

namespace merivac {

// What the dialog leaves behind: LoadConfirmed and the filters of the read.
struct LogbookChoice {
  bool loadConfirmed = false;
  LogbookFilter filter;
};

class LogDialogRules {
 public:
  // captionPrefix is "Merivac  v" + the version text.
  LogDialogRules(Settings& settings, std::string captionPrefix);

  // FormActivate: the stored path in LogEdit, the band of the dial
  // frequency (none outside the bands), "JT9", the countdown from 0 with the
  // timer running.
  void FormActivate();
  // One second of the timer: the countdown goes on in the caption; true
  // when it has run out, the choices are taken and the dialog closes.
  bool TimerTimer();
  // A band or mode clicked (index into kBands or kModeChoices): the
  // countdown stops.
  void BandGroupClick(int index);
  void ModeGroupClick(int index);
  // The Logbook button: the countdown stops; the window then opens its
  // file dialog titled Caption() and reports a chosen file to FileChosen.
  void LogButtonClick();
  void FileChosen(const std::string& path) { logEdit_ = path; }
  // OK: the countdown stops, the choices are taken, the dialog closes.
  void OkButtonClick();
  // Cancel: nothing is loaded.
  void CancelButtonClick() { choice_.loadConfirmed = false; }

  const std::string& Caption() const { return caption_; }
  const std::string& LogEditText() const { return logEdit_; }
  int SelectedBand() const { return band_; }  // -1: none
  int SelectedMode() const { return mode_; }  // -1: none
  bool TimerRunning() const { return timerRunning_; }
  const LogbookChoice& Choice() const { return choice_; }

 private:
  void StopCountdown();
  // BandFilter, ModeFilter (unchanged with no mode selected), LoadConfirmed
  // and the stored path from LogEdit.
  void TakeChoices();

  Settings& settings_;
  std::string prefix_;
  std::string caption_;
  std::string logEdit_;
  int band_ = -1;
  int mode_ = -1;
  int countdown_ = 0;
  bool timerRunning_ = false;
  LogbookChoice choice_;
};

// Where the start-up asks for the logbook choices: the window shows the
// Logbook dialog; without a window the choices are those the dialog takes
// when it is left alone.
class LogbookPrompt {
 public:
  virtual ~LogbookPrompt() = default;
  virtual LogbookChoice AskLogbook() = 0;
};

// The dialog's rules run to the end of their countdown, no window shown.
class CountdownLogbookPrompt final : public LogbookPrompt {
 public:
  explicit CountdownLogbookPrompt(Settings& settings) : rules_(settings, std::string()) {}
  LogbookChoice AskLogbook() override;

 private:
  LogDialogRules rules_;
};

}  // namespace merivac
