// MessageGen.cpp - message forms, the QSO panel's buttons and the free message.
#include "qso/MessageGen.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "qso/CallRules.h"

namespace merivac {
namespace {

constexpr std::array<const char*, kCqVariantCount> kCqWords = {"CQ",    "CQ DX", "CQ AF", "CQ AS",
                                                               "CQ EU", "CQ NA", "CQ OC", "CQ SA"};

// One message button: its captions and forms in the normal and short format
// (-1 and an empty caption: hidden in that format).
struct ButtonForm {
  Ctl button;
  const char* normalCaption;
  int normalIndex;
  const char* shortCaption;
  int shortIndex;
};

// CqS1Button's caption and form come from the CQ variant.
constexpr std::array<ButtonForm, 5> kButtons = {{
    {Ctl::CqS2Button, "dB", 9, "R+dB", 10},
    {Ctl::CqS3Button, "RRR", 11, "73", 12},
    {Ctl::AnS1Button, "Grid", 8, "dB", 9},
    {Ctl::AnS2Button, "R+dB", 10, "RRR", 11},
    {Ctl::AnS3Button, "73", 12, "", -1},
}};

bool IsFreeMsgChar(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view(" -+<>.?/@#").find(c) != std::string_view::npos;
}

}  // namespace

std::string OwnGrid4(const Settings& settings) { return settings.grid.substr(0, 4); }

bool StationIsComplete(const Settings& settings) {
  return IsValidCall(settings.call) && IsValidGrid(OwnGrid4(settings));
}

void UpdateQsoAvailability(const Settings& settings, MainControls& controls) {
  const bool ok = StationIsComplete(settings);
  controls.SetEnabled(Ctl::QSOPanel, ok);
  controls.SetEnabled(Ctl::EnableTxButton, ok);
}

std::string CqCaption(int variant) {
  if (variant < 0 || variant >= kCqVariantCount) return {};
  return kCqWords[variant];
}

char FreeMsgKeyFilter(char key) {
  if (key == '\b') return key;
  const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(key)));
  return IsFreeMsgChar(c) ? c : 0;
}

std::string FilterFreeMessage(std::string_view text) {
  std::string out;
  for (char key : text) {
    const char c = FreeMsgKeyFilter(key);
    if (c != 0 && c != '\b' && out.size() < kFreeMsgMaxLength) out.push_back(c);
  }
  return out;
}

std::string MessageGenerator::GenerateMessage(int index) {
  const Settings& s = ctx_.settings;
  if (index < 0 || index >= kMessageFormCount) return "Could not generate message";
  if (!IsValidCall(s.call)) return std::string(kCallFailure);
  const std::string grid = OwnGrid4(s);
  if (!IsValidGrid(grid)) return std::string(kGridFailure);

  const std::string dx = Trim(ctx_.controls.Text(Ctl::DxCallEdit));
  const std::string report = Trim(ctx_.controls.Text(Ctl::dBEdit));
  const bool dxValid = IsValidCall(dx);
  const bool reportValid = IsValidReport(report);

  std::string message;
  if (index < kCqVariantCount) {
    message = std::string(kCqWords[index]) + " " + s.call + " " + grid;
  } else if (index == 9 || index == 10) {
    // With both invalid the report failure is the one shown.
    if (!reportValid) return std::string(kReportFailure);
    if (!dxValid) return std::string(kDxCallFailure);
    message = dx + " " + s.call + (index == 9 ? " " : " R") + report;
  } else {
    if (!dxValid) return std::string(kDxCallFailure);
    const char* tail = index == 8 ? " " : (index == 11 ? " RRR" : " 73");
    message = dx + " " + s.call + tail + (index == 8 ? grid : "");
  }
  ctx_.controls.SetText(Ctl::GenMsgEdit, message);
  SelectGen(true);
  ctx_.log.Write("Message \"" + message + "\" created");
  return std::string(kOkResult);
}

int MessageGenerator::ButtonIndex(Ctl button) const {
  if (button == Ctl::CqS1Button) return cqVariant_;
  for (const ButtonForm& b : kButtons) {
    if (b.button == button) return ctx_.settings.shortQso ? b.shortIndex : b.normalIndex;
  }
  return -1;
}

void MessageGenerator::MessageButtonClick(Ctl button) {
  const int index = ButtonIndex(button);
  if (index < 0) return;
  const std::string result = GenerateMessage(index);
  if (result != kOkResult) {
    ctx_.ui.ShowMessageDialog(result, NoticeKind::Warning);
    return;
  }
  if (ctx_.cycle.TxEnabled() && ctx_.settings.watchdogMinutes > 0) ctx_.cycle.ResetWatchdog();
}

void MessageGenerator::CqUpDownClick() {
  const int position =
      std::clamp(ctx_.controls.Get(Ctl::CqUpDown).position, 0, kCqVariantCount - 1);
  cqVariant_ = kCqVariantCount - 1 - position;
  ctx_.controls.SetText(Ctl::CqS1Button, CqCaption(cqVariant_));
}

void MessageGenerator::ShortQSOBoxChange(bool checked) {
  ctx_.settings.shortQso = checked;
  ctx_.controls.SetChecked(Ctl::ShortQSOBox, checked);
  UpdateQsoCaptions();
}

void MessageGenerator::UpdateQsoCaptions() {
  const bool shortFormat = ctx_.settings.shortQso;
  ctx_.controls.SetText(Ctl::CqS1Button, CqCaption(cqVariant_));
  for (const ButtonForm& b : kButtons) {
    const char* caption = shortFormat ? b.shortCaption : b.normalCaption;
    const int index = shortFormat ? b.shortIndex : b.normalIndex;
    if (index >= 0) ctx_.controls.SetText(b.button, caption);
    ctx_.controls.SetVisible(b.button, index >= 0);
  }
}

void MessageGenerator::FreeMsgEditChange(const std::string& text) {
  ctx_.controls.SetText(Ctl::FreeMsgEdit, FilterFreeMessage(text));
}

void MessageGenerator::FreeMsgEditDblClick() { ctx_.controls.SetText(Ctl::FreeMsgEdit, ""); }

void MessageGenerator::GenMsgEditDblClick() { ctx_.controls.SetText(Ctl::GenMsgEdit, ""); }

void MessageGenerator::SelectGen(bool gen) {
  ctx_.controls.SetChecked(Ctl::GenMsgButton, gen);
  ctx_.controls.SetChecked(Ctl::FreeMsgButton, !gen);
}

std::string MessageGenerator::SelectedTxMessage() const {
  if (ctx_.controls.Checked(Ctl::FreeMsgButton)) return ctx_.controls.Text(Ctl::FreeMsgEdit);
  if (ctx_.controls.Checked(Ctl::GenMsgButton)) return ctx_.controls.Text(Ctl::GenMsgEdit);
  return {};
}

void MessageGenerator::AddToCounter(int delta) {
  counter_ += delta;
  ctx_.controls.SetText(Ctl::MainForm, std::to_string(counter_));
}

}  // namespace merivac
