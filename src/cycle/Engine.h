// Engine.h - the cycle engine: the 50 ms main tick with its operating
// states, the transmit cycle with its TX watchdog, and the operator's
// transmit controls (Enable TX, Halt TX, Tune, TX 1st cycle).
//
// The tick runs a fixed sequence of stages; the work inside most stages
// belongs to other subsystems and is reached through EngineServices. The
// engine models the main timer's enabled flag: the tick disables it while
// it runs and enables it again at the end, and the Qt shell drives a real
// QTimer from TimerEnabled() (or from the listener). All time comes from the
// Clock, so tests drive TimerTimer() directly with a ManualClock.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "cycle/CycleClock.h"
#include "cycle/EngineServices.h"

namespace merivac {

// The operating-state flags. The state is derived from them in this order
// of precedence: transmitting, tuning, receiving (capturing), idle. TxFirst
// is Settings::txFirst. Other subsystems (mode change, DX selection) may
// change these flags directly between ticks.
struct OperatingFlags {
  bool capturing = false;     // a cycle is in progress (recording, or its transmission)
  bool transmitting = false;  // the current cycle is a transmit cycle
  bool streaming = false;     // the TX audio of this cycle flows to the output
  bool tuning = false;        // the tune tone is on or being switched
  bool txEnabled = false;     // transmit in the next due cycles
  bool pttOn = false;         // PTT was keyed by a transmit cycle
};

// The transmit cycle's state and the tune timing.
struct TransmitState {
  std::string txMessage;      // the message of the current or last transmit cycle
  std::string prevTxMessage;  // the message of the transmit cycle before
  TxSymbolArray txSymbols{};  // element 0 is symbol 1
  uint8_t symbolIndex = 0;    // next symbol to synthesise, 1..86
  double watchdogExpiry = 0;  // PC clock when the watchdog trips, 0 = not running
  double tuneStartTime = 0;   // PC clock when Tune was clicked, 0 = none
  double tuneStopTime = 0;    // PC clock when tuning was stopped, 0 = none
};

class Engine {
 public:
  Engine(Clock& clock, Settings& settings, MainControls& controls, DebugLog& log, UiServices& ui,
         const EngineServices& services = {});
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Replaces the services; null members get their defaults.
  void SetServices(const EngineServices& services);
  // The services in use (defaults filled in where none was given).
  const EngineServices& Services() const { return services_; }

  // ---- start-up -----------------------------------------------------------
  // Starts the cycle clock from the PC clock t0 noted at the beginning of
  // activation and sets CurrentCycleLabel from the parity of that moment.
  void StartCycleClock(double localT0);
  // The start-up error text that the first tick shows as a WARNING notice.
  void AppendStartupError(const std::string& sentence);  // adds sentence + CR LF
  void SetStartupErrorText(const std::string& text) { startupError_ = text; }
  const std::string& StartupErrorText() const { return startupError_; }
  // The last start-up step: sets the tick-timing time stamps to now and
  // enables the timer.
  void StartTimer();

  // ---- the main timer -----------------------------------------------------
  bool TimerEnabled() const { return timerEnabled_; }
  void SetTimerEnabled(bool enabled);
  // Called whenever the enabled flag changes (the shell starts or stops its
  // QTimer). The tick toggles it twice per run.
  void SetTimerListener(std::function<void(bool)> listener) {
    timerListener_ = std::move(listener);
  }

  // One tick of the main timer.
  void TimerTimer();

  // ---- operator's handlers ------------------------------------------------
  void EnableTxButtonClick();
  void EnableTxLabelClick();
  void HaltTxButtonClick();
  void TuneButtonClick();
  void TuneLabelClick();
  void TxFirstBoxChange();
  void WDPanelClick();
  void TimeLabelClick();
  // TX enabled after a DX selection: like the Enable TX button, but the
  // Settings menu item keeps its state. The caller resets the watchdog.
  void EnableTxFromSelection();
  // The mode changed (Mode dialog, or a decode of another sub-mode): a
  // transmission or tune tone in progress ends as Halt TX ends it; capture
  // and TX enable are cleared, the Enable TX button is shown and the change
  // is logged. The next tick computes the cycle for the new length.
  void ModeChanged();
  // The Audio dialog closed. reopened: its OK closed and reopened the
  // devices, so a transmission or tune tone in progress lost its stream and
  // ends. Without an output device TX is disarmed. Controls that a running
  // transmission keeps locked stay locked, whatever the dialog's follow-up
  // enabled.
  void AudioDevicesChanged(bool reopened);

