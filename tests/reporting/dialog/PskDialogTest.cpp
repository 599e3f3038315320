// PskDialogTest.cpp - the Reporting dialog: its rules (enabling, colours,
// what OK stores) and the real TPskForm on the offscreen display (design
// names, caption, placement, typing, OK and Cancel).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "reporting/PskDialogRules.h"
#include "reporting/ui/PskDialog.h"

namespace merivac {
namespace {

const QString kPrefix = "Merivac  v0.1.0.0.";

TEST(PskDialogRulesTest, EnablingFollowsTheBoxes) {
  const struct {
    bool psk, swl, udp;
    bool swlEnabled, idEnabled, udpFieldsEnabled;
  } cases[] = {
      {false, false, false, false, false, false},
      {true, false, false, true, false, false},
      {true, true, false, true, true, false},
      {false, true, true, false, false, true},  // SWL ticked, spotting off: ID unusable
      {false, false, true, false, false, true},
  };
  for (const auto& c : cases) {
    Settings s;
    s.pskEnabled = c.psk;
    s.pskSwl = c.swl;
    s.udpEnabled = c.udp;
    PskDialogRules r(s);
    r.FormActivate();
    EXPECT_TRUE(r.Enabled(PskControl::PskBox));
    EXPECT_TRUE(r.Enabled(PskControl::UdpBox));
    EXPECT_EQ(r.Enabled(PskControl::SwlBox), c.swlEnabled);
    EXPECT_EQ(r.Enabled(PskControl::IdEdit), c.idEnabled);
    EXPECT_EQ(r.Enabled(PskControl::PskLabel), c.idEnabled);
    for (PskControl u :
         {PskControl::IpLabel, PskControl::IpEdit, PskControl::PortLabel, PskControl::PortEdit}) {
      EXPECT_EQ(r.Enabled(u), c.udpFieldsEnabled);
    }
  }
  // Clicks after opening.
  Settings s;
  PskDialogRules r(s);
  r.FormActivate();
  r.PskBoxChange(true);
  r.SwlBoxChange(true);
  EXPECT_TRUE(r.Enabled(PskControl::IdEdit));
  r.PskBoxChange(false);
  EXPECT_FALSE(r.Enabled(PskControl::IdEdit));
  EXPECT_FALSE(r.Enabled(PskControl::SwlBox));
}

TEST(PskDialogRulesTest, EditsTurnRedWhenInvalid) {
  Settings s;
  PskDialogRules r(s);
  r.FormActivate();
  // Opening: the empty ID is red, the default address and port are valid.
  EXPECT_EQ(r.Color(PskControl::IdEdit), colors::kRed);
  EXPECT_EQ(r.Color(PskControl::IpEdit), colors::kInfoBackground);
  EXPECT_EQ(r.Text(PskControl::PortEdit), "2239");
  EXPECT_FALSE(r.Invalid(PskControl::PortEdit));
  const struct {
    PskControl edit;
    const char* text;
    bool invalid;
  } cases[] = {
      {PskControl::IdEdit, "AB", true},       {PskControl::IdEdit, "ABC", false},
      {PskControl::IpEdit, "1.2.3", true},    {PskControl::IpEdit, "192.168.1.255", false},
      {PskControl::PortEdit, "1023", true},   {PskControl::PortEdit, "1024", false},
      {PskControl::PortEdit, "49151", false}, {PskControl::PortEdit, "49152", true},
      {PskControl::PortEdit, "", true},       {PskControl::PortEdit, "99999999999999", true},
  };
  for (const auto& c : cases) {
    if (c.edit == PskControl::IdEdit) r.IdEditChange(c.text);
    if (c.edit == PskControl::IpEdit) r.IpEditChange(c.text);
    if (c.edit == PskControl::PortEdit) r.PortEditChange(c.text);
    EXPECT_EQ(r.Invalid(c.edit), c.invalid) << c.text;
    EXPECT_EQ(r.Color(c.edit), c.invalid ? colors::kRed : colors::kInfoBackground) << c.text;
  }
  r.IdEditChange("ABCDEFGHIJKLMNOPQRS");
  EXPECT_EQ(r.Text(PskControl::IdEdit), "ABCDEFGHIJKLMNOP") << "at most 16 characters";
}

TEST(PskDialogRulesTest, OkStoresRedEditsAsEmptyOrZeroCancelStoresNothing) {
  Settings s;
  s.pskId = "OLD-ID";
  PskDialogRules r(s);
  r.FormActivate();
  r.PskBoxChange(true);
  r.SwlBoxChange(true);
  r.IdEditChange("AB");
  r.UdpBoxChange(true);
  r.IpEditChange("1..2.3.4");
  r.PortEditChange("80");
  r.CancelButtonClick();
  EXPECT_FALSE(s.pskEnabled);
  EXPECT_EQ(s.pskId, "OLD-ID");
  EXPECT_EQ(s.udpPort, 2239);

  r.OkButtonClick();
  EXPECT_TRUE(s.pskEnabled);
  EXPECT_TRUE(s.pskSwl);
  EXPECT_EQ(s.pskId, "");
  EXPECT_TRUE(s.udpEnabled);
  EXPECT_EQ(s.udpAddress, "");
  EXPECT_EQ(s.udpPort, 0);

  // A port of 0 opens as an empty edit.
  r.FormActivate();
  EXPECT_EQ(r.Text(PskControl::PortEdit), "");
  r.IpEditChange("127.0.0.1");
  r.PortEditChange("2240");
  r.IdEditChange("DL-SWL-7");
  r.OkButtonClick();
  EXPECT_EQ(s.udpAddress, "127.0.0.1");
  EXPECT_EQ(s.udpPort, 2240);
  EXPECT_EQ(s.pskId, "DL-SWL-7");
}

template <typename T>
T* Child(QWidget& w, const char* name) {
  T* c = w.findChild<T*>(name);
  EXPECT_NE(c, nullptr) << name;
  return c;
}

QColor Base(QLineEdit* e) { return e->palette().color(QPalette::Base); }

TEST(PskFormTest, DesignNamesCaptionAndWhatOpeningShows) {
  Settings s;
  s.udpEnabled = true;
  s.udpPort = 0;
  TPskForm form(s, kPrefix);
  EXPECT_EQ(form.windowTitle(), "Merivac  v0.1.0.0.  :  Reporting");
  form.FormActivate();
  EXPECT_EQ(Child<QCheckBox>(form, "PskBox")->text(), "Enable PSK Reporter spotting");
  EXPECT_EQ(Child<QCheckBox>(form, "SwlBox")->text(), "Use PSK Reporter as SWL");
  EXPECT_EQ(Child<QLabel>(form, "PskLabel")->text(), "PSK Reporter ID:");
  EXPECT_EQ(Child<QCheckBox>(form, "UdpBox")->text(), "Enable UDP broadcasting");
  EXPECT_EQ(Child<QLabel>(form, "IpLabel")->text(), "IP adress :");
  EXPECT_EQ(Child<QLabel>(form, "PortLabel")->text(), "Port number :");
  EXPECT_EQ(Child<QLineEdit>(form, "IdEdit")->toolTip(), "min. 3 characters, max. 16 characters");
  EXPECT_EQ(Child<QLineEdit>(form, "IpEdit")->toolTip(), "valid IP address");
  EXPECT_EQ(Child<QLineEdit>(form, "PortEdit")->toolTip(), "1024 - 49151");
  EXPECT_EQ(Child<QLineEdit>(form, "IdEdit")->maxLength(), 16);
  EXPECT_FALSE(Child<QCheckBox>(form, "SwlBox")->isEnabled());
  EXPECT_FALSE(Child<QLineEdit>(form, "IdEdit")->isEnabled());
  EXPECT_TRUE(Child<QCheckBox>(form, "UdpBox")->isChecked());
  EXPECT_TRUE(Child<QLineEdit>(form, "IpEdit")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(form, "IpEdit")->text(), "127.0.0.1");
  EXPECT_EQ(Child<QLineEdit>(form, "PortEdit")->text(), "");
  EXPECT_EQ(Base(Child<QLineEdit>(form, "PortEdit")), QColor(255, 0, 0));
  EXPECT_EQ(Base(Child<QLineEdit>(form, "IpEdit")), QColor(255, 255, 225));
}

TEST(PskFormTest, TypingClicksAndOk) {
  Settings s;
  TPskForm form(s, kPrefix);
  QPoint shownAt;
  QTimer::singleShot(0, &form, [&] {
    shownAt = form.pos();
    Child<QCheckBox>(form, "PskBox")->click();
    Child<QCheckBox>(form, "SwlBox")->click();
    auto* id = Child<QLineEdit>(form, "IdEdit");
    EXPECT_TRUE(id->isEnabled());
    QTest::keyClicks(id, "DL");
    EXPECT_EQ(Base(id), QColor(255, 0, 0));
    QTest::keyClicks(id, "-SWL-7");
    EXPECT_EQ(Base(id), QColor(255, 255, 225));
    Child<QCheckBox>(form, "UdpBox")->click();
    auto* port = Child<QLineEdit>(form, "PortEdit");
    port->selectAll();
    QTest::keyClicks(port, "22x41");  // the letter is refused
    EXPECT_EQ(port->text(), "2241");
    Child<QPushButton>(form, "OkButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(100, 80)), QDialog::Accepted);
  EXPECT_EQ(shownAt, QPoint(130, 110));
  EXPECT_TRUE(s.pskEnabled);
  EXPECT_TRUE(s.pskSwl);
  EXPECT_EQ(s.pskId, "DL-SWL-7");
  EXPECT_TRUE(s.udpEnabled);
  EXPECT_EQ(s.udpPort, 2241);
}

TEST(PskFormTest, CancelStoresNothing) {
  Settings s;
  TPskForm form(s, kPrefix);
  QTimer::singleShot(0, &form, [&] {
    Child<QCheckBox>(form, "UdpBox")->click();
    Child<QLineEdit>(form, "IpEdit")->setText("10.0.0.255");
    Child<QPushButton>(form, "CancelButton")->click();
  });
  EXPECT_EQ(form.ShowModal(QPoint(0, 0)), QDialog::Rejected);
  EXPECT_FALSE(s.udpEnabled);
  EXPECT_EQ(s.udpAddress, "127.0.0.1");
}

}  // namespace
}  // namespace merivac
