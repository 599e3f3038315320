// SpectrumForm.cpp - the spectrum window's widgets and their forwarding.
#include "spectrum/ui/SpectrumForm.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QToolButton>

namespace merivac {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s).replace("\r\n", "\n"); }
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// A picture: paints through a callback and reports the mouse. As in the
// main window, a double click delivers its first click, then the double
// click; the second release is no click of its own.
class PictureWidget : public QWidget {
 public:
  explicit PictureWidget(QWidget* parent) : QWidget(parent) {}
  std::function<void(QPainter&)> paint;
  std::function<void(Qt::MouseButton, QPoint)> onPress;
  std::function<void(QPoint)> onMove, onClick, onDblClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (paint) paint(p);
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (onPress) onPress(e->button(), e->position().toPoint());
    e->accept();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (onMove) onMove(e->position().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    const QPoint at = e->position().toPoint();
    if (!afterDouble_ && rect().contains(at) && e->button() == Qt::LeftButton && onClick) {
      onClick(at);
    }
    afterDouble_ = false;
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    afterDouble_ = true;
    if (e->button() == Qt::LeftButton && onDblClick) onDblClick(e->position().toPoint());
  }

 private:
  bool afterDouble_ = false;
};

class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override { e->accept(); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onClick) {
      onClick();
    }
  }
};

PictureWidget* AddPicture(QWidget* parent, const char* name, const QRect& place,
                          std::function<void(QPainter&)> paint) {
  auto* w = new PictureWidget(parent);
  w->setObjectName(name);
  w->setGeometry(place);
  w->paint = std::move(paint);
  return w;
}

// The label's background: lime, or the window's own colour.
void SetLime(QLabel* label, bool lime) {
  QPalette pal = label->palette();
  pal.setColor(QPalette::Window, ToQColor(lime ? spectrum::kLime : kSpectrumFormColor));
  label->setPalette(pal);
  label->setAutoFillBackground(lime);
}

}  // namespace

TSpectrumForm::TSpectrumForm(SpectrumView& view, const std::string& captionPrefix,
                             const QFont& font, QWidget* parent)
    : QWidget(parent, Qt::Window), view_(view) {
  setObjectName("SpectrumForm");
  setWindowTitle(QString::fromStdString(captionPrefix + "  :  Spectrum view"));
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(kSpectrumFormColor));
  setPalette(pal);
  setAutoFillBackground(true);

  view_.FormCreate(font);
  layout_ = LayOutSpectrum(view_.ScaleImage().height());
  setFixedSize(layout_.clientWidth, layout_.clientHeight);

  scale_ = AddPicture(this, "ScaleImage", layout_.scale,
                      [this](QPainter& p) { p.drawImage(0, 0, view_.ScaleImage()); });
  markers_ = AddPicture(this, "MarkerImage", layout_.marker,
                        [this](QPainter& p) { p.drawImage(0, 0, view_.MarkerImage()); });
  auto* panel = AddPicture(this, "WFPanel", layout_.panel,
                           [this](QPainter& p) { view_.WaterfallRing().Paint(p, QPoint(0, 0)); });
  panel->setMouseTracking(true);
  panel->setToolTip(Q(kWaterfallHint));
  panel->onMove = [this](QPoint at) { view_.WFImageMouseMove(at.x()); };
  // The click takes the frequency under the pointer where it happened.
  panel->onClick = [this](QPoint at) {
    Handle([this, at] {
      view_.WFImageMouseMove(at.x());
      view_.WFImageClick();
    });
  };
  panel->onDblClick = [this](QPoint at) {
    Handle([this, at] {
      view_.WFImageMouseMove(at.x());
      view_.WFImageDblClick();
    });
  };
  panel_ = panel;
  auto* spectrum = AddPicture(this, "SpectrumImage", layout_.spectrum, [this](QPainter& p) {
    p.drawImage(0, 0, view_.SpectrumBgImage());
    p.drawImage(0, 0, view_.SpectrumImage());
  });
  spectrum->setToolTip(Q(kSpectrumHint));
  spectrum->onPress = [this](Qt::MouseButton button, QPoint at) {
    Handle([this, button, at] { view_.SpectrumImageMouseDown(button == Qt::LeftButton, at.y()); });
  };
  spectrum_ = spectrum;
  range_ = AddPicture(this, "RangeImage", layout_.range,
                      [this](QPainter& p) { p.drawImage(0, 0, view_.RangeImage()); });
  ref_ = AddPicture(this, "RefImage", layout_.ref,
                    [this](QPainter& p) { p.drawImage(0, 0, view_.RefImage()); });
  BuildControls();

  view_.SetChangeListener([this] {
    for (QWidget* w : {scale_, markers_, panel_, spectrum_, range_, ref_}) w->update();
  });
  SyncFromView();
}

