// Transmit.cpp - the transmit cycle: its start at a due new cycle, the
// transmit stage of every tick (PTT at 1 s less the TX delay, audio at 1 s,
// the end once the output has run empty) and the TX watchdog.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "common/Mode.h"
#include "common/Notice.h"
#include "common/Rgb.h"
#include "cycle/Engine.h"

namespace merivac {

void Engine::StartTransmitCycle() {
  const double now = clock_.Now();
  const uint16_t wdt = settings_.watchdogMinutes;
  if (tx_.watchdogExpiry == 0 && wdt != 0) tx_.watchdogExpiry = now + wdt / kMinutesPerDay;
  SetTxLockedEnabled(false);

  tx_.prevTxMessage = tx_.txMessage;
  tx_.txMessage.clear();
  if (controls_.Checked(Ctl::GenMsgButton)) tx_.txMessage = controls_.Text(Ctl::GenMsgEdit);
  if (controls_.Checked(Ctl::FreeMsgButton)) tx_.txMessage = controls_.Text(Ctl::FreeMsgEdit);
  if (tx_.txMessage.empty()) {
    NotTransmitted();  // the cycle goes on as a receive cycle
    return;
  }
  if (!services_.output->HasOutput()) {
    log_.Write("No soundcard output, \"" + tx_.txMessage + "\" not transmitted [TX]");
    NotTransmitted();
    return;
  }

  // An encoder that cannot run (or fails) costs this transmission only.
  std::optional<TxSymbolArray> symbols;
  try {
    symbols = services_.encoder->RunEncoder(tx_.txMessage);
  } catch (const std::exception& e) {
    Log("Encoder error: ", std::string(e.what()), " [TX]");
  } catch (...) {
    Log("Encoder error [TX]");
  }
  if (!symbols) {
    // The debug log is off by default: the operator must see that this
    // cycle is received instead of transmitted.
    log_.Write("Encoder failed, \"" + tx_.txMessage + "\" not transmitted [TX]");
    ShowNotice(controls_,
               "The message \"" + tx_.txMessage +
                   "\" could not be encoded, so it was not transmitted in this cycle.\r\n"
                   "Check that wsjt/jt9code_copy in the program folder is WSJT-X's jt9code.",
               static_cast<int>(NoticeKind::Warning));
    NotTransmitted();
    return;
  }
  tx_.txSymbols = *symbols;
  tx_.symbolIndex = 1;
  // The watchdog restarts whenever a new message is sent.
  if (tx_.txMessage != tx_.prevTxMessage && wdt != 0) {
    tx_.watchdogExpiry = now + wdt / kMinutesPerDay;
  }
  services_.frequencies->CommitTxFrequency();
  PauseInput("TX");
}

void Engine::NotTransmitted() {
  flags_.transmitting = false;
  tx_.watchdogExpiry = 0;
  SetTxLockedEnabled(true);
}

void Engine::TransmitStage() {
  Log("Transmitting");
  const uint32_t n = services_.capture->FlushInput();
  Log("Audio input buffer cleared (", n, " bytes) [TX]");
  if (!flags_.capturing) {
    Log("Capturing not active [TX]");
    if (n != 0 && n != kAudioError) {
      const std::span<const int16_t> dropped = services_.capture->FlushedSamples();
      services_.capture->RaiseInputPeak(dropped.data(), std::min<size_t>(dropped.size(), n / 2));
    }
    return;
  }
  Log("Capturing active [TX]");
  TxOutput& out = *services_.output;
  // Symbols are numbered from 1; a transmit flag set from outside before any
  // transmission started must not make the synthesis read before symbol 1.
  if (tx_.symbolIndex < 1) tx_.symbolIndex = 1;
  if (flags_.streaming) {
    Log("Streaming to soundcard output [TX]");
    if (tx_.symbolIndex <= kSymbolsPerTransmission) {
      Log("Audio output buffer = ", out.QueuedBytes(), " bytes [TX] (", MsSinceTickStart(), "ms)");
      out.FillTxOutput(tx_.txSymbols, tx_.symbolIndex);
    } else {
      Log("All output data pushed [TX]");
      if (out.QueuedBytes() == 0) EndTransmission();
    }
    return;
  }
  Log("Not streaming to soundcard output [TX]");
  if (!flags_.pttOn && secondsIntoCycle_ > 1 - settings_.txDelayMs / 1000.0) {
    services_.radio->SetPtt(true);
    flags_.pttOn = true;
    Log("PTT activated [TX]");
  }
  if (secondsIntoCycle_ > 1) {
    Log("Audio output stream will start [TX] (", MsSinceTickStart(), "ms)");
    out.ClearOutput();
    Log("Audio output stream cleared [TX] (", MsSinceTickStart(), "ms)");
    flags_.streaming = true;
    out.FillTxOutput(tx_.txSymbols, tx_.symbolIndex);
  }
}

void Engine::EndTransmission() {
  flags_.capturing = false;
  flags_.streaming = false;
  flags_.transmitting = false;
  SetTxLockedEnabled(true);
  Log("Audio output buffer empty, stream stopped [TX]");
  if (settings_.showTxMessages) services_.txLine->AddTxLine();
  ResumeInput("TX");
}

void Engine::SetTxLockedEnabled(bool enabled) {
  for (Ctl c : {Ctl::TuneButton, Ctl::TxRxButton, Ctl::TxEdit, Ctl::TxUpDown, Ctl::TxFirstBox,
                Ctl::BandMemo, Ctl::RxMemo}) {
    controls_.SetEnabled(c, enabled);
  }
}

// ---- watchdog ----------------------------------------------------------------

void Engine::WatchdogCheck() {
  if (tx_.watchdogExpiry <= 0) return;
  const double now = clock_.Now();
  int64_t remaining = std::llround((tx_.watchdogExpiry - now) * kSecondsPerDay);
  if (remaining < 1) {
    remaining = 0;
    tx_.watchdogExpiry = 0;
    if (flags_.txEnabled) {
      flags_.txEnabled = false;
      ShowEnableTxButton();
      // TX is no longer enabled, so the settings may be changed again.
      controls_.SetEnabled(Ctl::SettingsItem, true);
    }
    // A transmission or tune tone ends at once, with the queued audio
    // discarded (a VOX transmitter would otherwise key on it) and the input
    // resumed for the next receive cycle.
    if (flags_.transmitting || flags_.tuning) StopSending("Watchdog");
    watchdogTripped_ = true;  // the dialog shows at the end of the tick
    Log("TX watchdog timer tripped");
  }
  ShowWatchdog(static_cast<uint16_t>(std::min<int64_t>(remaining, 65535)));
}

void Engine::ResetWatchdog() {
  const uint16_t wdt = settings_.watchdogMinutes;
  ShowWatchdog(static_cast<uint16_t>(wdt * 60));
  // With the watchdog off (WDT 0) an expiry of "now" would trip it at once.
  if (flags_.transmitting && wdt != 0) {
    tx_.watchdogExpiry = clock_.Now() + wdt / kMinutesPerDay;
  } else {
    tx_.watchdogExpiry = 0;
  }
}

void Engine::ShowWatchdog(uint16_t seconds) {
  const uint16_t wdt = settings_.watchdogMinutes;
  if (wdt > 0) {
    const bool pale = controls_.Get(Ctl::WDPanel).color == colors::kMoneyGreen;
    if (seconds < 30 || seconds / (60.0 * wdt) < 0.1) {
      controls_.SetColor(Ctl::WDPanel, pale ? colors::kRed : colors::kMoneyGreen);  // blink
    } else if (!pale) {
      controls_.SetColor(Ctl::WDPanel, colors::kMoneyGreen);
    }
  }
  char caption[16];
  std::snprintf(caption, sizeof caption, "%02u'%02u\"", static_cast<unsigned>(seconds / 60),
                static_cast<unsigned>(seconds % 60));
  controls_.SetText(Ctl::WDPanel, caption);
}

}  // namespace merivac
