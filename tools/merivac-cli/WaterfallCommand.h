// WaterfallCommand.h - merivac-cli waterfall: the spectrum window's picture
// of a whole recording.
//
//   merivac-cli waterfall --mode N [--mixer-lo HZ] [--fslo HZ --fshi HZ]
//                         [--gain G] [--offs O] [--utc YYMMDD_HHNN] IN.wav OUT.png
//
// IN.wav is a 48000 Hz mono 16-bit recording of the sound-card input. It
// runs through the program's capture chain (front end mixer, 4:1
// presampling) into the spectrum view in 50 ms ticks, as the idle stage
// feeds the open window, and OUT.png shows what the window would show
// after that much audio: scale, marker strip (the mode's limits shaded; a
// recording has no TX or RX frequency), the waterfall with one row per
// spectrum line, newest at the top, with a time mark at every cycle start
// (below the oldest line a few rows more for the mark of a recording that
// starts with a cycle), and the spectrum of the last line. The recording starts at --utc (the
// current cycle's start when not given), which dates the time marks.
// Exit codes as for the other commands: 0 done, 1 the picture could not be
// written, 2 bad arguments or an unusable recording.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace merivac::cli {

struct WaterfallOptions {
  uint32_t mode = 0;
  bool mixer = false;
  int32_t mixerLo = 0;
  int32_t low = 300;    // FSLO
  int32_t high = 1400;  // FSHI
  int gain = 20;        // GAIN
  int offs = 10;        // OFFS
  std::string utc;      // YYMMDD_HHNN of the recording's start; empty = the current cycle
  std::string in, out;
};

// At most this many waterfall rows (spectrum lines) in one picture.
constexpr long kMaxWaterfallRows = 32000;

bool ParseWaterfallArgs(const std::vector<std::string>& args, WaterfallOptions& o,
                        std::string& error);
int WaterfallCommand(const WaterfallOptions& o, std::ostream& out, std::ostream& err);
// "waterfall" with its arguments (without the command word): parses, runs,
// and prints the usage on bad arguments.
int WaterfallCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace merivac::cli
