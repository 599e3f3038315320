// CaptureChainTest.cpp - the receive and idle paths measured on what they
// produce: block sizes, where and at what frequency a tone is recorded, the
// level, saturation, stalls, device changes and the debug-log lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Measure.h"
#include "Rig.h"
#include "common/Mode.h"

namespace merivac {
namespace {

using testing::CaptureRig;
using testing::FitSine;
using testing::Onset;
using testing::PeakFrequency;
using testing::Tone;

constexpr size_t kBlock = 9600;

struct BlockCase {
  uint32_t mode;
  uint32_t startLength;
  uint32_t first;  // samples appended by the cycle's first block
  uint32_t later;  // by every later block
  uint32_t posAfter;
};

TEST(CaptureChain, AppendsTheModesSamplesPerBlock) {
  const BlockCase cases[] = {
      {1, 0, 2400, 2400, 2400},
      {2, 2400, 1080, 1080, 2400},
      {5, 2400, 405, 405, 2400},
      {10, 2400, 198, 200, 2376},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ModeName(c.mode));
    CaptureRig rig;
    rig.settings.mode = c.mode;
    rig.chain.StartCycleCapture();
    EXPECT_EQ(rig.recording->length, c.startLength);
    EXPECT_EQ(rig.chain.ResamplePos(), 2400u);
    // One block stays waiting, so each appended block is processed at once.
    rig.input.Append(Tone(kBlock, 300, 5000));
    uint32_t expected = c.startLength;
    for (int block = 0; block < 4; ++block) {
      rig.input.Append(Tone(kBlock, 300, 5000));
      ASSERT_TRUE(rig.chain.ProcessReceiveInput());
      expected += block == 0 ? c.first : c.later;
      EXPECT_EQ(rig.recording->length, expected) << "block " << block;
      EXPECT_EQ(rig.chain.ResamplePos(), c.posAfter) << "block " << block;
    }
  }
}

struct LandingCase {
  uint32_t mode;
  double inputHz;
  int32_t lo;            // 0 = mixer off
  double expectSeconds;  // where the tone starting 1 s into the input is recorded
};

TEST(CaptureChain, ToneStartingAtOneSecondLandsAtTheCompressedTime) {
  const LandingCase cases[] = {
      {1, 1500, 0, 1.0},
      {2, 1000, 0, 0.2 + 6912.0 / 15360},  // 0.65 s
      {5, 500, 0, 0.2 + 6912.0 / 40960},   // 0.369 s
      {10, 200, 0, 0.2 + 6912.0 / 82944},  // 0.283 s
      // The mixer delays by 400 input samples more.
      {1, 2500, 1000, 1.0 + 400.0 / 48000},
      {10, 1200, 1000, 0.2 + (1.0 + 400.0 / 48000) / 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ModeName(c.mode) + " at " + std::to_string(c.inputHz) + " Hz, LO " +
                 std::to_string(c.lo));
    CaptureRig rig;
    rig.settings.mode = c.mode;
    rig.settings.mixerEnabled = c.lo != 0;
    rig.chain.StartMixer(c.lo);
    rig.chain.StartCycleCapture();
    ASSERT_TRUE(rig.Feed(Tone(12 * kBlock, c.inputHz, 8000, 48000)));
    const auto rec = rig.Recorded();
    const double k = SamplesPerSymbol(c.mode) / 6912.0;
    const double recordedHz = (c.inputHz - c.lo) * k;
    const int window = static_cast<int>(std::lround(10 * 12000 / recordedHz));
    const double onset = Onset(rec, recordedHz, 12000, window) / 12000;
    EXPECT_NEAR(onset, c.expectSeconds, 0.003);
  }
}

struct ScaleCase {
  uint32_t mode;
  double inputHz;
  double recordedHz;
  double gainLow, gainHigh;  // recorded amplitude / input amplitude
};

TEST(CaptureChain, RecordsEveryFrequencyScaledBySamplesPerSymbolOver6912) {
  const ScaleCase cases[] = {
      {1, 1500, 1500, 0.97, 1.0},
      {2, 1000, 1000 * 15360 / 6912.0, 0.95, 1.05},
      {5, 500, 500 * 40960 / 6912.0, 0.95, 1.05},
      // JT9-10: 83.3 Hz comes out at 1000 Hz, about 12 times (21.6 dB) larger.
      {10, 1000 / 12.0, 1000, 11.6, 12.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ModeName(c.mode));
    CaptureRig rig;
    rig.settings.mode = c.mode;
    rig.chain.StartCycleCapture();
    const double perBlock = 2400.0 * 6912 / SamplesPerSymbol(c.mode);
    const auto blocks = static_cast<size_t>((16384 + 4000) / perBlock) + 2;
    ASSERT_TRUE(rig.Feed(Tone(blocks * kBlock, c.inputHz, 2000)));
    const auto rec = rig.Recorded();
    ASSERT_GE(rec.size(), 3400u + 16384u);
    EXPECT_NEAR(PeakFrequency(rec, 3400, 16384, 12000), c.recordedHz, c.recordedHz * 2e-4);
    const auto fit = FitSine(rec, 3400, 16384, c.recordedHz, 12000);
    EXPECT_GE(fit.amplitude / 2000, c.gainLow);
    EXPECT_LE(fit.amplitude / 2000, c.gainHigh);
  }
}

TEST(CaptureChain, Jt910KeepsOnlyTheBandBelow500Hz) {
  // JT9-10 records 1000 samples per real second: its band ends at 500 Hz.
  // A 1000 Hz tone (it would need 12 kHz on the recording's scale) is
  // rejected by the low-pass, at least 40 dB below the in-band gain of 12.
  CaptureRig rig;
  rig.settings.mode = 10;
  rig.chain.StartCycleCapture();
  ASSERT_TRUE(rig.Feed(Tone(50 * kBlock, 1000, 1000)));
  const auto rec = rig.Recorded();
  int peak = 0;
  for (size_t i = 3000; i < rec.size(); ++i) peak = std::max(peak, std::abs(int{rec[i]}));
  EXPECT_LT(peak, 12 * 1000 / 100);
}

TEST(CaptureChain, Jt91WithoutMixerRecordsTheFourSampleAverages) {
  CaptureRig rig;
  rig.settings.mode = 1;
  rig.chain.StartCycleCapture();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> any(-32768, 32767);
  std::vector<int16_t> input(3 * kBlock);
  for (auto& s : input) s = static_cast<int16_t>(any(random));
  // A constant 8000 presamples to exactly 8000; full-scale negative values
  // sum beyond 16 bits.
  std::fill(input.begin() + kBlock, input.begin() + 2 * kBlock, 8000);
  std::fill(input.begin() + 2 * kBlock, input.begin() + 2 * kBlock + 400, -32768);
  ASSERT_TRUE(rig.Feed(input));
  const auto rec = rig.Recorded();
  ASSERT_EQ(rec.size(), 3 * 2400u);
  for (size_t i = 0; i < rec.size(); ++i) {
    const int32_t sum = input[4 * i] + input[4 * i + 1] + input[4 * i + 2] + input[4 * i + 3];
    ASSERT_EQ(rec[i], sum / 4) << "sample " << i;
  }
  EXPECT_TRUE(
      std::all_of(rec.begin() + 2400, rec.begin() + 4800, [](int16_t v) { return v == 8000; }));
  EXPECT_EQ(rec[4800], -32768);
}

TEST(CaptureChain, LoudSignalsClipInsteadOfWrapping) {
  // JT9-10's low-pass gains about 12: a tone of 10000 would be recorded at
  // about 120 000. The loud recording must be the quiet one scaled and
  // clipped, not values wrapped to their low 16 bits.
  for (uint32_t mode : {10u, 2u}) {
    SCOPED_TRACE(ModeName(mode));
    const double quiet = mode == 10 ? 1000 : 3000;
    const double loud = 10 * quiet;
    std::vector<int16_t> rec[2];
    for (int r = 0; r < 2; ++r) {
      CaptureRig rig;
      rig.settings.mode = mode;
      rig.chain.StartCycleCapture();
      // JT9-2 overshoots on a square wave: take one at 100 Hz.
      std::vector<int16_t> signal = Tone(20 * kBlock, mode == 10 ? 150 : 100, 1.0);
      const double amplitude = r == 0 ? quiet : loud;
      for (auto& s : signal)
        s = static_cast<int16_t>(mode == 10 ? s * amplitude : (s >= 0 ? 1 : -1) * amplitude);
      ASSERT_TRUE(rig.Feed(signal));
      rec[r] = rig.Recorded();
    }
    ASSERT_EQ(rec[0].size(), rec[1].size());
    int clipped = 0;
    for (size_t i = 0; i < rec[0].size(); ++i) {
      const double scaled = std::clamp(10.0 * rec[0][i], -32768.0, 32767.0);
      ASSERT_NEAR(rec[1][i], scaled, 12) << "sample " << i;
      clipped += rec[1][i] == 32767 || rec[1][i] == -32768;
    }
    EXPECT_GT(clipped, 100);
  }
}

TEST(CaptureChain, ReceiveBlockWritesItsLogLinesAndSilenceLeavesThePeakAtZero) {
  CaptureRig rig;
  rig.settings.mode = 2;
  rig.chain.StartCycleCapture();
  rig.input.Append(std::vector<int16_t>(kBlock + 100, 0));
  ASSERT_TRUE(rig.chain.ProcessReceiveInput());
  EXPECT_EQ(rig.chain.InputPeak(), 0);
  EXPECT_EQ(rig.recording->length, 2400u + 1080u);
  const std::vector<std::string> expected = {
      "Checking soundcard (19400 bytes available) [RX]",
      "Reading soundcard data (19200 of 19400 bytes) [RX]",
      "Mixing [RX]",
      "Presampling [RX]",
      "Add FFT array [RX]",
      "Resampling started [RX]",
      "9/20 Windowed Sinc Interpolation Resampling [RX]",
      "Resampling done [RX]",
      "Determine audio input peak value (0dB) [RX]",
      "Checking soundcard (200 bytes available) [RX]",
  };
  rig.chain.ProcessReceiveInput();  // 200 bytes: no block
  EXPECT_EQ(rig.LogLines(), expected);
  EXPECT_EQ(rig.spectrum.samples_.size(), 2400u);
}

TEST(CaptureChain, ModeLogLinesAndTheFallbackBeforeTablesAreBuilt) {
  struct Case {
    uint32_t mode;
    bool tables;
    const char* line;  // nullptr: none between started and done
    uint32_t added;
  };
  const Case cases[] = {
      {1, true, nullptr, 2400},
      {5, true, "3/8 followed by 9/20 Windowed Sinc Interpolation Resampling [RX]", 405},
      {10, true, "1/12 Windowed Sinc Interpolation Resampling [RX]", 198},
      {2, false, "Block Average Resampling [RX]", 1080},
      {5, false, "Block Average Resampling [RX]", 405},
      {3, true, "Block Average Resampling [RX]", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    CaptureRig rig(c.tables);
    rig.settings.mode = c.mode;
    rig.chain.StartCycleCapture();
    const uint32_t before = rig.recording->length;
    rig.input.Append(Tone(kBlock + 10, 100, 3000));
    ASSERT_TRUE(rig.chain.ProcessReceiveInput());
    EXPECT_EQ(rig.recording->length - before, c.added);
    const auto lines = rig.LogLines();
    const auto started = std::find(lines.begin(), lines.end(), "Resampling started [RX]");
    ASSERT_NE(started, lines.end());
    ASSERT_NE(started + 1, lines.end());
    EXPECT_EQ(*(started + 1), c.line != nullptr ? c.line : "Resampling done [RX]");
  }
}

TEST(CaptureChain, InputDeviceChangeDropsTheWaitingInputAndEndsTheCapture) {
  CaptureRig rig;
  rig.settings.mode = 1;
  rig.chain.StartCycleCapture();
  rig.input.Append(Tone(5 * kBlock, 500, 9000));
  rig.inputDeviceChanged = true;
  EXPECT_FALSE(rig.chain.ProcessReceiveInput());
  EXPECT_FALSE(rig.inputDeviceChanged);
  EXPECT_EQ(rig.input.WaitingBytes(), 0u);
  EXPECT_EQ(rig.recording->length, 0u);
  EXPECT_EQ(rig.chain.InputPeak(), 0);
  const std::vector<std::string> expected = {
      "Checking soundcard (96000 bytes available) [RX]",
      "Audio input device changed, buffer cleared, capturing disabled [RX]",
  };
  EXPECT_EQ(rig.LogLines(), expected);

  // Idle: the input is read, but neither the spectrum nor the peak see it.
  rig.input.Append(Tone(kBlock, 500, 9000));
  rig.inputDeviceChanged = true;
  rig.chain.ProcessIdleInput();
  EXPECT_FALSE(rig.inputDeviceChanged);
  EXPECT_EQ(rig.input.WaitingBytes(), 0u);
  EXPECT_TRUE(rig.spectrum.samples_.empty());
  EXPECT_EQ(rig.chain.InputPeak(), 0);
}

TEST(CaptureChain, ErrorValueReadsNothing) {
  CaptureRig rig;
  rig.input.Append(Tone(3 * kBlock, 500, 9000));
  rig.input.error_ = true;
  EXPECT_TRUE(rig.chain.ProcessReceiveInput());
  rig.chain.ProcessIdleInput();
  EXPECT_EQ(rig.chain.FlushInput(), kAudioError);
  rig.input.error_ = false;
  EXPECT_EQ(rig.input.WaitingBytes(), 3 * 2 * kBlock);
  EXPECT_TRUE(rig.spectrum.samples_.empty());
  const std::vector<std::string> expected = {
      "Checking soundcard (4294967295 bytes available) [RX]",
      "Audio input buffer cleared (4294967295) [Idle]",
  };
  EXPECT_EQ(rig.LogLines(), expected);

  // No input channel at all behaves the same.
  bool changed = false;
  testing::RecordingSpectrum spectrum;
  CaptureChain none([] { return nullptr; }, changed, spectrum, *rig.recording, rig.settings,
                    rig.log);
  EXPECT_EQ(none.FlushInput(), kAudioError);
  EXPECT_TRUE(none.ProcessReceiveInput());
  none.ProcessIdleInput();
  EXPECT_TRUE(spectrum.samples_.empty());
}

TEST(CaptureChain, IdleInputFeedsSpectrumAndPeakWithItsLogLines) {
  CaptureRig rig;
  auto input = Tone(4000, 700, 1234);
  rig.input.Append(input);
  rig.chain.ProcessIdleInput();
  EXPECT_EQ(rig.input.WaitingBytes(), 0u);
  ASSERT_EQ(rig.spectrum.samples_.size(), 1000u);
  for (size_t i = 0; i < 1000; ++i) {
    const int32_t sum = input[4 * i] + input[4 * i + 1] + input[4 * i + 2] + input[4 * i + 3];
    ASSERT_EQ(rig.spectrum.samples_[i], sum / 4);
  }
  EXPECT_EQ(rig.chain.InputPeak(), 1234);
  rig.chain.ResetInputPeak();
  rig.chain.ProcessIdleInput();  // nothing waiting
  EXPECT_EQ(rig.chain.InputPeak(), 0);
  const std::vector<std::string> expected = {
      "Mixing [Idle]",
      "Presampling [Idle]",
      "Audio input buffer cleared (8000) [Idle]",
      "Add FFT array [Idle]",
      "Mixing [Idle]",
      "Presampling [Idle]",
      "Audio input buffer cleared (0) [Idle]",
  };
  EXPECT_EQ(rig.LogLines(), expected);
}

TEST(CaptureChain, LongStallInReceiveProcessesBlocksWithoutOverrun) {
  CaptureRig rig;
  rig.settings.mode = 1;
  rig.chain.StartCycleCapture();
  rig.input.Append(Tone(100000, 440, 3000));  // 200 000 bytes
  ASSERT_TRUE(rig.chain.ProcessReceiveInput());
  EXPECT_EQ(rig.recording->length, 10 * 2400u);
  EXPECT_EQ(rig.input.WaitingBytes(), 8000u);
  EXPECT_LE(rig.input.largestRead_, 2u * CaptureChain::kCaptureBuffer);
}

TEST(CaptureChain, LongStallInIdleMixesAndShowsAllOfIt) {
  // 200 000 bytes waiting: more than CaptureBuffer holds. Every sample must
  // be read, mixed and presampled; with LO 1000 a 1500 Hz tone must come out
  // at 500 Hz to the very end, with no unmixed samples left over.
  CaptureRig rig;
  rig.settings.mixerEnabled = true;
  rig.chain.StartMixer(1000);
  auto input = Tone(100000, 1500, 10000);
  input[99990] = 32000;  // a peak in the last piece
  rig.input.Append(input);
  rig.chain.ProcessIdleInput();
  EXPECT_EQ(rig.input.WaitingBytes(), 0u);
  EXPECT_LE(rig.input.largestRead_, 2u * CaptureChain::kCaptureBuffer);
  const auto& shown = rig.spectrum.samples_;
  ASSERT_EQ(shown.size(), 25000u);
  // The last 8192 presampled samples: 500 Hz, nothing left at 1500 Hz.
  const auto at500 = FitSine(shown, 25000 - 8192 - 200, 8192, 500, 12000);
  const auto at1500 = FitSine(shown, 25000 - 8192 - 200, 8192, 1500, 12000);
  EXPECT_NEAR(at500.amplitude, 10000 * 0.9986, 50);  // the 4:1 average's loss at 500 Hz
  EXPECT_LT(at1500.amplitude, 10);
  EXPECT_GE(rig.chain.InputPeak(), 10000);
}

TEST(CaptureChain, FlushDropsEverythingAndKeepsThePeak) {
  CaptureRig rig;
  auto input = Tone(100000, 440, 3000);
  input[90000] = -30000;
  rig.input.Append(input);
  EXPECT_EQ(rig.chain.FlushInput(), 200000u);
  EXPECT_EQ(rig.input.WaitingBytes(), 0u);
  EXPECT_EQ(rig.chain.LastFlushPeak(), 30000);
  EXPECT_EQ(rig.chain.InputPeak(), 0);  // only the caller decides to raise it
  EXPECT_LE(rig.input.largestRead_, 2u * CaptureChain::kCaptureBuffer);
  EXPECT_EQ(rig.chain.FlushInput(), 0u);
  EXPECT_EQ(rig.chain.LastFlushPeak(), 0);
}

TEST(CaptureChain, InputPeakTakesAbsoluteValuesUpToFullScale) {
  CaptureRig rig;
  const int16_t samples[] = {5, -700, 300};
  rig.chain.RaiseInputPeak(samples, 3);
  EXPECT_EQ(rig.chain.InputPeak(), 700);
  const int16_t full[] = {-32768};
  rig.chain.RaiseInputPeak(full, 1);
  EXPECT_EQ(rig.chain.InputPeak(), 32767);
  rig.chain.ResetInputPeak();
  EXPECT_EQ(rig.chain.InputPeak(), 0);
}

}  // namespace
}  // namespace merivac
