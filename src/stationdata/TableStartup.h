// TableStartup.h - the start-up steps of the country and state tables:
// the optional downloads of CTY.DAT and WAS.DAT, reading both files from the
// program folder's tables/, and the worked entities from the worked calls.
//
// Each step shows its announcement and outcome in the Band Activity window,
// adds its outcome to the start-up report and each failure to the start-up
// error text. No step stops the start: the reads take whatever local file
// exists, whether or not a download succeeded.
#pragma once

#include <string>

#include "stationdata/Download.h"
#include "stationdata/StartupOutput.h"
#include "stationdata/StationData.h"

namespace merivac {

class DebugLog;
struct Settings;

// Where CTY.DAT comes from: the public site of the amateur-radio country
// files. WAS.DAT has no public source; its address is a setting (WURL).
constexpr const char* kCountryFileUrl = "http://www.country-files.com/cty/cty.dat";

// The two table files below the program folder.
std::string CountryFilePath(const std::string& folder);
std::string StateFilePath(const std::string& folder);

// The checks a downloaded file must pass before it replaces a table: a
// country file with at least one complete entity, a state file with at
// least one line in the file's layout.
bool CheckCountryFile(const std::string& path, std::string& why);
bool CheckStateFile(const std::string& path, std::string& why);

struct TableStartupInput {
  const Settings& settings;       // UCTY, UWAS and the WAS.DAT source
  const std::string& folder;      // the program folder
  const std::string& countryUrl;  // the CTY.DAT source
  Downloader& downloader;
  DebugLog* log;
};

// Runs the steps in order: download CTY.DAT (with UCTY), download WAS.DAT
// (with UWAS), read CTY.DAT (sets CountryFileLoaded), read WAS.DAT (with the
// worked states), and, when CTY.DAT was read, the worked entities.
void RunTableStartup(StationData& data, const TableStartupInput& in, StartupOutput& out);

}  // namespace merivac
