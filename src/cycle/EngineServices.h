// EngineServices.h - what the main tick calls in the other subsystems.
//
// The tick fixes the order of the stages; the work inside most of them
// belongs elsewhere (audio path, codec bridge, QSO operation, radio lines,
// reporting). Each such stage is reached through one small interface here,
// so the engine can be built and tested on its own and the program wires the
// real subsystems in through thin adapters. Every interface has a default
// that keeps the program running with that feature off; any service left
// null in EngineServices is replaced by its default.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "audio/AudioChannels.h"

namespace merivac {

// The 85 channel symbols (0..8) of one transmission; element 0 is symbol 1.
using TxSymbolArray = std::array<uint8_t, 85>;

// The current recording channel of the audio device layer. nullptr while no
// input device is open; the tick then does no cycle work at all.
class RecordInput {
 public:
  virtual ~RecordInput() = default;
  virtual InputChannel* RecordChannel() = 0;
};

// The capture chain of the audio path, and the input peak it keeps.
class CaptureStage {
 public:
  virtual ~CaptureStage() = default;
  // Reads every waiting input byte and drops it. Returns the byte count it
  // found waiting, or kAudioError when the channel reports an error.
  virtual uint32_t FlushInput() = 0;
  // The samples dropped by the last FlushInput that are still held (all of
  // them, or the last part when it read in pieces); may be empty. The tick
  // only raises the input peak over them, so a chain that keeps just the
  // peak of what it dropped may return that one value as a one-sample span.
  virtual std::span<const int16_t> FlushedSamples() const = 0;
  // Processes every complete input block of a receive cycle into the
  // recording and the spectrum. Returns false when an input-device change
  // dropped the input instead: the tick then ends the capture.
  virtual bool ProcessReceiveInput() = 0;
  // Reads all waiting input for the spectrum only (idle stage).
  virtual void ProcessIdleInput() = 0;
  // Prepares the recording of a new cycle.
  virtual void StartCycleCapture() = 0;
  // The largest absolute input sample since the last level-bar update.
  virtual int16_t InputPeak() const = 0;
  virtual void ResetInputPeak() = 0;
  virtual void RaiseInputPeak(const int16_t* samples, size_t count) = 0;
};

// TX synthesis and the sound-card output stream.
class TxOutput {
 public:
  virtual ~TxOutput() = default;
  // Whether an output stream is open at all: nothing is keyed without one.
  virtual bool HasOutput() = 0;
  // Adds whole symbols from txSymbols[symbolIndex - 1] on until about 2.5 s
  // of audio is queued or all 85 are handed over; symbolIndex runs 1..86
  // (86: all symbols handed to the output).
  virtual void FillTxOutput(const TxSymbolArray& txSymbols, uint8_t& symbolIndex) = 0;
  // Keeps about 2.5 s of the tune sweep queued.
  virtual void FillTuneOutput() = 0;
  // Starts the tune sweep afresh: TuneTone 0, TuneStep +1.
  virtual void StartTune() = 0;
  // Discards everything queued in the output stream.
  virtual void ClearOutput() = 0;
  // Bytes still queued to be played; kAudioError when the stream fails.
  virtual uint32_t QueuedBytes() = 0;
};

// The decoder bridge.
class CycleDecoder {
 public:
  virtual ~CycleDecoder() = default;
  // Decodes the cycle just recorded: shows its "decoding" texts in
  // CycleTextLabel (and hides the progress bar), runs the passes, dispatches
  // the decodes, returns the label to black and regular and zeroes the
  // recording. Returns the number of records of the last pass's parse. The
  // tick writes "Decoding started" and "Decoding ended" around it, pauses
  // and resumes the input and clears Capturing.
  virtual int DecodeCycle() = 0;
};

// The encoder bridge: the 85 symbols of a message, or nullopt when the
// encoder could not be run (the cycle is then not transmitted).
class MessageEncoder {
 public:
  virtual ~MessageEncoder() = default;
  virtual std::optional<TxSymbolArray> RunEncoder(const std::string& message) = 0;
};

// The serial PTT and alert lines.
class RadioLines {
 public:
  virtual ~RadioLines() = default;
  virtual void SetPtt(bool on) = 0;
  virtual void AlertLineOff() = 0;
};

// The "[TX]" line of the RX Frequency window.
class TxLineSink {
 public:
  virtual ~TxLineSink() = default;
  virtual void AddTxLine() = 0;
};

// The frequency fields: the TX frequency commit at the start of every
// transmission and the delayed commits of edited fields.
enum class FreqField : uint8_t { Qrg = 0, Tx = 1, Rx = 2 };  // QrgEdit, TxEdit, RxEdit

class FrequencyFields {
 public:
  virtual ~FrequencyFields() = default;
  // Re-reads TxEdit into the TX frequency and redraws the markers.
  virtual void CommitTxFrequency() = 0;
  // PC clock of the field's last edit, 0 = no pending edit.
  virtual double ChangeTime(FreqField field) = 0;
  // Commits the pending edit of the field and sets its change time to 0.
  virtual void CommitPendingEdit(FreqField field) = 0;
  // Moves the keyboard focus to the hidden field DefocusEdit.
  virtual void Defocus() = 0;
};

// A reporting link that must be kept alive (PSK Reporter, UDP).
class ReportingLink {
 public:
  virtual ~ReportingLink() = default;
  virtual bool Active() = 0;
  // PC clock of the last contact (PSK Reporter: the last successful tickle;
  // UDP: the last keep-alive).
  virtual double LastContactTime() = 0;
  // Sends the keep-alive; true when it succeeded.
  virtual bool KeepAlive() = 0;
};

// The UDP link, whose keep-alive time the tick sets itself.
class UdpLink : public ReportingLink {
 public:
  virtual void SetLastContactTime(double t) = 0;
};

// The services one Engine uses. Null members get their defaults.
struct EngineServices {
  RecordInput* input = nullptr;
  CaptureStage* capture = nullptr;
  TxOutput* output = nullptr;
  CycleDecoder* decoder = nullptr;
  MessageEncoder* encoder = nullptr;
  RadioLines* radio = nullptr;
  TxLineSink* txLine = nullptr;
  FrequencyFields* frequencies = nullptr;
  ReportingLink* pskReporter = nullptr;
  UdpLink* udp = nullptr;
};

// ---- Defaults, for the program while a real service is missing ----------

// A fixed channel pointer that the owner may change (nullptr = no input).
class FixedRecordInput final : public RecordInput {
 public:
  explicit FixedRecordInput(InputChannel* channel = nullptr) : channel_(channel) {}
  InputChannel* RecordChannel() override { return channel_; }
  void Set(InputChannel* channel) { channel_ = channel; }

