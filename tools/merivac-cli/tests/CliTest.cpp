// CliTest.cpp - merivac-cli end to end: synthesised band audio through the
// capture chain and the real jt9, and the command-line errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "CliCommands.h"
#include "codec/CycleWav.h"
#include "codec/bridge/Jt9Fixture.h"

namespace merivac::cli {
namespace {

using testing::ProgramFolder;

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunCli(args, out, err);
  return {code, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class CliTest : public ::testing::Test {
 protected:
  std::string Wav(const std::string& name) const { return (folder.Path() / name).string(); }
  // Synthesises a recording and decodes it; returns the decode lines.
  std::vector<std::string> SynthAndDecode(const std::vector<std::string>& synthArgs,
                                          const std::vector<std::string>& decodeArgs) {
    std::vector<std::string> s = {"synth", "--folder", folder.Str()};
    s.insert(s.end(), synthArgs.begin(), synthArgs.end());
    s.push_back(Wav("in.wav"));
    const CliRun synth = Cli(s);
    EXPECT_EQ(synth.code, 0) << synth.err;
    std::vector<std::string> d = {"decode", "--folder", folder.Str(), "--utc", "261209_1940"};
    d.insert(d.end(), decodeArgs.begin(), decodeArgs.end());
    d.push_back(Wav("in.wav"));
    const CliRun decode = Cli(d);
    EXPECT_EQ(decode.code, 0) << decode.err;
    return Lines(decode.out);
  }
  ProgramFolder folder;
};

TEST_F(CliTest, RoundTripJt9OneAtMinus15Db) {
  const auto lines =
      SynthAndDecode({"--mode", "1", "--tx", "1100:-15:CQ K1ABC FN42"}, {"--mode", "1"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 4), "1940");
  EXPECT_EQ(lines[0].substr(9, 10), " 0.0 1100 ");
  EXPECT_EQ(lines[0][19], '1');
  EXPECT_EQ(lines[0].substr(22, 13), "CQ K1ABC FN42");
  // The pass file was deleted after the pass.
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "save" / "261209_1940.wav"));
}

// Two stations at -20 dB in every sub-mode, through the band simulator's
// signal, the capture chain and jt9, at their real frequencies.
TEST_F(CliTest, EverySubModeTwoStationsAtMinus20Db) {
  struct Case {
    const char* mode;
    int f1, f2;
    char modeChar;
  };
  const Case cases[] = {
      {"1", 800, 1300, '1'}, {"2", 700, 1250, '2'}, {"5", 400, 700, '5'}, {"10", 250, 380, 'X'}};
  for (const auto& c : cases) {
    const auto lines =
        SynthAndDecode({"--mode", c.mode, "--tx", std::to_string(c.f1) + ":-20:CQ K1ABC FN42",
                        "--tx", std::to_string(c.f2) + ":-20:W1XYZ K1ABC -12"},
                       {"--mode", c.mode});
    ASSERT_EQ(lines.size(), 2u) << "JT9-" << c.mode;
    EXPECT_EQ(std::stoi(lines[0].substr(14, 4)), c.f1) << "JT9-" << c.mode;
    EXPECT_EQ(lines[0].substr(22, 13), "CQ K1ABC FN42");
    EXPECT_EQ(std::stoi(lines[1].substr(14, 4)), c.f2) << "JT9-" << c.mode;
    EXPECT_EQ(lines[1].substr(22, 15), "W1XYZ K1ABC -12");
    EXPECT_EQ(lines[0][19], c.modeChar);
  }
}

TEST_F(CliTest, MixerShiftsTheBandDownByTheLo) {
  const auto lines =
      SynthAndDecode({"--mode", "1", "--mixer-lo", "10000", "--tx", "1000:-20:CQ K1ABC FN42"},
                     {"--mode", "1", "--mixer-lo", "10000"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(14, 4), "1000");
}

TEST_F(CliTest, ElevenPassesShowEachDecodeOnce) {
  const auto lines = SynthAndDecode(
      {"--mode", "1", "--tx", "900:-18:CQ K1ABC FN42", "--tx", "1250:-18:W1XYZ K1ABC -12"},
      {"--mode", "1", "--multi"});
  ASSERT_EQ(lines.size(), 2u);
  std::set<std::string> messages;
  for (const auto& l : lines) messages.insert(l.substr(22));
  EXPECT_EQ(messages.size(), 2u);
  // Shown with the shift of the first pass that decoded it: pass 0 here.
  EXPECT_EQ(lines[0].substr(9, 4), " 0.0");
}

TEST_F(CliTest, EncodePrintsTheSymbols) {
  const CliRun r = Cli({"encode", "--folder", folder.Str(), "CQ K1ABC FN42"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("0 0 6 2 0 3 5 3 4 0 1 7", 0), 0u);
  EXPECT_EQ(Lines(r.out).size(), 1u);
  EXPECT_EQ(r.out.size(), 85u * 2);  // 85 digits, 84 blanks and the line end
}

TEST_F(CliTest, BadArgumentsExitWithTwo) {
  const std::string in = Wav("in.wav");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"decode", in},
      {"decode", "--mode", "3", in},
      {"decode", "--mode", "1"},
      {"decode", "--mode", "1", "--mixer-lo", "abc", in},
      {"decode", "--mode", "1", "--rx-low", "300", in},
      {"decode", "--mode", "1", "--utc", "261309_1940", in},
      {"decode", "--mode", "1", "--bogus", in},
      {"decode", "--mode"},
      {"synth", "--mode", "1", in},
      {"synth", "--mode", "1", "--tx", "1000:-15", in},
      {"synth", "--mode", "1", "--tx", "x:-15:CQ K1ABC FN42", in},
      {"synth", "--mode", "1", "--tx", "nan:-15:CQ K1ABC FN42", in},
      {"synth", "--mode", "1", "--tx", "1000:nan:CQ K1ABC FN42", in},
      {"synth", "--mode", "1", "--tx", "inf:-15:CQ K1ABC FN42", in},
      {"synth", "--mode", "1", "--tx", "1000:-15:CQ K1ABC FN42", "--seconds", "nan", in},
      {"synth", "--mode", "1", "--tx", "23990:-15:CQ K1ABC FN42", in},  // tones above 24000 Hz
      {"synth", "--mode", "1", "--tx", "4100:-15:CQ K1ABC FN42", "--mixer-lo", "19999", in},
      {"encode"},
      {"encode", "--folder", folder.Str(), "A", "B"},
  };
  for (const auto& args : cases) {
    const CliRun r = Cli(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(r.code, 2) << joined;
    EXPECT_FALSE(r.err.empty()) << joined;
    EXPECT_TRUE(r.out.empty()) << joined;
  }
}

TEST_F(CliTest, UnusableInputOrMissingToolsExitWithTwo) {
  const CliRun missing = Cli({"decode", "--mode", "1", "--folder", folder.Str(), Wav("none.wav")});
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.err.find("none.wav"), std::string::npos);

  { std::ofstream(Wav("text.wav")) << "this is not a WAV file at all"; }
  EXPECT_EQ(Cli({"decode", "--mode", "1", "--folder", folder.Str(), Wav("text.wav")}).code, 2);

  // The cycle file itself (12000 samples per second) is the wrong format.
  auto rec = std::make_unique<CycleRecording>();
  ASSERT_TRUE(WriteCycleWav(*rec, folder.Str() + "/save", "cycle.wav", 0.0));
  EXPECT_EQ(Cli({"decode", "--mode", "1", "--folder", folder.Str(),
                 (folder.Path() / "save" / "cycle.wav").string()})
                .code,
            2);

  testing::TempDir empty;
  const CliRun noTools = Cli({"decode", "--mode", "1", "--folder", empty.Str(), Wav("none.wav")});
  EXPECT_EQ(noTools.code, 2);
  EXPECT_NE(noTools.err.find("wsjt/jt9_copy"), std::string::npos);
  EXPECT_EQ(Cli({"encode", "--folder", empty.Str(), "CQ K1ABC FN42"}).code, 2);
}

// A decoder that fails is a failed decode (exit 1), not an empty band.
TEST_F(CliTest, FailingDecoderExitsWithOne) {
  const CliRun synth = Cli({"synth", "--folder", folder.Str(), "--mode", "1", "--seconds", "2",
                            "--tx", "1000:-60:CQ K1ABC FN42", Wav("quiet.wav")});
  ASSERT_EQ(synth.code, 0);
  const char* scripts[] = {
      "echo '1940 -15  0.1 1225 @  CQ K1ABC FN42'; kill -SEGV $$",  // crashes
      "echo 'bad input'; exit 2",                                   // fails
      "exec yes 'garbage garbage garbage garbage garbage'",         // never ends
  };
  for (const char* script : scripts) {
    folder.ReplaceTool("jt9_copy", script);
    const CliRun r = Cli({"decode", "--folder", folder.Str(), "--mode", "1", Wav("quiet.wav")});
    EXPECT_EQ(r.code, 1) << script << "\n" << r.err;
    EXPECT_NE(r.err.find("decoder"), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, SilenceDecodesToNothingWithExitZero) {
  const CliRun synth = Cli({"synth", "--folder", folder.Str(), "--mode", "1", "--seconds", "2",
                            "--tx", "1000:-60:CQ K1ABC FN42", Wav("quiet.wav")});
  ASSERT_EQ(synth.code, 0);
  const CliRun r = Cli({"decode", "--folder", folder.Str(), "--mode", "1", Wav("quiet.wav")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
}

}  // namespace
}  // namespace merivac::cli
