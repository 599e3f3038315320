// EngineRig.h - an Engine wired to fakes, driven tick by tick in simulated
// time with a ManualClock.
//
// The fakes behave like the real devices as far as the engine can tell: the
// input produces 48000 samples per second while it is not paused, the
// output plays its queue at 48000 samples per second, the decoder may take
// time. What they see is written to one journal (with the time and the
// position in the cycle), so tests can ask when and in which order things
// happened.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Mode.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "cycle/CycleClock.h"
#include "cycle/Engine.h"
#include "support/TempDir.h"

namespace merivac::testing {

constexpr double kTick = 0.05;

struct JournalEntry {
  std::string what;
  double local;  // PC clock
  double sec;    // seconds into the cycle (UTC) at that moment
};

class Journal {
 public:
  Journal(const ManualClock& clock, const Settings& settings)
      : clock_(clock), settings_(settings) {}
  void Add(const std::string& what) {
    const double utc = UtcFromLocal(clock_.Now(), settings_.utcOffsetHours);
    entries.push_back({what, clock_.Now(), SecondsIntoCycle(utc, settings_.mode)});
  }
  // All entries with exactly this text.
  std::vector<JournalEntry> All(const std::string& what) const {
    std::vector<JournalEntry> out;
    for (const auto& e : entries)
      if (e.what == what) out.push_back(e);
    return out;
  }
  std::optional<JournalEntry> First(const std::string& what) const {
    for (const auto& e : entries)
      if (e.what == what) return e;
    return std::nullopt;
  }
  // Index of the first entry with this text, -1 when none.
  int IndexOf(const std::string& what) const {
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].what == what) return static_cast<int>(i);
    return -1;
  }
  size_t Count(const std::string& what) const { return All(what).size(); }
  std::vector<JournalEntry> entries;

 private:
  const ManualClock& clock_;
  const Settings& settings_;
};

// A sound-card input: 48000 samples per second of a constant amplitude
// while it runs; paused it records nothing.
class FakeInputChannel final : public InputChannel {
 public:
  FakeInputChannel(const ManualClock& clock, Journal& journal) : clock_(clock), journal_(journal) {}
  uint32_t WaitingBytes() override {
    Update();
    return error ? kAudioError : static_cast<uint32_t>(waitingSamples_ * 2);
  }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    Update();
    const uint32_t n = std::min<uint32_t>(bytes / 2, static_cast<uint32_t>(waitingSamples_));
    for (uint32_t i = 0; i < n; ++i) dest[i] = static_cast<int16_t>(i % 2 ? -amplitude : amplitude);
    waitingSamples_ -= n;
    return n * 2;
  }
  bool Pause() override {
    Update();
    paused_ = true;
    journal_.Add("input pause");
    return true;
  }
  bool Resume() override {
    Update();
    paused_ = false;
    journal_.Add("input resume");
    return true;
  }
  bool Paused() const { return paused_; }
  int16_t amplitude = 100;
  bool error = false;

 private:
  void Update() {
    const double now = clock_.Now();
    if (!started_) {
      started_ = true;
      last_ = now;
    }
    if (!paused_) {
      produced_ += (now - last_) * kSecondsPerDay * kSoundCardRate;
      const auto whole = static_cast<int64_t>(produced_);
      produced_ -= static_cast<double>(whole);
      waitingSamples_ = std::min<int64_t>(waitingSamples_ + whole, 5 * kSoundCardRate);
    }
    last_ = now;
  }
  const ManualClock& clock_;
  Journal& journal_;
  bool started_ = false;
  bool paused_ = false;
  double last_ = 0;
  double produced_ = 0;
  int64_t waitingSamples_ = 0;
};

class FakeRecordInput final : public RecordInput {
 public:
  explicit FakeRecordInput(InputChannel* in) : channel(in) {}
  InputChannel* RecordChannel() override { return channel; }
  InputChannel* channel;
};

