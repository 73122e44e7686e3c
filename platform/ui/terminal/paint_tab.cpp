// Tab controls: a row of labels, the selected one in reverse, over a line.
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {

void PaintTab(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = BaseAttr(placed);
  std::vector<Span> spans = TabSpans(node.items, rect);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    const Span& span = spans[i];
    if (span.width <= 0) break;
    std::uint8_t labelAttr = attr;
    if (static_cast<int>(i) == node.selection) labelAttr |= ShowsFocus(placed, context) ? kReverse | kBold : kReverse;
    grid.Fill(CellRect{span.x, rect.y, span.width, 1}, U' ', labelAttr);
    DrawLabel(grid, span.x + 1, rect.y, node.items[i], span.width - 1, labelAttr);
    if (span.x + span.width < rect.Right()) grid.Put(span.x + span.width, rect.y, context.glyphs.vertical, attr);
  }
  if (rect.h >= 2) DrawHorizontalLine(grid, rect.x, rect.y + 1, rect.w, context.glyphs, attr);
}

}  // namespace vek::ui::terminal