 private:
  InputChannel* channel_;
};

// A capture chain that records nothing: it reads and drops the input (so the
// channel never overflows) and keeps the input peak for the level bar.
class DiscardingCaptureStage final : public CaptureStage {
 public:
  explicit DiscardingCaptureStage(RecordInput& input) : input_(&input) {}
  void SetInput(RecordInput& input) { input_ = &input; }
  uint32_t FlushInput() override;
  std::span<const int16_t> FlushedSamples() const override {
    return std::span<const int16_t>(buffer_.data(), held_);
  }
  bool ProcessReceiveInput() override;
  void ProcessIdleInput() override;
  void StartCycleCapture() override {}
  int16_t InputPeak() const override { return peak_; }
  void ResetInputPeak() override { peak_ = 0; }
  void RaiseInputPeak(const int16_t* samples, size_t count) override;

 private:
  // Reads all waiting bytes in buffer-sized pieces; returns the count found
  // waiting (kAudioError on error). raisePeak: take the peak of what it read.
  uint32_t Drain(bool raisePeak);
  RecordInput* input_;
  std::array<int16_t, 32000> buffer_{};
  size_t held_ = 0;
  int16_t peak_ = 0;
};

// No output device: every query fails, nothing is ever queued.
class NullTxOutput final : public TxOutput {
 public:
  bool HasOutput() override { return false; }
  void FillTxOutput(const TxSymbolArray&, uint8_t&) override {}
  void FillTuneOutput() override {}
  void StartTune() override {}
  void ClearOutput() override {}
  uint32_t QueuedBytes() override { return kAudioError; }
};

class NullCycleDecoder final : public CycleDecoder {
 public:
  int DecodeCycle() override { return 0; }
};

// No encoder: nothing can be transmitted.
class NullMessageEncoder final : public MessageEncoder {
 public:
  std::optional<TxSymbolArray> RunEncoder(const std::string&) override { return std::nullopt; }
};

// VOX: PTT and alert lines are not driven.
class NullRadioLines final : public RadioLines {
 public:
  void SetPtt(bool) override {}
  void AlertLineOff() override {}
};

class NullTxLineSink final : public TxLineSink {
 public:
  void AddTxLine() override {}
};

class NullFrequencyFields final : public FrequencyFields {
 public:
  void CommitTxFrequency() override {}
  double ChangeTime(FreqField) override { return 0; }
  void CommitPendingEdit(FreqField) override {}
  void Defocus() override {}
};

class InactiveReportingLink final : public ReportingLink {
 public:
  bool Active() override { return false; }
  double LastContactTime() override { return 0; }
  bool KeepAlive() override { return false; }
};

class InactiveUdpLink final : public UdpLink {
 public:
  bool Active() override { return false; }
  double LastContactTime() override { return 0; }
  bool KeepAlive() override { return false; }
  void SetLastContactTime(double) override {}
};

}  // namespace merivac
