#include "ui/terminal/drop_down.h"

#include <algorithm>

namespace vek::ui::terminal {

DropDown::DropDown(HWND combo, int selection, int count)
    : m_combo(combo), m_highlight(std::clamp(selection, 0, std::max(count - 1, 0))) {}

void DropDown::Move(int delta, int count) { MoveTo(m_highlight + delta, count); }

void DropDown::MoveTo(int index, int count) { m_highlight = std::clamp(index, 0, std::max(count - 1, 0)); }

void DropDown::Place(const CellRect& field, int count, int droppedRows, int screenColumns, int screenRows) {
  int wanted = std::clamp(std::max(droppedRows, 5), 1, std::max(count, 1));
  int below = screenRows - field.Bottom() - 2, above = field.y - 2;
  bool down = below >= std::min(wanted, 3) || below >= above;
  int visible = std::clamp(wanted, 1, std::max(down ? below : above, 1));
  int width = std::min(std::max(field.w, 8), screenColumns);
  int x = std::clamp(field.x, 0, std::max(screenColumns - width, 0));
  int y = down ? field.Bottom() : field.y - visible - 2;
  m_rect = CellRect{x, std::max(y, 0), width, visible + 2};
  if (m_highlight < m_scroll) m_scroll = m_highlight;
  if (m_highlight >= m_scroll + visible) m_scroll = m_highlight - visible + 1;
  m_scroll = std::clamp(m_scroll, 0, std::max(count - visible, 0));
}

int DropDown::ItemAt(int x, int y) const {
  CellRect inner = m_rect.Inset(1);
  if (!inner.Contains(x, y)) return -1;
  return m_scroll + (y - inner.y);
}

void DropDown::Paint(CellGrid& grid, const std::vector<std::string>& items, const Glyphs& glyphs) const {
  grid.Fill(m_rect);
  DrawBox(grid, m_rect, glyphs, kBold);
  CellRect inner = m_rect.Inset(1);
  for (int line = 0; line < inner.h; ++line) {
    int index = m_scroll + line;
    if (index >= static_cast<int>(items.size())) break;
    std::uint8_t attr = index == m_highlight ? kReverse : kPlain;
    grid.Fill(CellRect{inner.x, inner.y + line, inner.w, 1}, U' ', attr);
    grid.Text(inner.x, inner.y + line, items[static_cast<std::size_t>(index)], inner.w, attr);
  }
  if (m_scroll > 0) grid.Put(m_rect.Right() - 1, inner.y, glyphs.arrowUp, kBold);
  if (m_scroll + inner.h < static_cast<int>(items.size())) grid.Put(m_rect.Right() - 1, inner.Bottom() - 1, glyphs.arrowDown, kBold);
}

}  // namespace vek::ui::terminal
