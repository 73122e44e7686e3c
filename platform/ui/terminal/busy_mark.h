// The busy cursor in a terminal: where a mouse pointer would turn into an
// hourglass, the topmost window's border says "Please wait".
#pragma once

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/screen_layout.h"

namespace vek::ui::terminal {

void MarkBusy(CellGrid& grid, const ScreenLayout& layout);

}  // namespace vek::ui::terminal
