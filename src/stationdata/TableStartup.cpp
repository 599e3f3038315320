// TableStartup.cpp - the table steps of start-up with their fixed texts.
#include "stationdata/TableStartup.h"

#include "common/DebugLog.h"
#include "common/Settings.h"

namespace merivac {

namespace {

struct DownloadTexts {
  const char* announce;
  const char* done;
  const char* failedReport;
  const char* failedError;
};

void DownloadStep(const TableStartupInput& in, const DownloadTexts& t, const std::string& url,
                  const std::string& file, const TableCheck& check, StartupOutput& out) {
  out.Show(t.announce);
  if (DownloadFile(in.downloader, url, file, check, in.log)) {
    out.Report(t.done);
    out.Show("... OK");
  } else {
    out.Report(t.failedReport);
    out.Error(t.failedError);
    out.Show("... failed", true);
  }
}

void Note(DebugLog* log, const std::string& text) {
  if (log != nullptr) log->Write(text);
}

}  // namespace

std::string CountryFilePath(const std::string& folder) { return folder + "/tables/cty.dat"; }
std::string StateFilePath(const std::string& folder) { return folder + "/tables/was.dat"; }

bool CheckCountryFile(const std::string& path, std::string& why) {
  CountryTable table;
  if (!table.Load(path)) {
    why = "the file cannot be read";
    return false;
  }
  if (table.CompleteEntityCount() == 0) {
    why = "no entity in the country-file layout";
    return false;
  }
  return true;
}

bool CheckStateFile(const std::string& path, std::string& why) {
  StateTable table;
  table.Load(path);
  if (table.LayoutLineCount() == 0) {
    why = "no line in the state-file layout (state, separator, callsign)";
    return false;
  }
  return true;
}

void RunTableStartup(StationData& data, const TableStartupInput& in, StartupOutput& out) {
  const std::string ctyPath = CountryFilePath(in.folder);
  const std::string wasPath = StateFilePath(in.folder);
  if (in.settings.updateCty) {
    DownloadStep(in,
                 {"Download CTY.DAT ...", "CTY.DAT downloaded", "Failed to download CTY.DAT",
                  "Failed to download CTY.DAT file."},
                 in.countryUrl, ctyPath, CheckCountryFile, out);
  }
  if (in.settings.updateWas) {
    DownloadStep(in,
                 {"Download WAS.DAT ...", "WAS.DAT downloaded", "Failed to download WAS.DAT",
                  "Failed to download WAS.DAT file."},
                 in.settings.wasSourceUrl, wasPath, CheckStateFile, out);
  }

  out.Show("Read CTY.DAT ...");
  if (data.LoadCountryFile(ctyPath)) {
    const CountryTable& c = data.Countries();
    Note(in.log, "CTY.DAT: " + std::to_string(c.EntityCount()) + " entities, " +
                     std::to_string(c.PrefixCount()) + " prefixes, " +
                     std::to_string(c.ExactCallCount()) + " calls");
    out.Report("CTY.DAT loaded");
    out.Show("... OK");
    data.SetCountryFileLoaded(true);
  } else {
    Note(in.log, "CTY.DAT cannot be read: " + ctyPath);
    out.Report("Failed to load CTY.DAT");
    out.Error("Failed to read CTY.DAT file.");
    out.Show("... failed", true);
  }

  out.Show("Read WAS.DAT ...");
  if (data.LoadStateFile(wasPath) == 0) {
    Note(in.log, "WAS.DAT is missing, unreadable or empty: " + wasPath);
    out.Report("Failed to load WAS.DAT");
    out.Error("Failed to read WAS.DAT file.");
    out.Show("... failed", true);
  } else {
    out.Report("WAS.DAT loaded");
    out.Show("... OK");
  }

  if (data.CountryFileLoaded()) data.RebuildWorkedEntities();
}

}  // namespace merivac
