// Engine.cpp - the main tick: its stages in order, the operating states,
// the decoding sequence around the decoder bridge, the level bar, the busy
// measure and the keep-alives.
#include "cycle/Engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "common/Level.h"
#include "common/Mode.h"
#include "common/Notice.h"
#include "common/Rgb.h"

namespace merivac {
namespace {

constexpr double kKeepAliveDays = 0.00011574074;  // 10 s
constexpr double kUdpKeepAliveDays = 0.00011574;  // about 10 s
constexpr double kFieldCommitDays = 0.000057870;  // 5 s
constexpr Rgb kLevelLow{255, 127, 0};
constexpr Rgb kBusyOrange{255, 165, 0};

std::string ThreeDecimals(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", value);
  return buf;
}

}  // namespace

Engine::Engine(Clock& clock, Settings& settings, MainControls& controls, DebugLog& log,
               UiServices& ui, const EngineServices& services)
    : clock_(clock), settings_(settings), controls_(controls), log_(log), ui_(ui) {
  SetServices(services);
}

void Engine::SetServices(const EngineServices& s) {
  services_.input = s.input ? s.input : &defaultInput_;
  // The default capture chain reads from whatever input is wired.
  if (s.capture) {
    services_.capture = s.capture;
  } else {
    defaultCapture_.SetInput(*services_.input);
    services_.capture = &defaultCapture_;
  }
  services_.output = s.output ? s.output : &defaultOutput_;
  services_.decoder = s.decoder ? s.decoder : &defaultDecoder_;
  services_.encoder = s.encoder ? s.encoder : &defaultEncoder_;
  services_.radio = s.radio ? s.radio : &defaultRadio_;
  services_.txLine = s.txLine ? s.txLine : &defaultTxLine_;
  services_.frequencies = s.frequencies ? s.frequencies : &defaultFrequencies_;
  services_.pskReporter = s.pskReporter ? s.pskReporter : &defaultPsk_;
  services_.udp = s.udp ? s.udp : &defaultUdp_;
}

// ---- start-up and the timer ------------------------------------------------

void Engine::StartCycleClock(double localT0) {
  const double utc = UtcFromLocal(localT0, settings_.utcOffsetHours);
  cycle_.Start(utc, settings_.mode);
  controls_.SetText(Ctl::CurrentCycleLabel, CurrentCycleText(CycleParity(utc, settings_.mode)));
}

void Engine::AppendStartupError(const std::string& sentence) {
  startupError_ += sentence;
  startupError_ += "\r\n";
}

void Engine::StartTimer() {
  lastTickTime_ = clock_.Now();
  SetTimerEnabled(true);
}

void Engine::SetTimerEnabled(bool enabled) {
  if (timerEnabled_ == enabled) return;
  timerEnabled_ = enabled;
  if (timerListener_) timerListener_(enabled);
}

double Engine::UtcNow() const { return UtcFromLocal(clock_.Now(), settings_.utcOffsetHours); }

void Engine::UpdateTimeLabel() { controls_.SetText(Ctl::TimeLabel, TimeLabelText(UtcNow())); }

int64_t Engine::MsSinceTickStart() const {
  return std::llround((clock_.Now() - lastTickTime_) * kMsPerDay);
}

// ---- the tick --------------------------------------------------------------

void Engine::TimerTimer() {
  // Ticks never overlap: a timer event that arrives while a stage lets the
  // interface process events (decoding) finds the timer disabled.
  if (inStages_) return;
  const double startElapsed = clock_.Elapsed();
  const double now = clock_.Now();
  Log("Idle (", std::llround((now - lastTickTime_) * kMsPerDay), "ms)");
  Log("");
  lastTickTime_ = now;
  alertRaised_ = false;
  SetTimerEnabled(false);
  inStages_ = true;

  // A failing stage must not stop the engine: the error is logged, the rest
  // of this tick's stages are skipped and the timer runs on.
  try {
    RunStages();
  } catch (const std::exception& e) {
    Log("Error in timer routine: ", std::string(e.what()));
  } catch (...) {
    Log("Error in timer routine: unknown error");
  }

  BusyMeasure(startElapsed);
  inStages_ = false;
  SetTimerEnabled(true);
  Log("Timer routine ended (", MsSinceTickStart(), "ms)");
  Log("");

  try {
    const bool tripped = watchdogTripped_;
    if (tripped) {
      services_.radio->SetPtt(false);
      Log("PTT released");
      ui_.ShowMessageDialog("TX watchdog timer tripped", NoticeKind::Warning);
    }
    UdpKeepAlive();
  } catch (const std::exception& e) {
    Log("Error in timer routine: ", std::string(e.what()));
  } catch (...) {
    Log("Error in timer routine: unknown error");
  }
  lastTickTime_ = clock_.Now();
}

void Engine::RunStages() {
  if (!startupError_.empty()) {
    ShowNotice(controls_, startupError_, static_cast<int>(NoticeKind::Warning));
    startupError_.clear();
  }
  Log("Timer routine started");
  watchdogTripped_ = false;

  const uint32_t mode = settings_.mode;
  utc_ = UtcNow();
  cycle_.UpdateCycleStartMinute(utc_, mode);
  tickCount_ += 1;

  if (services_.input->RecordChannel() == nullptr) {
    Log("Soundcard input NOT ACTIVE");
  } else {
    Log("Soundcard input active");
    secondsIntoCycle_ = SecondsIntoCycle(utc_, mode);
    ShowCycleStatus(controls_,
                    CycleStatusInput{secondsIntoCycle_, mode, flags_.capturing, flags_.transmitting,
                                     flags_.pttOn, flags_.tuning, &tx_.txMessage});
    StateStage();
    NewCycleStage();
    cycle_.prevSecondsIntoCycle = secondsIntoCycle_;
  }

  if (tickCount_ >= 5) LevelClockWatchdogStage();
  PskKeepAlive();
  DelayedFieldCommits();
}

void Engine::StateStage() {
  if (flags_.transmitting) {
    TransmitStage();
    return;
  }
  Log("Receiving, tuning or idle");
  if (flags_.tuning) {
    TuningStage();
    return;
  }
  Log("Receiving or idle");
  ReleasePttWhenDue();
  if (flags_.capturing) {
    ReceivingStage();
  } else {
    IdleStage();
  }
}

void Engine::ReleasePttWhenDue() {
  const double due = TransmissionSeconds(settings_.mode) + 1 + settings_.txDelayMs / 1000.0;
  if (flags_.pttOn && secondsIntoCycle_ > due) {
    services_.radio->SetPtt(false);
    Log("PTT released [RX or idle]");
    flags_.pttOn = false;
  }
}

void Engine::TuningStage() {
  Log("Tuning");
  const uint32_t n = services_.capture->FlushInput();
  Log("Clear input buffer (", n, ") [Tuning]");
  if (tx_.tuneStartTime == 0 && tx_.tuneStopTime == 0) {
    services_.output->FillTuneOutput();
    return;
  }
  Log("Tune start or stop in progress [Tuning]");
  const double now = clock_.Now();
  const double delay = settings_.txDelayMs / 1000.0;
  if (tx_.tuneStartTime > 0 && (now - tx_.tuneStartTime) * kSecondsPerDay > delay) {
    tx_.tuneStartTime = 0;  // the tone starts at the next tick
  }
  if (tx_.tuneStopTime > 0 && (now - tx_.tuneStopTime) * kSecondsPerDay > delay) {
    tx_.tuneStopTime = 0;
    services_.radio->SetPtt(false);
    Log("PTT released [Tuning]");
    flags_.tuning = false;
  }
}

void Engine::ReceivingStage() {
  Log("Capturing active [RX]");
  if (!services_.capture->ProcessReceiveInput()) {
    // The input device changed: the rest of this cycle is idle.
    flags_.capturing = false;
    return;
  }
  if (secondsIntoCycle_ > DecodeStartSeconds(settings_.mode)) DecodingSequence();
}

void Engine::DecodingSequence() {
  const double start = clock_.Now();
  Log("Decoding started [RX]");
  PauseInput("RX");
  controls_.SetEnabled(Ctl::TuneButton, true);
  controls_.SetEnabled(Ctl::ModePanel, true);
  controls_.SetEnabled(Ctl::MainMenu, true);
  controls_.SetEnabled(Ctl::TxRxButton, true);
  int decoded = 0;
  try {
    decoded = services_.decoder->DecodeCycle();
  } catch (...) {
    // Do not leave the input paused and the cycle "capturing": the next
    // cycle must start normally.
    flags_.capturing = false;
    ResumeInput("RX");
    throw;
  }
  flags_.capturing = false;
  ResumeInput("RX");
  Log("Decoding ended (", ThreeDecimals((clock_.Now() - start) * kSecondsPerDay), " s - ", decoded,
      " msg decoded) [RX]");
}

void Engine::IdleStage() {
  Log("Capturing not active [Idle]");
  services_.capture->ProcessIdleInput();
}

void Engine::NewCycleStage() {
  if (flags_.capturing || flags_.tuning) return;
  if (!IsNewCycle(secondsIntoCycle_, cycle_.prevSecondsIntoCycle)) return;
  log_.Write("New cycle started", 200);
  const int parity = CycleParity(utc_, settings_.mode);
  controls_.SetText(Ctl::CurrentCycleLabel, CurrentCycleText(parity));
  flags_.transmitting = false;
  if (flags_.txEnabled &&
      ((settings_.txFirst && parity == 1) || (!settings_.txFirst && parity == 2))) {
    flags_.transmitting = true;
  }
  if (flags_.transmitting) StartTransmitCycle();
  flags_.capturing = true;
  services_.capture->StartCycleCapture();
}

void Engine::LevelClockWatchdogStage() {
  Log("Audio level bar updated");
  const int level = LevelDb(services_.capture->InputPeak());
  controls_.SetPosition(Ctl::LevelBar, level);
  controls_.SetText(Ctl::LeveldBLabel, std::to_string(level) + "dB");
  if (level <= 25) {
    controls_.SetFontColor(Ctl::LeveldBLabel, kLevelLow);
    controls_.SetHint(Ctl::LeveldBLabel, "low audio input level");
    controls_.SetShowHint(Ctl::LeveldBLabel, true);
  } else if (level >= 70) {
    controls_.SetFontColor(Ctl::LeveldBLabel, colors::kRed);
    controls_.SetHint(Ctl::LeveldBLabel, "high audio input level");
    controls_.SetShowHint(Ctl::LeveldBLabel, true);
  } else {
    controls_.SetFontColor(Ctl::LeveldBLabel, std::nullopt);
    controls_.SetShowHint(Ctl::LeveldBLabel, false);
  }
  tickCount_ = 0;
  services_.capture->ResetInputPeak();
  UpdateTimeLabel();
  WatchdogCheck();
}

void Engine::PskKeepAlive() {
  ReportingLink& psk = *services_.pskReporter;
  if (!psk.Active()) return;
  if (clock_.Now() - psk.LastContactTime() <= kKeepAliveDays) return;
  Log(psk.KeepAlive() ? "PSK Reporter tickle OK" : "PSK Reporter tickle failed");
}

void Engine::DelayedFieldCommits() {
  FrequencyFields& fields = *services_.frequencies;
  for (FreqField f : {FreqField::Qrg, FreqField::Tx, FreqField::Rx}) {
    const double changed = fields.ChangeTime(f);
    if (changed != 0 && lastTickTime_ - changed > kFieldCommitDays) {
      fields.CommitPendingEdit(f);
      fields.Defocus();
    }
  }
}

void Engine::BusyMeasure(double startElapsed) {
  const double seconds = clock_.Elapsed() - startElapsed;
  busyHistory_[busyIndex_] = static_cast<int32_t>(std::lround(seconds * 1000 * 0.5));
  busyIndex_ = (busyIndex_ + 1) % static_cast<int>(busyHistory_.size());
  const int b = *std::max_element(busyHistory_.begin(), busyHistory_.end());
  busyDisplayed_ = b;
  controls_.SetText(Ctl::BusyPanel, b >= 100 ? std::string("99%") : std::to_string(b) + "%");
  Rgb color = colors::kRed;
  if (b >= 0 && b <= 25) {
    color = colors::kMoneyGreen;
  } else if (b >= 26 && b <= 50) {
    color = colors::kYellow;
  } else if (b >= 51 && b <= 75) {
    color = kBusyOrange;
  }
  controls_.SetColor(Ctl::BusyPanel, color);
}

void Engine::UdpKeepAlive() {
  UdpLink& udp = *services_.udp;
  if (!udp.Active()) return;
  if (lastTickTime_ - udp.LastContactTime() <= kUdpKeepAliveDays) return;
  udp.KeepAlive();
  udp.SetLastContactTime(clock_.Now());
}

// ---- input pause and resume --------------------------------------------------

uint32_t Engine::AvailableInputBytes() {
  InputChannel* in = services_.input->RecordChannel();
  return in ? in->WaitingBytes() : kAudioError;
}

void Engine::PauseInput(const char* tag) {
  Log("Audio input pauzed (", AvailableInputBytes(), " bytes) [", tag, "]");
  if (InputChannel* in = services_.input->RecordChannel()) in->Pause();
}

void Engine::ResumeInput(const char* tag) {
  if (InputChannel* in = services_.input->RecordChannel()) in->Resume();
  Log("Audio input resumed (", AvailableInputBytes(), " bytes) [", tag, "]");
}

}  // namespace merivac
