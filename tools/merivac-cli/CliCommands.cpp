// CliCommands.cpp - merivac-cli's commands on top of the capture chain, the
// band simulator's signal generator and the codec bridge.
#include "CliCommands.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cmath>
#include <filesystem>
#include <memory>
#include <new>
#include <ostream>

#include "CliSpot.h"
#include "WaterfallCommand.h"
#include "audio/BandSimulator.h"
#include "audio/CaptureChain.h"
#include "audio/WavFile.h"
#include "codec/DecoderBridge.h"
#include "codec/EncoderBridge.h"
#include "codec/ProcessRunner.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Mode.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/DecodeWindows.h"
#include "qso/Frequencies.h"
#include "StationDataCommands.h"

namespace merivac::cli {

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  merivac-cli decode --mode N [--mixer-lo HZ] [--multi] [--rx-low HZ --rx-high HZ]\n"
    "                     [--discard-rx-limits] [--folder DIR] [--utc YYMMDD_HHNN]\n"
    "                     [--spot CALL:GRID --dial HZ] FILE.wav\n"
    "  merivac-cli encode [--folder DIR] \"MESSAGE\"\n"
    "  merivac-cli synth --mode N --tx FREQ:SNR:MESSAGE [--tx ...] [--seconds S] [--seed K]\n"
    "                    [--mixer-lo HZ] [--folder DIR] OUT.wav\n"
    "  merivac-cli lookup [--folder DIR] CALL...\n"
    "  merivac-cli logbook FILE --band BAND --mode MODE [--calls]\n"
    "  merivac-cli was-from-uls [--active HD.dat] EN.dat OUT\n";

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && !text.empty();
}

// Walks the arguments: options with and without a value, and positionals.
class ArgWalker {
 public:
  explicit ArgWalker(const std::vector<std::string>& args) : args_(args) {}
  bool Done() const { return i_ >= args_.size(); }
  const std::string& Next() { return args_[i_++]; }
  bool Value(const std::string& option, std::string& value, std::string& error) {
    if (Done()) {
      error = option + " needs a value";
      return false;
    }
    value = Next();
    return true;
  }

 private:
  const std::vector<std::string>& args_;
  size_t i_ = 0;
};

bool ParseMode(const std::string& text, uint32_t& mode, std::string& error) {
  if (!ParseNumber(text, mode) || !IsValidMode(mode)) {
    error = "--mode must be 1, 2, 5 or 10, not \"" + text + "\"";
    return false;
  }
  return true;
}

bool ParseHz(const std::string& option, const std::string& text, int lo, int hi, int& value,
             std::string& error) {
  if (!ParseNumber(text, value) || value < lo || value > hi) {
    error = option + " must be a whole number of Hz from " + std::to_string(lo) + " to " +
            std::to_string(hi) + ", not \"" + text + "\"";
    return false;
  }
  return true;
}

// "YYMMDD_HHNN" as a day count.
std::optional<double> ParseCycleTime(const std::string& text) {
  if (text.size() != 11 || text[6] != '_') return std::nullopt;
  int v[5];
  const size_t at[5] = {0, 2, 4, 7, 9};
  for (int k = 0; k < 5; ++k) {
    if (!ParseNumber(text.substr(at[k], 2), v[k])) return std::nullopt;
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59) {
    return std::nullopt;
  }
  const double t = EncodeDateTime(2000 + v[0], v[1], v[2], v[3], v[4]);
  if (FormatDateTime("yymmdd_hhnn", t) != text) return std::nullopt;  // e.g. 31 February
  return t;
}

bool ToolsPresent(const std::string& folder, const char* tool, std::string& error) {
  const auto path = std::filesystem::path(folder) / tool;
  if (::access(path.c_str(), X_OK) != 0) {
    error = "the program folder \"" + folder + "\" has no executable " + tool +
            " (copy WSJT-X's tools there, as scripts/setup.sh does)";
    return false;
  }
  return true;
}

// Serves a block of sound-card input as a recording channel.
class BufferInput final : public InputChannel {
 public:
  explicit BufferInput(const std::vector<int16_t>& samples) : samples_(samples) {}
  void MakeAvailable(size_t upTo) { available_ = upTo; }
  uint32_t WaitingBytes() override { return static_cast<uint32_t>((available_ - read_) * 2); }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    const size_t n = std::min<size_t>(bytes / 2, available_ - read_);
    for (size_t k = 0; k < n; ++k, ++read_) {
      dest[k] = read_ < samples_.size() ? samples_[read_] : int16_t{0};
    }
    return static_cast<uint32_t>(n * 2);
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }

 private:
  const std::vector<int16_t>& samples_;
  size_t available_ = 0;
  size_t read_ = 0;
};

