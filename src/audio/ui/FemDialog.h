// FemDialog.h - the Front End Mixer dialog (TFemForm).
//
// Shows the local-oscillator frequency and the enable box, colours the
// field by validity (info background when valid, red and OK disabled when
// not), and on OK stores LO and the enabled state in the settings. The
// follow-up after it closes is ApplyFrontEndMixer (audio/MixerSetup.h).
#pragma once

#include <QDialog>
#include <string>

#include "common/Settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace merivac {

class TFemForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFemForm(Settings& settings, QWidget* parent = nullptr);

  // Caption prefix + "  :  Front End Mixer", placed at (left, top), shown
  // modally; returns QDialog::Accepted when OK closed it.
  int Run(const std::string& captionPrefix, int left, int top);

  // Loads the controls from the settings (done on every activation).
  void FormActivate();

  QLineEdit* FemEdit() const { return femEdit_; }
  QCheckBox* FemBox() const { return femBox_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FemEditChange(const QString& text);
  void OkButtonClick();
  void SetFieldColor(bool valid);

  Settings& settings_;
  QLabel* label_ = nullptr;
  QLineEdit* femEdit_ = nullptr;
  QCheckBox* femBox_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
