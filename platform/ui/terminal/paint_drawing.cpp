// What a window painted itself (a dialog's pictures, a custom window's texts and
// frames), mapped from its client pixels to cells.
#include <algorithm>

#include "ui/terminal/paint_support.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

bool PaintDrawing(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  std::uint8_t attr = BaseAttr(placed);
  bool drewContent = false;
  auto toCells = [&](RECT r) {
    r = RECT{r.left + placed.origin.x, r.top + placed.origin.y, r.right + placed.origin.x, r.bottom + placed.origin.y};
    CellRect cells = top.mapping.Map(r);
    cells.x += top.client.x;
    cells.y += top.client.y;
    return cells;
  };
  for (const DrawnShape& shape : node.drawing) {
    CellRect clip = IsEmpty(shape.clip) ? placed.clip : toCells(shape.clip).Intersect(placed.clip);
    ClipScope scope(grid, clip);
    CellRect cells = toCells(shape.rect);
    switch (shape.kind) {
      case DrawnShape::Kind::Text: {
        // A text at a point runs to the clip's edge; one in a box stays in it.
        int width = shape.rect.right > shape.rect.left ? cells.w : clip.Right() - cells.x;
        std::u32string text = DecodeUtf8(shape.text);
        std::size_t start = 0;
        for (int line = 0; start <= text.size(); ++line) {
          std::size_t end = text.find(U'\n', start);
          if (end == std::u32string::npos) end = text.size();
          grid.Text(cells.x, cells.y + line, std::u32string_view(text).substr(start, end - start), width, attr);
          start = end + 1;
        }
        drewContent = drewContent || !shape.text.empty();
        break;
      }
      case DrawnShape::Kind::Frame:
        DrawBox(grid, cells, context.glyphs, attr);
        break;
      case DrawnShape::Kind::Line: {
        // A line from (left, top) to (right, bottom).
        int x1 = cells.x, y1 = cells.y;
        int x2 = top.client.x + top.mapping.Column(shape.rect.right + placed.origin.x);
        int y2 = top.client.y + top.mapping.Row(shape.rect.bottom + placed.origin.y);
        if (y1 == y2) DrawHorizontalLine(grid, std::min(x1, x2), y1, std::abs(x2 - x1) + 1, context.glyphs, attr);
        else if (x1 == x2) DrawVerticalLine(grid, x1, std::min(y1, y2), std::abs(y2 - y1) + 1, context.glyphs, attr);
        break;
      }
      case DrawnShape::Kind::Picture:
        DrawPicture(grid, cells, shape.text, shape.bitmapId, context, attr);
        drewContent = true;
        break;
    }
  }
  return drewContent;
}

}  // namespace vek::ui::terminal
