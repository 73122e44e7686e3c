// The colours a terminal shows: the nearest of its 8, 16 or 256, and text that
// stays readable on them. The screen sends cells in these colours; tests check
// what a person would see.
#pragma once

#include <cstdint>

#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

// The palette entry nearest to a colour (0xRRGGBB) on a terminal of this many
// colours: the basic 8 or 16, or on 256 the colour cube and the grey ramp.
int PaletteIndex(std::uint32_t rgb, int colours);
// The colour a palette entry shows, as most terminals show it.
std::uint32_t PaletteColour(int index);
// The colour as the terminal shows it.
std::uint32_t ShownColour(std::uint32_t rgb, int colours);

// The contrast ratio of two colours, from 1 (alike) to 21 (black and white), by
// their relative luminance.
double ContrastRatio(std::uint32_t a, std::uint32_t b);

// Text over a picture keeps the picture's colour behind it and takes black or
// white, whichever stands out more as the terminal shows them; where neither
// reaches 4.5 : 1 (a terminal of few colours), it goes white on black.
inline constexpr double kReadableContrast = 4.5;
struct TextColours {
  std::uint32_t fg;
  std::uint32_t bg;
};
TextColours ReadableColours(std::uint32_t background, int colours);
// The colours a cell is sent in (before the terminal picks its nearest): its own,
// with a foreground of kContrastColour made readable on its background.
TextColours CellColours(const Cell& cell, int colours);

}  // namespace vek::ui::terminal
