// ModeDialog.h - the Mode dialog (TModeForm): the JT9 sub-mode, the tone
// spacing multiplier and the operating options.
//
// A thin window over ModeDialogRules: opening loads the controls from the
// settings, the operator's clicks and edits go to the rules, OK stores and
// Cancel only closes. The caller runs ModeMenuFollowUp after it closes.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>

#include "shell/ModeSaveDialogs.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace merivac {

class TModeForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption adds "  :  Mode".
  TModeForm(Settings& settings, const QString& captionPrefix, QWidget* parent = nullptr);

  // Loads the controls from the settings (every opening).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft, loads it and
  // runs it modally; QDialog::Accepted when OK closed it.
  int ShowModal(QPoint mainTopLeft);

  ModeDialogRules& Rules() { return rules_; }

 private:
  void ToneSpacingEditChange(const QString& text);
  void OkButtonClick();

  ModeDialogRules rules_;
  std::array<QRadioButton*, 4> modeButtons_{};  // M1Button, M2Button, M5Button, M10Button
  QLineEdit* toneSpacingEdit_ = nullptr;
  std::array<QCheckBox*, kModeBoxCount> boxes_{};
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
