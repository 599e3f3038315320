// CycleWav.h - the WAV file of one decoding pass.
//
// Every pass writes the whole cycle recording as a 12000 samples per second,
// 16-bit mono PCM file of exactly 1 440 044 bytes into the save/ folder,
// delayed or advanced by that pass's time shift. The decoder reads it; it is
// deleted after the pass unless "Save WAV files" is on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Recording.h"

namespace merivac {

class DebugLog;

constexpr uint32_t kWavHeaderBytes = 44;
constexpr uint32_t kWavDataBytes = kRecordingSamples * 2;
constexpr uint32_t kWavFileBytes = kWavHeaderBytes + kWavDataBytes;

// The 44-byte RIFF header of a cycle file.
std::array<uint8_t, kWavHeaderBytes> CycleWavHeader();

// "yymmdd_hhnn.wav" of a cycle's start (a UTC day count).
std::string CycleWavName(double utcStart);

// The recording shifted by `shift` seconds (positive delays, negative
// advances); samples moved in from outside the recording are 0.
void ShiftRecording(const CycleRecording& recording, double shift, std::vector<int16_t>& out);

// Writes <saveFolder>/<wavName> (the program's save/ folder), replacing an
// existing file. Returns false (with a debug-log line when a log is given)
// when the file cannot be created or written completely; a partial file is
// removed.
bool WriteCycleWav(const CycleRecording& recording, const std::string& saveFolder,
                   const std::string& wavName, double shift, DebugLog* log = nullptr);

// Removes <saveFolder>/<wavName>; a missing file is no error.
void DeleteCycleWav(const std::string& saveFolder, const std::string& wavName);

}  // namespace merivac
