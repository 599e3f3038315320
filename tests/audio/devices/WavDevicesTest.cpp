// WavDevicesTest.cpp - the WAV-file input and the WAV recorder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "audio/AudioDevicesSetup.h"
#include "audio/WavFile.h"
#include "audio/WavFileInput.h"
#include "audio/WavRecorder.h"
#include "common/DebugLog.h"
#include "SignalMeasure.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

using testing::Record;

std::vector<int16_t> Ramp(size_t n) {
  std::vector<int16_t> x(n);
  for (size_t k = 0; k < n; ++k) x[k] = static_cast<int16_t>((k * 37) % 65536 - 32768);
  return x;
}

// A WAV file with any header fields and an optional chunk before "data".
void WriteWav(const std::string& path, uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
              const std::vector<int16_t>& samples, bool extraChunk = false) {
  std::string b;
  auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i)); };
  auto u16 = [&](uint16_t v) { b += static_cast<char>(v), b += static_cast<char>(v >> 8); };
  const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  b += "RIFF";
  u32(36 + data + (extraChunk ? 14 : 0));
  b += "WAVEfmt ";
  u32(16);
  u16(tag);
  u16(channels);
  u32(rate);
  u32(rate * channels * bits / 8);
  u16(static_cast<uint16_t>(channels * bits / 8));
  u16(bits);
  if (extraChunk) {
    b += "LIST";
    u32(5);
    b += "abcde";
    b += '\0';  // pad byte of the odd-sized chunk
  }
  b += "data";
  u32(data);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  std::ofstream(path, std::ios::binary) << b;
}

TEST(WavFileInputTest, ReplaysTheRecordingExactlyThenSilence) {
  testing::TempDir dir;
  const std::string path = (dir.Path() / "in.wav").string();
  const std::vector<int16_t> ramp = Ramp(3 * 48000 + 123);
  WriteWav(path, 1, 1, 48000, 16, ramp, /*extraChunk=*/true);
  ManualClock clock;
  WavFileInput input(clock, path);
  std::string error;
  ASSERT_TRUE(input.Open(error)) << error;
  InputChannel* in = input.Start(error);
  ASSERT_NE(in, nullptr);
  clock.AdvanceSeconds(0.25);
  EXPECT_EQ(in->WaitingBytes(), 24000u);
  std::vector<int16_t> got(12000);
  ASSERT_EQ(in->Read(got.data(), 24000), 24000u);
  got.resize(12000);
  std::vector<int16_t> rest = Record(*in, clock, 4.0, 0.25);
  got.insert(got.end(), rest.begin(), rest.end());
  ASSERT_GE(got.size(), ramp.size() + 1000);
  EXPECT_TRUE(std::equal(ramp.begin(), ramp.end(), got.begin()));
  EXPECT_TRUE(std::all_of(got.begin() + static_cast<ptrdiff_t>(ramp.size()), got.end(), [](int16_t s) { return s == 0; }));
}

TEST(WavFileInputTest, WrongFormatsAreRefusedWithTheReason) {
  testing::TempDir dir;
  const std::string path = (dir.Path() / "in.wav").string();
  const std::vector<int16_t> some(100, 5);
  const struct {
    uint16_t tag, channels;
    uint32_t rate;
    uint16_t bits;
    std::string reason;
  } cases[] = {
      {1, 1, 44100, 16, "is PCM, 44100 Hz, 1 channel(s), 16-bit; it must be PCM, 48000 Hz, mono, 16-bit"},
      {1, 2, 48000, 16, "is PCM, 48000 Hz, 2 channel(s), 16-bit; it must be PCM, 48000 Hz, mono, 16-bit"},
      {1, 1, 48000, 8, "is PCM, 48000 Hz, 1 channel(s), 8-bit; it must be PCM, 48000 Hz, mono, 16-bit"},
      {3, 1, 48000, 16, "is not PCM, 48000 Hz, 1 channel(s), 16-bit; it must be PCM, 48000 Hz, mono, 16-bit"},
  };
  ManualClock clock;
  for (const auto& c : cases) {
    WriteWav(path, c.tag, c.channels, c.rate, c.bits, some);
    WavFileInput input(clock, path);
    std::string error;
    EXPECT_FALSE(input.Open(error));
    EXPECT_EQ(error, "WAV file " + path + ": " + c.reason);
  }
  std::ofstream(path, std::ios::binary) << "RIFF1234WAVE";
  std::string error;
  WavReader reader;
  EXPECT_FALSE(reader.Open(path, error));
  EXPECT_EQ(error, "WAV file " + path + ": no format chunk");
  std::ofstream(path, std::ios::binary) << "hello, not a sound";
  EXPECT_FALSE(reader.Open(path, error));
  EXPECT_EQ(error, "WAV file " + path + ": not a RIFF/WAVE file");
  EXPECT_FALSE(reader.Open((dir.Path() / "missing.wav").string(), error));
  EXPECT_EQ(error, "WAV file " + (dir.Path() / "missing.wav").string() + ": cannot be opened");
}

