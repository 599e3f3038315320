// StateTableTest.cpp - reading WAS.DAT and looking calls up in it.
#include <gtest/gtest.h>

#include <fstream>

#include "stationdata/StateTable.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

TEST(StateTable, LookupTakesColumnFourOnAndTheFirstListing) {
  StateTable t;
  EXPECT_EQ(t.Parse("NY K2ABC\r\nCA W6XYZ\nTX K2ABC\nOK\n\nMA W1AW \nCT,K1ABC"), 7u);
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"K2ABC", "NY"},                   // listed twice: the first line counts
      {"W6XYZ", "CA"},                   // LF after CR LF
      {"W1AW", ""},                      // the line holds "W1AW " and nothing is trimmed
      {"W1AW ", "MA"}, {"K1ABC", "CT"},  // any separator in column 3
      {"k2abc", ""},   {"", ""},        {"OK", ""},  // a line too short to hold a call
  };
  for (const auto& [call, state] : cases) EXPECT_EQ(t.LookupState(call), state) << call;
  EXPECT_EQ(t.Entries().size(), 5u);
  EXPECT_EQ(t.Entries()[2].call, "K2ABC");
}

TEST(StateTable, LayoutLinesTellARealFileFromAnErrorPage) {
  StateTable t;
  t.Parse("<!DOCTYPE html>\n<html><body>Not Found</body></html>\n");
  EXPECT_EQ(t.LayoutLineCount(), 0u);
  t.Parse("Some text\nNY K2ABC\n");
  EXPECT_EQ(t.LayoutLineCount(), 1u);
}

TEST(StateTable, MissingOrEmptyFileCountsZero) {
  testing::TempDir dir;
  const std::string path = (dir.Path() / "was.dat").string();
  StateTable t;
  EXPECT_EQ(t.Load(path), 0u);
  std::ofstream(path) << "";
  EXPECT_EQ(t.Load(path), 0u);
  std::ofstream(path) << "NY K2ABC\nCA W6XYZ\n";
  EXPECT_EQ(t.Load(path), 2u);
  EXPECT_EQ(t.Load((dir.Path() / "gone.dat").string()), 0u);
  EXPECT_EQ(t.LookupState("W6XYZ"), "CA");  // a missing file keeps the table
}

}  // namespace
}  // namespace merivac
