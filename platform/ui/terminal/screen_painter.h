// The whole screen: the window stack bottom first (each top-level in a frame with its
// caption, disabled ones dimmed), then a dropped-down list, then message boxes, and
// below the windows a line naming the keys, or saying that the program is busy;
// and where the terminal's cursor goes (the caret of the focused field).
#pragma once

#include <optional>
#include <vector>

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/control_painter.h"
#include "ui/terminal/drop_down.h"
#include "ui/terminal/message_box_view.h"
#include "ui/terminal/screen_layout.h"

namespace vek::ui::terminal {

struct Screen {
  CellGrid grid;
  std::optional<CellPoint> cursor;
  bool operator==(const Screen&) const = default;
};

struct Overlays {
  const DropDown* dropDown = nullptr;  // placed already
  std::vector<const MessageBoxView*> boxes;  // placed already, bottom first
};

struct ScreenStyle {
  bool colours = false;   // the terminal shows colours
  bool keyLine = false;   // a row below the layout's rows names the keys
  bool japanese = false;  // the words of the key line and the busy mark
  // The wait cursor shows: the topmost window and the key line say so, unless a
  // message box is up, which waits for the user, not for the work.
  bool busy = false;
};

Screen PaintScreen(const ScreenLayout& layout, const Glyphs& glyphs, unsigned animationFrame, const Overlays& overlays = {},
                   const ScreenStyle& style = {});

}  // namespace vek::ui::terminal
