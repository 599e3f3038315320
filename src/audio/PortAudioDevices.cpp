// PortAudioDevices.cpp - the PortAudio streams behind the sound-card entries.
#include "audio/PortAudioDevices.h"

#include <portaudio.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/RingBuffer.h"
#include "common/Mode.h"

namespace merivac {

namespace {

constexpr unsigned long kFramesPerBuffer = 0;  // let PortAudio choose

PaStreamParameters MonoParams(int device, bool input) {
  PaStreamParameters p{};
  p.device = device;
  p.channelCount = 1;
  p.sampleFormat = paInt16;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  p.suggestedLatency = info == nullptr ? 0.1 : (input ? info->defaultHighInputLatency : info->defaultHighOutputLatency);
  p.hostApiSpecificStreamInfo = nullptr;
  return p;
}

bool DeviceExists(int device, bool input) {
  if (device < 0 || device >= Pa_GetDeviceCount()) return false;
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  return info != nullptr && (input ? info->maxInputChannels : info->maxOutputChannels) > 0;
}

bool FormatSupported(int device, bool input) {
  if (!DeviceExists(device, input)) return false;
  const PaStreamParameters p = MonoParams(device, input);
  return Pa_IsFormatSupported(input ? &p : nullptr, input ? nullptr : &p, kSoundCardRate) == paFormatIsSupported;
}

std::string DeviceName(int device) {
  const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
  return info != nullptr && info->name != nullptr ? info->name : "device " + std::to_string(device);
}

std::string PaText(PaError e) { return Pa_GetErrorText(e); }

// Input and output streams stop and close alike.
void StopPaStream(PaStream* stream) {
  if (stream != nullptr && Pa_IsStreamStopped(stream) == 0) Pa_StopStream(stream);
}

void ClosePaStream(PaStream*& stream) {
  if (stream != nullptr) {
    StopPaStream(stream);
    Pa_CloseStream(stream);
  }
  stream = nullptr;
}

}  // namespace

PortAudioSystem::PortAudioSystem() {
  // Listing devices must not launch a JACK server as a side effect (an
  // operator who wants one has it running, or sets the variable otherwise).
  setenv("JACK_NO_START_SERVER", "1", 0);
  const PaError e = Pa_Initialize();
  initialised_ = e == paNoError;
  if (!initialised_) initError_ = "The audio library could not start: " + PaText(e);
}

PortAudioSystem::~PortAudioSystem() {
  if (initialised_) Pa_Terminate();
}

bool PortAudioSystem::VersionOk() { return ((Pa_GetVersion() >> 16) & 0xFF) == 19; }

void PortAudioSystem::AddEndpoints(const std::shared_ptr<PortAudioSystem>& system, InputEndpoints& inputs,
                                   OutputEndpoints& outputs) {
  if (!system || !system->Initialised()) return;
  const int count = std::max(Pa_GetDeviceCount(), 0);
  for (int d = 0; d < count; ++d) {
    if (DeviceExists(d, true)) inputs.push_back(std::make_unique<PortAudioInput>(system, d));
  }
  for (int d = 0; d < count; ++d) {
    if (DeviceExists(d, false)) outputs.push_back(std::make_unique<PortAudioOutput>(system, d));
  }
}

// ---- input ----

class PortAudioInput::Impl final : public InputChannel {
 public:
  explicit Impl(int device) : device_(device), name_(DeviceName(device)), enabled_(FormatSupported(device, true)) {}
  ~Impl() override { CloseStream(); }

  uint32_t WaitingBytes() override {
    if (stream_ == nullptr || Pa_IsStreamActive(stream_) < 0) return kAudioError;
    return static_cast<uint32_t>(ring_.Size() * 2);
  }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    return static_cast<uint32_t>(ring_.Read(dest, bytes / 2) * 2);
  }
  bool Pause() override {
    paused_.store(true, std::memory_order_release);
    return stream_ != nullptr;
  }
  bool Resume() override {
    paused_.store(false, std::memory_order_release);
    return stream_ != nullptr;
  }

  bool Open(std::string& error) {
    CloseStream();
    if (!DeviceExists(device_, true)) {
      error = "Sound card input " + name_ + " is not available";
      return false;
    }
    const PaStreamParameters p = MonoParams(device_, true);
    PaError e = Pa_IsFormatSupported(&p, nullptr, kSoundCardRate);
    if (e != paFormatIsSupported) {
      error = "Sound card input " + name_ + " cannot record 48000 Hz mono 16-bit: " + PaText(e);
      return false;
    }
    e = Pa_OpenStream(&stream_, &p, nullptr, kSoundCardRate, kFramesPerBuffer, paNoFlag, &Impl::Callback, this);
    if (e != paNoError) {
      stream_ = nullptr;
      error = "Sound card input " + name_ + " cannot be opened: " + PaText(e);
      return false;
    }
    return true;
  }

  InputChannel* Start(std::string& error) {
    if (stream_ == nullptr) {
      error = "Sound card input " + name_ + " is not open";
      return nullptr;
    }
    StopStream();
    ring_.DropWaiting();
    paused_.store(false);
    const PaError e = Pa_StartStream(stream_);
    if (e != paNoError) {
      error = "Sound card input " + name_ + " cannot start recording: " + PaText(e);
      return nullptr;
    }
    return this;
  }

  void StopStream() { StopPaStream(stream_); }
  void CloseStream() { ClosePaStream(stream_); }

  const std::string& Name() const { return name_; }
  bool Enabled() const { return enabled_; }
  PortAudioCounters counters;

