// The list a combo box drops down: shown by the front end over the windows, below
// the combo's field (above it when there is no room), until an item is chosen or it
// is closed.
#pragma once

#include <string>
#include <vector>

#include "framework/win_types.h"
#include "ui/terminal/cell_grid.h"
#include "ui/terminal/glyphs.h"

namespace vek::ui::terminal {

class DropDown {
 public:
  DropDown(HWND combo, int selection, int count);

  HWND Combo() const { return m_combo; }
  int Highlight() const { return m_highlight; }
  void Move(int delta, int count);
  void MoveTo(int index, int count);

  // Places the list for the field; `droppedRows` is the height the combo asks for.
  void Place(const CellRect& field, int count, int droppedRows, int screenColumns, int screenRows);
  CellRect Rect() const { return m_rect; }
  // The item at a cell of the placed list, -1 when none.
  int ItemAt(int x, int y) const;
  void Paint(CellGrid& grid, const std::vector<std::string>& items, const Glyphs& glyphs) const;

 private:
  HWND m_combo;
  int m_highlight;
  int m_scroll = 0;
  CellRect m_rect;
};

}  // namespace vek::ui::terminal
