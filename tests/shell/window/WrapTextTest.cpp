// WrapTextTest.cpp - wrapping of message-dialog texts and the dialog's sizes.
#include <gtest/gtest.h>

#include "shell/WrapText.h"

namespace merivac {
namespace {

struct WrapCase {
  const char* name;
  std::string text;
  int maxChars;
  std::string wrapped;
  int longest;
};

TEST(WrapText, Cases) {
  const WrapCase cases[] = {
      {"fits", "short text", 20, "short text", 10},
      {"breaks at the last blank that fits", "one two three four", 9, "one two\r\nthree\r\nfour",
       7},
      {"blank exactly at the limit", "abcd efgh", 5, "abcd\r\nefgh", 4},
      {"keeps LF breaks as CR LF", "ab\ncd", 10, "ab\r\ncd", 2},
      {"CR LF is one break", "ab\r\ncd\r\n", 10, "ab\r\ncd", 2},
      {"empty line in the middle", "ab\r\n\r\ncd", 10, "ab\r\n\r\ncd", 2},
      {"empty first line gives no break", "\r\nab", 10, "ab", 2},
      // A word longer than the line stays whole, with the rest of its
      // paragraph, and no empty line follows it.
      {"over-long word", "abcdefghijkl mn", 5, "abcdefghijkl mn", 15},
      {"over-long word after a break", "ab abcdefghijkl xy\r\nz", 5, "ab\r\nabcdefghijkl xy\r\nz",
       15},
      {"zero width", "a b", 0, "a b", 3},
      {"empty text", "", 10, "", 0},
  };
  for (const WrapCase& c : cases) {
    int maxChars = c.maxChars;
    EXPECT_EQ(WrapText(c.text, maxChars), c.wrapped) << c.name;
    EXPECT_EQ(maxChars, c.longest) << c.name;
  }
}

TEST(WrapText, LongSentenceNeverExceedsTheWidthBetweenBlanks) {
  const std::string text =
      "Failed to save the settings.\r\nIf the application is installed in a \"Program Files\" "
      "folder you might need to run it as administrator.";
  int maxChars = 30;
  const std::string wrapped = WrapText(text, maxChars);
  EXPECT_LE(maxChars, 30);
  size_t start = 0;
  int lines = 0;
  while (start <= wrapped.size()) {
    size_t end = wrapped.find("\r\n", start);
    if (end == std::string::npos) end = wrapped.size();
    EXPECT_LE(end - start, 30u);
    ++lines;
    start = end + 2;
  }
  EXPECT_EQ(lines, 5);
}

TEST(MessageDialogLayout, NarrowTextIsNotWrapped) {
  // 7 x 13 pixel characters in a 686-pixel window: 591 pixels for the text.
  const std::string text = "UDP initialisation failed";
  const MessageDialogLayout l = ComputeMessageDialogLayout(text, 7, 13, 686);
  EXPECT_EQ(l.text, text);
  EXPECT_EQ(l.maxChars, 25);
  EXPECT_EQ(l.lines, 1);
  EXPECT_EQ(l.labelWidth, 26 * 7);
  EXPECT_EQ(l.clientWidth, 26 * 7 + 58);
  // One line: 13 + 40 is below 60, so the label gets 70.
  EXPECT_EQ(l.labelHeight, 70);
  EXPECT_EQ(l.clientHeight, 90);
}

TEST(MessageDialogLayout, TwoLinesCanBeLowerThanOne) {
  const MessageDialogLayout l = ComputeMessageDialogLayout("line one\r\nline two", 7, 13, 686);
  EXPECT_EQ(l.lines, 2);
  EXPECT_EQ(l.labelHeight, 2 * 13 + 40);
  EXPECT_LT(l.labelHeight, 70);
}

TEST(MessageDialogLayout, WideTextIsWrappedToTheWindow) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "word" + std::to_string(i) + " ";
  const int w = 7;
  const MessageDialogLayout l = ComputeMessageDialogLayout(text, w, 13, 686);
  const int avail = 686 - 88 - w;
  EXPECT_LE(l.maxChars, avail / w);
  EXPECT_GT(l.lines, 1);
  EXPECT_EQ(l.labelHeight, l.lines * 13 + 40);
  EXPECT_EQ(l.clientWidth, (l.maxChars + 1) * w + 58);
  EXPECT_LE(l.clientWidth, 686);
}

}  // namespace
}  // namespace merivac
