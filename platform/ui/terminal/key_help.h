// The line at the bottom of the screen that names the keys of what has the input
// now: the window (move between controls, the button Enter presses, what Esc
// does where it does something), a dropped-down list, or a message box, in the
// program's language.
#pragma once

#include <string>
#include <vector>

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/screen_layout.h"

namespace vek::ui::terminal {

class DropDown;
class MessageBoxView;

struct KeyHint {
  std::u32string key;
  std::u32string action;
  bool operator==(const KeyHint&) const = default;
};

struct KeyHelpState {
  const DropDown* dropDown = nullptr;
  const MessageBoxView* box = nullptr;  // the topmost message box
  bool japanese = false;
};

std::vector<KeyHint> KeyHints(const ScreenLayout& layout, const KeyHelpState& state);

// The hints on row y, key names reversed; hints that do not fit are left out from
// the end.
void DrawKeyLine(CellGrid& grid, int y, const std::vector<KeyHint>& hints);

}  // namespace vek::ui::terminal
