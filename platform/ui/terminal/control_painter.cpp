#include "ui/terminal/control_painter.h"

#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {

void PaintWindow(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context) {
  ClipScope clip(grid, placed.clip);
  const WindowNode& node = *placed.node;
  switch (node.kind) {
    case ControlKind::Static: PaintStatic(grid, placed, context); break;
    case ControlKind::Button: PaintButton(grid, placed, top, context); break;
    case ControlKind::Edit: PaintEdit(grid, placed, context); break;
    case ControlKind::IpAddress: PaintIpAddress(grid, placed, context); break;
    case ControlKind::ComboBox: PaintComboBox(grid, placed, context); break;
    case ControlKind::ListView: PaintListView(grid, placed, top, context); break;
    case ControlKind::Tab: PaintTab(grid, placed, context); break;
    case ControlKind::Progress: PaintProgress(grid, placed, context); break;
    case ControlKind::Animation: PaintAnimation(grid, placed, context); break;
    case ControlKind::UpDown: PaintUpDown(grid, placed, context); break;
    case ControlKind::Dialog: PaintDrawing(grid, placed, top, context); break;
    case ControlKind::Other:
      // A child of a class of its own that painted nothing still shows its text.
      if (!PaintDrawing(grid, placed, top, context) && placed.node != top.node)
        grid.Text(placed.rect.x, placed.rect.y, node.text, placed.rect.w, BaseAttr(placed));
      break;
  }
}

}  // namespace vek::ui::terminal
