// What a key or a click means, as input actions for the windows: characters and
// keys for the focused control, clicks, selections and spins for the control under
// the mouse, and the front end's own drop-down list. Pure: it reads the layout (and
// the focus) and decides; the front end then performs the actions.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/terminal/drop_down.h"
#include "ui/terminal/screen_layout.h"
#include "ui/terminal/terminal_key.h"

namespace vek::ui::terminal {

struct InputAction {
  enum class Kind {
    Character,      // value: the character, to the target as WM_CHAR
    Key,            // value: the virtual key, as WM_KEYDOWN (shift: Shift+Tab)
    Click,          // a button, check box, radio button or notifying static
    Caret,          // value: the caret position a click in an edit sets
    Select,         // value: the combo item, list row or tab
    Spin,           // value: +1 or -1 on an up-down control
    Focus,          // the target takes the focus
    MouseClick,     // point: a click at client pixels of a window of its own class
    OpenDropDown,   // the target combo's list drops down
    MoveDropDown,   // value: the item to highlight
    CloseDropDown,
    Redraw,         // the whole screen again
    ScrollColumns,  // value: -1 or +1, the target list's first column shown
    ScrollPage,     // value: rows down (up when negative), the target page or window taller than the screen
  };
  Kind kind;
  HWND target = nullptr;
  std::int64_t value = 0;
  bool shift = false;
  POINT point{};

  bool operator==(const InputAction& other) const {
    return kind == other.kind && target == other.target && value == other.value && shift == other.shift &&
           point.x == other.point.x && point.y == other.point.y;
  }
};

// `focus` is the thread's focus window; keys for a window outside the active one go
// to the active window itself.
std::vector<InputAction> TranslateKey(const TermKey& key, const ScreenLayout& layout, HWND focus, const DropDown* dropDown);

// Whether more keys may be translated after these actions before the windows have
// handled them (they cannot move the focus).
bool KeepsFocus(const std::vector<InputAction>& actions);

}  // namespace vek::ui::terminal
