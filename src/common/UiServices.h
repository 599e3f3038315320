// UiServices.h - what the rules need from the user interface beyond the
// control model: modal message dialogs, the hint window, and letting the
// interface process its pending events during a long stage (decoding).
//
// The Qt shell implements it; tests use a fake that records the calls.
#pragma once

#include <string>

namespace merivac {

enum class NoticeKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

class UiServices {
 public:
  virtual ~UiServices() = default;
  // A modal dialog with an OK button, wrapped to the main window's width.
  virtual void ShowMessageDialog(const std::string& text, NoticeKind kind) = 0;
  // Lets the interface repaint and handle clicks (it may run handlers that
  // change program state, such as a click that stops decoding).
  virtual void ProcessEvents() = 0;
  // The program-wide hint window at screen position (x, y), sized for sizeText.
  virtual void ShowHintText(const std::string& text, int x, int y, const std::string& sizeText) = 0;
  virtual void HideHintText() = 0;
};

// A UiServices that does nothing: for tools and tests that need no interface.
class NullUiServices : public UiServices {
 public:
  void ShowMessageDialog(const std::string&, NoticeKind) override {}
  void ProcessEvents() override {}
  void ShowHintText(const std::string&, int, int, const std::string&) override {}
  void HideHintText() override {}
};

}  // namespace merivac
