#include "ui/terminal/glyphs.h"

#include <algorithm>

#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {

const Glyphs& Glyphs::Unicode() {
  static const Glyphs glyphs{U'─', U'│', U'┌', U'┐', U'└', U'┘', U'▲', U'▼', U'◀', U'▶', U'▼', U'█', U'░', U"|/-\\", U'…', U'▀'};
  return glyphs;
}

const Glyphs& Glyphs::Ascii() {
  static const Glyphs glyphs{U'-', U'|', U'+', U'+', U'+', U'+', U'^', U'v', U'<', U'>', U'v', U'#', U'.', U"|/-\\", U'~', 0};
  return glyphs;
}

void DrawHorizontalLine(CellGrid& grid, int x, int y, int width, const Glyphs& glyphs, std::uint8_t attr) {
  for (int i = 0; i < width; ++i) grid.Put(x + i, y, glyphs.horizontal, attr);
}

void DrawVerticalLine(CellGrid& grid, int x, int y, int height, const Glyphs& glyphs, std::uint8_t attr) {
  for (int i = 0; i < height; ++i) grid.Put(x, y + i, glyphs.vertical, attr);
}

void DrawBox(CellGrid& grid, const CellRect& rect, const Glyphs& glyphs, std::uint8_t attr, std::u32string_view title,
             std::uint8_t titleAttr) {
  if (rect.w < 2 || rect.h < 2) {
    if (rect.h == 1) DrawHorizontalLine(grid, rect.x, rect.y, rect.w, glyphs, attr);
    else if (rect.w == 1) DrawVerticalLine(grid, rect.x, rect.y, rect.h, glyphs, attr);
    return;
  }
  int right = rect.Right() - 1, bottom = rect.Bottom() - 1;
  DrawHorizontalLine(grid, rect.x + 1, rect.y, rect.w - 2, glyphs, attr);
  DrawHorizontalLine(grid, rect.x + 1, bottom, rect.w - 2, glyphs, attr);
  DrawVerticalLine(grid, rect.x, rect.y + 1, rect.h - 2, glyphs, attr);
  DrawVerticalLine(grid, right, rect.y + 1, rect.h - 2, glyphs, attr);
  grid.Put(rect.x, rect.y, glyphs.topLeft, attr);
  grid.Put(right, rect.y, glyphs.topRight, attr);
  grid.Put(rect.x, bottom, glyphs.bottomLeft, attr);
  grid.Put(right, bottom, glyphs.bottomRight, attr);
  if (!title.empty() && rect.w > 4) {
    // " Title " after the corner and one line, cut to leave the far corner.
    int room = rect.w - 4;
    std::u32string shown = CutToWidth(title, room - 2);
    grid.Put(rect.x + 2, rect.y, U' ', attr);
    int used = grid.Text(rect.x + 3, rect.y, shown, room - 2, titleAttr | attr);
    grid.Put(rect.x + 3 + used, rect.y, U' ', attr);
  }
}

void DrawCentred(CellGrid& grid, int x, int y, int width, std::u32string_view text, std::uint8_t attr) {
  std::u32string shown = CutToWidth(text, width);
  int offset = std::max(0, (width - TextWidth(shown)) / 2);
  grid.Text(x + offset, y, shown, width - offset, attr);
}

}  // namespace vek::ui::terminal