// A capture chain that reads the input and keeps count of what it was given.
class FakeCapture final : public CaptureStage {
 public:
  FakeCapture(ManualClock& clock, RecordInput& input, Journal& journal)
      : clock_(clock), input_(input), journal_(journal), buffer_(5 * kSoundCardRate) {}
  uint32_t FlushInput() override {
    const uint32_t n = Drain();
    ++flushes;
    return n;
  }
  std::span<const int16_t> FlushedSamples() const override {
    return std::span<const int16_t>(buffer_.data(), held_);
  }
  bool ProcessReceiveInput() override {
    if (deviceChanged) {
      deviceChanged = false;
      Drain();
      journal_.Add("device changed");
      return false;
    }
    const uint32_t n = Drain();
    if (n != kAudioError) recordedBytes += n;
    RaiseInputPeak(buffer_.data(), held_);
    return true;
  }
  void ProcessIdleInput() override {
    Drain();
    RaiseInputPeak(buffer_.data(), held_);
    ++idleCalls;
    if (idleStageSeconds > 0) clock_.AdvanceSeconds(idleStageSeconds);
    if (throwInIdle > 0) {
      --throwInIdle;
      throw std::runtime_error("idle stage failed");
    }
  }
  void StartCycleCapture() override {
    recordedBytes = 0;
    journal_.Add("cycle start");
  }
  int16_t InputPeak() const override { return peak_; }
  void ResetInputPeak() override { peak_ = 0; }
  void RaiseInputPeak(const int16_t* samples, size_t count) override {
    for (size_t i = 0; i < count; ++i)
      peak_ =
          static_cast<int16_t>(std::max<int>(peak_, std::min(32767, std::abs(int{samples[i]}))));
  }

  bool deviceChanged = false;
  int throwInIdle = 0;
  double idleStageSeconds = 0;  // simulated duration of each idle stage
  uint64_t recordedBytes = 0;
  int flushes = 0;
  int idleCalls = 0;

 private:
  uint32_t Drain() {
    held_ = 0;
    InputChannel* in = input_.RecordChannel();
    if (in == nullptr) return kAudioError;
    const uint32_t n = in->WaitingBytes();
    if (n == kAudioError) return n;
    held_ = in->Read(buffer_.data(), n) / 2;
    return n;
  }
  ManualClock& clock_;
  RecordInput& input_;
  Journal& journal_;
  std::vector<int16_t> buffer_;
  size_t held_ = 0;
  int16_t peak_ = 0;
};

// The output stream: plays its queue at 96000 bytes per second; FillTxOutput
// adds whole symbols until 2.5 s are queued, as the real synthesis does.
class FakeOutput final : public TxOutput {
 public:
  FakeOutput(const ManualClock& clock, const Settings& settings, Journal& journal)
      : clock_(clock), settings_(settings), journal_(journal) {}
  bool HasOutput() override { return present; }
  void FillTxOutput(const TxSymbolArray& symbols, uint8_t& index) override {
    uint32_t q = QueuedBytes();
    while (q < 240000 && index <= 85) {
      if (index == 1) journal_.Add("audio start");
      sent.push_back(symbols[index - 1]);
      Push(8.0 * SamplesPerSymbol(settings_.mode));
      ++index;
      q = QueuedBytes();
    }
  }
  void FillTuneOutput() override {
    if (!toneOn_) journal_.Add("tone start");
    toneOn_ = true;
    while (QueuedBytes() < 240000) Push(8.0 * SamplesPerSymbol(settings_.mode));
  }
  void StartTune() override {
    toneOn_ = false;
    journal_.Add("tune start");
  }
  void ClearOutput() override {
    playEnd_ = clock_.Now();
    toneOn_ = false;
    journal_.Add("output clear");
  }
  uint32_t QueuedBytes() override {
    if (error) return kAudioError;
    const double left = (playEnd_ - clock_.Now()) * kSecondsPerDay;
    return left <= 1e-6 ? 0 : static_cast<uint32_t>(std::ceil(left * 96000));
  }
  bool error = false;
  bool present = true;  // an output device is open
  std::vector<uint8_t> sent;

