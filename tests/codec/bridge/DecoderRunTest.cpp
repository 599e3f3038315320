// DecoderRunTest.cpp - running jt9 on a recording, and whole decodings of a
// cycle: passes, repeats, routing, failures and the stop request.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <memory>

#include "codec/CycleWav.h"
#include "codec/DecoderBridge.h"
#include "codec/ProcessRunner.h"
#include "codec/bridge/Jt9Fixture.h"
#include "common/DateTime.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/DecodeWindows.h"

namespace merivac {
namespace {

using testing::ProgramFolder;

// A child whose output is scripted; reads that find nothing advance the
// manual clock by the time they would have waited.
class FakeChild : public ChildProcess {
 public:
  FakeChild(std::deque<std::string> chunks, ManualClock* clock, int* terminated)
      : chunks_(std::move(chunks)), clock_(clock), terminated_(terminated) {}
  int Read(char* buf, int max, int timeoutMs) override {
    if (chunks_.empty()) {
      if (clock_ != nullptr) clock_->AdvanceSeconds(timeoutMs / 1000.0);
      return 0;
    }
    std::string c = chunks_.front();
    chunks_.pop_front();
    const int n = std::min<int>(max, static_cast<int>(c.size()));
    std::copy(c.begin(), c.begin() + n, buf);
    return n;
  }
  void Terminate() override { *terminated_ += 1; }
  int ExitStatus() const override { return 0; }

 private:
  std::deque<std::string> chunks_;
  ManualClock* clock_;
  int* terminated_;
};

class FakeRunner : public ProcessRunner {
 public:
  std::unique_ptr<ChildProcess> Start(const std::string& exe, const std::vector<std::string>& args,
                                      const std::string&, std::string* error) override {
    starts.push_back(args);
    (void)exe;
    if (!canStart) {
      *error = "not there";
      return nullptr;
    }
    std::deque<std::string> out;
    if (!outputs.empty()) {
      out.push_back(outputs.front());
      outputs.pop_front();
    }
    return std::make_unique<FakeChild>(out, clock, &terminated);
  }
  std::deque<std::string> outputs;  // one per run; missing = prints nothing
  std::vector<std::vector<std::string>> starts;
  ManualClock* clock = nullptr;
  bool canStart = true;
  int terminated = 0;
};

// Clicks a decode window on the n-th call of ProcessEvents.
class ClickingUi : public NullUiServices {
 public:
  void ProcessEvents() override {
    if (++calls == clickOnCall && windows != nullptr) windows->BandMemoClick();
  }
  int calls = 0;
  int clickOnCall = -1;
  DecodeWindows* windows = nullptr;
};

class CountingSinks : public DecodeSinks {
 public:
  std::string CheckAlerts(const std::string& msg) override {
    return msg.find(alertOn) != std::string::npos && !alertOn.empty() ? "xoooooo" : "ooooooo";
  }
  void SwitchAlertLineOn() override { alertLineOns += 1; }
  bool UdpActive() const override { return true; }
  void BroadcastDecode(const std::string&, const std::string& hhnn, const std::string& snr,
                       const std::string& msg, const std::string& mode,
                       const std::string& rf) override {
    udp.push_back(hhnn + "|" + snr + "|" + msg + "|" + mode + "|" + rf);
  }
  bool PskActive() const override { return true; }
  void SpotDecode(const std::string& call, const std::string& mode, const std::string& rf,
                  const std::string& grid, const std::string& snr) override {
    spots.push_back(call + "|" + mode + "|" + rf + "|" + grid + "|" + snr);
  }
  std::string alertOn;
  int alertLineOns = 0;
  std::vector<std::string> udp, spots;
};

std::string Line(const char* freq, const char* msg, const char* snr = "-15") {
  return std::string("1940 ") + snr + "  0.1 " + freq + " @  " + msg + "\n";
}

class DecodeCycleTest : public ::testing::Test {
 protected:
  DecodeCycleTest()
      : log(clock, logOn),
        windows(settings, clock, ui),
        bridge(DecoderBridge::Deps{settings, clock, log, controls, ui, *rec, windows, runner, sinks,
                                   [this] { return limits; }, folder.Str(), nullptr, &capturing}) {
    ui.windows = &windows;
    runner.clock = &clock;
    // 51 s into the JT9-1 cycle that started at 19:40 UTC (local = UTC).
    clock.Set(EncodeDateTime(2026, 12, 9, 19, 40, 51));
    log.Open((folder.Path() / "extra" / "debug.txt").string());
  }
  std::string DebugText() { return testing::ReadFile(folder.Path() / "extra" / "debug.txt"); }

