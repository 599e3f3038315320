// StationDialogRules.cpp - own call, own grid and time zone of the Station dialog.
#include "qso/StationDialogRules.h"

#include "qso/MessageGen.h"

namespace merivac {

void StationDialogRules::Open() {
  callText_ = settings_.call;
  gridText_ = settings_.grid;
  timeZoneChoice_ = TimeZoneIndex(HoursToTimeZone(settings_.utcOffsetHours));
}

CleanedField StationDialogRules::CallEditChange(const std::string& text, int caret) {
  CleanedField f = CleanCallField(text, caret);
  callText_ = f.text;
  return f;
}

CleanedField StationDialogRules::GridEditChange(const std::string& text, int caret) {
  CleanedField f = CleanCallField(text, caret);
  gridText_ = f.text;
  return f;
}

void StationDialogRules::UtcDifBoxChange(const std::string& choice) {
  settings_.utcOffsetHours = TimeZoneToHours(choice);
  timeZoneChoice_ = TimeZoneIndex(choice);
}

bool StationDialogRules::OkButtonClick() {
  if (CallValid()) settings_.call = callText_;
  // The 4-character grid of the messages is derived from GRID where used.
  if (GridValid()) settings_.grid = gridText_;
  return CallValid() && GridValid();
}

void StationDialogFollowUp(const Settings& settings, MainControls& controls) {
  UpdateQsoAvailability(settings, controls);
}

}  // namespace merivac
