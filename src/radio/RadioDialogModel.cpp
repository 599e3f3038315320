// RadioDialogModel.cpp - box rules, edit checks and OK of the Radio dialog.
#include "radio/RadioDialogModel.h"

#include <algorithm>
#include <cctype>

namespace merivac {

int EditValue(const std::string& text, int unreadable) {
  if (text.empty()) return unreadable;
  long value = 0;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return unreadable;
    value = value * 10 + (c - '0');
    if (value > 1000000) return unreadable;
  }
  return static_cast<int>(value);
}

void RadioDialogModel::Create(Settings& settings, const TPortList& portNames) {
  settings.pttMethod = 0;
  settings.alertLine = 0;
  settings.watchdogMinutes = 0;
  settings.txDelayMs = 0;
  settings.port.clear();
  portItems_.assign(1, "none");
  for (const auto& name : portNames) {
    if (!name.empty()) portItems_.push_back(name);
  }
  selectedPort_ = -1;
}

void RadioDialogModel::SetChecked(RadioBox box, bool checked) {
  if (B(box).checked == checked) return;
  B(box).checked = checked;
  ApplyBoxRule(box);
}

void RadioDialogModel::ApplyBoxRule(RadioBox box) {
  using enum RadioBox;
  const bool on = Box(box).checked;
  switch (box) {
    case VoxBox:
      if (on) {
        SetChecked(DtrPttBox, false);
        SetChecked(RtsPttBox, false);
        txDelay_.enabled = false;
      }
      break;
    case DtrPttBox:
    case RtsPttBox: {
      const RadioBox otherPtt = box == DtrPttBox ? RtsPttBox : DtrPttBox;
      const RadioBox sameLineAlert = box == DtrPttBox ? DtrAlertBox : RtsAlertBox;
      if (on) {
        txDelay_.enabled = true;
        SetChecked(VoxBox, false);
        B(VoxBox).enabled = true;
        SetChecked(otherPtt, false);
        SetChecked(sameLineAlert, false);
      } else if (!Box(otherPtt).checked) {
        // No PTT line left: back to VOX. (When the other PTT box has just
        // taken over, PTT simply moved and VOX stays off.)
        SetChecked(VoxBox, true);
        B(VoxBox).enabled = false;
        txDelay_.enabled = false;
      }
      break;
    }
    case DtrAlertBox:
    case RtsAlertBox: {
      if (!on) break;
      const RadioBox sameLinePtt = box == DtrAlertBox ? DtrPttBox : RtsPttBox;
      const RadioBox otherAlert = box == DtrAlertBox ? RtsAlertBox : DtrAlertBox;
      if (box == DtrAlertBox) txDelay_.enabled = true;
      if (Box(sameLinePtt).checked) {
        SetChecked(VoxBox, true);
        B(VoxBox).enabled = false;
        SetChecked(sameLinePtt, false);
      }
      SetChecked(otherAlert, false);
      break;
    }
    case Count:
      break;
  }
}

void RadioDialogModel::ApplyPortRule() {
  using enum RadioBox;
  constexpr RadioBox kLineBoxes[] = {DtrPttBox, RtsPttBox, DtrAlertBox, RtsAlertBox};
  if (selectedPort_ == 0) {
    SetChecked(VoxBox, true);
    for (RadioBox b : kLineBoxes) {
      SetChecked(b, false);
      B(b).enabled = false;
    }
    B(VoxBox).enabled = false;
    txDelay_.enabled = false;
  } else {
    for (RadioBox b : kLineBoxes) B(b).enabled = true;
    B(VoxBox).enabled = true;
  }
}

void RadioDialogModel::Open(const Settings& settings) {
  using enum RadioBox;
  for (auto& b : boxes_) b = BoxState{};
  txDelay_.enabled = true;
  if (settings.pttMethod == 1) {
    SetChecked(DtrPttBox, true);
  } else if (settings.pttMethod == 2) {
    SetChecked(RtsPttBox, true);
  } else {
    SetChecked(VoxBox, true);
    B(VoxBox).enabled = false;
  }
  if (settings.alertLine == 1) SetChecked(DtrAlertBox, true);
  if (settings.alertLine == 2) SetChecked(RtsAlertBox, true);
  if (settings.port.empty()) {
    for (RadioBox b : {DtrPttBox, RtsPttBox, DtrAlertBox, RtsAlertBox}) B(b).enabled = false;
    SetChecked(VoxBox, true);
    B(VoxBox).enabled = false;
  }

  selectedPort_ = -1;
  if (!settings.port.empty()) {
    const auto it = std::find(portItems_.begin() + 1, portItems_.end(), settings.port);
    if (it != portItems_.end()) selectedPort_ = static_cast<int>(it - portItems_.begin());
  }
  txDelay_.text = std::to_string(std::min<int>(settings.txDelayMs, kMaxTxDelayMs));
  wdt_.text = std::to_string(std::min<int>(settings.watchdogMinutes, kMaxWatchdogMinutes));
  txDelay_.color = colors::kInfoBackground;
  wdt_.color = colors::kInfoBackground;
  UpdateOk();
}

