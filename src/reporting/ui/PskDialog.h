// PskDialog.h - the Reporting dialog (TPskForm): PSK Reporter spotting and
// UDP broadcasting.
//
// A thin window over PskDialogRules: opening loads the controls from the
// settings, the operator's clicks and edits go to the rules, and the window
// shows the rules' texts, colours and enabled states. OK stores, Cancel
// only closes; the caller then runs the follow-up (Reporting::DialogClosed).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>

#include "reporting/PskDialogRules.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace merivac {

class TPskForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption adds "  :  Reporting".
  TPskForm(Settings& settings, const QString& captionPrefix, QWidget* parent = nullptr);

  // Loads the controls from the settings (every opening).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft, loads it and
  // runs it modally; QDialog::Accepted when OK closed it.
  int ShowModal(QPoint mainTopLeft);

  PskDialogRules& Rules() { return rules_; }

 private:
  void ShowState();
  void EditChanged(PskControl edit, const QString& text);
  void OkButtonClick();

  PskDialogRules rules_;
  std::array<QWidget*, kPskControlCount> controls_{};
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
