// PskDialog.cpp - the Reporting dialog's widgets and their forwarding.
#include "reporting/ui/PskDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {

namespace {

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QLineEdit* MakeEdit(const char* name, const char* hint, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setToolTip(hint);
  e->setMaxLength(static_cast<int>(kPskEditMaxLength));
  return e;
}

QLabel* MakeLabel(const char* text, const char* name, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  return l;
}

QCheckBox* MakeBox(const char* text, const char* name, QWidget* parent) {
  auto* b = new QCheckBox(text, parent);
  b->setObjectName(name);
  return b;
}

bool IsEdit(PskControl c) {
  return c == PskControl::IdEdit || c == PskControl::IpEdit || c == PskControl::PortEdit;
}

bool IsBox(PskControl c) {
  return c == PskControl::PskBox || c == PskControl::SwlBox || c == PskControl::UdpBox;
}

}  // namespace

TPskForm::TPskForm(Settings& settings, const QString& captionPrefix, QWidget* parent)
    : QDialog(parent), rules_(settings) {
  setObjectName("PskForm");
  setWindowTitle(captionPrefix + "  :  Reporting");

  auto* pskGroup = new QGroupBox(" PSK Reporter : ", this);
  auto* pskBox = MakeBox("Enable PSK Reporter spotting", "PskBox", pskGroup);
  auto* swlBox = MakeBox("Use PSK Reporter as SWL", "SwlBox", pskGroup);
  auto* pskLabel = MakeLabel("PSK Reporter ID:", "PskLabel", pskGroup);
  auto* idEdit = MakeEdit("IdEdit", "min. 3 characters, max. 16 characters", pskGroup);
  auto* pskLayout = new QGridLayout(pskGroup);
  pskLayout->addWidget(pskBox, 0, 0, 1, 2);
  pskLayout->addWidget(swlBox, 1, 0, 1, 2);
  pskLayout->addWidget(pskLabel, 2, 0);
  pskLayout->addWidget(idEdit, 2, 1);

  auto* udpGroup = new QGroupBox(" UDP broadcasting : ", this);
  auto* udpBox = MakeBox("Enable UDP broadcasting", "UdpBox", udpGroup);
  auto* ipLabel = MakeLabel("IP adress :", "IpLabel", udpGroup);
  auto* ipEdit = MakeEdit("IpEdit", "valid IP address", udpGroup);
  auto* portLabel = MakeLabel("Port number :", "PortLabel", udpGroup);
  auto* portEdit = MakeEdit("PortEdit", "1024 - 49151", udpGroup);
  portEdit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), portEdit));
  auto* udpLayout = new QGridLayout(udpGroup);
  udpLayout->addWidget(udpBox, 0, 0, 1, 2);
  udpLayout->addWidget(ipLabel, 1, 0);
  udpLayout->addWidget(ipEdit, 1, 1);
  udpLayout->addWidget(portLabel, 2, 0);
  udpLayout->addWidget(portEdit, 2, 1);

  controls_ = {pskBox, swlBox, pskLabel, idEdit, udpBox, ipLabel, ipEdit, portLabel, portEdit};

  okButton_ = MakeButton("OK", "OkButton", this);
  cancelButton_ = MakeButton("Cancel", "CancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pskGroup);
  layout->addWidget(udpGroup);
  layout->addLayout(buttons);
  // A fixed border: the dialog keeps the size of its contents.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(pskBox, &QCheckBox::toggled, this, [this](bool on) {
    rules_.PskBoxChange(on);
    ShowState();
  });
  connect(swlBox, &QCheckBox::toggled, this, [this](bool on) {
    rules_.SwlBoxChange(on);
    ShowState();
  });
  connect(udpBox, &QCheckBox::toggled, this, [this](bool on) {
    rules_.UdpBoxChange(on);
    ShowState();
  });
  connect(idEdit, &QLineEdit::textChanged, this,
          [this](const QString& t) { EditChanged(PskControl::IdEdit, t); });
  connect(ipEdit, &QLineEdit::textChanged, this,
          [this](const QString& t) { EditChanged(PskControl::IpEdit, t); });
  connect(portEdit, &QLineEdit::textChanged, this,
          [this](const QString& t) { EditChanged(PskControl::PortEdit, t); });
  connect(okButton_, &QPushButton::clicked, this, &TPskForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TPskForm::FormActivate() {
  rules_.FormActivate();
  ShowState();
}

int TPskForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TPskForm::EditChanged(PskControl edit, const QString& text) {
  const std::string t = text.toStdString();
  if (edit == PskControl::IdEdit) rules_.IdEditChange(t);
  if (edit == PskControl::IpEdit) rules_.IpEditChange(t);
  if (edit == PskControl::PortEdit) rules_.PortEditChange(t);
  ShowState();
}

void TPskForm::ShowState() {
  for (size_t i = 0; i < kPskControlCount; ++i) {
    const auto c = static_cast<PskControl>(i);
    QWidget* w = controls_[i];
    w->setEnabled(rules_.Enabled(c));
    if (IsBox(c)) {
      auto* box = static_cast<QCheckBox*>(w);
      const QSignalBlocker block(box);
      box->setChecked(rules_.Checked(c));
    } else if (IsEdit(c)) {
      auto* edit = static_cast<QLineEdit*>(w);
      const QString text = QString::fromStdString(rules_.Text(c));
      if (edit->text() != text) {
        const QSignalBlocker block(edit);
        edit->setText(text);
      }
      const Rgb color = rules_.Color(c);
      QPalette p = edit->palette();
      p.setColor(QPalette::Base, QColor(color.r, color.g, color.b));
      edit->setPalette(p);
    }
  }
}

void TPskForm::OkButtonClick() {
  rules_.OkButtonClick();
  accept();
}

}  // namespace merivac
