// A key or mouse event from the terminal, in the front end's own terms (the curses
// codes stay inside the screen).
#pragma once

#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

enum class KeyCode {
  Character,
  Enter,
  Tab,
  BackTab,
  Escape,
  Backspace,
  Delete,
  Up,
  Down,
  Left,
  Right,
  Home,
  End,
  PageUp,
  PageDown,
  F4,
  Redraw,  // Ctrl+L: paint the whole screen again
  Resize,
  Mouse,
};

enum class MouseAction { Press, WheelUp, WheelDown };

struct TermKey {
  KeyCode code = KeyCode::Character;
  char32_t ch = 0;  // for Character
  bool alt = false;
  MouseAction mouse = MouseAction::Press;
  CellPoint at{};  // for Mouse

  static TermKey Char(char32_t c, bool alt = false) { return TermKey{KeyCode::Character, c, alt, {}, {}}; }
  static TermKey Key(KeyCode code, bool alt = false) { return TermKey{code, 0, alt, {}, {}}; }
  static TermKey Click(int x, int y) { return TermKey{KeyCode::Mouse, 0, false, MouseAction::Press, CellPoint{x, y}}; }
  static TermKey Wheel(int x, int y, bool up) {
    return TermKey{KeyCode::Mouse, 0, false, up ? MouseAction::WheelUp : MouseAction::WheelDown, CellPoint{x, y}};
  }
};

}  // namespace vek::ui::terminal
