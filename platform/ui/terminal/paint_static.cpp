// Statics: wrapped text within their own cells (padding runs of spaces as one), a
// picture's title, or a frame.
#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/paint_support.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

constexpr DWORD kEtchedHorz = 0x0010;  // SS_ETCHEDHORZ
constexpr DWORD kEtchedVert = 0x0011;  // SS_ETCHEDVERT

void PaintText(CellGrid& grid, const PlacedWindow& placed, DWORD kind) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  StaticText text = StaticTextLines(node, rect.w);
  const Label& label = text.label;
  const auto& lines = text.lines;
  int count = std::min(static_cast<int>(lines.size()), rect.h);
  int y = (node.style & SS_CENTERIMAGE) ? rect.y + std::max(0, (rect.h - count) / 2) : rect.y;
  std::uint8_t attr = BaseAttr(placed);
  for (int i = 0; i < count; ++i) {
    auto [begin, end] = lines[static_cast<std::size_t>(i)];
    std::u32string line = CutToWidth(std::u32string_view(label.text).substr(begin, end - begin), rect.w);
    int width = TextWidth(line);
    int x = kind == SS_CENTER ? rect.x + (rect.w - width) / 2 : kind == SS_RIGHT ? rect.Right() - width : rect.x;
    int used = 0;
    for (std::size_t k = 0; k < line.size(); ++k) {
      bool mnemonic = label.mnemonic >= 0 && begin + k == static_cast<std::size_t>(label.mnemonic);
      grid.Put(x + used, y + i, line[k], mnemonic ? static_cast<std::uint8_t>(attr | kUnderline) : attr);
      used += CellWidth(line[k]);
    }
  }
}

}  // namespace

void PaintStatic(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  DWORD kind = node.style & SS_TYPEMASK;
  std::uint8_t attr = BaseAttr(placed);
  switch (kind) {
    case SS_BITMAP:
      if (!node.pictureTitle.empty() || node.pictureId != 0)
        DrawPicture(grid, placed.rect, node.pictureTitle, node.pictureId, context, attr);
      break;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDFRAME:
      DrawBox(grid, placed.rect, context.glyphs, attr);
      break;
    case kEtchedHorz:
      DrawHorizontalLine(grid, placed.rect.x, placed.rect.y, placed.rect.w, context.glyphs, attr);
      break;
    case kEtchedVert:
      DrawVerticalLine(grid, placed.rect.x, placed.rect.y, placed.rect.h, context.glyphs, attr);
      break;
    case SS_ICON:
    case SS_BLACKRECT:
    case SS_GRAYRECT:
    case SS_WHITERECT:
      break;  // solid shapes: nothing a cell can say
    default:
      PaintText(grid, placed, kind);
      break;
  }
}

}  // namespace vek::ui::terminal
