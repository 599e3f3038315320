// Station.cpp - creating, wiring and driving the program-wide objects.
#include "shell/Station.h"

#include "common/Notice.h"
#include "shell/Version.h"

namespace merivac {

Station::Station(Clock* clock)
    : clock_(clock != nullptr ? clock : &systemClock_), log_(*clock_, settings_.saveDebug) {
  engine_ = std::make_unique<Engine>(*clock_, settings_, controls_, log_, ui_);
}

Station::~Station() { Close(); }

bool Station::Create(const std::string& dir) {
  controls_.SetText(Ctl::MainForm, MainCaption());
  const bool ok = folder_.Setup(log_, dir);
  ConnectHooks();
  return ok;
}

void Station::ConnectHooks() {
  Engine& e = *engine_;
  auto on = [this](Ctl c, Ev ev, std::function<void()> handler) {
    hooks_.On(c, ev, [handler = std::move(handler)](UiEvent&) { handler(); });
  };
  on(Ctl::EnableTxButton, Ev::Click, [&e] { e.EnableTxButtonClick(); });
  on(Ctl::EnableTxLabel, Ev::Click, [&e] { e.EnableTxLabelClick(); });
  on(Ctl::HaltTxButton, Ev::Click, [&e] { e.HaltTxButtonClick(); });
  on(Ctl::TuneButton, Ev::Click, [&e] { e.TuneButtonClick(); });
  on(Ctl::TuneLabel, Ev::Click, [&e] { e.TuneLabelClick(); });
  on(Ctl::TxFirstBox, Ev::Change, [&e] { e.TxFirstBoxChange(); });
  on(Ctl::WDPanel, Ev::Click, [&e] { e.WDPanelClick(); });
  on(Ctl::TimeLabel, Ev::Click, [&e] { e.TimeLabelClick(); });
  on(Ctl::MessagePanel, Ev::Click, [this] { MessagePanelClick(controls_); });
  on(Ctl::MessageLabel, Ev::Click, [this] { MessagePanelClick(controls_); });
  hooks_.OnMenu(MenuItem::MustRead, [this] { MustReadItemClick(); });
  hooks_.formClose = [this] { Close(); };
}

void Station::MustReadItemClick() {
  static const char* const kText =
      "Merivac is a station program for the slow JT9 sub-modes on LF and MF.\r\n"
      "\r\n"
      "Acknowledgements:\r\n"
      "- The JT9 mode and the decoder jt9 and encoder jt9code used here come from WSJT-X by "
      "Joe Taylor, K1JT, and the WSJT development group.\r\n"
      "- Sound card input and output use the PortAudio library.\r\n"
      "- The spectrum is computed with the program's own FFT code.\r\n"
      "- Spotting uses the PSK Reporter service and its protocol by Philip Gladstone, N1DQ.\r\n"
      "- Countries are looked up in the CTY.DAT country file by Jim Reisert, AD1C.\r\n"
      "\r\n"
      "Terms of use: Merivac may be used, copied and passed on free of charge. Transmit only "
      "where your licence allows it, on the frequencies and with the power it allows.\r\n"
      "\r\n"
      "Disclaimer: Merivac comes without any warranty. You use it at your own risk; the authors "
      "are not liable for any damage to equipment, data or anything else.\r\n"
      "\r\n"
      "Contact: the Merivac team, through the project's issue tracker.";
  ui_.ShowMessageDialog(kText, NoticeKind::Information);
}

void Station::ClearPlaceholders() {
  bandMemo_.Clear();
  rxMemo_.Clear();
  for (Ctl c : {Ctl::LeveldBLabel, Ctl::ModePanel, Ctl::BusyPanel, Ctl::CycleTextLabel,
                Ctl::WDPanel, Ctl::DxLabel, Ctl::DxccLabel}) {
    controls_.SetText(c, "");
  }
  controls_.SetWidth(Ctl::CycleLabel, 0);
}

void Station::Activate() {
  if (activated_) return;
  activated_ = true;
  engine_->SetTimerEnabled(false);
  const double t0 = clock_->Now();
  ClearPlaceholders();
  if (!folder_.Error().empty()) {
    // One sentence per line; the first tick shows them as a WARNING notice.
    std::string errors = folder_.Error();
    size_t start = 0;
    while (start < errors.size()) {
      size_t end = errors.find('\n', start);
      if (end == std::string::npos) end = errors.size();
      engine_->AppendStartupError(errors.substr(start, end - start));
      start = end + 1;
    }
  }
  engine_->StartCycleClock(t0);
  // The fields that show settings (the settings file is read before this
  // once it exists): frequencies, output level, dial frequency, mode.
  controls_.SetText(Ctl::TxEdit, std::to_string(settings_.txFreq));
  controls_.SetText(Ctl::RxEdit, std::to_string(settings_.rxFreq));
  controls_.SetPosition(Ctl::PwrTrackBar, settings_.pwr);
  controls_.SetColor(Ctl::QrgEdit, colors::kRed);
  if (settings_.dialFreq > 0) {
    controls_.SetText(Ctl::QrgEdit, std::to_string(settings_.dialFreq));
    controls_.SetColor(Ctl::QrgEdit, colors::kInfoBackground);
  }
  controls_.SetText(Ctl::ModePanel, "JT9-" + std::to_string(settings_.mode));
  engine_->ShowWatchdog(static_cast<uint16_t>(settings_.watchdogMinutes * 60));
  controls_.SetEnabled(Ctl::WDPanel, settings_.watchdogMinutes != 0);
  log_.Write("**********  Merivac launched  **********\r\nActivating application done");
  engine_->StartTimer();
}

void Station::Tick() {
  if (!engine_->TimerEnabled()) return;
  engine_->TimerTimer();
}

void Station::Close() {
  if (closed_) return;
  closed_ = true;
  engine_->SetTimerEnabled(false);
  log_.Write("********** Merivac terminated **********");
  folder_.Close();
  log_.Close();
}

}  // namespace merivac