// A clock that runs in real time from a chosen start.
class RunningClock final : public Clock {
 public:
  explicit RunningClock(double start) : start_(start), t0_(system_.Elapsed()) {}
  double Now() const override { return start_ + (system_.Elapsed() - t0_) / kSecondsPerDay; }
  double Elapsed() const override { return system_.Elapsed() - t0_; }

 private:
  SystemClock system_;
  double start_;
  double t0_;
};

// Reads the first samples of a recording, at most maxSamples of them: a
// decode needs one cycle, however long the file is (or claims to be).
bool ReadInput(const std::string& path, size_t maxSamples, std::vector<int16_t>& samples,
               std::string& error) {
  WavReader reader;
  if (!reader.Open(path, error)) return false;
  const size_t wanted = static_cast<size_t>(std::min<int64_t>(
      reader.SampleCount(), static_cast<int64_t>(std::min<size_t>(maxSamples, INT32_MAX))));
  samples.resize(wanted);
  const int32_t n = reader.ReadAt(0, samples.data(), static_cast<int32_t>(wanted));
  if (n != static_cast<int32_t>(wanted)) {
    error = path + ": the file ends before its data does";
    return false;
  }
  return true;
}

// The input the capture chain takes for one cycle: up to the first tick
// after decoding would start.
size_t CycleInputSamples(uint32_t mode) {
  return static_cast<size_t>(std::ceil(DecodeStartSeconds(mode) * kSoundCardRate)) +
         kSoundCardRate / 20;
}

// A folder of this run's own for the pass recordings, removed again at the
// end: decodes running side by side, and a program working in the same
// program folder, never write each other's files.
class PrivateFolder {
 public:
  PrivateFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") +
                          "/merivac-cli-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~PrivateFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// SIGINT, SIGTERM and SIGHUP stop a decode between two reads of the
// decoder's output: the decoder is ended with its process group and the
// private folder removed before the command returns 128 + the signal.
volatile std::sig_atomic_t stopSignal = 0;
bool* stopDecoding = nullptr;

void OnStopSignal(int sig) {
  stopSignal = sig;
  if (stopDecoding != nullptr) *stopDecoding = true;
}

class StopSignals {
 public:
  StopSignals() {
    stopSignal = 0;
    stopDecoding = nullptr;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous_[i]);
  }
  ~StopSignals() {
    for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    stopDecoding = nullptr;
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
  // From now on a signal also stops the decoding that stop controls.
  void Stop(bool& stop) {
    stopDecoding = &stop;
    if (stopSignal != 0) stop = true;
  }
  int Signal() const { return stopSignal; }

 private:
  static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
  std::array<struct sigaction, 3> previous_{};
};

}  // namespace

bool ParseDecodeArgs(const std::vector<std::string>& args, DecodeOptions& o, std::string& error) {
  ArgWalker w(args);
  std::string v;
  bool haveMode = false;
  while (!w.Done()) {
    const std::string a = w.Next();
    if (a == "--mode") {
      if (!w.Value(a, v, error) || !ParseMode(v, o.mode, error)) return false;
      haveMode = true;
    } else if (a == "--mixer-lo") {
      if (!w.Value(a, v, error) || !ParseHz(a, v, 200, 19999, o.mixerLo, error)) return false;
      o.mixer = true;
    } else if (a == "--multi") {
      o.multi = true;
    } else if (a == "--rx-low" || a == "--rx-high") {
      int hz = 0;
      if (!w.Value(a, v, error) || !ParseHz(a, v, 0, 65535, hz, error)) return false;
      (a == "--rx-low" ? o.rxLow : o.rxHigh) = hz;
    } else if (a == "--discard-rx-limits") {
      o.discardRxLimits = true;
    } else if (a == "--folder") {
      if (!w.Value(a, o.folder, error)) return false;
    } else if (a == "--utc") {
      if (!w.Value(a, o.utc, error)) return false;
      if (!ParseCycleTime(o.utc)) {
        error = "--utc must be YYMMDD_HHNN, not \"" + o.utc + "\"";
        return false;
      }
    } else if (a == "--spot") {
      if (!w.Value(a, v, error) || !ParseSpotArgument(v, o.spotCall, o.spotGrid, error))
        return false;
    } else if (a == "--dial") {
      if (!w.Value(a, v, error) || !ParseDialArgument(v, o.dialHz, error)) return false;
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown option " + a;
      return false;
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      error = "more than one input file: " + a;
      return false;
    }
  }
  if (!haveMode)
    error = "--mode is required";
  else if (o.file.empty())
    error = "no input file";
  else if (o.rxLow.has_value() != o.rxHigh.has_value())
    error = "give --rx-low and --rx-high together";
  else if (o.rxLow && *o.rxLow > *o.rxHigh)
    error = "--rx-low is above --rx-high";
  else
    error = SpotArgumentsError(o);
  return error.empty();
}

