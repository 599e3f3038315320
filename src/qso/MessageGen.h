// MessageGen.h - the standard messages of a JT9 contact and the QSO panel.
//
// Thirteen message forms (eight CQ variants, grid, report, roger-report,
// RRR, 73) built from the own call, the own 4-character grid, the DX call
// field and the report field; six buttons build them in the normal or the
// short contact format; a free message can be typed instead. The generated
// message goes to GenMsgEdit and selects "Gen"; the transmit cycle takes
// whichever of the two fields is selected.
#pragma once

#include <string>
#include <string_view>

#include "qso/QsoServices.h"

namespace merivac {

constexpr int kMessageFormCount = 13;
constexpr int kCqVariantCount = 8;
constexpr size_t kFreeMsgMaxLength = 13;

constexpr std::string_view kOkResult = "OK";
constexpr std::string_view kCallFailure =
    "Could not generate message: station callsign is not valid or missing";
constexpr std::string_view kGridFailure =
    "Could not generate message: station grid is not valid or missing";
constexpr std::string_view kDxCallFailure =
    "Could not generate message: DX call is not valid or missing";
constexpr std::string_view kReportFailure =
    "Could not generate message: report is not valid or missing";

// The own grid as used in messages: the first four characters of GRID.
std::string OwnGrid4(const Settings& settings);

// Own call and 4-character grid both valid: the QSO panel and the Enable TX
// button are usable.
bool StationIsComplete(const Settings& settings);

// Enables QSOPanel and EnableTxButton exactly when the station is complete;
// at start-up and after the Station dialog closes.
void UpdateQsoAvailability(const Settings& settings, MainControls& controls);

// The caption of CqS1Button for a CQ variant (0 "CQ" ... 7 "CQ SA").
std::string CqCaption(int variant);

// A typed character of the free message: upper-cased, or 0 when it is not
// allowed (A-Z, 0-9, blank, - + < > . ? / @ # and backspace are).
char FreeMsgKeyFilter(char key);

// The same filter over a whole text (pasted or set), cut to 13 characters.
std::string FilterFreeMessage(std::string_view text);

class MessageGenerator {
 public:
  explicit MessageGenerator(const QsoContext& ctx) : ctx_(ctx) {}

  // Builds message form 0..12; "OK" or one of the failure texts above. On
  // "OK" the message is in GenMsgEdit, "Gen" is selected and the debug log
  // has a line for it; on failure nothing changes.
  std::string GenerateMessage(int index);

  // The message form a button builds in the current format, -1 for none
  // (AnS3Button in the short format, or a control that is no message button).
  int ButtonIndex(Ctl button) const;

  // The six message buttons: generate; a failure is shown as a WARNING
  // dialog; a success with TX enabled and a watchdog restarts the watchdog.
  void MessageButtonClick(Ctl button);
  void CqS1ButtonClick() { MessageButtonClick(Ctl::CqS1Button); }
  void CqS2ButtonClick() { MessageButtonClick(Ctl::CqS2Button); }
  void CqS3ButtonClick() { MessageButtonClick(Ctl::CqS3Button); }
  void AnS1ButtonClick() { MessageButtonClick(Ctl::AnS1Button); }
  void AnS2ButtonClick() { MessageButtonClick(Ctl::AnS2Button); }
  void AnS3ButtonClick() { MessageButtonClick(Ctl::AnS3Button); }

  // The CQ arrows were clicked: the arrows have already moved their own
  // position (7, the top, is plain "CQ"; 0 is "CQ SA"; no wrap); the variant
  // and CqS1Button's caption follow it.
  void CqUpDownClick();
  int CqVariant() const { return cqVariant_; }

  // The short QSO format box: stores the setting and applies the captions.
  void ShortQSOBoxChange(bool checked);
  // Button captions and the visibility of AnS3Button for the current format.
  void UpdateQsoCaptions();

  // The free message field: the window forwards typed keys through
  // FreeMsgKeyFilter and the resulting text here (filtered once more).
  void FreeMsgEditChange(const std::string& text);
  void FreeMsgEditDblClick();
  void GenMsgEditDblClick();

  // The "Gen" and "Free" choices.
  void GenMsgButtonClick() { SelectGen(true); }
  void FreeMsgButtonClick() { SelectGen(false); }
  // What the next transmission sends: the selected field's text as shown
  // (empty: nothing is sent).
  std::string SelectedTxMessage() const;

  // The "Call CQ" and "Answer CQ" labels change a counter shown as the main
  // window's caption (a double-click delivers its click first).
  void Label8Click() { AddToCounter(1); }
  void Label8DblClick() { AddToCounter(9); }
  void Label9Click() { AddToCounter(-1); }
  void Label9DblClick() { AddToCounter(-9); }
  int CaptionCounter() const { return counter_; }

 private:
  void SelectGen(bool gen);
  void AddToCounter(int delta);

  QsoContext ctx_;
  int cqVariant_ = 0;
  int counter_ = 100;
};

}  // namespace merivac
