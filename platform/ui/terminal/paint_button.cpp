// Buttons: [ push buttons ] (bold when default), [x] check boxes, (o) radio
// buttons, and group boxes as a frame with the caption in its top edge.
#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/paint_support.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

void PaintPush(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context, bool isDefault) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = BaseAttr(placed);
  if (isDefault && placed.enabled) attr |= kBold;
  if (ShowsFocus(placed, context)) attr |= kReverse;
  int y = MiddleRow(rect);
  // "[ label ]" when it fits, then "[label]", then the label alone, cut.
  int labelWidth = LabelWidth(node.text);
  int padding = labelWidth + 4 <= rect.w ? 1 : labelWidth + 2 <= rect.w ? 0 : -1;
  if (padding < 0) {
    DrawLabel(grid, rect.x, y, node.text, rect.w, attr);
    return;
  }
  int width = labelWidth + 2 + 2 * padding;
  int x = rect.x + (rect.w - width) / 2;
  grid.Fill(CellRect{x, y, width, 1}, U' ', attr);
  grid.Put(x, y, U'[', attr);
  DrawLabel(grid, x + 1 + padding, y, node.text, labelWidth, attr);
  grid.Put(x + width - 1, y, U']', attr);
}

void PaintMarked(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context, std::u32string_view mark) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = BaseAttr(placed);
  std::uint8_t labelAttr = ShowsFocus(placed, context) ? static_cast<std::uint8_t>(attr | kReverse) : attr;
  int y = MiddleRow(rect);
  if (node.style & BS_LEFTTEXT) {
    int used = DrawLabel(grid, rect.x, y, node.text, std::max(rect.w - 4, 0), labelAttr);
    grid.Text(rect.x + used + 1, y, mark, 3, attr);
    return;
  }
  grid.Text(rect.x, y, mark, rect.w, attr);
  DrawLabel(grid, rect.x + 4, y, node.text, rect.w - 4, labelAttr);
}

}  // namespace

void PaintButton(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  switch (node.style & BS_TYPEMASK) {
    case BS_GROUPBOX: {
      std::u32string caption = ParseLabel(DecodeUtf8(node.text)).text;
      DrawBox(grid, placed.rect, context.glyphs, BaseAttr(placed), caption, kPlain);
      break;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      PaintMarked(grid, placed, context,
                  node.check == BST_CHECKED ? U"[x]" : node.check == BST_INDETERMINATE ? U"[-]" : U"[ ]");
      break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      PaintMarked(grid, placed, context, node.check == BST_CHECKED ? U"(o)" : U"( )");
      break;
    case BS_OWNERDRAW:
      // Its owner draws it; a drawing without text or picture gets the label.
      if (!PaintDrawing(grid, placed, top, context)) PaintPush(grid, placed, context, false);
      else if (ShowsFocus(placed, context)) grid.AddAttr(placed.rect, kReverse);
      break;
    default:
      PaintPush(grid, placed, context, (node.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      break;
  }
}

}  // namespace vek::ui::terminal
