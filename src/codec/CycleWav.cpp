// CycleWav.cpp - writing the shifted cycle recording as a WAV file.
#include "codec/CycleWav.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/DateTime.h"
#include "common/DebugLog.h"
#include "common/Mode.h"

namespace merivac {

namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

std::string SavePath(const std::string& saveFolder, const std::string& wavName) {
  return (std::filesystem::path(saveFolder) / wavName).string();
}

}  // namespace

std::array<uint8_t, kWavHeaderBytes> CycleWavHeader() {
  std::array<uint8_t, kWavHeaderBytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], kWavFileBytes - 8);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // integer PCM
  Put16(&h[22], 1);  // mono
  Put32(&h[24], kRecordingRate);
  Put32(&h[28], kRecordingRate * 2);
  Put16(&h[32], 2);
  Put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], kWavDataBytes);
  return h;
}

std::string CycleWavName(double utcStart) {
  return FormatDateTime("yymmdd_hhnn", utcStart) + ".wav";
}

void ShiftRecording(const CycleRecording& recording, double shift, std::vector<int16_t>& out) {
  out.assign(kRecordingSamples, 0);
  // Whole samples: every pass shift is a multiple of 0.1 s, i.e. 1200 samples.
  const long s = std::lround(shift * kRecordingRate);
  const long n = static_cast<long>(kRecordingSamples);
  if (s >= n || s <= -n) return;
  if (s >= 0) {
    std::copy(recording.samples.begin(), recording.samples.end() - s, out.begin() + s);
  } else {
    std::copy(recording.samples.begin() - s, recording.samples.end(), out.begin());
  }
}

bool WriteCycleWav(const CycleRecording& recording, const std::string& saveFolder,
                   const std::string& wavName, double shift, DebugLog* log) {
  std::vector<int16_t> area;
  ShiftRecording(recording, shift, area);
  std::vector<uint8_t> bytes(kWavFileBytes);
  const auto header = CycleWavHeader();
  std::copy(header.begin(), header.end(), bytes.begin());
  for (uint32_t i = 0; i < kRecordingSamples; ++i) {
    Put16(&bytes[kWavHeaderBytes + 2 * i], static_cast<uint16_t>(area[i]));
  }
  const std::string path = SavePath(saveFolder, wavName);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    if (log != nullptr)
      log->Write("Cannot create " + path + " (" + std::strerror(errno) + ") [RX]");
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    if (log != nullptr) log->Write("Cannot write " + path + " [RX]");
    std::remove(path.c_str());
    return false;
  }
  return true;
}

void DeleteCycleWav(const std::string& saveFolder, const std::string& wavName) {
  std::error_code ec;
  std::filesystem::remove(SavePath(saveFolder, wavName), ec);
}

}  // namespace merivac
