// LogDialogTest.cpp - the Logbook dialog: band preselection from the dial
// frequency, the countdown in the caption that loads by itself, clicks that
// stop it, OK, Cancel, and the Logbook button's file dialog; the rules on
// their own and the dialog on the offscreen display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "logbook/ui/LogDialog.h"
#include "support/TempDir.h"

namespace merivac {
namespace {

const std::string kPrefix = "Merivac  v0.1.0.0.";
const std::string kCaption = kPrefix + "  :  Load logbook";

// A modal run that goes wrong must fail, not hang: after a few seconds any
// modal window still open is closed.
void CloseModalsLater() {
  QTimer::singleShot(5000, [] {
    while (QWidget* w = QApplication::activeModalWidget()) {
      ADD_FAILURE() << "a modal window was left open";
      w->close();
    }
  });
}

template <typename T>
T* Child(QWidget& w, const QString& name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name.toStdString();
  return c;
}

TEST(LogDialogRules, OpeningPreselectsTheBandOfTheDialFrequency) {
  const std::vector<std::pair<uint32_t, int>> cases = {{475700, 1}, {137500, 0},    {14074000, 8},
                                                       {0, -1},     {50313000, -1}, {479001, -1}};
  for (const auto& [dial, band] : cases) {
    Settings s;
    s.dialFreq = dial;
    s.logbookPath = "/home/op/log.adi";
    LogDialogRules rules(s, kPrefix);
    rules.FormActivate();
    EXPECT_EQ(rules.SelectedBand(), band) << dial;
    EXPECT_EQ(rules.SelectedMode(), 0);
    EXPECT_EQ(rules.LogEditText(), "/home/op/log.adi");
    EXPECT_EQ(rules.Caption(), kCaption);
    EXPECT_TRUE(rules.TimerRunning());
  }
}

TEST(LogDialogRules, TheCountdownRunsFromTenToZeroThenLoads) {
  Settings s;
  s.dialFreq = 475700;
  LogDialogRules rules(s, kPrefix);
  rules.FormActivate();
  for (int shown = 10; shown >= 1; --shown) {
    EXPECT_FALSE(rules.TimerTimer());
    EXPECT_EQ(rules.Caption(), kCaption + " (" + std::to_string(shown) + ")");
  }
  EXPECT_TRUE(rules.TimerTimer());
  EXPECT_EQ(rules.Caption(), kCaption + " (0)");
  EXPECT_TRUE(rules.Choice().loadConfirmed);
  EXPECT_EQ(rules.Choice().filter.band, "630M");
  EXPECT_EQ(rules.Choice().filter.mode, "JT9");
  EXPECT_FALSE(rules.TimerRunning());
}

TEST(LogDialogRules, ClicksStopTheCountdownAndOkOrCancelDecide) {
  Settings s;
  s.logbookPath = "/old.adi";
  LogDialogRules rules(s, kPrefix);
  rules.FormActivate();
  rules.TimerTimer();
  rules.ModeGroupClick(6);  // "Any"
  EXPECT_EQ(rules.Caption(), kCaption);
  EXPECT_FALSE(rules.TimerTimer());
  EXPECT_FALSE(rules.Choice().loadConfirmed);
  rules.LogButtonClick();
  rules.FileChosen("/new.adx");
  EXPECT_EQ(s.logbookPath, "/old.adi");  // stored only when the choices are taken
  rules.OkButtonClick();
  EXPECT_TRUE(rules.Choice().loadConfirmed);
  EXPECT_EQ(rules.Choice().filter.band, "0M");  // no band selected
  EXPECT_EQ(rules.Choice().filter.mode, "Any");
  EXPECT_EQ(s.logbookPath, "/new.adx");

  rules.FormActivate();
  rules.BandGroupClick(12);
  rules.CancelButtonClick();
  EXPECT_FALSE(rules.Choice().loadConfirmed);
}

TEST(LogDialogRules, WithoutAWindowTheChoicesAreThoseOfTheCountdown) {
  Settings s;
  s.dialFreq = 137500;
  s.logbookPath = "/home/op/log.adi";
  CountdownLogbookPrompt prompt(s);
  const LogbookChoice c = prompt.AskLogbook();
  EXPECT_TRUE(c.loadConfirmed);
  EXPECT_EQ(c.filter.band, "2190M");
  EXPECT_EQ(c.filter.mode, "JT9");
  EXPECT_EQ(s.logbookPath, "/home/op/log.adi");
}

TEST(LogDialog, LeftAloneItCountsDownInItsCaptionAndCloses) {
  Settings s;
  s.dialFreq = 475700;
  s.logbookPath = "/home/op/log.adi";
  TLogForm form(s, QString::fromStdString(kPrefix));
  form.Timer().setInterval(5);  // the second of the real dialog, shortened
  CloseModalsLater();
  QStringList captions;
  QObject::connect(&form, &QWidget::windowTitleChanged,
                   [&](const QString& title) { captions << title; });
  QPoint shownAt;
  QTimer::singleShot(0, &form, [&] {
    shownAt = form.pos();
    EXPECT_EQ(Child<QLineEdit>(form, "LogEdit")->text(), "/home/op/log.adi");
    EXPECT_TRUE(Child<QLineEdit>(form, "LogEdit")->isReadOnly());
    EXPECT_TRUE(Child<QRadioButton>(form, "Band630M")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(form, "ModeJT9")->isChecked());
  });
  EXPECT_EQ(form.ShowModal(QPoint(100, 50)), QDialog::Accepted);
  EXPECT_EQ(shownAt, QPoint(130, 80));
  ASSERT_GE(captions.size(), 11);
  EXPECT_EQ(captions.first().toStdString(), kCaption + " (10)");
  EXPECT_EQ(captions.last().toStdString(), kCaption + " (0)");
  EXPECT_TRUE(form.Rules().Choice().loadConfirmed);
  EXPECT_EQ(form.Rules().Choice().filter.band, "630M");
}

TEST(LogDialog, ABandClickStopsTheCountdownAndOkTakesTheChoice) {
  Settings s;
  TLogForm form(s, QString::fromStdString(kPrefix));
  form.Timer().setInterval(5);
  CloseModalsLater();
  QTimer::singleShot(0, &form, [&] {
    Child<QRadioButton>(form, "Band2190M")->click();
    EXPECT_EQ(form.windowTitle().toStdString(), kCaption);
    // Long after the countdown would have ended the dialog is still open.
    QTest::qWait(150);
    EXPECT_TRUE(form.isVisible());
    Child<QRadioButton>(form, "ModeJT9-2")->click();
    Child<QPushButton>(form, "OkButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Accepted);
  EXPECT_EQ(form.Rules().Choice().filter.band, "2190M");
  EXPECT_EQ(form.Rules().Choice().filter.mode, "JT9-2");
  EXPECT_TRUE(form.Rules().Choice().loadConfirmed);
}

TEST(LogDialog, CancelAndEscapeLoadNothing) {
  Settings s;
  TLogForm form(s, QString::fromStdString(kPrefix));
  QTimer::singleShot(0, &form, [&] { Child<QPushButton>(form, "CancelButton")->click(); });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Rejected);
  EXPECT_FALSE(form.Rules().Choice().loadConfirmed);
  QTimer::singleShot(0, &form, [&] { QTest::keyClick(&form, Qt::Key_Escape); });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Rejected);
  EXPECT_FALSE(form.Rules().Choice().loadConfirmed);
  EXPECT_FALSE(form.Timer().isActive());
}

TEST(LogDialog, TheLogbookButtonChoosesAnotherFile) {
  testing::TempDir dir;
  const std::string chosen = (dir.Path() / "other.adx").string();
  std::ofstream(chosen) << "<ADX><RECORDS/></ADX>";
  Settings s;
  s.logbookPath = (dir.Path() / "old.adi").string();
  TLogForm form(s, QString::fromStdString(kPrefix));
  QString fileDialogTitle;
  CloseModalsLater();
  // The file dialog runs modally inside the click; a timer answers it once
  // it is shown.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* files = form.findChild<QFileDialog*>("LogFileDialog");
    if (files == nullptr || !files->isVisible()) return;
    poll.stop();
    fileDialogTitle = files->windowTitle();
    // Typed into the file name field and confirmed with Enter.
    auto* name = files->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(chosen));
    QTest::keyClick(name, Qt::Key_Return);
  });
  QTimer::singleShot(0, &form, [&] {
    poll.start(20);
    Child<QPushButton>(form, "LogButton")->click();
    EXPECT_EQ(Child<QLineEdit>(form, "LogEdit")->text().toStdString(), chosen);
    EXPECT_FALSE(form.Timer().isActive());
    Child<QPushButton>(form, "OkButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Accepted);
  EXPECT_EQ(fileDialogTitle, "Open ADIF logbook");
  EXPECT_EQ(s.logbookPath, chosen);
}

}  // namespace
}  // namespace merivac
