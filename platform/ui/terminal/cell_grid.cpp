#include "ui/terminal/cell_grid.h"

#include <algorithm>

#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {

CellRect CellRect::Intersect(const CellRect& other) const {
  int left = std::max(x, other.x), top = std::max(y, other.y);
  int right = std::min(Right(), other.Right()), bottom = std::min(Bottom(), other.Bottom());
  if (right <= left || bottom <= top) return CellRect{left, top, 0, 0};
  return CellRect{left, top, right - left, bottom - top};
}

CellGrid::CellGrid(int width, int height)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_cells(static_cast<std::size_t>(m_width * m_height)),
      m_clip{0, 0, m_width, m_height} {}

const Cell& CellGrid::At(int x, int y) const {
  static const Cell kOutside{};
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kOutside;
  return m_cells[static_cast<std::size_t>(y * m_width + x)];
}

void CellGrid::SetClip(const CellRect& clip) { m_clip = clip.Intersect(Bounds()); }

// Clears a cell, and the other half of a wide character it belonged to.
void CellGrid::Blank(int x, int y) {
  Cell& cell = Mutable(x, y);
  if (cell.tail && x > 0) Mutable(x - 1, y) = Cell{U' ', Mutable(x - 1, y).attr, false, kTerminalColour, kTerminalColour};
  if (!cell.tail && x + 1 < m_width && Mutable(x + 1, y).tail)
    Mutable(x + 1, y) = Cell{U' ', cell.attr, false, kTerminalColour, kTerminalColour};
  cell = Cell{};
}

void CellGrid::Put(int x, int y, char32_t c, std::uint8_t attr) {
  if (c == U'\t') c = U' ';
  int width = CellWidth(c);
  if (width == 0) return;
  if (!Inside(x, y) || (width == 2 && !Inside(x + 1, y))) return;
  Blank(x, y);
  if (width == 2) Blank(x + 1, y);
  Mutable(x, y) = Cell{c, attr, false, kTerminalColour, kTerminalColour};
  if (width == 2) Mutable(x + 1, y) = Cell{U' ', attr, true, kTerminalColour, kTerminalColour};
}

void CellGrid::PutColoured(int x, int y, char32_t c, std::uint32_t fg, std::uint32_t bg, std::uint8_t attr) {
  int width = CellWidth(c);
  if (width == 0 || !Inside(x, y) || (width == 2 && !Inside(x + 1, y))) return;
  Blank(x, y);
  if (width == 2) Blank(x + 1, y);
  Mutable(x, y) = Cell{c, attr, false, fg, bg};
  if (width == 2) Mutable(x + 1, y) = Cell{U' ', attr, true, fg, bg};
}

int CellGrid::Text(int x, int y, std::u32string_view text, int maxColumns, std::uint8_t attr) {
  int used = 0;
  for (char32_t c : text) {
    if (c == U'\n' || c == U'\r') break;  // one line only
    int width = CellWidth(c);
    if (width == 0) continue;
    if (used + width > maxColumns) break;
    Put(x + used, y, c, attr);
    used += width;
  }
  return used;
}

int CellGrid::Text(int x, int y, std::string_view utf8, int maxColumns, std::uint8_t attr) {
  return Text(x, y, DecodeUtf8(utf8), maxColumns, attr);
}

void CellGrid::Fill(const CellRect& rect, char32_t c, std::uint8_t attr) {
  CellRect area = rect.Intersect(m_clip);
  for (int y = area.y; y < area.Bottom(); ++y)
    for (int x = area.x; x < area.Right(); ++x) Put(x, y, c, attr);
}

void CellGrid::AddAttr(const CellRect& rect, std::uint8_t attr) {
  CellRect area = rect.Intersect(m_clip);
  for (int y = area.y; y < area.Bottom(); ++y)
    for (int x = area.x; x < area.Right(); ++x) Mutable(x, y).attr |= attr;
}

std::string CellGrid::Row(int y) const {
  std::u32string row;
  for (int x = 0; x < m_width; ++x)
    if (!At(x, y).tail) row.push_back(At(x, y).ch);
  return EncodeUtf8(row);
}

std::string CellGrid::Dump() const {
  std::string all;
  for (int y = 0; y < m_height; ++y) {
    std::string row = Row(y);
    row.erase(row.find_last_not_of(' ') + 1);
    all += row + "\n";
  }
  return all;
}

}  // namespace vek::ui::terminal
