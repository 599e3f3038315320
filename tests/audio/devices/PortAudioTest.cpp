// PortAudioTest.cpp - the lock-free ring, and the PortAudio adapter run for
// real on an ALSA "null" PCM defined in a temporary HOME (it runs faster
// than real time, so the rings overflow and underflow quickly). Where
// PortAudio lists no such device the adapter tests are skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "audio/AudioDevicesSetup.h"
#include "audio/PortAudioDevices.h"
#include "audio/RingBuffer.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

TEST(RingBufferTest, WrapsFillsAndDiscards) {
  RingBuffer<int16_t> ring(8);
  const int16_t a[6] = {1, 2, 3, 4, 5, 6};
  int16_t out[8] = {};
  EXPECT_EQ(ring.Write(a, 6), 6u);
  EXPECT_EQ(ring.Read(out, 4), 4u);
  EXPECT_EQ(ring.Write(a, 6), 6u);  // wraps round the end
  EXPECT_EQ(ring.Size(), 8u);
  EXPECT_EQ(ring.Write(a, 1), 0u);  // full: nothing more fits
  EXPECT_FALSE(ring.WriteAll(a, 1));
  EXPECT_EQ(ring.Read(out, 8), 8u);
  EXPECT_EQ((std::vector<int16_t>(out, out + 8)), (std::vector<int16_t>{5, 6, 1, 2, 3, 4, 5, 6}));
  ring.Write(a, 5);
  ring.DiscardQueued();  // the producer drops what is queued
  EXPECT_EQ(ring.Size(), 0u);
  EXPECT_EQ(ring.Read(out, 8), 0u);
  ring.Write(a + 2, 2);
  EXPECT_EQ(ring.Read(out, 8), 2u);
  EXPECT_EQ(out[0], 3);
}

TEST(RingBufferTest, OneProducerOneConsumerThreadsKeepOrder) {
  RingBuffer<int16_t> ring(1000);
  constexpr int kCount = 200000;
  std::thread producer([&] {
    int16_t v = 0;
    for (int sent = 0; sent < kCount;) {
      if (ring.Write(&v, 1) == 1) {
        ++sent;
        v = static_cast<int16_t>(v + 1);
      } else {
        std::this_thread::yield();
      }
    }
  });
  int16_t expect = 0;
  int bad = 0;
  int16_t block[64];
  for (int got = 0; got < kCount;) {
    const size_t n = ring.Read(block, 64);
    for (size_t k = 0; k < n; ++k, ++got) {
      if (block[k] != expect) ++bad;
      expect = static_cast<int16_t>(expect + 1);
    }
    if (n == 0) std::this_thread::yield();
  }
  producer.join();
  EXPECT_EQ(bad, 0);
}

TEST(PortAudioTest, VersionIsNineteen) { EXPECT_TRUE(PortAudioSystem::VersionOk()); }

// Waits (yielding, bounded) until cond holds; the bound is only a guard
// against a stream that never runs, not a timing requirement.
template <typename Cond>
bool WaitFor(Cond cond) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::yield();
  }
  return true;
}

class PortAudioNullDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* home = std::getenv("HOME");
    oldHome_ = home != nullptr ? home : "";
    std::ofstream(dir_.Path() / ".asoundrc") << "pcm.merivacnull {\n  type null\n"
                                                "  hint { show on description \"Merivac null device\" }\n}\n";
    setenv("HOME", dir_.Str().c_str(), 1);
    AudioDeviceOptions o;
    o.recorderFolder = (dir_.Path() / "extra").string();
    devices_ = CreateAudioDevices(settings_, clock_, nullptr, o);
    in_ = devices_->FindInput("merivacnull");
    out_ = devices_->FindOutput("merivacnull");
    if (in_ < 0 || out_ < 0) GTEST_SKIP() << "PortAudio lists no ALSA null device here; adapter not exercised";
  }
  void TearDown() override {
    devices_.reset();
    setenv("HOME", oldHome_.c_str(), 1);
  }

  testing::TempDir dir_;
  std::string oldHome_;
  ManualClock clock_;
  Settings settings_;
  std::unique_ptr<AudioDevices> devices_;
  int32_t in_ = -1, out_ = -1;
};

