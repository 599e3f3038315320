// SoundcardDialog.h - the Audio dialog TSoundcardForm: two drop-down lists
// of input and output devices and OK/Cancel. It only shows state and
// forwards events to SoundcardDialogRules.
#pragma once

#include <QDialog>
#include <string>

#include "audio/AudioDevices.h"
#include "audio/SoundcardDialogRules.h"
#include "common/UiServices.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace merivac {

class TSoundcardForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix: "Merivac  v" + version; the caption adds "  :  Audio".
  // ui shows the version message and the reasons of failed opens (may be
  // nullptr: then they only go to the debug log).
  TSoundcardForm(AudioDevices& devices, const std::string& captionPrefix, UiServices* ui,
                 QWidget* parent = nullptr);

  QComboBox* InBox() const { return inBox_; }
  QComboBox* OutBox() const { return outBox_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  QGroupBox* SoundcardBox() const { return box_; }
  SoundcardDialogRules& Rules() { return rules_; }
  const SoundcardLayout& Layout() const { return layout_; }

  // Activation: what showing the dialog does (also callable by tests).
  void FormActivate();
  void OkButtonClick();
  void CancelButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void PlaceControls();

  AudioDevices& devices_;
  UiServices* ui_;
  SoundcardDialogRules rules_;
  SoundcardLayout layout_;
  QGroupBox* box_ = nullptr;
  QLabel* inLabel_ = nullptr;
  QLabel* outLabel_ = nullptr;
  QComboBox* inBox_ = nullptr;
  QComboBox* outBox_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace merivac
