// LogbookStartup.h - the start-up's logbook step: after the Logbook dialog
// has closed, the confirmed logbook is read and its accepted calls become
// the worked calls.
#pragma once

#include <string>

#include "logbook/LogDialogRules.h"
#include "stationdata/StartupOutput.h"
#include "stationdata/WorkedLists.h"

namespace merivac {

class DebugLog;

// Nothing is read after Cancel or with no logbook path; LogbookLoaded then
// stays false. Otherwise "Read logbook ..." and either "... n QSOs found"
// (the report "Logbook: n QSOs found", LogbookLoaded set) or "... failed"
// with "Failed to read the logbook". Returns whether the logbook was read.
bool RunLogbookStartup(const LogbookChoice& choice, const std::string& path, WorkedLists& worked,
                       DebugLog* log, StartupOutput& out);

}  // namespace merivac
