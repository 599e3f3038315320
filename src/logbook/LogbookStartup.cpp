// LogbookStartup.cpp - reading the logbook at start-up.
#include "logbook/LogbookStartup.h"

#include "common/DebugLog.h"

namespace merivac {

bool RunLogbookStartup(const LogbookChoice& choice, const std::string& path, WorkedLists& worked,
                       DebugLog* log, StartupOutput& out) {
  if (!choice.loadConfirmed || path.empty()) return false;
  out.Show("Read logbook ...");
  LogbookRead read = ReadLogbook(path, choice.filter);
  if (log != nullptr) {
    log->Write(
        "Logbook " + path + " (band " + choice.filter.band + ", mode " + choice.filter.mode +
        "): " + (read.count < 0 ? std::string("not read") : std::to_string(read.count) + " QSOs") +
        (read.problem.empty() ? std::string() : "; " + read.problem));
  }
  if (read.count < 0) {
    out.Report("Failed to read the logbook");
    out.Error("Failed to read the logbook.");
    out.Show("... failed", true);
    return false;
  }
  const std::string n = std::to_string(read.count);
  out.Report("Logbook: " + n + " QSOs found");
  out.Show("... " + n + " QSOs found");
  worked.SetWorkedCalls(std::move(read.calls));
  worked.SetLogbookLoaded(true);
  return true;
}

}  // namespace merivac
