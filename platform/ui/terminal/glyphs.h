// The characters the front end draws its frames, arrows and bars with: line drawing
// on a UTF-8 terminal, plain ASCII elsewhere.
#pragma once

#include <string_view>

#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

struct Glyphs {
  char32_t horizontal, vertical, topLeft, topRight, bottomLeft, bottomRight;
  char32_t arrowUp, arrowDown, arrowLeft, arrowRight, dropDown;
  char32_t barFull, barEmpty;
  std::u32string_view spinner;  // frames of the animation
  char32_t ellipsis;
  char32_t upperHalf;  // a picture's two pixels in one cell; 0: one pixel a cell

  static const Glyphs& Unicode();
  static const Glyphs& Ascii();
};

// A frame along the rectangle's edges, with an optional title in its top edge.
void DrawBox(CellGrid& grid, const CellRect& rect, const Glyphs& glyphs, std::uint8_t attr = kPlain,
             std::u32string_view title = {}, std::uint8_t titleAttr = kBold);
void DrawHorizontalLine(CellGrid& grid, int x, int y, int width, const Glyphs& glyphs, std::uint8_t attr = kPlain);
void DrawVerticalLine(CellGrid& grid, int x, int y, int height, const Glyphs& glyphs, std::uint8_t attr = kPlain);
// Text centred in a width, cut when it does not fit.
void DrawCentred(CellGrid& grid, int x, int y, int width, std::u32string_view text, std::uint8_t attr = kPlain);

}  // namespace vek::ui::terminal
