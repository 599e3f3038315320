// StationRig.h - whole stations in simulated time for the end-to-end tests.
//
// A rig is one Station in its own program folder (with the real jt9 and
// jt9code as wsjt/jt9_copy and wsjt/jt9code_copy), driven by a shared
// ManualClock, with a fake serial line driver that notes every change of
// DTR and RTS with its simulated time, so PTT timing can be checked without
// hardware. Ticks lie on a 50 ms grid offset from the cycle boundaries, so
// that no tick falls exactly on a threshold of the engine.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/Loopback.h"
#include "common/DateTime.h"
#include "common/Mode.h"
#include "radio/SerialLineDriver.h"
#include "shell/Station.h"
#include "support/TempDir.h"

namespace merivac::endtoend {

inline bool HaveWsjtTools() {
  return std::filesystem::exists(std::string(MERIVAC_WSJT_BIN) + "/jt9") &&
         std::filesystem::exists(std::string(MERIVAC_WSJT_BIN) + "/jt9code");
}

// One change of a serial line, at simulated time `at` (day count).
struct LineEdge {
  double at = 0;
  bool asserted = false;
};

// Opens any name; records the DTR and RTS changes (not repeats of a state).
class RecordingSerialDriver final : public SerialLineDriver {
 public:
  explicit RecordingSerialDriver(const Clock& clock) : clock_(clock) {}
  bool Open(const std::string& name) override {
    open_ = true;
    name_ = name;
    return true;
  }
  bool Close() override {
    open_ = false;
    return true;
  }
  bool IsOpen() const override { return open_; }
  bool SetDtr(bool asserted) override { return Switch(dtr_, dtrEdges, asserted); }
  bool SetRts(bool asserted) override { return Switch(rts_, rtsEdges, asserted); }
  bool SetBreak(bool) override { return open_; }

  std::vector<LineEdge> dtrEdges;
  std::vector<LineEdge> rtsEdges;
  const std::string& Name() const { return name_; }

 private:
  bool Switch(bool& state, std::vector<LineEdge>& edges, bool asserted) {
    if (!open_) return false;
    if (state != asserted) edges.push_back({clock_.Now(), asserted});
    state = asserted;
    return true;
  }
  const Clock& clock_;
  bool open_ = false;
  bool dtr_ = false;
  bool rts_ = false;
  std::string name_;
};

// The simulated time grid: tick n lies at start + n x 50 ms. The clock is set
// from the tick number rather than advanced, so no rounding accumulates.
class SimTime {
 public:
  static constexpr double kTickSeconds = 0.05;
  SimTime(ManualClock& clock, double start) : clock_(clock), start_(start) { clock_.Set(start); }
  void Step() {
    ++n_;
    clock_.Set(start_ + n_ * kTickSeconds / kSecondsPerDay);
  }
  double Now() const { return clock_.Now(); }
  ManualClock& Clock() { return clock_; }

