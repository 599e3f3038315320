// CountryTableTest.cpp - reading a country file and looking calls up: the
// file's layout, the override marks, exact calls before prefixes, the
// longest prefix before shorter ones, and the real CTY.DAT against a few
// hundred calls whose entities were worked out independently.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "stationdata/CountryTable.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

constexpr const char* kRealCty = "/usr/share/wsjtx/cty.dat";

// A header line in the file's layout with the given primary prefix.
std::string Header(const std::string& name, const std::string& prefix) {
  return name + ":   14:  27:  EU:   46.00:    -2.00:    -1.0:  " + prefix + ":\n";
}

CountryTable Parsed(const std::string& text) {
  CountryTable t;
  t.Parse(text);
  return t;
}

struct LookupCase {
  const char* name;
  std::string file;
  std::vector<std::pair<const char*, const char*>> calls;  // call, expected entity
};

TEST(CountryTable, LookupRules) {
  const std::string us = Header("United States", "K") + "    AA,K,N,W,=KH6XYZ;\n";
  const std::string hawaii = Header("Hawaii", "KH6") + "    AH6,KH6,KH7;\n";
  const std::vector<LookupCase> cases = {
      {"a prefix line lists two prefixes of one entity",
       hawaii,
       {{"KH6ABC", "KH6"}, {"KH7XX", "KH6"}, {"AH6Z", "KH6"}, {"K1ABC", ""}}},
      {"the longer prefix wins when listed after the shorter",
       us + hawaii,
       {{"KH6ABC", "KH6"}, {"K1ABC", "K"}, {"KH0AB", "K"}}},
      {"the longer prefix wins when listed before the shorter",
       hawaii + us,
       {{"KH6ABC", "KH6"}, {"K1ABC", "K"}}},
      {"an exact call beats every prefix, also a longer one of another entity",
       hawaii + us,
       {{"KH6XYZ", "K"}, {"KH6XY", "KH6"}}},
      {"a portable suffix is matched by prefix only",
       hawaii + us,
       {{"KH6XYZ/P", "KH6"}, {"W1AW/KH6", "K"}}},
      {"case-sensitive, empty and unmatched calls give nothing",
       us,
       {{"k1abc", ""}, {"", ""}, {"Q1ABC", ""}}},
      {"among equal prefixes the first listed wins",
       Header("First", "F1") + "    TX;\n" + Header("Second", "S2") + "    TX,TY;\n",
       {{"TX1A", "F1"}, {"TY1A", "S2"}}},
      {"among equal exact calls the last listed wins",
       Header("First", "F1") + "    F,=XX1A;\n" + Header("Second", "S2") + "    S,=XX1A;\n",
       {{"XX1A", "S2"}}},
      {"override marks are cut off",
       Header("Mixed", "M") +
           "    M(14)[27],=M1ABC(4)[7],=M2ABC[7](4),=M3ABC<10.0/20.0>,=M4ABC{AF},=M5ABC~-1.0~,\n"
           "    MM[28];\n" +
           us,
       {{"M1ABC", "M"},
        {"M2ABC", "M"},
        {"M3ABC", "M"},
        {"M4ABC", "M"},
        {"M5ABC", "M"},
        {"MM9A", "M"},
        {"M1ABC(4)", "M"}}},
      {"CR LF lines, blank lines, trailing blanks and items before any header",
       "    ZZ,=ZZ1ABC;\r\n\r\n" + Header("Crlf", "C") + "    C,  CC ,\r\n   =CX1AB ;   \r\n",
       {{"CC1A", "C"}, {"CX1AB", "C"}, {"ZZ1ABC", ""}, {"ZZ9", ""}}},
      {"a prefix of overrides only is no prefix",
       Header("Odd", "O") + "    (4),O;\n",
       {{"X1ABC", ""}, {"O1A", "O"}}},
  };
  for (const LookupCase& c : cases) {
    const CountryTable t = Parsed(c.file);
    for (const auto& [call, entity] : c.calls) {
      EXPECT_EQ(t.LookupEntity(call), entity) << c.name << ": " << call;
    }
  }
}

TEST(CountryTable, CountsAndCompleteEntities) {
  const CountryTable t = Parsed(Header("Hawaii", "KH6") + "    KH6,KH7,=KH6AB(31)[61];\n" +
                                "Short: KH8:\n    KH8;\n" + Header("Empty", "E") + "\n");
  EXPECT_EQ(t.EntityCount(), 3u);
  EXPECT_EQ(t.PrefixCount(), 3u);
  EXPECT_EQ(t.ExactCallCount(), 1u);
  // "Short" lacks the eight fields; "Empty" lists nothing.
  EXPECT_EQ(t.CompleteEntityCount(), 1u);
  // An error page is no country file.
  EXPECT_EQ(Parsed("<html>\n<head><title>404 Not Found</title></head>\n <body>x</body>\n")
                .CompleteEntityCount(),
            0u);
}

TEST(CountryTable, MissingFileKeepsTheTable) {
  testing::TempDir dir;
  const std::string path = (dir.Path() / "cty.dat").string();
  std::ofstream(path) << Header("Hawaii", "KH6") << "    KH6;\n";
  CountryTable t;
  ASSERT_TRUE(t.Load(path));
  EXPECT_EQ(t.LookupEntity("KH6A"), "KH6");
  EXPECT_FALSE(t.Load((dir.Path() / "missing.dat").string()));
  EXPECT_EQ(t.LookupEntity("KH6A"), "KH6");
}

class RealCountryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kRealCty)) GTEST_SKIP() << kRealCty << " is not installed";
    ASSERT_TRUE(table.Load(kRealCty));
  }
  CountryTable table;
};

TEST_F(RealCountryFile, Counts) {
  EXPECT_EQ(table.EntityCount(), 346u);
  EXPECT_EQ(table.PrefixCount(), 7738u);
  EXPECT_EQ(table.ExactCallCount(), 19707u);
  EXPECT_EQ(table.CompleteEntityCount(), 346u);
}

// Calls that the last listed match would put in the wrong entity.
TEST_F(RealCountryFile, MoreSpecificPrefixesWin) {
  EXPECT_EQ(table.LookupEntity("9M0A"), "1S");    // Spratly Islands, not West Malaysia
  EXPECT_EQ(table.LookupEntity("FT4YM"), "CE9");  // Antarctica, not France
  EXPECT_EQ(table.LookupEntity("R9FM"), "UA");    // European Russia, not Asiatic Russia
  EXPECT_EQ(table.LookupEntity("R9AB"), "UA9");
  EXPECT_EQ(table.LookupEntity("K1ABC"), "K");
}

// cty_expected.txt was written by derive_cty_expected.py (beside this file),
// which scans the whole file for every call, from the same CTY.DAT.
TEST_F(RealCountryFile, AgreesWithAnIndependentScanOnAFewHundredCalls) {
  std::ifstream in(std::string(MERIVAC_SOURCE_DIR) + "/tests/stationdata/tables/cty_expected.txt");
  ASSERT_TRUE(in.is_open());
  int checked = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string call, entity;
    fields >> call >> entity;
    if (entity == "-") entity.clear();
    EXPECT_EQ(table.LookupEntity(call), entity) << call;
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

}  // namespace
}  // namespace merivac
