// MainForm.cpp - layout of the main window, mirroring and event hand-out.
#include "shell/ui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <functional>

namespace merivac {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s).replace("\r\n", "\n"); }
QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// A label or panel that reports clicks and double-clicks. As on the
// original platform, a double-click delivers its first click, then the
// double-click; the second release is no click of its own.
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick, onDblClick;

 protected:
  // Taking the press makes the release come here, not to the parent.
  void mousePressEvent(QMouseEvent* e) override {
    QLabel::mousePressEvent(e);
    e->accept();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QLabel::mouseReleaseEvent(e);
    const bool inside = rect().contains(e->position().toPoint());
    if (!afterDouble_ && inside && e->button() == Qt::LeftButton && onClick) onClick();
    afterDouble_ = false;
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QLabel::mouseDoubleClickEvent(e);
    afterDouble_ = true;
    if (e->button() == Qt::LeftButton && onDblClick) onDblClick();
  }

 private:
  bool afterDouble_ = false;
};

// The notice panel: a bordered frame whose click hides it.
class ClickFrame : public QFrame {
 public:
  using QFrame::QFrame;
  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QFrame::mousePressEvent(e);
    e->accept();
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QFrame::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && onClick) onClick();
  }
};

// An edit that reports typed characters (which the hook may change or
// drop), leaving the field, and double-clicks.
class HookEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void(char&)> onKey;
  std::function<void()> onEnter, onExit, onDblClick;

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    if (onEnter) onEnter();
  }
  void keyPressEvent(QKeyEvent* e) override {
    const QString text = e->text();
    if (onKey && text.size() == 1 && text[0].unicode() < 128) {
      const char typed = static_cast<char>(text[0].unicode());
      char key = typed;
      onKey(key);
      if (key == 0) {
        e->accept();
        return;
      }
      if (key != typed) {
        QKeyEvent changed(e->type(), e->key(), e->modifiers(), QString(QChar(key)));
        QLineEdit::keyPressEvent(&changed);
        return;
      }
    }
    QLineEdit::keyPressEvent(e);
  }
  void focusOutEvent(QFocusEvent* e) override {
    QLineEdit::focusOutEvent(e);
    if (onExit) onExit();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QLineEdit::mouseDoubleClickEvent(e);
    if (onDblClick) onDblClick();
  }
};

// A decode window: read-only rich text with click, double-click, mouse
// enter and leave. A double-click first lets the control select the word.
class HookMemo : public QTextEdit {
 public:
  using QTextEdit::QTextEdit;
  std::function<void()> onClick, onDblClick, onEnter, onLeave;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override {
    QTextEdit::mouseReleaseEvent(e);
    if (!afterDouble_ && e->button() == Qt::LeftButton && onClick) onClick();
    afterDouble_ = false;
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QTextEdit::mouseDoubleClickEvent(e);
    afterDouble_ = true;
    if (e->button() == Qt::LeftButton && onDblClick) onDblClick();
  }
  void enterEvent(QEnterEvent* e) override {
    QTextEdit::enterEvent(e);
    if (onEnter) onEnter();
  }
  void leaveEvent(QEvent* e) override {
    QTextEdit::leaveEvent(e);
    // Leaving the window drops its selection.
    QTextCursor cursor = textCursor();
    cursor.clearSelection();
    setTextCursor(cursor);
    if (onLeave) onLeave();
  }

 private:
  bool afterDouble_ = false;
};

class HoverSlider : public QSlider {
 public:
  using QSlider::QSlider;
  std::function<void()> onEnter, onLeave;

 protected:
  void enterEvent(QEnterEvent* e) override {
    QSlider::enterEvent(e);
    if (onEnter) onEnter();
  }
  void leaveEvent(QEvent* e) override {
    QSlider::leaveEvent(e);
    if (onLeave) onLeave();
  }
};

