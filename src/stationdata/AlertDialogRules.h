// AlertDialogRules.h - the Alert dialog's rules without the dialog: which
// alerts are on, the two distances, the include and exclude lists, the two
// table downloads at start-up and where WAS.DAT comes from.
//
// Every opening loads the controls from the settings; OK stores them all
// and rebuilds the alert lists; Cancel stores nothing. The Qt dialog
// (stationdata/ui/AlertDialog.h) only shows this state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/Settings.h"

namespace merivac {

class StationData;

// The dialog's check boxes, in the dialog's order.
enum class AlertBox {
  MyCallBox,
  NewCallBox,
  DxccBox,
  StateBox,
  AnyDxBox,
  NewDxBox,
  IncludeBox,
  ExcludeBox,
  CtyBox,
  WasBox
};
constexpr int kAlertBoxCount = 10;

// The dialog's edits.
enum class AlertEdit { AnyDxEdit, NewDxEdit, IncludeEdit, ExcludeEdit, WasUrlEdit };
constexpr int kAlertEditCount = 5;

// A distance edit takes digits only: the text keeps its digits.
std::string DigitsOnly(const std::string& text);
// The distance OK stores: the text as a whole number, -1 when it is empty or
// not a number that fits.
int32_t DistanceValue(const std::string& text);

class AlertDialogRules {
 public:
  AlertDialogRules(Settings& settings, StationData& data) : settings_(settings), data_(data) {}

  // FormActivate: the boxes from the settings; a distance edit receives its
  // number only when the stored value is 0 or more (otherwise it keeps its
  // text); the list edits and the WAS.DAT source receive the stored texts.
  void FormActivate();

  void SetChecked(AlertBox box, bool checked) { checked_[static_cast<int>(box)] = checked; }
  // An edit changed; the text it shows afterwards (distances: digits only).
  const std::string& EditChange(AlertEdit edit, const std::string& text);

  // Stores every box, both distances, both list texts as typed, the two
  // update switches and the WAS.DAT source, then rebuilds the alert lists.
  void OkButtonClick();
  // Closes without storing.
  void CancelButtonClick() {}

  bool Checked(AlertBox box) const { return checked_[static_cast<int>(box)]; }
  const std::string& Text(AlertEdit edit) const { return texts_[static_cast<int>(edit)]; }

 private:
  bool& Setting(AlertBox box);

  Settings& settings_;
  StationData& data_;
  std::array<bool, kAlertBoxCount> checked_{};
  std::array<std::string, kAlertEditCount> texts_{};
};

}  // namespace merivac
