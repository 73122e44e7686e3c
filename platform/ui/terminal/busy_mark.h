// The busy cursor in a terminal: where a mouse pointer would turn into an
// hourglass, the topmost window's border says "Please wait", and so does the key
// line, with a spinner that turns while the work goes on; in the program's
// language.
#pragma once

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/glyphs.h"
#include "ui/terminal/screen_layout.h"

namespace vek::ui::terminal {

void MarkBusy(CellGrid& grid, const ScreenLayout& layout, bool japanese);
void MarkBusyKeyLine(CellGrid& grid, int row, unsigned frame, const Glyphs& glyphs, bool japanese);

}  // namespace vek::ui::terminal
