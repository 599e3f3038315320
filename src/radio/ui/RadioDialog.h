// RadioDialog.h - the Radio dialog (TRadioForm): serial port, PTT line,
// alert line, TX delay and watchdog time.
//
// Thin: the rules live in RadioDialogModel. Every click or keystroke is
// forwarded to the model and the widgets are then set from its state.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "radio/RadioDialogModel.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace merivac {

class TRadioForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text; the caption becomes
  // captionPrefix + "  :  Radio". clearWatchdogExpiry stops the running
  // watchdog when OK stores a new time.
  TRadioForm(RadioDialogModel& model, Settings& settings, RadioControl& radio, DebugLog& log,
             std::function<void()> clearWatchdogExpiry, const QString& captionPrefix,
             QWidget* parent = nullptr);

  // Loads the controls from the settings, places the dialog 30 pixels right
  // of and below mainWindow's top-left corner (when given) and shows it
  // modally. Returns QDialog::Accepted after OK.
  int ShowModal(const QWidget* mainWindow);
  // Loads the controls from the settings (what ShowModal does first).
  void LoadFromSettings();

  QComboBox* PortBox = nullptr;
  QCheckBox* VoxBox = nullptr;
  QCheckBox* DtrPttBox = nullptr;
  QCheckBox* RtsPttBox = nullptr;
  QCheckBox* DtrAlertBox = nullptr;
  QCheckBox* RtsAlertBox = nullptr;
  QLineEdit* TxDelayEdit = nullptr;
  QLineEdit* WDTEdit = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

 private:
  void OkButtonClick();
  void Refresh();
  QCheckBox* Widget(RadioBox box) const;

  RadioDialogModel& model_;
  Settings& settings_;
  RadioControl& radio_;
  DebugLog& log_;
  std::function<void()> clearWatchdogExpiry_;
};

}  // namespace merivac
