// DecodeWindows.h - the rules of the two decode windows, "Band Activity"
// (BandMemo) and "RX Frequency" (RxMemo).
//
// The display line of a decode, the background colours, which decodes go to
// the RX Frequency window, the line of an own transmission, the Erase
// button, the hover hint, the click that stops decoding, and the
// decoded-messages file extra/decoded.txt. The lines live in two MemoModels
// that the Qt main window mirrors; its handlers call the functions here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/Jt9Msg.h"
#include "common/MemoModel.h"
#include "common/Rgb.h"

namespace merivac {

class Clock;
class UiServices;
struct Settings;

namespace decodecolors {
constexpr Rgb kAlert = FromBgr(0x00AFFF);    // orange: marked by the alert check
constexpr Rgb kDefault = FromBgr(0xFFFFFF);  // white
constexpr Rgb kCq = FromBgr(0x66FF66);       // light green: " CQ "
constexpr Rgb kOwnCall = FromBgr(0x6666FF);  // light red: " <own call> "
constexpr Rgb kTx = FromBgr(0x00FFFF);       // yellow: "[TX]"
}  // namespace decodecolors

constexpr const char* kDecodeColumnHeader = "UTC   dB  DT  Freq M  Message";
constexpr const char* kEraseButtonHint =
    "Click to clear RX Frequency window\r\nDouble-click to clear Band Activity window";
// Two Erase clicks closer than this (in days, 0.432 s) clear both windows.
constexpr double kEraseDoubleClickDays = 5e-6;

// The display line of a decode: the decoder's line with Snr, PassShift,
// AudioFreq and ModeChar written into their columns.
std::string FormatDecodeLine(const tJT9_Msg& record);

// Background of a line: orange when highlighted, else white turned light
// green by " CQ ", light red by the own call between blanks, yellow by
// "[TX]", later tests winning.
Rgb DecodeLineBackground(const std::string& line, const std::string& ownCall, bool highlighted);

// Appends text as a new last line with its own colours.
void AddColoredLine(MemoModel& window, const std::string& text, Rgb textColor, Rgb background);

// Appends a decode (or TX) line in black on the background of the colour rules.
void AddDecodeLine(MemoModel& window, const std::string& line, const std::string& ownCall,
                   bool highlighted);

// A decode belongs in the RX Frequency window when it lies within 8 / mode Hz
// of the RX frequency.
bool IsRxFrequencyDecode(uint16_t audioFreq, uint16_t rxFreq, uint32_t mode);

// The line of an own transmission, utcNow being taken in the cycle's last minute.
std::string TxLine(double utcNow, uint32_t mode, uint16_t txFreq, const std::string& txMessage);

// The hover hint of the two windows.
std::string HoverHintText(bool multiDecode);

// One line of decoded.txt: the cycle's start on the local clock
// "yy-mm-dd hh:nn", a blank, the display line, CR LF.
std::string DecodedFileLine(double localNow, uint32_t mode, const std::string& line);

// The state behind the two windows and their handlers.
class DecodeWindows {
 public:
  DecodeWindows(const Settings& settings, const Clock& clock, UiServices& ui);
  ~DecodeWindows();
  DecodeWindows(const DecodeWindows&) = delete;
  DecodeWindows& operator=(const DecodeWindows&) = delete;

  MemoModel& BandMemo() { return band_; }
  MemoModel& RxMemo() { return rx_; }

  // Set by a click on either window, cleared when a decoding starts.
  bool& StopDecoding() { return stopDecoding_; }

  // AddDecodeLine with the own call from the settings.
  void AddDecodeLine(MemoModel& window, const std::string& line, bool highlighted);
  // Adds the TX line of the transmission just ended to the RX Frequency window.
  void AddTxLine(const std::string& txMessage, uint16_t txFreq);

  // Handlers of the main window.
  void EraseButtonClick();
  void BandMemoClick() { stopDecoding_ = true; }
  void RxMemoClick() { stopDecoding_ = true; }
  // The window's position inside the main window and the main window's
  // screen position; the hint appears 10 pixels above the window's corner.
  void MemoMouseEnter(int mainLeft, int mainTop, int memoLeft, int memoTop);
  // Hides the hint; the Qt window also clears the window's selection.
  void MemoMouseLeave();
  // At start-up and whenever the Mode dialog closes.
  void UpdateHoverHint();
  const std::string& HoverHint() const { return hoverHint_; }
  double EraseTime() const { return eraseTime_; }

  // decoded.txt below folder/extra: opened for appending (created empty when
  // missing) whatever the options. Returns false when it cannot be opened.
  bool OpenDecodedFile(const std::string& folder);
  void CloseDecodedFile();
  // Appends one line and flushes; a failed write is ignored.
  void WriteDecodedFile(const std::string& line);

 private:
  const Settings& settings_;
  const Clock& clock_;
  UiServices& ui_;
  MemoModel band_;
  MemoModel rx_;
  bool stopDecoding_ = false;
  double eraseTime_ = 0;
  std::string hoverHint_;
  std::FILE* decodedFile_ = nullptr;
};

}  // namespace merivac
