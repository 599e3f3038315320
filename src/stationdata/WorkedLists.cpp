// WorkedLists.cpp - the worked lists and their rebuilds.
#include "stationdata/WorkedLists.h"

#include "stationdata/CountryTable.h"
#include "stationdata/StateTable.h"

namespace merivac {

void WorkedLists::SetWorkedCalls(std::vector<std::string> calls) {
  calls_ = std::move(calls);
  distinctCalls_.clear();
  distinctCalls_.reserve(calls_.size());
  distinctCalls_.insert(calls_.begin(), calls_.end());
}

void WorkedLists::AddWorkedCall(const std::string& call) {
  calls_.push_back(call);
  distinctCalls_.insert(call);
}

void WorkedLists::AddWorkedEntity(const std::string& entity) {
  if (entitySet_.insert(entity).second) entities_.push_back(entity);
}

size_t WorkedLists::RebuildWorkedEntities(const CountryTable& countries) {
  entities_.clear();
  entitySet_.clear();
  for (const std::string& call : calls_) AddWorkedEntity(countries.LookupEntity(call));
  return entities_.size();
}

void WorkedLists::RebuildWorkedStates(const StateTable& states) {
  states_.fill(std::string());
  size_t filled = 0;
  for (const StateTable::Entry& e : states.Entries()) {
    if (filled == states_.size()) break;
    // Only lines longer than four characters name a worked call here.
    if (e.call.size() < 2 || !Worked(e.call)) continue;
    const std::string state(e.state.data(), 2);
    if (StateWorked(state)) continue;
    states_[filled++] = state;
  }
}

bool WorkedLists::StateWorked(std::string_view state) const {
  for (const std::string& slot : states_) {
    if (slot.empty()) return false;
    if (slot == state) return true;
  }
  return false;
}

void WorkedLists::AddWorkedState(const std::string& state) {
  if (state.empty()) return;
  for (std::string& slot : states_) {
    if (slot == state) return;
    if (slot.empty()) {
      slot = state;
      return;
    }
  }
}

}  // namespace merivac
