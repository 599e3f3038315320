// Sequencing.h - advancing a contact from a double-clicked decode line.
//
// A double-click on a decode (or TX) line selects the DX station, takes its
// audio frequency and report from the line, picks the next standard message
// (auto-sequencing), puts the transmission into the other cycle of the pair,
// follows the line's sub-mode, shows the distance and may enable TX. The DX
// call field with its country label and the Log button belong here too.
//
// Lines have the columns of the decode windows: time 1-4, report 6-8, audio
// frequency 15-18, mode character 20, message from 23 (1-based).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qso/Frequencies.h"
#include "qso/MessageGen.h"
#include "qso/QsoServices.h"

namespace merivac {

constexpr std::string_view kNoMessageResult = "Could not generate message";

// The first word, the second word and the rest of a line's message. A
// one-word message leaves both words empty and the word in the rest; a
// two-word message leaves the second word empty and that word in the rest.
struct MessageWords {
  std::string first;
  std::string second;
  std::string rest;
};
MessageWords SplitMessage(std::string_view line);

// The grid at the end of a line or message (its last four characters when
// they pass IsValidLocator), empty when there is none.
std::string GridOfMessage(std::string_view text);

// "≈" and the distance rounded down to 100 km, e.g. "≈5300km"; empty for a
// negative distance.
std::string DistanceLabelText(int km);

// Where the hint window goes: the double-clicked decode window's top-left
// corner in screen coordinates.
struct HintAnchor {
  int x = 0;
  int y = 0;
};

class Sequencer {
 public:
  Sequencer(const QsoContext& ctx, Frequencies& freqs, MessageGenerator& messages)
      : ctx_(ctx), freqs_(freqs), messages_(messages) {}

  // The double-click handler of both decode windows: the selected word and
  // the caret's line as the window has them after its own double-click
  // handling, and the window's corner for the hint.
  void SelectFromDecode(const std::string& word, const std::string& line, HintAnchor anchor);

  // Picks and generates the reply to a line: "OK", a failure text of the
  // message generator, or "Could not generate message".
  std::string AutoReply(const std::string& line);

  // The line's frequency into RX (and TX unless "Hold TX Freq"); returns it, 0 when unreadable.
  int TakeRxFreq(const std::string& line);
  // The line's report into LastReport and the report field; -99 when unreadable.
  int TakeReport(const std::string& line);
  // Follows the line's mode (appending the warning to warnings) and returns
  // the line's position in its cycle pair (0 = first cycle), 255 when the
  // line carries no readable minute.
  int CheckCycleAndMode(const std::string& line, std::string& warnings);
  // The distance label for a line ending in a grid.
  void ShowDistance(const std::string& line);
  // With ENTX on: enables TX (the automatic way) and restarts the watchdog.
  void EnableTxAfterSelect();

  // The DX call field changed; the window passes the text and its caret and
  // gets the cleaned caret back (blanks removed, upper case).
  int DxCallEditChange(const std::string& text, int caret);
  // The program puts a call into the DX call field.
  void SetDxCall(const std::string& call);
  void LogButtonClick();

  // -99 until the first report is taken from a line.
  int LastReport() const { return lastReport_; }

 private:
  std::string ShortOrGridReply();

  QsoContext ctx_;
  Frequencies& freqs_;
  MessageGenerator& messages_;
  int16_t lastReport_ = -99;
};

// The QSO rules of the main window, wired together once by the program.
class QsoOperation {
 public:
  explicit QsoOperation(const QsoContext& ctx)
      : freqs(ctx), messages(ctx), sequencer(ctx, freqs, messages), ctx_(ctx) {}

  // The QSO part of start-up, after the settings are read: button captions
  // for the format, the report field empty (and red), the frequency limits,
  // the "TX 1st cycle" box, and the panel's availability.
  void StartUp() {
    messages.ShortQSOBoxChange(ctx_.settings.shortQso);
    freqs.WriteReport("");
    freqs.ApplyFreqLimits();
    ctx_.controls.SetChecked(Ctl::TxFirstBox, ctx_.cycle.TxFirst());
    UpdateQsoAvailability(ctx_.settings, ctx_.controls);
  }

  Frequencies freqs;
  MessageGenerator messages;
  Sequencer sequencer;

 private:
  QsoContext ctx_;
};

}  // namespace merivac
