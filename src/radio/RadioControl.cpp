// RadioControl.cpp - switching PTT and the alert line, opening the port.
#include "radio/RadioControl.h"

namespace merivac {

bool RadioControl::OpenSerialPort(const std::string& name) { return driver_.Open(name); }

bool RadioControl::CloseSerialPort() { return driver_.Close(); }

bool RadioControl::SetControlLine(int lineCode, int state) {
  if (state != kLineSet && state != kLineClear) return false;
  const bool on = state == kLineSet;
  switch (lineCode) {
    case kLineBreak:
      return driver_.SetBreak(on);
    case kLineDtr:
      return driver_.SetDtr(on);
    case kLineRts:
      return driver_.SetRts(on);
    default:
      return false;
  }
}

int RadioControl::LineCodeOf(uint8_t choice) {
  if (choice == 1) return kLineDtr;
  if (choice == 2) return kLineRts;
  return 0;
}

// Switches the line that carries one function (PTT or alert). A line this
// function raised earlier and that the settings no longer name is cleared
// first, unless the other function holds it raised now.
bool RadioControl::SwitchFunctionLine(int line, bool on, int& raisedLine, int otherRaised) {
  if (raisedLine != 0 && raisedLine != line) {
    if (raisedLine != otherRaised) SetControlLine(raisedLine, kLineClear);
    raisedLine = 0;
  }
  if (!on) raisedLine = 0;
  if (line == 0) return false;
  const bool ok = SetControlLine(line, on ? kLineSet : kLineClear);
  if (on && ok) raisedLine = line;
  return ok;
}

bool RadioControl::SetPtt(bool on) {
  return SwitchFunctionLine(LineCodeOf(settings_.pttMethod), on, pttRaisedLine_, alertRaisedLine_);
}

bool RadioControl::SetAlertLine(bool on) {
  return SwitchFunctionLine(LineCodeOf(settings_.alertLine), on, alertRaisedLine_, pttRaisedLine_);
}

void RadioControl::ClearLinesAndClose() {
  if (driver_.IsOpen()) {
    driver_.SetDtr(false);
    driver_.SetRts(false);
    driver_.SetBreak(false);
  }
  pttRaisedLine_ = 0;
  alertRaisedLine_ = 0;
  CloseSerialPort();
}

bool RadioControl::InitSerialPort() {
  if (settings_.port.empty()) {
    const std::string text = "No serial port selected, VOX enabled";
    log_.Write(text);
    ui_.ShowMessageDialog(text, NoticeKind::Warning);
    settings_.pttMethod = 0;
    return false;
  }
  // A port that is open now may have a line raised: drop it before closing,
  // since closing does not drop the lines of a port without HUPCL.
  ClearLinesAndClose();
  // Both lines idle: transmitter not keyed, alert off. A port whose lines
  // cannot be switched (a pseudo-terminal, a device without modem control)
  // cannot key anything either and is treated as not accessible.
  if (OpenSerialPort(settings_.port) && SetControlLine(kLineDtr, kLineClear) &&
      SetControlLine(kLineRts, kLineClear)) {
    return true;
  }
  CloseSerialPort();
  const std::string text = "Failed to access " + settings_.port + ", VOX enabled";
  log_.Write(text);
  ui_.ShowMessageDialog(text, NoticeKind::Error);
  settings_.port.clear();
  settings_.pttMethod = 0;
  return false;
}

void RadioControl::ReleaseAll() {
  if (!driver_.IsOpen()) return;
  ClearLinesAndClose();
  log_.Write("PTT and alert line released, serial port closed");
}

}  // namespace merivac
