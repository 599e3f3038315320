// QtUiServices.h - the user-interface services the rules call, made with Qt:
// the modal message dialog, the program-wide hint window, and letting the
// interface process its events during a long stage.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "common/UiServices.h"

class QDialog;

namespace merivac {

class TMainForm;

class QtUiServices : public UiServices {
 public:
  explicit QtUiServices(TMainForm& form) : form_(form) {}
  ~QtUiServices() override;

  // The message dialog: the text in the main window's fixed-pitch font,
  // wrapped to the main window's width, with the kind's icon and one OK
  // button; 30 pixels right of and below the main window's corner, titled
  // with the main window's caption. Returns when the operator closes it.
  void ShowMessageDialog(const std::string& text, NoticeKind kind) override;

  // Processes pending events, then mirrors the control model into the window
  // so that labels repaint during decoding.
  void ProcessEvents() override;

  // One small frameless hint window at screen (x, y), sized for sizeText
  // (or for text when sizeText is empty), at most as wide as the main window.
  void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) override;
  void HideHintText() override;

  // The hint window shown now, nullptr when none (for tests).
  QWidget* HintWindow() const { return hint_.data(); }

  // Builds the message dialog without showing it (ShowMessageDialog runs it
  // modally); for tests that look at its layout.
  QDialog* CreateMessageDialog(const std::string& text, NoticeKind kind);

 private:
  TMainForm& form_;
  QPointer<QWidget> hint_;
};

}  // namespace merivac
