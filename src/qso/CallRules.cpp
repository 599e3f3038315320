// CallRules.cpp - callsign, grid, report and time-zone rules.
#include "qso/CallRules.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace merivac {
namespace {

constexpr std::array<std::string_view, 12> kCallPatterns = {"LLFLLL", "LLFLL",  "LLFL",   "LFLLL",
                                                            "LFLL",   "LFL",    "LFFLLL", "LFFLL",
                                                            "LFFL",   "FLFLLL", "FLFLL",  "FLFL"};

char CallClass(char c) {
  if (c >= '0' && c <= '9') return 'F';
  if (c >= 'A' && c <= 'Z') return 'L';
  return 'U';
}

bool InRange(char c, char low, char high) { return c >= low && c <= high; }

// Six characters already upper-cased: field, square and subsquare in range.
bool SixInRange(std::string_view s) {
  return s.size() == 6 && InRange(s[0], 'A', 'R') && InRange(s[1], 'A', 'R') &&
         InRange(s[2], '0', '9') && InRange(s[3], '0', '9') && InRange(s[4], 'A', 'X') &&
         InRange(s[5], 'A', 'X');
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

const std::array<const char*, kTimeZoneCount> kTimeZones = {
    "UTC+14",   "UTC+13:45", "UTC+13",   "UTC+12:45", "UTC+12",   "UTC+11", "UTC+10:30", "UTC+10",
    "UTC+9:30", "UTC+9",     "UTC+8",    "UTC+7",     "UTC+6:30", "UTC+6",  "UTC+5:45",  "UTC+5:30",
    "UTC+5",    "UTC+4:30",  "UTC+4",    "UTC+3:30",  "UTC+3",    "UTC+2",  "UTC+1",     "UTC",
    "UTC-1",    "UTC-2",     "UTC-2:30", "UTC-3",     "UTC-3:30", "UTC-4",  "UTC-5",     "UTC-6",
    "UTC-7",    "UTC-8",     "UTC-9",    "UTC-9:30",  "UTC-10",   "UTC-11", "UTC-12"};

bool IsValidCall(std::string_view text) {
  if (text.size() < 3 || text.size() > 6) return false;
  std::string classes;
  for (char c : text) classes.push_back(CallClass(c));
  for (std::string_view p : kCallPatterns) {
    if (classes == p) return true;
  }
  return false;
}

bool IsValidGrid(std::string_view text) {
  if (text.size() != 4 && text.size() != 6) return false;
  std::string s(text);
  if (s.size() == 4) s += "LL";
  return SixInRange(s);
}

bool IsValidLocator(std::string_view text) {
  std::string s = Upper(text);
  if (s.size() == 4) s += "LL";
  return SixInRange(s);
}

LatLon GridToLatLon(std::string_view text) {
  if (!IsValidLocator(text)) return {};
  std::string s = Upper(text);
  if (s.size() == 4) s += "LL";
  auto letter = [&](int i) { return static_cast<double>(s[i] - 'A'); };
  auto digit = [&](int i) { return static_cast<double>(s[i] - '0'); };
  LatLon p;
  p.lon = letter(0) * 20 + digit(2) * 2 + (letter(4) + 0.5) / 12 - 180;
  p.lat = letter(1) * 10 + digit(3) + (letter(5) + 0.5) / 24 - 90;
  return p;
}

int GridDistance(std::string_view locatorA, std::string_view locatorB) {
  const LatLon a = GridToLatLon(locatorA);
  const LatLon b = GridToLatLon(locatorB);
  if (a.lat == -999 || b.lat == -999) return -1;
  constexpr double kRad = std::numbers::pi / 180;
  const double lat1 = a.lat * kRad, lat2 = b.lat * kRad;
  const double lon1 = a.lon * kRad, lon2 = b.lon * kRad;
  const double sLat = std::sin((lat2 - lat1) / 2);
  const double sLon = std::sin((lon2 - lon1) / 2);
  double h = sLat * sLat + std::cos(lat1) * std::cos(lat2) * sLon * sLon;
  if (h > 1) h = 1;  // rounding near antipodes must not leave asin's domain
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int>(std::nearbyint(2 * 6371 * std::asin(std::sqrt(h))));
}

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

std::optional<int> ReadInteger(std::string_view text) {
  const std::string t = Trim(text);
  std::string_view v = t;
  bool negative = false;
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
    negative = v[0] == '-';
    v.remove_prefix(1);
  }
  if (v.empty() || !std::isdigit(static_cast<unsigned char>(v[0]))) return std::nullopt;
  long long value = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || end != v.data() + v.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

bool IsValidReport(std::string_view text) {
  const int value = ReadIntegerOr(text, -99);
  return value >= -50 && value <= 49;
}

double TimeZoneToHours(std::string_view choice) {
  std::string_view rest = choice.size() > 3 ? choice.substr(3) : std::string_view{};
  if (rest.empty()) rest = "0";
  const size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return ReadIntegerOr(rest, 0);
  const int hours = ReadIntegerOr(rest.substr(0, colon), 0);
  const int minutes = ReadIntegerOr(rest.substr(colon + 1), 0);
  return hours > 0 ? hours + minutes / 60.0 : hours - minutes / 60.0;
}

std::string HoursToTimeZone(double hours) {
  if (hours == 0) return "UTC";
  const double whole = std::trunc(hours);
  const double fraction = hours - whole;
  std::string text = "UTC";
  if (hours > 0) text += "+";
  text += std::to_string(static_cast<long long>(whole));
  if (hours > 0 && fraction > 0.01) {
    text += ":" + std::to_string(static_cast<long long>(std::nearbyint(fraction * 60)));
  } else if (hours < 0 && fraction < -0.01) {
    text += ":" + std::to_string(static_cast<long long>(std::nearbyint(fraction * -60)));
  }
  return text;
}

int TimeZoneIndex(std::string_view choice) {
  for (int i = 0; i < kTimeZoneCount; ++i) {
    if (choice == kTimeZones[i]) return i;
  }
  return -1;
}

CleanedField CleanCallField(std::string_view text, int caret) {
  CleanedField out;
  for (char c : text) {
    if (c != ' ')
      out.text.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  }
  const int length = static_cast<int>(out.text.size());
  out.caret = caret < 0 ? 0 : (caret > length ? length : caret);
  return out;
}

}  // namespace merivac
