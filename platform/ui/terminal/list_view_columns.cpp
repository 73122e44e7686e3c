#include "ui/terminal/list_view_columns.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

int CellsOf(const std::string& utf8) { return TextWidth(DecodeUtf8(utf8)); }

}  // namespace

// The columns from `first` on take their pixel widths in cells; a column scrolled
// to shows what it holds. When they add up to more than the list shows, a column
// wider than what it holds gives up the rest, so the columns after it show too.
// Cells left over go to the columns cut short, once the last has what it holds
// (or at least its heading).
ListViewColumns LayOutListViewColumns(const WindowNode& list, const CellRect& body, const CellMapping& mapping, int first) {
  ListViewColumns layout;
  bool report = (list.style & LVS_TYPEMASK) == LVS_REPORT;
  if (!report || list.columns.empty()) {
    layout.spans = {Span{body.x, body.w}};
    return layout;
  }
  const int count = static_cast<int>(list.columns.size());
  const int last = count - 1;
  // What each column holds: its heading or its longest text, and a space to the
  // next column (the last needs none).
  std::vector<int> heading(static_cast<std::size_t>(count)), held(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto c = static_cast<std::size_t>(i);
    heading[c] = CellsOf(list.columns[c].text);
    held[c] = heading[c];
    for (const ListRow& row : list.rows)
      if (c < row.texts.size()) held[c] = std::max(held[c], CellsOf(row.texts[c]));
    if (i < last) held[c] += 1;
  }
  int rest = 0;
  layout.lastFirst = last;
  for (int i = last; i >= 0; --i) {
    rest += held[static_cast<std::size_t>(i)];
    if (rest <= body.w) layout.lastFirst = i;
  }
  layout.first = std::clamp(first, 0, layout.lastFirst);

  std::vector<int> widths(static_cast<std::size_t>(count), 0);
  const bool scrolledTo = layout.first > 0 && layout.first < last;
  int before = 0;  // the shown columns before the last
  for (int i = layout.first; i < last; ++i) {
    auto c = static_cast<std::size_t>(i);
    widths[c] = std::max(mapping.Columns(list.columns[c].widthPx), 1);
    if (i == layout.first && scrolledTo) widths[c] = std::max(widths[c], std::min(held[c], body.w));
    before += widths[c];
  }
  const int lastHeld = held[static_cast<std::size_t>(last)];
  if (before + lastHeld > body.w) {
    before = 0;
    for (int i = layout.first; i < last; ++i) {
      auto c = static_cast<std::size_t>(i);
      widths[c] = i == layout.first && scrolledTo ? std::min(held[c], body.w) : std::min(widths[c], held[c]);
      before += widths[c];
    }
  }
  const int lastKeeps = before + lastHeld <= body.w ? lastHeld : heading[static_cast<std::size_t>(last)];
  int spare = body.w - before - lastKeeps;
  for (int i = layout.first; i < last && spare > 0; ++i) {
    auto c = static_cast<std::size_t>(i);
    int more = std::min(spare, held[c] - widths[c]);
    if (more <= 0) continue;
    widths[c] += more;
    spare -= more;
  }
  int x = body.x;
  for (int i = 0; i < count; ++i) {
    int width = i < layout.first ? 0 : i == last ? body.Right() - x : widths[static_cast<std::size_t>(i)];
    width = std::clamp(width, 0, std::max(body.Right() - x, 0));
    layout.spans.push_back(Span{x, width});
    x += width;
  }
  return layout;
}

ListViewColumnArrows ListViewColumnArrowCells(const CellRect& rect) {
  int bottom = rect.Bottom() - 1;
  return ListViewColumnArrows{CellPoint{rect.x + 1, bottom}, CellPoint{rect.Right() - 2, bottom}};
}

}  // namespace vek::ui::terminal