bool ParseSynthArgs(const std::vector<std::string>& args, SynthOptions& o, std::string& error) {
  ArgWalker w(args);
  std::string v;
  bool haveMode = false;
  while (!w.Done()) {
    const std::string a = w.Next();
    if (a == "--mode") {
      if (!w.Value(a, v, error) || !ParseMode(v, o.mode, error)) return false;
      haveMode = true;
    } else if (a == "--tx") {
      if (!w.Value(a, v, error)) return false;
      const size_t c1 = v.find(':');
      const size_t c2 = c1 == std::string::npos ? c1 : v.find(':', c1 + 1);
      SynthTx tx;
      if (c2 == std::string::npos || !ParseNumber(v.substr(0, c1), tx.freq) ||
          !ParseNumber(v.substr(c1 + 1, c2 - c1 - 1), tx.snrDb) || c2 + 1 >= v.size() ||
          !std::isfinite(tx.freq) || tx.freq <= 0 || tx.freq >= 24000 ||
          !std::isfinite(tx.snrDb) || tx.snrDb < -60 || tx.snrDb > 60) {
        error = "--tx must be FREQ:SNR:MESSAGE (Hz above 0 and below 24000, dB from -60 to 60, "
                "text), not \"" + v + "\"";
        return false;
      }
      tx.message = v.substr(c2 + 1);
      o.txs.push_back(tx);
    } else if (a == "--seconds") {
      if (!w.Value(a, v, error) || !ParseNumber(v, o.seconds) || !std::isfinite(o.seconds) ||
          o.seconds <= 0 || o.seconds > 3600) {
        error = "--seconds must be a number of seconds from above 0 to 3600";
        return false;
      }
    } else if (a == "--seed") {
      if (!w.Value(a, v, error) || !ParseNumber(v, o.seed)) {
        error = "--seed must be a whole number";
        return false;
      }
    } else if (a == "--mixer-lo") {
      if (!w.Value(a, v, error) || !ParseHz(a, v, 200, 19999, o.mixerLo, error)) return false;
    } else if (a == "--folder") {
      if (!w.Value(a, o.folder, error)) return false;
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown option " + a;
      return false;
    } else if (o.out.empty()) {
      o.out = a;
    } else {
      error = "more than one output file: " + a;
      return false;
    }
  }
  if (!haveMode)
    error = "--mode is required";
  else if (o.txs.empty())
    error = "at least one --tx is required";
  else if (o.out.empty())
    error = "no output file";
  // All nine tones, shifted by the mixer's oscillator, must lie below the
  // 24000 Hz that 48000 samples per second can carry.
  for (const SynthTx& tx : o.txs) {
    if (!error.empty()) break;
    const double top = tx.freq + o.mixerLo + 8 * 12000.0 / SamplesPerSymbol(o.mode);
    if (top >= 24000) {
      error = "the tones of " + std::to_string(static_cast<long>(tx.freq)) +
              " Hz reach " + std::to_string(static_cast<long>(top)) +
              " Hz with the mixer; they must stay below 24000 Hz";
    }
  }
  return error.empty();
}

