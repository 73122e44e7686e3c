// Where the controls of a top-level window land in cells, so that the window
// shows whole at a readable size on the screen it has. Each axis is fitted on its
// own (AxisFit) from what the controls need (control_needs.h): a text its line or
// its lines at its width, a button its label, a list its headings and a few rows,
// a frame a cell of border around what is inside it, a label a cell between it and
// its field. What the screen lacks is taken first from pictures and empty space,
// then from the blank lines between paragraphs. Across, a screen still too narrow
// lets labels wrap, and after that shrinks the window; down, the window keeps its
// blank lines and scrolls (see ScreenLayout).
#pragma once

#include "ui/terminal/cell_mapping.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {

struct WindowFit {
  CellMapping mapping;  // not scrolled
  int columns = 0;      // the client area in cells
  int rows = 0;
};

// Fits a top-level window's client area into `columns` x `rows` cells; a window
// without a size takes them all.
WindowFit FitWindow(const WindowNode& window, int columns, int rows);

}  // namespace vek::ui::terminal
