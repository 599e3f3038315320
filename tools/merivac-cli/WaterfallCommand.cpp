// WaterfallCommand.cpp - merivac-cli waterfall on top of the capture chain,
// the cycle clock's time marks and the spectrum view.
#include "WaterfallCommand.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <charconv>
#include <cmath>
#include <memory>
#include <ostream>

#include "CliCommands.h"
#include "audio/CaptureChain.h"
#include "audio/WavFile.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Mode.h"
#include "common/Settings.h"
#include "cycle/CycleClock.h"
#include "spectrum/SpectrumLayout.h"
#include "spectrum/SpectrumView.h"

namespace merivac::cli {

namespace {

constexpr const char* kWaterfallUsage =
    "usage:\n"
    "  merivac-cli waterfall --mode N [--mixer-lo HZ] [--fslo HZ --fshi HZ]\n"
    "                        [--gain G] [--offs O] [--utc YYMMDD_HHNN] IN.wav OUT.png\n";

// Sound-card samples per 50 ms tick.
constexpr int64_t kTickSamples = kSoundCardRate / 20;

bool ParseInt(const std::string& text, int64_t& value) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && !text.empty();
}

// A whole number from lo to hi, or false with a sentence in error.
bool ParseIn(const std::string& option, const std::string& text, int64_t lo, int64_t hi,
             int64_t& value, std::string& error) {
  if (!ParseInt(text, value) || value < lo || value > hi) {
    error = option + " must be a whole number from " + std::to_string(lo) + " to " +
            std::to_string(hi) + ", not \"" + text + "\"";
    return false;
  }
  return true;
}

// "YYMMDD_HHNN" as a day count.
std::optional<double> ParseStartTime(const std::string& text) {
  if (text.size() != 11 || text[6] != '_') return std::nullopt;
  int64_t v[5];
  const size_t at[5] = {0, 2, 4, 7, 9};
  for (int k = 0; k < 5; ++k) {
    if (!ParseInt(text.substr(at[k], 2), v[k])) return std::nullopt;
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59) {
    return std::nullopt;
  }
  const double t =
      EncodeDateTime(static_cast<int>(2000 + v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                     static_cast<int>(v[3]), static_cast<int>(v[4]));
  if (FormatDateTime("yymmdd_hhnn", t) != text) return std::nullopt;  // e.g. 31 February
  return t;
}

// The recording as the recording channel, made available tick by tick and
// read from the file as the chain asks for it.
class WavFileChannel final : public InputChannel {
 public:
  explicit WavFileChannel(WavReader& reader) : reader_(reader) {}
  void MakeAvailable(int64_t upTo) { available_ = std::min(upTo, reader_.SampleCount()); }
  uint32_t WaitingBytes() override { return static_cast<uint32_t>((available_ - read_) * 2); }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    const auto n = static_cast<int32_t>(std::min<int64_t>(bytes / 2, available_ - read_));
    const int32_t got = reader_.ReadAt(read_, dest, n);
    read_ += got;
    return static_cast<uint32_t>(got) * 2;
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }

 private:
  WavReader& reader_;
  int64_t available_ = 0;
  int64_t read_ = 0;
};

// The 12 kHz samples that the idle stage hands to the spectrum from n
// sound-card samples in 50 ms ticks, and the lines they make.
long LinesOf(int64_t samples, uint32_t mode) {
  const int64_t presampled =
      samples / kTickSamples * (kTickSamples / 4) + samples % kTickSamples / 4;
  return static_cast<long>(presampled / FftLengthOf(mode));
}

// Text rendering needs a GUI application; a command line has none.
std::unique_ptr<QGuiApplication> EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "merivac-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

bool ParseWaterfallArgs(const std::vector<std::string>& args, WaterfallOptions& o,
                        std::string& error) {
  bool haveMode = false, haveLow = false, haveHigh = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool option = a.rfind("--", 0) == 0;
    if (option && a != "--mode" && a != "--mixer-lo" && a != "--fslo" && a != "--fshi" &&
        a != "--gain" && a != "--offs" && a != "--utc") {
      error = "unknown option " + a;
      return false;
    }
    if (!option) {
      files.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      error = a + " needs a value";
      return false;
    }
    const std::string& v = args[++i];
    int64_t n = 0;
    if (a == "--mode") {
      if (!ParseInt(v, n) || n < 1 || n > 10 || !IsValidMode(static_cast<uint32_t>(n))) {
        error = "--mode must be 1, 2, 5 or 10, not \"" + v + "\"";
        return false;
      }
      o.mode = static_cast<uint32_t>(n);
      haveMode = true;
    } else if (a == "--mixer-lo") {
      if (!ParseIn(a, v, 200, 19999, n, error)) return false;
      o.mixer = true;
      o.mixerLo = static_cast<int32_t>(n);
    } else if (a == "--fslo" || a == "--fshi") {
      if (!ParseIn(a, v, 0, 5000, n, error)) return false;
      (a == "--fslo" ? o.low : o.high) = static_cast<int32_t>(n);
      (a == "--fslo" ? haveLow : haveHigh) = true;
    } else if (a == "--gain") {
      if (!ParseIn(a, v, 0, 100, n, error)) return false;
      o.gain = static_cast<int>(n);
    } else if (a == "--offs") {
      if (!ParseIn(a, v, 0, kSpectrumHeight, n, error)) return false;
      o.offs = static_cast<int>(n);
    } else if (a == "--utc") {
      if (!ParseStartTime(v)) {
        error = "--utc must be YYMMDD_HHNN, not \"" + v + "\"";
        return false;
      }
      o.utc = v;
    }
  }
  if (!haveMode) {
    error = "--mode is required";
  } else if (haveLow != haveHigh) {
    error = "give --fslo and --fshi together";
  } else if (o.high - o.low < 100) {
    error = "--fshi must lie at least 100 Hz above --fslo";
  } else if (files.size() != 2) {
    error = "give the recording and the picture: IN.wav OUT.png";
  } else {
    o.in = files[0];
    o.out = files[1];
  }
  return error.empty();
}