void RecordCycle(const std::vector<int16_t>& input48k, uint32_t mode, bool mixer, int32_t mixerLo,
                 CycleRecording& recording) {
  Settings settings;
  settings.mode = mode;
  settings.mixerEnabled = mixer;
  settings.mixerLo = mixerLo;
  SystemClock clock;
  const bool logOff = false;
  DebugLog log(clock, logOff);
  bool deviceChanged = false;
  SpectrumSink spectrum;
  BufferInput input(input48k);
  CaptureChain chain([&]() -> InputChannel* { return &input; }, deviceChanged, spectrum, recording,
                     settings, log);
  chain.BuildSincTables();
  if (mixer) chain.StartMixer(mixerLo);
  recording.Clear();
  chain.StartCycleCapture();
  // The main tick runs every 50 ms and decoding starts once the cycle is
  // past the end of the transmission plus 2 s.
  const size_t tick = kSoundCardRate / 20;
  const double decodeStart = DecodeStartSeconds(mode);
  for (size_t have = tick;; have += tick) {
    input.MakeAvailable(have);
    chain.ProcessReceiveInput();
    if (static_cast<double>(have) / kSoundCardRate > decodeStart) break;
  }
}

int DecodeCommand(const DecodeOptions& o, std::ostream& out, std::ostream& err) {
  std::string error;
  if (!ToolsPresent(o.folder, kDecoderPath, error)) {
    err << "merivac-cli: " << error << "\n";
    return kExitUsage;
  }
  std::vector<int16_t> input;
  if (!ReadInput(o.file, CycleInputSamples(o.mode), input, error)) {
    err << "merivac-cli: " << error << "\n";
    return kExitUsage;
  }
  // Handlers first: a signal at any moment from here on leaves no folder
  // behind (it is removed on the way out) and no decoder running.
  StopSignals signals;
  const PrivateFolder save;
  if (save.Path().empty()) {
    err << "merivac-cli: cannot make a folder for the recording in " << "the temporary folder\n";
    return kExitFailed;
  }

  auto recording = std::make_unique<CycleRecording>();
  RecordCycle(input, o.mode, o.mixer, o.mixerLo, *recording);
  if (signals.Signal() != 0) return 128 + signals.Signal();

  Settings settings;
  settings.mode = o.mode;
  settings.multiDecode = o.multi;
  settings.discardRxLimits = o.discardRxLimits;
  settings.mixerEnabled = o.mixer;
  settings.mixerLo = o.mixerLo;
  const FrequencyLimits limits = ComputeFreqLimits(o.mode, false, o.discardRxLimits);
  const RxFreqLimits rx{o.rxLow ? static_cast<uint16_t>(*o.rxLow) : limits.rxLow,
                        o.rxHigh ? static_cast<uint16_t>(*o.rxHigh) : limits.rxHigh};
  // The cycle start: the given one, or the current cycle of the PC clock.
  double cycleStart = 0;
  if (!o.utc.empty()) {
    cycleStart = *ParseCycleTime(o.utc);
  } else {
    const double cycleDays = o.mode / kMinutesPerDay;
    cycleStart = std::floor(SystemLocalNow() / cycleDays) * cycleDays;
  }
  // Decoding runs 31 s into the cycle's last minute: the deadline (the
  // nearest minute boundary) is then the cycle's end, 29 s of real time
  // away, room for all eleven passes of --multi.
  RunningClock clock(cycleStart + (o.mode - 1 + 31.0 / 60.0) / kMinutesPerDay);
  const bool logOff = false;
  DebugLog log(clock, logOff);
  MainControls controls;
  NullUiServices ui;
  DecodeWindows windows(settings, clock, ui);
  PosixProcessRunner runner;
  DecodeSinks sinks;
  DecoderBridge::Deps deps{settings, clock, log, controls, ui, *recording, windows, runner, sinks,
                           [rx] { return rx; }, o.folder};
  deps.saveFolder = save.Path();
  DecoderBridge bridge(deps);
  signals.Stop(windows.StopDecoding());
  const DecodeCycleResult result = bridge.DecodeCycle();
  if (signals.Signal() != 0) return 128 + signals.Signal();
  for (const auto& record : result.decodes) out << FormatDecodeLine(record) << "\n";
  for (const auto& line : windows.BandMemo().Lines()) {
    if (line.text.find("Failed to decode") != std::string::npos) err << line.text << "\n";
  }
  if (result.recordingFailed) {
    err << "merivac-cli: the recording could not be written to " << save.Path() << "\n";
    return kExitFailed;
  }
  if (result.decoderFailed) {
    err << "merivac-cli: the decoder " << o.folder << "/" << kDecoderPath
        << " failed (it could not start, crashed, or printed nothing or far too much)\n";
    return kExitFailed;
  }
  if (!o.spotCall.empty()) return SpotRecording(o, result.decodes, out, err);
  return kExitOk;
}

