#include "ui/terminal/screen_painter.h"

#include "ui/terminal/busy_mark.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/key_help.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

std::optional<CellPoint> Caret(const ScreenLayout& layout) {
  const TopLevelPlacement* active = layout.Active();
  if (active == nullptr) return std::nullopt;
  for (const PlacedWindow* placed : layout.ActiveControls()) {
    const WindowNode& node = *placed->node;
    if (!node.focused || !placed->enabled) continue;
    CellPoint at;
    if (node.kind == ControlKind::Edit) {
      CellRect area = EditTextArea(node, placed->rect);
      CellPoint caret = EditCaretCell(node, area, placed->scroll);
      at = CellPoint{area.x + caret.x, area.y + caret.y};
    } else if (node.kind == ControlKind::IpAddress) {
      // After the digits of the field being edited, as in an edit.
      int width = std::clamp(node.selEnd, 0, static_cast<int>(node.text.size()));
      at = CellPoint{placed->rect.x + std::min(width, placed->rect.w - 1), placed->rect.y + (placed->rect.h - 1) / 2};
    } else {
      return std::nullopt;
    }
    if (placed->clip.Contains(at.x, at.y)) return at;
    return std::nullopt;
  }
  return std::nullopt;
}

// Arrows on the frame's right edge where a scrolled band has rows above or below
// what it shows.
void MarkMoreRows(CellGrid& grid, const TopLevelPlacement& top, const Glyphs& glyphs) {
  const RowScroll& scroll = top.mapping.Scroll();
  if (!scroll.Scrolls() || top.band.Empty()) return;
  int x = top.frame.Right() - 1;
  std::uint8_t attr = top.active ? static_cast<std::uint8_t>(kBold | kReverse) : std::uint8_t{kPlain};
  if (scroll.offset > 0) grid.Put(x, top.band.y, glyphs.arrowUp, attr);
  if (scroll.offset < scroll.Hidden()) grid.Put(x, top.band.Bottom() - 1, glyphs.arrowDown, attr);
}

}  // namespace

Screen PaintScreen(const ScreenLayout& layout, const Glyphs& glyphs, unsigned animationFrame, const Overlays& overlays,
                   const ScreenStyle& style) {
  Screen screen{CellGrid(layout.Columns(), layout.Rows() + (style.keyLine ? 1 : 0)), std::nullopt};
  CellGrid& grid = screen.grid;
  grid.SetClip(CellRect{0, 0, layout.Columns(), layout.Rows()});
  PaintContext context{glyphs, animationFrame, overlays.dropDown == nullptr && overlays.boxes.empty(), style.colours};
  const auto& tops = layout.TopLevels();
  for (std::size_t i = 0; i < tops.size(); ++i) {
    const TopLevelPlacement& top = tops[i];
    grid.Fill(top.frame);
    std::u32string caption = DecodeUtf8(top.node->text);
    DrawBox(grid, top.frame, glyphs, kPlain, caption, top.active ? kBold : kPlain);
    for (const PlacedWindow& placed : layout.Windows())
      if (placed.topLevel == i) PaintWindow(grid, placed, top, context);
    MarkMoreRows(grid, top, glyphs);
    if (top.dimmed) grid.AddAttr(top.frame, kDim);
  }
  if (overlays.dropDown) {
    if (const PlacedWindow* combo = layout.Find(overlays.dropDown->Combo()))
      overlays.dropDown->Paint(grid, combo->node->items, glyphs);
  }
  for (const MessageBoxView* box : overlays.boxes) box->Paint(grid, glyphs);
  grid.SetClip(grid.Bounds());
  bool busy = style.busy && overlays.boxes.empty();
  if (busy) MarkBusy(grid, layout, style.japanese);
  if (style.keyLine && busy) {
    MarkBusyKeyLine(grid, layout.Rows(), animationFrame, glyphs, style.japanese);
  } else if (style.keyLine) {
    KeyHelpState state{overlays.dropDown, overlays.boxes.empty() ? nullptr : overlays.boxes.back(), style.japanese};
    DrawKeyLine(grid, layout.Rows(), KeyHints(layout, state));
  }
  if (context.showFocus) screen.cursor = Caret(layout);
  return screen;
}

}  // namespace vek::ui::terminal
