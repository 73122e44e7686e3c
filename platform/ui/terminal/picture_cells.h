// Pictures in cells, for a terminal with colours: the bitmap's pixels averaged
// down to the cells' resolution, two pixels a cell (one above the other, as an
// upper half block in the top colour on the bottom colour) where the terminal has
// line drawing, else one pixel a cell as a coloured space.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/win_types.h"
#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

struct PictureCells {
  int columns = 0;
  int pixelRows = 0;                  // two a cell with half blocks, else one
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows top to bottom
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * columns + x)]; }
};

// The bitmap resource `bitmapId` sampled to columns x pixelRows; null when there
// is no such picture. Kept for the next screens.
std::shared_ptr<const PictureCells> SamplePicture(UINT bitmapId, int columns, int pixelRows);

// Draws a picture over the rectangle; upperHalf is the half-block glyph, 0 for one
// pixel a cell. False when the bitmap has no pixels to show.
bool DrawPictureCells(CellGrid& grid, const CellRect& rect, UINT bitmapId, char32_t upperHalf, std::uint8_t attr);

// The colour a text written over a picture's cell stands on.
std::uint32_t PictureBackground(const CellGrid& grid, int x, int y);

}  // namespace vek::ui::terminal
