// FemDialog.cpp - the Front End Mixer dialog; the rules are in MixerSetup.
#include "audio/ui/FemDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "audio/MixerSetup.h"
#include "common/Rgb.h"

namespace merivac {

namespace {

QString Background(Rgb c) {
  return QStringLiteral("QLineEdit { background-color: rgb(%1, %2, %3); }")
      .arg(c.r)
      .arg(c.g)
      .arg(c.b);
}

}  // namespace

TFemForm::TFemForm(Settings& settings, QWidget* parent) : QDialog(parent), settings_(settings) {
  setObjectName("TFemForm");
  label_ = new QLabel("Local oscillator frequency (Hz) :", this);
  femEdit_ = new QLineEdit(this);
  femEdit_->setObjectName("FemEdit");
  femEdit_->setToolTip("200 .. 20000");
  femEdit_->setMaxLength(5);
  femEdit_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), femEdit_));
  femBox_ = new QCheckBox("Enable the Front End Mixer", this);
  femBox_->setObjectName("FemBox");
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OkButton");
  okButton_->setDefault(true);
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setObjectName("CancelButton");

  auto* grid = new QGridLayout(this);
  grid->addWidget(label_, 0, 0);
  grid->addWidget(femEdit_, 0, 1);
  grid->addWidget(femBox_, 1, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  grid->addLayout(buttons, 2, 0, 1, 2);

  connect(femEdit_, &QLineEdit::textChanged, this, &TFemForm::FemEditChange);
  connect(okButton_, &QPushButton::clicked, this, &TFemForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  SetFieldColor(true);
}

int TFemForm::Run(const std::string& captionPrefix, int left, int top) {
  setWindowTitle(QString::fromStdString(captionPrefix + "  :  Front End Mixer"));
  move(left, top);
  return exec();
}

void TFemForm::FormActivate() {
  femEdit_->setText(QString::number(settings_.mixerLo));
  femBox_->setChecked(settings_.mixerEnabled);
}

void TFemForm::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
}

void TFemForm::SetFieldColor(bool valid) {
  femEdit_->setStyleSheet(Background(valid ? colors::kInfoBackground : colors::kRed));
}

void TFemForm::FemEditChange(const QString& text) {
  switch (CheckFemText(text.toStdString())) {
    case FemTextState::Unchanged:
      break;
    case FemTextState::Valid:
      SetFieldColor(true);
      okButton_->setEnabled(true);
      break;
    case FemTextState::Invalid:
      SetFieldColor(false);
      okButton_->setEnabled(false);
      break;
  }
}

void TFemForm::OkButtonClick() {
  settings_.mixerLo = ReadFemLo(femEdit_->text().toStdString());
  settings_.mixerEnabled = femBox_->isChecked();
  accept();
}

}  // namespace merivac
