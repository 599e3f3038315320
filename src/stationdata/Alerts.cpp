// Alerts.cpp - the alert check and its call lists.
#include "stationdata/Alerts.h"

#include <vector>

#include "qso/CallRules.h"
#include "qso/Sequencing.h"
#include "stationdata/CountryTable.h"
#include "stationdata/StateTable.h"
#include "stationdata/WorkedLists.h"

namespace merivac {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Whether " " + entry + " " occurs in msg for an entry of the list (up to
// its first empty entry).
bool ListedCallIn(std::string_view msg, const tCallList& list) {
  std::string padded;
  for (const std::string& entry : list) {
    if (entry.empty()) return false;
    padded.assign(" ").append(entry).append(" ");
    if (Contains(msg, padded)) return true;
  }
  return false;
}

}  // namespace

tCallList ParseCallList(std::string_view text) {
  tCallList list{};
  size_t i = 0;
  while (i < list.size()) {
    const size_t comma = text.find(',');
    list[i++] = std::string(TrimBlanks(text.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return list;
}

AlertLists LoadAlertLists(const Settings& settings) {
  return AlertLists{ParseCallList(settings.alertIncludeCalls),
                    ParseCallList(settings.alertExcludeCalls)};
}

std::string SenderCall(std::string_view message) {
  const std::string_view m = TrimBlanks(message);
  // Split at every single space: two spaces in a row give an empty word.
  std::vector<std::string_view> words;
  size_t start = 0;
  while (true) {
    const size_t space = m.find(' ', start);
    words.push_back(m.substr(start, space == std::string_view::npos ? space : space - start));
    if (space == std::string_view::npos || words.size() > 3) break;
    start = space + 1;
  }
  if (words.size() == 3 && IsValidCall(words[1])) return std::string(words[1]);
  return {};
}

std::string CheckAlerts(std::string_view msg, const AlertContext& c) {
  const Settings& s = c.settings;
  std::string flags = "ooooooo";
  const std::string grid = GridOfMessage(msg);
  const std::string call = SenderCall(msg);
  const std::string entity = c.countries.LookupEntity(call);

  // An empty own call would "occur" wherever the message has two blanks.
  if (s.alertMyCall && !s.call.empty() &&
      Contains(std::string(" ").append(msg), " " + s.call + " ")) {
    flags[0] = 'x';
  }
  if (s.alertNewCall && !call.empty() && c.worked.IsNewCall(call)) flags[1] = 'x';
  if (s.alertNewEntity && !entity.empty() && c.worked.IsNewEntity(entity)) flags[2] = 'x';
  if (s.alertNewState && entity == "K") {
    const std::string state = c.states.LookupState(call);
    if (!state.empty() && !c.worked.StateWorked(state)) flags[3] = 'x';
  }
  if (s.alertAnyDistance || s.alertNewDistance) {
    const int km = grid.empty() ? -1 : GridDistance(s.grid, grid);
    if (s.alertAnyDistance && km >= s.alertAnyKm) flags[4] = 'x';
    if (s.alertNewDistance && km >= s.alertNewKm && !call.empty() && c.worked.IsNewCall(call)) {
      flags[5] = 'x';
    }
  }
  if (s.alertInclude && ListedCallIn(msg, c.lists.include)) flags[6] = 'x';
  if (s.alertExclude && ListedCallIn(msg, c.lists.exclude)) flags = "ooooooo";
  return flags;
}

}  // namespace merivac
