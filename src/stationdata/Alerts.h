// Alerts.h - the alert check of every decoded message and the pieces it
// is made of: the include and exclude call lists and the sender's call.
//
// The result of the check is seven characters, 'x' where a rule is met and
// 'o' where not, "ooooooo" meaning no alert:
//   1 my call is received          5 any DX beyond the any-DX distance
//   2 a new call is received       6 a new DX beyond the new-DX distance
//   3 a new DXCC is received       7 an include call is received
//   4 a new US state is received
// An exclude call in the message cancels every alert of that message.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/Settings.h"

namespace merivac {

class CountryTable;
class StateTable;
class WorkedLists;

constexpr size_t kCallListSize = 100;
// 100 callsigns; the used entries come first, the first empty one ends the list.
using tCallList = std::array<std::string, kCallListSize>;

// The text split at every ',' (two commas in a row give an empty piece, which
// ends the list for the checks), each piece without blanks at its ends;
// pieces beyond the 100th are dropped.
tCallList ParseCallList(std::string_view text);

struct AlertLists {
  tCallList include{};
  tCallList exclude{};
};
// LoadAlertLists: both lists from the include and exclude texts (A_IC, A_EC).
AlertLists LoadAlertLists(const Settings& settings);

// The callsign of a message of exactly three words whose second word is a
// valid callsign ("CQ K1ABC FN42", "DL1ABC K1ABC -12"); otherwise empty.
std::string SenderCall(std::string_view message);

// What the alert check looks at besides the message.
struct AlertContext {
  const Settings& settings;
  const AlertLists& lists;
  const CountryTable& countries;
  const StateTable& states;
  const WorkedLists& worked;
};

// The seven alert flags of a decoded message text.
std::string CheckAlerts(std::string_view msg, const AlertContext& c);

}  // namespace merivac
