// Edit fields: the text (masked for passwords) on an underlined field (dimmed when
// disabled), aligned as the edit's style says and scrolled so the caret shows; a
// selection in reverse while the field has the focus. The IP address control
// shows its dotted text the same way, the field being typed over selected.
#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/paint_support.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

// A field shows as one whether or not it takes input now (dimmed when disabled,
// so an empty one does not vanish); a read-only edit is plain text.
std::uint8_t FieldAttr(const PlacedWindow& placed) {
  std::uint8_t attr = BaseAttr(placed);
  if (!(placed.node->style & ES_READONLY)) attr |= kUnderline;
  return attr;
}

// Writes text[begin, end) from x, the characters in [selBegin, selEnd) reversed.
void DrawRun(CellGrid& grid, int x, int y, int width, std::u32string_view text, std::size_t begin, std::size_t end,
             std::size_t selBegin, std::size_t selEnd, std::uint8_t attr) {
  int used = 0;
  for (std::size_t i = begin; i < end; ++i) {
    int w = CellWidth(text[i]);
    if (w == 0) continue;
    if (used + w > width) break;
    bool selected = i >= selBegin && i < selEnd;
    grid.Put(x + used, y, text[i], selected ? static_cast<std::uint8_t>(attr | kReverse) : attr);
    used += w;
  }
}

}  // namespace

void PaintEdit(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  CellRect area = EditTextArea(node, placed.rect);
  std::uint8_t attr = FieldAttr(placed);
  grid.Fill(area, U' ', attr);
  std::u32string shown = EditDisplayText(node);
  std::u32string real = DecodeUtf8(node.text);
  std::size_t selBegin = 0, selEnd = 0;
  if (ShowsFocus(placed, context)) {
    selBegin = std::min(CodePointIndex(real, static_cast<std::size_t>(std::max(node.selStart, 0))), shown.size());
    selEnd = std::min(CodePointIndex(real, static_cast<std::size_t>(std::max(node.selEnd, 0))), shown.size());
    if (selBegin > selEnd) std::swap(selBegin, selEnd);
  }
  if (!IsMultiline(node)) {
    auto begin = static_cast<std::size_t>(std::clamp(placed.scroll, 0, static_cast<int>(shown.size())));
    int indent = EditIndent(node, area, placed.scroll);
    DrawRun(grid, area.x + indent, area.y, area.w - indent, shown, begin, shown.size(), selBegin, selEnd, attr);
    return;
  }
  auto lines = WrapLines(shown, std::max(area.w, 1));
  for (int row = 0; row < area.h; ++row) {
    auto line = static_cast<std::size_t>(placed.scroll + row);
    if (line >= lines.size()) break;
    DrawRun(grid, area.x, area.y + row, area.w, shown, lines[line].first, lines[line].second, selBegin, selEnd, attr);
  }
}

void PaintIpAddress(CellGrid& grid, const PlacedWindow& placed, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  const CellRect& rect = placed.rect;
  std::uint8_t attr = static_cast<std::uint8_t>(BaseAttr(placed) | kUnderline);  // a field, even when disabled
  std::u32string text = DecodeUtf8(node.text);
  std::size_t selBegin = 0, selEnd = 0;
  if (ShowsFocus(placed, context)) {
    attr |= kBold;
    selBegin = std::min(static_cast<std::size_t>(std::max(node.selStart, 0)), text.size());
    selEnd = std::min(static_cast<std::size_t>(std::max(node.selEnd, 0)), text.size());
  }
  int y = MiddleRow(rect);
  grid.Fill(CellRect{rect.x, y, rect.w, 1}, U' ', attr);
  DrawRun(grid, rect.x, y, rect.w, text, 0, text.size(), selBegin, selEnd, attr);
}

}  // namespace vek::ui::terminal
