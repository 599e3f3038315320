// EncoderTest.cpp - reading the symbols out of jt9code's output, and the
// real encoder.
#include <gtest/gtest.h>

#include <optional>

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
    std::optional<std::string> expected;  // nullopt: no symbol list
  };
  const Case cases[] = {
      {"one line", "header\nChannel symbols\n" + kSymbols + "\n", kSymbols},
      {"broken over lines with blanks", "Channel symbols\n" + Spaced(kSymbols, 30), kSymbols},
      {"a 9 is skipped", "symbols:" + kSymbols.substr(0, 40) + "9" + kSymbols.substr(40), kSymbols},
      {"more than 85 digits", "symbols " + kSymbols + "12345678", kSymbols},
      {"fewer than 85 digits", "symbols 876", std::nullopt},
      {"the character after symbols is dropped", "symbols5" + kSymbols.substr(0, 84), std::nullopt},
      {"no word symbols", "1234567" + kSymbols, std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto symbols = ParseEncoderOutput(c.output);
    ASSERT_EQ(symbols.has_value(), c.expected.has_value()) << c.name;
    if (symbols) {
      EXPECT_EQ(Digits(*symbols), *c.expected) << c.name;
    }
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

// An encoder that fails in any way must not make the program transmit
// zeros (a steady carrier) or hang: no symbols, and a log line saying why.
TEST(RunEncoder, FailingEncodersGiveNoSymbols) {
  struct Case {
    const char* script;
    const char* logged;
  };
  const std::string listing = "echo 'Channel symbols'; echo ' " + kSymbols + "'; ";
  const Case cases[] = {
      {"exit 0", "Encoder printed no symbol list"},
      {"echo 'Channel symbols'; echo ' 1 2 3'", "Encoder printed no symbol list"},
      {"echo 'Channel symbols'; kill -SEGV $$", "Encoder crashed"},
      {"exit 3", "Encoder ended with status 3"},
      {"while :; do printf x; sleep 0.2; done", "Encoder did not finish and was ended"},
      {"exec yes 012345678", "Encoder printed too much and was ended"},
  };
  for (const auto& c : cases) {
    testing::ProgramFolder folder;
    folder.ReplaceTool("jt9code_copy", c.script);
    ManualClock clock;
    bool enabled = true;
    DebugLog log(clock, enabled);
    ASSERT_TRUE(log.Open((folder.Path() / "extra" / "debug.txt").string()));
    PosixProcessRunner runner;
    EXPECT_FALSE(
        RunEncoder(runner, folder.Str(), "CQ K1ABC FN42", &log, std::chrono::milliseconds(1500))
            .has_value())
        << c.script;
    log.Close();
    EXPECT_NE(testing::ReadFile(folder.Path() / "extra" / "debug.txt").find(c.logged),
              std::string::npos)
        << c.script;
  }
  // The same listing with a clean exit is taken.
  testing::ProgramFolder folder;
  folder.ReplaceTool("jt9code_copy", listing + "exit 0");
  PosixProcessRunner runner;
  const auto symbols = RunEncoder(runner, folder.Str(), "CQ K1ABC FN42");
  ASSERT_TRUE(symbols.has_value());
  EXPECT_EQ(Digits(*symbols), kSymbols);
}

}  // namespace
}  // namespace merivac
