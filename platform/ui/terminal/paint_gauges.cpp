// Progress bars, the spinner of a playing animation, and up-down arrows.
#include <algorithm>

#include "ui/terminal/control_geometry.h"
#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {

void PaintProgress(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = BaseAttr(placed);
  int y = MiddleRow(rect);
  int x = rect.x, width = rect.w;
  if (width >= 4) {
    grid.Put(rect.x, y, U'[', attr);
    grid.Put(rect.Right() - 1, y, U']', attr);
    x += 1;
    width -= 2;
  }
  int low = std::min(node.low, node.high), high = std::max(node.low, node.high);
  int span = high - low;
  int filled = span > 0 ? static_cast<int>(static_cast<long long>(std::clamp(node.position, low, high) - low) * width / span) : 0;
  for (int i = 0; i < width; ++i) grid.Put(x + i, y, i < filled ? context.glyphs.barFull : context.glyphs.barEmpty, attr);
}

void PaintAnimation(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  if (!placed.node->playing || context.glyphs.spinner.empty()) return;
  const CellRect& rect = placed.rect;
  char32_t frame = context.glyphs.spinner[context.animationFrame % context.glyphs.spinner.size()];
  grid.Put(rect.x + (rect.w - 1) / 2, MiddleRow(rect), frame, static_cast<std::uint8_t>(BaseAttr(placed) | kBold));
}

void PaintUpDown(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  UpDownParts parts = UpDownGeometry(placed.rect);
  std::uint8_t attr = BaseAttr(placed);
  grid.Put(parts.up.x + (parts.up.w - 1) / 2, MiddleRow(parts.up), context.glyphs.arrowUp, attr);
  if (!parts.down.Empty())
    grid.Put(parts.down.x + (parts.down.w - 1) / 2, MiddleRow(parts.down), context.glyphs.arrowDown, attr);
}

}  // namespace vek::ui::terminal
