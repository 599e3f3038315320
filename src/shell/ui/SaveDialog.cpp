// SaveDialog.cpp - the Save dialog's widgets and their forwarding.
#include "shell/ui/SaveDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {

namespace {

struct BoxDesign {
  const char* name;
  const char* label;
};
constexpr std::array<BoxDesign, kSaveBoxCount> kBoxes = {{
    {"WavBox", "Save WAV files"},
    {"DecodedBox", "Save decoded messages"},
    {"DebugBox", "Save debug information"},
}};

}  // namespace

TSaveForm::TSaveForm(Settings& settings, const QString& captionPrefix, QWidget* parent)
    : QDialog(parent), rules_(settings) {
  setObjectName("SaveForm");
  setWindowTitle(captionPrefix + "  :  Save");

  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < kSaveBoxCount; ++i) {
    auto* box = new QCheckBox(kBoxes[i].label, this);
    box->setObjectName(kBoxes[i].name);
    layout->addWidget(box);
    const auto which = static_cast<SaveBox>(i);
    connect(box, &QCheckBox::toggled, this,
            [this, which](bool on) { rules_.SetChecked(which, on); });
    boxes_[i] = box;
  }

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
  layout->addLayout(buttons);

  connect(okButton_, &QPushButton::clicked, this, &TSaveForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TSaveForm::FormActivate() {
  rules_.Open();
  for (int i = 0; i < kSaveBoxCount; ++i) {
    const QSignalBlocker block(boxes_[i]);
    boxes_[i]->setChecked(rules_.Checked(static_cast<SaveBox>(i)));
  }
}

int TSaveForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TSaveForm::OkButtonClick() {
  rules_.OkButtonClick();
  accept();
}

}  // namespace merivac
