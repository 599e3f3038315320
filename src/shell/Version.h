// Version.h - the version text, the build date and the window captions.
//
// The version and build date are fixed when the program is built; they appear
// in the main window's caption, in every dialog's caption and in what the
// program reports about itself (PSK Reporter station record, UDP datagrams).
#pragma once

#include <array>
#include <string>

namespace merivac {

// Four dot-separated numbers followed by a dot.
inline constexpr const char kVersionText[] = "0.1.0.0.";
// Shown at the end of the main window's caption.
inline constexpr const char kAuthorTag[] = "the Merivac team";

namespace detail {
// "yyyy/mm/dd" from the compiler's __DATE__ ("Mmm dd yyyy").
constexpr std::array<char, 11> BuildDateFrom(const char* d) {
  constexpr const char* kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  int month = 1;
  for (int m = 0; m < 12; ++m) {
    if (kMonths[m * 3] == d[0] && kMonths[m * 3 + 1] == d[1] && kMonths[m * 3 + 2] == d[2]) {
      month = m + 1;
    }
  }
  std::array<char, 11> out{};
  out[0] = d[7], out[1] = d[8], out[2] = d[9], out[3] = d[10], out[4] = '/';
  out[5] = static_cast<char>('0' + month / 10), out[6] = static_cast<char>('0' + month % 10);
  out[7] = '/';
  out[8] = d[4] == ' ' ? '0' : d[4], out[9] = d[5];
  out[10] = '\0';
  return out;
}
inline constexpr std::array<char, 11> kBuildDate = BuildDateFrom(__DATE__);
}  // namespace detail

// The build date as "yyyy/mm/dd".
inline constexpr const char* kBuildDateText = detail::kBuildDate.data();

// "Merivac  v0.1.0.0. [yyyy/mm/dd]  by <author>"
inline std::string MainCaption() {
  return std::string("Merivac  v") + kVersionText + " [" + kBuildDateText + "]  by " + kAuthorTag;
}

// "Merivac  v0.1.0.0." + suffix, e.g. "  :  Load logbook".
inline std::string DialogCaption(const std::string& suffix) {
  return std::string("Merivac  v") + kVersionText + suffix;
}

}  // namespace merivac
