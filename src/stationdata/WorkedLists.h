// WorkedLists.h - the callsigns, DXCC entities and US states the operator
// has already worked.
//
// WorkedCalls keeps every logged call in order, repeats included, and
// beside it a hash set of the distinct calls, so the new-call test costs
// one hash probe even with a 100 000-QSO logbook. WorkedEntities holds each
// entity once; WorkedStates is the 50 two-character slots the QSO rules
// fill, an empty slot ending the list. Without a loaded logbook nothing
// counts as new: the operator's history is unknown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "qso/QsoServices.h"

namespace merivac {

class CountryTable;
class StateTable;

class WorkedLists {
 public:
  // The logbook's accepted calls replace the worked calls.
  void SetWorkedCalls(std::vector<std::string> calls);
  // A logged contact: appended, also when the call is already there.
  void AddWorkedCall(const std::string& call);
  const std::vector<std::string>& WorkedCalls() const { return calls_; }
  bool Worked(const std::string& call) const { return distinctCalls_.count(call) != 0; }

  // Appended when not yet in the list.
  void AddWorkedEntity(const std::string& entity);
  const std::vector<std::string>& WorkedEntities() const { return entities_; }

  // LogbookLoaded: set at start-up when the logbook was read.
  void SetLogbookLoaded(bool loaded) { logbookLoaded_ = loaded; }
  bool LogbookLoaded() const { return logbookLoaded_; }

  // True only with a loaded logbook, when no worked call equals the call.
  bool IsNewCall(const std::string& call) const { return logbookLoaded_ && !Worked(call); }
  // The same for the worked entities.
  bool IsNewEntity(const std::string& entity) const {
    return logbookLoaded_ && entitySet_.count(entity) == 0;
  }

  // The entities of the worked calls, each once, in the order of the calls;
  // a call that matches nothing gives the empty entity, kept once like any
  // other. Returns the number of entities.
  size_t RebuildWorkedEntities(const CountryTable& countries);

  // Empties the 50 slots, then stores the state of every worked call listed
  // in the state file, each state once, in the file's order, at most 50.
  void RebuildWorkedStates(const StateTable& states);
  WorkedStateSlots& WorkedStates() { return states_; }
  const WorkedStateSlots& WorkedStates() const { return states_; }
  // Whether the state is among the filled slots (slot 1 up to the first
  // empty one).
  bool StateWorked(std::string_view state) const;
  // Stores a logged state in the first empty slot unless it is already
  // there; nothing when all 50 are filled or the state is empty.
  void AddWorkedState(const std::string& state);

 private:
  std::vector<std::string> calls_;
  std::unordered_set<std::string> distinctCalls_;
  std::vector<std::string> entities_;
  std::unordered_set<std::string> entitySet_;
  WorkedStateSlots states_{};
  bool logbookLoaded_ = false;
};

}  // namespace merivac
