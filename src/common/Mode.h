// Mode.h - the JT9 sub-modes and their per-mode constants.
//
// The mode is the cycle length in minutes (1, 2, 5 or 10). Every other
// per-mode figure (symbol length, transmission length, decode start, time
// compression of the receive path) derives from SamplesPerSymbol.
#pragma once

#include <cstdint>
#include <string>

namespace merivac {

constexpr int kSymbolsPerTransmission = 85;
constexpr int kRecordingRate = 12000;  // samples per second of the recording
constexpr int kSoundCardRate = 48000;  // samples per second at the sound card

// Samples per symbol at 12000 samples per second; 0 for any other mode value.
constexpr int32_t SamplesPerSymbol(uint32_t mode) {
  switch (mode) {
    case 1: return 6912;
    case 2: return 15360;
    case 5: return 40960;
    case 10: return 82944;
    default: return 0;
  }
}

constexpr bool IsValidMode(uint32_t mode) { return SamplesPerSymbol(mode) != 0; }

// Seconds from the start of the 85 symbols to their end.
constexpr double TransmissionSeconds(uint32_t mode) {
  return kSymbolsPerTransmission * static_cast<double>(SamplesPerSymbol(mode)) / kRecordingRate;
}

// Seconds into a receive cycle after which decoding starts.
constexpr double DecodeStartSeconds(uint32_t mode) { return TransmissionSeconds(mode) + 2.0; }

constexpr double CycleSeconds(uint32_t mode) { return 60.0 * mode; }

// "JT9-" followed by the cycle length.
inline std::string ModeName(uint32_t mode) { return "JT9-" + std::to_string(mode); }

// The sub-mode character of a decode: '1', '2', '5' or 'X' (JT9-10).
constexpr char ModeChar(uint32_t mode) {
  switch (mode) {
    case 1: return '1';
    case 2: return '2';
    case 5: return '5';
    case 10: return 'X';
    default: return '?';
  }
}

}  // namespace merivac
