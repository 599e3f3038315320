// Sequencing.cpp - DX selection, auto-reply, the DX call field and the Log button.
#include "qso/Sequencing.h"

#include "common/Mode.h"
#include "qso/CallRules.h"

namespace merivac {
namespace {

constexpr Rgb kNormal = colors::kInfoBackground;
constexpr Rgb kRedField = FromBgr(0x0000FF);
constexpr const char* kApprox = "\xE2\x89\x88";  // U+2248, UTF-8

// Characters start..start+length-1 (1-based) of a line, as far as it reaches.
std::string Column(std::string_view line, size_t start, size_t length) {
  if (start == 0 || start > line.size()) return {};
  return std::string(line.substr(start - 1, length));
}

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

void AppendLine(std::string& text, const std::string& line) {
  if (!text.empty()) text += "\r\n";
  text += line;
}

uint16_t AsFrequency(int value) {
  if (value < 0) return 0;
  return static_cast<uint16_t>(value > 65535 ? 65535 : value);
}

}  // namespace

MessageWords SplitMessage(std::string_view line) {
  MessageWords w;
  if (line.size() <= 22) return w;
  const std::string message = Trim(line.substr(22));
  const size_t blank = message.find(' ');
  if (blank == std::string::npos) {
    w.rest = message;
    return w;
  }
  w.first = message.substr(0, blank);
  w.rest = Trim(std::string_view(message).substr(blank + 1));
  const size_t blank2 = w.rest.find(' ');
  if (blank2 != std::string::npos) {
    w.second = w.rest.substr(0, blank2);
    w.rest = Trim(std::string_view(w.rest).substr(blank2 + 1));
  }
  return w;
}

std::string GridOfMessage(std::string_view text) {
  const std::string t = Trim(text);
  if (t.size() < 4) return {};
  const std::string last = t.substr(t.size() - 4);
  return IsValidLocator(last) ? last : std::string{};
}

std::string DistanceLabelText(int km) {
  if (km < 0) return {};
  return std::string(kApprox) + std::to_string(km / 100 * 100) + "km";
}

std::string Sequencer::ShortOrGridReply() {
  return messages_.GenerateMessage(ctx_.settings.shortQso ? 9 : 8);
}

std::string Sequencer::AutoReply(const std::string& line) {
  std::string result(kNoMessageResult);
  const MessageWords w = SplitMessage(line);
  if (w.first == "CQ") {
    // A directed CQ ("CQ DX K1ABC FN42") fails here: "DX" is no callsign.
    if (IsValidCall(w.second)) {
      SetDxCall(w.second);
      result = ShortOrGridReply();
      ShowDistance(line);
    }
    return result;
  }
  if (w.first != ctx_.settings.call || !IsValidCall(w.second)) return result;
  SetDxCall(w.second);
  if (w.rest.empty()) return result;
  int reply = -1;
  if (w.rest == "73") {
    reply = 12;
  } else if (IsValidGrid(w.rest)) {
    reply = 9;  // "RR73" reads as a grid as well
  } else if (w.rest == "RRR") {
    reply = 12;
  } else if (w.rest[0] == 'R') {
    reply = 11;
  } else if (ReadInteger(w.rest)) {
    reply = 10;
  }
  if (reply >= 0) result = messages_.GenerateMessage(reply);
  return result;
}

int Sequencer::TakeRxFreq(const std::string& line) {
  const int freq = ReadIntegerOr(Column(line, 15, 4), 0);
  if (freq != 0) {
    Settings& s = ctx_.settings;
    s.rxFreq = AsFrequency(freq);
    freqs_.WriteRxEdit(std::to_string(s.rxFreq));
    if (!s.holdTxFreq) {
      s.txFreq = AsFrequency(freq);
      freqs_.WriteTxEdit(std::to_string(s.txFreq));
    }
  }
  return freq;
}

int Sequencer::TakeReport(const std::string& line) {
  const int report = ReadIntegerOr(Column(line, 6, 3), -99);
  if (report > -99) {
    lastReport_ = static_cast<int16_t>(report);
    freqs_.WriteReport(std::to_string(report));
  } else {
    freqs_.WriteReport("");
  }
  return report;
}

int Sequencer::CheckCycleAndMode(const std::string& line, std::string& warnings) {
  const int minutes = ReadIntegerOr(Column(line, 3, 2), 60);
  if (minutes < 0 || minutes > 59) return 255;
  Settings& s = ctx_.settings;
  // The "X" of JT9-10 reads as 0, so a JT9-10 line never changes the mode.
  const int lineMode = ReadIntegerOr(WithoutBlanks(Column(line, 20, 2)), 0);
  if (lineMode > 0 && IsValidMode(static_cast<uint32_t>(lineMode)) &&
      static_cast<uint32_t>(lineMode) != s.mode) {
    AppendLine(warnings, "Warning: mode changed from JT9-" + std::to_string(s.mode) + " to JT9-" +
                             std::to_string(lineMode));
    s.mode = static_cast<uint32_t>(lineMode);
    ctx_.controls.SetText(Ctl::ModePanel, ModeName(s.mode));
    ctx_.cycle.ClearCycleFlags();
  }
  return minutes % static_cast<int>(2 * s.mode);
}

void Sequencer::ShowDistance(const std::string& line) {
  const std::string grid = GridOfMessage(line);
  const int km = grid.empty() ? -1 : GridDistance(ctx_.settings.grid, grid);
  ctx_.controls.SetText(Ctl::DxLabel, DistanceLabelText(km));
}

void Sequencer::EnableTxAfterSelect() {
  if (!ctx_.settings.enableTxAfterSelect) return;
  if (!ctx_.cycle.TxEnabled()) ctx_.cycle.EnableTxAutomatically();
  if (ctx_.cycle.TxEnabled() && ctx_.settings.watchdogMinutes > 0) ctx_.cycle.ResetWatchdog();
}

void Sequencer::SelectFromDecode(const std::string& selectedWord, const std::string& line,
                                 HintAnchor anchor) {
  ctx_.ui.HideHintText();
  std::string warnings, result;
  const std::string word = Trim(selectedWord);
  CycleControl& cycle = ctx_.cycle;

  if (lastReport_ == -99) TakeReport(line);
  result = AutoReply(line);
  if (result == kOkResult) {
    // The line asked for a reply: follow its frequency, report and cycle,
    // then build the reply again so that it carries the report just taken.
    TakeRxFreq(line);
    TakeReport(line);
    const int position = CheckCycleAndMode(line, warnings);
    cycle.SetTxFirst(position != 0);
    result = AutoReply(line);
  } else if (IsValidCall(word)) {
    SetDxCall(word);
    const MessageWords w = SplitMessage(line);
    const int position = CheckCycleAndMode(line, warnings);
    int report = -99;
    if (word == w.first) {
      // The called station: it transmits in the other cycle than the line.
      result = messages_.GenerateMessage(8);
      cycle.SetTxFirst(position == 0);
      ctx_.controls.SetText(Ctl::DxLabel, "");
    } else {
      report = TakeReport(line);
      const int freq = TakeRxFreq(line);
      result = ShortOrGridReply();
      cycle.SetTxFirst(position != 0);
      Settings& s = ctx_.settings;
      s.rxFreq = AsFrequency(freq);
      if (!s.holdTxFreq) s.txFreq = AsFrequency(freq);
      ShowDistance(line);
    }
    if (report == -99) {
      result = "Warning: no TX frequency or report available for " + word;
      messages_.GenerateMessage(8);
      freqs_.WriteReport("");
      EnableTxAfterSelect();
    }
  }
  if (result == kOkResult) {
    result.clear();
    EnableTxAfterSelect();
  }
  ctx_.controls.SetChecked(Ctl::TxFirstBox, cycle.TxFirst());
  if (!warnings.empty()) AppendLine(result, warnings);
  ctx_.ui.HideHintText();
  if (!result.empty()) ctx_.ui.ShowHintText(result, anchor.x, anchor.y, "");
  freqs_.ApplyFreqLimits();
  ctx_.markers.DrawMarkers();
  freqs_.ClearPendingColours();
}

int Sequencer::DxCallEditChange(const std::string& text, int caret) {
  const CleanedField f = CleanCallField(text, caret);
  MainControls& c = ctx_.controls;
  c.SetText(Ctl::DxCallEdit, f.text);
  const bool valid = IsValidCall(f.text);
  c.SetColor(Ctl::DxCallEdit, valid ? kNormal : kRedField);
  c.SetText(Ctl::DxLabel, "");
  if (valid) {
    StationLookup& st = ctx_.stations;
    const std::string entity = st.LookupEntity(f.text);
    const bool newCall = st.IsNewCall(f.text);
    const bool newEntity = !entity.empty() && st.IsNewEntity(entity);
    c.SetText(Ctl::DxccLabel, entity);
    c.SetEnabled(Ctl::LogButton, newCall);
    c.SetFontColor(Ctl::DxCallEdit, newCall ? colors::kRed : colors::kBlack);
    c.SetFontColor(Ctl::DxccLabel, newEntity ? colors::kRed : colors::kBlack);
  } else {
    c.SetEnabled(Ctl::LogButton, false);
    c.SetFontColor(Ctl::DxCallEdit, colors::kBlack);
    c.SetFontColor(Ctl::DxccLabel, colors::kBlack);
    c.SetText(Ctl::DxccLabel, "");
  }
  return f.caret;
}

void Sequencer::SetDxCall(const std::string& call) {
  DxCallEditChange(call, static_cast<int>(call.size()));
}

void Sequencer::LogButtonClick() {
  MainControls& c = ctx_.controls;
  const std::string call = c.Text(Ctl::DxCallEdit);
  // The button is enabled only for a valid new call; a stale click on an
  // invalid field adds nothing.
  if (IsValidCall(call)) {
    StationLookup& st = ctx_.stations;
    st.AddWorkedCall(call);
    const std::string entity = st.LookupEntity(call);
    if (!entity.empty() && st.IsNewEntity(entity)) st.AddWorkedEntity(entity);
    if (entity == "K") {
      const std::string state = st.LookupState(call);
      WorkedStateSlots& slots = st.WorkedStates();
      for (std::string& slot : slots) {
        if (state.empty() || slot == state) break;
        if (slot.empty()) {
          slot = state;
          break;
        }
      }
    }
  }
  SetDxCall("");
  c.SetText(Ctl::DxLabel, "");
  c.SetText(Ctl::DxccLabel, "");
  c.SetEnabled(Ctl::LogButton, false);
}

}  // namespace merivac
