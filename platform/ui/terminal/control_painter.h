// Draws one window of the layout into the cells: each control kind its own way
// (texts, [x] check boxes, (o) radio buttons, [ buttons ], fields, lists, bars),
// and windows of other classes from what they painted.
#pragma once

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/glyphs.h"
#include "ui/terminal/screen_layout.h"

namespace vek::ui::terminal {

struct PaintContext {
  const Glyphs& glyphs;
  unsigned animationFrame = 0;
  // The focus shows only where input goes: not under a drop-down or a message box.
  bool showFocus = true;
  // The terminal shows colours: pictures are drawn, not named.
  bool colours = false;
};

// The window itself, not its children, within its clip.
void PaintWindow(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context);

}  // namespace vek::ui::terminal
