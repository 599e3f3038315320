// CliCommands.h - the commands of merivac-cli, as functions.
//
//   merivac-cli decode --mode N [--mixer-lo HZ] [--multi] [--rx-low HZ --rx-high HZ]
//                      [--discard-rx-limits] [--folder DIR] [--utc YYMMDD_HHNN]
//                      [--spot CALL:GRID --dial HZ] FILE.wav
//   merivac-cli encode [--folder DIR] "MESSAGE"
//   merivac-cli synth --mode N --tx FREQ:SNR:MESSAGE [--tx ...] [--seconds S] [--seed K]
//                     [--mixer-lo HZ] [--folder DIR] OUT.wav
//
// decode takes a 48000 Hz mono 16-bit recording of the sound-card input that
// starts at the cycle's start, runs it through the program's capture chain
// (front end mixer, 4:1 presampling, the mode's resampler) into the cycle
// recording, decodes it with the decoder bridge and the real jt9 in
// DIR/wsjt, and prints the display line of every accepted decode. synth
// writes such a recording with the band simulator's signal generator.
// decode writes its pass recordings into a temporary folder of its own
// (removed at the end), so that decodes side by side and a running program
// never touch each other's files; it reads only the one cycle it needs of a
// recording.
// Exit codes: 0 done, 1 the work itself failed (the output file could not
// be written, the decoder could not start, crashed or printed nothing, the
// memory ran out), 2 bad arguments, unusable input file or missing tools,
// 128 + N when signal N stopped it (its decoder ended, its files removed).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "common/Jt9Msg.h"
#include "common/Recording.h"

namespace merivac::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct DecodeOptions {
  uint32_t mode = 0;
  bool mixer = false;
  int32_t mixerLo = 0;
  bool multi = false;
  std::optional<int> rxLow, rxHigh;
  bool discardRxLimits = false;
  std::string folder = ".";
  std::string utc;  // YYMMDD_HHNN of the cycle start; empty = the current cycle
  std::string file;
  // --spot CALL:GRID (empty: nothing is sent) and --dial HZ (CliSpot.h).
  std::string spotCall, spotGrid;
  uint32_t dialHz = 0;
};

struct SynthTx {
  double freq = 0;
  double snrDb = 0;
  std::string message;
};

struct SynthOptions {
  uint32_t mode = 0;
  std::vector<SynthTx> txs;
  double seconds = 0;  // 0 = one cycle
  uint64_t seed = 1;
  int32_t mixerLo = 0;  // 0 = no mixer: tones at their own frequency
  std::string folder = ".";
  std::string out;
};

// Argument parsing: false with a sentence in error on bad arguments.
bool ParseDecodeArgs(const std::vector<std::string>& args, DecodeOptions& o, std::string& error);
bool ParseSynthArgs(const std::vector<std::string>& args, SynthOptions& o, std::string& error);

// Runs one command line (without the program name); returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

int DecodeCommand(const DecodeOptions& o, std::ostream& out, std::ostream& err);
int EncodeCommand(const std::string& folder, const std::string& message, std::ostream& out,
                  std::ostream& err);
int SynthCommand(const SynthOptions& o, std::ostream& out, std::ostream& err);

// The cycle recording the program makes of sound-card input that starts at
// the cycle's start: every 50 ms tick makes the next 2400 input samples
// available and runs the receive stage, until decoding would start.
// Input shorter than that is followed by silence.
void RecordCycle(const std::vector<int16_t>& input48k, uint32_t mode, bool mixer, int32_t mixerLo,
                 CycleRecording& recording);

}  // namespace merivac::cli
