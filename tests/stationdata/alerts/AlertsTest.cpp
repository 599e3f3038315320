// AlertsTest.cpp - the worked lists, the call lists, the sender's call and
// the seven alert rules on a small country and state table.
#include <gtest/gtest.h>

#include "stationdata/Alerts.h"
#include "stationdata/StationData.h"

namespace merivac {
namespace {

std::string Header(const std::string& name, const std::string& prefix) {
  return name + ":   14:  27:  EU:   46.00:    -2.00:    -1.0:  " + prefix + ":\n";
}

const std::string kCountries = Header("United States", "K") + "    AA,K,N,W;\n" +
                               Header("Hawaii", "KH6") + "    KH6,KH7;\n" +
                               Header("Germany", "DL") + "    DA,DL;\n" + Header("England", "G") +
                               "    G,M;\n" + Header("Japan", "JA") + "    JA,JH;\n";
const std::string kStates = "NY K2ABC\nCA W6XYZ\nCA W6ABC\nTX N5ZZ\n";

TEST(CallList, SplitTrimmedAndLimitedToOneHundred) {
  tCallList list = ParseCallList(" K1ABC , G3XYZ,DL1ABC ");
  EXPECT_EQ(list[0], "K1ABC");
  EXPECT_EQ(list[1], "G3XYZ");
  EXPECT_EQ(list[2], "DL1ABC");
  EXPECT_EQ(list[3], "");

  list = ParseCallList("K1ABC,,G3XYZ");
  EXPECT_EQ(list[1], "");  // ends the list for the checks
  EXPECT_EQ(list[2], "G3XYZ");

  std::string text;
  for (int i = 0; i < 101; ++i) text += (i ? "," : "") + std::string("C") + std::to_string(i);
  list = ParseCallList(text);
  EXPECT_EQ(list[99], "C99");
  EXPECT_EQ(ParseCallList("")[0], "");
}

TEST(SenderCall, OnlyThreeWordMessagesWithAValidSecondWord) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"CQ K1ABC FN42", "K1ABC"},
      {"  DL1ABC K1ABC -12 ", "K1ABC"},
      {"CQ DX K1ABC FN42", ""},
      {"K1ABC FN42", ""},
      {"CQ FN42 K1ABC", ""},
      {"CQ  K1ABC FN42", ""},  // two blanks: four pieces
      {"", ""},
  };
  for (const auto& [msg, call] : cases) EXPECT_EQ(SenderCall(msg), call) << msg;
}

TEST(WorkedLists, RebuildsFollowTheTables) {
  CountryTable countries;
  countries.Parse(kCountries);
  StateTable states;
  states.Parse("CA W6XYZ\nNY K2ABC\nCA W6ABC\nXX Q\n");
  WorkedLists w;
  w.SetWorkedCalls({"K2ABC", "G3XYZ", "W6ABC", "Q1ZZZ", "G3XYZ", "X9ABC", "W6XYZ"});
  // The call that matches nothing gives the empty entity, kept once.
  EXPECT_EQ(w.RebuildWorkedEntities(countries), 3u);
  EXPECT_EQ(w.WorkedEntities(), (std::vector<std::string>{"K", "G", ""}));
  w.RebuildWorkedStates(states);
  // In the state file's order, each state once.
  EXPECT_EQ(w.WorkedStates()[0], "CA");
  EXPECT_EQ(w.WorkedStates()[1], "NY");
  EXPECT_EQ(w.WorkedStates()[2], "");
  EXPECT_TRUE(w.StateWorked("NY"));
  EXPECT_FALSE(w.StateWorked("TX"));
  EXPECT_EQ(w.WorkedCalls().size(), 7u);  // repeats kept
}

TEST(WorkedLists, NewOnlyWithALogbookAndStatesStopAtFifty) {
  WorkedLists w;
  w.SetWorkedCalls({"K2ABC"});
  EXPECT_FALSE(w.IsNewCall("W6XYZ"));
  EXPECT_FALSE(w.IsNewEntity("JA"));
  w.SetLogbookLoaded(true);
  EXPECT_TRUE(w.IsNewCall("W6XYZ"));
  EXPECT_FALSE(w.IsNewCall("K2ABC"));
  EXPECT_TRUE(w.IsNewEntity("JA"));
  w.AddWorkedCall("W6XYZ");
  w.AddWorkedEntity("JA");
  w.AddWorkedEntity("JA");
  EXPECT_FALSE(w.IsNewCall("W6XYZ"));
  EXPECT_EQ(w.WorkedEntities().size(), 1u);

  for (int i = 0; i < 60; ++i) w.AddWorkedState(std::string(1, 'A' + i / 26) + char('A' + i % 26));
  EXPECT_EQ(w.WorkedStates()[49], "BX");
  EXPECT_FALSE(w.StateWorked("BY"));
  w.AddWorkedState("AA");
  w.AddWorkedState("");
  EXPECT_EQ(w.WorkedStates()[0], "AA");
}

// One station: DL1ABC in JO62, who worked K2ABC (NY) and G3XYZ.
class CheckAlertsTest : public ::testing::Test {
 protected:
  CheckAlertsTest() : data(settings) {
    settings.call = "DL1ABC";
    settings.grid = "JO62";
    data.Countries().Parse(kCountries);
    data.States().Parse(kStates);
    data.Worked().SetWorkedCalls({"K2ABC", "G3XYZ"});
    data.Worked().SetLogbookLoaded(true);
    data.RebuildWorkedEntities();
    data.Worked().RebuildWorkedStates(data.States());
  }
  Settings settings;
  StationData data;
};

struct AlertCase {
  const char* msg;
  const char* flags;
};

