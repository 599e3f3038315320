// MainForm.h - the main window TMainForm: the two decode windows, the
// transmit controls, the QSO panel, the frequency block and the status row.
//
// The window holds no logic. It mirrors the control model MainControls and
// the two MemoModels (SyncFromModel), and hands every operator action to
// the hooks in MainHooks. Before a Change hook runs the window writes the
// new state into MainControls, so handlers read the model only. Change
// hooks fire for the operator's actions only, never for what SyncFromModel
// itself puts into a control.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

#include "common/MainControls.h"
#include "common/MemoModel.h"
#include "shell/MainHooks.h"
#include "shell/ui/MemoMirror.h"

class QAction;
class QMenu;
class QTextEdit;

namespace merivac {

class TMainForm : public QMainWindow {
 public:
  static constexpr int kClientWidth = 686;
  static constexpr int kClientHeight = 457;

  TMainForm(MainControls& controls, MemoModel& bandMemo, MemoModel& rxMemo, MainHooks& hooks,
            QWidget* parent = nullptr);
  ~TMainForm() override;

  // Applies every control changed in MainControls since the last call and
  // appends the new lines of both decode windows.
  void SyncFromModel();

  // The widget of a control (nullptr for the menu entries in Ctl).
  QWidget* Widget(Ctl c) const { return widgets_[static_cast<size_t>(c)]; }
  QTextEdit* Memo(Ctl c) const;
  QAction* MenuAction(MenuItem m) const { return menuActions_[static_cast<size_t>(m)]; }
  // The client area, 686 x 457.
  QWidget* Client() const { return client_; }
  // Moves the keyboard focus to the hidden DefocusEdit. The focus-out and
  // focus-in this causes are not handed to the hooks: the rules that ask for
  // it have already run the field's leave handler.
  void MoveFocusToDefocusEdit();

  // The window's fixed-pitch font ("Liberation Mono", 11 pixels).
  const QFont& MainFont() const { return mainFont_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class Kind : uint8_t {
    Label,
    Panel,
    Button,
    Edit,
    Check,
    Radio,
    UpDown,
    Track,
    Progress,
    Shape,
    Memo,
    Frame
  };
  struct Item {
    QWidget* widget = nullptr;
    Kind kind = Kind::Label;
    int width = 0;                   // design width
    std::optional<Rgb> designColor;  // design background
    std::optional<Rgb> designFont;   // design font colour
  };

  void BuildDecodeWindows();
  void BuildTransmitRow();
  void BuildFrequencyBlock();
  void BuildQsoPanel();
  void BuildStatusRow();
  void BuildMenu();
  void ApplyTabOrderRule();

  // Creation helpers: each places one control and gives it its design name.
  QWidget* Place(Ctl c, QWidget* w, Kind kind, int left, int top, int width, int height,
                 std::optional<Rgb> color = std::nullopt);
  QWidget* AddLabel(Ctl c, int left, int top, int width, int height, int align,
                    std::optional<Rgb> color = std::nullopt, QWidget* parent = nullptr);
  QWidget* AddPanel(Ctl c, int left, int top, int width, int height);
  QWidget* AddButton(Ctl c, int left, int top, int width, int height, QWidget* parent = nullptr);
  QWidget* AddEdit(Ctl c, int left, int top, int width, int height, QWidget* parent = nullptr);
  QWidget* AddCheck(Ctl c, int left, int top, int width, int height);
  QWidget* AddRadio(Ctl c, int left, int top, int width, int height, QWidget* parent);
  QWidget* AddUpDown(Ctl c, int left, int top, int width, int height, int min, int max,
                     QWidget* parent = nullptr);
  QWidget* AddShape(Ctl c, int left, int top, int width, int height);
  QTextEdit* AddMemo(Ctl c, int left, int top, int width, int height);

  void Apply(Ctl c);
  void ApplyColors(const Item& item, const ControlState& s);
  void ShowMessagePanel(bool visible);
  void SizeMessagePanel();

  UiEvent MakeEvent(Ctl c, Ev e) const;
  void Fire(Ctl c, Ev e);
  void Fire(UiEvent& ev);

  MainControls& controls_;
  MainHooks& hooks_;
  QWidget* client_ = nullptr;
  QFont mainFont_;
  std::array<QWidget*, kControlCount> widgets_{};
  std::array<Item, kControlCount> items_{};
  std::array<QAction*, kMenuItemCount> menuActions_{};
  QMenu* settingsMenu_ = nullptr;
  std::unique_ptr<MemoMirror> bandMirror_;
  std::unique_ptr<MemoMirror> rxMirror_;
  bool syncing_ = false;
  bool destroying_ = false;
  bool movingFocus_ = false;
};

}  // namespace merivac