  ProgramFolder folder;
  Settings settings;
  ManualClock clock;
  bool logOn = true;
  DebugLog log;
  MainControls controls;
  ClickingUi ui;
  std::unique_ptr<CycleRecording> rec = std::make_unique<CycleRecording>();
  DecodeWindows windows;
  FakeRunner runner;
  CountingSinks sinks;
  RxFreqLimits limits{200, 1400};
  bool capturing = true;
  DecoderBridge bridge;
};

TEST_F(DecodeCycleTest, OnePassArgumentsDispatchAndCleanUp) {
  settings.rxFreq = 1004;
  settings.dialFreq = 136000;
  settings.call = "N0CALL";
  runner.outputs = {Line("1000", "CQ K1ABC FN42") + Line(" 700", "N0CALL K1ABC -12") +
                    "<DecodeFinished>   0   2        0\n"};
  rec->samples[5] = 77;
  const auto result = bridge.DecodeCycle();

  ASSERT_EQ(runner.starts.size(), 1u);
  // The decoder works in the wsjt folder and finds the recording from there.
  EXPECT_EQ(runner.starts[0], DecoderArguments({1400, 200}, "../save/261209_1940.wav"));
  EXPECT_EQ(bridge.WavFileName(), "261209_1940.wav");
  EXPECT_EQ(result.passesRun, 1);
  EXPECT_EQ(result.lastPassDecodes, 2u);
  // Sorted by frequency; the own call makes the second light red.
  ASSERT_EQ(windows.BandMemo().LineCount(), 2u);
  EXPECT_EQ(windows.BandMemo().Line(0).text, "1940 -15  0.0  700 1  N0CALL K1ABC -12");
  EXPECT_EQ(windows.BandMemo().Line(0).background, decodecolors::kOwnCall);
  EXPECT_EQ(windows.BandMemo().Line(1).background, decodecolors::kCq);
  // Only the decode within 8 Hz reaches the RX Frequency window.
  ASSERT_EQ(windows.RxMemo().LineCount(), 1u);
  EXPECT_EQ(windows.RxMemo().Line(0).text, "1940 -15  0.0 1000 1  CQ K1ABC FN42");
  // UDP with the cycle start and the radio frequency; a spot for the grid message.
  ASSERT_EQ(sinks.udp.size(), 2u);
  EXPECT_EQ(sinks.udp[1], "1940|-15|CQ K1ABC FN42|1|137000");
  EXPECT_EQ(sinks.spots, std::vector<std::string>{"K1ABC|1|137000|FN42|-15"});
  // The pass file is gone, the recording zeroed, the capture over.
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "save" / "261209_1940.wav"));
  EXPECT_EQ(rec->samples[5], 0);
  EXPECT_FALSE(capturing);
  EXPECT_EQ(controls.Get(Ctl::CycleTextLabel).fontColor, colors::kBlack);
  EXPECT_FALSE(controls.Get(Ctl::CycleTextLabel).bold);
}

TEST_F(DecodeCycleTest, RepeatsWithinOnePassAndAcrossPassesAreDropped) {
  settings.multiDecode = true;
  settings.saveWav = true;
  runner.outputs = {Line("1005", "CQ K1ABC FN42") + Line("1000", "CQ K1ABC FN42"),
                    Line("1009", "CQ K1ABC FN42") + Line("1010", "CQ K1ABC FN42")};
  for (int i = 2; i <= 10; ++i) runner.outputs.push_back(Line("1000", "CQ K1ABC FN42"));
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(result.passesRun, 11);
  ASSERT_EQ(result.decodes.size(), 2u);
  EXPECT_EQ(result.decodes[0].AudioFreq, 1000);  // the lower one after sorting
  EXPECT_EQ(result.decodes[0].PassShift, 0.0);
  EXPECT_EQ(result.decodes[1].AudioFreq, 1010);  // 10 Hz away: shown again
  EXPECT_EQ(result.decodes[1].PassShift, -0.8);
  EXPECT_EQ(windows.BandMemo().Line(1).text.substr(9, 4), "-0.8");
  // Saved: the file of the last pass stays.
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "save" / "261209_1940.wav"));
}

TEST_F(DecodeCycleTest, SilentDecoderFailsAtTheDeadlineAndNoFurtherPassRuns) {
  settings.multiDecode = true;
  const auto result = bridge.DecodeCycle();  // the fake prints nothing
  EXPECT_EQ(result.passesRun, 1);
  EXPECT_GE(clock.Now(), DecodeDeadline(EncodeDateTime(2026, 12, 9, 19, 40, 51)));
  ASSERT_EQ(windows.BandMemo().LineCount(), 1u);
  EXPECT_EQ(windows.BandMemo().Line(0).text, "1941                  Failed to decode");
  EXPECT_FALSE(windows.BandMemo().Line(0).background.has_value());
  EXPECT_EQ(runner.terminated, 1);
}

