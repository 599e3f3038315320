// QtUiServices.cpp - message dialog, hint window and event processing.
#include "shell/ui/QtUiServices.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "shell/WrapText.h"
#include "shell/ui/MainForm.h"

namespace merivac {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s).replace("\r\n", "\n"); }

QStyle::StandardPixmap IconOf(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::Warning:
      return QStyle::SP_MessageBoxWarning;
    case NoticeKind::Error:
      return QStyle::SP_MessageBoxCritical;
    case NoticeKind::Information:
      return QStyle::SP_MessageBoxInformation;
    case NoticeKind::Confirmation:
      return QStyle::SP_MessageBoxQuestion;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

QtUiServices::~QtUiServices() { HideHintText(); }

QDialog* QtUiServices::CreateMessageDialog(const std::string& text, NoticeKind kind) {
  const QFontMetrics fm(form_.MainFont());
  const MessageDialogLayout layout = ComputeMessageDialogLayout(
      text, fm.horizontalAdvance(QLatin1Char('X')), fm.height(), form_.Client()->width());

  auto* dialog = new QDialog(&form_, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
  dialog->setObjectName("MessageDialog");
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setWindowTitle(form_.windowTitle());

  auto* icon = new QLabel(dialog);
  icon->setObjectName("Image");
  icon->setPixmap(dialog->style()->standardIcon(IconOf(kind)).pixmap(32, 32));
  icon->setGeometry(12, 10, 32, 32);

  // The label's box is set from the sizes above; it then shrinks to its text.
  auto* label = new QLabel(dialog);
  label->setObjectName("MessageText");
  label->setFont(form_.MainFont());
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(53, 10, layout.labelWidth, layout.labelHeight);
  label->setText(Q(layout.text));
  label->adjustSize();

  // The dialog's client size comes from the label's box before it shrank.
  dialog->setFixedSize(layout.clientWidth, layout.clientHeight);
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("OK");
  ok->setDefault(true);
  const int buttonWidth = 75, buttonHeight = 25;
  ok->setGeometry((layout.clientWidth - buttonWidth) / 2, layout.clientHeight - buttonHeight - 10,
                  buttonWidth, buttonHeight);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);

  const QPoint corner = form_.frameGeometry().topLeft();
  dialog->move(corner.x() + 30, corner.y() + 30);
  return dialog;
}

void QtUiServices::ShowMessageDialog(const std::string& text, NoticeKind kind) {
  QDialog* dialog = CreateMessageDialog(text, kind);
  dialog->exec();
  delete dialog;
}

void QtUiServices::ProcessEvents() {
  QCoreApplication::processEvents();
  form_.SyncFromModel();
}

void QtUiServices::ShowHintText(const std::string& text, int x, int y,
                                const std::string& sizeText) {
  HideHintText();
  auto* hint = new QLabel(&form_, Qt::ToolTip | Qt::FramelessWindowHint);
  hint->setObjectName("HintWindow");
  hint->setAttribute(Qt::WA_ShowWithoutActivating);
  hint->setFrameStyle(QFrame::Box | QFrame::Plain);
  hint->setMargin(2);
  QPalette pal = hint->palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
  pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
  hint->setPalette(pal);
  hint->setAutoFillBackground(true);
  hint->setText(Q(text));
  const QString measured = Q(sizeText.empty() ? text : sizeText);
  const QRect need = hint->fontMetrics().boundingRect(QRect(0, 0, form_.width(), 10000),
                                                      Qt::TextWordWrap, measured);
  const int pad = 2 * (hint->margin() + hint->frameWidth()) + 4;
  hint->setGeometry(x, y, need.width() + pad, need.height() + pad);
  hint->show();
  hint_ = hint;
}

void QtUiServices::HideHintText() {
  if (hint_) delete hint_.data();
  hint_ = nullptr;
}

}  // namespace merivac
