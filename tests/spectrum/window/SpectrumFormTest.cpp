// SpectrumFormTest.cpp - the spectrum window offscreen: its size and
// layout, what it shows, and every control driven the way the operator
// drives it (clicks, the track bar, the arrows, the waterfall, closing).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include "spectrum/ui/SpectrumForm.h"
#include "support/SpectrumRig.h"

namespace merivac {
namespace {

using testing::SpectrumRig;
using testing::Tone12k;

class SpectrumFormTest : public ::testing::Test {
 protected:
  SpectrumRig rig{false};
  TSpectrumForm form{rig.view, "Merivac  v0.1", testing::SpectrumTestFont()};
  int afterEvents = 0;

  void SetUp() override {
    form.afterEvent = [this] { ++afterEvents; };
    form.ShowAbove(QRect(100, 400, 700, 500));
    rig.view.Opened();
    QApplication::processEvents();
  }
  bool Lime(QLabel* label) {
    return label->autoFillBackground() &&
           label->palette().color(QPalette::Window) == QColor(0, 255, 0);
  }
  // What the window shows at a point of its client area.
  QColor Shown(QPoint at) { return form.grab().toImage().pixelColor(at); }
};

TEST_F(SpectrumFormTest, CaptionSizeAndPlacesOfThePictures) {
  EXPECT_EQ(form.windowTitle(), "Merivac  v0.1  :  Spectrum view");
  EXPECT_TRUE(form.isWindow());
  EXPECT_FALSE(form.isModal());
  const SpectrumLayout& l = form.Layout();
  EXPECT_EQ(l.scale.topLeft(), QPoint(8, 4));
  EXPECT_EQ(l.marker.top(), l.scale.bottom() + 3);
  EXPECT_EQ(l.marker.height(), 7);
  EXPECT_EQ(form.WaterfallPanel()->geometry(), QRect(8, l.marker.bottom() + 3, 634, 150));
  EXPECT_EQ(form.SpectrumArea()->geometry(), QRect(8, l.panel.bottom() + 5, 634, 60));
  EXPECT_EQ(form.size(), QSize(l.ref.right() + 9, l.spectrum.bottom() + 9));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_EQ(form.AgcLabel()->geometry().bottom(), l.spectrum.top() - 5);
  EXPECT_EQ(form.GainLabel()->y(), form.OffsLabel()->y());
  EXPECT_EQ(form.GainLabel()->geometry().bottom(), form.AgcLabel()->y() - 5);
  EXPECT_EQ(form.WaterfallPanel()->toolTip(),
            "Click to set RX frequency\nDoubleclick to set TX & RX frequency");
  EXPECT_EQ(form.SpectrumArea()->toolTip(), "Click to set the noise reference level (Gain offset)");
}

TEST_F(SpectrumFormTest, PlacedAboveTheMainWindowOrAtTheTop) {
  const int h = form.frameGeometry().height();
  EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(100, 400 - h - 50));
  form.ShowAbove(QRect(30, 100, 700, 500));
  EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(30, 0));
}

TEST_F(SpectrumFormTest, ShowsTheTraceAndTheWaterfall) {
  rig.Feed(Tone12k(1000, 16384));
  const SpectrumLayout& l = form.Layout();
  const int x = rig.X(1000);
  const QImage shown = form.grab().toImage();
  EXPECT_EQ(shown.pixelColor(l.panel.left() + x, l.panel.top()), QColor(255, 0, 0));
  EXPECT_EQ(shown.pixelColor(l.panel.left(), l.panel.top()), QColor(0, 0, 0));
  EXPECT_EQ(shown.pixelColor(l.panel.left() + 300, l.panel.top() + 100), QColor(0, 0, 0));
  EXPECT_EQ(shown.pixelColor(l.spectrum.left() + x, l.spectrum.top()), QColor(0, 0, 255))
      << "the trace runs up to the top at the tone";
  EXPECT_EQ(shown.pixelColor(l.spectrum.left() + 3, l.spectrum.top() + 15), QColor(255, 255, 255))
      << "the grid shows through the transparent trace picture";
  EXPECT_EQ(shown.pixelColor(l.ref.left() + 5, l.ref.top()), QColor(255, 0, 0)) << "colour bar";
}

