// CliSpot.cpp - spotting a decoded recording to PSK Reporter.
#include "CliSpot.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "codec/DecoderBridge.h"
#include "common/Clock.h"
#include "common/DateTime.h"
#include "qso/CallRules.h"
#include "reporting/PskReporter.h"
#include "reporting/ReporterLibrary.h"
#include "shell/Version.h"

namespace merivac::cli {

namespace {

// 1970-01-01 as a day count since 1899-12-30.
constexpr double kUnixEpochDays = 25569.0;

// "YYMMDD_HHNN" as a day count, only when it names a real minute.
std::optional<double> ParseCycleName(const std::string& text) {
  if (text.size() != 11 || text[6] != '_') return std::nullopt;
  int v[5];
  const size_t at[5] = {0, 2, 4, 7, 9};
  for (int k = 0; k < 5; ++k) {
    const char* b = text.data() + at[k];
    const auto [p, ec] = std::from_chars(b, b + 2, v[k]);
    if (ec != std::errc() || p != b + 2) return std::nullopt;
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59) {
    return std::nullopt;
  }
  const double t = EncodeDateTime(2000 + v[0], v[1], v[2], v[3], v[4]);
  if (FormatDateTime("yymmdd_hhnn", t) != text) return std::nullopt;  // e.g. 31 February
  return t;
}

}  // namespace

bool ParseSpotArgument(const std::string& value, std::string& call, std::string& grid,
                       std::string& error) {
  const size_t colon = value.find(':');
  if (colon != std::string::npos) {
    call = value.substr(0, colon);
    grid = value.substr(colon + 1);
  }
  if (colon == std::string::npos || call.size() < 3 || call.size() > 16 || !IsValidGrid(grid)) {
    error =
        "--spot must be CALL:GRID (a callsign or SWL name of 3 to 16 characters and a 4- or "
        "6-character grid such as JO62 or JO62QM), not \"" +
        value + "\"";
    return false;
  }
  return true;
}

bool ParseDialArgument(const std::string& value, uint32_t& dialHz, std::string& error) {
  const char* end = value.data() + value.size();
  const auto [p, ec] = std::from_chars(value.data(), end, dialHz);
  if (value.empty() || ec != std::errc() || p != end || dialHz == 0) {
    error = "--dial must be the dial frequency in whole Hz, not \"" + value + "\"";
    return false;
  }
  return true;
}

std::string SpotArgumentsError(const DecodeOptions& o) {
  if (o.spotCall.empty()) return {};
  if (o.dialHz == 0) return "--spot needs --dial HZ (the dial frequency of the recording)";
  if (!RecordingCycleStart(o.utc, o.file)) {
    return "--spot needs the recording's cycle start: give --utc YYMMDD_HHNN or name the file "
           "YYMMDD_HHNN.wav";
  }
  return {};
}

std::optional<double> RecordingCycleStart(const std::string& utc, const std::string& file) {
  if (!utc.empty()) return ParseCycleName(utc);
  const std::filesystem::path name = std::filesystem::path(file).filename();
  if (name.extension() != ".wav") return std::nullopt;
  return ParseCycleName(name.stem().string());
}

int SpotRecording(const DecodeOptions& o, const tJT9_Msg_Array& decodes, std::ostream& out,
                  std::ostream& err) {
  const std::optional<double> start = RecordingCycleStart(o.utc, o.file);
  if (!start) {
    err << "merivac-cli: " << SpotArgumentsError(o) << "\n";
    return kExitUsage;
  }
  const auto heardAt =
      static_cast<uint32_t>(std::llround((*start - kUnixEpochDays) * kSecondsPerDay));

  SystemClock clock;
  SharedReporterLibrary library(kReporterLibraryName, o.folder);
  PskReporter psk(library, clock);
  if (!psk.StartReporter()) {
    err << "merivac-cli: PSK Reporter initialisation failed";
    if (!library.Error().empty()) err << " (" << library.Error() << ")";
    err << "\n";
    psk.ShutdownReporter();
    return kExitFailed;
  }
  psk.SetPskActive(true);
  psk.SetReporterStation(o.spotCall, o.spotGrid, kVersionText);

  int spots = 0;
  for (const tJT9_Msg& d : decodes) {
    const std::optional<SpottedStation> sender = SpottedSender(d.MsgText);
    if (!sender) continue;
    const int64_t rf = static_cast<int64_t>(d.AudioFreq) + o.dialHz + (o.mixer ? o.mixerLo : 0);
    const std::string snr = std::to_string(static_cast<int>(d.Snr));
    if (psk.SpotDecode(sender->call, std::string(1, d.ModeChar), std::to_string(rf), snr,
                       sender->grid, heardAt)) {
      out << "spotted " << sender->call << " " << sender->grid << " " << rf << " Hz " << snr
          << " dB " << SpotModeName(std::string(1, d.ModeChar)) << "\n";
      ++spots;
    }
  }
  // Uninitialising sends everything the library still holds.
  psk.ShutdownReporter();
  out << spots << (spots == 1 ? " spot" : " spots") << " sent to PSK Reporter as " << o.spotCall
      << "\n";
  return kExitOk;
}

}  // namespace merivac::cli
