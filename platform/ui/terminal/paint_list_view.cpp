// List views: a frame, the column headings, and the rows that fit, scrolled to the
// focused row and to the first column shown; selected rows in reverse, rows their
// owner drew in a colour of their own dim, arrows on the frame when rows or
// columns are hidden.
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/list_view_columns.h"
#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {
namespace {

void DrawCells(CellGrid& grid, int y, const std::vector<Span>& spans, const std::vector<std::string>& texts,
               std::uint8_t attr) {
  for (std::size_t c = 0; c < spans.size() && c < texts.size(); ++c) {
    // A space between columns, unless the column is a single cell; the last runs
    // to the list's edge. A column scrolled off has no cells.
    if (spans[c].width == 0) continue;
    bool last = c + 1 == spans.size();
    int room = spans[c].width > 1 && !last ? spans[c].width - 1 : spans[c].width;
    grid.Text(spans[c].x, y, texts[c], room, attr);
  }
}

}  // namespace

void PaintListView(CellGrid& grid, const PlacedWindow& placed, const TopLevelPlacement& top, const PaintContext& context) {
  const WindowNode& node = *placed.node;
  ListViewArea area = ListViewGeometry(node, placed.rect);
  std::uint8_t attr = BaseAttr(placed);
  bool focus = ShowsFocus(placed, context);
  if (area.framed) DrawBox(grid, placed.rect, context.glyphs, focus ? static_cast<std::uint8_t>(attr | kBold) : attr);
  ListViewColumns columns = LayOutListViewColumns(node, area.body, top.mapping, placed.columnScroll);
  const std::vector<Span>& spans = columns.spans;
  if (area.headerY >= 0) {
    std::vector<std::string> headings;
    for (const ListColumn& column : node.columns) headings.push_back(column.text);
    grid.Fill(CellRect{area.body.x, area.headerY, area.body.w, 1}, U' ', static_cast<std::uint8_t>(attr | kUnderline));
    DrawCells(grid, area.headerY, spans, headings, static_cast<std::uint8_t>(attr | kBold | kUnderline));
  }
  int count = static_cast<int>(node.rows.size());
  for (int line = 0; line < area.body.h; ++line) {
    int index = placed.scroll + line;
    if (index >= count) break;
    const ListRow& row = node.rows[static_cast<std::size_t>(index)];
    std::uint8_t rowAttr = attr;
    if (row.ownColour) rowAttr |= kDim;  // cells have no colours: a marked row shows dim
    if (row.selected) rowAttr |= kReverse;
    if (row.focused && focus) rowAttr |= kBold;
    int y = area.body.y + line;
    if (row.selected) grid.Fill(CellRect{area.body.x, y, area.body.w, 1}, U' ', rowAttr);
    DrawCells(grid, y, spans, row.texts, rowAttr);
  }
  if (area.framed) {
    int x = placed.rect.Right() - 1;
    if (placed.scroll > 0) grid.Put(x, area.body.y, context.glyphs.arrowUp, attr);
    if (placed.scroll + area.body.h < count) grid.Put(x, area.body.Bottom() - 1, context.glyphs.arrowDown, attr);
    ListViewColumnArrows arrows = ListViewColumnArrowCells(placed.rect);
    if (columns.first > 0) grid.Put(arrows.left.x, arrows.left.y, context.glyphs.arrowLeft, attr);
    if (columns.first < columns.lastFirst) grid.Put(arrows.right.x, arrows.right.y, context.glyphs.arrowRight, attr);
  }
}

}  // namespace vek::ui::terminal