// Up-down arrows: two stacked arrow buttons; the up and down keys work too.
class UpDown : public QWidget {
 public:
  UpDown(QWidget* parent, int width, int height) : QWidget(parent) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    const int half = height / 2;
    up_->setGeometry(0, 0, width, half);
    down_->setGeometry(0, half, width, height - half);
    for (QToolButton* b : {up_, down_}) {
      b->setFocusPolicy(Qt::NoFocus);
      b->setAutoRepeat(true);
    }
    QObject::connect(up_, &QToolButton::clicked, this, [this] { Arrow(+1); });
    QObject::connect(down_, &QToolButton::clicked, this, [this] { Arrow(-1); });
    setFocusPolicy(Qt::StrongFocus);
  }
  std::function<void(int)> onArrow;
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    if (e->key() == Qt::Key_Up) return Arrow(+1);
    if (e->key() == Qt::Key_Down) return Arrow(-1);
    QWidget::keyPressEvent(e);
  }

 private:
  void Arrow(int direction) {
    if (onArrow) onArrow(direction);
  }
  QToolButton* up_;
  QToolButton* down_;
};

// A red rounded rectangle with a thin black outline.
class RoundShape : public QWidget {
 public:
  using QWidget::QWidget;
  QColor brush = Qt::red;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(brush);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min(r.width(), r.height()) / 4.0;
    p.drawRoundedRect(r, radius, radius);
  }
};

