// CycleWavTest.cpp - the pass file: header bytes, shifts, size and name.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "codec/CycleWav.h"
#include "common/DateTime.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

int16_t SampleAt(const std::string& file, size_t i) {
  const auto lo = static_cast<uint8_t>(file[44 + 2 * i]);
  const auto hi = static_cast<uint8_t>(file[45 + 2 * i]);
  return static_cast<int16_t>(lo | (hi << 8));
}

class CycleWavTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.Path() / "save");
    // Distinct values everywhere, so a shift by the wrong amount shows.
    for (uint32_t i = 0; i < kRecordingSamples; ++i) {
      rec->samples[i] = static_cast<int16_t>(i % 30011 + 1);
    }
  }
  std::string Written(double shift) {
    EXPECT_TRUE(WriteCycleWav(*rec, dir.Str() + "/save", "261209_1940.wav", shift));
    return testing::ReadFile(dir.Path() / "save" / "261209_1940.wav");
  }
  testing::TempDir dir;
  std::unique_ptr<CycleRecording> rec = std::make_unique<CycleRecording>();
};

TEST_F(CycleWavTest, HeaderIsTheFixedFortyFourBytes) {
  const std::string f = Written(0.0);
  ASSERT_EQ(f.size(), 1440044u);
  const unsigned char expected[44] = {
      'R', 'I', 'F', 'F', 0x24, 0xF9, 0x15, 0x00, 'W', 'A',  'V',  'E',  'f',  'm',  't',
      ' ', 16,  0,   0,   0,    1,    0,    1,    0,   0xE0, 0x2E, 0,    0,    0xC0, 0x5D,
      0,   0,   2,   0,   16,   0,    'd',  'a',  't', 'a',  0x00, 0xF9, 0x15, 0x00};
  for (int i = 0; i < 44; ++i) EXPECT_EQ(static_cast<unsigned char>(f[i]), expected[i]) << i;
  EXPECT_EQ(SampleAt(f, 0), rec->samples[0]);
  EXPECT_EQ(SampleAt(f, 719999), rec->samples[719999]);
}

TEST_F(CycleWavTest, PositiveShiftDelaysWithSilenceAtTheStart) {
  const std::string f = Written(0.8);
  for (size_t i = 0; i < 9600; ++i) ASSERT_EQ(SampleAt(f, i), 0) << i;
  EXPECT_EQ(SampleAt(f, 9600), rec->samples[0]);
  EXPECT_EQ(SampleAt(f, 719999), rec->samples[719999 - 9600]);
}

TEST_F(CycleWavTest, NegativeShiftAdvancesWithSilenceAtTheEnd) {
  const std::string f = Written(-1.0);
  EXPECT_EQ(SampleAt(f, 0), rec->samples[12000]);
  EXPECT_EQ(SampleAt(f, 707999), rec->samples[719999]);
  for (size_t i = 708000; i < 720000; ++i) ASSERT_EQ(SampleAt(f, i), 0) << i;
}

TEST_F(CycleWavTest, SameSizeWhateverTheRecordingLengthAndReplacesOldFile) {
  rec->Clear();
  rec->length = 2400;  // a JT9-10 recording that hardly started
  std::filesystem::path p = dir.Path() / "save" / "261209_1940.wav";
  { std::ofstream(p) << "an older, longer file with other content in it"; }
  const std::string f = Written(0.0);
  EXPECT_EQ(f.size(), kWavFileBytes);
  EXPECT_EQ(f.substr(0, 4), "RIFF");
}

TEST_F(CycleWavTest, UnwritableFolderFailsWithoutThrowing) {
  std::filesystem::remove_all(dir.Path() / "save");
  EXPECT_FALSE(WriteCycleWav(*rec, dir.Str() + "/save", "x.wav", 0.0));
}

TEST_F(CycleWavTest, DeleteRemovesAndIgnoresMissingFile) {
  Written(0.0);
  DeleteCycleWav(dir.Str() + "/save", "261209_1940.wav");
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "save" / "261209_1940.wav"));
  DeleteCycleWav(dir.Str() + "/save", "261209_1940.wav");
}

TEST(CycleWavName, NamedAfterTheCycleStart) {
  EXPECT_EQ(CycleWavName(EncodeDateTime(2026, 12, 9, 19, 40)), "261209_1940.wav");
  // A JT9-10 cycle from 23:50 is decoded near 23:59:50; its start names it.
  const double decodeTime = EncodeDateTime(2026, 12, 9, 23, 59, 49, 520);
  EXPECT_EQ(CycleWavName(decodeTime - 9.0 / 1440.0), "261209_2350.wav");
}

}  // namespace
}  // namespace merivac
