// FakeEndpoints.h - list entries whose opening can be made to fail, and
// that count every call, for the device-layer and dialog tests.
#pragma once

#include <memory>
#include <string>

#include "audio/AudioDevices.h"

namespace merivac::testing {

struct EndpointCalls {
  int open = 0, start = 0, stop = 0, close = 0;
  int Total() const { return open + start + stop + close; }
};

struct FakeInputChannel : InputChannel {
  uint32_t waiting = 0;
  uint32_t readBytes = 0;
  uint32_t WaitingBytes() override { return waiting; }
  uint32_t Read(int16_t*, uint32_t bytes) override {
    const uint32_t n = std::min(bytes, waiting);
    waiting -= n;
    readBytes += n;
    return n;
  }
  bool Pause() override { return true; }
  bool Resume() override { return true; }
};

struct FakeOutputChannel : OutputChannel {
  int discards = 0;
  uint32_t QueuedBytes() override { return 0; }
  bool Push(const int16_t*, uint32_t) override { return true; }
  bool Discard() override {
    ++discards;
    return true;
  }
  void SetLevel(double) override {}
};

class FakeInput : public AudioInputEndpoint {
 public:
  FakeInput(std::string name, bool enabled = true) : name_(std::move(name)), enabled_(enabled) {}
  std::string Name() const override { return name_; }
  bool Enabled() const override { return enabled_; }
  bool Open(std::string& error) override {
    ++calls.open;
    if (failOpen) error = name_ + " cannot be opened";
    return !failOpen;
  }
  InputChannel* Start(std::string& error) override {
    ++calls.start;
    if (failStart) error = name_ + " cannot start";
    return failStart ? nullptr : &channel;
  }
  void Stop() override { ++calls.stop; }
  void Close() override { ++calls.close; }

  bool failOpen = false, failStart = false;
  EndpointCalls calls;
  FakeInputChannel channel;

 private:
  std::string name_;
  bool enabled_;
};

class FakeOutput : public AudioOutputEndpoint {
 public:
  FakeOutput(std::string name, bool enabled = true) : name_(std::move(name)), enabled_(enabled) {}
  std::string Name() const override { return name_; }
  bool Enabled() const override { return enabled_; }
  bool Open(std::string& error) override {
    ++calls.open;
    if (failOpen) error = name_ + " cannot be opened";
    return !failOpen;
  }
  OutputChannel* Start(std::string& error) override {
    ++calls.start;
    if (failStart) error = name_ + " cannot start";
    return failStart ? nullptr : &channel;
  }
  void Stop() override { ++calls.stop; }
  void Close() override { ++calls.close; }

  bool failOpen = false, failStart = false;
  EndpointCalls calls;
  FakeOutputChannel channel;

 private:
  std::string name_;
  bool enabled_;
};

// Two inputs ("Mic", disabled "Line") and two outputs ("Speaker", "Phones").
struct FakeRig {
  FakeInput* in[2];
  FakeOutput* out[2];
  std::unique_ptr<AudioDevices> devices;

  FakeRig(Settings& settings, DebugLog* log, bool versionOk = true) {
    InputEndpoints inputs;
    OutputEndpoints outputs;
    auto a = std::make_unique<FakeInput>("Mic");
    auto b = std::make_unique<FakeInput>("Line", false);
    auto c = std::make_unique<FakeOutput>("Speaker");
    auto d = std::make_unique<FakeOutput>("Phones");
    in[0] = a.get();
    in[1] = b.get();
    out[0] = c.get();
    out[1] = d.get();
    inputs.push_back(std::move(a));
    inputs.push_back(std::move(b));
    outputs.push_back(std::move(c));
    outputs.push_back(std::move(d));
    devices = std::make_unique<AudioDevices>(settings, log, std::move(inputs), std::move(outputs), versionOk);
  }
  int TotalCalls() const {
    return in[0]->calls.Total() + in[1]->calls.Total() + out[0]->calls.Total() + out[1]->calls.Total();
  }
};

}  // namespace merivac::testing