// Trims blanks, control characters and Qt's paragraph separators.
std::string TrimWord(const QString& selected) {
  QString s = selected;
  s.replace(QChar(0x2029), ' ');
  s.replace(QChar(0x2028), ' ');
  std::string out = s.toStdString();
  auto keep = [](unsigned char ch) { return ch > ' '; };
  const auto first = std::find_if(out.begin(), out.end(), keep);
  const auto last = std::find_if(out.rbegin(), out.rend(), keep).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

TMainForm::TMainForm(MainControls& controls, MemoModel& bandMemo, MemoModel& rxMemo,
                     MainHooks& hooks, QWidget* parent)
    : QMainWindow(parent), controls_(controls), hooks_(hooks) {
  setObjectName("MainForm");
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  mainFont_ = QFont("Liberation Mono");
  mainFont_.setPixelSize(11);
  mainFont_.setStyleHint(QFont::Monospace);
  mainFont_.setFixedPitch(true);

  client_ = new QWidget(this);
  client_->setObjectName("ClientArea");
  client_->setFont(mainFont_);
  client_->setFixedSize(kClientWidth, kClientHeight);
  setCentralWidget(client_);

  BuildDecodeWindows();
  BuildTransmitRow();
  BuildFrequencyBlock();
  BuildQsoPanel();
  BuildStatusRow();
  BuildMenu();
  ApplyTabOrderRule();

  bandMirror_ = std::make_unique<MemoMirror>(*Memo(Ctl::BandMemo), bandMemo);
  rxMirror_ = std::make_unique<MemoMirror>(*Memo(Ctl::RxMemo), rxMemo);

  // No maximise, no resizing: the window is exactly the menu plus the client area.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  setFixedSize(sizeHint());
  SyncFromModel();
}

TMainForm::~TMainForm() {
  // Focus moves while the controls go; those are no operator actions, and the
  // hooks' owners may be gone already.
  destroying_ = true;
  delete client_;
  client_ = nullptr;
  widgets_.fill(nullptr);
}

QTextEdit* TMainForm::Memo(Ctl c) const { return dynamic_cast<QTextEdit*>(Widget(c)); }

// ---- creation --------------------------------------------------------------

QWidget* TMainForm::Place(Ctl c, QWidget* w, Kind kind, int left, int top, int width, int height,
                          std::optional<Rgb> color) {
  const size_t i = static_cast<size_t>(c);
  w->setObjectName(ControlName(c));
  w->setGeometry(left, top, width, height);
  widgets_[i] = w;
  items_[i].widget = w;
  items_[i].kind = kind;
  items_[i].width = width;
  items_[i].designColor = color;
  return w;
}

QWidget* TMainForm::AddLabel(Ctl c, int left, int top, int width, int height, int align,
                             std::optional<Rgb> color, QWidget* parent) {
  auto* label = new ClickLabel(parent != nullptr ? parent : client_);
  label->setAlignment(static_cast<Qt::Alignment>(align));
  label->onClick = [this, c] { Fire(c, Ev::Click); };
  label->onDblClick = [this, c] { Fire(c, Ev::DblClick); };
  return Place(c, label, Kind::Label, left, top, width, height, color);
}

QWidget* TMainForm::AddPanel(Ctl c, int left, int top, int width, int height) {
  auto* panel = new ClickLabel(client_);
  panel->setAlignment(Qt::AlignCenter);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->onClick = [this, c] { Fire(c, Ev::Click); };
  panel->onDblClick = [this, c] { Fire(c, Ev::DblClick); };
  return Place(c, panel, Kind::Panel, left, top, width, height);
}

QWidget* TMainForm::AddButton(Ctl c, int left, int top, int width, int height, QWidget* parent) {
  auto* button = new QPushButton(parent != nullptr ? parent : client_);
  QObject::connect(button, &QPushButton::clicked, this, [this, c] { Fire(c, Ev::Click); });
  return Place(c, button, Kind::Button, left, top, width, height);
}

QWidget* TMainForm::AddEdit(Ctl c, int left, int top, int width, int height, QWidget* parent) {
  auto* edit = new HookEdit(parent != nullptr ? parent : client_);
  QObject::connect(edit, &QLineEdit::textEdited, this, [this, c, edit](const QString& text) {
    if (syncing_ || destroying_) return;
    controls_.SetText(c, text.toStdString());
    UiEvent ev = MakeEvent(c, Ev::Change);
    ev.caret = edit->cursorPosition();
    Fire(ev);
    // The rules may have rewritten the text (blanks removed, upper case);
    // the caret stays where they put it rather than jumping to the end.
    if (ev.caret >= 0 && ev.caret <= edit->text().size()) edit->setCursorPosition(ev.caret);
  });
  edit->onKey = [this, c](char& key) {
    UiEvent ev = MakeEvent(c, Ev::KeyPress);
    ev.key = key;
    Fire(ev);
    key = ev.key;
  };
  edit->onEnter = [this, c] { Fire(c, Ev::Enter); };
  edit->onExit = [this, c] { Fire(c, Ev::Exit); };
  edit->onDblClick = [this, c] { Fire(c, Ev::DblClick); };
  return Place(c, edit, Kind::Edit, left, top, width, height);
}

QWidget* TMainForm::AddCheck(Ctl c, int left, int top, int width, int height) {
  auto* box = new QCheckBox(client_);
  QObject::connect(box, &QCheckBox::clicked, this, [this, c](bool checked) {
    if (destroying_) return;
    controls_.SetChecked(c, checked);
    Fire(c, Ev::Change);
  });
  return Place(c, box, Kind::Check, left, top, width, height);
}

QWidget* TMainForm::AddRadio(Ctl c, int left, int top, int width, int height, QWidget* parent) {
  auto* radio = new QRadioButton(parent);
  QObject::connect(radio, &QRadioButton::clicked, this, [this, c] {
    // The pair Gen / Free is exclusive: both states go into the model.
    for (Ctl r : {Ctl::GenMsgButton, Ctl::FreeMsgButton}) {
      if (auto* b = dynamic_cast<QRadioButton*>(Widget(r))) controls_.SetChecked(r, b->isChecked());
    }
    Fire(c, Ev::Click);
  });
  return Place(c, radio, Kind::Radio, left, top, width, height);
}

QWidget* TMainForm::AddUpDown(Ctl c, int left, int top, int width, int height, int min, int max,
                              QWidget* parent) {
  auto* arrows = new UpDown(parent != nullptr ? parent : client_, width, height);
  arrows->setProperty("minimum", min);
  arrows->setProperty("maximum", max);
  arrows->onArrow = [this, c, min, max](int direction) {
    const int position = std::clamp(controls_.Get(c).position + direction, min, max);
    controls_.SetPosition(c, position);
    UiEvent ev = MakeEvent(c, Ev::Click);
    ev.direction = direction;
    Fire(ev);
  };
  return Place(c, arrows, Kind::UpDown, left, top, width, height);
}

QWidget* TMainForm::AddShape(Ctl c, int left, int top, int width, int height) {
  return Place(c, new RoundShape(client_), Kind::Shape, left, top, width, height, colors::kRed);
}

QTextEdit* TMainForm::AddMemo(Ctl c, int left, int top, int width, int height) {
  auto* memo = new HookMemo(client_);
  memo->setReadOnly(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setAcceptRichText(false);
  memo->setUndoRedoEnabled(false);
  memo->document()->setDocumentMargin(2);
  auto lineEvent = [this, memo, c](Ev e) {
    UiEvent ev = MakeEvent(c, e);
    const QTextCursor cursor = memo->textCursor();
    ev.line = cursor.blockNumber();
    ev.lineText = cursor.block().text().toStdString();
    if (e == Ev::DblClick) ev.word = TrimWord(cursor.selectedText());
    Fire(ev);
  };
  memo->onClick = [lineEvent] { lineEvent(Ev::Click); };
  memo->onDblClick = [lineEvent] { lineEvent(Ev::DblClick); };
  memo->onEnter = [this, c] { Fire(c, Ev::MouseEnter); };
  memo->onLeave = [this, c] { Fire(c, Ev::MouseLeave); };
  Place(c, memo, Kind::Memo, left, top, width, height);
  return memo;
}

void TMainForm::BuildDecodeWindows() {
  const int center = Qt::AlignCenter;
  const int leftMid = Qt::AlignLeft | Qt::AlignVCenter;
  AddLabel(Ctl::Label3, 8, 8, 331, 16, center);
  AddLabel(Ctl::Label1, 11, 32, 328, 23, leftMid, colors::kScrollBar);
  AddLabel(Ctl::Label2, 8, 32, 3, 23, leftMid, colors::kScrollBar);
  AddMemo(Ctl::BandMemo, 8, 55, 331, 176);
  AddLabel(Ctl::Label6, 347, 8, 331, 15, center);
  AddLabel(Ctl::Label4, 350, 32, 328, 23, leftMid, colors::kScrollBar);
  AddLabel(Ctl::Label5, 347, 32, 3, 23, leftMid, colors::kScrollBar);
  AddMemo(Ctl::RxMemo, 347, 55, 331, 176);
}

void TMainForm::BuildTransmitRow() {
  AddButton(Ctl::EraseButton, 44, 239, 90, 23);
  AddButton(Ctl::EnableTxButton, 142, 239, 90, 23);
  AddShape(Ctl::EnableTxShape, 142, 239, 90, 23);
  AddLabel(Ctl::EnableTxLabel, 142, 239, 90, 23, Qt::AlignCenter);
  AddButton(Ctl::HaltTxButton, 241, 239, 90, 23);
  AddButton(Ctl::TuneButton, 340, 239, 90, 23);
  AddShape(Ctl::TuneShape, 340, 239, 90, 23);
  QWidget* tune = AddLabel(Ctl::TuneLabel, 340, 239, 90, 23, Qt::AlignCenter);
  QFont tuneFont = mainFont_;
  tuneFont.setPixelSize(13);
  tune->setFont(tuneFont);
}

void TMainForm::BuildFrequencyBlock() {
  const int center = Qt::AlignCenter;
  const int leftMid = Qt::AlignLeft | Qt::AlignVCenter;
  auto* level = new QProgressBar(client_);
  level->setOrientation(Qt::Vertical);
  level->setRange(0, 90);
  level->setValue(0);
  level->setTextVisible(false);
  Place(Ctl::LevelBar, level, Kind::Progress, 14, 239, 16, 178);

  AddLabel(Ctl::Label14, 44, 270, 74, 23, center, colors::kGradientActiveCaption);
  auto* dxCall = static_cast<QLineEdit*>(AddEdit(Ctl::DxCallEdit, 44, 301, 74, 23));
  dxCall->setAlignment(Qt::AlignCenter);
  items_[static_cast<size_t>(Ctl::DxCallEdit)].designColor = colors::kInfoBackground;
  AddLabel(Ctl::DxLabel, 44, 332, 74, 23, center, colors::kInfoBackground);
  AddLabel(Ctl::DxccLabel, 126, 332, 58, 23, center, colors::kInfoBackground);
  AddButton(Ctl::LogButton, 192, 332, 42, 23);
  AddLabel(Ctl::DialLabel, 44, 363, 74, 23, center, colors::kGradientActiveCaption);
  auto* qrg = static_cast<QLineEdit*>(AddEdit(Ctl::QrgEdit, 44, 394, 74, 23));
  qrg->setAlignment(Qt::AlignCenter);
  AddCheck(Ctl::TxFirstBox, 126, 270, 108, 23);
  AddCheck(Ctl::HoldTxBox, 126, 301, 108, 23);

  auto* time = static_cast<QLabel*>(AddLabel(Ctl::TimeLabel, 126, 363, 148, 54, center));
  QFont timeFont = mainFont_;
  timeFont.setPixelSize(19);
  timeFont.setBold(true);
  time->setFont(timeFont);
  items_[static_cast<size_t>(Ctl::TimeLabel)].designFont = colors::kYellow;

  AddLabel(Ctl::CurrentCycleLabel, 242, 270, 188, 23, Qt::AlignRight | Qt::AlignVCenter);
  AddLabel(Ctl::Label11, 242, 301, 54, 23, leftMid);
  AddEdit(Ctl::TxEdit, 304, 301, 40, 23);
  AddUpDown(Ctl::TxUpDown, 344, 301, 18, 23, 0, 100);
  AddLabel(Ctl::Label12, 242, 332, 54, 23, leftMid);
  AddEdit(Ctl::RxEdit, 304, 332, 40, 23);
  AddUpDown(Ctl::RxUpDown, 344, 332, 18, 23, 0, 100);
  const auto digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
  for (Ctl c : {Ctl::TxEdit, Ctl::RxEdit}) {
    auto* edit = static_cast<QLineEdit*>(Widget(c));
    edit->setMaxLength(4);
    edit->setValidator(digits);
    items_[static_cast<size_t>(c)].designColor = colors::kInfoBackground;
  }
  qrg->setValidator(digits);
  items_[static_cast<size_t>(Ctl::QrgEdit)].designColor = colors::kInfoBackground;
  AddButton(Ctl::TxRxButton, 370, 301, 60, 23);
  AddButton(Ctl::RxTxButton, 370, 332, 60, 23);
  AddLabel(Ctl::Label13, 278, 363, 84, 23, leftMid);
  auto* report = static_cast<QLineEdit*>(AddEdit(Ctl::dBEdit, 370, 363, 42, 23));
  report->setReadOnly(true);
  report->setAlignment(Qt::AlignCenter);
  items_[static_cast<size_t>(Ctl::dBEdit)].designColor = colors::kInfoBackground;
  AddUpDown(Ctl::dBUpDown, 412, 363, 18, 23, 0, 100);
  AddCheck(Ctl::ShortQSOBox, 304, 394, 134, 23);

  auto* pwr = new HoverSlider(Qt::Vertical, client_);
  pwr->setRange(0, 100);  // a vertical slider has its maximum at the top
  pwr->setTickPosition(QSlider::NoTicks);
  pwr->onEnter = [this] { Fire(Ctl::PwrTrackBar, Ev::MouseEnter); };
  pwr->onLeave = [this] { Fire(Ctl::PwrTrackBar, Ev::MouseLeave); };
  QObject::connect(pwr, &QSlider::valueChanged, this, [this](int value) {
    if (syncing_ || destroying_) return;
    controls_.SetPosition(Ctl::PwrTrackBar, value);
    Fire(Ctl::PwrTrackBar, Ev::Change);
  });
  Place(Ctl::PwrTrackBar, pwr, Kind::Track, 650, 239, 28, 178);
  AddLabel(Ctl::Label7, 650, 425, 28, 23, Qt::AlignCenter);
}

void TMainForm::BuildQsoPanel() {
  auto* panel = new QFrame(client_);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFont(mainFont_);
  Place(Ctl::QSOPanel, panel, Kind::Frame, 438, 239, 204, 198);
  const int center = Qt::AlignCenter;
  AddLabel(Ctl::Label8, 8, 8, 90, 23, center, colors::kGradientActiveCaption, panel);
  AddLabel(Ctl::Label10, 98, 8, 8, 23, center, colors::kGradientActiveCaption, panel);
  AddLabel(Ctl::Label9, 106, 8, 90, 23, center, colors::kGradientActiveCaption, panel);
  AddButton(Ctl::CqS1Button, 8, 39, 73, 23, panel);
  AddUpDown(Ctl::CqUpDown, 81, 39, 17, 23, 0, 7, panel);
  AddButton(Ctl::CqS2Button, 8, 70, 90, 23, panel);
  AddButton(Ctl::CqS3Button, 8, 101, 90, 23, panel);
  AddButton(Ctl::AnS1Button, 106, 39, 90, 23, panel);
  AddButton(Ctl::AnS2Button, 106, 70, 90, 23, panel);
  AddButton(Ctl::AnS3Button, 106, 101, 90, 23, panel);
  static_cast<QLineEdit*>(AddEdit(Ctl::GenMsgEdit, 8, 132, 136, 23, panel))->setReadOnly(true);
  AddRadio(Ctl::GenMsgButton, 152, 132, 50, 23, panel);
  static_cast<QLineEdit*>(AddEdit(Ctl::FreeMsgEdit, 8, 163, 136, 23, panel))->setMaxLength(13);
  AddRadio(Ctl::FreeMsgButton, 152, 163, 50, 23, panel);
}

void TMainForm::BuildStatusRow() {
  AddLabel(Ctl::LeveldBLabel, 8, 425, 28, 23, Qt::AlignCenter);
  AddPanel(Ctl::ModePanel, 44, 425, 50, 23);
  AddPanel(Ctl::BusyPanel, 102, 424, 29, 23);
  AddLabel(Ctl::CycleBgLabel, 139, 425, 233, 23, Qt::AlignCenter, colors::kScrollBar);
  AddLabel(Ctl::CycleLabel, 136, 425, 233, 23, Qt::AlignCenter);
  AddLabel(Ctl::CycleTextLabel, 139, 425, 233, 23, Qt::AlignCenter);
  AddPanel(Ctl::WDPanel, 380, 425, 50, 23);

  // Others: the focus sink and the notice panel, which lies over everything.
  AddEdit(Ctl::DefocusEdit, 612, 5, 0, 23);

  auto* panel = new ClickFrame(client_);
  panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  panel->setLineWidth(1);  // the 10-pixel border inside the line is kept by SizeMessagePanel
  panel->onClick = [this] { Fire(Ctl::MessagePanel, Ev::Click); };
  Place(Ctl::MessagePanel, panel, Kind::Frame, 249, 4, 200, 60);
  auto* label = new ClickLabel(panel);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->onClick = [this] { Fire(Ctl::MessageLabel, Ev::Click); };
  Place(Ctl::MessageLabel, label, Kind::Label, 11, 11, 178, 38);
  panel->hide();
}

void TMainForm::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  settingsMenu_ = bar->addMenu("Settings");
  settingsMenu_->setObjectName("SettingsItem");
  settingsMenu_->setToolTipsVisible(true);
  struct Entry {
    MenuItem item;
    const char* caption;
    const char* name;
  };
  static const Entry kSettings[] = {
      {MenuItem::SettingsStation, "Station", "SettingsStationItem"},
      {MenuItem::SettingsRadio, "Radio", "SettingsRadioItem"},
      {MenuItem::SettingsAudio, "Audio", "SettingsAudioItem"},
      {MenuItem::SettingsMode, "Mode", "SettingsModeItem"},
      {MenuItem::SettingsSave, "Save", "SettingsSaveItem"},
      {MenuItem::SettingsRep, "Reporting", "SettingsRepItem"},
      {MenuItem::SettingsAlert, "Alert", "SettingsAlertItem"},
      {MenuItem::SettingsFem, "Front End Mixer", "SettingsFemItem"},
  };
  static const Entry kTop[] = {
      {MenuItem::Spectrum, "Spectrum", "SpectrumItem"},
      {MenuItem::MustRead, "Must read", "MustReadItem"},
      {MenuItem::Help, "Help", "HelpItem"},
  };
  auto hook = [this](QAction* action, MenuItem item, const char* name) {
    action->setObjectName(name);
    menuActions_[static_cast<size_t>(item)] = action;
    QObject::connect(action, &QAction::triggered, this, [this, item] {
      hooks_.FireMenu(item);
      SyncFromModel();
    });
  };
  for (const Entry& e : kSettings) hook(settingsMenu_->addAction(e.caption), e.item, e.name);
  for (const Entry& e : kTop) hook(bar->addAction(e.caption), e.item, e.name);
}

void TMainForm::ApplyTabOrderRule() {
  // Buttons, edits, check boxes and the power slider are out of the tab
  // order (a click still focuses them); LogButton and DefocusEdit, the
  // memos, radio buttons and up-downs keep their tab stops.
  for (size_t i = 0; i < kControlCount; ++i) {
    const Item& item = items_[i];
    if (item.widget == nullptr) continue;
    const Ctl c = static_cast<Ctl>(i);
    switch (item.kind) {
      case Kind::Button:
      case Kind::Edit:
      case Kind::Check:
      case Kind::Track:
        item.widget->setFocusPolicy(c == Ctl::LogButton || c == Ctl::DefocusEdit ? Qt::StrongFocus
                                                                                 : Qt::ClickFocus);
        break;
      case Kind::Memo:
      case Kind::Radio:
      case Kind::UpDown:
        item.widget->setFocusPolicy(Qt::StrongFocus);
        break;
      default:
        item.widget->setFocusPolicy(Qt::NoFocus);
        break;
    }
  }
}

// ---- mirroring -------------------------------------------------------------

void TMainForm::SyncFromModel() {
  if (destroying_) return;
  const bool wasSyncing = syncing_;
  syncing_ = true;
  for (Ctl c : controls_.TakeChanged()) Apply(c);
  bandMirror_->Sync();
  rxMirror_->Sync();
  syncing_ = wasSyncing;
}

void TMainForm::ApplyColors(const Item& item, const ControlState& s) {
  QWidget* w = item.widget;
  const std::optional<Rgb> bg = s.color ? s.color : item.designColor;
  const std::optional<Rgb> fg = s.fontColor ? s.fontColor : item.designFont;
  if (item.kind == Kind::Shape) {
    static_cast<RoundShape*>(w)->brush = ToQColor(bg.value_or(colors::kRed));
    w->update();
    return;
  }
  QPalette pal = QApplication::palette(w);
  const bool textField = item.kind == Kind::Edit || item.kind == Kind::Memo;
  if (bg) pal.setColor(textField ? QPalette::Base : QPalette::Window, ToQColor(*bg));
  if (fg) {
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      pal.setColor(role, ToQColor(*fg));
    }
  }
  w->setPalette(pal);
  if (!textField) w->setAutoFillBackground(bg.has_value());
}