int EncodeCommand(const std::string& folder, const std::string& message, std::ostream& out,
                  std::ostream& err) {
  std::string error;
  if (!ToolsPresent(folder, kEncoderPath, error)) {
    err << "merivac-cli: " << error << "\n";
    return kExitUsage;
  }
  PosixProcessRunner runner;
  const auto symbols = RunEncoder(runner, folder, message);
  if (!symbols) {
    err << "merivac-cli: the encoder could not be run\n";
    return kExitFailed;
  }
  for (size_t i = 0; i < symbols->size(); ++i) {
    out << (i ? " " : "") << static_cast<int>((*symbols)[i]);
  }
  out << "\n";
  return kExitOk;
}

int SynthCommand(const SynthOptions& o, std::ostream& out, std::ostream& err) {
  std::string error;
  if (!ToolsPresent(o.folder, kEncoderPath, error)) {
    err << "merivac-cli: " << error << "\n";
    return kExitUsage;
  }
  PosixProcessRunner runner;
  BandScenario scenario;
  scenario.seed = o.seed;
  for (const auto& tx : o.txs) {
    const auto symbols = RunEncoder(runner, o.folder, tx.message);
    if (!symbols) {
      err << "merivac-cli: the encoder could not be run\n";
      return kExitFailed;
    }
    BandSignal s;
    s.mode = o.mode;
    s.freq = tx.freq + o.mixerLo;
    s.snrDb = tx.snrDb;
    s.dt = 1.0;
    s.message = tx.message;
    s.symbols = *symbols;
    scenario.transmissions.push_back(s);
  }
  BandSynth synth(scenario);
  WavWriter writer;
  if (!writer.Create(o.out, error)) {
    err << "merivac-cli: " << error << "\n";
    return kExitFailed;
  }
  const double seconds = o.seconds > 0 ? o.seconds : CycleSeconds(o.mode);
  const int64_t total = std::llround(seconds * kSoundCardRate);
  // Any cycle start will do; this one is a start in every mode.
  const int64_t first = UtcSampleNumber(EncodeDateTime(2026, 12, 9, 19, 40));
  std::vector<int16_t> block(kSoundCardRate);
  for (int64_t done = 0; done < total;) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(total - done, kSoundCardRate));
    synth.Produce(block.data(), n, first + done);
    if (!writer.Append(block.data(), n)) {
      err << "merivac-cli: cannot write " << o.out << "\n";
      return kExitFailed;
    }
    done += n;
  }
  writer.Close();
  out << "wrote " << o.out << " (" << total << " samples)\n";
  return kExitOk;
}

namespace {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // A command must end with a message, never abort: a recording or scenario
  // too large for memory, say.
  try {
    return RunCommand(args, out, err);
  } catch (const std::bad_alloc&) {
    err << "merivac-cli: out of memory\n";
  } catch (const std::exception& e) {
    err << "merivac-cli: " << e.what() << "\n";
  }
  return kExitFailed;
}

namespace {

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  if (IsStationDataCommand(args[0])) return RunStationDataCommand(args, out, err);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  std::string error;
  if (args[0] == "decode") {
    DecodeOptions o;
    if (!ParseDecodeArgs(rest, o, error)) {
      err << "merivac-cli decode: " << error << "\n" << kUsage;
      return kExitUsage;
    }
    return DecodeCommand(o, out, err);
  }
  if (args[0] == "synth") {
    SynthOptions o;
    if (!ParseSynthArgs(rest, o, error)) {
      err << "merivac-cli synth: " << error << "\n" << kUsage;
      return kExitUsage;
    }
    return SynthCommand(o, out, err);
  }
  if (args[0] == "waterfall") return WaterfallCli(rest, out, err);
  if (args[0] == "encode") {
    std::string folder = ".";
    std::vector<std::string> words;
    for (size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == "--folder" && i + 1 < rest.size()) {
        folder = rest[++i];
      } else {
        words.push_back(rest[i]);
      }
    }
    if (words.size() != 1 || words[0].empty()) {
      err << "merivac-cli encode: give the message as one argument\n" << kUsage;
      return kExitUsage;
    }
    return EncodeCommand(folder, words[0], out, err);
  }
  err << "merivac-cli: unknown command \"" << args[0] << "\"\n" << kUsage;
  return kExitUsage;
}

}  // namespace

}  // namespace merivac::cli