int WaterfallCommand(const WaterfallOptions& o, std::ostream& out, std::ostream& err) {
  WavReader reader;
  std::string error;
  if (!reader.Open(o.in, error)) {
    err << "merivac-cli waterfall: " << error << "\n";
    return kExitUsage;
  }
  const long lines = LinesOf(reader.SampleCount(), o.mode);
  if (lines < 1) {
    err << "merivac-cli waterfall: " << o.in << " is shorter than one spectrum line of "
        << ModeName(o.mode) << " (" << FftLengthOf(o.mode) * 4.0 / kSoundCardRate << " s)\n";
    return kExitUsage;
  }
  if (lines > kMaxWaterfallRows) {
    err << "merivac-cli waterfall: " << o.in << " needs " << lines
        << " waterfall rows, more than the " << kMaxWaterfallRows << " of one picture\n";
    return kExitUsage;
  }
  const auto app = EnsureGuiApplication();

  // The recording's start, on the cycle clock's time scale (TIME 0: the
  // clock shows UTC).
  double start = 0;
  if (!o.utc.empty()) {
    start = *ParseStartTime(o.utc);
  } else {
    const double cycleDays = o.mode / kMinutesPerDay;
    start = std::floor(SystemLocalNow() / cycleDays) * cycleDays;
  }
  Settings settings;
  settings.mode = o.mode;
  settings.mixerEnabled = o.mixer;
  settings.mixerLo = o.mixerLo;
  settings.spectrumLow = o.low;
  settings.spectrumHigh = o.high;
  settings.spectrumGain = static_cast<uint8_t>(o.gain);
  settings.spectrumOffset = static_cast<int8_t>(o.offs);
  ManualClock clock(start);
  const bool logOff = false;
  DebugLog log(clock, logOff);
  MainControls controls;
  // A cycle that starts with the recording gets its mark on the first line.
  CycleClock cycle;
  cycle.Start(start - 0.05 / kSecondsPerDay, o.mode);
  // One row per line, and below them room for the first line's time mark
  // and its text, which reads downward.
  const int markRows = QFontMetrics(SpectrumWindowFont()).height() + 1;
  SpectrumView view(settings, controls, log, clock, cycle.timeMarkDue,
                    static_cast<int>(lines) + markRows);
  view.SetFrequencyMarkers(false);
  view.FormCreate(SpectrumWindowFont());
  view.FormActivate();
  view.Opened();

  WavFileChannel input(reader);
  bool deviceChanged = false;
  auto recording = std::make_unique<CycleRecording>();
  CaptureChain chain([&input]() -> InputChannel* { return &input; }, deviceChanged, view,
                     *recording, settings, log);
  if (o.mixer) chain.StartMixer(o.mixerLo);
  for (int64_t have = 0; have < reader.SampleCount();) {
    have = std::min(have + kTickSamples, reader.SampleCount());
    clock.Set(start + static_cast<double>(have) / kSoundCardRate / kSecondsPerDay);
    cycle.UpdateCycleStartMinute(clock.Now(), o.mode);
    input.MakeAvailable(have);
    chain.ProcessIdleInput();
  }
  if (view.LinesDrawn() != lines) {
    err << "merivac-cli waterfall: " << o.in << ": the file ends before its data does\n";
    return kExitUsage;
  }
  const QImage picture = ComposeSpectrumPicture(view);
  if (!picture.save(QString::fromStdString(o.out), "PNG")) {
    err << "merivac-cli waterfall: cannot write " << o.out << "\n";
    return kExitFailed;
  }
  out << "wrote " << o.out << " (" << lines << " lines, " << picture.width() << " x "
      << picture.height() << " pixels)\n";
  return kExitOk;
}

int WaterfallCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  WaterfallOptions o;
  std::string error;
  if (!ParseWaterfallArgs(args, o, error)) {
    err << "merivac-cli waterfall: " << error << "\n" << kWaterfallUsage;
    return kExitUsage;
  }
  return WaterfallCommand(o, out, err);
}

}  // namespace merivac::cli
