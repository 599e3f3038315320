// Frequencies.h - the TX and RX audio frequencies with their limits, the
// dial frequency and the report field of the main window.
//
// The limits follow the mode and the two "discard limits" options. Typed
// values stay pending (light green, or red when out of range) until the
// field is left, Enter is pressed, or the main tick finds them older than
// 5 seconds; a commit clamps the value to the limits and rewrites the field.
// The frequencies themselves live in Settings (txFreq, rxFreq, dialFreq).
#pragma once

#include <cstdint>
#include <string>

#include "qso/QsoServices.h"

namespace merivac {

struct FrequencyLimits {
  uint16_t txLow = 400;
  uint16_t txHigh = 1400;
  uint16_t rxLow = 400;
  uint16_t rxHigh = 1400;
};

// The limits for a mode (1, 2, 5, 10) with or without the TX and RX limits
// discarded (settings TXLM, RXLM). An unknown mode gets the JT9-1 limits.
FrequencyLimits ComputeFreqLimits(uint32_t mode, bool discardTxLimits, bool discardRxLimits);

// The hint of a frequency field, e.g. "200 .. 1400".
std::string LimitsHint(uint16_t low, uint16_t high);

// Seconds after its last change at which a pending edit is committed.
constexpr double kPendingEditSeconds = 5.0;

class Frequencies {
 public:
  explicit Frequencies(const QsoContext& ctx) : ctx_(ctx) {}

  // The limits in force: 400 .. 1400 until the first ApplyFreqLimits.
  const FrequencyLimits& Limits() const { return limits_; }
  uint16_t RxLowLimit() const { return limits_.rxLow; }
  uint16_t RxHighLimit() const { return limits_.rxHigh; }
  uint16_t TxLowLimit() const { return limits_.txLow; }
  uint16_t TxHighLimit() const { return limits_.txHigh; }

  // Recomputes the limits, clamps both frequencies, sets the field hints and
  // rewrites both fields (frequency + 1, then the frequency, each a change).
  void ApplyFreqLimits();
  // The field's text becomes the frequency; then ApplyFreqLimits, DrawMarkers.
  void CommitTxFreq();
  void CommitRxFreq();

  // The operator changed a field's text (the window forwards edits only,
  // not its own mirroring of the model).
  void TxEditChange(const std::string& text);
  void RxEditChange(const std::string& text);
  void QrgEditChange(const std::string& text);
  void dBEditChange(const std::string& text);
  // The program writes a field: the text, then the field's change rule.
  void WriteTxEdit(const std::string& text);
  void WriteRxEdit(const std::string& text);
  void WriteQrgEdit(const std::string& text);
  void WriteReport(const std::string& text);

  // Focus in and out of the three fields; Enter leaves the field and moves
  // the focus to DefocusEdit. A leave handler acts only on the focused field.
  void TxEditEnter() { focused_ = Ctl::TxEdit; }
  void RxEditEnter() { focused_ = Ctl::RxEdit; }
  void QrgEditEnter() { focused_ = Ctl::QrgEdit; }
  void TxEditExit();
  void RxEditExit();
  void QrgEditExit();
  void TxEditReturn();
  void RxEditReturn();
  void QrgEditReturn();
  // The field that has the focus, DefocusEdit when none of the three has it.
  Ctl FocusedField() const { return focused_; }

  // Arrows and copy buttons.
  void TxUpDownClick(bool up);
  void RxUpDownClick(bool up);
  void TxRxButtonClick();  // TX <- RX
  void RxTxButtonClick();  // RX <- TX
  void dBUpDownClick(bool up);

  // Pending edits: the time of the field's last change (a day count, 0 = no
  // pending edit) and the commit the main tick runs once that time lies
  // more than 5 s before the tick's start.
  double TxEditTime() const { return txEditTime_; }
  double RxEditTime() const { return rxEditTime_; }
  double QrgEditTime() const { return qrgEditTime_; }
  void CommitPendingTx();
  void CommitPendingRx();
  void CommitPendingQrg();
  // All three checks of the tick, with the tick's start time.
  void CommitPendingEdits(double tickStart);

  // Normal background for TX and RX when they show the pending colour.
  void ClearPendingColours();

 private:
  void SetNormal(Ctl c);
  void LeaveFreqField(Ctl field);
  void CommitPendingFreq(Ctl field);
  void CommitDial();
  void Defocus();

  QsoContext ctx_;
  FrequencyLimits limits_{};
  double txEditTime_ = 0;
  double rxEditTime_ = 0;
  double qrgEditTime_ = 0;
  Ctl focused_ = Ctl::DefocusEdit;
};

}  // namespace merivac