TEST_F(DecodeCycleTest, OnlyShortOrAngleLinesGiveNoRecordAndNoFailure) {
  runner.outputs = {"0000 -19  0.0 1000 @  CQ K1ABC F\n<DecodeFinished>\n"};
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(result.accepted, 0u);
  EXPECT_EQ(windows.BandMemo().LineCount(), 0u);
}

TEST_F(DecodeCycleTest, DecoderThatCannotStartCountsAsFailureOnce) {
  settings.multiDecode = true;
  runner.canStart = false;
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(result.passesRun, 1);
  ASSERT_EQ(windows.BandMemo().LineCount(), 1u);
  EXPECT_NE(windows.BandMemo().Line(0).text.find("Failed to decode"), std::string::npos);
  EXPECT_NE(DebugText().find("Decoder could not be started: not there [RX]"), std::string::npos);
  EXPECT_FALSE(capturing);
}

TEST_F(DecodeCycleTest, UnwritableWavSkipsThePass) {
  std::filesystem::remove_all(folder.Path() / "save");
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(result.passesRun, 1);
  EXPECT_TRUE(runner.starts.empty());
  EXPECT_NE(DebugText().find("Decoding pass 0 skipped [RX]"), std::string::npos);
}

TEST_F(DecodeCycleTest, ClickDuringAPassPreventsTheNextOne) {
  settings.multiDecode = true;
  ui.clickOnCall = 2;  // call 1 paints "decoding"; call 2 ends pass 0
  for (int i = 0; i <= 10; ++i) runner.outputs.push_back(Line("1000", "CQ K1ABC FN42"));
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(result.passesRun, 1);
  EXPECT_EQ(runner.starts.size(), 1u);
}

TEST_F(DecodeCycleTest, AlertHighlightsAndRaisesTheLineOnce) {
  settings.alertLine = 1;
  sinks.alertOn = "K1ABC";
  runner.outputs = {Line("1000", "CQ K1ABC FN42") + Line("1100", "K1ABC W1XYZ -10")};
  bridge.DecodeCycle();
  EXPECT_EQ(sinks.alertLineOns, 1);
  EXPECT_EQ(controls.Get(Ctl::TimeLabel).color, FromBgr(0x0000FF));
  EXPECT_EQ(windows.BandMemo().Line(0).background, decodecolors::kAlert);
  EXPECT_EQ(windows.BandMemo().Line(1).background, decodecolors::kAlert);
}

TEST_F(DecodeCycleTest, SlowModeCorrectionAndRoutingInJt910) {
  settings.mode = 10;
  settings.rxFreq = 200;
  clock.Set(EncodeDateTime(2026, 12, 9, 23, 59, 50));
  limits = {200, 415};
  runner.outputs = {Line("2400", "CQ K1ABC FN42") + Line("2412", "CQ W1XYZ FN31")};
  const auto result = bridge.DecodeCycle();
  EXPECT_EQ(runner.starts[0], DecoderArguments({4980, 2400}, "../save/261209_2350.wav"));
  ASSERT_EQ(result.decodes.size(), 2u);
  EXPECT_EQ(result.decodes[0].Snr, -25);
  EXPECT_EQ(windows.BandMemo().Line(0).text, "1940 -25  0.0  200 X  CQ K1ABC FN42");
  EXPECT_EQ(windows.RxMemo().LineCount(), 1u);  // 201 Hz is not exactly the RX frequency
}

// The real decoder on an ideal JT9-1 signal.
TEST(RunDecoderReal, DecodesASynthesisedRecording) {
  ProgramFolder folder;
  PosixProcessRunner runner;
  const auto symbols = RunEncoder(runner, folder.Str(), "CQ K1ABC FN42");
  ASSERT_TRUE(symbols.has_value());
  auto rec = std::make_unique<CycleRecording>();
  testing::AddJt9Signal(*rec, *symbols, 1000.0, -15.0, 300.0);
  testing::AddNoise(*rec, 300.0, 7);
  ASSERT_TRUE(WriteCycleWav(*rec, folder.Str() + "/save", "261209_1940.wav", 0.0));
  SystemClock clock;
  const bool stop = false;
  const auto lines = RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/261209_1940.wav",
                                {1400, 200}, clock.Now() + 60.0 / 86400.0, stop);
  const auto decodes = ParseDecodes(lines, 1);
  ASSERT_EQ(decodes.size(), 1u) << (lines.empty() ? "" : lines[0]);
  EXPECT_EQ(decodes[0].MsgText.substr(0, 13), "CQ K1ABC FN42");
  EXPECT_NEAR(decodes[0].AudioFreq, 1000, 2);
}

