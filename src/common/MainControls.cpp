// MainControls.cpp - the control model and its design-time captions.
#include "common/MainControls.h"

namespace merivac {
namespace {

constexpr std::array<const char*, kControlCount> kNames = {
    "Label3", "Label1", "Label2", "BandMemo", "Label6", "Label4", "Label5", "RxMemo",
    "MessagePanel", "MessageLabel", "EraseButton", "EnableTxButton", "EnableTxShape",
    "EnableTxLabel", "HaltTxButton", "TuneButton", "TuneShape", "TuneLabel", "LevelBar", "Label14",
    "DxCallEdit", "DxLabel", "DxccLabel", "LogButton", "DialLabel", "QrgEdit", "TxFirstBox",
    "HoldTxBox", "TimeLabel", "CurrentCycleLabel", "Label11", "TxEdit", "TxUpDown", "Label12",
    "RxEdit", "RxUpDown", "TxRxButton", "RxTxButton", "Label13", "dBEdit", "dBUpDown",
    "ShortQSOBox", "QSOPanel", "Label8", "Label10", "Label9", "CqS1Button", "CqUpDown",
    "CqS2Button", "CqS3Button", "AnS1Button", "AnS2Button", "AnS3Button", "GenMsgEdit",
    "GenMsgButton", "FreeMsgEdit", "FreeMsgButton", "PwrTrackBar", "Label7", "LeveldBLabel",
    "ModePanel", "BusyPanel", "CycleBgLabel", "CycleLabel", "CycleTextLabel", "WDPanel",
    "DefocusEdit", "MainMenu", "SettingsItem", "SpectrumItem", "MainForm"};

}  // namespace

const char* ControlName(Ctl c) { return kNames[static_cast<size_t>(c)]; }

MainControls::MainControls() {
  // Design-time state: what the window shows before start-up touches it.
  struct Design {
    Ctl c;
    const char* text;
  };
  static const Design kCaptions[] = {
      {Ctl::Label3, "Band Activity"},
      {Ctl::Label1, "UTC   dB  DT  Freq M  Message"},
      {Ctl::Label6, "RX Frequency"},
      {Ctl::Label4, "UTC   dB  DT  Freq M  Message"},
      {Ctl::EraseButton, "Erase"},
      {Ctl::EnableTxButton, "Enable TX"},
      {Ctl::EnableTxLabel, "Enable TX"},
      {Ctl::HaltTxButton, "Halt TX"},
      {Ctl::TuneButton, "Tune"},
      {Ctl::TuneLabel, "Tune"},
      {Ctl::Label14, "DX Call"},
      {Ctl::LogButton, "Log"},
      {Ctl::DialLabel, "Dial (Hz)"},
      {Ctl::TxFirstBox, "TX 1st cycle"},
      {Ctl::HoldTxBox, "Hold TX Freq"},
      {Ctl::CurrentCycleLabel, "Current cycle: 1st"},
      {Ctl::Label11, "TX (Hz)"},
      {Ctl::Label12, "RX (Hz)"},
      {Ctl::TxRxButton, "TX\u2190RX"},
      {Ctl::RxTxButton, "RX\u2190TX"},
      {Ctl::Label13, "Report (dB)"},
      {Ctl::ShortQSOBox, "Short QSO format"},
      {Ctl::Label8, "Call CQ"},
      {Ctl::Label9, "Answer CQ"},
      {Ctl::CqS1Button, "CQ"},
      {Ctl::CqS2Button, "dB / R+dB"},
      {Ctl::CqS3Button, "RRR / 73"},
      {Ctl::AnS1Button, "Grid /dB"},
      {Ctl::AnS2Button, "R+dB / RRR"},
      {Ctl::AnS3Button, "73"},
      {Ctl::GenMsgButton, "Gen"},
      {Ctl::FreeMsgButton, "Free"},
      {Ctl::Label7, "PWR"},
      {Ctl::TimeLabel, "0000 Jan 00\r\n00:00:00"},
      {Ctl::SettingsItem, "Settings"},
  };
  for (const Design& d : kCaptions) states_[Index(d.c)].text = d.text;

  // The first/second-cycle hint shared by TxFirstBox and CurrentCycleLabel.
  const std::string cycleHint =
      "1st cycles:\r\n"
      "JT9-1 : 00\u219201, 02\u219203 ... 58\u219259\r\n"
      "JT9-2 : 00\u219202, 04\u219206 ... 56\u219258\r\n"
      "JT9-5 : 00\u219205, 10\u219215 ... 50\u219255\r\n"
      "JT9-10 : 00\u219210, 20\u219230, 40\u219250\r\n"
      "2nd cycles:\r\n"
      "JT9-1 : 01\u219202, 03\u219204 ... 59\u219200\r\n"
      "JT9-2 : 02\u219204, 06\u219208 ... 58\u219200\r\n"
      "JT9-5 : 05\u219210, 15\u219220 ... 55\u219200\r\n"
      "JT9-10 : 10\u219220, 30\u219240, 50\u219200";
  states_[Index(Ctl::TxFirstBox)].hint = cycleHint;
  states_[Index(Ctl::CurrentCycleLabel)].hint = cycleHint;
  states_[Index(Ctl::EraseButton)].hint =
      "Click to clear RX Frequency window\r\nDouble-click to clear Band Activity window";
  states_[Index(Ctl::LevelBar)].hint = "Audio input level (peak)";
  states_[Index(Ctl::LogButton)].hint =
      "Clicking on Log will:\r\n- Add this callsign to the list of worked stations \r\n- Eventually "
      "update the worked DXCC and/or US States lists\r\nBut it will NOT add anything to your "
      "logbook!";
  states_[Index(Ctl::dBEdit)].hint = "-50 .. +49";
  states_[Index(Ctl::ShortQSOBox)].hint = "omit grid exchange";
  states_[Index(Ctl::FreeMsgEdit)].hint =
      "maximum 13 characters, allowed are:\r\nA...Z   0...9   space   -   +   <   >   .   ?   /   "
      "@   #";
  states_[Index(Ctl::PwrTrackBar)].hint = "Adjust audio output level";
  states_[Index(Ctl::WDPanel)].hint = "Click to reset watchdog timer";
  states_[Index(Ctl::SettingsItem)].hint = "Setting cannot be changed while TX is enabled";
  states_[Index(Ctl::TxEdit)].hint = "400 .. 1400";
  states_[Index(Ctl::RxEdit)].hint = "400 .. 1400";

  states_[Index(Ctl::LogButton)].enabled = false;
  states_[Index(Ctl::MessagePanel)].visible = false;
  states_[Index(Ctl::EnableTxShape)].visible = false;
  states_[Index(Ctl::EnableTxLabel)].visible = false;
  states_[Index(Ctl::TuneShape)].visible = false;
  states_[Index(Ctl::TuneLabel)].visible = false;
  states_[Index(Ctl::CqUpDown)].position = 7;
  states_[Index(Ctl::ModePanel)].color = colors::kMoneyGreen;
  states_[Index(Ctl::BusyPanel)].color = colors::kMoneyGreen;
  states_[Index(Ctl::WDPanel)].color = colors::kMoneyGreen;
  states_[Index(Ctl::CycleLabel)].color = colors::kCycleIdle;
  states_[Index(Ctl::TimeLabel)].color = colors::kBlack;
  changed_.fill(true);
}

void MainControls::SetText(Ctl c, const std::string& text) {
  if (Get(c).text != text) Edit(c).text = text;
}
void MainControls::SetHint(Ctl c, const std::string& hint) {
  if (Get(c).hint != hint) Edit(c).hint = hint;
}
void MainControls::SetVisible(Ctl c, bool visible) {
  if (Get(c).visible != visible) Edit(c).visible = visible;
}
void MainControls::SetEnabled(Ctl c, bool enabled) {
  if (enabled && transmitBlocked_ && IsTransmitControl(c)) return;
  if (Get(c).enabled != enabled) Edit(c).enabled = enabled;
}

void MainControls::SetTransmitBlocked(bool blocked) {
  transmitBlocked_ = blocked;
  if (!blocked) return;
  for (Ctl c : {Ctl::EnableTxButton, Ctl::TuneButton, Ctl::QSOPanel}) SetEnabled(c, false);
}
void MainControls::SetChecked(Ctl c, bool checked) {
  if (Get(c).checked != checked) Edit(c).checked = checked;
}
void MainControls::SetShowHint(Ctl c, bool show) {
  if (Get(c).showHint != show) Edit(c).showHint = show;
}
void MainControls::SetBold(Ctl c, bool bold) {
  if (Get(c).bold != bold) Edit(c).bold = bold;
}
void MainControls::SetColor(Ctl c, std::optional<Rgb> color) {
  if (Get(c).color != color) Edit(c).color = color;
}
void MainControls::SetFontColor(Ctl c, std::optional<Rgb> color) {
  if (Get(c).fontColor != color) Edit(c).fontColor = color;
}
void MainControls::SetWidth(Ctl c, int width) {
  if (Get(c).width != width) Edit(c).width = width;
}
void MainControls::SetPosition(Ctl c, int position) {
  if (Get(c).position != position) Edit(c).position = position;
}

std::vector<Ctl> MainControls::TakeChanged() {
  std::vector<Ctl> out;
  for (size_t i = 0; i < kControlCount; ++i) {
    if (changed_[i]) out.push_back(static_cast<Ctl>(i));
    changed_[i] = false;
  }
  return out;
}

}  // namespace merivac