TEST_F(PortAudioNullDeviceTest, ListedBeforeTheSimulatedDevices) {
  const auto& inputs = devices_->InputList();
  ASSERT_GE(inputs.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(inputs.end() - 3, inputs.end()),
            (std::vector<std::string>{"Band simulator", "WAV file", "Loopback"}));
  EXPECT_LT(in_, static_cast<int32_t>(inputs.size()) - 3);
  EXPECT_EQ(devices_->OutputList().back(), "Loopback");
  EXPECT_EQ(inputs[static_cast<size_t>(in_)], "merivacnull");  // it can do 48 kHz mono 16-bit: no "*"
}

TEST_F(PortAudioNullDeviceTest, RecordingOverflowsSafelyAndPauseStopsInput) {
  settings_.inputDevice = in_;
  ASSERT_EQ(devices_->OpenAudioDevices(), 0) << (devices_->LastErrors().empty() ? "" : devices_->LastErrors()[0]);
  InputChannel* in = devices_->Input();
  ASSERT_NE(in, nullptr);
  auto* card = dynamic_cast<PortAudioInput*>(devices_->InputEndpoint(in_));
  ASSERT_NE(card, nullptr);
  // The null device delivers faster than real time: the 5 s ring fills and
  // the callback drops what does not fit.
  ASSERT_TRUE(WaitFor([&] { return card->Counters().overruns.load() > 0; }));
  EXPECT_EQ(in->WaitingBytes(), 480000u);
  std::vector<int16_t> buf(240000);
  EXPECT_EQ(in->Read(buf.data(), 480000), 480000u);
  in->Pause();
  in->Read(buf.data(), 480000);
  // Once the callback has seen the pause, nothing more arrives.
  const uint64_t seen = card->Counters().callbacks.load();
  ASSERT_TRUE(WaitFor([&] { return card->Counters().callbacks.load() > seen + 2; }));
  in->Read(buf.data(), 480000);
  const uint64_t later = card->Counters().callbacks.load();
  ASSERT_TRUE(WaitFor([&] { return card->Counters().callbacks.load() > later + 10; }));
  EXPECT_EQ(in->WaitingBytes(), 0u);
  in->Resume();
  ASSERT_TRUE(WaitFor([&] { return in->WaitingBytes() > 0; }));
  EXPECT_LE(in->WaitingBytes(), 480000u);
  devices_->StopInput();
  devices_->CloseAll();
}

TEST_F(PortAudioNullDeviceTest, PlaybackDrainsDiscardsAndRefusesOverfill) {
  settings_.outputDevice = out_;
  ASSERT_EQ(devices_->OpenAudioDevices(), 0) << (devices_->LastErrors().empty() ? "" : devices_->LastErrors()[0]);
  OutputChannel* out = devices_->Output();
  ASSERT_NE(out, nullptr);
  auto* card = dynamic_cast<PortAudioOutput*>(devices_->OutputEndpoint(out_));
  ASSERT_NE(card, nullptr);
  const std::vector<int16_t> five(5 * 48000, 1000);
  out->SetLevel(0.5);
  ASSERT_TRUE(out->Push(five.data(), static_cast<uint32_t>(five.size() * 2)));
  EXPECT_LE(out->QueuedBytes(), 960000u);
  ASSERT_TRUE(WaitFor([&] { return out->QueuedBytes() == 0; }));
  ASSERT_TRUE(WaitFor([&] { return card->Counters().underruns.load() > 0; }));
  // Pushing far more than fits while the callback drains: every push is
  // taken whole or refused whole, and the count never exceeds the ring.
  for (int i = 0; i < 200; ++i) {
    out->Push(five.data(), 96000);
    ASSERT_LE(out->QueuedBytes(), 960000u);
  }
  out->Discard();
  EXPECT_EQ(out->QueuedBytes(), 0u);  // at once, before the callback catches up
  devices_->StopOutput();
  devices_->CloseAll();
}

TEST_F(PortAudioNullDeviceTest, ReopeningThroughTheDeviceLayer) {
  settings_.inputDevice = in_;
  settings_.outputDevice = out_;
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(devices_->OpenAudioDevices(), 0);
    ASSERT_TRUE(WaitFor([&] { return devices_->Input()->WaitingBytes() > 0; }));
    devices_->StopInput();
    devices_->StopOutput();
  }
  devices_->CloseAll();
  EXPECT_EQ(devices_->Input(), nullptr);
}

}  // namespace
}  // namespace merivac
