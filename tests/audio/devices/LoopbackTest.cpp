// LoopbackTest.cpp - two stations in one process joined by the loopback pair.
#include <gtest/gtest.h>

#include "audio/AudioDevicesSetup.h"
#include "audio/Loopback.h"
#include "SignalMeasure.h"

namespace merivac {
namespace {

struct Station {
  Settings settings;
  std::unique_ptr<AudioDevices> devices;
  Station(const Clock& clock, LoopbackBus& bus) {
    AudioDeviceOptions o;
    o.soundCards = false;
    o.loopback = &bus;
    devices = CreateAudioDevices(settings, clock, nullptr, o);
    settings.inputDevice = devices->FindInput("Loopback");
    settings.outputDevice = devices->FindOutput("Loopback");
    EXPECT_EQ(devices->OpenAudioDevices(), 0);
    devices->SetOutputLevel(1.0);  // full level: what is pushed is what is heard
  }
  InputChannel& In() { return *devices->Input(); }
  OutputChannel& Out() { return *devices->Output(); }
};

std::vector<int16_t> Take(InputChannel& in) {
  std::vector<int16_t> x(in.WaitingBytes() / 2);
  x.resize(in.Read(x.data(), static_cast<uint32_t>(x.size() * 2)) / 2);
  return x;
}

TEST(LoopbackTest, WhatOneStationPlaysTheOtherRecordsInStep) {
  ManualClock clock;
  LoopbackBus bus(clock);
  Station a(clock, bus), b(clock, bus);
  std::vector<int16_t> burst(4800);
  for (size_t k = 0; k < burst.size(); ++k) burst[k] = static_cast<int16_t>(k % 1000 + 1);
  ASSERT_TRUE(a.Out().Push(burst.data(), 9600));
  EXPECT_EQ(b.In().WaitingBytes(), 0u);
  clock.AdvanceSeconds(0.05);
  EXPECT_EQ(a.Out().QueuedBytes(), 4800u);
  const std::vector<int16_t> first = Take(b.In());
  ASSERT_EQ(first.size(), 2400u);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), burst.begin()));
  clock.AdvanceSeconds(0.1);
  EXPECT_EQ(a.Out().QueuedBytes(), 0u);
  const std::vector<int16_t> second = Take(b.In());
  ASSERT_EQ(second.size(), 4800u);
  EXPECT_TRUE(std::equal(burst.begin() + 2400, burst.end(), second.begin()));
  EXPECT_TRUE(std::all_of(second.begin() + 2400, second.end(), [](int16_t s) { return s == 0; }));
  // A station does not hear itself when another is on the bus.
  const std::vector<int16_t> own = Take(a.In());
  EXPECT_EQ(own.size(), 7200u);
  EXPECT_TRUE(std::all_of(own.begin(), own.end(), [](int16_t s) { return s == 0; }));
}

TEST(LoopbackTest, NoiseAtTheRequestedLevelAndTheOutputLevelApplied) {
  ManualClock clock;
  LoopbackBus bus(clock, 300.0, 5);
  Station a(clock, bus), b(clock, bus);
  const std::vector<int16_t> x = testing::Record(b.In(), clock, 2.0);
  EXPECT_NEAR(std::sqrt(testing::MeanPower(x, 0, x.size())), 300.0, 3.0);

  bus.SetNoiseRms(0.0);
  std::vector<int16_t> tone(48000, 1000);
  a.Out().SetLevel(0.25);
  ASSERT_TRUE(a.Out().Push(tone.data(), 96000));
  const std::vector<int16_t> y = testing::Record(b.In(), clock, 1.0);
  ASSERT_EQ(y.size(), 48000u);
  EXPECT_TRUE(std::all_of(y.begin(), y.end(), [](int16_t s) { return s == 250; }));
}

TEST(LoopbackTest, PausedInputHearsNothingAndAFullBufferStaysSane) {
  ManualClock clock;
  LoopbackBus bus(clock);
  Station a(clock, bus), b(clock, bus);
  b.In().Pause();
  std::vector<int16_t> tone(48000, 77);
  a.Out().Push(tone.data(), 96000);
  clock.AdvanceSeconds(1.0);
  EXPECT_EQ(b.In().WaitingBytes(), 0u);
  EXPECT_EQ(a.Out().QueuedBytes(), 0u);  // played while nobody listened
  b.In().Resume();
  clock.AdvanceSeconds(60.0);
  EXPECT_EQ(b.In().WaitingBytes(), 480000u);
  EXPECT_GT(bus.Overruns(1), 0u);
}

TEST(LoopbackTest, AStationAloneHearsItself) {
  ManualClock clock;
  Settings s;
  AudioDeviceOptions o;
  o.soundCards = false;  // no bus given: the devices make their own
  auto devices = CreateAudioDevices(s, clock, nullptr, o);
  s.inputDevice = devices->FindInput("Loopback");
  s.outputDevice = devices->FindOutput("Loopback");
  ASSERT_EQ(devices->OpenAudioDevices(), 0);
  devices->SetOutputLevel(1.0);
  std::vector<int16_t> tone(480, 123);
  devices->Output()->Push(tone.data(), 960);
  clock.AdvanceSeconds(0.01);
  const std::vector<int16_t> x = Take(*devices->Input());
  ASSERT_EQ(x.size(), 480u);
  EXPECT_EQ(x.front(), 123);
}

}  // namespace
}  // namespace merivac
