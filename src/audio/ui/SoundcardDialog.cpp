// SoundcardDialog.cpp - widgets of the Audio dialog.
#include "audio/ui/SoundcardDialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "audio/PortAudioDevices.h"

namespace merivac {

namespace {
constexpr int kBoxTop = 8, kBoxHeight = 120, kButtonTop = 140, kButtonHeight = 28, kFormHeight = 180;
constexpr int kListHeight = 24;

void Fill(QComboBox* box, const std::vector<std::string>& names) {
  for (const std::string& n : names) box->addItem(QString::fromStdString(n));
  box->setPlaceholderText(QString::fromUtf8(kNotSelected));
}
}  // namespace

TSoundcardForm::TSoundcardForm(AudioDevices& devices, const std::string& captionPrefix, UiServices* ui,
                               QWidget* parent)
    : QDialog(parent), devices_(devices), ui_(ui), rules_(devices) {
  setObjectName("SoundcardForm");
  setWindowTitle(QString::fromStdString(captionPrefix + "  :  Audio"));
  if (!devices_.VersionOk()) {
    if (ui_ != nullptr) ui_->ShowMessageDialog(PortAudioSystem::kVersionMessage, NoticeKind::Error);
    else QMessageBox::critical(nullptr, windowTitle(), PortAudioSystem::kVersionMessage);
  }
  box_ = new QGroupBox(this);
  box_->setObjectName("SoundcardBox");
  inLabel_ = new QLabel("Input :", box_);
  outLabel_ = new QLabel("Output :", box_);
  inBox_ = new QComboBox(box_);
  inBox_->setObjectName("InBox");
  outBox_ = new QComboBox(box_);
  outBox_->setObjectName("OutBox");
  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OkButton");
  cancelButton_ = new QPushButton("Cancel", this);
  cancelButton_->setObjectName("CancelButton");
  Fill(inBox_, devices_.InputList());
  Fill(outBox_, devices_.OutputList());

  int widest = 0;
  const QFontMetrics metrics(inBox_->font());
  for (const auto* list : {&devices_.InputList(), &devices_.OutputList()}) {
    for (const std::string& n : *list) widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(n)));
  }
  layout_ = WidenSoundcardLayout(SoundcardLayout{}, widest);
  PlaceControls();

  connect(inBox_, &QComboBox::activated, this, [this](int i) { rules_.InBoxChange(i); });
  connect(outBox_, &QComboBox::activated, this, [this](int i) { rules_.OutBoxChange(i); });
  connect(okButton_, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

void TSoundcardForm::PlaceControls() {
  const SoundcardLayout& l = layout_;
  box_->setGeometry(l.boxLeft, kBoxTop, l.boxWidth, kBoxHeight);
  inLabel_->setGeometry(l.listLeft, 14, l.listWidth, 18);
  inBox_->setGeometry(l.listLeft, 34, l.listWidth, kListHeight);
  outLabel_->setGeometry(l.listLeft, 64, l.listWidth, 18);
  outBox_->setGeometry(l.listLeft, 84, l.listWidth, kListHeight);
  okButton_->setGeometry(l.okLeft, kButtonTop, l.okWidth, kButtonHeight);
  cancelButton_->setGeometry(l.cancelLeft, kButtonTop, l.cancelWidth, kButtonHeight);
  setFixedSize(l.formWidth, kFormHeight);
}

void TSoundcardForm::FormActivate() {
  rules_.Activate();
  const Settings& s = devices_.GetSettings();
  inBox_->setCurrentIndex(s.inputDevice < inBox_->count() ? s.inputDevice : -1);
  outBox_->setCurrentIndex(s.outputDevice < outBox_->count() ? s.outputDevice : -1);
}

void TSoundcardForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TSoundcardForm::OkButtonClick() {
  if (rules_.OkButtonClick() && ui_ != nullptr && !devices_.LastErrors().empty()) {
    std::string text;
    for (const std::string& e : devices_.LastErrors()) text += (text.empty() ? "" : "\n") + e;
    ui_->ShowMessageDialog(text, NoticeKind::Error);
  }
  accept();
}

void TSoundcardForm::CancelButtonClick() { reject(); }

}  // namespace merivac
