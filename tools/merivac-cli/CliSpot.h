// CliSpot.h - merivac-cli decode --spot CALL:GRID --dial HZ: the decodes of
// a recording reported to PSK Reporter after the fact.
//
// The spots go through the program's spotting library and rules: the same
// choice of spotted messages (three words, a valid callsign and grid), the
// radio frequency dial + audio frequency (+ the mixer's LO with --mixer-lo),
// the same records; the time of every spot is the recording's cycle start,
// from --utc or the file name (YYMMDD_HHNN.wav). The library is found as
// the program finds it (the --folder first, then the library search path)
// and sends everything before the command ends.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "CliCommands.h"
#include "common/Jt9Msg.h"

namespace merivac::cli {

// "CALL:GRID" of --spot: the reporting station's callsign (or SWL name, 3 to
// 16 characters) and its 4- or 6-character grid.
bool ParseSpotArgument(const std::string& value, std::string& call, std::string& grid,
                       std::string& error);
// --dial: the dial frequency in Hz, from 1 up.
bool ParseDialArgument(const std::string& value, uint32_t& dialHz, std::string& error);
// What is missing for --spot (a sentence), or empty: --dial, and a cycle
// start from --utc or the file name.
std::string SpotArgumentsError(const DecodeOptions& o);

// The cycle start of a recording as a UTC day count: --utc when given, else
// a file name of the form YYMMDD_HHNN.wav; nothing when neither gives one.
std::optional<double> RecordingCycleStart(const std::string& utc, const std::string& file);

// Spots the decodes and waits until the library has sent them. Writes one
// line per spot to out. Exit code: 0, or 1 when the library cannot be used.
int SpotRecording(const DecodeOptions& o, const tJT9_Msg_Array& decodes, std::ostream& out,
                  std::ostream& err);

}  // namespace merivac::cli
