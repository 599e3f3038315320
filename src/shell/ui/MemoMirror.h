// MemoMirror.h - keeps a decode window (QTextEdit) in step with its MemoModel.
//
// The model only grows or is cleared, so the mirror appends only the lines it
// has not shown yet, each as one block at the end of the document with its
// own text and background colour; when the model was cleared since the last
// look, the window starts over. Appending at the end never re-lays out the
// lines already shown, so a window with many thousand lines stays fast.
#pragma once

#include <QTextCursor>
#include <QTextEdit>

#include "common/MemoModel.h"

namespace merivac {

class MemoMirror {
 public:
  MemoMirror(QTextEdit& edit, const MemoModel& model) : edit_(edit), model_(model) {}

  // Shows what changed in the model; true when the window changed.
  bool Sync();

  size_t ShownLines() const { return shown_; }

 private:
  void AppendLine(QTextCursor& cursor, const MemoLine& line);
  QTextEdit& edit_;
  const MemoModel& model_;
  size_t shown_ = 0;
  uint64_t seenClears_ = 0;
};

}  // namespace merivac
