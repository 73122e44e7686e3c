// List views: a frame, the column headings, and the rows that fit, scrolled to the
// focused row; selected rows in reverse, rows their owner drew in a colour of their
// own dim, arrows on the frame when rows are hidden.
#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/paint_support.h"

namespace vek::ui::terminal {
namespace {

// The cell where each column starts, from the pixel widths of the columns. When
// they add up to more than the list shows, a column wider than what it holds
// gives up the rest, so the columns after it show too. Cells left over go to the
// columns cut short, once the last has what it holds (or at least its heading).
std::vector<Span> ColumnSpans(const WindowNode& list, const CellRect& body, const CellMapping& mapping) {
  std::vector<Span> spans;
  bool report = (list.style & LVS_TYPEMASK) == LVS_REPORT;
  if (!report || list.columns.empty()) return {Span{body.x, body.w}};
  // What each column holds: its heading or its longest text, and a space to the
  // next column (the last needs none).
  auto text = [&](std::size_t i, bool headingOnly) {
    int width = LabelWidth(list.columns[i].text, false);
    if (!headingOnly)
      for (const ListRow& row : list.rows)
        if (i < row.texts.size()) width = std::max(width, LabelWidth(row.texts[i], false));
    return width;
  };
  const std::size_t last = list.columns.size() - 1;
  std::vector<int> widths, held;
  int before = 0;  // the columns before the last
  for (std::size_t i = 0; i < list.columns.size(); ++i) {
    widths.push_back(std::max(mapping.Columns(list.columns[i].widthPx), 1));
    held.push_back(text(i, false) + (i < last ? 1 : 0));
    if (i < last) before += widths.back();
  }
  if (before + held[last] > body.w) {
    before = 0;
    for (std::size_t i = 0; i < last; ++i) before += widths[i] = std::min(widths[i], held[i]);
  }
  const int lastKeeps = before + held[last] <= body.w ? held[last] : text(last, true);
  int spare = body.w - before - lastKeeps;
  for (std::size_t i = 0; i < last && spare > 0; ++i) {
    int more = std::min(spare, held[i] - widths[i]);
    if (more <= 0) continue;
    widths[i] += more;
    spare -= more;
  }
  int x = body.x;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    int width = i == last ? body.Right() - x : widths[i];
    width = std::clamp(width, 0, std::max(body.Right() - x, 0));
    spans.push_back(Span{x, width});
    x += width;
  }
  return spans;
}

void DrawCells(CellGrid& grid, int y, const std::vector<Span>& spans, const std::vector<std::string>& texts,
               std::uint8_t attr) {
  for (std::size_t c = 0; c < spans.size() && c < texts.size(); ++c) {
    // A space between columns, unless the column is a single cell; the last runs
    // to the list's edge.
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
  std::vector<Span> spans = ColumnSpans(node, area.body, top.mapping);
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
  }
}

}  // namespace vek::ui::terminal
