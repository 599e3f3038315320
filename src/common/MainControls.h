// MainControls.h - the state of the main window's controls, kept in plain C++.
//
// The engine and the subsystems change what the main window shows through
// this model (captions, colours, enables, visibility, positions); the Qt
// window only mirrors it. Tests read the model directly, with no window.
// Every change marks its control as changed, so the window updates only
// what moved since it last looked.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Rgb.h"

namespace merivac {

// Every control of the main window, by its design name.
enum class Ctl : uint8_t {
  // decode windows
  Label3, Label1, Label2, BandMemo, Label6, Label4, Label5, RxMemo, MessagePanel, MessageLabel,
  // transmit row
  EraseButton, EnableTxButton, EnableTxShape, EnableTxLabel, HaltTxButton, TuneButton, TuneShape,
  TuneLabel,
  // left column and frequency block
  LevelBar, Label14, DxCallEdit, DxLabel, DxccLabel, LogButton, DialLabel, QrgEdit, TxFirstBox,
  HoldTxBox, TimeLabel, CurrentCycleLabel, Label11, TxEdit, TxUpDown, Label12, RxEdit, RxUpDown,
  TxRxButton, RxTxButton, Label13, dBEdit, dBUpDown, ShortQSOBox,
  // QSO panel
  QSOPanel, Label8, Label10, Label9, CqS1Button, CqUpDown, CqS2Button, CqS3Button, AnS1Button,
  AnS2Button, AnS3Button, GenMsgEdit, GenMsgButton, FreeMsgEdit, FreeMsgButton,
  // power
  PwrTrackBar, Label7,
  // status row
  LeveldBLabel, ModePanel, BusyPanel, CycleBgLabel, CycleLabel, CycleTextLabel, WDPanel,
  // others
  DefocusEdit,
  // the main menu's items that the engine enables and disables; the
  // "Spectrum" entry is disabled while the spectrum window is open
  MainMenu, SettingsItem, SpectrumItem,
  // the main window itself (its caption)
  MainForm,
  Count
};

constexpr size_t kControlCount = static_cast<size_t>(Ctl::Count);

// The design name of a control, e.g. "TxEdit".
const char* ControlName(Ctl c);

struct ControlState {
  std::string text;              // caption of a label, button or panel; text of an edit
  std::string hint;
  bool visible = true;
  bool enabled = true;
  bool checked = false;          // check boxes and radio buttons
  bool showHint = true;
  bool bold = false;
  std::optional<Rgb> color;      // background; unset = the control's design colour
  std::optional<Rgb> fontColor;  // unset = the design font colour
  int width = -1;                // -1 = the design width
  int position = 0;              // progress bars, track bars and up-downs
};

class MainControls {
 public:
  MainControls();

  const ControlState& Get(Ctl c) const { return states_[Index(c)]; }

  void SetText(Ctl c, const std::string& text);
  void SetHint(Ctl c, const std::string& hint);
  void SetVisible(Ctl c, bool visible);
  void SetEnabled(Ctl c, bool enabled);
  void SetChecked(Ctl c, bool checked);
  void SetShowHint(Ctl c, bool show);
  void SetBold(Ctl c, bool bold);
  void SetColor(Ctl c, std::optional<Rgb> color);
  void SetFontColor(Ctl c, std::optional<Rgb> color);
  void SetWidth(Ctl c, int width);
  void SetPosition(Ctl c, int position);

  // Without an open output device nothing may key the transmitter: while
  // blocked, EnableTxButton, TuneButton and QSOPanel are disabled and stay
  // disabled whatever tries to enable them (the decoding stage, the end of a
  // transmission, the Station dialog's follow-up). Halt TX only stops
  // things, so it is never blocked.
  void SetTransmitBlocked(bool blocked);
  bool TransmitBlocked() const { return transmitBlocked_; }
  static bool IsTransmitControl(Ctl c) {
    return c == Ctl::EnableTxButton || c == Ctl::TuneButton || c == Ctl::QSOPanel;
  }

  // Shorthands for the common cases.
  const std::string& Text(Ctl c) const { return Get(c).text; }
  bool Enabled(Ctl c) const { return Get(c).enabled; }
  bool Visible(Ctl c) const { return Get(c).visible; }
  bool Checked(Ctl c) const { return Get(c).checked; }

  // The controls changed since the last call, each once, in control order.
  std::vector<Ctl> TakeChanged();

 private:
  static size_t Index(Ctl c) { return static_cast<size_t>(c); }
  ControlState& Edit(Ctl c) {
    changed_[Index(c)] = true;
    return states_[Index(c)];
  }
  std::array<ControlState, kControlCount> states_{};
  std::array<bool, kControlCount> changed_{};
  bool transmitBlocked_ = false;
};

}  // namespace merivac
