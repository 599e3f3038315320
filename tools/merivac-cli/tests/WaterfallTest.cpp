// WaterfallTest.cpp - merivac-cli waterfall: a synthesised recording drawn
// as the spectrum window draws it (the transmission's column brightest in
// the newest rows, time marks at the cycle starts), and the exits for bad
// arguments and unusable recordings.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "CliCommands.h"
#include "WaterfallCommand.h"
#include "codec/bridge/Jt9Fixture.h"
#include "spectrum/SpectrumLayout.h"
#include "support/SpectrumProbe.h"

namespace merivac::cli {
namespace {

using testing::ProgramFolder;
using testing::RampValue;

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

class WaterfallTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name) const { return (folder.Path() / name).string(); }
  // A JT9-1 recording of `seconds` with one transmission at 1100 Hz from
  // 1 s into every cycle.
  void Synth(double seconds) {
    const CliRun r =
        Cli({"synth", "--folder", folder.Str(), "--mode", "1", "--tx", "1100:-5:CQ K1ABC FN42",
             "--seconds", std::to_string(seconds), File("in.wav")});
    ASSERT_EQ(r.code, 0) << r.err;
  }
  // The panel of a picture with `rows` waterfall rows.
  static QRect Panel(int rows) {
    const int th = QFontMetrics(SpectrumWindowFont()).height();
    return LayOutSpectrum(th + 9, rows).panel;
  }
  static Rgb At(const QImage& image, QPoint p) { return FromQRgb(image.pixel(p)); }
  // The waterfall column (from 1) of the highest ramp value in the panel row at `row`.
  static int BrightestIn(const QImage& image, QPoint row) {
    int best = 1, bestValue = -2;
    for (int c = 1; c < 634; ++c) {
      const int v = RampValue(At(image, row + QPoint(c, 0)));
      if (v > bestValue) {
        best = c;
        bestValue = v;
      }
    }
    return best;
  }
  // The column where the blue trace reaches highest in the spectrum area.
  static int HighestTrace(const QImage& image, const QRect& area) {
    for (int y = 0; y < area.height(); ++y) {
      for (int c = 1; c < area.width(); ++c) {
        if (At(image, area.topLeft() + QPoint(c, y)) == colors::kBlue) return c;
      }
    }
    return -1;
  }

  ProgramFolder folder;
};

TEST_F(WaterfallTest, SynthRecordingShowsItsTransmissionAndCycleMarks) {
  Synth(70);
  const CliRun r =
      Cli({"waterfall", "--mode", "1", "--utc", "261209_1940", File("in.wav"), File("out.png")});
  ASSERT_EQ(r.code, 0) << r.err;
  const long lines = 70 * 12000 / 16384;  // 51
  EXPECT_NE(r.out.find("(51 lines"), std::string::npos) << r.out;
  QImage picture(QString::fromStdString(File("out.png")));
  ASSERT_FALSE(picture.isNull());
  const int th = QFontMetrics(SpectrumWindowFont()).height();
  const QRect panel = Panel(static_cast<int>(lines) + th + 1);
  EXPECT_EQ(picture.size(), QSize(686, panel.bottom() + 1 + 4 + 60 + 8));

  // The nine tones of the transmission lie from 1100 Hz to 1100 + 8 x 1.74 Hz.
  const DisplayRange range{300, 1400};
  const int first = FreqToX(1100, range), last = FreqToX(1100 + 8 * 12000.0 / 6912, range);
  for (int row = 0; row < 4; ++row) {
    const int best = BrightestIn(picture, panel.topLeft() + QPoint(0, row));
    EXPECT_GE(best, first - 1) << "row " << row;
    EXPECT_LE(best, last + 1) << "row " << row;
  }
  // Time marks: over the line before the first one after 60 s (the cycle
  // 19:41), and below the oldest line (the cycle 19:40 the recording starts with).
  std::vector<int> marks;
  for (int row = 0; row < panel.height(); ++row) {
    bool lime = true;
    for (int c = 0; c < 634 && lime; ++c) {
      lime = At(picture, panel.topLeft() + QPoint(c, row)) == spectrum::kLime;
    }
    if (lime) marks.push_back(row);
  }
  // Line 43 is the first to end after 60 s; the mark replaces line 42.
  const int firstAfter60 = static_cast<int>(60.0 * 12000 / 16384);
  EXPECT_EQ(marks,
            (std::vector<int>{static_cast<int>(lines) - firstAfter60, static_cast<int>(lines)}));
  // The trace of the last line reaches highest at the transmission.
  const QRect area(panel.left(), panel.bottom() + 5, 634, 60);
  const int top = HighestTrace(picture, area);
  EXPECT_GE(top, first - 1);
  EXPECT_LE(top, last + 1);
}

