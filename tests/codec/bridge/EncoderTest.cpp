// EncoderTest.cpp - reading the symbols out of jt9code's output, and the
// real encoder.
#include <gtest/gtest.h>

#include "codec/EncoderBridge.h"
#include "codec/ProcessRunner.h"
#include "codec/bridge/Jt9Fixture.h"
#include "common/DebugLog.h"

namespace merivac {
namespace {

std::string Digits(const TxSymbolArray& s) {
  std::string out;
  for (auto v : s) out += static_cast<char>('0' + v);
  return out;
}

// 85 digits 0..8 in a recognisable order.
const std::string kSymbols = [] {
  std::string s;
  for (int i = 0; i < 85; ++i) s += static_cast<char>('0' + (i * 7 + i / 9) % 9);
  return s;
}();

std::string Spaced(const std::string& digits, size_t perLine) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    out += ' ';
    out += digits[i];
    if ((i + 1) % perLine == 0) out += "\r\n";
  }
  return out;
}

TEST(ParseEncoderOutput, Table) {
  struct Case {
    const char* name;
    std::string output;
    std::string expected;
  };
  const std::string zeros(85, '0');
  const Case cases[] = {
      {"one line", "header\nChannel symbols\n" + kSymbols + "\n", kSymbols},
      {"broken over lines with blanks", "Channel symbols\n" + Spaced(kSymbols, 30), kSymbols},
      {"a 9 is skipped", "symbols:" + kSymbols.substr(0, 40) + "9" + kSymbols.substr(40), kSymbols},
      {"more than 85 digits", "symbols " + kSymbols + "12345678", kSymbols},
      {"fewer digits leave zeros", "symbols 876", "876" + std::string(82, '0')},
      {"the character after symbols is dropped", "symbols5" + kSymbols.substr(0, 84),
       kSymbols.substr(0, 84) + "0"},
      {"no symbols: from the 8th character", "1234567" + kSymbols, kSymbols},
      {"empty", "", zeros},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Digits(ParseEncoderOutput(c.output)), c.expected) << c.name;
  }
}

TEST(RunEncoder, RealJt9codeGivesItsSymbolsForAMessage) {
  testing::ProgramFolder folder;
  PosixProcessRunner runner;
  const auto symbols = RunEncoder(runner, folder.Str(), "CQ K1ABC FN42");
  ASSERT_TRUE(symbols.has_value());
  // jt9code's own listing for this message.
  EXPECT_EQ(Digits(*symbols),
            "0062035340172680178735017333371605067267742346815200840673101577104366640715663585"
            "040");
}

TEST(RunEncoder, MissingEncoderMeansNoSymbolsAndALogLine) {
  testing::ProgramFolder folder;
  std::filesystem::remove(folder.Path() / "wsjt" / "jt9code_copy");
  ManualClock clock;
  bool enabled = true;
  DebugLog log(clock, enabled);
  ASSERT_TRUE(log.Open((folder.Path() / "extra" / "debug.txt").string()));
  PosixProcessRunner runner;
  EXPECT_FALSE(RunEncoder(runner, folder.Str(), "CQ K1ABC FN42", &log).has_value());
  log.Close();
  EXPECT_NE(
      testing::ReadFile(folder.Path() / "extra" / "debug.txt").find("Encoder could not be started"),
      std::string::npos);
}

TEST(RunEncoder, EncoderPrintingNothingGivesAllZeros) {
  testing::ProgramFolder folder;
  folder.ReplaceTool("jt9code_copy", "exit 0");
  PosixProcessRunner runner;
  const auto symbols = RunEncoder(runner, folder.Str(), "CQ K1ABC FN42");
  ASSERT_TRUE(symbols.has_value());
  EXPECT_EQ(Digits(*symbols), std::string(85, '0'));
}

}  // namespace
}  // namespace merivac
