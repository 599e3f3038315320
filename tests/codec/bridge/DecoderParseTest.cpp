// DecoderParseTest.cpp - the decoder's output: lines, records, the sub-mode
// correction, sorting, repeats, the frequency band and the deadline.
#include <gtest/gtest.h>

#include "codec/DecoderBridge.h"
#include "common/DateTime.h"
#include "qso/Frequencies.h"

namespace merivac {
namespace {

RxFreqLimits RxOf(const FrequencyLimits& f) { return {f.rxLow, f.rxHigh}; }

tJT9_Msg Msg(const std::string& text, uint16_t freq) {
  tJT9_Msg m;
  m.MsgText = text;
  m.AudioFreq = freq;
  return m;
}

TEST(SplitDecoderOutput, LineBreaksBlankLinesAndAngleLines) {
  EXPECT_EQ(SplitDecoderOutput(""), tDecode_Array{"error"});
  EXPECT_EQ(SplitDecoderOutput("a\r\nb\nc\rd"), (tDecode_Array{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitDecoderOutput("a\n\nb\n"), (tDecode_Array{"a", "", "b"}));
  EXPECT_EQ(SplitDecoderOutput("x\n<DecodeFinished>   0   1        0\n"), (tDecode_Array{"x", ""}));
}

TEST(ParseDecodes, LengthAndFields) {
  const std::string line32 = "0000 -19  0.0 1000 @  CQ K1ABC F";   // 32 characters
  const std::string line33 = "0000 -19  0.3 1000 @  CQ K1ABC FN";  // 33 characters
  ASSERT_EQ(line32.size(), 32u);
  const auto recs = ParseDecodes({line32, "", line33, "short"}, 1);
  ASSERT_EQ(recs.size(), 1u);
  EXPECT_EQ(recs[0].RawLine, line33);
  EXPECT_EQ(recs[0].UtcText, "0000");
  EXPECT_EQ(recs[0].Snr, -19);
  EXPECT_DOUBLE_EQ(recs[0].DecoderDt, 0.3);
  EXPECT_EQ(recs[0].AudioFreq, 1000);
  EXPECT_EQ(recs[0].ModeChar, '1');
  EXPECT_EQ(recs[0].MsgText, "CQ K1ABC FN");
}

// Long lines without the decoder's columns are no decodes: garbage output
// must not fill the windows and the decoded file, and out-of-range values
// must not wrap (an SNR of 999 in 8 bits, a frequency of -999 in 16).
TEST(ParseDecodes, LinesWithoutTheDecodeLayoutAreDropped) {
  struct Case {
    const char* line;
    bool decode;
  };
  const Case cases[] = {
      {"1940 -15  0.1 1225 @  CQ K1ABC FN42", true},
      {"1940  +3 -1.5    0 @  CQ K1ABC FN42", true},
      {"1940 -99 59.9 5000 @  CQ K1ABC FN42", true},
      {"1940  99  0.1 1225 @  CQ K1ABC FN42", true},
      {"1234 abc xxxx zzzz @  SOME MESSAGE TEXT", false},
      {"1940 999  0.1 1225 @  CQ K1ABC FN42", false},
      {"1940 -15  0.1 -999 @  CQ K1ABC FN42", false},
      {"1940 -15  0.1 5001 @  CQ K1ABC FN42", false},
      {"1940 -15 99.9 1225 @  CQ K1ABC FN42", false},
      {"1940 -15  nan 1225 @  CQ K1ABC FN42", false},
      {"19x0 -15  0.1 1225 @  CQ K1ABC FN42", false},
      {"1940 - 5  0.1 1225 @  CQ K1ABC FN42", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasDecodeLayout(c.line), c.decode) << c.line;
    EXPECT_EQ(ParseDecodes({c.line}, 10).size(), c.decode ? 1u : 0u) << c.line;
  }
}

TEST(ParseDecodes, SubModeCorrection) {
  struct Case {
    uint32_t mode;
    const char* line;
    int snr;
    uint16_t freq;
    char modeChar;
  };
  const Case cases[] = {
      {1, "1940 -15  0.1 1225 @  CQ K1ABC FN42", -15, 1225, '1'},
      {2, "1940 -15  0.1 3111 @  CQ K1ABC FN42", -18, 1400, '2'},
      {5, "1940  +3  0.1 1000 @  CQ K1ABC FN42", -4, 169, '5'},  // 168.75 rounds to 169
      {10, "1940 -15  0.1 2400 @  CQ K1ABC FN42", -25, 200, 'X'},
      {2, "1940 -15  0.1   10 @  CQ K1ABC FN42", -18, 4, '2'},    // 4.5: halves to even
      {2, "1940 -99  0.1   30 @  CQ K1ABC FN42", -102, 14, '2'},  // 13.5 rounds to 14
  };
  for (const auto& c : cases) {
    const auto r = ParseDecodes({c.line}, c.mode);
    ASSERT_EQ(r.size(), 1u) << c.line;
    EXPECT_EQ(r[0].Snr, c.snr) << c.mode << " " << c.line;
    EXPECT_EQ(r[0].AudioFreq, c.freq) << c.mode << " " << c.line;
    EXPECT_EQ(r[0].ModeChar, c.modeChar);
  }
}

TEST(SortDecodesByFreq, AscendingAndStableOnEqualFrequencies) {
  const auto sorted =
      SortDecodesByFreq({Msg("C", 900), Msg("A1", 500), Msg("B", 700), Msg("A2", 500)});
  std::string order;
  for (const auto& m : sorted) order += m.MsgText + " ";
  EXPECT_EQ(order, "A1 A2 B C ");
}

TEST(IsRepeatDecode, SameTextWithinNineHz) {
  const tJT9_Msg_Array accepted = {Msg("CQ K1ABC FN42", 1000)};
  EXPECT_TRUE(IsRepeatDecode(accepted, Msg("CQ K1ABC FN42", 1009)));
  EXPECT_TRUE(IsRepeatDecode(accepted, Msg("CQ K1ABC FN42", 991)));
  EXPECT_FALSE(IsRepeatDecode(accepted, Msg("CQ K1ABC FN42", 1010)));
  EXPECT_FALSE(IsRepeatDecode(accepted, Msg("CQ K1ABC FN42", 990)));
  EXPECT_FALSE(IsRepeatDecode(accepted, Msg("cq K1ABC FN42", 1000)));
}

TEST(DecoderBand, LimitsOnTheRecordingScale) {
  struct Case {
    uint32_t mode;
    bool rxlm;
    int upper, lower;
  };
  const Case cases[] = {
      {1, false, 1400, 200},   {2, false, 3111, 444}, {5, false, 4977, 1185},
      {10, false, 4980, 2400}, {1, true, 5000, 200},  {10, true, 5000, 200},
  };
  for (const auto& c : cases) {
    const auto band = DecoderBand(c.mode, RxOf(ComputeFreqLimits(c.mode, false, c.rxlm)), c.rxlm);
    EXPECT_EQ(band.upper, c.upper) << c.mode << " " << c.rxlm;
    EXPECT_EQ(band.lower, c.lower) << c.mode << " " << c.rxlm;
  }
  // Limits above 5000 on the recording's scale are lowered to 5000.
  EXPECT_EQ(DecoderBand(10, {1000, 1400}, false).upper, 5000);
  EXPECT_EQ(DecoderBand(10, {1000, 1400}, false).lower, 5000);
}

TEST(DecoderArguments, ExactArgumentList) {
  EXPECT_EQ(DecoderArguments({4980, 2400}, "../save/261209_1940.wav"),
            (std::vector<std::string>{"wsjt/jt9_copy", "-9", "-d", "3", "-H", "4980", "-S", "2400",
                                      "../save/261209_1940.wav"}));
}

TEST(DecodeDeadline, NearestMinuteBoundaryLessAMillisecondOrSo) {
  const double t = EncodeDateTime(2026, 12, 9, 19, 40, 51);
  const double expected = EncodeDateTime(2026, 12, 9, 19, 41) - 1.0 / 86400.0 / 1440.0;
  EXPECT_NEAR(DecodeDeadline(t), expected, 1e-12);
  EXPECT_LT(DecodeDeadline(t), EncodeDateTime(2026, 12, 9, 19, 41));
}

TEST(PassShifts, ElevenShifts) {
  EXPECT_EQ(PassShifts(0), 0.0);
  EXPECT_EQ(PassShifts(1), -0.8);
  EXPECT_EQ(PassShifts(2), 0.8);
  EXPECT_EQ(PassShifts(9), -1.0);
  EXPECT_EQ(PassShifts(10), 1.0);
}

}  // namespace
}  // namespace merivac
