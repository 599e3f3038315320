// DecodeWindowsTest.cpp - decode lines, colours, routing, TX line, Erase,
// hover hint and decoded.txt.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/DecodeWindows.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

tJT9_Msg Record(int snr, double shift, uint16_t freq, char modeChar) {
  tJT9_Msg r;
  r.RawLine = "1940 -19  0.3 1000 @  CQ K1ABC FN42";
  r.Snr = static_cast<int8_t>(snr);
  r.PassShift = shift;
  r.AudioFreq = freq;
  r.ModeChar = modeChar;
  return r;
}

TEST(FormatDecodeLine, ColumnsTable) {
  struct Case {
    int snr;
    double shift;
    uint16_t freq;
    char mode;
    const char* line;
  };
  const Case cases[] = {
      {5, 0.0, 415, 'X', "1940  +5  0.0  415 X  CQ K1ABC FN42"},
      {0, 1.0, 1000, '1', "1940   0  1.0 1000 1  CQ K1ABC FN42"},
      {-15, -1.0, 1225, '2', "1940 -15 -1.0 1225 2  CQ K1ABC FN42"},
      {-102, -0.8, 14, '2', "1940 -10 -0.8   14 2  CQ K1ABC FN42"},
      {12, 0.4, 4985, '5', "1940 +12  0.4 4985 5  CQ K1ABC FN42"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDecodeLine(Record(c.snr, c.shift, c.freq, c.mode)), c.line) << c.snr;
  }
}

TEST(DecodeLineBackground, ColourRules) {
  struct Case {
    const char* line;
    const char* call;
    bool highlighted;
    Rgb expected;
    const char* why;
  };
  const Case cases[] = {
      {"1940 -15  0.0 1000 1  W1XYZ K1ABC -12", "N0CALL", false, decodecolors::kDefault, "plain"},
      {"1940 -15  0.0 1000 1  CQ K1ABC FN42", "N0CALL", false, decodecolors::kCq,
       "CQ at position 23 follows a blank"},
      {"1940 -15  0.0 1000 1  CQ N0CALL FN42", "N0CALL", false, decodecolors::kOwnCall,
       "own call wins over CQ"},
      {"1940 -15  0.0 1000 1  N0CALL K1ABC -12", "N0CALL", false, decodecolors::kOwnCall,
       "own call between blanks"},
      {"1940 -15  0.0 1000 1  XN0CALL K1ABC -12", "N0CALL", false, decodecolors::kDefault,
       "part of a longer word"},
      {"1940 [TX]     1225 1  CQ N0CALL FN42      ", "N0CALL", false, decodecolors::kTx,
       "TX line always yellow"},
      {"1940 -15  0.0 1000 1  CQ N0CALL FN42", "N0CALL", true, decodecolors::kAlert,
       "alert wins over everything"},
      {"1940 -15  0.0 1000 1  W1XYZ K1ABC -12", "", false, decodecolors::kOwnCall,
       "no own call: two blanks match"},
      {"1940 [TX]     1225 1  CQ FN42", "", false, decodecolors::kTx, "no own call, TX line"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeLineBackground(c.line, c.call, c.highlighted), c.expected) << c.why;
  }
}

TEST(IsRxFrequencyDecode, EightHzOverMode) {
  EXPECT_TRUE(IsRxFrequencyDecode(1233, 1225, 1));
  EXPECT_TRUE(IsRxFrequencyDecode(1217, 1225, 1));
  EXPECT_FALSE(IsRxFrequencyDecode(1234, 1225, 1));
  EXPECT_TRUE(IsRxFrequencyDecode(1229, 1225, 2));
  EXPECT_FALSE(IsRxFrequencyDecode(1230, 1225, 2));
  EXPECT_TRUE(IsRxFrequencyDecode(1226, 1225, 5));
  EXPECT_FALSE(IsRxFrequencyDecode(1227, 1225, 5));
  EXPECT_TRUE(IsRxFrequencyDecode(415, 415, 10));
  EXPECT_FALSE(IsRxFrequencyDecode(414, 415, 10));
}

TEST(TxLine, ColumnsAndPadding) {
  const double utc = EncodeDateTime(2026, 12, 9, 19, 49, 30);
  const std::string line = TxLine(utc, 10, 415, "CQ N0CALL FN42");
  EXPECT_EQ(line, "1940 [TX]      415 X  CQ N0CALL FN42        ");
  EXPECT_EQ(line.size(), 44u);
  EXPECT_EQ(line.substr(14, 4), " 415");
  EXPECT_EQ(line[19], 'X');
  const std::string longer = TxLine(utc, 1, 1225, "N0CALL K1ABC R-15 AND SOME MORE TEXT");
  EXPECT_EQ(longer, "1949 [TX]     1225 1  N0CALL K1ABC R-15 AND SOME MORE TEXT");
}

