// PortAudioDevices.h - sound cards through PortAudio.
//
// Each PortAudio device with input channels is an entry of the input list,
// each with output channels an entry of the output list, in PortAudio's
// device order. A device that cannot do 48000 Hz mono 16-bit is listed as
// disabled ("*" after its name); it can still be chosen, and then fails to
// open. PortAudio's callback only moves samples through two lock-free
// 5 s rings: into the recording ring (dropped while paused, and when the
// ring is full), and out of the playback ring scaled by the output level
// (silence when it runs empty). The program side never blocks or locks.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "audio/AudioDevices.h"

namespace merivac {

// PortAudio's library, initialised for as long as this object lives.
class PortAudioSystem {
 public:
  PortAudioSystem();
  ~PortAudioSystem();
  PortAudioSystem(const PortAudioSystem&) = delete;
  PortAudioSystem& operator=(const PortAudioSystem&) = delete;

  bool Initialised() const { return initialised_; }
  const std::string& InitError() const { return initError_; }

  // The version check: PortAudio's major version is 19.
  static bool VersionOk();
  static constexpr const char* kVersionMessage = "An incorrect version of the audio library was loaded.";

  // The list entries of the sound cards (empty when PortAudio did not start).
  static void AddEndpoints(const std::shared_ptr<PortAudioSystem>& system, InputEndpoints& inputs,
                           OutputEndpoints& outputs);

 private:
  bool initialised_ = false;
  std::string initError_;
};

// Counters of a sound-card stream, for tests and the debug log.
struct PortAudioCounters {
  std::atomic<uint64_t> callbacks{0};
  std::atomic<uint64_t> overruns{0};   // input samples lost, the ring being full
  std::atomic<uint64_t> underruns{0};  // output samples played as silence
};

// A sound card of the input list.
class PortAudioInput final : public AudioInputEndpoint {
 public:
  PortAudioInput(std::shared_ptr<PortAudioSystem> system, int paDevice);
  ~PortAudioInput() override;
  std::string Name() const override;
  bool Enabled() const override;
  bool Open(std::string& error) override;
  InputChannel* Start(std::string& error) override;
  void Stop() override;
  void Close() override;
  const PortAudioCounters& Counters() const;

  class Impl;

 private:
  std::shared_ptr<PortAudioSystem> system_;
  std::unique_ptr<Impl> impl_;
};

// A sound card of the output list.
class PortAudioOutput final : public AudioOutputEndpoint {
 public:
  PortAudioOutput(std::shared_ptr<PortAudioSystem> system, int paDevice);
  ~PortAudioOutput() override;
  std::string Name() const override;
  bool Enabled() const override;
  bool Open(std::string& error) override;
  OutputChannel* Start(std::string& error) override;
  void Stop() override;
  void Close() override;
  const PortAudioCounters& Counters() const;

  class Impl;

 private:
  std::shared_ptr<PortAudioSystem> system_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace merivac
