// AudioDevices.cpp - opening, reopening and closing the chosen devices, and
// the reports that start-up and the Audio dialog make of the result.
#include "audio/AudioDevices.h"

#include <algorithm>

#include "common/DebugLog.h"
#include "common/MainControls.h"

namespace merivac {

namespace {

template <typename Endpoints>
std::vector<std::string> ListNames(const Endpoints& endpoints) {
  std::vector<std::string> names;
  names.reserve(endpoints.size());
  for (const auto& e : endpoints) names.push_back(e->Enabled() ? e->Name() : e->Name() + "*");
  return names;
}

std::string NameAt(const std::vector<std::string>& list, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return {};
  return list[static_cast<size_t>(index)];
}

}  // namespace

AudioDevices::AudioDevices(Settings& settings, DebugLog* log, InputEndpoints inputs,
                           OutputEndpoints outputs, bool versionOk)
    : settings_(settings),
      log_(log),
      keepAlive_(),
      inputs_(std::move(inputs)),
      outputs_(std::move(outputs)),
      versionOk_(versionOk),
      inputList_(ListNames(inputs_)),
      outputList_(ListNames(outputs_)) {}

AudioDevices::~AudioDevices() { CloseAll(); }

std::string AudioDevices::InputName(int32_t index) const { return NameAt(inputList_, index); }
std::string AudioDevices::OutputName(int32_t index) const { return NameAt(outputList_, index); }

int32_t AudioDevices::FindInput(const std::string& name) const {
  for (size_t i = 0; i < inputs_.size(); ++i) {
    if (inputs_[i]->Name() == name) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t AudioDevices::FindOutput(const std::string& name) const {
  for (size_t i = 0; i < outputs_.size(); ++i) {
    if (outputs_[i]->Name() == name) return static_cast<int32_t>(i);
  }
  return -1;
}

AudioInputEndpoint* AudioDevices::InputEndpoint(int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < inputs_.size()
             ? inputs_[static_cast<size_t>(index)].get()
             : nullptr;
}

AudioOutputEndpoint* AudioDevices::OutputEndpoint(int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < outputs_.size()
             ? outputs_[static_cast<size_t>(index)].get()
             : nullptr;
}

void AudioDevices::Fail(const std::string& error) {
  if (error.empty()) return;
  lastErrors_.push_back(error);
  if (log_ != nullptr) log_->Write(error);
}

bool AudioDevices::OpenInput(std::string& error) {
  if (openInput_ != nullptr) openInput_->Close();
  openInput_ = nullptr;
  const int32_t index = settings_.inputDevice;
  if (static_cast<size_t>(index) >= inputs_.size()) {
    error = "Input device " + std::to_string(index) + " does not exist";
    return false;
  }
  AudioInputEndpoint* e = inputs_[static_cast<size_t>(index)].get();
  openInput_ = e;
  if (e->Open(error)) return true;
  e->Close();
  openInput_ = nullptr;
  return false;
}

bool AudioDevices::OpenOutput(std::string& error) {
  if (openOutput_ != nullptr) openOutput_->Close();
  openOutput_ = nullptr;
  const int32_t index = settings_.outputDevice;
  if (static_cast<size_t>(index) >= outputs_.size()) {
    error = "Output device " + std::to_string(index) + " does not exist";
    return false;
  }
  AudioOutputEndpoint* e = outputs_[static_cast<size_t>(index)].get();
  openOutput_ = e;
  if (e->Open(error)) return true;
  e->Close();
  openOutput_ = nullptr;
  return false;
}

uint8_t AudioDevices::OpenAudioDevices() {
  input_ = nullptr;
  output_ = nullptr;
  lastErrors_.clear();
  uint8_t status = 0;
  std::string error;
  if (settings_.inputDevice >= 0) {
    if (!OpenInput(error)) status += kInputOpenFailed;
    Fail(error);
    if (status == 0) {
      error.clear();
      input_ = openInput_->Start(error);
      if (input_ == nullptr) status += kInputBufferFailed;
      Fail(error);
    }
  } else if (openInput_ != nullptr) {
    openInput_->Close();
    openInput_ = nullptr;
  }
  if (settings_.outputDevice >= 0) {
    error.clear();
    if (!OpenOutput(error)) status += kOutputOpenFailed;
    Fail(error);
    if (status < kOutputOpenFailed) {
      error.clear();
      output_ = openOutput_->Start(error);
      if (output_ == nullptr) status += kOutputBufferFailed;
      // Before anything is pushed: the new stream starts at the current level.
      if (output_ != nullptr) output_->SetLevel(outputLevel_);
      Fail(error);
    }
  } else if (openOutput_ != nullptr) {
    openOutput_->Close();
    openOutput_ = nullptr;
  }
  return status;
}

void AudioDevices::SetOutputLevel(double level) {
  outputLevel_ = std::clamp(level, 0.0, 1.0);
  if (output_ != nullptr) output_->SetLevel(outputLevel_);
}

void AudioDevices::StopInput() {
  if (input_ != nullptr && openInput_ != nullptr) openInput_->Stop();
  input_ = nullptr;
}

void AudioDevices::StopOutput() {
  if (output_ != nullptr && openOutput_ != nullptr) openOutput_->Stop();
  output_ = nullptr;
}

void AudioDevices::CloseAll() {
  input_ = nullptr;
  output_ = nullptr;
  if (openOutput_ != nullptr) openOutput_->Close();
  openOutput_ = nullptr;
  if (openInput_ != nullptr) openInput_->Close();
  openInput_ = nullptr;
}

std::vector<std::string> ApplyAudioStatus(uint8_t status, Settings& settings) {
  std::vector<std::string> lines;
  const uint8_t in = status & 3;
  const uint8_t out = status & 12;
  if (in == kInputOpenFailed) {
    settings.inputDevice = -1;
    lines.push_back("Soundcard input device not found");
  } else if (in == kInputBufferFailed) {
    settings.inputDevice = -1;
    lines.push_back("Access to soundcard input device failed");
  }
  if (out == kOutputOpenFailed) {
    settings.outputDevice = -1;
    lines.push_back("Soundcard output device not found");
  } else if (out == kOutputBufferFailed) {
    settings.outputDevice = -1;
    lines.push_back("Access to soundcard output device failed");
  }
  return lines;
}

void SetTransmitControlsEnabled(MainControls& controls, bool enabled) {
  controls.SetTransmitBlocked(!enabled);
  for (Ctl c : {Ctl::EnableTxButton, Ctl::TuneButton, Ctl::HaltTxButton, Ctl::QSOPanel}) {
    controls.SetEnabled(c, enabled);
  }
}

AudioStartupResult OpenAudioDevicesAtStartup(AudioDevices& devices, MainControls* controls) {
  AudioStartupResult r;
  Settings& s = devices.GetSettings();
  r.status = devices.OpenAudioDevices();
  r.report = ApplyAudioStatus(r.status, s);
  for (const std::string& e : devices.LastErrors()) r.report.push_back(e);
  if (s.inputDevice < 0) {
    r.report.push_back("No soundcard input selected");
    r.errors.push_back("No soundcard input selected.");
  } else {
    r.report.push_back("Soundcard input = " + devices.InputName(s.inputDevice));
  }
  if (s.outputDevice < 0) {
    r.report.push_back("No soundcard output selected");
    if (controls != nullptr) SetTransmitControlsEnabled(*controls, false);
    r.errors.push_back("No soundcard output selected.");
  } else {
    r.report.push_back("Soundcard output = " + devices.OutputName(s.outputDevice));
  }
  return r;
}

}  // namespace merivac
