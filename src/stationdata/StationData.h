// StationData.h - the station's country and state tables, worked lists and
// alert lists in one place: what the QSO rules ask about a callsign, what
// the alert check of every decode needs, and what start-up fills.
#pragma once

#include <string>
#include <string_view>

#include "common/Settings.h"
#include "qso/QsoServices.h"
#include "stationdata/Alerts.h"
#include "stationdata/CountryTable.h"
#include "stationdata/StateTable.h"
#include "stationdata/WorkedLists.h"

namespace merivac {

class StationData final : public StationLookup {
 public:
  explicit StationData(const Settings& settings) : settings_(settings) {}

  // The QSO rules' questions and the Log button's updates.
  std::string LookupEntity(const std::string& call) override {
    return countries_.LookupEntity(call);
  }
  std::string LookupState(const std::string& call) override { return states_.LookupState(call); }
  bool IsNewCall(const std::string& call) override { return worked_.IsNewCall(call); }
  bool IsNewEntity(const std::string& entity) override { return worked_.IsNewEntity(entity); }
  void AddWorkedCall(const std::string& call) override { worked_.AddWorkedCall(call); }
  void AddWorkedEntity(const std::string& entity) override { worked_.AddWorkedEntity(entity); }
  WorkedStateSlots& WorkedStates() override { return worked_.WorkedStates(); }

  // LoadCountryFile: false when the file is missing (the table stays as it was).
  bool LoadCountryFile(const std::string& path) { return countries_.Load(path); }
  // LoadStateFile: the number of lines read, 0 for a missing or empty file;
  // the worked states are rebuilt from the table and the worked calls.
  size_t LoadStateFile(const std::string& path);
  // The worked entities from the worked calls; their number.
  size_t RebuildWorkedEntities() { return worked_.RebuildWorkedEntities(countries_); }
  // Both alert lists from the include and exclude texts of the settings.
  void LoadAlertLists() { alertLists_ = merivac::LoadAlertLists(settings_); }
  // The seven alert flags of a decoded message text.
  std::string CheckAlerts(std::string_view msg) const;

  // CountryFileLoaded: CTY.DAT was read at start-up.
  bool CountryFileLoaded() const { return countryFileLoaded_; }
  void SetCountryFileLoaded(bool loaded) { countryFileLoaded_ = loaded; }

  CountryTable& Countries() { return countries_; }
  StateTable& States() { return states_; }
  WorkedLists& Worked() { return worked_; }
  const AlertLists& Lists() const { return alertLists_; }

 private:
  const Settings& settings_;
  CountryTable countries_;
  StateTable states_;
  WorkedLists worked_;
  AlertLists alertLists_;
  bool countryFileLoaded_ = false;
};

}  // namespace merivac
