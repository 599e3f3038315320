// QsoServices.h - what the QSO rules need from outside the QSO subsystem.
//
// The rules of the QSO panel, the frequency fields and the DX selection
// change the main window only through MainControls; everything else they
// touch belongs to other parts of the program: the cycle engine's flags and
// watchdog, the spectrum window's markers, the main window's keyboard focus,
// and the station data (entities, states, worked lists). Each sits behind a
// small interface here, with a simple implementation that the tests use and
// that the program uses until the real owner exists.
#pragma once

#include <array>
#include <string>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"

namespace merivac {

// The cycle engine's side of a contact.
class CycleControl {
 public:
  virtual ~CycleControl() = default;
  virtual bool TxEnabled() const = 0;
  // Enables TX with the same outward change as the Enable TX button, but
  // leaves the Settings menu enabled (TX enabled by a DX selection).
  virtual void EnableTxAutomatically() = 0;
  // Transmit in the first (true) or second cycle of each pair.
  virtual bool TxFirst() const = 0;
  virtual void SetTxFirst(bool txFirst) = 0;
  virtual bool Transmitting() const = 0;
  // A mode change ends whatever the current cycle does: clears Capturing,
  // Transmitting and Tuning.
  virtual void ClearCycleFlags() = 0;
  // Restarts the TX watchdog period.
  virtual void ResetWatchdog() = 0;
};

// Plain flags: for tests, and for a program without a cycle engine.
class SimpleCycleControl : public CycleControl {
 public:
  bool TxEnabled() const override { return txEnabled; }
  void EnableTxAutomatically() override {
    txEnabled = true;
    automaticEnables += 1;
  }
  bool TxFirst() const override { return txFirst; }
  void SetTxFirst(bool value) override { txFirst = value; }
  bool Transmitting() const override { return transmitting; }
  void ClearCycleFlags() override {
    capturing = transmitting = tuning = false;
    flagClears += 1;
  }
  void ResetWatchdog() override { watchdogResets += 1; }

  bool txEnabled = false;
  bool txFirst = false;
  bool capturing = false;
  bool transmitting = false;
  bool tuning = false;
  int automaticEnables = 0;
  int flagClears = 0;
  int watchdogResets = 0;
};

// The spectrum window's frequency markers; redrawn after every change of
// the TX or RX frequency.
class MarkerDrawer {
 public:
  virtual ~MarkerDrawer() = default;
  virtual void DrawMarkers() = 0;
};

// Until the spectrum window exists there is nothing to draw.
class NullMarkerDrawer : public MarkerDrawer {
 public:
  void DrawMarkers() override { draws += 1; }
  int draws = 0;
};

// The main window's keyboard focus. Finishing an edit moves the focus to the
// hidden DefocusEdit. The rules have already run the field's leave handler
// when they call this, so the window must not forward the focus-out it
// causes (the leave handlers ignore a field that is not focused anyway).
class EditFocus {
 public:
  virtual ~EditFocus() = default;
  virtual void MoveFocusToDefocusEdit() = 0;
};

class NullEditFocus : public EditFocus {
 public:
  void MoveFocusToDefocusEdit() override { moves += 1; }
  int moves = 0;
};

// The 50 two-character slots of the worked US states; an empty slot ends the list.
using WorkedStateSlots = std::array<std::string, 50>;

// Country and state tables and the worked lists.
class StationLookup {
 public:
  virtual ~StationLookup() = default;
  // The entity (primary prefix) of a callsign, empty when unknown.
  virtual std::string LookupEntity(const std::string& call) = 0;
  // The two-character US state of a callsign, empty when unknown.
  virtual std::string LookupState(const std::string& call) = 0;
  virtual bool IsNewCall(const std::string& call) = 0;
  virtual bool IsNewEntity(const std::string& entity) = 0;
  virtual void AddWorkedCall(const std::string& call) = 0;
  virtual void AddWorkedEntity(const std::string& entity) = 0;
  virtual WorkedStateSlots& WorkedStates() = 0;
};

// Knows nothing: no entity, no state, nothing new (as with no logbook loaded).
class NullStationLookup : public StationLookup {
 public:
  std::string LookupEntity(const std::string&) override { return {}; }
  std::string LookupState(const std::string&) override { return {}; }
  bool IsNewCall(const std::string&) override { return false; }
  bool IsNewEntity(const std::string&) override { return false; }
  void AddWorkedCall(const std::string&) override {}
  void AddWorkedEntity(const std::string&) override {}
  WorkedStateSlots& WorkedStates() override { return states_; }

 private:
  WorkedStateSlots states_{};
};

// Everything the QSO rules work on, wired once by the program.
struct QsoContext {
  Settings& settings;
  MainControls& controls;
  const Clock& clock;
  DebugLog& log;
  UiServices& ui;
  CycleControl& cycle;
  MarkerDrawer& markers;
  EditFocus& focus;
  StationLookup& stations;
};

}  // namespace merivac