TEST_F(WaterfallTest, DisplayRangeGainAndOffsetAreTheWindowsSettings) {
  Synth(15);
  const CliRun r = Cli({"waterfall", "--mode", "1", "--fslo", "1000", "--fshi", "1200", "--gain",
                        "5", "--offs", "30", File("in.wav"), File("narrow.png")});
  ASSERT_EQ(r.code, 0) << r.err;
  QImage picture(QString::fromStdString(File("narrow.png")));
  const int th = QFontMetrics(SpectrumWindowFont()).height();
  const QRect panel = Panel(10 + th + 1);
  const DisplayRange range{1000, 1200};
  const int first = FreqToX(1100, range), last = FreqToX(1100 + 8 * 12000.0 / 6912, range);
  EXPECT_EQ(first, 317);
  const int best = BrightestIn(picture, panel.topLeft());
  EXPECT_GE(best, first - 1);
  EXPECT_LE(best, last + 1);
  // Gain 5 above a reference 30 rows up: at most 5 x 30 ramp units.
  int most = 0;
  for (int row = 0; row < 10; ++row) {
    for (int c = 1; c < 634; ++c) {
      most = std::max(most, RampValue(At(picture, panel.topLeft() + QPoint(c, row))));
    }
  }
  EXPECT_GT(most, 5 * 10);
  EXPECT_LE(most, 5 * 30);
  const QRect ref(panel.left() + 634 + 8, panel.bottom() + 5, 28, 60);
  EXPECT_EQ(At(picture, ref.topLeft() + QPoint(3, 29)), LevelToColor(5));
  EXPECT_EQ(At(picture, ref.topLeft() + QPoint(3, 30)), colors::kBlack);
  EXPECT_EQ(At(picture, ref.topLeft() + QPoint(-5, 29)), colors::kRed) << "the range mark";
}

TEST_F(WaterfallTest, UnusableRecordingsExitWithTwo) {
  // A recording in another format: 44 100 Hz.
  {
    std::ofstream f(File("cd.wav"), std::ios::binary);
    auto u32 = [&f](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&f](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4);
    u32(36 + 8000);
    f.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(44100);
    u32(88200);
    u16(2);
    u16(16);
    f.write("data", 4);
    u32(8000);
    f.write(std::string(8000, '\0').data(), 8000);
  }
  CliRun r = Cli({"waterfall", "--mode", "1", File("cd.wav"), File("out.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("44100 Hz"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("48000 Hz, mono, 16-bit"), std::string::npos) << r.err;

  std::ofstream(File("text.wav")) << "not a recording";
  r = Cli({"waterfall", "--mode", "1", File("text.wav"), File("out.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("not a RIFF/WAVE file"), std::string::npos) << r.err;

  Synth(1);  // 1 s: shorter than one JT9-1 line
  r = Cli({"waterfall", "--mode", "1", File("in.wav"), File("out.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("shorter than one spectrum line of JT9-1"), std::string::npos) << r.err;
  r = Cli({"waterfall", "--mode", "1", File("missing.wav"), File("out.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_FALSE(std::filesystem::exists(File("out.png")));
}

TEST_F(WaterfallTest, BadArgumentsExitWithTwoAndTheUsage) {
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"a.wav", "b.png"}, "--mode is required"},
      {{"--mode", "3", "a.wav", "b.png"}, "--mode must be 1, 2, 5 or 10"},
      {{"--mode", "1", "--fslo", "300", "a.wav", "b.png"}, "give --fslo and --fshi together"},
      {{"--mode", "1", "--fslo", "300", "--fshi", "350", "a.wav", "b.png"}, "at least 100 Hz"},
      {{"--mode", "1", "--fslo", "300", "--fshi", "5100", "a.wav", "b.png"},
       "--fshi must be a whole number from 0 to 5000"},
      {{"--mode", "1", "--gain", "101", "a.wav", "b.png"}, "--gain must be"},
      {{"--mode", "1", "--offs", "x", "a.wav", "b.png"}, "--offs must be"},
      {{"--mode", "1", "--mixer-lo", "100", "a.wav", "b.png"}, "--mixer-lo must be"},
      {{"--mode", "1", "--utc", "261331_1940", "a.wav", "b.png"}, "--utc must be YYMMDD_HHNN"},
      {{"--mode", "1", "--colour", "a.wav", "b.png"}, "unknown option --colour"},
      {{"--mode", "1", "a.wav"}, "IN.wav OUT.png"},
      {{"--mode"}, "--mode needs a value"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"waterfall"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("usage:"), std::string::npos) << c.says;
  }
}

}  // namespace
}  // namespace merivac::cli