  // ---- watchdog -----------------------------------------------------------
  void ResetWatchdog();
  void ShowWatchdog(uint16_t seconds);

  // ---- state for the other subsystems -------------------------------------
  OperatingFlags& Flags() { return flags_; }
  const OperatingFlags& Flags() const { return flags_; }
  bool TxFirst() const { return settings_.txFirst; }
  // AlertRaised: cleared at the start of every tick; the decode dispatch
  // sets it so that only the first alert of a tick switches the line on.
  bool& AlertRaised() { return alertRaised_; }
  TransmitState& Tx() { return tx_; }
  const TransmitState& Tx() const { return tx_; }
  const std::string& TxMessage() const { return tx_.txMessage; }
  CycleClock& Cycle() { return cycle_; }
  const CycleClock& Cycle() const { return cycle_; }
  // UTC of the PC clock now.
  double UtcNow() const;
  // The values computed by the current (or last) tick.
  double TickUtc() const { return utc_; }
  double TickSecondsIntoCycle() const { return secondsIntoCycle_; }
  const double& LastTickTime() const { return lastTickTime_; }
  int BusyDisplayed() const { return busyDisplayed_; }
  // Refreshes the clock label from the PC clock (also used after decoding passes).
  void UpdateTimeLabel();

 private:
  // Stages of the tick, in order.
  void RunStages();
  void StateStage();
  void TransmitStage();
  void TuningStage();
  void ReleasePttWhenDue();
  void ReceivingStage();
  void DecodingSequence();
  void IdleStage();
  void NewCycleStage();
  void StartTransmitCycle();
  void LevelClockWatchdogStage();
  void WatchdogCheck();
  void PskKeepAlive();
  void DelayedFieldCommits();
  void BusyMeasure(double startElapsed);
  void UdpKeepAlive();

  void EndTransmission();
  // Ends whatever is being sent (transmission, tune tone) as Halt TX does;
  // tag names the cause in the "Audio input resumed" log line.
  void StopSending(const char* tag);
  void NotTransmitted();
  void SetTxLockedEnabled(bool enabled);
  void ShowEnableTxButton();
  void ShowEnableTxShape();
  void PauseInput(const char* tag);
  void ResumeInput(const char* tag);
  uint32_t AvailableInputBytes();
  // Writes one debug-log entry joined from its parts (texts and integers);
  // the text is built only while the log is being written.
  template <typename... Parts>
  void Log(const Parts&... parts) {
    if (!log_.Enabled()) return;
    std::string text;
    (AppendPart(text, parts), ...);
    log_.Write(text, 0);
  }
  static void AppendPart(std::string& s, const char* p) { s += p; }
  static void AppendPart(std::string& s, const std::string& p) { s += p; }
  template <typename T>
  requires std::is_integral_v<T>
  static void AppendPart(std::string& s, T value) { s += std::to_string(value); }
  // Milliseconds since the start of this tick, rounded.
  int64_t MsSinceTickStart() const;

  Clock& clock_;
  Settings& settings_;
  MainControls& controls_;
  DebugLog& log_;
  UiServices& ui_;

  EngineServices services_;
  FixedRecordInput defaultInput_;
  DiscardingCaptureStage defaultCapture_{defaultInput_};
  NullTxOutput defaultOutput_;
  NullCycleDecoder defaultDecoder_;
  NullMessageEncoder defaultEncoder_;
  NullRadioLines defaultRadio_;
  NullTxLineSink defaultTxLine_;
  NullFrequencyFields defaultFrequencies_;
  InactiveReportingLink defaultPsk_;
  InactiveUdpLink defaultUdp_;

  OperatingFlags flags_;
  TransmitState tx_;
  CycleClock cycle_;

  bool timerEnabled_ = false;
  bool inStages_ = false;  // between disabling and enabling the timer in a tick
  std::function<void(bool)> timerListener_;
  std::string startupError_;

  // per tick
  double lastTickTime_ = 0;
  double utc_ = 0;
  double secondsIntoCycle_ = 0;
  uint8_t tickCount_ = 0;
  bool alertRaised_ = false;
  bool watchdogTripped_ = false;
  InputChannel* input_ = nullptr;

  std::array<int32_t, 10> busyHistory_{};
  int busyIndex_ = 0;
  int busyDisplayed_ = 0;
};

}  // namespace merivac