 private:
  void Push(double bytes) {
    playEnd_ = std::max(playEnd_, clock_.Now()) + bytes / 96000 / kSecondsPerDay;
  }
  const ManualClock& clock_;
  const Settings& settings_;
  Journal& journal_;
  double playEnd_ = 0;
  bool toneOn_ = false;
};

class FakeDecoder final : public CycleDecoder {
 public:
  FakeDecoder(ManualClock& clock, FakeInputChannel& input, Journal& journal)
      : clock_(clock), input_(input), journal_(journal) {}
  int DecodeCycle() override {
    journal_.Add("decode");
    pausedWhileDecoding.push_back(input_.Paused());
    if (engine) capturingWhileDecoding.push_back(engine->Flags().capturing);
    if (duringDecode) duringDecode();
    clock_.AdvanceSeconds(seconds);
    if (throwNext) {
      throwNext = false;
      throw std::runtime_error("decoder could not be started");
    }
    return decodes;
  }
  double seconds = 0;  // simulated duration of a decoding
  int decodes = 0;
  bool throwNext = false;
  const Engine* engine = nullptr;
  std::function<void()> duringDecode;  // e.g. events processed while decoding
  std::vector<bool> pausedWhileDecoding;
  std::vector<bool> capturingWhileDecoding;

 private:
  ManualClock& clock_;
  FakeInputChannel& input_;
  Journal& journal_;
};

class FakeEncoder final : public MessageEncoder {
 public:
  explicit FakeEncoder(Journal& journal) : journal_(journal) {}
  std::optional<TxSymbolArray> RunEncoder(const std::string& message) override {
    journal_.Add("encode " + message);
    if (fail) return std::nullopt;
    TxSymbolArray s{};
    for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<uint8_t>((i + message.size()) % 9);
    return s;
  }
  bool fail = false;

 private:
  Journal& journal_;
};

class FakeRadio final : public RadioLines {
 public:
  explicit FakeRadio(Journal& journal) : journal_(journal) {}
  void SetPtt(bool on) override {
    ptt = on;
    journal_.Add(on ? "ptt on" : "ptt off");
  }
  void AlertLineOff() override { journal_.Add("alert off"); }
  bool ptt = false;

 private:
  Journal& journal_;
};

class FakeTxLine final : public TxLineSink {
 public:
  explicit FakeTxLine(Journal& journal) : journal_(journal) {}
  void AddTxLine() override { journal_.Add("tx line"); }

 private:
  Journal& journal_;
};

class FakeFrequencies final : public FrequencyFields {
 public:
  explicit FakeFrequencies(Journal& journal) : journal_(journal) {}
  void CommitTxFrequency() override { journal_.Add("commit tx frequency"); }
  double ChangeTime(FreqField f) override { return changeTime[static_cast<size_t>(f)]; }
  void CommitPendingEdit(FreqField f) override {
    static const char* kNames[] = {"QrgEdit", "TxEdit", "RxEdit"};
    journal_.Add(std::string("commit ") + kNames[static_cast<size_t>(f)]);
    changeTime[static_cast<size_t>(f)] = 0;
  }
  void Defocus() override { journal_.Add("defocus"); }
  std::array<double, 3> changeTime{};

 private:
  Journal& journal_;
};

class FakeUdp final : public UdpLink {
 public:
  explicit FakeUdp(Journal& journal, std::string name = "udp")
      : journal_(journal), name_(std::move(name)) {}
  bool Active() override { return active; }
  double LastContactTime() override { return last; }
  bool KeepAlive() override {
    journal_.Add(name_ + " keep-alive");
    return succeed;
  }
  void SetLastContactTime(double t) override { last = t; }
  bool active = false;
  bool succeed = true;
  double last = 0;

 private:
  Journal& journal_;
  std::string name_;
};

