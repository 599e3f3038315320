// StationDialog.h - the Station dialog (TStationForm): own call, own grid
// and the PC clock's time zone.
//
// A thin window over StationDialogRules: it forwards the operator's edits
// and shows the cleaned text, the caret, the field colours (info background
// when valid, red when not) and the OK button's state.
#pragma once

#include <QDialog>
#include <QString>

#include "qso/StationDialogRules.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace merivac {

class TStationForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption adds "  :  Station".
  TStationForm(Settings& settings, const QString& captionPrefix, QWidget* parent = nullptr);

  // Loads the controls from the settings (the dialog's activation).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft and runs it
  // modally; the caller runs StationDialogFollowUp afterwards.
  int ShowModal(QPoint mainTopLeft);

  StationDialogRules& Rules() { return rules_; }

 private:
  void CallEditChange(const QString& text);
  void GridEditChange(const QString& text);
  void UtcDifBoxChange(int index);
  void OkButtonClick();
  void ShowField(QLineEdit* edit, const CleanedField& f, bool valid);
  void ShowOk();

  StationDialogRules rules_;
  QLineEdit* callEdit_ = nullptr;
  QLineEdit* gridEdit_ = nullptr;
  QComboBox* utcDifBox_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
