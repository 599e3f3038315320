// RadioDialog.cpp - widgets of the Radio dialog and their wiring to the model.
#include "radio/ui/RadioDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {
namespace {

void SetBase(QLineEdit* edit, Rgb c) {
  QPalette p = edit->palette();
  p.setColor(QPalette::Base, QColor(c.r, c.g, c.b));
  edit->setPalette(p);
}

}  // namespace

TRadioForm::TRadioForm(RadioDialogModel& model, Settings& settings, RadioControl& radio,
                       DebugLog& log, std::function<void()> clearWatchdogExpiry,
                       const QString& captionPrefix, QWidget* parent)
    : QDialog(parent),
      model_(model),
      settings_(settings),
      radio_(radio),
      log_(log),
      clearWatchdogExpiry_(std::move(clearWatchdogExpiry)) {
  setWindowTitle(captionPrefix + "  :  Radio");
  setModal(true);

  PortBox = new QComboBox(this);
  PortBox->setObjectName("PortBox");
  VoxBox = new QCheckBox("VOX", this);
  DtrPttBox = new QCheckBox("PTT", this);
  RtsPttBox = new QCheckBox("PTT", this);
  DtrAlertBox = new QCheckBox("Alert", this);
  RtsAlertBox = new QCheckBox("Alert", this);
  VoxBox->setObjectName("VoxBox");
  DtrPttBox->setObjectName("DtrPttBox");
  RtsPttBox->setObjectName("RtsPttBox");
  DtrAlertBox->setObjectName("DtrAlertBox");
  RtsAlertBox->setObjectName("RtsAlertBox");
  TxDelayEdit = new QLineEdit(this);
  TxDelayEdit->setObjectName("TxDelayEdit");
  TxDelayEdit->setMaxLength(static_cast<int>(RadioDialogModel::kTxDelayMaxLength));
  TxDelayEdit->setToolTip("0 .. 999");
  WDTEdit = new QLineEdit(this);
  WDTEdit->setObjectName("WDTEdit");
  WDTEdit->setMaxLength(static_cast<int>(RadioDialogModel::kWdtMaxLength));
  WDTEdit->setToolTip("0 .. 99 (0 = WD off)");
  OkButton = new QPushButton("OK", this);
  OkButton->setObjectName("OkButton");
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");

  auto* lines = new QGroupBox(" PTT and alert : ", this);
  auto* grid = new QGridLayout(lines);
  grid->addWidget(new QLabel("Port :", lines), 0, 0);
  grid->addWidget(PortBox, 0, 1, 1, 2);
  grid->addWidget(VoxBox, 1, 1);
  grid->addWidget(new QLabel("DTR :", lines), 2, 0);
  grid->addWidget(DtrPttBox, 2, 1);
  grid->addWidget(DtrAlertBox, 2, 2);
  grid->addWidget(new QLabel("RTS :", lines), 3, 0);
  grid->addWidget(RtsPttBox, 3, 1);
  grid->addWidget(RtsAlertBox, 3, 2);
  auto* timing = new QGroupBox(" Timing : ", this);
  auto* tgrid = new QGridLayout(timing);
  tgrid->addWidget(new QLabel("TX delay (ms) :", timing), 0, 0);
  tgrid->addWidget(TxDelayEdit, 0, 1);
  tgrid->addWidget(new QLabel("Watchdog (minutes) :", timing), 1, 0);
  tgrid->addWidget(WDTEdit, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines);
  layout->addWidget(timing);
  layout->addLayout(buttons);

  for (int i = 0; i < static_cast<int>(RadioBox::Count); ++i) {
    const auto box = static_cast<RadioBox>(i);
    connect(Widget(box), &QCheckBox::clicked, this, [this, box](bool checked) {
      model_.ClickBox(box, checked);
      Refresh();
    });
  }
  connect(PortBox, &QComboBox::activated, this, [this](int index) {
    model_.SelectPort(index);
    Refresh();
  });
  connect(TxDelayEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    model_.EditTxDelay(text.toStdString());
    Refresh();
  });
  connect(WDTEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
    model_.EditWdt(text.toStdString());
    Refresh();
  });
  connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

QCheckBox* TRadioForm::Widget(RadioBox box) const {
  switch (box) {
    case RadioBox::VoxBox: return VoxBox;
    case RadioBox::DtrPttBox: return DtrPttBox;
    case RadioBox::RtsPttBox: return RtsPttBox;
    case RadioBox::DtrAlertBox: return DtrAlertBox;
    default: return RtsAlertBox;
  }
}

void TRadioForm::LoadFromSettings() {
  model_.Open(settings_);
  // The list is made once at program start; take it over when it differs.
  QStringList items;
  for (const auto& item : model_.PortItems()) items << QString::fromStdString(item);
  QStringList shown;
  for (int i = 0; i < PortBox->count(); ++i) shown << PortBox->itemText(i);
  if (shown != items) {
    const QSignalBlocker block(PortBox);
    PortBox->clear();
    PortBox->addItems(items);
  }
  Refresh();
}

int TRadioForm::ShowModal(const QWidget* mainWindow) {
  LoadFromSettings();
  if (mainWindow != nullptr) move(mainWindow->x() + 30, mainWindow->y() + 30);
  return exec();
}

void TRadioForm::OkButtonClick() {
  model_.OkButtonClick(settings_, radio_, log_, clearWatchdogExpiry_);
  accept();
}

void TRadioForm::Refresh() {
  for (int i = 0; i < static_cast<int>(RadioBox::Count); ++i) {
    const auto box = static_cast<RadioBox>(i);
    QCheckBox* w = Widget(box);
    const QSignalBlocker block(w);
    w->setChecked(model_.Box(box).checked);
    w->setEnabled(model_.Box(box).enabled);
  }
  {
    const QSignalBlocker block(PortBox);
    PortBox->setCurrentIndex(model_.SelectedPort());
  }
  const auto showEdit = [](QLineEdit* edit, const EditState& state) {
    const QString text = QString::fromStdString(state.text);
    if (edit->text() != text) {
      const QSignalBlocker block(edit);
      edit->setText(text);
    }
    edit->setEnabled(state.enabled);
    SetBase(edit, state.color);
  };
  showEdit(TxDelayEdit, model_.TxDelayEdit());
  showEdit(WDTEdit, model_.WdtEdit());
  OkButton->setEnabled(model_.OkEnabled());
}

}  // namespace merivac
