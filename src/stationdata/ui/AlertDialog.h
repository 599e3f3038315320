// AlertDialog.h - the Alert dialog (TAlertForm): which decodes raise an
// alert, and which tables are downloaded at start-up.
//
// A thin window over AlertDialogRules: opening loads the controls from the
// settings, the operator's clicks and edits go to the rules, OK stores and
// rebuilds the alert lists, Cancel only closes.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>

#include "stationdata/AlertDialogRules.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace merivac {

class TAlertForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption adds "  :  Alert".
  TAlertForm(Settings& settings, StationData& stationData, const QString& captionPrefix,
             QWidget* parent = nullptr);

  // Loads the controls from the settings (every opening).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft, loads it and
  // runs it modally; QDialog::Accepted when OK closed it.
  int ShowModal(QPoint mainTopLeft);

  AlertDialogRules& Rules() { return rules_; }

 private:
  void EditChange(AlertEdit edit, const QString& text);
  void OkButtonClick();

  AlertDialogRules rules_;
  std::array<QCheckBox*, kAlertBoxCount> boxes_{};
  std::array<QLineEdit*, kAlertEditCount> edits_{};
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
