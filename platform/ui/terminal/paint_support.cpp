#include "ui/terminal/paint_support.h"

#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {

std::uint8_t BaseAttr(const PlacedWindow& placed) { return placed.enabled ? kPlain : kDim; }

bool ShowsFocus(const PlacedWindow& placed, const PaintContext& context) {
  return context.showFocus && placed.node->focused;
}

int MiddleRow(const CellRect& rect) { return rect.y + (rect.h - 1) / 2; }

int DrawLabel(CellGrid& grid, int x, int y, std::string_view utf8, int maxColumns, std::uint8_t attr, bool prefix) {
  Label label = ParseLabel(DecodeUtf8(utf8), prefix);
  int used = 0;
  for (std::size_t i = 0; i < label.text.size(); ++i) {
    char32_t c = label.text[i];
    if (c == U'\n' || c == U'\r') break;
    int width = CellWidth(c);
    if (width == 0) continue;
    if (used + width > maxColumns) break;
    std::uint8_t a = static_cast<int>(i) == label.mnemonic ? static_cast<std::uint8_t>(attr | kUnderline) : attr;
    grid.Put(x + used, y, c, a);
    used += width;
  }
  return used;
}

int LabelWidth(std::string_view utf8, bool prefix) { return TextWidth(ParseLabel(DecodeUtf8(utf8), prefix).text); }

void DrawPicture(CellGrid& grid, const CellRect& rect, std::string_view title, const Glyphs& glyphs, std::uint8_t attr) {
  std::u32string text = DecodeUtf8(title);
  if (rect.h >= 3 && rect.w >= 4) {
    DrawBox(grid, rect, glyphs, attr);
    DrawCentred(grid, rect.x + 1, MiddleRow(rect), rect.w - 2, text, static_cast<std::uint8_t>(attr | kBold));
  } else {
    DrawCentred(grid, rect.x, MiddleRow(rect), rect.w, text, static_cast<std::uint8_t>(attr | kBold));
  }
}

}  // namespace vek::ui::terminal
