// AudioDevicesSetup.cpp - builds the input and output lists.
#include "audio/AudioDevicesSetup.h"

#include <cstdlib>

#include "audio/Loopback.h"
#include "audio/PortAudioDevices.h"
#include "audio/WavFileInput.h"
#include "audio/WavRecorder.h"

namespace merivac {

AudioDeviceOptions AudioDeviceOptionsFromEnvironment() {
  AudioDeviceOptions o;
  if (const char* v = std::getenv("MERIVAC_BAND_SCENARIO"); v != nullptr && *v != 0) o.bandScenarioPath = v;
  if (const char* v = std::getenv("MERIVAC_WAV_INPUT"); v != nullptr && *v != 0) o.wavInputPath = v;
  if (const char* v = std::getenv("MERIVAC_WAV_RECORDER"); v != nullptr && *v != 0) o.recorderFolder = v;
  if (const char* v = std::getenv("MERIVAC_LOOPBACK_NOISE"); v != nullptr && *v != 0) {
    char* end = nullptr;
    const double rms = std::strtod(v, &end);
    if (end != v && *end == 0 && rms >= 0) o.loopbackNoiseRms = rms;
  }
  return o;
}

std::unique_ptr<AudioDevices> CreateAudioDevices(Settings& settings, const Clock& clock, DebugLog* log,
                                                 const AudioDeviceOptions& options) {
  InputEndpoints inputs;
  OutputEndpoints outputs;
  std::shared_ptr<PortAudioSystem> system;
  bool versionOk = true;
  if (options.soundCards) {
    versionOk = PortAudioSystem::VersionOk();
    system = std::make_shared<PortAudioSystem>();
    PortAudioSystem::AddEndpoints(system, inputs, outputs);
  }
  std::shared_ptr<LoopbackBus> ownBus;
  LoopbackBus* bus = options.loopback;
  if (bus == nullptr) {
    ownBus = std::make_shared<LoopbackBus>(clock, options.loopbackNoiseRms);
    bus = ownBus.get();
  }
  const int station = bus->AddStation();
  inputs.push_back(std::make_unique<BandSimulator>(clock, options.bandScenarioPath, settings.utcOffsetHours,
                                                   options.encoder));
  inputs.push_back(std::make_unique<WavFileInput>(clock, options.wavInputPath));
  inputs.push_back(bus->InputEndpoint(station));
  outputs.push_back(std::make_unique<WavRecorder>(clock, options.recorderFolder, settings.utcOffsetHours));
  outputs.push_back(bus->OutputEndpoint(station));
  auto devices = std::make_unique<AudioDevices>(settings, log, std::move(inputs), std::move(outputs), versionOk);
  if (system) devices->KeepAlive(system);
  if (ownBus) devices->KeepAlive(ownBus);
  return devices;
}

}  // namespace merivac
