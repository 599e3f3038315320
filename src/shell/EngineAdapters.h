// EngineAdapters.h - the real subsystems behind the cycle engine's services.
//
// The engine reaches the audio path, the codec bridge, the QSO rules and the
// radio lines only through the small interfaces of cycle/EngineServices.h;
// each adapter here forwards one of them to the object that does the work,
// and the QSO rules reach the engine through CycleControl the same way.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio/AudioDevices.h"
#include "audio/CaptureChain.h"
#include "audio/ToneOutput.h"
#include "codec/DecoderBridge.h"
#include "codec/EncoderBridge.h"
#include "common/Settings.h"
#include "cycle/Engine.h"
#include "cycle/EngineServices.h"
#include "qso/DecodeWindows.h"
#include "qso/Frequencies.h"
#include "qso/QsoServices.h"
#include "radio/RadioControl.h"
#include "reporting/Reporting.h"
#include "stationdata/StationData.h"

namespace merivac {

class DeviceRecordInput final : public RecordInput {
 public:
  explicit DeviceRecordInput(AudioDevices& devices) : devices_(devices) {}
  InputChannel* RecordChannel() override { return devices_.Input(); }

 private:
  AudioDevices& devices_;
};

class CaptureChainStage final : public CaptureStage {
 public:
  explicit CaptureChainStage(CaptureChain& chain) : chain_(chain) {}
  uint32_t FlushInput() override {
    const uint32_t n = chain_.FlushInput();
    flushPeak_ = chain_.LastFlushPeak();
    return n;
  }
  // The chain reads a flush in pieces and keeps only the peak of what it
  // dropped; that one sample is all the transmit stage needs of it.
  std::span<const int16_t> FlushedSamples() const override { return {&flushPeak_, 1}; }
  bool ProcessReceiveInput() override { return chain_.ProcessReceiveInput(); }
  void ProcessIdleInput() override { chain_.ProcessIdleInput(); }
  void StartCycleCapture() override { chain_.StartCycleCapture(); }
  int16_t InputPeak() const override { return chain_.InputPeak(); }
  void ResetInputPeak() override { chain_.ResetInputPeak(); }
  void RaiseInputPeak(const int16_t* samples, size_t count) override {
    chain_.RaiseInputPeak(samples, static_cast<uint32_t>(count));
  }

 private:
  CaptureChain& chain_;
  int16_t flushPeak_ = 0;
};

class ToneOutputStage final : public TxOutput {
 public:
  explicit ToneOutputStage(ToneOutput& tone) : tone_(tone) {}
  bool HasOutput() override { return tone_.HasChannel(); }
  void FillTxOutput(const TxSymbolArray& symbols, uint8_t& symbolIndex) override {
    tone_.FillTxOutput(symbols, symbolIndex);
  }
  void FillTuneOutput() override { tone_.FillTuneOutput(); }
  void StartTune() override { tone_.StartTune(); }
  void ClearOutput() override { tone_.ClearOutput(); }
  uint32_t QueuedBytes() override { return tone_.QueuedBytes(); }

 private:
  ToneOutput& tone_;
};

class BridgeDecoder final : public CycleDecoder {
 public:
  explicit BridgeDecoder(DecoderBridge& bridge) : bridge_(bridge) {}
  int DecodeCycle() override { return static_cast<int>(bridge_.DecodeCycle().lastPassDecodes); }

 private:
  DecoderBridge& bridge_;
};

class BridgeEncoder final : public MessageEncoder {
 public:
  BridgeEncoder(ProcessRunner& runner, const std::string& folder, DebugLog& log)
      : runner_(runner), folder_(folder), log_(log) {}
  std::optional<TxSymbolArray> RunEncoder(const std::string& message) override {
    return merivac::RunEncoder(runner_, folder_, message, &log_);
  }

 private:
  ProcessRunner& runner_;
  const std::string& folder_;
  DebugLog& log_;
};

class SerialRadioLines final : public RadioLines {
 public:
  explicit SerialRadioLines(RadioControl& radio) : radio_(radio) {}
  void SetPtt(bool on) override { radio_.SetPtt(on); }
  void AlertLineOff() override { radio_.TimeLabelClickAlertOff(); }

 private:
  RadioControl& radio_;
};

class WindowTxLine final : public TxLineSink {
 public:
  WindowTxLine(DecodeWindows& windows, const Engine& engine, const Settings& settings)
      : windows_(windows), engine_(engine), settings_(settings) {}
  void AddTxLine() override { windows_.AddTxLine(engine_.TxMessage(), settings_.txFreq); }