TSpectrumForm::~TSpectrumForm() { view_.SetChangeListener(nullptr); }

// The column right of the pictures: the two arrow pairs at its top, the
// gain track bar, the Gain and Offs labels side by side and the AGC label
// just above the colour bar.
void TSpectrumForm::BuildControls() {
  const QRect column = layout_.controls;
  const QFontMetrics fm(font());
  const int arrowHeight = layout_.scale.height();
  const int pairWidth = column.width() / 2;
  const char* const names[2] = {"FlowUpDown", "FhighUpDown"};
  for (int high = 0; high < 2; ++high) {
    auto* pair = new QWidget(this);
    pair->setObjectName(names[high]);
    pair->setGeometry(column.left() + high * pairWidth, column.top(), pairWidth, arrowHeight);
    for (int up = 0; up < 2; ++up) {
      auto* b = new QToolButton(pair);
      b->setArrowType(up ? Qt::RightArrow : Qt::LeftArrow);
      b->setGeometry(up * pairWidth / 2, 0, pairWidth / 2, arrowHeight);
      b->setFocusPolicy(Qt::NoFocus);
      connect(b, &QToolButton::clicked, this, [this, high, up] {
        Handle([this, high, up] {
          if (high) {
            view_.FhighUpDownChangingEx(up != 0);
          } else {
            view_.FlowUpDownChangingEx(up != 0);
          }
        });
      });
      arrows_[high][up] = b;
    }
  }

  const int left = layout_.ref.left();
  const int lineHeight = fm.height();
  auto* agc = new ClickLabel("AGC", this);
  agc->setObjectName("AgcLabel");
  agc->setAlignment(Qt::AlignCenter);
  agc->setGeometry(left, layout_.spectrum.top() - 4 - lineHeight, layout_.ref.width(), lineHeight);
  agc->onClick = [this] { Handle([this] { view_.AgcLabelClick(); }); };
  agcLabel_ = agc;

  const int letters = 4 * lineHeight;
  const int labelTop = agc->y() - 4 - letters;
  const int labelWidth = layout_.ref.width() / 2;
  auto* gain = new ClickLabel("G\na\ni\nn", this);
  gain->setObjectName("GainLabel");
  gain->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  gain->setGeometry(left, labelTop, labelWidth, letters);
  gain->onClick = [this] { Handle([this] { view_.GainLabelClick(); }); };
  gainLabel_ = gain;
  auto* offs = new ClickLabel("O\nf\nf\ns", this);
  offs->setObjectName("OffsLabel");
  offs->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  offs->setGeometry(left + labelWidth, labelTop, labelWidth, letters);
  offs->onClick = [this] { Handle([this] { view_.OffsLabelClick(); }); };
  offsLabel_ = offs;

  // Vertical with its maximum at the top: the higher the handle, the more gain.
  trackBar_ = new QSlider(Qt::Vertical, this);
  trackBar_->setObjectName("GainTrackBar");
  trackBar_->setRange(0, 100);
  trackBar_->setTickPosition(QSlider::NoTicks);
  const int barTop = column.top() + arrowHeight + 4;
  trackBar_->setGeometry(left, barTop, layout_.ref.width(), labelTop - 4 - barTop);
  connect(trackBar_, &QSlider::valueChanged, this, [this](int value) {
    if (!syncing_) Handle([this, value] { view_.GainTrackBarChange(value); });
  });
}

QToolButton* TSpectrumForm::Arrow(bool high, bool up) const { return arrows_[high][up]; }

void TSpectrumForm::ShowAbove(const QRect& mainFrame) {
  // The frame's height is known once the window is shown.
  show();
  const int top = mainFrame.top() - frameGeometry().height() - 50;
  move(mainFrame.left(), top < 0 ? 0 : top);
  raise();
  activateWindow();
}

void TSpectrumForm::Handle(const std::function<void()>& handler) {
  handler();
  SyncFromView();
  if (afterEvent) afterEvent();
}

void TSpectrumForm::SyncFromView() {
  const SpectrumControlState& s = view_.Controls();
  syncing_ = true;
  trackBar_->setValue(s.trackBarPosition);
  syncing_ = false;
  SetLime(gainLabel_, s.gainLime);
  SetLime(offsLabel_, s.offsLime);
  SetLime(agcLabel_, s.agcLime);
  update();
}

void TSpectrumForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Handle([this] { view_.FormActivate(); });
}

void TSpectrumForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    Handle([this] { view_.FormActivate(); });
  }
}

void TSpectrumForm::closeEvent(QCloseEvent* event) {
  view_.FormClose();
  event->accept();
  if (afterEvent) afterEvent();
}

}  // namespace merivac
