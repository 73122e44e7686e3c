// Where a report list's columns land in cells. Columns too wide for the list
// together scroll sideways one column at a time, as the list itself scrolls
// horizontally: the layout remembers each list's first column shown, and Left and
// Right (or a click on the frame's arrows) move it.
#pragma once

#include <vector>

#include "ui/terminal/cell_mapping.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {

struct ListViewColumns {
  std::vector<Span> spans;  // one per column; a column scrolled off to the left has no width
  int first = 0;            // the first column shown
  int lastFirst = 0;        // the first column from which all the rest show whole; 0 when all do
};

// `first` is the remembered first column, kept within [0, lastFirst].
ListViewColumns LayOutListViewColumns(const WindowNode& list, const CellRect& body, const CellMapping& mapping, int first);

// The cells a report list's columns take when every one shows whole.
int ListViewWholeWidth(const WindowNode& list);

// The cells of the arrows that show hidden columns, on a framed list's bottom edge
// at either end.
struct ListViewColumnArrows {
  CellPoint left, right;
};
ListViewColumnArrows ListViewColumnArrowCells(const CellRect& rect);

}  // namespace vek::ui::terminal
