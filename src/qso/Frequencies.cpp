// Frequencies.cpp - frequency limits, field commits and the report arrows.
#include "qso/Frequencies.h"

#include <algorithm>

#include "qso/CallRules.h"

namespace merivac {
namespace {

constexpr Rgb kNormal = colors::kInfoBackground;
constexpr Rgb kRedField = FromBgr(0x0000FF);
constexpr Rgb kPending = colors::kPendingEdit;

uint16_t ClampFreq(int value, uint16_t low, uint16_t high) {
  if (value > high) value = high;
  if (value < low) value = low;
  return static_cast<uint16_t>(value);
}

// A field's text as a frequency value; digits only in practice, so anything
// unreadable or negative reads as 0.
int FieldValue(const std::string& text) {
  const int v = ReadIntegerOr(text, 0);
  return v < 0 ? 0 : v;
}

}  // namespace

FrequencyLimits ComputeFreqLimits(uint32_t mode, bool discardTxLimits, bool discardRxLimits) {
  FrequencyLimits l;
  uint16_t high = 1400, rxDiscarded = 4985;
  switch (mode) {
    case 2:
      rxDiscarded = 2240;
      break;
    case 5:
      high = rxDiscarded = 840;
      break;
    case 10:
      high = rxDiscarded = 415;
      break;
    default:
      break;
  }
  l.txHigh = discardTxLimits ? 4985 : high;
  l.txLow = discardTxLimits ? 100 : 200;
  l.rxHigh = discardRxLimits ? rxDiscarded : high;
  l.rxLow = discardRxLimits ? 100 : 200;
  return l;
}

std::string LimitsHint(uint16_t low, uint16_t high) {
  return std::to_string(low) + " .. " + std::to_string(high);
}

void Frequencies::SetNormal(Ctl c) { ctx_.controls.SetColor(c, kNormal); }

void Frequencies::ApplyFreqLimits() {
  Settings& s = ctx_.settings;
  limits_ = ComputeFreqLimits(s.mode, s.discardTxLimits, s.discardRxLimits);
  s.txFreq = ClampFreq(s.txFreq, limits_.txLow, limits_.txHigh);
  s.rxFreq = ClampFreq(s.rxFreq, limits_.rxLow, limits_.rxHigh);
  ctx_.controls.SetHint(Ctl::TxEdit, LimitsHint(limits_.txLow, limits_.txHigh));
  ctx_.controls.SetHint(Ctl::RxEdit, LimitsHint(limits_.rxLow, limits_.rxHigh));
  // Two writes, so that the field sees a change even when its text was
  // already the frequency.
  const uint16_t tx = s.txFreq, rx = s.rxFreq;
  WriteTxEdit(std::to_string(tx + 1));
  WriteTxEdit(std::to_string(tx));
  SetNormal(Ctl::TxEdit);
  WriteRxEdit(std::to_string(rx + 1));
  WriteRxEdit(std::to_string(rx));
  SetNormal(Ctl::RxEdit);
}

void Frequencies::CommitTxFreq() {
  ctx_.settings.txFreq = ClampFreq(FieldValue(ctx_.controls.Text(Ctl::TxEdit)), 0, 65535);
  ApplyFreqLimits();
  ctx_.markers.DrawMarkers();
}

void Frequencies::CommitRxFreq() {
  ctx_.settings.rxFreq = ClampFreq(FieldValue(ctx_.controls.Text(Ctl::RxEdit)), 0, 65535);
  ApplyFreqLimits();
  ctx_.markers.DrawMarkers();
}

void Frequencies::TxEditChange(const std::string& text) { WriteTxEdit(text); }
void Frequencies::RxEditChange(const std::string& text) { WriteRxEdit(text); }
void Frequencies::QrgEditChange(const std::string& text) { WriteQrgEdit(text); }
void Frequencies::dBEditChange(const std::string& text) { WriteReport(text); }

void Frequencies::WriteTxEdit(const std::string& text) {
  ctx_.controls.SetText(Ctl::TxEdit, text);
  // While transmitting the field is locked; a write then leaves its colour
  // and pending state alone.
  if (ctx_.cycle.Transmitting()) return;
  const int v = FieldValue(text);
  const bool out = v > limits_.txHigh || v < limits_.txLow;
  ctx_.controls.SetColor(Ctl::TxEdit, out ? kRedField : kPending);
  txEditTime_ = ctx_.clock.Now();
}

void Frequencies::WriteRxEdit(const std::string& text) {
  ctx_.controls.SetText(Ctl::RxEdit, text);
  const int v = FieldValue(text);
  const bool out = v > limits_.rxHigh || v < limits_.rxLow;
  ctx_.controls.SetColor(Ctl::RxEdit, out ? kRedField : kPending);
  rxEditTime_ = ctx_.clock.Now();
}

void Frequencies::WriteQrgEdit(const std::string& text) {
  ctx_.controls.SetText(Ctl::QrgEdit, text);
  ctx_.controls.SetColor(Ctl::QrgEdit, text.empty() ? kRedField : kPending);
  qrgEditTime_ = ctx_.clock.Now();
}

void Frequencies::WriteReport(const std::string& text) {
  ctx_.controls.SetText(Ctl::dBEdit, text);
  ctx_.controls.SetColor(Ctl::dBEdit, ReadInteger(text) ? kNormal : kRedField);
}

// Leaving a frequency field commits it; the other field loses its pending
// colour as its value is rewritten by the commit anyway.
void Frequencies::LeaveFreqField(Ctl field) {
  const bool tx = field == Ctl::TxEdit;
  if (tx) {
    CommitTxFreq();
  } else {
    CommitRxFreq();
  }
  ctx_.markers.DrawMarkers();
  SetNormal(field);
  const Ctl other = tx ? Ctl::RxEdit : Ctl::TxEdit;
  if (ctx_.controls.Get(other).color == kPending) SetNormal(other);
  (tx ? txEditTime_ : rxEditTime_) = 0;
}

void Frequencies::TxEditExit() {
  if (focused_ != Ctl::TxEdit) return;
  focused_ = Ctl::DefocusEdit;
  LeaveFreqField(Ctl::TxEdit);
}

void Frequencies::RxEditExit() {
  if (focused_ != Ctl::RxEdit) return;
  focused_ = Ctl::DefocusEdit;
  LeaveFreqField(Ctl::RxEdit);
}

// The dial value is taken unless the field is red (empty); 0 is no dial
// frequency and stays red.
void Frequencies::CommitDial() {
  if (ctx_.controls.Get(Ctl::QrgEdit).color != kRedField) {
    const int v = FieldValue(ctx_.controls.Text(Ctl::QrgEdit));
    ctx_.settings.dialFreq = static_cast<uint32_t>(v);
    ctx_.controls.SetColor(Ctl::QrgEdit, v == 0 ? kRedField : kNormal);
  }
  qrgEditTime_ = 0;
}

void Frequencies::QrgEditExit() {
  if (focused_ != Ctl::QrgEdit) return;
  focused_ = Ctl::DefocusEdit;
  CommitDial();
}

// Moving the focus to DefocusEdit leaves whichever of the three fields had it.
void Frequencies::Defocus() {
  switch (focused_) {
    case Ctl::TxEdit:
      TxEditExit();
      break;
    case Ctl::RxEdit:
      RxEditExit();
      break;
    case Ctl::QrgEdit:
      QrgEditExit();
      break;
    default:
      break;
  }
  ctx_.focus.MoveFocusToDefocusEdit();
}

void Frequencies::TxEditReturn() { Defocus(); }
void Frequencies::RxEditReturn() { Defocus(); }
void Frequencies::QrgEditReturn() { Defocus(); }

void Frequencies::TxUpDownClick(bool up) {
  const int v = ReadIntegerOr(ctx_.controls.Text(Ctl::TxEdit), 1500) + (up ? 1 : -1);
  WriteTxEdit(std::to_string(v));
  CommitTxFreq();
  ctx_.markers.DrawMarkers();
  SetNormal(Ctl::TxEdit);
  if (ctx_.controls.Get(Ctl::RxEdit).color == kPending) SetNormal(Ctl::RxEdit);
}

void Frequencies::RxUpDownClick(bool up) {
  const int v = ReadIntegerOr(ctx_.controls.Text(Ctl::RxEdit), 1500) + (up ? 1 : -1);
  WriteRxEdit(std::to_string(v));
  CommitRxFreq();
  ctx_.markers.DrawMarkers();
  SetNormal(Ctl::RxEdit);
  if (ctx_.controls.Get(Ctl::TxEdit).color == kPending) SetNormal(Ctl::TxEdit);
}

void Frequencies::TxRxButtonClick() {
  Settings& s = ctx_.settings;
  if (s.rxFreq < limits_.txLow || s.rxFreq > limits_.txHigh) return;
  s.txFreq = s.rxFreq;
  WriteTxEdit(std::to_string(s.txFreq));
  ctx_.markers.DrawMarkers();
  SetNormal(Ctl::TxEdit);
}

void Frequencies::RxTxButtonClick() {
  Settings& s = ctx_.settings;
  if (s.txFreq < limits_.rxLow || s.txFreq > limits_.rxHigh) return;
  s.rxFreq = s.txFreq;
  WriteRxEdit(std::to_string(s.rxFreq));
  ctx_.markers.DrawMarkers();
  SetNormal(Ctl::RxEdit);
}

void Frequencies::dBUpDownClick(bool up) {
  int v = ReadIntegerOr(ctx_.controls.Text(Ctl::dBEdit), -20) + (up ? 1 : -1);
  v = std::clamp(v, -50, 49);
  WriteReport(std::to_string(v));
}

void Frequencies::CommitPendingFreq(Ctl field) {
  if (ctx_.controls.Get(field).color == kPending) {
    if (field == Ctl::TxEdit) {
      CommitTxFreq();
    } else {
      CommitRxFreq();
    }
    ctx_.markers.DrawMarkers();
    SetNormal(field);
  }
  (field == Ctl::TxEdit ? txEditTime_ : rxEditTime_) = 0;
  // A field that still has the focus is thereby left: a red value is then
  // committed and clamped.
  Defocus();
}

void Frequencies::CommitPendingTx() { CommitPendingFreq(Ctl::TxEdit); }
void Frequencies::CommitPendingRx() { CommitPendingFreq(Ctl::RxEdit); }

void Frequencies::CommitPendingQrg() {
  CommitDial();
  Defocus();
}

void Frequencies::CommitPendingEdits(double tickStart) {
  constexpr double kDelay = kPendingEditSeconds / kSecondsPerDay;
  auto due = [&](double t) { return t != 0 && t < tickStart - kDelay; };
  if (due(qrgEditTime_)) CommitPendingQrg();
  if (due(txEditTime_)) CommitPendingTx();
  if (due(rxEditTime_)) CommitPendingRx();
}

void Frequencies::ClearPendingColours() {
  for (Ctl c : {Ctl::TxEdit, Ctl::RxEdit}) {
    if (ctx_.controls.Get(c).color == kPending) SetNormal(c);
  }
}

}  // namespace merivac