TEST(WavFileInputTest, WrongFormatThroughTheDeviceLayerGoesToTheLog) {
  testing::TempDir dir;
  ManualClock clock;
  bool on = true;
  DebugLog log(clock, on);
  log.Open((dir.Path() / "debug.txt").string());
  const std::string path = (dir.Path() / "in.wav").string();
  WriteWav(path, 1, 2, 44100, 16, std::vector<int16_t>(10));
  Settings s;
  AudioDeviceOptions o;
  o.soundCards = false;
  o.wavInputPath = path;
  auto devices = CreateAudioDevices(s, clock, &log, o);
  s.inputDevice = devices->FindInput("WAV file");
  EXPECT_EQ(devices->OpenAudioDevices(), 1);
  ASSERT_EQ(devices->LastErrors().size(), 1u);
  EXPECT_NE(devices->LastErrors()[0].find("it must be PCM, 48000 Hz, mono, 16-bit"), std::string::npos);
  EXPECT_NE(testing::ReadFile(dir.Path() / "debug.txt").find(devices->LastErrors()[0]), std::string::npos);
}

TEST(WavRecorderTest, WritesWhatWasPushedAtTheOutputLevel) {
  testing::TempDir dir;
  ManualClock clock(EncodeDateTime(2026, 3, 1, 14, 5, 30));
  const double utcOffset = 1.0;
  WavRecorder recorder(clock, (dir.Path() / "extra").string(), utcOffset);
  std::string error;
  ASSERT_TRUE(recorder.Open(error)) << error;
  OutputChannel* out = recorder.Start(error);
  ASSERT_NE(out, nullptr);
  const std::vector<int16_t> ramp = Ramp(48000);
  ASSERT_TRUE(out->Push(ramp.data(), 96000));
  EXPECT_EQ(out->QueuedBytes(), 96000u);
  clock.AdvanceSeconds(0.25);
  EXPECT_EQ(out->QueuedBytes(), 72000u);
  out->SetLevel(0.5);  // also scales what is already queued
  clock.AdvanceSeconds(1.0);
  EXPECT_EQ(out->QueuedBytes(), 0u);
  ASSERT_EQ(recorder.Files().size(), 1u);
  EXPECT_EQ(std::filesystem::path(recorder.Files()[0]).filename().string(), "tx-260301_130530.wav");

  WavReader reader;
  ASSERT_TRUE(reader.Open(recorder.Files()[0], error)) << error;
  ASSERT_EQ(reader.SampleCount(), 48000);
  std::vector<int16_t> back(48000);
  ASSERT_EQ(reader.ReadAt(0, back.data(), 48000), 48000);
  for (size_t k = 0; k < back.size(); ++k) {
    const int16_t want = k < 12000 ? ramp[k] : static_cast<int16_t>(std::round(ramp[k] * 0.5));
    ASSERT_EQ(back[k], want) << k;
  }
  // After a silence the next transmission gets a file of its own.
  clock.AdvanceSeconds(3.0);
  ASSERT_TRUE(out->Push(ramp.data(), 9600));
  clock.AdvanceSeconds(1.0);
  out->QueuedBytes();
  ASSERT_EQ(recorder.Files().size(), 2u);
  ASSERT_TRUE(reader.Open(recorder.Files()[1], error)) << error;
  EXPECT_EQ(reader.SampleCount(), 4800);
}

TEST(WavRecorderTest, DiscardAndFullQueue) {
  testing::TempDir dir;
  ManualClock clock;
  WavRecorder recorder(clock, (dir.Path() / "extra").string(), 0.0);
  std::string error;
  ASSERT_TRUE(recorder.Open(error));
  OutputChannel* out = recorder.Start(error);
  const std::vector<int16_t> ten(10 * 48000, 100);
  EXPECT_TRUE(out->Push(ten.data(), static_cast<uint32_t>(ten.size() * 2)));
  EXPECT_FALSE(out->Push(ten.data(), 2));  // the 10 s queue is full: nothing is taken
  EXPECT_EQ(out->QueuedBytes(), 960000u);
  clock.AdvanceSeconds(0.5);
  EXPECT_TRUE(out->Discard());
  EXPECT_EQ(out->QueuedBytes(), 0u);
  clock.AdvanceSeconds(1.0);
  ASSERT_EQ(recorder.Files().size(), 1u);
  WavReader reader;
  ASSERT_TRUE(reader.Open(recorder.Files()[0], error));
  EXPECT_EQ(reader.SampleCount(), 24000);
}

TEST(WavRecorderTest, FolderThatCannotBeMadeFailsToOpen) {
  testing::TempDir dir;
  std::ofstream(dir.Path() / "file") << "x";
  ManualClock clock;
  WavRecorder recorder(clock, (dir.Path() / "file" / "extra").string(), 0.0);
  std::string error;
  EXPECT_FALSE(recorder.Open(error));
  EXPECT_EQ(error, "WAV recorder: folder " + (dir.Path() / "file" / "extra").string() + " cannot be created");
}

}  // namespace
}  // namespace merivac