 private:
  DecodeWindows& windows_;
  const Engine& engine_;
  const Settings& settings_;
};

class QsoFrequencyFields final : public FrequencyFields {
 public:
  explicit QsoFrequencyFields(Frequencies& freqs) : freqs_(freqs) {}
  void CommitTxFrequency() override { freqs_.CommitTxFreq(); }
  double ChangeTime(FreqField field) override {
    switch (field) {
      case FreqField::Qrg: return freqs_.QrgEditTime();
      case FreqField::Tx: return freqs_.TxEditTime();
      case FreqField::Rx: return freqs_.RxEditTime();
    }
    return 0;
  }
  void CommitPendingEdit(FreqField field) override {
    switch (field) {
      case FreqField::Qrg: freqs_.CommitPendingQrg(); break;
      case FreqField::Tx: freqs_.CommitPendingTx(); break;
      case FreqField::Rx: freqs_.CommitPendingRx(); break;
    }
  }
  // The pending commits of the QSO rules already leave the field and move
  // the focus to DefocusEdit.
  void Defocus() override {}

 private:
  Frequencies& freqs_;
};

// The QSO rules' view of the engine's transmit state.
class EngineCycleControl final : public CycleControl {
 public:
  EngineCycleControl(Engine& engine, Settings& settings) : engine_(engine), settings_(settings) {}
  bool TxEnabled() const override { return engine_.Flags().txEnabled; }
  void EnableTxAutomatically() override { engine_.EnableTxFromSelection(); }
  bool TxFirst() const override { return settings_.txFirst; }
  void SetTxFirst(bool txFirst) override { settings_.txFirst = txFirst; }
  bool Transmitting() const override { return engine_.Flags().transmitting; }
  // A mode taken from a decode ends the current cycle's capture, transmission
  // or tuning like a mode change does, but an armed TX stays armed.
  void ClearCycleFlags() override {
    const bool armed = engine_.Flags().txEnabled;
    engine_.ModeChanged();
    if (armed) engine_.EnableTxFromSelection();
  }
  void ResetWatchdog() override { engine_.ResetWatchdog(); }

 private:
  Engine& engine_;
  Settings& settings_;
};

// The program's decode sinks: the alert check and the alert output line,
// UDP broadcasting and PSK Reporter spotting (once reporting is attached).
class StationDecodeSinks final : public DecodeSinks {
 public:
  StationDecodeSinks(RadioControl& radio, const StationData& data) : radio_(radio), data_(data) {}
  std::string CheckAlerts(const std::string& msgText) override {
    return data_.CheckAlerts(msgText);
  }
  void SwitchAlertLineOn() override { radio_.SetAlertLine(true); }

  void AttachReporting(Reporting* reporting) { reporting_ = reporting; }
  bool UdpActive() const override { return reporting_ != nullptr && reporting_->UdpActive(); }
  void BroadcastDecode(const std::string& flags, const std::string& hhnn, const std::string& snr,
                       const std::string& msgText, const std::string& modeChar,
                       const std::string& rfFreq) override {
    if (reporting_ != nullptr)
      reporting_->BroadcastDecode(flags, hhnn, snr, msgText, modeChar, rfFreq);
  }
  bool PskActive() const override { return reporting_ != nullptr && reporting_->PskActive(); }
  void SpotDecode(const std::string& call, const std::string& modeChar, const std::string& rfFreq,
                  const std::string& grid, const std::string& snr) override {
    if (reporting_ != nullptr) reporting_->SpotDecode(call, modeChar, rfFreq, grid, snr);
  }

 private:
  RadioControl& radio_;
  const StationData& data_;
  Reporting* reporting_ = nullptr;
};

// The tick's PSK Reporter keep-alive: a tickle every 10 s while spotting.
class PskReporterLink final : public ReportingLink {
 public:
  explicit PskReporterLink(PskReporter& psk) : psk_(psk) {}
  bool Active() override { return psk_.PskActive(); }
  double LastContactTime() override { return psk_.LastTickle(); }
  bool KeepAlive() override { return psk_.TickleReporter(); }

 private:
  PskReporter& psk_;
};

// The tick's UDP keep-alive: the heartbeat datagram.
class UdpHeartbeatLink final : public UdpLink {
 public:
  explicit UdpHeartbeatLink(UdpBroadcaster& udp) : udp_(udp) {}
  bool Active() override { return udp_.UdpActive(); }
  double LastContactTime() override { return udp_.LastHeartbeat(); }
  bool KeepAlive() override {
    udp_.SendHeartbeat();
    return true;
  }
  void SetLastContactTime(double t) override { udp_.SetLastHeartbeat(t); }

 private:
  UdpBroadcaster& udp_;
};

// Forwards to the window's focus handling once the window exists.
class EditFocusProxy final : public EditFocus {
 public:
  void Attach(EditFocus* target) { target_ = target; }
  void MoveFocusToDefocusEdit() override {
    if (target_ != nullptr) target_->MoveFocusToDefocusEdit();
  }

 private:
  EditFocus* target_ = nullptr;
};

}  // namespace merivac
