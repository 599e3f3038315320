// ModeDialog.cpp - the Mode dialog's widgets and their forwarding.
#include "shell/ui/ModeDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {

namespace {

constexpr std::array<const char*, 4> kModeButtonNames = {"M1Button", "M2Button", "M5Button",
                                                         "M10Button"};

struct BoxDesign {
  const char* name;
  const char* label;
};
// Two-line labels break where the design has "\r\n".
constexpr std::array<BoxDesign, kModeBoxCount> kBoxes = {{
    {"EnableTxBox", "Enable TX after selecting\nDX call or message"},
    {"ShowMsgBox", "Show TX messages in the\nRX frequency window"},
    {"AudioTxBox", "Discard audio frequency\nlimits on TX"},
    {"AudioRxBox", "Discard audio frequency\nlimits on RX"},
    {"MultiDecBox", "Allow multiple decoding"},
}};

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TModeForm::TModeForm(Settings& settings, const QString& captionPrefix, QWidget* parent)
    : QDialog(parent), rules_(settings) {
  setObjectName("ModeForm");
  setWindowTitle(captionPrefix + "  :  Mode");

  auto* modeGroup = new QGroupBox(" Mode : ", this);
  auto* modeLayout = new QVBoxLayout(modeGroup);
  for (size_t i = 0; i < modeButtons_.size(); ++i) {
    const uint32_t mode = kModeButtonModes[i];
    auto* b = new QRadioButton(QString("JT9-%1").arg(mode), modeGroup);
    b->setObjectName(kModeButtonNames[i]);
    modeLayout->addWidget(b);
    connect(b, &QRadioButton::toggled, this, [this, mode](bool on) {
      if (on) rules_.SelectMode(mode);
    });
    modeButtons_[i] = b;
  }

  auto* props = new QGroupBox("Properties : ", this);
  auto* propsLayout = new QVBoxLayout(props);
  toneSpacingEdit_ = new QLineEdit(props);
  toneSpacingEdit_->setObjectName("ToneSpacingEdit");
  toneSpacingEdit_->setMaxLength(static_cast<int>(kToneSpacingMaxLength));
  toneSpacingEdit_->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]*"), toneSpacingEdit_));
  auto* spacingRow = new QHBoxLayout;
  spacingRow->addWidget(toneSpacingEdit_);
  spacingRow->addWidget(new QLabel("x tone spacing", props));
  spacingRow->addStretch();
  propsLayout->addLayout(spacingRow);
  for (int i = 0; i < kModeBoxCount; ++i) {
    auto* box = new QCheckBox(kBoxes[i].label, props);
    box->setObjectName(kBoxes[i].name);
    propsLayout->addWidget(box);
    const auto which = static_cast<ModeBox>(i);
    connect(box, &QCheckBox::toggled, this,
            [this, which](bool on) { rules_.SetChecked(which, on); });
    boxes_[i] = box;
  }

  okButton_ = MakeButton("OK", "OkButton", this);
  cancelButton_ = MakeButton("Cancel", "CancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);

  auto* groups = new QHBoxLayout;
  groups->addWidget(modeGroup);
  groups->addWidget(props);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);

  connect(toneSpacingEdit_, &QLineEdit::textEdited, this, &TModeForm::ToneSpacingEditChange);
  connect(okButton_, &QPushButton::clicked, this, &TModeForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TModeForm::FormActivate() {
  rules_.Open();
  for (size_t i = 0; i < modeButtons_.size(); ++i) {
    if (kModeButtonModes[i] == rules_.SelectedMode()) modeButtons_[i]->setChecked(true);
  }
  toneSpacingEdit_->setText(QString::fromStdString(rules_.ToneSpacingText()));
  for (int i = 0; i < kModeBoxCount; ++i) {
    const QSignalBlocker block(boxes_[i]);
    boxes_[i]->setChecked(rules_.Checked(static_cast<ModeBox>(i)));
  }
}

int TModeForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TModeForm::ToneSpacingEditChange(const QString& text) {
  const std::string& shown = rules_.ToneSpacingEditChange(text.toStdString());
  const QString q = QString::fromStdString(shown);
  if (toneSpacingEdit_->text() != q) {
    const QSignalBlocker block(toneSpacingEdit_);
    toneSpacingEdit_->setText(q);
  }
}

void TModeForm::OkButtonClick() {
  rules_.OkButtonClick();
  accept();
}

}  // namespace merivac
