// TxControls.cpp - the operator's transmit controls: Enable TX and its red
// indicator, Halt TX, Tune and its indicator, "TX 1st cycle", the watchdog
// panel and the clock label. They run between ticks and change the
// operating-state flags directly.
#include "common/Rgb.h"
#include "cycle/Engine.h"

namespace merivac {

void Engine::ShowEnableTxButton() {
  controls_.SetVisible(Ctl::EnableTxButton, true);
  controls_.SetVisible(Ctl::EnableTxShape, false);
  controls_.SetVisible(Ctl::EnableTxLabel, false);
}

void Engine::ShowEnableTxShape() {
  controls_.SetVisible(Ctl::EnableTxButton, false);
  controls_.SetVisible(Ctl::EnableTxShape, true);
  controls_.SetVisible(Ctl::EnableTxLabel, true);
}

void Engine::EnableTxButtonClick() {
  // Without an output device nothing may be keyed (the button is disabled
  // then; this guards every other way of arming TX too).
  if (flags_.txEnabled || !services_.output->HasOutput()) return;
  flags_.txEnabled = true;
  ShowEnableTxShape();
  controls_.SetEnabled(Ctl::SettingsItem, false);
  if (settings_.watchdogMinutes != 0) ResetWatchdog();
}

void Engine::EnableTxFromSelection() {
  if (flags_.txEnabled || !services_.output->HasOutput()) return;
  flags_.txEnabled = true;
  ShowEnableTxShape();
}

void Engine::ModeChanged() {
  if (flags_.transmitting || flags_.tuning) StopSending("Mode changed");
  // A transmission that has just ended keeps PTT until the TX delay has
  // passed, counted in the cycle; in a longer new cycle that release would
  // come minutes late, so it happens now.
  if (flags_.pttOn) {
    services_.radio->SetPtt(false);
    flags_.pttOn = false;
    Log("PTT released");
  }
  flags_.capturing = false;
  flags_.txEnabled = false;
  ShowEnableTxButton();
  Log("Mode changed to JT9-", settings_.mode);
}

void Engine::AudioDevicesChanged(bool reopened) {
  if (reopened && (flags_.transmitting || flags_.tuning)) StopSending("Audio devices changed");
  if (!services_.output->HasOutput() && flags_.txEnabled) {
    flags_.txEnabled = false;
    ShowEnableTxButton();
  }
  if (flags_.transmitting) SetTxLockedEnabled(false);
}

void Engine::EnableTxLabelClick() {
  if (!flags_.txEnabled) return;
  // A transmission in progress goes on to its end.
  flags_.txEnabled = false;
  ShowEnableTxButton();
  controls_.SetEnabled(Ctl::SettingsItem, true);
}

void Engine::TxFirstBoxChange() { settings_.txFirst = controls_.Checked(Ctl::TxFirstBox); }

// Ends a transmission in progress and the tune tone: the output is cleared,
// PTT released at once, the TX-locked controls, the Tune button and the
// Settings menu given back, pending tune times dropped and the input (paused
// while sending) resumed. Halt TX, the watchdog and a mode change all end
// sending here, so none of them can leave PTT keyed, the Tune shape shown or
// the next receive cycle without input.
void Engine::StopSending(const char* tag) {
  if (flags_.transmitting) {
    flags_.transmitting = false;
    Log("TX halted");
    services_.output->ClearOutput();
    services_.radio->SetPtt(false);
    Log("PTT released");
    flags_.capturing = false;  // the rest of the cycle is neither recorded nor decoded
    flags_.streaming = false;
    // The Settings menu stays disabled while TX is still armed by the
    // Enable TX button (a mode taken from a decode keeps it armed).
    if (!flags_.txEnabled) controls_.SetEnabled(Ctl::SettingsItem, true);
    SetTxLockedEnabled(true);
  }
  if (flags_.tuning) {
    Log("TX halted");
    services_.output->ClearOutput();
    flags_.tuning = false;
    // A pending tune start or stop must not carry over into the next Tune.
    tx_.tuneStartTime = 0;
    tx_.tuneStopTime = 0;
    services_.radio->SetPtt(false);
    Log("PTT released");
    controls_.SetVisible(Ctl::TuneButton, true);
    controls_.SetVisible(Ctl::TuneShape, false);
    controls_.SetVisible(Ctl::TuneLabel, false);
    controls_.SetEnabled(Ctl::EnableTxButton, true);
    if (!flags_.txEnabled) controls_.SetEnabled(Ctl::SettingsItem, true);
    controls_.SetEnabled(Ctl::BandMemo, true);
    controls_.SetEnabled(Ctl::RxMemo, true);
  }
  ResumeInput(tag);
}

void Engine::HaltTxButtonClick() {
  if (flags_.txEnabled) {
    flags_.txEnabled = false;
    ShowEnableTxButton();
  }
  StopSending("TX halted");
  ShowWatchdog(static_cast<uint16_t>(settings_.watchdogMinutes * 60));
  tx_.watchdogExpiry = 0;
  controls_.SetEnabled(Ctl::SettingsItem, true);
}

void Engine::TuneButtonClick() {
  // Never during a transmission (the button is locked then), and never
  // without an output device.
  if (flags_.transmitting || !services_.output->HasOutput()) return;
  if (!flags_.tuning) {
    flags_.tuning = true;
    services_.output->StartTune();
    Log("Tuning started");
    services_.radio->SetPtt(true);
    Log("PTT activated");
    tx_.tuneStartTime = clock_.Now();
    tx_.tuneStopTime = 0;  // a stop still pending from a halted tune no longer applies
    controls_.SetVisible(Ctl::TuneButton, false);
    controls_.SetVisible(Ctl::TuneShape, true);
    controls_.SetVisible(Ctl::TuneLabel, true);
    controls_.SetEnabled(Ctl::EnableTxButton, false);
    controls_.SetEnabled(Ctl::SettingsItem, false);
    flags_.capturing = false;  // a receive cycle in progress is abandoned
    PauseInput("Tune");
  }
  if (flags_.txEnabled) {
    flags_.txEnabled = false;
    ShowEnableTxButton();
  }
}

void Engine::TuneLabelClick() {
  if (!flags_.tuning) return;
  Log("Tuning stopped");
  services_.output->ClearOutput();
  ResumeInput("Tune");
  tx_.tuneStopTime = clock_.Now();  // PTT falls one TX delay later (tuning stage)
  controls_.SetVisible(Ctl::TuneButton, true);
  controls_.SetVisible(Ctl::TuneShape, false);
  controls_.SetVisible(Ctl::TuneLabel, false);
  controls_.SetEnabled(Ctl::EnableTxButton, true);
  controls_.SetEnabled(Ctl::SettingsItem, true);
}

void Engine::WDPanelClick() { ResetWatchdog(); }

void Engine::TimeLabelClick() {
  controls_.SetColor(Ctl::TimeLabel, colors::kBlack);
  services_.radio->AlertLineOff();
}

}  // namespace merivac
