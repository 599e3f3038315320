// DateTime.h - date-times as day counts since 1899-12-30 (fractional days),
// the program's one representation of time, and their text formats.
#pragma once

#include <cstdint>
#include <string>

namespace merivac {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kMinutesPerDay = 1440.0;
constexpr double kMsPerDay = 86400000.0;

struct CivilTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, msec = 0;
};

// Day count of a civil date and time.
double EncodeDateTime(const CivilTime& c);
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                      int second = 0, int msec = 0);

// Civil date and time of a day count, rounded to the nearest millisecond.
CivilTime DecodeDateTime(double t);

// Formats a day count. Supported tokens: yyyy yy mmm mm dd hh nn ss zzz; any
// other character is copied. "mmm" is the English month abbreviation.
std::string FormatDateTime(const std::string& format, double t);

// Days since 1899-12-30 of the system clock's current local time.
double SystemLocalNow();

}  // namespace merivac