void TMainForm::Apply(Ctl c) {
  const ControlState& s = controls_.Get(c);
  if (c == Ctl::MainForm) {
    setWindowTitle(QString::fromStdString(s.text));
    return;
  }
  if (c == Ctl::MainMenu) {
    menuBar()->setEnabled(s.enabled);
    return;
  }
  if (c == Ctl::SettingsItem) {
    settingsMenu_->menuAction()->setEnabled(s.enabled);
    settingsMenu_->menuAction()->setToolTip(s.showHint ? Q(s.hint) : QString());
    return;
  }
  if (c == Ctl::SpectrumItem) {
    MenuAction(MenuItem::Spectrum)->setEnabled(s.enabled);
    return;
  }
  const Item& item = items_[static_cast<size_t>(c)];
  QWidget* w = item.widget;
  if (w == nullptr) return;

  const QString text = Q(s.text);
  switch (item.kind) {
    case Kind::Label:
    case Kind::Panel:
      static_cast<QLabel*>(w)->setText(text);
      break;
    case Kind::Button:
    case Kind::Check:
    case Kind::Radio:
      static_cast<QAbstractButton*>(w)->setText(text);
      if (item.kind != Kind::Button) static_cast<QAbstractButton*>(w)->setChecked(s.checked);
      break;
    case Kind::Edit: {
      auto* edit = static_cast<QLineEdit*>(w);
      if (edit->text() != text) edit->setText(text);  // keeps the caret while typing
      break;
    }
    case Kind::Progress:
      static_cast<QProgressBar*>(w)->setValue(s.position);
      break;
    case Kind::Track:
      static_cast<QSlider*>(w)->setValue(s.position);
      break;
    default:
      break;
  }
  w->setToolTip(s.showHint ? Q(s.hint) : QString());
  w->setEnabled(s.enabled);
  if (item.kind != Kind::Label || c != Ctl::TimeLabel) {
    QFont f = w->font();
    f.setBold(s.bold);
    w->setFont(f);
  }
  ApplyColors(item, s);
  w->resize(s.width < 0 ? item.width : std::max(0, s.width), w->height());

  if (c == Ctl::MessageLabel) SizeMessagePanel();
  if (c == Ctl::MessagePanel) {
    ShowMessagePanel(s.visible);
  } else {
    w->setVisible(s.visible);
  }
}

