// AudioDevicesSetup.h - the program's device lists: the sound cards first,
// in PortAudio's order, then the simulated devices.
//
//   input list:  sound cards..., "Band simulator", "WAV file", "Loopback"
//   output list: sound cards..., "WAV recorder", "Loopback"
#pragma once

#include <memory>
#include <string>

#include "audio/AudioDevices.h"
#include "audio/BandSimulator.h"
#include "common/Clock.h"

namespace merivac {

class DebugLog;
class LoopbackBus;

struct AudioDeviceOptions {
  bool soundCards = true;                          // list PortAudio's devices
  std::string bandScenarioPath = "band-simulator.txt";  // relative to the program folder
  std::string wavInputPath = "input.wav";
  std::string recorderFolder = "extra";
  SymbolEncoder encoder;                           // for message texts in scenarios
  // The bus the loopback pair joins; without one the devices get a bus of
  // their own (the station then hears its own loopback output).
  LoopbackBus* loopback = nullptr;
  double loopbackNoiseRms = 0.0;                   // for a bus of their own
};

// The defaults, overridden by MERIVAC_BAND_SCENARIO, MERIVAC_WAV_INPUT,
// MERIVAC_WAV_RECORDER (folder) and MERIVAC_LOOPBACK_NOISE (rms) when set.
AudioDeviceOptions AudioDeviceOptionsFromEnvironment();

std::unique_ptr<AudioDevices> CreateAudioDevices(Settings& settings, const Clock& clock, DebugLog* log,
                                                 const AudioDeviceOptions& options);

}  // namespace merivac
