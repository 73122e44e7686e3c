// Helpers for the terminal front end's tests: hand-made window nodes, painting one
// control alone, reading rows of cells.
#pragma once

#include <string>
#include <vector>

#include "framework/framework.h"
#include "ui/terminal/cell_grid.h"
#include "ui/terminal/control_painter.h"
#include "ui/terminal/screen_layout.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::test::terminal {

using namespace vek::ui::terminal;

// Handles that name no window: the renderer only compares them.
HWND FakeHandle(int n);
// A dialog-unit rectangle in pixels.
RECT Du(short x, short y, short cx, short cy);
WindowNode Node(ControlKind kind, HWND hwnd, RECT rect, std::string text = "", DWORD style = 0);
// A top-level dialog with a caption, `cx` x `cy` dialog units.
WindowNode Dialog(HWND hwnd, std::string caption, short cx, short cy, std::vector<WindowNode> children = {});

struct PaintOptions {
  bool ascii = false;
  bool enabled = true;
  unsigned frame = 0;
  int scroll = 0;
  int columnScroll = 0;
  bool showFocus = true;
  bool colours = false;
};
// Paints one control at `rect` of a grid at full scale, as in a window at (0, 0).
CellGrid PaintAt(const WindowNode& node, CellRect rect, int columns, int rows, PaintOptions options = {});

// A row without its trailing spaces.
std::string RowOf(const CellGrid& grid, int y);
bool HasAttr(const CellGrid& grid, int x, int y, std::uint8_t attr);

}  // namespace vek::test::terminal
