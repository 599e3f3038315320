// UiServicesTest.cpp - the message dialog and the hint window, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "shell/Version.h"
#include "shell/ui/MainForm.h"
#include "shell/ui/QtUiServices.h"

namespace merivac {
namespace {

class UiServicesTest : public ::testing::Test {
 protected:
  UiServicesTest() {
    controls.SetText(Ctl::MainForm, MainCaption());
    form.SyncFromModel();
    form.move(100, 80);
    form.show();
  }
  MainControls controls;
  MemoModel band, rx;
  MainHooks hooks;
  TMainForm form{controls, band, rx, hooks};
  QtUiServices ui{form};
};

TEST_F(UiServicesTest, MessageDialogIsSizedPlacedAndCaptioned) {
  const QFontMetrics fm(form.MainFont());
  const int w = fm.horizontalAdvance('X');
  const std::string text = "UDP initialisation failed";
  std::unique_ptr<QDialog> dialog(ui.CreateMessageDialog(text, NoticeKind::Warning));
  EXPECT_EQ(dialog->windowTitle(), form.windowTitle());
  EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog->width(), (static_cast<int>(text.size()) + 1) * w + 58);
  EXPECT_EQ(dialog->height(), 70 + 20);
  EXPECT_EQ(dialog->pos(), form.frameGeometry().topLeft() + QPoint(30, 30));
  auto* label = dialog->findChild<QLabel*>("MessageText");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text().toStdString(), text);
  EXPECT_EQ(label->pos(), QPoint(53, 10));
  EXPECT_EQ(label->font(), form.MainFont());
  auto buttons = dialog->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), "OK");
  EXPECT_EQ(buttons[0]->geometry().bottom() + 1, dialog->height() - 10);
  EXPECT_FALSE(dialog->findChild<QLabel*>("Image")->pixmap().isNull());
}

TEST_F(UiServicesTest, LongMessageIsWrappedToTheWindow) {
  std::string text =
      "Failed to save the settings.\r\nIf the application is installed in a "
      "\"Program Files\" folder you might need to run it as administrator. ";
  text += text;
  std::unique_ptr<QDialog> dialog(ui.CreateMessageDialog(text, NoticeKind::Error));
  EXPECT_LE(dialog->width(), form.Client()->width());
  auto* label = dialog->findChild<QLabel*>("MessageText");
  EXPECT_GT(label->text().count('\n'), 3);
}

TEST_F(UiServicesTest, ShowMessageDialogRunsModallyUntilOk) {
  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    sawDialog = dialog->isVisible();
    dialog->findChild<QPushButton*>("OK")->click();
  });
  ui.ShowMessageDialog("TX watchdog timer tripped", NoticeKind::Warning);
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(form.findChild<QDialog*>("MessageDialog"), nullptr) << "the dialog is destroyed";
}

TEST_F(UiServicesTest, OneHintWindowAtATimeSizedForItsSizeText) {
  ui.ShowHintText("40%", 300, 400, "100%");
  QWidget* hint = ui.HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->pos(), QPoint(300, 400));
  const int width100 = hint->width();
  ui.ShowHintText("40%", 310, 410, "");
  EXPECT_LT(ui.HintWindow()->width(), width100);  // sized for "40%" now
  EXPECT_EQ(form.findChildren<QLabel*>("HintWindow").size(), 1);
  ui.ShowHintText(
      "Double-click on a call to select the DX call.\r\nThe RX frequency and "
      "report will be retrieved (if available).",
      0, 0, "");
  EXPECT_LE(ui.HintWindow()->width(), form.width() + 20);
  EXPECT_GT(ui.HintWindow()->height(), 2 * ui.HintWindow()->fontMetrics().height() - 1);
  ui.HideHintText();
  EXPECT_EQ(ui.HintWindow(), nullptr);
  EXPECT_TRUE(form.findChildren<QLabel*>("HintWindow").isEmpty());
}

TEST_F(UiServicesTest, ProcessEventsMirrorsTheModel) {
  controls.SetText(Ctl::CycleTextLabel, "Decoding pass 3");
  ui.ProcessEvents();
  EXPECT_EQ(static_cast<QLabel*>(form.Widget(Ctl::CycleTextLabel))->text(), "Decoding pass 3");
}

}  // namespace
}  // namespace merivac
