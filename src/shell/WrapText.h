// WrapText.h - line wrapping and sizing of the modal message dialog.
//
// The message dialog wraps its text to the width of the main window, using
// the main window's fixed-pitch font. Both the wrapping and the sizes that
// follow from it are plain computations, kept apart from the dialog itself.
#pragma once

#include <string>

namespace merivac {

// Wraps text into lines of at most maxChars characters, breaking at the last
// blank that fits. Lines are separated by CR LF; the text's own line breaks
// (LF or CR LF) are kept. A word longer than maxChars is not broken: the rest
// of its paragraph becomes one line. On return maxChars holds the length of
// the longest line of the result.
std::string WrapText(const std::string& text, int& maxChars);

// Sizes of the message dialog for one text, in pixels.
struct MessageDialogLayout {
  std::string text;      // the text to show, wrapped when it was too wide
  int maxChars = 0;      // the widest line in characters
  int lines = 0;         // 1 + the number of CR characters in text
  int labelWidth = 0;    // (maxChars + 1) x character width
  int labelHeight = 0;   // lines x character height + 40, at least 70 when that is below 60
  int clientWidth = 0;   // labelWidth + 58
  int clientHeight = 0;  // labelHeight + 20
};

// charWidth and charHeight are the size of "X" in the main window's font,
// mainClientWidth the main window's client width. The font is fixed-pitch,
// so the text's width is its length times charWidth.
MessageDialogLayout ComputeMessageDialogLayout(const std::string& text, int charWidth,
                                               int charHeight, int mainClientWidth);

}  // namespace merivac
