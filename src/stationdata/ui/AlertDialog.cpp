// AlertDialog.cpp - the Alert dialog's widgets and their forwarding.
#include "stationdata/ui/AlertDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace merivac {

namespace {

constexpr std::array<const char*, kAlertBoxCount> kBoxNames = {
    "MyCallBox", "NewCallBox", "DxccBox",    "StateBox", "AnyDxBox",
    "NewDxBox",  "IncludeBox", "ExcludeBox", "CtyBox",   "WasBox"};
constexpr std::array<const char*, kAlertBoxCount> kBoxLabels = {
    "My call is received",
    "A new call is received",
    "A new DXCC is received",
    "A new US state is received",
    "Any DX more than ",
    "New DX more than ",
    "Include: ",
    "Exclude: ",
    "CTY.DAT (Amateur Radio Country Files)",
    "WAS.DAT (US State file)"};
constexpr std::array<const char*, kAlertEditCount> kEditNames = {
    "AnyDxEdit", "NewDxEdit", "IncludeEdit", "ExcludeEdit", "WasUrlEdit"};
constexpr const char* kListHint = "enter one or more calls (comma separated)";

QPushButton* MakeButton(const char* text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TAlertForm::TAlertForm(Settings& settings, StationData& stationData, const QString& captionPrefix,
                       QWidget* parent)
    : QDialog(parent), rules_(settings, stationData) {
  setObjectName("AlertForm");
  setWindowTitle(captionPrefix + "  :  Alert");

  auto* alertGroup = new QGroupBox("Alert if : ", this);
  auto* updateGroup = new QGroupBox(" Update at startup : ", this);
  for (int i = 0; i < kAlertBoxCount; ++i) {
    const auto which = static_cast<AlertBox>(i);
    QWidget* group =
        which == AlertBox::CtyBox || which == AlertBox::WasBox ? updateGroup : alertGroup;
    auto* box = new QCheckBox(kBoxLabels[i], group);
    box->setObjectName(kBoxNames[i]);
    connect(box, &QCheckBox::toggled, this,
            [this, which](bool on) { rules_.SetChecked(which, on); });
    boxes_[i] = box;
  }
  for (int i = 0; i < kAlertEditCount; ++i) {
    const auto which = static_cast<AlertEdit>(i);
    QWidget* group = which == AlertEdit::WasUrlEdit ? updateGroup : alertGroup;
    auto* edit = new QLineEdit(group);
    edit->setObjectName(kEditNames[i]);
    connect(edit, &QLineEdit::textEdited, this,
            [this, which](const QString& text) { EditChange(which, text); });
    edits_[i] = edit;
  }
  for (AlertEdit e : {AlertEdit::AnyDxEdit, AlertEdit::NewDxEdit}) {
    QLineEdit* edit = edits_[static_cast<int>(e)];
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    edit->setFixedWidth(60);
  }
  for (AlertEdit e : {AlertEdit::IncludeEdit, AlertEdit::ExcludeEdit}) {
    edits_[static_cast<int>(e)]->setToolTip(kListHint);
  }
  edits_[static_cast<int>(AlertEdit::WasUrlEdit)]->setToolTip(
      "Web address (http or https) of the WAS.DAT file downloaded at startup");

  auto box = [this](AlertBox b) { return boxes_[static_cast<int>(b)]; };
  auto edit = [this](AlertEdit e) { return edits_[static_cast<int>(e)]; };
  auto* alertLayout = new QVBoxLayout(alertGroup);
  for (AlertBox b :
       {AlertBox::MyCallBox, AlertBox::NewCallBox, AlertBox::DxccBox, AlertBox::StateBox}) {
    alertLayout->addWidget(box(b));
  }
  auto row = [&](AlertBox b, AlertEdit e, const char* after) {
    auto* r = new QHBoxLayout;
    r->addWidget(box(b));
    r->addWidget(edit(e), after == nullptr ? 1 : 0);
    if (after != nullptr) r->addWidget(new QLabel(after, alertGroup));
    r->addStretch(after == nullptr ? 0 : 1);
    alertLayout->addLayout(r);
  };
  row(AlertBox::AnyDxBox, AlertEdit::AnyDxEdit, " km is received");
  row(AlertBox::NewDxBox, AlertEdit::NewDxEdit, " km is received");
  row(AlertBox::IncludeBox, AlertEdit::IncludeEdit, nullptr);
  row(AlertBox::ExcludeBox, AlertEdit::ExcludeEdit, nullptr);

  auto* updateLayout = new QVBoxLayout(updateGroup);
  updateLayout->addWidget(box(AlertBox::CtyBox));
  updateLayout->addWidget(box(AlertBox::WasBox));
  auto* source = new QHBoxLayout;
  source->addWidget(new QLabel("WAS.DAT source:", updateGroup));
  source->addWidget(edit(AlertEdit::WasUrlEdit), 1);
  updateLayout->addLayout(source);

  okButton_ = MakeButton("OK", "OkButton", this);
  cancelButton_ = MakeButton("Cancel", "CancelButton", this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(alertGroup);
  layout->addWidget(updateGroup);
  layout->addLayout(buttons);
  setMinimumWidth(420);

  connect(okButton_, &QPushButton::clicked, this, &TAlertForm::OkButtonClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void TAlertForm::FormActivate() {
  rules_.FormActivate();
  for (int i = 0; i < kAlertBoxCount; ++i) {
    const QSignalBlocker block(boxes_[i]);
    boxes_[i]->setChecked(rules_.Checked(static_cast<AlertBox>(i)));
  }
  for (int i = 0; i < kAlertEditCount; ++i) {
    const QSignalBlocker block(edits_[i]);
    edits_[i]->setText(QString::fromStdString(rules_.Text(static_cast<AlertEdit>(i))));
  }
}

int TAlertForm::ShowModal(QPoint mainTopLeft) {
  move(mainTopLeft + QPoint(30, 30));
  FormActivate();
  return exec();
}

void TAlertForm::EditChange(AlertEdit edit, const QString& text) {
  const QString shown = QString::fromStdString(rules_.EditChange(edit, text.toStdString()));
  QLineEdit* field = edits_[static_cast<int>(edit)];
  if (field->text() != shown) {
    const QSignalBlocker block(field);
    field->setText(shown);
  }
}

void TAlertForm::OkButtonClick() {
  rules_.OkButtonClick();
  accept();
}

}  // namespace merivac
