// A small built-in 5 x 7 pixel font for the texts in the wizard's pictures, so the
// pictures need no font of the system: capitals and digits are 7 rows high, and
// g, j, p, q, y and the comma reach two rows below the line. Letters, digits and
// common punctuation; anything else draws a box.
#pragma once

#include <cstdint>
#include <string_view>

namespace vek::wizard {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 9;                 // 7 above the line, 2 below
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;  // one column of space between letters

// The rows of a glyph, top first; bit 4 is the leftmost column.
const std::uint8_t* PixelGlyph(char c);

// Width in pixels of a text drawn at the given scale (no trailing space).
int PixelTextWidth(std::string_view text, int scale);

// Draws a text with its top left at (x, y), each font pixel a scale x scale square.
// Clipped to the buffer.
void DrawPixelText(std::uint32_t* pixels, int width, int height, int x, int y, std::string_view text, int scale,
                   std::uint32_t color);

}  // namespace vek::wizard
