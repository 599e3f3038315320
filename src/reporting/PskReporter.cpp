// PskReporter.cpp - the binding of the spotting library and its records.
#include "reporting/PskReporter.h"

#include <array>

#include "common/Clock.h"
#include "common/DebugLog.h"
#include "common/Settings.h"
#include "qso/CallRules.h"

namespace merivac {

namespace {

void AddPair(std::string& record, const char* key, const std::string& value) {
  record += key;
  record += '\0';
  record += value;
  record += '\0';
}

// The entry points, in the order the library lists them.
constexpr std::array<const char*, 6> kEntryPoints = {
    "ReporterInitialize",   "ReporterSeenCallsign",   "ReporterTickle",
    "ReporterUninitialize", "ReporterGetInformation", "ReporterGetStatistics"};

}  // namespace

std::string SpotModeName(const std::string& modeChar) {
  if (modeChar == "2") return "JT9-2";
  if (modeChar == "5") return "JT9-5";
  if (modeChar == "X") return "JT9-10";
  return "JT9";
}

std::string StationRecord(const std::string& callsign, const std::string& locator,
                          const std::string& version) {
  std::string r;
  AddPair(r, "STATION_CALLSIGN", callsign);
  AddPair(r, "MY_GRIDSQUARE", locator);
  AddPair(r, "PROGRAMID", kProgramId);
  AddPair(r, "PROGRAMVERSION", version);
  r += '\0';
  return r;
}

std::string SpotRecord(const std::string& callsign, const std::string& modeChar,
                       const std::string& frequency, const std::string& snr,
                       const std::string& locator, uint32_t heardAt) {
  std::string r;
  AddPair(r, "CALL", callsign);
  AddPair(r, "MODE", SpotModeName(modeChar));
  AddPair(r, "FREQ", frequency);
  AddPair(r, "SNR", snr);
  AddPair(r, "GRIDSQUARE", locator);
  if (heardAt != 0) AddPair(r, "TIME", std::to_string(heardAt));
  r += '\0';
  return r;
}

std::u16string ReporterText(const std::string& record) {
  std::u16string out;
  out.reserve(record.size());
  for (size_t i = 0; i < record.size();) {
    const auto b = static_cast<unsigned char>(record[i]);
    size_t len = 1;
    char32_t c = b;
    if (b >= 0xC0 && b < 0xE0) {
      len = 2, c = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
      len = 3, c = b & 0x0F;
    } else if (b >= 0xF0 && b < 0xF8) {
      len = 4, c = b & 0x07;
    } else if (b >= 0x80) {
      len = 0;  // a stray continuation byte
    }
    if (len == 0 || i + len > record.size()) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    for (size_t k = 1; k < len; ++k) {
      c = (c << 6) | (static_cast<unsigned char>(record[i + k]) & 0x3F);
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += len;
  }
  return out;
}

PskReporter::PskReporter(ReporterLibrary& library, const Clock& clock, DebugLog* log)
    : library_(library), clock_(clock), log_(log) {}

void PskReporter::Log(const std::string& text) {
  if (log_ != nullptr) log_->Write(text);
}

bool PskReporter::BindReporter() {
  if (bound_) return true;
  if (!library_.Load()) {
    Log("PSK Reporter library not loaded: " + library_.Error());
    return false;
  }
  std::array<void*, kEntryPoints.size()> found{};
  for (size_t i = 0; i < kEntryPoints.size(); ++i) {
    found[i] = library_.Symbol(kEntryPoints[i]);
    if (found[i] == nullptr) {
      Log(std::string("PSK Reporter library lacks the entry point ") + kEntryPoints[i]);
      library_.Release();
      return false;
    }
  }
  api_.initialize = reinterpret_cast<ReporterInitializeFn>(found[0]);
  api_.seenCallsign = reinterpret_cast<ReporterSeenCallsignFn>(found[1]);
  api_.tickle = reinterpret_cast<ReporterTickleFn>(found[2]);
  api_.uninitialize = reinterpret_cast<ReporterUninitializeFn>(found[3]);
  api_.getInformation = reinterpret_cast<ReporterGetInformationFn>(found[4]);
  api_.getStatistics = reinterpret_cast<ReporterGetStatisticsFn>(found[5]);
  bound_ = true;
  return true;
}

bool PskReporter::StartReporter() {
  if (!BindReporter()) return false;
  reporterReady_ = api_.initialize(nullptr, nullptr) == 0;
  if (!reporterReady_) Log("PSK Reporter library refused its initialisation");
  return reporterReady_;
}

void PskReporter::SetReporterStation(const std::string& callsign, const std::string& locator,
                                     const std::string& version) {
  if (callsign.empty() || locator.empty() || version.empty()) {
    reporterReady_ = false;
    return;
  }
  localInformation_ = StationRecord(callsign, locator, version);
  localText_ = ReporterText(localInformation_);
}

void PskReporter::ChooseReportedStation(const Settings& s, const std::string& version) {
  if (s.pskSwl) {
    if (s.pskId.size() >= 3 && IsValidGrid(s.grid)) SetReporterStation(s.pskId, s.grid, version);
  } else if (IsValidCall(s.call) && IsValidGrid(s.grid)) {
    SetReporterStation(s.call, s.grid, version);
  }
}

bool PskReporter::SpotDecode(const std::string& callsign, const std::string& modeChar,
                             const std::string& frequency, const std::string& snr,
                             const std::string& locator, uint32_t heardAt) {
  if (callsign.empty() || modeChar.empty() || frequency.empty() || snr.empty() || locator.empty() ||
      localInformation_.empty() || !bound_) {
    return false;
  }
  const std::u16string remote =
      ReporterText(SpotRecord(callsign, modeChar, frequency, snr, locator, heardAt));
  if (api_.seenCallsign(remote.c_str(), localText_.c_str(), kSourceAutomatic) != 0) return false;
  TickleReporter();
  return true;
}

bool PskReporter::TickleReporter() {
  if (!bound_ || api_.tickle() != 0) return false;
  lastTickle_ = clock_.Now();
  return true;
}

void PskReporter::ShutdownReporter() {
  if (reporterReady_ && bound_) api_.uninitialize();
  reporterReady_ = false;
  pskActive_ = false;
  bound_ = false;
  api_ = ReporterApi{};
  library_.Release();
  localInformation_.clear();
  localText_.clear();
}

}  // namespace merivac
