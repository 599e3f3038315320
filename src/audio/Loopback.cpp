// Loopback.cpp - the shared bus behind the loopback pair.
#include "audio/Loopback.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace merivac {

namespace {
constexpr int32_t kChunk = 4800;
}

struct LoopbackBus::Station {
  RingBuffer<int16_t> toBus{kOutputQueueSamples};  // queued output
  RingBuffer<int16_t> fromBus{kDeviceBufferSamples};  // recorded input
  std::vector<int16_t> played = std::vector<int16_t>(kChunk);
  std::vector<int16_t> heard = std::vector<int16_t>(kChunk);
  double level = 1.0;
  bool inputOpen = false;
  bool outputOpen = false;
  bool paused = false;
  uint64_t overruns = 0;
  std::unique_ptr<InputChannel> in;
  std::unique_ptr<OutputChannel> out;
};

class LoopbackBus::In final : public InputChannel {
 public:
  In(LoopbackBus& bus, Station& s) : bus_(bus), s_(s) {}
  uint32_t WaitingBytes() override {
    bus_.Advance();
    return static_cast<uint32_t>(s_.fromBus.Size() * 2);
  }
  uint32_t Read(int16_t* dest, uint32_t bytes) override {
    bus_.Advance();
    return static_cast<uint32_t>(s_.fromBus.Read(dest, bytes / 2) * 2);
  }
  bool Pause() override {
    bus_.Advance();
    s_.paused = true;
    return true;
  }
  bool Resume() override {
    bus_.Advance();
    s_.paused = false;
    return true;
  }

 private:
  LoopbackBus& bus_;
  Station& s_;
};

class LoopbackBus::Out final : public OutputChannel {
 public:
  Out(LoopbackBus& bus, Station& s) : bus_(bus), s_(s) {}
  uint32_t QueuedBytes() override {
    bus_.Advance();
    return static_cast<uint32_t>(s_.toBus.Size() * 2);
  }
  bool Push(const int16_t* samples, uint32_t bytes) override {
    bus_.Advance();
    return s_.toBus.WriteAll(samples, bytes / 2);
  }
  bool Discard() override {
    bus_.Advance();
    s_.toBus.DiscardQueued();
    return true;
  }
  void SetLevel(double level) override {
    bus_.Advance();
    s_.level = std::clamp(level, 0.0, 1.0);
  }

 private:
  LoopbackBus& bus_;
  Station& s_;
};

namespace {

class LoopbackInputEndpoint final : public AudioInputEndpoint {
 public:
  LoopbackInputEndpoint(LoopbackBus& bus, int station) : bus_(bus), station_(station) {}
  std::string Name() const override { return "Loopback"; }
  bool Open(std::string&) override { return true; }
  InputChannel* Start(std::string&) override { return bus_.OpenInput(station_); }
  void Stop() override { bus_.CloseInput(station_); }
  void Close() override { bus_.CloseInput(station_); }

 private:
  LoopbackBus& bus_;
  int station_;
};

class LoopbackOutputEndpoint final : public AudioOutputEndpoint {
 public:
  LoopbackOutputEndpoint(LoopbackBus& bus, int station) : bus_(bus), station_(station) {}
  std::string Name() const override { return "Loopback"; }
  bool Open(std::string&) override { return true; }
  OutputChannel* Start(std::string&) override { return bus_.OpenOutput(station_); }
  void Stop() override { bus_.CloseOutput(station_); }
  void Close() override { bus_.CloseOutput(station_); }

 private:
  LoopbackBus& bus_;
  int station_;
};

}  // namespace

LoopbackBus::LoopbackBus(const Clock& clock, double noiseRms, uint64_t seed)
    : sampleClock_(clock), noiseRms_(noiseRms), random_(seed) {
  sampleClock_.Restart();
}

LoopbackBus::~LoopbackBus() = default;

int LoopbackBus::AddStation() {
  Advance();
  auto s = std::make_unique<Station>();
  s->in = std::make_unique<In>(*this, *s);
  s->out = std::make_unique<Out>(*this, *s);
  stations_.push_back(std::move(s));
  return static_cast<int>(stations_.size()) - 1;
}

InputChannel* LoopbackBus::OpenInput(int station) {
  if (station < 0 || station >= StationCount()) return nullptr;
  Advance();
  Station& s = *stations_[static_cast<size_t>(station)];
  s.fromBus.DropWaiting();
  s.inputOpen = true;
  s.paused = false;
  return s.in.get();
}

OutputChannel* LoopbackBus::OpenOutput(int station) {
  if (station < 0 || station >= StationCount()) return nullptr;
  Advance();
  Station& s = *stations_[static_cast<size_t>(station)];
  s.toBus.DiscardQueued();
  s.outputOpen = true;
  return s.out.get();
}

void LoopbackBus::CloseInput(int station) {
  if (station < 0 || station >= StationCount()) return;
  Advance();
  stations_[static_cast<size_t>(station)]->inputOpen = false;
}

void LoopbackBus::CloseOutput(int station) {
  if (station < 0 || station >= StationCount()) return;
  Advance();
  Station& s = *stations_[static_cast<size_t>(station)];
  s.outputOpen = false;
  s.toBus.DiscardQueued();
}

std::unique_ptr<AudioInputEndpoint> LoopbackBus::InputEndpoint(int station) {
  return std::make_unique<LoopbackInputEndpoint>(*this, station);
}

std::unique_ptr<AudioOutputEndpoint> LoopbackBus::OutputEndpoint(int station) {
  return std::make_unique<LoopbackOutputEndpoint>(*this, station);
}

uint64_t LoopbackBus::Overruns(int station) const {
  if (station < 0 || station >= StationCount()) return 0;
  return stations_[static_cast<size_t>(station)]->overruns;
}

void LoopbackBus::Advance() {
  const int64_t target = sampleClock_.Now();
  // Beyond 5 s nothing queued survives and every input buffer is full, so a
  // longer gap is cut to that; the time still passes.
  if (target - done_ > static_cast<int64_t>(kDeviceBufferSamples) + kChunk) {
    done_ = target - static_cast<int64_t>(kDeviceBufferSamples) - kChunk;
  }
  while (done_ < target) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(kChunk, target - done_));
    Step(n);
    done_ += n;
  }
}

void LoopbackBus::Step(int32_t n) {
  const size_t count = static_cast<size_t>(n);
  for (auto& s : stations_) {
    size_t got = s->outputOpen ? s->toBus.Read(s->played.data(), count) : 0;
    for (size_t k = 0; k < got; ++k) s->played[k] = ScaleSample(s->played[k], s->level);
    std::fill(s->played.begin() + static_cast<ptrdiff_t>(got), s->played.begin() + n, int16_t{0});
  }
  const bool alone = stations_.size() == 1;
  for (size_t i = 0; i < stations_.size(); ++i) {
    Station& s = *stations_[i];
    if (!s.inputOpen || s.paused) continue;
    for (size_t k = 0; k < count; ++k) {
      double v = noiseRms_ > 0 ? noiseRms_ * normal_(random_) : 0.0;
      for (size_t j = 0; j < stations_.size(); ++j) {
        if (j != i || alone) v += stations_[j]->played[k];
      }
      s.heard[k] = static_cast<int16_t>(std::clamp(std::round(v), -32768.0, 32767.0));
    }
    const size_t put = s.fromBus.Write(s.heard.data(), count);
    s.overruns += count - put;
  }
}

}  // namespace merivac