TEST(RunDecoderReal, SilentProcessGivesErrorAtTheDeadlineAndIsReaped) {
  ProgramFolder folder;
  // Prints nothing and would run for a long time.
  folder.ReplaceTool("jt9_copy", "echo $$ > pid.txt; exec sleep 30");
  PosixProcessRunner runner;
  SystemClock clock;
  const bool stop = false;
  const auto lines = RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/x.wav",
                                {1400, 200}, clock.Now() + 0.3 / 86400.0, stop);
  EXPECT_EQ(lines, tDecode_Array{"error"});
  // The decoder works in the wsjt folder.
  const int pid = std::stoi(testing::ReadFile(folder.Path() / "wsjt" / "pid.txt"));
  EXPECT_NE(::kill(pid, 0), 0);  // gone, and reaped: no zombie left either
}

// A decoder that prints without end (well-formed lines or garbage) is ended
// at the output caps; what it printed before stays bounded.
TEST(RunDecoderReal, EndlessOutputIsCutAtTheCaps) {
  const char* scripts[] = {"exec yes '1940 -15  0.1 1225 @  CQ K1ABC FN42'",
                           "exec cat /dev/urandom"};
  for (const char* script : scripts) {
    ProgramFolder folder;
    folder.ReplaceTool("jt9_copy", script);
    PosixProcessRunner runner;
    SystemClock clock;
    ManualClock logClock;
    bool enabled = true;
    DebugLog log(logClock, enabled);
    ASSERT_TRUE(log.Open((folder.Path() / "extra" / "debug.txt").string()));
    const bool stop = false;
    DecoderRun run;
    const auto lines = RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/x.wav",
                                  {1400, 200}, clock.Now() + 60.0 / 86400.0, stop, &log, &run);
    log.Close();
    EXPECT_TRUE(run.tooMuchOutput) << script;
    EXPECT_FALSE(run.Crashed()) << script;
    EXPECT_LE(lines.size(), kMaxDecoderOutputLines + 1) << script;
    EXPECT_LE(ParseDecodes(lines, 1).size(), kMaxDecoderOutputLines) << script;
    EXPECT_NE(testing::ReadFile(folder.Path() / "extra" / "debug.txt").find("output too large"),
              std::string::npos);
  }
}

// Whatever the decoder leaves running in its process group is ended with
// it, also when the decoder itself has already exited.
TEST(RunDecoderReal, ChildrenLeftBehindAreEnded) {
  ProgramFolder folder;
  folder.ReplaceTool("jt9_copy",
                     "sleep 30 & echo $! > child.txt; echo '1940 -15  0.1 1225 @  CQ K1ABC FN42'");
  PosixProcessRunner runner;
  SystemClock clock;
  const bool stop = false;
  DecoderRun run;
  const auto lines = RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/x.wav",
                                {1400, 200}, clock.Now() + 60.0 / 86400.0, stop, nullptr, &run);
  EXPECT_EQ(ParseDecodes(lines, 1).size(), 1u);
  EXPECT_EQ(run.exitStatus, 0);
  const int child = std::stoi(testing::ReadFile(folder.Path() / "wsjt" / "child.txt"));
  // The orphan is reaped by whoever adopts it; gone or a zombie is enough.
  bool gone = false;
  for (int i = 0; i < 200 && !gone; ++i) {
    const std::string stat = testing::ReadFile("/proc/" + std::to_string(child) + "/stat");
    const size_t paren = stat.rfind(')');
    gone = paren == std::string::npos || stat[paren + 2] == 'Z';
    if (!gone) ::usleep(5000);
  }
  EXPECT_TRUE(gone) << "the decoder's child still runs";
}

// A decoder that crashes is told apart from one that ended normally.
TEST(RunDecoderReal, CrashIsReported) {
  ProgramFolder folder;
  folder.ReplaceTool("jt9_copy", "echo '1940 -15  0.1 1225 @  CQ K1ABC FN42'; kill -SEGV $$");
  PosixProcessRunner runner;
  SystemClock clock;
  const bool stop = false;
  DecoderRun run;
  RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/x.wav", {1400, 200},
             clock.Now() + 60.0 / 86400.0, stop, nullptr, &run);
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.Crashed());
}

TEST(RunDecoderReal, StopRequestEndsTheReading) {
  ProgramFolder folder;
  folder.ReplaceTool("jt9_copy", "exec sleep 30");
  PosixProcessRunner runner;
  SystemClock clock;
  const bool stop = true;
  const auto lines = RunDecoder(runner, clock, folder.Str(), folder.Str() + "/save/x.wav",
                                {1400, 200}, clock.Now() + 60.0 / 86400.0, stop);
  EXPECT_EQ(lines, tDecode_Array{"error"});
}

}  // namespace
}  // namespace merivac
