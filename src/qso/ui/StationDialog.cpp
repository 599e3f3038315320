// StationDialog.cpp - the Station dialog's widgets and their forwarding.
#include "qso/ui/StationDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {

TStationForm::TStationForm(Settings& settings, const QString& captionPrefix, QWidget* parent)
    : QDialog(parent), rules_(settings) {
  setObjectName("StationForm");
  setWindowTitle(captionPrefix + "  :  Station");

  auto* details = new QGroupBox(" Station details : ", this);
  callEdit_ = new QLineEdit(details);
  callEdit_->setObjectName("CallEdit");
  callEdit_->setMaxLength(6);
  gridEdit_ = new QLineEdit(details);
  gridEdit_->setObjectName("GridEdit");
  gridEdit_->setMaxLength(6);
  gridEdit_->setToolTip("4 or 6 character grid");
  auto* form = new QFormLayout(details);
  form->addRow("My call :", callEdit_);
  form->addRow("My grid :", gridEdit_);

  auto* zone = new QGroupBox(" Timezone (PC clock) : ", this);
  utcDifBox_ = new QComboBox(zone);
  utcDifBox_->setObjectName("UtcDifBox");
  for (const char* choice : kTimeZones) utcDifBox_->addItem(choice);
  auto* zoneLayout = new QVBoxLayout(zone);
  zoneLayout->addWidget(utcDifBox_);

  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OkButton");
  okButton_->setAutoDefault(false);
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setObjectName("CancelButton");
  cancelButton_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(details);
  layout->addWidget(zone);
  layout->addLayout(buttons);

  connect(callEdit_, &QLineEdit::textEdited, this, &TStationForm::CallEditChange);
  connect(gridEdit_, &QLineEdit::textEdited, this, &TStationForm::GridEditChange);
  connect(utcDifBox_, &QComboBox::activated, this, &TStationForm::UtcDifBoxChange);
  connect(okButton_, &QPushButton::clicked, this, &TStationForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TStationForm::FormActivate() {
  rules_.Open();
  const std::string& call = rules_.CallText();
  const std::string& grid = rules_.GridText();
  ShowField(callEdit_, {call, static_cast<int>(call.size())}, rules_.CallValid());
  ShowField(gridEdit_, {grid, static_cast<int>(grid.size())}, rules_.GridValid());
  const QSignalBlocker block(utcDifBox_);
  utcDifBox_->setCurrentIndex(rules_.TimeZoneChoice());
  ShowOk();
}

int TStationForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TStationForm::ShowField(QLineEdit* edit, const CleanedField& f, bool valid) {
  const QSignalBlocker block(edit);
  const QString text = QString::fromStdString(f.text);
  if (edit->text() != text) edit->setText(text);
  edit->setCursorPosition(f.caret);
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, valid ? QPalette().color(QPalette::ToolTipBase) : QColor(255, 0, 0));
  edit->setPalette(p);
}

void TStationForm::ShowOk() { okButton_->setEnabled(rules_.OkEnabled()); }

void TStationForm::CallEditChange(const QString& text) {
  const CleanedField f = rules_.CallEditChange(text.toStdString(), callEdit_->cursorPosition());
  ShowField(callEdit_, f, rules_.CallValid());
  ShowOk();
}

void TStationForm::GridEditChange(const QString& text) {
  const CleanedField f = rules_.GridEditChange(text.toStdString(), gridEdit_->cursorPosition());
  ShowField(gridEdit_, f, rules_.GridValid());
  ShowOk();
}

void TStationForm::UtcDifBoxChange(int index) {
  rules_.UtcDifBoxChange(utcDifBox_->itemText(index).toStdString());
}

void TStationForm::OkButtonClick() {
  if (rules_.OkButtonClick()) accept();
}

}  // namespace merivac
