// PskReporter.h - spotting decoded stations to PSK Reporter through the
// spotting library.
//
// The program does not speak the network's protocol itself: it binds the
// library's six entry points, gives it the receiving station's record once
// and one seen-callsign record per decode that carries a callsign and a
// locator, and tickles it every ten seconds so that it can send.
//
// Records are key, NUL, value, NUL pairs closed by one more NUL, passed as
// UTF-16 (with the string's own NUL after the two closing NULs):
//   station: STATION_CALLSIGN, MY_GRIDSQUARE, PROGRAMID "Merivac",
//            PROGRAMVERSION
//   spot:    CALL, MODE ("JT9", "JT9-2", "JT9-5", "JT9-10"), FREQ (Hz),
//            SNR (dB), GRIDSQUARE
#pragma once

#include <cstdint>
#include <string>

#include "reporting/ReporterLibrary.h"
#include "reporting/pskreporter/PskReporterApi.h"

namespace merivac {

class Clock;
class DebugLog;
struct Settings;

constexpr const char* kProgramId = "Merivac";
// The information source the program reports: decoded automatically.
constexpr unsigned int kSourceAutomatic = 1;

// The mode name PSK Reporter gets for a decode's mode mark: "JT9-2", "JT9-5"
// or "JT9-10" for '2', '5' or 'X', "JT9" for any other mark.
std::string SpotModeName(const std::string& modeChar);

// The receiving station's record.
std::string StationRecord(const std::string& callsign, const std::string& locator,
                          const std::string& version);
// One seen-callsign record; heardAt (Unix seconds, 0 = now) adds a TIME
// pair for a recording that is reported later.
std::string SpotRecord(const std::string& callsign, const std::string& modeChar,
                       const std::string& frequency, const std::string& snr,
                       const std::string& locator, uint32_t heardAt = 0);

// A record (UTF-8, embedded NULs) as the UTF-16 text the library takes.
std::u16string ReporterText(const std::string& record);

// The six entry points.
struct ReporterApi {
  ReporterInitializeFn initialize = nullptr;
  ReporterSeenCallsignFn seenCallsign = nullptr;
  ReporterTickleFn tickle = nullptr;
  ReporterUninitializeFn uninitialize = nullptr;
  ReporterGetInformationFn getInformation = nullptr;
  ReporterGetStatisticsFn getStatistics = nullptr;
};

class PskReporter {
 public:
  PskReporter(ReporterLibrary& library, const Clock& clock, DebugLog* log = nullptr);

  // Loads the library unless it is bound and resolves all six entry points;
  // true only when all six are there. A library that lacks one is released
  // again, so that no call can reach a missing entry point.
  bool BindReporter();
  // BindReporter, then ReporterInitialize with two null pointers; true when
  // that returned 0. ReporterReady takes the result.
  bool StartReporter();
  // Builds the station record; with any value empty the record stays as it
  // was and ReporterReady is cleared.
  void SetReporterStation(const std::string& callsign, const std::string& locator,
                          const std::string& version);
  // The station record from the settings: the PSK Reporter ID when reporting
  // as SWL (at least 3 characters), else the station callsign when valid;
  // the station locator must be a valid grid. Otherwise the record keeps
  // what it had.
  void ChooseReportedStation(const Settings& settings, const std::string& version);
  // One seen-callsign record; true when the library took it, and then a
  // tickle follows. False without sending when a value or the station
  // record is empty.
  bool SpotDecode(const std::string& callsign, const std::string& modeChar,
                  const std::string& frequency, const std::string& snr, const std::string& locator,
                  uint32_t heardAt = 0);
  // ReporterTickle; on success LastTickle becomes now.
  bool TickleReporter();
  // At exit: ReporterUninitialize when ReporterReady (the library sends what
  // it still holds), then the library is released and both records cleared.
  void ShutdownReporter();

  // PskActive: the library is initialised; spots and tickles go out.
  bool PskActive() const { return pskActive_; }
  void SetPskActive(bool active) { pskActive_ = active; }
  bool ReporterReady() const { return reporterReady_; }
  bool Bound() const { return bound_; }
  const std::string& LocalInformation() const { return localInformation_; }
  double LastTickle() const { return lastTickle_; }

 private:
  void Log(const std::string& text);

  ReporterLibrary& library_;
  const Clock& clock_;
  DebugLog* log_;
  ReporterApi api_;
  bool bound_ = false;
  bool pskActive_ = false;
  bool reporterReady_ = false;
  std::string localInformation_;
  std::u16string localText_;  // localInformation_ as the library takes it
  double lastTickle_ = 0;
};

}  // namespace merivac
