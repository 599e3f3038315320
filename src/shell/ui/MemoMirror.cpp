// MemoMirror.cpp - incremental appending of coloured lines.
#include "shell/ui/MemoMirror.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace merivac {
namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

bool MemoMirror::Sync() {
  bool changed = false;
  if (model_.Clears() != seenClears_ || model_.LineCount() < shown_) {
    edit_.clear();
    shown_ = 0;
    seenClears_ = model_.Clears();
    changed = true;
  }
  const size_t count = model_.LineCount();
  if (shown_ == count) return changed;
  // One edit block: the document lays out once for all new lines, not once
  // per insertion.
  QTextCursor cursor(edit_.document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  for (; shown_ < count; ++shown_) AppendLine(cursor, model_.Line(shown_));
  cursor.endEditBlock();
  QScrollBar* bar = edit_.verticalScrollBar();
  bar->setValue(bar->maximum());
  return true;
}

void MemoMirror::AppendLine(QTextCursor& cursor, const MemoLine& line) {
  QTextBlockFormat block;
  if (line.background) block.setBackground(ToQColor(*line.background));
  QTextCharFormat chars;
  if (line.fontColor) chars.setForeground(ToQColor(*line.fontColor));
  // The document starts with one empty block: the first line goes into it.
  if (shown_ == 0) {
    cursor.setBlockFormat(block);
    cursor.setBlockCharFormat(chars);
  } else {
    cursor.insertBlock(block, chars);
  }
  cursor.insertText(QString::fromStdString(line.text), chars);
}

}  // namespace merivac
