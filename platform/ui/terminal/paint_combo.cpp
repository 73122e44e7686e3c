// Combo boxes: the selected item on a field with a drop-down arrow at its end.
#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {

void PaintComboBox(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = BaseAttr(placed);
  std::uint8_t field = placed.enabled ? static_cast<std::uint8_t>(attr | kUnderline) : attr;
  if (ShowsFocus(placed, context)) field |= kReverse;
  int textWidth = rect.w >= 3 ? rect.w - 2 : rect.w;
  grid.Fill(CellRect{rect.x, rect.y, textWidth, 1}, U' ', field);
  bool selected = node.selection >= 0 && node.selection < static_cast<int>(node.items.size());
  const std::string& text = selected ? node.items[static_cast<std::size_t>(node.selection)] : node.text;
  grid.Text(rect.x, rect.y, text, textWidth, field);
  if (rect.w >= 3) {
    grid.Put(rect.Right() - 2, rect.y, U' ', attr);
    grid.Put(rect.Right() - 1, rect.y, context.glyphs.dropDown, attr);
  }
}

}  // namespace vek::ui::terminal
