// CallRules.h - callsign, grid locator and report tests, locator maths, and
// the time-zone choices of the station dialog.
//
// Everything here is a pure function of its text arguments: empty texts and
// texts of any length or content simply fail, nothing throws.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace merivac {

// The callsign shapes: letters and digits in one of twelve class patterns
// (two letters / a letter / a letter and two digits / digit-letter-digit,
// then one to three letters). No trimming, no case conversion.
bool IsValidCall(std::string_view text);

// Strict grid test: 4 or 6 characters in range (A-R, A-R, 0-9, 0-9, A-X, A-X),
// upper case only, no blanks.
bool IsValidGrid(std::string_view text);

// Lenient test for locators read from messages: case-insensitive.
bool IsValidLocator(std::string_view text);

struct LatLon {
  double lat = -999;
  double lon = -999;
};

// The centre of the locator's subsquare (a 4-character locator is taken as
// its "LL" subsquare), or (-999, -999) when the text is no valid locator.
LatLon GridToLatLon(std::string_view text);

// Great-circle distance in km (earth radius 6371 km, rounded half to even),
// or -1 when either locator is invalid.
int GridDistance(std::string_view locatorA, std::string_view locatorB);

// A whole number of dB from -50 to 49, blanks and control characters around it allowed.
bool IsValidReport(std::string_view text);

// The text, with blanks and control characters removed at both ends, read
// as a decimal integer with an optional sign; nothing when it is not one or
// does not fit into 32 bits.
std::optional<int> ReadInteger(std::string_view text);
inline int ReadIntegerOr(std::string_view text, int fallback) {
  return ReadInteger(text).value_or(fallback);
}

// Blanks and control characters removed at both ends.
std::string Trim(std::string_view text);

// The time-zone choices of the station dialog, in list order.
constexpr int kTimeZoneCount = 39;
extern const std::array<const char*, kTimeZoneCount> kTimeZones;

// "UTC+5:45" -> 5.75, "UTC-9:30" -> -9.5, "UTC" -> 0.
double TimeZoneToHours(std::string_view choice);
// The inverse for every offset of the list; other offsets give texts that
// are not in the list.
std::string HoursToTimeZone(double hours);
// The list index of a choice text, -1 when it is not in the list.
int TimeZoneIndex(std::string_view choice);

// A field's text after the station and DX call field clean-up: every blank
// removed and letters upper-cased; the caret stays at the same position
// (moved back when the text got shorter than that).
struct CleanedField {
  std::string text;
  int caret = 0;
};
CleanedField CleanCallField(std::string_view text, int caret);

}  // namespace merivac
