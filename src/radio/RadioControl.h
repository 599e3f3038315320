// RadioControl.h - PTT and the alert output on the serial port's DTR and RTS
// lines, and the opening of the port.
//
// PTT and the alert line are switched only through SetPtt and SetAlertLine.
// The settings decide the lines: pttMethod (PTT_) 0 = VOX (nothing keyed),
// 1 = DTR, 2 = RTS; alertLine (A_PN) 0 = none, 1 = DTR, 2 = RTS. A failure
// to open the port falls back to VOX with an ERROR dialog.
//
// Switching PTT or the alert also clears the line it raised last, when the
// settings have moved it to another line since (the Radio dialog can change
// them while a transmission runs), so no line is ever left asserted by a
// change of settings. ReleaseAll drops every line and closes the port; the
// program's exit paths run it (PttSafety.h).
#pragma once

#include <string>

#include "common/DebugLog.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "radio/SerialLineDriver.h"

namespace merivac {

// Line codes and states of SetControlLine.
constexpr int kLineBreak = 2;
constexpr int kLineDtr = 3;
constexpr int kLineRts = 5;
constexpr int kLineSet = 0;    // line asserted, break on
constexpr int kLineClear = 1;  // line cleared, break off

class RadioControl {
 public:
  RadioControl(Settings& settings, SerialLineDriver& driver, UiServices& ui, DebugLog& log)
      : settings_(settings), driver_(driver), ui_(ui), log_(log) {}

  // Opens the port by its listed name; true when it is open.
  bool OpenSerialPort(const std::string& name);
  // Closes the port; true, or false when closing failed.
  bool CloseSerialPort();
  // Applies line code (kLineBreak, kLineDtr, kLineRts) and state (kLineSet,
  // kLineClear); false for any other code or state, or when the system
  // refuses (no port open, for one).
  bool SetControlLine(int lineCode, int state);

  // PTT on the line of pttMethod; false and nothing keyed with VOX or an
  // unknown method. The callers ignore the result and log for themselves.
  bool SetPtt(bool on);
  // The alert output on the line of alertLine; false with none or unknown.
  bool SetAlertLine(bool on);
  // The alert-line half of a click on the clock label TimeLabel (the caller
  // turns the label black again).
  bool TimeLabelClickAlertOff() { return SetAlertLine(false); }

  // (Re)opens the port named by settings.port with both lines cleared. With
  // no port named: WARNING "No serial port selected, VOX enabled", VOX. When
  // the port cannot be opened, or opens but refuses to switch its lines:
  // ERROR "Failed to access " + port + ", VOX enabled", port emptied, VOX.
  // The alert setting is kept. True when the port is open and usable.
  bool InitSerialPort();

  // Drops PTT, the alert line and the break state and closes the port. Used
  // on the way out of the program; harmless when nothing is open.
  void ReleaseAll();

  bool PortOpen() const { return driver_.IsOpen(); }

 private:
  static int LineCodeOf(uint8_t choice);  // 1 -> DTR, 2 -> RTS, else 0
  bool SwitchFunctionLine(int line, bool on, int& raisedLine, int otherRaised);
  void ClearLinesAndClose();

  Settings& settings_;
  SerialLineDriver& driver_;
  UiServices& ui_;
  DebugLog& log_;
  int pttRaisedLine_ = 0;    // the line SetPtt asserted and has not cleared, 0 = none
  int alertRaisedLine_ = 0;  // the same for SetAlertLine
};

}  // namespace merivac
