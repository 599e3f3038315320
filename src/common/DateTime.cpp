// DateTime.cpp - day-count date-times and their formatting.
#include "common/DateTime.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>

namespace merivac {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr int64_t kEpochOffsetDays = 25569;  // 1899-12-30 .. 1970-01-01

std::string TwoDigits(int v) {
  std::string s = std::to_string(v % 100);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                       kEpochOffsetDays;
  const double ms = ((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec;
  return static_cast<double>(days) + ms / kMsPerDay;
}

double EncodeDateTime(const CivilTime& c) {
  return EncodeDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second, c.msec);
}

CivilTime DecodeDateTime(double t) {
  const int64_t totalMs = std::llround(t * kMsPerDay);
  int64_t days = totalMs / 86400000;
  int64_t msOfDay = totalMs % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    days -= 1;
  }
  CivilTime c;
  CivilFromDays(days - kEpochOffsetDays, c.year, c.month, c.day);
  c.hour = static_cast<int>(msOfDay / 3600000);
  c.minute = static_cast<int>(msOfDay / 60000 % 60);
  c.second = static_cast<int>(msOfDay / 1000 % 60);
  c.msec = static_cast<int>(msOfDay % 1000);
  return c;
}

std::string FormatDateTime(const std::string& format, double t) {
  static const std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const CivilTime c = DecodeDateTime(t);
  std::string out;
  size_t i = 0;
  auto starts = [&](const char* token) { return format.compare(i, std::char_traits<char>::length(token), token) == 0; };
  while (i < format.size()) {
    if (starts("yyyy")) {
      out += std::to_string(c.year);
      i += 4;
    } else if (starts("yy")) {
      out += TwoDigits(c.year);
      i += 2;
    } else if (starts("mmm")) {
      out += kMonths[static_cast<size_t>(c.month - 1)];
      i += 3;
    } else if (starts("mm")) {
      out += TwoDigits(c.month);
      i += 2;
    } else if (starts("dd")) {
      out += TwoDigits(c.day);
      i += 2;
    } else if (starts("hh")) {
      out += TwoDigits(c.hour);
      i += 2;
    } else if (starts("nn")) {
      out += TwoDigits(c.minute);
      i += 2;
    } else if (starts("ss")) {
      out += TwoDigits(c.second);
      i += 2;
    } else if (starts("zzz")) {
      std::string ms = std::to_string(c.msec);
      out += std::string(3 - ms.size(), '0') + ms;
      i += 3;
    } else {
      out += format[i++];
    }
  }
  return out;
}

double SystemLocalNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const int64_t ms = duration_cast<milliseconds>(now.time_since_epoch()).count();
  const std::time_t secs = static_cast<std::time_t>(ms / 1000);
  std::tm local{};
  localtime_r(&secs, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec, static_cast<int>(ms % 1000));
}

}  // namespace merivac
