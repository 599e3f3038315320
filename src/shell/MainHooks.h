// MainHooks.h - the main window's events, handed out to whoever handles them.
//
// The main window holds no logic: every operator action becomes one event
// (control, kind) and is passed to the hook assigned to that pair. A hook
// that was never assigned does nothing. The names follow the handlers they
// stand for: (TxEdit, Change) is TxEditChange, (BandMemo, DblClick) is
// BandMemoDblClick. Plain C++, so rules and tests can fire events without a
// window.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "common/MainControls.h"

namespace merivac {

// Enter and Exit: an edit takes or loses the keyboard focus.
enum class Ev : uint8_t {
  Click,
  DblClick,
  Change,
  KeyPress,
  Exit,
  MouseEnter,
  MouseLeave,
  Enter,
  Count
};
constexpr size_t kEvCount = static_cast<size_t>(Ev::Count);

// The entries of the main menu.
enum class MenuItem : uint8_t {
  SettingsStation,
  SettingsRadio,
  SettingsAudio,
  SettingsMode,
  SettingsSave,
  SettingsRep,
  SettingsAlert,
  SettingsFem,
  Spectrum,
  MustRead,
  Help,
  Count
};
constexpr size_t kMenuItemCount = static_cast<size_t>(MenuItem::Count);

// What the window knows about one event. Before a Change hook runs, the
// window has already written the new state into MainControls (edit text,
// check box state, up-down and track bar position).
struct UiEvent {
  Ctl control = Ctl::Count;
  Ev event = Ev::Click;
  // KeyPress: the typed character (backspace 8, enter 13). The hook may
  // change it, or set it to 0 to drop the key.
  char key = 0;
  // Up-down clicks: +1 for the upper arrow, -1 for the lower arrow.
  int direction = 0;
  // Edit changes: the caret position (characters from the start) after the
  // edit. A hook that rewrites the text sets the caret the window should
  // show afterwards.
  int caret = -1;
  // Memo clicks: the line the caret is on (0-based, -1 when none) and its
  // text; on a double-click also the selected word, blanks and control
  // characters trimmed.
  int line = -1;
  std::string lineText;
  std::string word;
  // Screen position of the main window's top-left corner and the control's
  // place in the client area (for hints placed beside a control).
  int formLeft = 0, formTop = 0;
  int controlLeft = 0, controlTop = 0;
};

using UiHook = std::function<void(UiEvent&)>;

// Each event has one handler. Assigning a second one to the same control
// and event is a programming error (it would silently drop the first), and
// throws std::logic_error naming the handler.
class MainHooks {
 public:
  void On(Ctl c, Ev e, UiHook hook) {
    if (!Valid(c, e)) return;
    UiHook& slot = hooks_[Slot(c, e)];
    if (slot) throw std::logic_error(HandlerName(c, e) + " is assigned twice");
    slot = std::move(hook);
  }
  void OnMenu(MenuItem m, std::function<void()> hook) {
    auto& slot = menu_[static_cast<size_t>(m)];
    if (slot) {
      throw std::logic_error("menu entry " + std::to_string(static_cast<int>(m)) +
                             " is assigned twice");
    }
    slot = std::move(hook);
  }
  bool Has(Ctl c, Ev e) const { return Valid(c, e) && static_cast<bool>(hooks_[Slot(c, e)]); }

  // Runs the hook of (ev.control, ev.event); false when none is assigned.
  bool Fire(UiEvent& ev) const {
    if (!Valid(ev.control, ev.event)) return false;
    const UiHook& hook = hooks_[Slot(ev.control, ev.event)];
    if (!hook) return false;
    hook(ev);
    return true;
  }
  bool Fire(Ctl c, Ev e) const {
    UiEvent ev;
    ev.control = c;
    ev.event = e;
    return Fire(ev);
  }
  bool FireMenu(MenuItem m) const {
    const auto& hook = menu_[static_cast<size_t>(m)];
    if (!hook) return false;
    hook();
    return true;
  }

  // The window's close query (FormCloseQuery: false keeps the window open)
  // and its close (FormClose). Unassigned: the window closes.
  std::function<bool()> formCloseQuery;
  std::function<void()> formClose;

  // The handler name of an event, e.g. "TxEditChange".
  static std::string HandlerName(Ctl c, Ev e) {
    static const char* const kSuffix[] = {"Click", "DblClick",   "Change",     "KeyPress",
                                          "Exit",  "MouseEnter", "MouseLeave", "Enter"};
    return std::string(ControlName(c)) + kSuffix[static_cast<size_t>(e)];
  }

 private:
  static bool Valid(Ctl c, Ev e) { return c < Ctl::Count && e < Ev::Count; }
  static size_t Slot(Ctl c, Ev e) {
    return static_cast<size_t>(c) * kEvCount + static_cast<size_t>(e);
  }
  std::array<UiHook, kControlCount * kEvCount> hooks_{};
  std::array<std::function<void()>, kMenuItemCount> menu_{};
};

}  // namespace merivac