TEST_F(SpectrumFormTest, GainAndOffsLabelsAndTheReversedTrackBar) {
  QSlider* bar = form.GainTrackBar();
  EXPECT_EQ(bar->orientation(), Qt::Vertical);
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(bar->tickPosition(), QSlider::NoTicks);
  EXPECT_EQ(bar->value(), 20);
  EXPECT_TRUE(Lime(form.GainLabel()));
  EXPECT_FALSE(Lime(form.OffsLabel()));
  EXPECT_TRUE(Lime(form.AgcLabel()));
  // Reversed: the maximum at the top, so a click above the handle raises the gain.
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
  const int raised = rig.settings.spectrumGain;
  EXPECT_GT(raised, 20);
  EXPECT_EQ(bar->value(), raised);
  QTest::keyClick(bar, Qt::Key_Down);
  EXPECT_EQ(rig.settings.spectrumGain, raised - 1);
  bar->setValue(21);  // as dragging the handle does
  EXPECT_EQ(rig.settings.spectrumGain, 21);
  EXPECT_EQ(rig.view.RowColors()[49], (Rgb{0, 0, 21}));

  QTest::mouseClick(form.OffsLabel(), Qt::LeftButton);
  EXPECT_TRUE(Lime(form.OffsLabel()));
  EXPECT_FALSE(Lime(form.GainLabel()));
  EXPECT_EQ(bar->value(), 45);  // AVOF 15 + 30
  EXPECT_EQ(rig.settings.traceOffset, 15) << "moving the handle to the value is no change";
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(rig.settings.traceOffset, 15 - bar->pageStep());
  EXPECT_EQ(rig.settings.spectrumGain, 21);
  QTest::mouseClick(form.GainLabel(), Qt::LeftButton);
  EXPECT_EQ(bar->value(), 21);
  QTest::mouseClick(form.AgcLabel(), Qt::LeftButton);
  EXPECT_FALSE(rig.settings.spectrumAgc);
  EXPECT_FALSE(Lime(form.AgcLabel()));
  EXPECT_GT(afterEvents, 0);
}

TEST_F(SpectrumFormTest, ClickOnTheSpectrumSetsTheNoiseReference) {
  QTest::mouseClick(form.SpectrumArea(), Qt::RightButton, {}, QPoint(100, 30));
  EXPECT_EQ(rig.settings.spectrumOffset, 10);
  QTest::mouseClick(form.SpectrumArea(), Qt::LeftButton, {}, QPoint(100, 30));
  EXPECT_EQ(rig.settings.spectrumOffset, 30);
  const SpectrumLayout& l = form.Layout();
  EXPECT_EQ(Shown(QPoint(l.range.left() + 3, l.range.top() + 29)), QColor(255, 0, 0));
}

TEST_F(SpectrumFormTest, ArrowsMoveTheDisplayRange) {
  const QImage scaleBefore = rig.view.ScaleImage();
  QTest::mouseClick(form.Arrow(true, true), Qt::LeftButton);
  EXPECT_EQ(rig.settings.spectrumHigh, 1500);
  QTest::mouseClick(form.Arrow(false, false), Qt::LeftButton);
  EXPECT_EQ(rig.settings.spectrumLow, 200);
  QTest::mouseClick(form.Arrow(false, true), Qt::LeftButton);
  QTest::mouseClick(form.Arrow(true, false), Qt::LeftButton);
  EXPECT_EQ(rig.settings.spectrumLow, 300);
  EXPECT_EQ(rig.settings.spectrumHigh, 1400);
  EXPECT_EQ(rig.view.ScaleImage(), scaleBefore);
  EXPECT_LT(form.Arrow(false, true)->mapTo(&form, QPoint()).x(),
            form.Arrow(true, false)->mapTo(&form, QPoint()).x())
      << "the lower edge's pair lies left of the upper edge's";
}

TEST_F(SpectrumFormTest, ClickAndDoubleClickOnTheWaterfall) {
  QWidget* panel = form.WaterfallPanel();
  QTest::mouseMove(panel, QPoint(317, 40));
  EXPECT_EQ(rig.view.CursorFreq(), 850);
  QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(346, 40));
  EXPECT_EQ(rig.settings.rxFreq, 900);
  EXPECT_EQ(rig.settings.txFreq, 1225);
  EXPECT_EQ(rig.controls.Text(Ctl::RxEdit), "900");
  QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(317, 40));
  QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(317, 40));
  EXPECT_EQ(rig.settings.txFreq, 850);
  EXPECT_EQ(rig.settings.rxFreq, 850);
  EXPECT_EQ(rig.controls.Text(Ctl::TxEdit), "850");
}

TEST_F(SpectrumFormTest, ClosingHidesTheWindowAndStopsTheLines) {
  rig.Feed(Tone12k(1000, 16384));
  const int before = afterEvents;
  form.close();
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(rig.view.SpectrumOpen());
  EXPECT_TRUE(rig.controls.Enabled(Ctl::SpectrumItem));
  EXPECT_GT(afterEvents, before);
  EXPECT_NE(rig.Log().find(" : Spectrum view window closed\r\n"), std::string::npos);
  rig.Feed(Tone12k(1000, 16384));
  EXPECT_EQ(rig.view.LinesDrawn(), 1);
  // Its pictures stay for the next opening.
  EXPECT_EQ(rig.view.WaterfallRing().PixelAt(rig.X(1000), 0), colors::kRed);
}

}  // namespace
}  // namespace merivac
