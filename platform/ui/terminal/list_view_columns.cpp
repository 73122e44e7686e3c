#include "ui/terminal/list_view_columns.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

int CellsOf(const std::string& utf8) { return TextWidth(DecodeUtf8(utf8)); }

// What each column holds: its heading or its longest text, and a space to the
// next column (the last needs none).
std::vector<int> HeldWidths(const WindowNode& list) {
  const std::size_t count = list.columns.size();
  std::vector<int> held(count);
  for (std::size_t c = 0; c < count; ++c) {
    held[c] = CellsOf(list.columns[c].text);
    for (const ListRow& row : list.rows)
      if (c < row.texts.size()) held[c] = std::max(held[c], CellsOf(row.texts[c]));
    if (c + 1 < count) held[c] += 1;
  }
  return held;
}

}  // namespace

int ListViewWholeWidth(const WindowNode& list) {
  std::vector<int> held = HeldWidths(list);
  int total = 0;
  for (int width : held) total += width;
  return total;
}

// The columns from `first` on take their full-size widths when the list has room
// for them, else what they hold; the last runs to the list's edge. When they
// cannot all show whole, those in front show whole as far as they fit and the next
// is cut at the list's edge, where the arrow to the hidden columns points: a column
// in the middle is never cut.
ListViewColumns LayOutListViewColumns(const WindowNode& list, const CellRect& body, const CellMapping& mapping, int first) {
  ListViewColumns layout;
  bool report = (list.style & LVS_TYPEMASK) == LVS_REPORT;
  if (!report || list.columns.empty()) {
    layout.spans = {Span{body.x, body.w}};
    return layout;
  }
  const int count = static_cast<int>(list.columns.size());
  const int last = count - 1;
  const std::vector<int> held = HeldWidths(list);
  int rest = 0;
  layout.lastFirst = last;
  for (int i = last; i >= 0; --i) {
    rest += held[static_cast<std::size_t>(i)];
    if (rest <= body.w) layout.lastFirst = i;
  }
  layout.first = std::clamp(first, 0, layout.lastFirst);

  std::vector<int> widths(static_cast<std::size_t>(count), 0);
  int roomy = 0, total = 0;  // the columns at full size (or what they hold, when more), and as they hold
  for (int i = layout.first; i < count; ++i) {
    auto c = static_cast<std::size_t>(i);
    widths[c] = i < last ? std::max(held[c], mapping.Columns(list.columns[c].widthPx)) : held[c];
    roomy += widths[c];
    total += held[c];
  }
  if (roomy > body.w) {
    if (total <= body.w) {
      for (int i = layout.first; i < count; ++i) widths[static_cast<std::size_t>(i)] = held[static_cast<std::size_t>(i)];
    } else {
      int used = 0;
      for (int i = layout.first; i < count; ++i) {
        auto c = static_cast<std::size_t>(i);
        widths[c] = std::clamp(body.w - used, 0, held[c]);
        used += widths[c];
      }
    }
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