void RadioDialogModel::ClickBox(RadioBox box, bool checked) {
  if (box == RadioBox::Count || !Box(box).enabled) return;
  SetChecked(box, checked);
}

void RadioDialogModel::SelectPort(int index) {
  if (index < 0 || index >= static_cast<int>(portItems_.size())) return;
  selectedPort_ = index;
  ApplyPortRule();
}

void RadioDialogModel::CheckEdit(EditState& edit, int maxValue, int unreadableValue) {
  if (edit.text.empty()) return;  // an emptied edit changes nothing
  const int value = EditValue(edit.text, unreadableValue);
  edit.color = value > maxValue ? colors::kRed : colors::kInfoBackground;
  UpdateOk();
}

void RadioDialogModel::UpdateOk() {
  okEnabled_ = !(txDelay_.color == colors::kRed) && !(wdt_.color == colors::kRed);
}

void RadioDialogModel::EditTxDelay(const std::string& text) {
  txDelay_.text = text.substr(0, kTxDelayMaxLength);
  CheckEdit(txDelay_, kMaxTxDelayMs, kMaxTxDelayMs + 1);
}

void RadioDialogModel::EditWdt(const std::string& text) {
  wdt_.text = text.substr(0, kWdtMaxLength);
  CheckEdit(wdt_, kMaxWatchdogMinutes, kMaxWatchdogMinutes + 1);
}

std::string RadioDialogModel::OkButtonClick(Settings& settings, RadioControl& radio, DebugLog& log,
                                            const std::function<void()>& clearWatchdogExpiry) {
  using enum RadioBox;
  settings.watchdogMinutes =
      static_cast<uint16_t>(std::min(EditValue(wdt_.text, 0), kMaxWatchdogMinutes));
  if (clearWatchdogExpiry) clearWatchdogExpiry();
  settings.txDelayMs = static_cast<uint16_t>(std::min(EditValue(txDelay_.text, 0), kMaxTxDelayMs));

  std::string text = "Radio settings changed: ";
  bool portUsable = true;
  if (selectedPort_ >= 0) {
    settings.port = selectedPort_ == 0 ? std::string() : portItems_[selectedPort_];
    if (!settings.port.empty()) text += "port = " + settings.port + ", ";
    portUsable = radio.InitSerialPort();
  }

  // The log line says what the boxes show; the setting falls back to VOX
  // when the port could not be used.
  uint8_t ptt = 0;
  if (Box(VoxBox).checked) text += "PTT = VOX, ";
  if (Box(DtrPttBox).checked) {
    ptt = 1;
    text += "PTT = DTR, ";
  }
  if (Box(RtsPttBox).checked) {
    ptt = 2;
    text += "PTT = RTS, ";
  }
  settings.pttMethod = portUsable ? ptt : 0;

  settings.alertLine = 0;
  if (Box(DtrAlertBox).checked) {
    settings.alertLine = 1;
    text += "alert = DTR, ";
  }
  if (Box(RtsAlertBox).checked) {
    settings.alertLine = 2;
    text += "alert = RTS, ";
  }
  text += "TX delay = " + std::to_string(settings.txDelayMs) +
          " ms, WDT = " + std::to_string(settings.watchdogMinutes) + " minutes";
  log.Write(text);
  return text;
}

void RadioMenuFollowUp(const Settings& settings, MainControls& controls,
                       const std::function<void(uint16_t)>& showWatchdog) {
  if (showWatchdog) showWatchdog(static_cast<uint16_t>(settings.watchdogMinutes * 60));
  controls.SetEnabled(Ctl::WDPanel, settings.watchdogMinutes != 0);
}

}  // namespace merivac