class RecordingUi final : public UiServices {
 public:
  explicit RecordingUi(Journal& journal) : journal_(journal) {}
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    dialogs.push_back(text);
    kinds.push_back(kind);
    journal_.Add("dialog " + text);
  }
  void ProcessEvents() override {}
  void ShowHintText(const std::string&, int, int, const std::string&) override {}
  void HideHintText() override {}
  std::vector<std::string> dialogs;
  std::vector<NoticeKind> kinds;

 private:
  Journal& journal_;
};

class EngineRig {
 public:
  explicit EngineRig(uint32_t mode = 1, bool logging = false) : logOn(logging) {
    settings.mode = mode;
    log.Open((dir.Path() / "debug.txt").string());
    decoder.engine = &engine;
  }

  // Starts as start-up does, at a PC clock time.
  void Start(double local) {
    base_ = local;
    ticks_ = 0;
    clock.Set(local);
    engine.StartCycleClock(local);
    engine.StartTimer();
  }
  // The next tick, 50 ms after the previous one (on a fixed grid, so that
  // thousands of ticks do not drift).
  void Tick() {
    ++ticks_;
    if (base_ + ticks_ * kTick / kSecondsPerDay <= clock.Now()) {
      // The last tick (or a handler) took time: the timer fires 50 ms after it.
      base_ = clock.Now() + kTick / kSecondsPerDay - ticks_ * kTick / kSecondsPerDay;
    }
    clock.Set(base_ + ticks_ * kTick / kSecondsPerDay);
    if (beforeTick) beforeTick();
    engine.TimerTimer();
  }
  void RunFor(double seconds) {
    const auto n = static_cast<int64_t>(std::llround(seconds / kTick));
    for (int64_t i = 0; i < n; ++i) Tick();
  }
  // Ticks until the next tick would be after the PC clock time `local`.
  void RunUntil(double local) {
    while (base_ + (ticks_ + 1) * kTick / kSecondsPerDay <= local + 1e-9 / kSecondsPerDay) Tick();
  }
  double Sec() const {
    return SecondsIntoCycle(UtcFromLocal(clock.Now(), settings.utcOffsetHours), settings.mode);
  }
  // The debug log's entries, each without its time stamp.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> out;
    std::istringstream in(ReadFile(dir.Path() / "debug.txt"));
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line.size() >= 24 ? line.substr(24) : line);
    }
    return out;
  }
  void ClearLog() { log.Open((dir.Path() / "debug.txt").string()); }
  // A message to transmit in the Gen field.
  void SetGenMessage(const std::string& text) {
    controls.SetChecked(Ctl::GenMsgButton, true);
    controls.SetChecked(Ctl::FreeMsgButton, false);
    controls.SetText(Ctl::GenMsgEdit, text);
  }

  ManualClock clock;
  Settings settings;
  MainControls controls;
  TempDir dir;
  bool logOn;
  DebugLog log{clock, logOn};
  Journal journal{clock, settings};
  RecordingUi ui{journal};
  FakeInputChannel inputChannel{clock, journal};
  FakeRecordInput recordInput{&inputChannel};
  FakeCapture capture{clock, recordInput, journal};
  FakeOutput output{clock, settings, journal};
  FakeDecoder decoder{clock, inputChannel, journal};
  FakeEncoder encoder{journal};
  FakeRadio radio{journal};
  FakeTxLine txLine{journal};
  FakeFrequencies frequencies{journal};
  FakeUdp psk{journal, "psk"};
  FakeUdp udp{journal, "udp"};
  Engine engine{clock,
                settings,
                controls,
                log,
                ui,
                EngineServices{&recordInput, &capture, &output, &decoder, &encoder, &radio, &txLine,
                               &frequencies, &psk, &udp}};
  std::function<void()> beforeTick;

 private:
  double base_ = 0;
  int64_t ticks_ = 0;
};

// A PC clock time on 2026-03-02.
inline double At(int hour, int minute, int second, int msec = 0) {
  return EncodeDateTime(2026, 3, 2, hour, minute, second, msec);
}

}  // namespace merivac::testing
