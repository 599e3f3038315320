// SaveDialog.h - the Save dialog (TSaveForm): which files the program keeps
// (WAV recordings, decoded messages, the debug log).
//
// A thin window over SaveDialogRules: opening ticks the boxes from the
// settings, OK stores them, Cancel only closes.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>

#include "shell/ModeSaveDialogs.h"

class QCheckBox;
class QPushButton;

namespace merivac {

class TSaveForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption adds "  :  Save".
  TSaveForm(Settings& settings, const QString& captionPrefix, QWidget* parent = nullptr);

  // Ticks the boxes from the settings (every opening).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft, loads it and
  // runs it modally; QDialog::Accepted when OK closed it.
  int ShowModal(QPoint mainTopLeft);

  SaveDialogRules& Rules() { return rules_; }

 private:
  void OkButtonClick();

  SaveDialogRules rules_;
  std::array<QCheckBox*, kSaveBoxCount> boxes_{};  // WavBox, DecodedBox, DebugBox
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
