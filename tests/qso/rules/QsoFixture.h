// QsoFixture.h - one station's QSO rules with fakes around them, and decode
// lines built in the columns of the decode windows.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/MainControls.h"
#include "common/Settings.h"
#include "common/UiServices.h"
#include "qso/QsoServices.h"
#include "qso/Sequencing.h"
#include "support/TempDir.h"

namespace merivac::testing {

class RecordingUi : public UiServices {
 public:
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override {
    dialogs.emplace_back(text, kind);
  }
  void ProcessEvents() override {}
  void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) override {
    hint = text;
    hintShown = true;
    hintX = x;
    hintY = y;
    hintSize = sizeText;
  }
  void HideHintText() override {
    hintShown = false;
    hint.clear();
  }

  std::vector<std::pair<std::string, NoticeKind>> dialogs;
  std::string hint;
  std::string hintSize;
  bool hintShown = false;
  int hintX = 0, hintY = 0;
};

// Station data with a few known calls: entity by prefix, state by call.
class FakeStations : public StationLookup {
 public:
  std::string LookupEntity(const std::string& call) override {
    auto it = entities.find(call);
    return it == entities.end() ? std::string{} : it->second;
  }
  std::string LookupState(const std::string& call) override {
    auto it = states.find(call);
    return it == states.end() ? std::string{} : it->second;
  }
  bool IsNewCall(const std::string& call) override {
    for (const auto& c : workedCalls) {
      if (c == call) return false;
    }
    return logbookLoaded;
  }
  bool IsNewEntity(const std::string& entity) override {
    for (const auto& e : workedEntities) {
      if (e == entity) return false;
    }
    return logbookLoaded;
  }
  void AddWorkedCall(const std::string& call) override { workedCalls.push_back(call); }
  void AddWorkedEntity(const std::string& entity) override { workedEntities.push_back(entity); }
  WorkedStateSlots& WorkedStates() override { return slots; }

  bool logbookLoaded = true;
  std::map<std::string, std::string> entities;
  std::map<std::string, std::string> states;
  std::vector<std::string> workedCalls;
  std::vector<std::string> workedEntities;
  WorkedStateSlots slots{};
};

// One station: settings, controls, clock, log and the QSO rules.
struct Station {
  explicit Station(const std::string& call = "K1ABC", const std::string& grid = "FN42") {
    settings.call = call;
    settings.grid = grid;
    log.Open((dir.Path() / "debug.txt").string());
    qso.StartUp();
  }
  std::string LogText() const { return ReadFile(dir.Path() / "debug.txt"); }
  const std::string& Text(Ctl c) const { return controls.Text(c); }
  std::string Generated() const { return controls.Text(Ctl::GenMsgEdit); }

  TempDir dir;
  Settings settings;
  MainControls controls;
  ManualClock clock{EncodeDateTime(2026, 3, 14, 12, 0, 0)};
  bool logOn = true;
  DebugLog log{clock, logOn};
  RecordingUi ui;
  SimpleCycleControl cycle;
  NullMarkerDrawer markers;
  NullEditFocus focus;
  FakeStations stations;
  QsoContext ctx{settings, controls, clock, log, ui, cycle, markers, focus, stations};
  QsoOperation qso{ctx};
};

// A decode window line: time 1-4, report 6-8, shift 10-13, frequency 15-18,
// mode character 20, message from 23.
inline std::string DecodeLine(const std::string& utc, int snr, int freq, char mode,
                              const std::string& message) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4s %3s %4s %4d %c  ", utc.c_str(),
                (snr > 0 ? "+" + std::to_string(snr) : std::to_string(snr)).c_str(), "0.0", freq,
                mode);
  return std::string(buf) + message;
}

}  // namespace merivac::testing