class DecodeWindowsTest : public ::testing::Test {
 protected:
  class HintUi : public NullUiServices {
   public:
    void ShowHintText(const std::string& text, int x0, int y0, const std::string& size) override {
      shown = text, x = x0, y = y0, sizeText = size;
    }
    void HideHintText() override { hides += 1; }
    std::string shown, sizeText;
    int x = 0, y = 0, hides = 0;
  };
  DecodeWindowsTest() : windows(settings, clock, ui) {
    clock.Set(EncodeDateTime(2026, 12, 9, 19, 40, 50));
  }
  Settings settings;
  ManualClock clock;
  HintUi ui;
  DecodeWindows windows;
};

TEST_F(DecodeWindowsTest, TxLineGoesToRxFrequencyInYellow) {
  settings.utcOffsetHours = 1;  // local 19:40 is 18:40 UTC
  windows.AddTxLine("CQ N0CALL FN42", 1225);
  ASSERT_EQ(windows.RxMemo().LineCount(), 1u);
  EXPECT_EQ(windows.RxMemo().Line(0).text.substr(0, 9), "1840 [TX]");
  EXPECT_EQ(windows.RxMemo().Line(0).background, decodecolors::kTx);
  EXPECT_EQ(windows.RxMemo().Line(0).fontColor, colors::kBlack);
  EXPECT_EQ(windows.BandMemo().LineCount(), 0u);
}

TEST_F(DecodeWindowsTest, EraseClickClearsRxFrequencyAndQuickSecondClickBandActivity) {
  auto fill = [&] {
    windows.BandMemo().AppendPlain("b");
    windows.RxMemo().AppendPlain("r");
  };
  fill();
  windows.EraseButtonClick();
  EXPECT_EQ(windows.RxMemo().LineCount(), 0u);
  EXPECT_EQ(windows.BandMemo().LineCount(), 1u);
  clock.AdvanceSeconds(0.5);
  fill();
  windows.EraseButtonClick();  // 0.5 s later: again only RX Frequency
  EXPECT_EQ(windows.RxMemo().LineCount(), 0u);
  EXPECT_EQ(windows.BandMemo().LineCount(), 2u);
  clock.AdvanceSeconds(0.3);
  windows.EraseButtonClick();  // 0.3 s later: Band Activity too
  EXPECT_EQ(windows.BandMemo().LineCount(), 0u);
  EXPECT_EQ(windows.EraseTime(), 0.0);
  clock.AdvanceSeconds(0.1);
  fill();
  windows.EraseButtonClick();  // erase time was reset: a single click again
  EXPECT_EQ(windows.BandMemo().LineCount(), 1u);
}

TEST_F(DecodeWindowsTest, HoverHintAndStopClick) {
  EXPECT_EQ(windows.HoverHint().rfind("Double-click on a call", 0), 0u);
  settings.multiDecode = true;
  windows.UpdateHoverHint();
  EXPECT_EQ(windows.HoverHint(),
            "Click to stop decoding.\r\nDouble-click on a call to select the DX call.\r\nThe RX "
            "frequency and report will be retrieved (if available).");
  windows.MemoMouseEnter(100, 200, 8, 30);
  EXPECT_EQ(ui.shown, windows.HoverHint());
  EXPECT_EQ(ui.x, 108);
  EXPECT_EQ(ui.y, 220);
  EXPECT_EQ(ui.sizeText, "");
  windows.MemoMouseLeave();
  EXPECT_EQ(ui.hides, 1);
  EXPECT_FALSE(windows.StopDecoding());
  windows.RxMemoClick();
  EXPECT_TRUE(windows.StopDecoding());
}

TEST_F(DecodeWindowsTest, DecodedFileIsCreatedAndAppendedWithTheCycleStart) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "extra");
  const auto path = dir.Path() / "extra" / "decoded.txt";
  ASSERT_TRUE(windows.OpenDecodedFile(dir.Str()));
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  settings.mode = 2;
  settings.utcOffsetHours = 5;  // the file uses the local clock
  windows.WriteDecodedFile("1939 -18  0.0 1000 2  CQ K1ABC FN42");
  windows.CloseDecodedFile();
  ASSERT_TRUE(windows.OpenDecodedFile(dir.Str()));  // appends
  windows.WriteDecodedFile("second");
  windows.CloseDecodedFile();
  EXPECT_EQ(testing::ReadFile(path),
            "26-12-09 19:39 1939 -18  0.0 1000 2  CQ K1ABC FN42\r\n26-12-09 19:39 second\r\n");
}

TEST_F(DecodeWindowsTest, DecodedFileThatCannotBeOpenedIsIgnored) {
  EXPECT_FALSE(windows.OpenDecodedFile("/nonexistent/folder"));
  windows.WriteDecodedFile("line");  // no crash, nothing written
}

}  // namespace
}  // namespace merivac
