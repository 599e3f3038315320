// SpectrumForm.h - the spectrum and waterfall window TSpectrumForm.
//
// A non-modal window that shows the pictures of a SpectrumView at the
// places SpectrumLayout gives them, with the gain, offset and AGC labels,
// the vertical gain track bar and the two arrow pairs of the display range
// in the column at the right. It holds no logic: every operator action is
// handed to the view's handler, after which the window mirrors the view's
// control state and repaints; afterEvent then lets the main window mirror
// what the handler changed in its model (the frequency fields, the menu).
// Closing only hides the window; its pictures stay for the next opening.
#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <string>

#include "spectrum/SpectrumLayout.h"
#include "spectrum/SpectrumView.h"

class QLabel;
class QSlider;
class QToolButton;

namespace merivac {

class TSpectrumForm : public QWidget {
 public:
  // The window's creation (FormCreate): the view draws its pictures in the
  // main window's font. captionPrefix: "Merivac  v" + version.
  TSpectrumForm(SpectrumView& view, const std::string& captionPrefix, const QFont& font,
                QWidget* parent = nullptr);
  ~TSpectrumForm() override;

  // The menu entry's placement: left edge with the main window's, bottom
  // 50 pixels above the main window's top (top 0 when that is negative);
  // then shown, not modally.
  void ShowAbove(const QRect& mainFrame);

  // Runs after every handler, and after the window closed.
  std::function<void()> afterEvent;

  const SpectrumLayout& Layout() const { return layout_; }
  QWidget* WaterfallPanel() const { return panel_; }
  QWidget* SpectrumArea() const { return spectrum_; }
  QLabel* GainLabel() const { return gainLabel_; }
  QLabel* OffsLabel() const { return offsLabel_; }
  QLabel* AgcLabel() const { return agcLabel_; }
  QSlider* GainTrackBar() const { return trackBar_; }
  // The arrows: FlowUpDown and FhighUpDown, left (down) and right (up).
  QToolButton* Arrow(bool high, bool up) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  // Runs a handler, then mirrors the view and tells the main window.
  void Handle(const std::function<void()>& handler);
  void SyncFromView();

  SpectrumView& view_;
  SpectrumLayout layout_;
  QWidget* scale_ = nullptr;
  QWidget* markers_ = nullptr;
  QWidget* panel_ = nullptr;
  QWidget* spectrum_ = nullptr;
  QWidget* range_ = nullptr;
  QWidget* ref_ = nullptr;
  QLabel* gainLabel_ = nullptr;
  QLabel* offsLabel_ = nullptr;
  QLabel* agcLabel_ = nullptr;
  QSlider* trackBar_ = nullptr;
  QToolButton* arrows_[2][2] = {};
  bool syncing_ = false;
};

}  // namespace merivac
