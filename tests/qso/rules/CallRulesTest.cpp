// CallRulesTest.cpp - callsign, grid, distance, report and time-zone rules.
#include <gtest/gtest.h>

#include "qso/CallRules.h"

namespace merivac {
namespace {

TEST(CallRules, IsValidCallAcceptsExactlyTheTwelveShapes) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {"K1A", true},     {"K1AB", true},     {"K1ABC", true},     {"DL1ABC", true},
      {"DL1AB", true},   {"DL1A", true},     {"K12AB", true},     {"K12ABC", true},
      {"K12A", true},    {"3D2ABC", true},   {"3D2AB", true},     {"3D2A", true},
      {"LLFFL", false},  {"DL12A", false},   {"k1abc", false},    {"K1aBC", false},
      {"K1 ABC", false}, {" K1ABC", false},  {"K1ABC/P", false},  {"K1AB/", false},
      {"1AB", false},    {"DL1ABCD", false}, {"DL1ABCDE", false}, {"", false},
      {"K1", false},     {"KK1", false},     {"3DA", false},      {"K1ABCD", false},
      {"DLL1AB", false}, {"12ABC", false},   {"K1A1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidCall(c.text), c.valid) << '"' << c.text << '"';
}

TEST(CallRules, StrictAndLenientGridTests) {
  struct Case {
    const char* text;
    bool grid;
    bool locator;
  };
  const Case cases[] = {
      {"KK44", true, true},    {"KK44AB", true, true},    {"kk44", false, true},
      {"kk44ab", false, true}, {"KK4", false, false},     {"KK44A", false, false},
      {"SA00", false, false},  {"KK44AY", false, false},  {" KK44", false, false},
      {"KK44 ", false, false}, {"AA00AA", true, true},    {"RR99XX", true, true},
      {"", false, false},      {"KK44ABC", false, false}, {"K444", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidGrid(c.text), c.grid) << '"' << c.text << '"';
    EXPECT_EQ(IsValidLocator(c.text), c.locator) << '"' << c.text << '"';
  }
}

TEST(CallRules, GridToLatLonGivesTheSubsquareCentre) {
  const LatLon p = GridToLatLon("JO62QM");
  EXPECT_NEAR(p.lon, 12.0 + 16.5 / 12, 1e-9);
  EXPECT_NEAR(p.lat, 52.0 + 12.5 / 24, 1e-9);
  // A 4-character locator is its "LL" subsquare: 0.958 east, 0.479 north of the corner.
  const LatLon q = GridToLatLon("kk44");
  EXPECT_NEAR(q.lon, 10 * 20 + 4 * 2 - 180 + 11.5 / 12, 1e-9);
  EXPECT_NEAR(q.lat, 10 * 10 + 4 - 90 + 11.5 / 24, 1e-9);
  const LatLon bad = GridToLatLon("XX99");
  EXPECT_EQ(bad.lat, -999);
  EXPECT_EQ(bad.lon, -999);
}

TEST(CallRules, GridDistance) {
  struct Case {
    const char* a;
    const char* b;
    int km;
  };
  const Case cases[] = {
      {"KK44", "KK45", 111},  {"KK44", "KK44", 0},     {"KK44AA", "KK44XX", 232},
      {"KK44", "LK44", 2153}, {"AA00", "RR99", 19904}, {"KK44", "XX99", -1},
      {"XX99", "KK44", -1},   {"", "KK44", -1},        {"kk44", "KK45", 111},
      {"KK45", "KK44", 111},
  };
  for (const Case& c : cases) EXPECT_EQ(GridDistance(c.a, c.b), c.km) << c.a << "-" << c.b;
}

TEST(CallRules, IsValidReport) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {{"-50", true},         {" 49 ", true}, {"+5", true},   {"0", true},
                        {"\t-7\r\n", true},    {"-51", false}, {"50", false},  {"R-15", false},
                        {"", false},           {"-99", false}, {"1 2", false}, {"5dB", false},
                        {"99999999999", false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidReport(c.text), c.valid) << '"' << c.text << '"';
}

TEST(CallRules, EveryTimeZoneChoiceMapsToItsOffsetAndBack) {
  const double expected[kTimeZoneCount] = {14, 13.75, 13,  12.75, 12,   11,   10.5, 10,  9.5,  9,
                                           8,  7,     6.5, 6,     5.75, 5.5,  5,    4.5, 4,    3.5,
                                           3,  2,     1,   0,     -1,   -2,   -2.5, -3,  -3.5, -4,
                                           -5, -6,    -7,  -8,    -9,   -9.5, -10,  -11, -12};
  for (int i = 0; i < kTimeZoneCount; ++i) {
    const double hours = TimeZoneToHours(kTimeZones[i]);
    EXPECT_DOUBLE_EQ(hours, expected[i]) << kTimeZones[i];
    EXPECT_EQ(HoursToTimeZone(hours), kTimeZones[i]);
    EXPECT_EQ(TimeZoneIndex(kTimeZones[i]), i);
  }
}

TEST(CallRules, OffsetsOutsideTheListGiveNoChoice) {
  EXPECT_EQ(HoursToTimeZone(1.25), "UTC+1:15");
  EXPECT_EQ(TimeZoneIndex(HoursToTimeZone(1.25)), -1);
  EXPECT_EQ(TimeZoneIndex(HoursToTimeZone(-0.5)), -1);
  EXPECT_DOUBLE_EQ(TimeZoneToHours("UTC+x"), 0);
  EXPECT_DOUBLE_EQ(TimeZoneToHours(""), 0);
}

TEST(CallRules, CleanCallFieldRemovesBlanksAndKeepsTheCaret) {
  CleanedField f = CleanCallField("k1 abc", 3);
  EXPECT_EQ(f.text, "K1ABC");
  EXPECT_EQ(f.caret, 3);
  f = CleanCallField("  a", 3);
  EXPECT_EQ(f.text, "A");
  EXPECT_EQ(f.caret, 1);
}

TEST(CallRules, ReadIntegerTrimsAndRejectsJunk) {
  EXPECT_EQ(ReadInteger(" 415"), 415);
  EXPECT_EQ(ReadInteger("+5"), 5);
  EXPECT_EQ(ReadInteger("-12 "), -12);
  EXPECT_FALSE(ReadInteger("X"));
  EXPECT_FALSE(ReadInteger("-"));
  EXPECT_FALSE(ReadInteger("+-5"));
  EXPECT_FALSE(ReadInteger("12a"));
  EXPECT_FALSE(ReadInteger("3000000000"));
}

}  // namespace
}  // namespace merivac
