// WrapText.cpp - wrapping at blanks and the message dialog's sizes.
#include "shell/WrapText.h"

#include <algorithm>

namespace merivac {
namespace {

void AppendLine(std::string& result, const std::string& line, int& longest) {
  longest = std::max(longest, static_cast<int>(line.size()));
  if (!result.empty()) result += "\r\n";
  result += line;
}

}  // namespace

std::string WrapText(const std::string& text, int& maxChars) {
  std::string result;
  int longest = 0;
  const size_t limit = maxChars > 0 ? static_cast<size_t>(maxChars) : 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(start, end - start);
    start = end + 1;
    if (!part.empty() && part.back() == '\r') part.pop_back();
    bool overLong = false;
    while (!part.empty() && part.size() > limit) {
      const size_t blank = limit > 0 ? part.rfind(' ', limit - 1) : std::string::npos;
      if (blank != std::string::npos) {
        AppendLine(result, part.substr(0, blank), longest);
        part.erase(0, blank + 1);
      } else {
        // No blank to break at: the word stays whole and takes the rest of
        // its paragraph with it. No empty line follows it.
        AppendLine(result, part, longest);
        part.clear();
        overLong = true;
      }
    }
    if (!overLong) AppendLine(result, part, longest);
  }
  maxChars = longest;
  return result;
}

MessageDialogLayout ComputeMessageDialogLayout(const std::string& text, int charWidth,
                                               int charHeight, int mainClientWidth) {
  MessageDialogLayout out;
  const int w = std::max(1, charWidth);
  const int textWidth = static_cast<int>(text.size()) * w;
  const int avail = mainClientWidth - 88 - w;
  if (textWidth > avail) {
    out.maxChars = avail / w;
    out.text = WrapText(text, out.maxChars);
  } else {
    out.text = text;
    out.maxChars = static_cast<int>(text.size());
  }
  out.lines = 1 + static_cast<int>(std::count(out.text.begin(), out.text.end(), '\r'));
  out.labelHeight = charHeight * out.lines + 40;
  if (out.labelHeight < 60) out.labelHeight = 70;
  out.labelWidth = (out.maxChars + 1) * w;
  out.clientWidth = out.labelWidth + 58;
  out.clientHeight = out.labelHeight + 20;
  return out;
}

}  // namespace merivac
