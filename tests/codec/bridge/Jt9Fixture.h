// Jt9Fixture.h - a temporary program folder with the real jt9 tools, and an
// ideal JT9-1 signal written straight into a cycle recording.
#pragma once

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "codec/EncoderBridge.h"
#include "common/Recording.h"
#include "support/TempDir.h"

namespace merivac::testing {

// save/, extra/ and wsjt/ with links to the installed jt9 and jt9code.
class ProgramFolder {
 public:
  ProgramFolder() {
    namespace fs = std::filesystem;
    fs::create_directories(dir_.Path() / "save");
    fs::create_directories(dir_.Path() / "extra");
    fs::create_directories(dir_.Path() / "wsjt");
    fs::create_symlink(std::string(MERIVAC_WSJT_BIN) + "/jt9", dir_.Path() / "wsjt/jt9_copy");
    fs::create_symlink(std::string(MERIVAC_WSJT_BIN) + "/jt9code",
                       dir_.Path() / "wsjt/jt9code_copy");
  }
  std::string Str() const { return dir_.Str(); }
  std::filesystem::path Path() const { return dir_.Path(); }
  // Replaces wsjt/<name> with an executable shell script.
  void ReplaceTool(const std::string& name, const std::string& script) const {
    const auto p = dir_.Path() / "wsjt" / name;
    std::filesystem::remove(p);
    {
      std::ofstream out(p);
      out << "#!/bin/sh\n" << script << "\n";
    }
    ::chmod(p.c_str(), 0755);
  }

 private:
  TempDir dir_;
};

// Adds a JT9-1 transmission (symbols of 6912 samples at 12000 per second)
// starting at startSeconds, at frequency f, with the SNR in 2500 Hz against
// white noise of standard deviation sigma that the caller adds once.
inline void AddJt9Signal(CycleRecording& rec, const TxSymbolArray& symbols, double f, double snrDb,
                         double sigma, double startSeconds = 1.0) {
  const double noiseIn2500 = sigma * sigma * 2500.0 / 6000.0;
  const double a = std::sqrt(2.0 * noiseIn2500 * std::pow(10.0, snrDb / 10.0));
  double phase = 0;
  size_t n = static_cast<size_t>(startSeconds * 12000);
  for (uint8_t s : symbols) {
    const double step = 2 * M_PI * (f + s * 12000.0 / 6912.0) / 12000.0;
    for (int i = 0; i < 6912 && n < kRecordingSamples; ++i, ++n) {
      rec.samples[n] = static_cast<int16_t>(std::lround(rec.samples[n] + a * std::sin(phase)));
      phase += step;
    }
  }
}

inline void AddNoise(CycleRecording& rec, double sigma, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, sigma);
  for (auto& s : rec.samples) {
    s = static_cast<int16_t>(std::clamp<long>(std::lround(s + noise(gen)), -32768, 32767));
  }
}

}  // namespace merivac::testing