void TMainForm::ShowMessagePanel(bool visible) {
  QWidget* panel = Widget(Ctl::MessagePanel);
  if (visible) {
    SizeMessagePanel();
    panel->move(16, 16);
    panel->raise();
  }
  panel->setVisible(visible);
}

void TMainForm::SizeMessagePanel() {
  // The label wraps at the width its longest line needs, but never wider
  // than the client area leaves beside the panel's place; the panel then
  // wraps the label with its 10-pixel border.
  auto* label = static_cast<QLabel*>(Widget(Ctl::MessageLabel));
  QWidget* panel = Widget(Ctl::MessagePanel);
  const int frame = 1 + 10;
  const int maxWidth = kClientWidth - 2 * 16 - 2 * frame;
  const QFontMetrics fm(label->font());
  int natural = 0;
  for (const QString& line : label->text().split('\n')) {
    natural = std::max(natural, fm.horizontalAdvance(line));
  }
  const int width = std::min(maxWidth, natural + 2);
  const int height = label->heightForWidth(width);
  label->setGeometry(frame, frame, width, std::max(height, fm.height()));
  panel->resize(width + 2 * frame, label->height() + 2 * frame);
}

// ---- events ----------------------------------------------------------------

UiEvent TMainForm::MakeEvent(Ctl c, Ev e) const {
  UiEvent ev;
  ev.control = c;
  ev.event = e;
  const QPoint form = frameGeometry().topLeft();
  ev.formLeft = form.x();
  ev.formTop = form.y();
  if (QWidget* w = Widget(c)) {
    const QPoint place = w->mapTo(client_, QPoint(0, 0));
    ev.controlLeft = place.x();
    ev.controlTop = place.y();
  }
  return ev;
}

void TMainForm::Fire(Ctl c, Ev e) {
  UiEvent ev = MakeEvent(c, e);
  Fire(ev);
}

void TMainForm::Fire(UiEvent& ev) {
  // What the mirror itself sets is no operator action, nor is a focus move
  // the rules asked for.
  if (syncing_ || destroying_ || movingFocus_) return;
  hooks_.Fire(ev);
  SyncFromModel();
}

void TMainForm::MoveFocusToDefocusEdit() {
  movingFocus_ = true;
  Widget(Ctl::DefocusEdit)->setFocus(Qt::OtherFocusReason);
  movingFocus_ = false;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (hooks_.formCloseQuery && !hooks_.formCloseQuery()) {
    event->ignore();
    return;
  }
  if (hooks_.formClose) hooks_.formClose();
  event->accept();
}

}  // namespace merivac
