// LogDialog.h - the Logbook dialog (TLogForm), shown at every start before
// the tables are read: which logbook, which band and which mode to load.
//
// A thin window over LogDialogRules: a one-second timer drives the
// countdown in the caption, the clicks go to the rules, and the Logbook
// button opens a file dialog titled "Open ADIF logbook".
#pragma once

#include <QDialog>
#include <QPoint>
#include <QString>
#include <array>
#include <functional>

#include "logbook/LogDialogRules.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace merivac {

class TLogForm : public QDialog {
  Q_OBJECT

 public:
  // captionPrefix is "Merivac  v" + the version text.
  TLogForm(Settings& settings, const QString& captionPrefix, QWidget* parent = nullptr);

  // Loads the controls and starts the countdown (every opening).
  void FormActivate();
  // Places the dialog 30 pixels right of and below mainTopLeft and runs it
  // modally; the choices are in Rules().Choice() afterwards.
  int ShowModal(QPoint mainTopLeft);

  LogDialogRules& Rules() { return rules_; }
  QTimer& Timer() { return *timer_; }

 private:
  void SyncFromRules();
  void TimerTimer();
  void LogButtonClick();
  void OkButtonClick();
  void CancelButtonClick();

  LogDialogRules rules_;
  QLineEdit* logEdit_ = nullptr;
  QButtonGroup* bandGroup_ = nullptr;
  QButtonGroup* modeGroup_ = nullptr;
  QTimer* timer_ = nullptr;
};

// The start-up's logbook question answered by the dialog, placed beside the
// main window's top-left corner as corner() gives it.
class DialogLogbookPrompt final : public LogbookPrompt {
 public:
  DialogLogbookPrompt(TLogForm& form, std::function<QPoint()> mainTopLeft)
      : form_(form), mainTopLeft_(std::move(mainTopLeft)) {}
  LogbookChoice AskLogbook() override {
    form_.ShowModal(mainTopLeft_());
    return form_.Rules().Choice();
  }

 private:
  TLogForm& form_;
  std::function<QPoint()> mainTopLeft_;
};

}  // namespace merivac
