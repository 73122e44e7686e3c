#include "ui/terminal/window_fit.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/terminal/axis_fit.h"
#include "ui/terminal/control_needs.h"

namespace vek::ui::terminal {
namespace {

// Control tops closer than this stand on one row (a label beside its field), as
// long as the row's tops stay within a line's height.
constexpr int kSameRowPixels = 8;
// Controls this far apart across keep a cell between them.
constexpr int kApartPixels = 2;
// Paragraphs this far apart keep a blank line between them while the window fits.
constexpr int kParagraphGapPixels = 10;
// A window too wide even with wrapped labels shrinks in steps of this much.
constexpr double kScaleStep = 1.1;
constexpr double kMaxScale = 4.0;

struct Item {
  const WindowNode* node;
  RECT px;  // in the window's client pixels
  bool decoration;
  std::optional<FrameBorder> frame;
};

RECT Offset(const RECT& r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

void Collect(const WindowNode& node, POINT origin, std::vector<Item>& items) {
  for (const WindowNode& child : node.children) {
    RECT r = Offset(child.rect, origin);
    items.push_back(Item{&child, r, IsDecoration(child), FrameOf(child)});
    Collect(child, POINT{r.left, r.top}, items);
  }
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top && inner.bottom <= outer.bottom;
}

// Pairs of controls that the fit keeps apart: neither decoration nor a page, and
// neither inside the other.
bool Neighbours(const Item& a, const Item& b) {
  if (&a == &b || a.decoration || b.decoration) return false;
  if (a.node->kind == ControlKind::Dialog || b.node->kind == ControlKind::Dialog) return false;
  return !Inside(a.px, b.px) && !Inside(b.px, a.px);
}

// The rows of controls: a top close to its group's first joins it.
class RowGroups {
 public:
  explicit RowGroups(const std::vector<Item>& items) {
    std::vector<int> tops;
    for (const Item& item : items)
      if (item.node->kind != ControlKind::Dialog) tops.push_back(item.px.top);
    std::sort(tops.begin(), tops.end());
    for (int top : tops) {
      if (!m_groups.empty() && top - m_groups.back().last < kSameRowPixels &&
          top - m_groups.back().first < kPixelsPerRow) {
        m_groups.back().last = top;
        continue;
      }
      m_groups.push_back(Group{top, top});
    }
  }
  // A position inside a group's span stands at the group's first top.
  int Snap(int y) const {
    for (const Group& g : m_groups)
      if (y > g.first && y <= g.last) return g.first;
    return y;
  }
  // Points that keep each group's span on its first top's row.
  void AddFlatPoints(std::vector<AxisMap::Point>& points) const {
    for (const Group& g : m_groups) {
      if (g.last == g.first) continue;
      auto at = std::find_if(points.begin(), points.end(), [&](const AxisMap::Point& p) { return p.px == g.first; });
      if (at != points.end()) points.push_back(AxisMap::Point{g.last, at->cell});
    }
  }

 private:
  struct Group {
    int first, last;
  };
  std::vector<Group> m_groups;
};

AxisFit ColumnFit(const std::vector<Item>& items, int width, NeedLevel level, double scale) {
  AxisFit fit(kPixelsPerColumn, scale);
  fit.AddPoint(0);
  fit.AddPoint(width);
  auto natural = [&](int px) { return AxisMap(kPixelsPerColumn, {}, scale).Cells(px); };
  for (const Item& item : items) {
    const RECT& r = item.px;
    fit.Require(r.left, r.right, NeededColumns(*item.node, natural(r.right - r.left), level));
    if (item.decoration || item.node->kind == ControlKind::Dialog) continue;
    // A cell of margin inside the window's own edges.
    if (r.left >= kApartPixels) fit.Require(0, r.left, 1);
    if (width - r.right >= kApartPixels) fit.Require(r.right, width, 1);
  }
  for (const Item& frame : items) {
    if (!frame.frame) continue;
    for (const Item& item : items) {
      if (&item == &frame || !Inside(item.px, frame.px)) continue;
      fit.Require(frame.px.left, item.px.left, frame.frame->left);
      fit.Require(item.px.right, frame.px.right, frame.frame->right);
    }
  }
  // A cell between controls side by side: a label never touches its field.
  for (const Item& a : items)
    for (const Item& b : items) {
      if (!Neighbours(a, b) || a.px.top >= b.px.bottom || b.px.top >= a.px.bottom) continue;
      if (b.px.left - a.px.right >= kApartPixels) fit.Require(a.px.right, b.px.left, 1);
    }
  return fit;
}

AxisFit RowFit(const std::vector<Item>& items, const RowGroups& groups, const CellMapping& columns, int height,
               bool paragraphGaps) {
  AxisFit fit(kPixelsPerRow);
  fit.AddPoint(0);
  fit.AddPoint(groups.Snap(height));
  for (const Item& item : items) {
    const RECT& r = item.px;
    int top = groups.Snap(r.top), bottom = groups.Snap(r.bottom);
    int width = columns.Column(r.right) - columns.Column(r.left);
    int need = NeededRows(*item.node, width, AxisMap(kPixelsPerRow).Cells(r.bottom - r.top));
    fit.Require(top, bottom, need);
  }
  for (const Item& frame : items) {
    if (!frame.frame) continue;
    for (const Item& item : items) {
      if (&item == &frame || !Inside(item.px, frame.px)) continue;
      fit.Require(groups.Snap(frame.px.top), groups.Snap(item.px.top), frame.frame->top);
      fit.Require(groups.Snap(item.px.bottom), groups.Snap(frame.px.bottom), frame.frame->bottom);
    }
  }
  if (paragraphGaps) {
    for (const Item& a : items)
      for (const Item& b : items) {
        if (!Neighbours(a, b) || a.px.left >= b.px.right || b.px.left >= a.px.right) continue;
        if (b.px.top - a.px.bottom >= kParagraphGapPixels)
          fit.Require(groups.Snap(a.px.bottom), groups.Snap(b.px.top), 1);
      }
  }
  return fit;
}

}  // namespace

WindowFit FitWindow(const WindowNode& window, int columns, int rows) {
  WindowFit result;
  const int width = window.rect.right - window.rect.left, height = window.rect.bottom - window.rect.top;
  if (width <= 0 || height <= 0) {
    result.columns = columns;
    result.rows = rows;
    return result;
  }
  std::vector<Item> items;
  Collect(window, POINT{0, 0}, items);

  // Across: whole labels, else wrapped ones, else smaller.
  double scale = 1.0;
  AxisFit::Result across = ColumnFit(items, width, NeedLevel::Whole, scale).Fit(columns);
  if (!across.fits) across = ColumnFit(items, width, NeedLevel::Wrapped, scale).Fit(columns);
  while (!across.fits && scale < kMaxScale) {
    scale *= kScaleStep;
    across = ColumnFit(items, width, NeedLevel::Wrapped, scale).Fit(columns);
  }
  AxisMap columnMap(kPixelsPerColumn, across.points, scale);
  CellMapping columnsOnly(columnMap, AxisMap(kPixelsPerRow));

  // Down: with blank lines between paragraphs, else without; a window that fits
  // neither way keeps them and scrolls.
  RowGroups groups(items);
  AxisFit::Result down = RowFit(items, groups, columnsOnly, height, true).Fit(rows);
  if (!down.fits) {
    AxisFit::Result tight = RowFit(items, groups, columnsOnly, height, false).Fit(rows);
    if (tight.fits) down = tight;
  }
  std::vector<AxisMap::Point> rowPoints = down.points;
  groups.AddFlatPoints(rowPoints);

  result.mapping = CellMapping(columnMap, AxisMap(kPixelsPerRow, rowPoints));
  result.columns = across.extent;
  result.rows = down.extent;
  return result;
}

}  // namespace vek::ui::terminal
