// AlertDialogRules.cpp - opening, editing and storing the Alert dialog.
#include "stationdata/AlertDialogRules.h"

#include <limits>

#include "qso/CallRules.h"
#include "stationdata/StationData.h"

namespace merivac {

std::string DigitsOnly(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c >= '0' && c <= '9') out += c;
  }
  return out;
}

int32_t DistanceValue(const std::string& text) {
  if (text.empty()) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) return -1;
  }
  return static_cast<int32_t>(value);
}

bool& AlertDialogRules::Setting(AlertBox box) {
  switch (box) {
    case AlertBox::MyCallBox:
      return settings_.alertMyCall;
    case AlertBox::NewCallBox:
      return settings_.alertNewCall;
    case AlertBox::DxccBox:
      return settings_.alertNewEntity;
    case AlertBox::StateBox:
      return settings_.alertNewState;
    case AlertBox::AnyDxBox:
      return settings_.alertAnyDistance;
    case AlertBox::NewDxBox:
      return settings_.alertNewDistance;
    case AlertBox::IncludeBox:
      return settings_.alertInclude;
    case AlertBox::ExcludeBox:
      return settings_.alertExclude;
    case AlertBox::CtyBox:
      return settings_.updateCty;
    case AlertBox::WasBox:
      break;
  }
  return settings_.updateWas;
}

void AlertDialogRules::FormActivate() {
  for (int i = 0; i < kAlertBoxCount; ++i) checked_[i] = Setting(static_cast<AlertBox>(i));
  auto& t = texts_;
  if (settings_.alertAnyKm >= 0) {
    t[static_cast<int>(AlertEdit::AnyDxEdit)] = std::to_string(settings_.alertAnyKm);
  }
  if (settings_.alertNewKm >= 0) {
    t[static_cast<int>(AlertEdit::NewDxEdit)] = std::to_string(settings_.alertNewKm);
  }
  t[static_cast<int>(AlertEdit::IncludeEdit)] = settings_.alertIncludeCalls;
  t[static_cast<int>(AlertEdit::ExcludeEdit)] = settings_.alertExcludeCalls;
  t[static_cast<int>(AlertEdit::WasUrlEdit)] = settings_.wasSourceUrl;
}

const std::string& AlertDialogRules::EditChange(AlertEdit edit, const std::string& text) {
  std::string& t = texts_[static_cast<int>(edit)];
  const bool distance = edit == AlertEdit::AnyDxEdit || edit == AlertEdit::NewDxEdit;
  t = distance ? DigitsOnly(text) : text;
  return t;
}

void AlertDialogRules::OkButtonClick() {
  for (int i = 0; i < kAlertBoxCount; ++i) Setting(static_cast<AlertBox>(i)) = checked_[i];
  settings_.alertAnyKm = DistanceValue(Text(AlertEdit::AnyDxEdit));
  settings_.alertNewKm = DistanceValue(Text(AlertEdit::NewDxEdit));
  settings_.alertIncludeCalls = Text(AlertEdit::IncludeEdit);
  settings_.alertExcludeCalls = Text(AlertEdit::ExcludeEdit);
  // A pasted address often carries blanks at its ends.
  settings_.wasSourceUrl = Trim(Text(AlertEdit::WasUrlEdit));
  data_.LoadAlertLists();
}

}  // namespace merivac
