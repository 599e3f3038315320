// LogDialog.cpp - the Logbook dialog's widgets, timer and file dialog.
#include "logbook/ui/LogDialog.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace merivac {

namespace {

QPushButton* MakeButton(const char* text, const char* name, const char* hint, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setAutoDefault(false);
  return b;
}

// A group of radio buttons, perRow to a row, ids in list order.
QButtonGroup* MakeChoices(QGroupBox* box, const QStringList& texts, int perRow,
                          const QString& namePrefix) {
  auto* group = new QButtonGroup(box);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < texts.size(); ++i) {
    auto* b = new QRadioButton(texts[i], box);
    b->setObjectName(namePrefix + texts[i]);
    group->addButton(b, i);
    grid->addWidget(b, i / perRow, i % perRow);
  }
  return group;
}

// Checks the button with id index, or none for -1.
void Select(QButtonGroup* group, int index) {
  const QSignalBlocker block(group);
  if (index < 0) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
  } else if (QAbstractButton* b = group->button(index)) {
    b->setChecked(true);
  }
}

}  // namespace

TLogForm::TLogForm(Settings& settings, const QString& captionPrefix, QWidget* parent)
    : QDialog(parent), rules_(settings, captionPrefix.toStdString()) {
  setObjectName("LogForm");
  setWindowTitle(QString::fromStdString(rules_.Caption()));

  logEdit_ = new QLineEdit(this);
  logEdit_->setObjectName("LogEdit");
  logEdit_->setReadOnly(true);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(new QLabel("Logbook:", this));
  pathRow->addWidget(logEdit_, 1);

  QStringList bands;
  for (const BandRange& b : kBands) bands << b.name;
  QStringList modes;
  for (const char* m : kModeChoices) modes << m;
  auto* bandBox = new QGroupBox(" Band : ", this);
  bandBox->setObjectName("BandGroup");
  bandBox->setToolTip("Select the band to be loaded from the logbook");
  bandGroup_ = MakeChoices(bandBox, bands, 5, "Band");
  auto* modeBox = new QGroupBox(" Mode : ", this);
  modeBox->setObjectName("ModeGroup");
  modeBox->setToolTip("Select the mode(s) to be loaded from the logbook");
  modeGroup_ = MakeChoices(modeBox, modes, 4, "Mode");

  auto* ok = MakeButton("OK", "OkButton", "Load logbook and continue", this);
  auto* log = MakeButton("Logbook", "LogButton", "Select another logbook", this);
  auto* cancel = MakeButton("Cancel", "CancelButton", "Don't load a logbook", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(log);
  buttons->addStretch();
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addWidget(bandBox);
  layout->addWidget(modeBox);
  layout->addLayout(buttons);
  setMinimumWidth(460);

  timer_ = new QTimer(this);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &TLogForm::TimerTimer);
  connect(bandGroup_, &QButtonGroup::idClicked, this, [this](int id) {
    rules_.BandGroupClick(id);
    SyncFromRules();
  });
  connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) {
    rules_.ModeGroupClick(id);
    SyncFromRules();
  });
  connect(ok, &QPushButton::clicked, this, &TLogForm::OkButtonClick);
  connect(log, &QPushButton::clicked, this, &TLogForm::LogButtonClick);
  connect(cancel, &QPushButton::clicked, this, &TLogForm::CancelButtonClick);
  // Escape and the window's close button count as Cancel.
  connect(this, &QDialog::rejected, this, [this] {
    timer_->stop();
    rules_.CancelButtonClick();
  });
}

void TLogForm::SyncFromRules() {
  setWindowTitle(QString::fromStdString(rules_.Caption()));
  logEdit_->setText(QString::fromStdString(rules_.LogEditText()));
  Select(bandGroup_, rules_.SelectedBand());
  Select(modeGroup_, rules_.SelectedMode());
  if (!rules_.TimerRunning()) timer_->stop();
}

void TLogForm::FormActivate() {
  rules_.FormActivate();
  SyncFromRules();
  timer_->start();
}

int TLogForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TLogForm::TimerTimer() {
  const bool done = rules_.TimerTimer();
  SyncFromRules();
  if (done) accept();
}

void TLogForm::LogButtonClick() {
  rules_.LogButtonClick();
  SyncFromRules();
  QFileDialog dialog(this, "Open ADIF logbook", QString::fromStdString(rules_.LogEditText()),
                     "ADIF (*.adi *.adx)");
  dialog.setObjectName("LogFileDialog");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!rules_.LogEditText().empty())
    dialog.selectFile(QString::fromStdString(rules_.LogEditText()));
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    rules_.FileChosen(dialog.selectedFiles().first().toStdString());
    SyncFromRules();
  }
}

void TLogForm::OkButtonClick() {
  rules_.OkButtonClick();
  SyncFromRules();
  accept();
}

void TLogForm::CancelButtonClick() {
  timer_->stop();
  rules_.CancelButtonClick();
  reject();
}

}  // namespace merivac
