// StationData.cpp - loading the state file and the alert check on the
// station's own tables and lists.
#include "stationdata/StationData.h"

namespace merivac {

size_t StationData::LoadStateFile(const std::string& path) {
  const size_t lines = states_.Load(path);
  worked_.RebuildWorkedStates(states_);
  return lines;
}

std::string StationData::CheckAlerts(std::string_view msg) const {
  return merivac::CheckAlerts(msg,
                              AlertContext{settings_, alertLists_, countries_, states_, worked_});
}

}  // namespace merivac