 private:
  ManualClock& clock_;
  double start_;
  long n_ = 0;
};

// The start of the cycle of `mode` that contains the UTC day count t.
inline double CycleStartOf(double t, uint32_t mode) {
  const double cycleDays = mode / kMinutesPerDay;
  return std::floor(t / cycleDays + 1e-9) * cycleDays;
}

// Seconds into its cycle of the first grid tick later than `threshold`
// seconds into the cycle, with ticks at offset + k x 50 ms into the cycle.
inline double FirstTickAfter(double threshold, double offset) {
  double k = std::floor((threshold - offset) / SimTime::kTickSeconds) + 1;
  return offset + k * SimTime::kTickSeconds;
}

// The columns of a decode line: time 1-4, report 6-8, frequency 15-18, mode
// character 20, message from 23.
struct DecodeColumns {
  std::string utc;
  int snr = -99;
  int freq = 0;
  char modeChar = ' ';
  std::string message;
};

inline std::string TrimBlanks(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

// A decode line, or false for any other line (start-up progress, failures).
inline bool ParseDecodeLine(const std::string& line, DecodeColumns& out) {
  if (line.size() <= 22) return false;
  try {
    size_t used = 0;
    out.utc = line.substr(0, 4);
    if (out.utc.find_first_not_of("0123456789") != std::string::npos) return false;
    out.snr = std::stoi(line.substr(5, 3), &used);
    out.freq = std::stoi(line.substr(14, 4), &used);
  } catch (const std::exception&) {
    return false;
  }
  out.modeChar = line[19];
  out.message = TrimBlanks(line.substr(22));
  return true;
}

struct StationSetup {
  std::string call;
  std::string grid;
  uint32_t mode = 1;
  std::string input = "Loopback";  // the listed name of the input device
  std::string output = "Loopback";
  uint16_t freq = 1225;  // RX and TX
  uint8_t pwr = 100;
  uint16_t txDelayMs = 200;
  bool shortQso = false;
  bool enableTxAfterSelect = true;
  bool multiDecode = false;
  bool mixerEnabled = false;
  int32_t mixerLo = 0;
  bool saveDebug = false;
  // Any further settings, applied last before the activation.
  std::function<void(Settings&)> adjust;
};

// One station in its own program folder.
class StationRig {
 public:
  StationRig(ManualClock& clock, const AudioDeviceOptions& audio) : serial_(clock) {
    namespace fs = std::filesystem;
    fs::create_directories(dir_.Path() / "wsjt");
    Link("jt9", "jt9_copy");
    Link("jt9code", "jt9code_copy");
    StationOptions options;
    options.clock = &clock;
    options.audio = audio;
    options.serial = &serial_;
    station_ = std::make_unique<Station>(options);
  }

  // Creates the window in the folder, applies the settings and activates.
  void Start(const StationSetup& setup) {
    Station& s = *station_;
    ASSERT_TRUE(s.Create(dir_.Str())) << s.FolderError();
    Settings& st = s.GetSettings();
    st.call = setup.call;
    st.grid = setup.grid;
    st.mode = setup.mode;
    st.inputDevice = s.Audio().FindInput(setup.input);
    st.outputDevice = s.Audio().FindOutput(setup.output);
    ASSERT_GE(st.inputDevice, 0) << setup.input;
    ASSERT_GE(st.outputDevice, 0) << setup.output;
    st.rxFreq = st.txFreq = setup.freq;
    st.pwr = setup.pwr;
    st.txDelayMs = setup.txDelayMs;
    st.port = "ttyFAKE0";
    st.pttMethod = 1;  // DTR
    st.shortQso = setup.shortQso;
    st.enableTxAfterSelect = setup.enableTxAfterSelect;
    st.multiDecode = setup.multiDecode;
    st.mixerEnabled = setup.mixerEnabled;
    st.mixerLo = setup.mixerLo;
    st.saveDebug = setup.saveDebug;
    if (setup.adjust) setup.adjust(st);
    s.Activate();
    ASSERT_TRUE(s.GetEngine().TimerEnabled());
    ASSERT_EQ(serial_.Name(), "ttyFAKE0");
    ASSERT_EQ(s.GetSettings().pttMethod, 1) << "the serial step fell back to VOX";
    ASSERT_GE(s.GetSettings().inputDevice, 0) << "the input device did not open";
    ASSERT_GE(s.GetSettings().outputDevice, 0) << "the output device did not open";
  }

  // The decode lines of a window, in order.
  static std::vector<DecodeColumns> Decodes(const MemoModel& memo) {
    std::vector<DecodeColumns> out;
    for (size_t i = 0; i < memo.LineCount(); ++i) {
      DecodeColumns d;
      if (ParseDecodeLine(memo.Line(i).text, d)) out.push_back(d);
    }
    return out;
  }

  static std::string Dump(const MemoModel& memo) {
    std::string out;
    for (size_t i = 0; i < memo.LineCount(); ++i) out += memo.Line(i).text + "\n";
    return out;
  }

  Station& S() { return *station_; }
  RecordingSerialDriver& Serial() { return serial_; }
  const testing::TempDir& Dir() const { return dir_; }

 private:
  void Link(const std::string& tool, const std::string& copy) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target = dir_.Path() / "wsjt" / copy;
    fs::create_symlink(std::string(MERIVAC_WSJT_BIN) + "/" + tool, target, ec);
    if (ec) fs::copy_file(std::string(MERIVAC_WSJT_BIN) + "/" + tool, target, ec);
  }

  testing::TempDir dir_;
  RecordingSerialDriver serial_;
  std::unique_ptr<Station> station_;
};

}  // namespace merivac::endtoend
