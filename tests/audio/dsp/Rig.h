// Rig.h - a capture chain wired to a fake input, a recording spectrum sink
// and a debug log in a temporary folder.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Fakes.h"
#include "audio/CaptureChain.h"
#include "support/TempDir.h"

namespace merivac::testing {

class RecordingSpectrum : public SpectrumSink {
 public:
  void UpdateSpectrum(const int16_t* samples, int count) override {
    samples_.insert(samples_.end(), samples, samples + count);
    calls += 1;
  }
  std::vector<int16_t> samples_;
  int calls = 0;
};

struct CaptureRig {
  explicit CaptureRig(bool buildTables = true) {
    log.Open((dir.Path() / "debug.txt").string());
    if (buildTables) chain.BuildSincTables();
  }

  // Every complete block of `samples` is processed: one extra sample stays
  // waiting, so the last block is also "more than one block".
  bool Feed(const std::vector<int16_t>& samples) {
    input.Append(samples);
    input.Append({0});
    return chain.ProcessReceiveInput();
  }

  std::vector<int16_t> Recorded() const {
    return std::vector<int16_t>(recording->samples.begin(),
                                recording->samples.begin() + recording->length);
  }

  // The texts of the debug log entries (after the time stamp).
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(dir.Path() / "debug.txt"));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto sep = line.find(" : ");
      lines.push_back(sep == std::string::npos ? line : line.substr(sep + 3));
    }
    return lines;
  }

  TempDir dir;
  ManualClock clock;
  bool logEnabled = true;
  DebugLog log{clock, logEnabled};
  Settings settings;
  FakeInput input;
  bool inputDeviceChanged = false;
  RecordingSpectrum spectrum;
  std::unique_ptr<CycleRecording> recording = std::make_unique<CycleRecording>();
  CaptureChain chain{
      [this] { return &input; }, inputDeviceChanged, spectrum, *recording, settings, log};
};

}  // namespace merivac::testing
