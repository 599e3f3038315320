// StationDialogRules.h - the Station dialog's rules without the dialog.
//
// Own callsign and own grid fields (blanks removed, upper case, red while
// invalid, OK only when neither is red), the time-zone choice that sets the
// PC clock's offset at once, and the follow-up after the dialog closes.
// The Qt dialog (qso/ui/StationDialog.h) only shows this state.
#pragma once

#include <string>

#include "common/MainControls.h"
#include "common/Settings.h"
#include "qso/CallRules.h"

namespace merivac {

class StationDialogRules {
 public:
  explicit StationDialogRules(Settings& settings) : settings_(settings) {}

  // Loads the fields from the settings; each invalid field is red and OK
  // disabled; the time-zone choice shows the current offset (-1: none).
  void Open();

  // A field changed (typing or paste): the cleaned text and caret to show.
  CleanedField CallEditChange(const std::string& text, int caret);
  CleanedField GridEditChange(const std::string& text, int caret);

  // A time-zone choice, taken at once (Cancel does not undo it).
  void UtcDifBoxChange(const std::string& choice);

  // Stores each valid field; true when the dialog may close (both valid).
  bool OkButtonClick();

  const std::string& CallText() const { return callText_; }
  const std::string& GridText() const { return gridText_; }
  bool CallValid() const { return IsValidCall(callText_); }
  bool GridValid() const { return IsValidGrid(gridText_); }
  bool OkEnabled() const { return CallValid() && GridValid(); }
  int TimeZoneChoice() const { return timeZoneChoice_; }

 private:
  Settings& settings_;
  std::string callText_;
  std::string gridText_;
  int timeZoneChoice_ = -1;
};

// After the Station dialog closes (whichever button): EnableTxButton and
// QSOPanel are usable exactly when the own call and 4-character grid are valid.
void StationDialogFollowUp(const Settings& settings, MainControls& controls);

}  // namespace merivac
