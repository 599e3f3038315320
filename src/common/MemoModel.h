// MemoModel.h - the lines of a decode window (Band Activity or RX Frequency).
//
// Lines are only appended or all cleared, so a window can mirror the model
// incrementally: it remembers how many lines it has shown and the clear
// count it saw, and appends only what is new.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Rgb.h"

namespace merivac {

struct MemoLine {
  std::string text;
  std::optional<Rgb> fontColor;   // unset: a plain line, the window's default colours
  std::optional<Rgb> background;
};

class MemoModel {
 public:
  void Append(MemoLine line) { lines_.push_back(std::move(line)); }
  void AppendPlain(const std::string& text) { lines_.push_back(MemoLine{text, {}, {}}); }
  void Clear() {
    lines_.clear();
    clears_ += 1;
  }
  size_t LineCount() const { return lines_.size(); }
  const MemoLine& Line(size_t i) const { return lines_[i]; }
  const std::vector<MemoLine>& Lines() const { return lines_; }
  // How often the memo was cleared; a mirror that saw another value starts over.
  uint64_t Clears() const { return clears_; }

 private:
  std::vector<MemoLine> lines_;
  uint64_t clears_ = 0;
};

}  // namespace merivac