 private:
  static int Callback(const void* input, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                      PaStreamCallbackFlags, void* user) {
    auto* self = static_cast<Impl*>(user);
    self->counters.callbacks.fetch_add(1, std::memory_order_relaxed);
    if (input == nullptr || self->paused_.load(std::memory_order_acquire)) return paContinue;
    const size_t put = self->ring_.Write(static_cast<const int16_t*>(input), frames);
    if (put < frames) self->counters.overruns.fetch_add(frames - put, std::memory_order_relaxed);
    return paContinue;
  }

  int device_;
  std::string name_;
  bool enabled_;
  PaStream* stream_ = nullptr;
  RingBuffer<int16_t> ring_{kDeviceBufferSamples};
  std::atomic<bool> paused_{false};
};

PortAudioInput::PortAudioInput(std::shared_ptr<PortAudioSystem> system, int paDevice)
    : system_(std::move(system)), impl_(std::make_unique<Impl>(paDevice)) {}
PortAudioInput::~PortAudioInput() { impl_.reset(); }
std::string PortAudioInput::Name() const { return impl_->Name(); }
bool PortAudioInput::Enabled() const { return impl_->Enabled(); }
bool PortAudioInput::Open(std::string& error) { return impl_->Open(error); }
InputChannel* PortAudioInput::Start(std::string& error) { return impl_->Start(error); }
void PortAudioInput::Stop() { impl_->StopStream(); }
void PortAudioInput::Close() { impl_->CloseStream(); }
const PortAudioCounters& PortAudioInput::Counters() const { return impl_->counters; }

// ---- output ----

class PortAudioOutput::Impl final : public OutputChannel {
 public:
  explicit Impl(int device) : device_(device), name_(DeviceName(device)), enabled_(FormatSupported(device, false)) {}
  ~Impl() override { CloseStream(); }

  uint32_t QueuedBytes() override {
    if (stream_ == nullptr || Pa_IsStreamActive(stream_) < 0) return kAudioError;
    return static_cast<uint32_t>(ring_.Size() * 2);
  }
  bool Push(const int16_t* samples, uint32_t bytes) override {
    return stream_ != nullptr && ring_.WriteAll(samples, bytes / 2);
  }
  bool Discard() override {
    ring_.DiscardQueued();
    return stream_ != nullptr;
  }
  void SetLevel(double level) override {
    level_.store(static_cast<float>(std::clamp(level, 0.0, 1.0)), std::memory_order_release);
  }

  bool Open(std::string& error) {
    CloseStream();
    if (!DeviceExists(device_, false)) {
      error = "Sound card output " + name_ + " is not available";
      return false;
    }
    const PaStreamParameters p = MonoParams(device_, false);
    PaError e = Pa_IsFormatSupported(nullptr, &p, kSoundCardRate);
    if (e != paFormatIsSupported) {
      error = "Sound card output " + name_ + " cannot play 48000 Hz mono 16-bit: " + PaText(e);
      return false;
    }
    e = Pa_OpenStream(&stream_, nullptr, &p, kSoundCardRate, kFramesPerBuffer, paNoFlag, &Impl::Callback, this);
    if (e != paNoError) {
      stream_ = nullptr;
      error = "Sound card output " + name_ + " cannot be opened: " + PaText(e);
      return false;
    }
    return true;
  }

  OutputChannel* Start(std::string& error) {
    if (stream_ == nullptr) {
      error = "Sound card output " + name_ + " is not open";
      return nullptr;
    }
    StopStream();
    ring_.DiscardQueued();
    const PaError e = Pa_StartStream(stream_);
    if (e != paNoError) {
      error = "Sound card output " + name_ + " cannot start playing: " + PaText(e);
      return nullptr;
    }
    return this;
  }

  void StopStream() { StopPaStream(stream_); }
  void CloseStream() { ClosePaStream(stream_); }

  const std::string& Name() const { return name_; }
  bool Enabled() const { return enabled_; }
  PortAudioCounters counters;

 private:
  static int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                      PaStreamCallbackFlags, void* user) {
    auto* self = static_cast<Impl*>(user);
    self->counters.callbacks.fetch_add(1, std::memory_order_relaxed);
    auto* out = static_cast<int16_t*>(output);
    if (out == nullptr) return paContinue;
    const size_t got = self->ring_.Read(out, frames);
    // The level applies as samples leave the ring, so a change also scales
    // what was queued before it.
    const float level = self->level_.load(std::memory_order_acquire);
    if (level != 1.0f) {
      for (size_t k = 0; k < got; ++k) {
        out[k] = static_cast<int16_t>(std::clamp(std::lround(out[k] * level), -32768L, 32767L));
      }
    }
    std::fill(out + got, out + frames, int16_t{0});
    if (got < frames) self->counters.underruns.fetch_add(frames - got, std::memory_order_relaxed);
    return paContinue;
  }

  int device_;
  std::string name_;
  bool enabled_;
  PaStream* stream_ = nullptr;
  RingBuffer<int16_t> ring_{kOutputQueueSamples};
  std::atomic<float> level_{1.0f};
};

PortAudioOutput::PortAudioOutput(std::shared_ptr<PortAudioSystem> system, int paDevice)
    : system_(std::move(system)), impl_(std::make_unique<Impl>(paDevice)) {}
PortAudioOutput::~PortAudioOutput() { impl_.reset(); }
std::string PortAudioOutput::Name() const { return impl_->Name(); }
bool PortAudioOutput::Enabled() const { return impl_->Enabled(); }
bool PortAudioOutput::Open(std::string& error) { return impl_->Open(error); }
OutputChannel* PortAudioOutput::Start(std::string& error) { return impl_->Start(error); }
void PortAudioOutput::Stop() { impl_->StopStream(); }
void PortAudioOutput::Close() { impl_->CloseStream(); }
const PortAudioCounters& PortAudioOutput::Counters() const { return impl_->counters; }

}  // namespace merivac