void ExpectFlags(const StationData& data, const std::vector<AlertCase>& cases, const char* rule) {
  for (const AlertCase& c : cases)
    EXPECT_EQ(data.CheckAlerts(c.msg), c.flags) << rule << ": " << c.msg;
}

TEST_F(CheckAlertsTest, NothingSetNothingRaised) {
  ExpectFlags(data, {{"DL1ABC W6XYZ CM87", "ooooooo"}, {"CQ JA1XYZ PM95", "ooooooo"}}, "none");
}

TEST_F(CheckAlertsTest, EachRuleOnItsOwn) {
  settings.alertMyCall = true;
  ExpectFlags(data,
              {{"DL1ABC W6XYZ CM87", "xoooooo"},  // first word: the message is padded
               {"W6XYZ DL1ABC R-12", "xoooooo"},
               {"W6XYZ DL1ABCD R-12", "ooooooo"},
               {"W6XYZ DL1ABC", "ooooooo"}},  // last word: no blank after it
              "my call");
  settings.alertMyCall = false;

  settings.alertNewCall = true;
  ExpectFlags(data,
              {{"CQ W6XYZ CM87", "oxooooo"},
               {"CQ K2ABC FN20", "ooooooo"},
               {"CQ DX W6XYZ CM87", "ooooooo"}},  // four words: no sender
              "new call");
  settings.alertNewCall = false;

  settings.alertNewEntity = true;
  ExpectFlags(data,
              {{"CQ JA1XYZ PM95", "ooxoooo"},
               {"CQ W6XYZ CM87", "ooooooo"},   // K is worked
               {"CQ Q1XYZ JO62", "ooooooo"}},  // no entity at all
              "new DXCC");
  settings.alertNewEntity = false;

  settings.alertNewState = true;
  ExpectFlags(data,
              {{"CQ W6XYZ CM87", "oooxooo"},
               {"CQ K2ABC FN20", "ooooooo"},    // NY is worked
               {"CQ K9ZZZ EN52", "ooooooo"},    // not in WAS.DAT
               {"CQ KH6ABC BL11", "ooooooo"}},  // not entity K
              "new state");
  settings.alertNewState = false;

  settings.alertInclude = true;
  settings.alertIncludeCalls = "W6XYZ, JA1XYZ";
  data.LoadAlertLists();
  ExpectFlags(data,
              {{"CQ JA1XYZ PM95", "oooooox"},
               {"W6XYZ DL1ABC -12", "ooooooo"}},  // first word: nothing before it
              "include");
}

TEST_F(CheckAlertsTest, Distances) {
  settings.alertAnyDistance = true;  // A_AK -1: every decode, with or without grid
  ExpectFlags(data, {{"DL1ABC K2ABC -12", "ooooxoo"}, {"CQ G3XYZ IO91", "ooooxoo"}}, "any -1");
  settings.alertAnyKm = 5000;
  ExpectFlags(data,
              {{"CQ W6XYZ CM87", "ooooxoo"},      // about 9000 km
               {"CQ G3XYZ IO91", "ooooooo"},      // about 900 km
               {"DL1ABC K2ABC -12", "ooooooo"}},  // no grid: -1
              "any 5000");
  settings.alertAnyDistance = false;
  settings.alertNewDistance = true;
  settings.alertNewKm = 5000;
  ExpectFlags(data,
              {{"CQ W6XYZ CM87", "oooooxo"},
               {"CQ K2ABC FN20", "ooooooo"},  // far, but worked
               {"CQ JA1XYZ", "ooooooo"}},     // no grid
              "new DX 5000");
}

TEST_F(CheckAlertsTest, ExcludeCancelsEveryAlertIncludingMyCall) {
  settings.alertMyCall = settings.alertNewCall = settings.alertNewState = true;
  settings.alertExclude = true;
  settings.alertExcludeCalls = "G3XYZ,W6XYZ";
  data.LoadAlertLists();
  ExpectFlags(data, {{"DL1ABC W6XYZ CM87", "ooooooo"}, {"DL1ABC W6ABC CM87", "xxoxooo"}},
              "exclude");
  // An empty piece ends the list: W6XYZ after it is not excluded.
  settings.alertExcludeCalls = "G3XYZ,,W6XYZ";
  data.LoadAlertLists();
  ExpectFlags(data, {{"DL1ABC W6XYZ CM87", "xxoxooo"}}, "exclude after an empty piece");
}

TEST_F(CheckAlertsTest, IncludeListUsesAtMostOneHundredCalls) {
  settings.alertInclude = true;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "X" + std::to_string(i) + "ABC,";
  settings.alertIncludeCalls = text + "W6XYZ";  // the 101st piece
  data.LoadAlertLists();
  ExpectFlags(data, {{"CQ W6XYZ CM87", "ooooooo"}, {"CQ X99ABC JO62", "oooooox"}}, "101st");
}

TEST_F(CheckAlertsTest, WithoutLogbookOnlyTheStateRuleSpeaksOfNew) {
  data.Worked().SetLogbookLoaded(false);
  settings.alertNewCall = settings.alertNewEntity = settings.alertNewState = true;
  settings.alertNewDistance = true;
  settings.alertNewKm = 0;
  ExpectFlags(data, {{"CQ W6XYZ CM87", "oooxooo"}}, "no logbook");
}

TEST_F(CheckAlertsTest, EmptyOwnCallNeverAlerts) {
  settings.call.clear();
  settings.alertMyCall = true;
  ExpectFlags(data, {{"CQ  W6XYZ CM87", "ooooooo"}}, "empty call");
}

}  // namespace
}  // namespace merivac
