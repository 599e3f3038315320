// StateTable.cpp - reading the state file and looking calls up in it.
#include "stationdata/StateTable.h"

#include <algorithm>

#include "qso/CallRules.h"
#include "stationdata/CountryTable.h"

namespace merivac {

namespace {

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

size_t StateTable::Load(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return 0;
  return Parse(text);
}

void StateTable::Clear() {
  entries_.clear();
  byCall_.clear();
  lineCount_ = layoutLines_ = 0;
}

size_t StateTable::Parse(std::string_view text) {
  Clear();
  ForEachLine(text, [&](std::string_view line) {
    ++lineCount_;
    if (line.size() < 4) return;
    Entry e;
    e.call.assign(line.substr(3));
    e.state = {line[0], line[1]};
    if (IsUpper(line[0]) && IsUpper(line[1]) && IsValidCall(e.call)) ++layoutLines_;
    entries_.push_back(std::move(e));
  });
  byCall_.resize(entries_.size());
  for (uint32_t i = 0; i < byCall_.size(); ++i) byCall_[i] = i;
  std::stable_sort(byCall_.begin(), byCall_.end(),
                   [this](uint32_t a, uint32_t b) { return entries_[a].call < entries_[b].call; });
  return lineCount_;
}

std::string StateTable::LookupState(std::string_view call) const {
  const auto it = std::lower_bound(
      byCall_.begin(), byCall_.end(), call,
      [this](uint32_t i, std::string_view c) { return std::string_view(entries_[i].call) < c; });
  if (it == byCall_.end() || entries_[*it].call != call) return {};
  return std::string(entries_[*it].state.data(), 2);
}

}  // namespace merivac
