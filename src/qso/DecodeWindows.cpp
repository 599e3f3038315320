// DecodeWindows.cpp - display lines, colours, routing and the decoded file.
#include "qso/DecodeWindows.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "common/Clock.h"
#include "common/DateTime.h"
#include "common/Mode.h"
#include "common/Settings.h"
#include "common/UiServices.h"

namespace merivac {

namespace {

std::string PadLeft(std::string s, size_t width) {
  if (s.size() < width) s.insert(0, width - s.size(), ' ');
  return s;
}

// Overwrites positions [pos, pos + text.size()) (0-based), growing the line
// with blanks when it is shorter.
void Place(std::string& line, size_t pos, const std::string& text) {
  if (line.size() < pos + text.size()) line.resize(pos + text.size(), ' ');
  line.replace(pos, text.size(), text);
}

std::string OneDecimal(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s == "-0.0") s = "0.0";
  return s;
}

std::string ModeColumn(uint32_t mode) { return std::string(" ") + ModeChar(mode) + "  "; }

}  // namespace

std::string FormatDecodeLine(const tJT9_Msg& record) {
  std::string line = record.RawLine;
  std::string snr = std::to_string(static_cast<int>(record.Snr));
  if (record.Snr > 0) snr.insert(0, "+");
  Place(line, 5, PadLeft(snr, 3).substr(0, 3));
  Place(line, 9, PadLeft(OneDecimal(record.PassShift), 4).substr(0, 4));
  Place(line, 14, PadLeft(std::to_string(record.AudioFreq), 4).substr(0, 4));
  Place(line, 19, std::string(1, record.ModeChar));
  return line;
}

Rgb DecodeLineBackground(const std::string& line, const std::string& ownCall, bool highlighted) {
  if (highlighted) return decodecolors::kAlert;
  Rgb bg = decodecolors::kDefault;
  if (line.find(" CQ ") != std::string::npos) bg = decodecolors::kCq;
  if (line.find(" " + ownCall + " ") != std::string::npos) bg = decodecolors::kOwnCall;
  if (line.find("[TX]") != std::string::npos) bg = decodecolors::kTx;
  return bg;
}

void AddColoredLine(MemoModel& window, const std::string& text, Rgb textColor, Rgb background) {
  window.Append(MemoLine{text, textColor, background});
}

void AddDecodeLine(MemoModel& window, const std::string& line, const std::string& ownCall,
                   bool highlighted) {
  AddColoredLine(window, line, colors::kBlack, DecodeLineBackground(line, ownCall, highlighted));
}

bool IsRxFrequencyDecode(uint16_t audioFreq, uint16_t rxFreq, uint32_t mode) {
  if (!IsValidMode(mode)) return false;
  const int diff = std::abs(static_cast<int>(audioFreq) - static_cast<int>(rxFreq));
  return diff <= 8.0 / static_cast<double>(mode);
}

std::string TxLine(double utcNow, uint32_t mode, uint16_t txFreq, const std::string& txMessage) {
  const double start = utcNow - (static_cast<double>(mode) - 1.0) / kMinutesPerDay;
  std::string line = FormatDateTime("hhnn", start) + " [TX]     " +
                     PadLeft(std::to_string(txFreq), 4) + ModeColumn(mode) + txMessage;
  if (line.size() < 44) line.resize(44, ' ');
  return line;
}

std::string HoverHintText(bool multiDecode) {
  const std::string common =
      "Double-click on a call to select the DX call.\r\nThe RX frequency and report will be "
      "retrieved (if available).";
  return multiDecode ? "Click to stop decoding.\r\n" + common : common;
}

std::string DecodedFileLine(double localNow, uint32_t mode, const std::string& line) {
  const double start = localNow - (static_cast<double>(mode) - 1.0) / kMinutesPerDay;
  return FormatDateTime("yy-mm-dd hh:nn", start) + " " + line + "\r\n";
}

DecodeWindows::DecodeWindows(const Settings& settings, const Clock& clock, UiServices& ui)
    : settings_(settings), clock_(clock), ui_(ui) {
  UpdateHoverHint();
}

DecodeWindows::~DecodeWindows() { CloseDecodedFile(); }

void DecodeWindows::AddDecodeLine(MemoModel& window, const std::string& line, bool highlighted) {
  merivac::AddDecodeLine(window, line, settings_.call, highlighted);
}

void DecodeWindows::AddTxLine(const std::string& txMessage, uint16_t txFreq) {
  const double utcNow = clock_.Now() - settings_.utcOffsetHours / 24.0;
  AddDecodeLine(rx_, TxLine(utcNow, settings_.mode, txFreq, txMessage), false);
}

void DecodeWindows::EraseButtonClick() {
  const double now = clock_.Now();
  if (now - eraseTime_ < kEraseDoubleClickDays) {
    band_.Clear();
    eraseTime_ = 0;
  } else {
    rx_.Clear();
    eraseTime_ = now;
  }
}

void DecodeWindows::MemoMouseEnter(int mainLeft, int mainTop, int memoLeft, int memoTop) {
  ui_.ShowHintText(hoverHint_, mainLeft + memoLeft, mainTop + memoTop - 10, "");
}

void DecodeWindows::MemoMouseLeave() { ui_.HideHintText(); }

void DecodeWindows::UpdateHoverHint() { hoverHint_ = HoverHintText(settings_.multiDecode); }

bool DecodeWindows::OpenDecodedFile(const std::string& folder) {
  CloseDecodedFile();
  const auto path = std::filesystem::path(folder) / "extra" / "decoded.txt";
  decodedFile_ = std::fopen(path.c_str(), "ab");
  return decodedFile_ != nullptr;
}

void DecodeWindows::CloseDecodedFile() {
  if (decodedFile_ != nullptr) std::fclose(decodedFile_);
  decodedFile_ = nullptr;
}

void DecodeWindows::WriteDecodedFile(const std::string& line) {
  if (decodedFile_ == nullptr) return;
  const std::string text = DecodedFileLine(clock_.Now(), settings_.mode, line);
  std::fwrite(text.data(), 1, text.size(), decodedFile_);
  std::fflush(decodedFile_);
  std::clearerr(decodedFile_);
}

}  // namespace merivac
