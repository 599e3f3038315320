// AudioDevices.h - the audio device layer: device lists, opening and closing
// of the chosen input and output, and the channels the engine polls.
//
// Every entry of the input and output lists is an endpoint: a sound card
// reached through PortAudio, or one of the simulated devices (band
// simulator, WAV-file input, WAV recorder, loopback pair). The operator picks
// them by index; the indices live in Settings (inputDevice, outputDevice).
// Opening works in two steps per side, as the status bits tell apart: the
// device is opened for 48000 Hz mono 16-bit (bit 1 input, bit 4 output
// when it fails) and its 5 s buffer is set up and started (bit 2 input,
// bit 8 output).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioChannels.h"
#include "common/Settings.h"

namespace merivac {

class DebugLog;
class MainControls;

// One device of the input list.
class AudioInputEndpoint {
 public:
  virtual ~AudioInputEndpoint() = default;
  // The name as listed; "*" is appended by the layer when not Enabled().
  virtual std::string Name() const = 0;
  virtual bool Enabled() const { return true; }
  // Opens the device for 48000 Hz mono 16-bit capture; on failure false and
  // the reason in error. Open after Open reopens.
  virtual bool Open(std::string& error) = 0;
  // Sets up the 5 s buffer and starts recording; nullptr (reason in error)
  // when refused. The channel stays valid until Stop or Close.
  virtual InputChannel* Start(std::string& error) = 0;
  // Stops recording; the channel is no longer used.
  virtual void Stop() = 0;
  // Frees the device; safe when it is not open.
  virtual void Close() = 0;
};

// One device of the output list.
class AudioOutputEndpoint {
 public:
  virtual ~AudioOutputEndpoint() = default;
  virtual std::string Name() const = 0;
  virtual bool Enabled() const { return true; }
  virtual bool Open(std::string& error) = 0;
  // Sets up the 5 s queue and starts playing it; nullptr when refused.
  virtual OutputChannel* Start(std::string& error) = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
};

using InputEndpoints = std::vector<std::unique_ptr<AudioInputEndpoint>>;
using OutputEndpoints = std::vector<std::unique_ptr<AudioOutputEndpoint>>;

// Failure bits of OpenAudioDevices.
constexpr uint8_t kInputOpenFailed = 1;
constexpr uint8_t kInputBufferFailed = 2;
constexpr uint8_t kOutputOpenFailed = 4;
constexpr uint8_t kOutputBufferFailed = 8;

class AudioDevices {
 public:
  // versionOk: the result of the audio library's version check (true when
  // no sound-card library is in use).
  AudioDevices(Settings& settings, DebugLog* log, InputEndpoints inputs, OutputEndpoints outputs,
               bool versionOk = true);
  ~AudioDevices();
  AudioDevices(const AudioDevices&) = delete;
  AudioDevices& operator=(const AudioDevices&) = delete;

  bool VersionOk() const { return versionOk_; }
  // Device names in device order, "*" appended to disabled devices.
  const std::vector<std::string>& InputList() const { return inputList_; }
  const std::vector<std::string>& OutputList() const { return outputList_; }
  // The listed name of a device index; empty when out of range.
  std::string InputName(int32_t index) const;
  std::string OutputName(int32_t index) const;

  // The index of the first device listed under that name (without "*"),
  // -1 when there is none.
  int32_t FindInput(const std::string& name) const;
  int32_t FindOutput(const std::string& name) const;
  AudioInputEndpoint* InputEndpoint(int32_t index);
  AudioOutputEndpoint* OutputEndpoint(int32_t index);
  // Keeps an object the endpoints rely on (a private loopback bus, the
  // PortAudio library) alive as long as the devices.
  void KeepAlive(std::shared_ptr<void> object) { keepAlive_.push_back(std::move(object)); }

  Settings& GetSettings() { return settings_; }
  DebugLog* Log() { return log_; }

  // Opens settings.inputDevice and settings.outputDevice (each when >= 0);
  // returns the failure bits (0, 1, 2, 4, 5, 6, 8, 9 or 10). The reasons of
  // the failures are in LastErrors() and in the debug log.
  uint8_t OpenAudioDevices();
  const std::vector<std::string>& LastErrors() const { return lastErrors_; }

  // The recording channel, nullptr when no input is recording.
  InputChannel* Input() { return input_; }
  // The output push stream, nullptr when none plays.
  OutputChannel* Output() { return output_; }

  // The output level 0..1 (the PWR setting), global to every output: it is
  // kept here and applied to each output stream as soon as it starts, so a
  // freshly opened device never plays above it. Clamped; 0 until set.
  void SetOutputLevel(double level);
  double OutputLevel() const { return outputLevel_; }

  // Set when the Audio dialog has reopened the devices; read and cleared by
  // the capture chain.
  bool& InputDeviceChanged() { return inputDeviceChanged_; }

  // Stop the recording channel / the output stream (the close query does
  // both before CloseAll; the Audio dialog before reopening).
  void StopInput();
  void StopOutput();
  // Frees the output device, then the input device, then stops all output.
  void CloseAll();

 private:
  bool OpenInput(std::string& error);
  bool OpenOutput(std::string& error);
  void Fail(const std::string& error);

  Settings& settings_;
  DebugLog* log_;
  std::vector<std::shared_ptr<void>> keepAlive_;  // outlives the endpoints
  InputEndpoints inputs_;
  OutputEndpoints outputs_;
  bool versionOk_;
  std::vector<std::string> inputList_;
  std::vector<std::string> outputList_;
  std::vector<std::string> lastErrors_;
  AudioInputEndpoint* openInput_ = nullptr;
  AudioOutputEndpoint* openOutput_ = nullptr;
  InputChannel* input_ = nullptr;
  OutputChannel* output_ = nullptr;
  bool inputDeviceChanged_ = false;
  double outputLevel_ = 0;
};

// The four reports of an OpenAudioDevices status, in order; each resets the
// device index it names to -1 in settings.
std::vector<std::string> ApplyAudioStatus(uint8_t status, Settings& settings);

// The audio step of start-up.
struct AudioStartupResult {
  uint8_t status = 0;
  std::vector<std::string> report;  // lines of the start-up report
  std::vector<std::string> errors;  // sentences of the start-up error text
};

// Opens the devices, applies the status reports, and names the devices in
// use ("Soundcard input = " + name) or reports that none is selected. With
// no output device, EnableTxButton, TuneButton, HaltTxButton and QSOPanel
// are disabled in controls (when given). The reasons of failed opens are
// added to the report after the status lines.
AudioStartupResult OpenAudioDevicesAtStartup(AudioDevices& devices, MainControls* controls);

// Enables or disables the four transmit controls that need an output device;
// disabled, they stay blocked until enabled here again (MainControls).
void SetTransmitControlsEnabled(MainControls& controls, bool enabled);

}  // namespace merivac
