#include "ui/terminal/cell_mapping.h"

#include <algorithm>
#include <cmath>

namespace vek::ui::terminal {

AxisMap::AxisMap(int pixelsPerCell, std::vector<Point> points, double scale)
    : m_pixelsPerCell(pixelsPerCell), m_points(std::move(points)), m_scale(std::max(scale, 1.0)) {
  std::stable_sort(m_points.begin(), m_points.end(), [](const Point& a, const Point& b) { return a.px < b.px; });
}

int AxisMap::Cells(int lengthPx) const {
  return static_cast<int>(std::lround(lengthPx / (m_pixelsPerCell * m_scale)));
}

int AxisMap::At(int px) const {
  if (m_points.empty()) return Cells(px);
  if (px <= m_points.front().px) return m_points.front().cell + Cells(px - m_points.front().px);
  if (px >= m_points.back().px) return m_points.back().cell + Cells(px - m_points.back().px);
  // The last point at or before px, and the one after it.
  auto after = std::upper_bound(m_points.begin(), m_points.end(), px, [](int p, const Point& point) { return p < point.px; });
  const Point& a = *(after - 1);
  const Point& b = *after;
  if (b.px == a.px) return a.cell;
  double along = static_cast<double>(px - a.px) / (b.px - a.px);
  return a.cell + static_cast<int>(std::lround(along * (b.cell - a.cell)));
}

int RowScroll::Apply(int row) const {
  if (!Scrolls() || row < first) return row;
  if (row < end) return row - offset;
  return row - Hidden();
}

CellMapping::CellMapping() : m_columns(kPixelsPerColumn), m_rows(kPixelsPerRow) {}

CellMapping::CellMapping(AxisMap columns, AxisMap rows) : m_columns(std::move(columns)), m_rows(std::move(rows)) {}

int CellMapping::Column(int xPx) const { return m_columns.At(xPx); }

int CellMapping::Row(int yPx) const { return m_scroll.Apply(m_rows.At(yPx)); }

CellRect CellMapping::MapExact(const RECT& px) const {
  int left = Column(px.left), right = Column(px.right);
  int top = m_rows.At(px.top), bottom = m_rows.At(px.bottom);
  // The last row inside decides where the bottom lands, so that a window in the
  // scrolled band ends with it.
  int shownTop = m_scroll.Apply(top);
  int shownBottom = bottom > top ? m_scroll.Apply(bottom - 1) + 1 : shownTop;
  return CellRect{left, shownTop, std::max(right - left, 0), std::max(shownBottom - shownTop, 0)};
}

CellRect CellMapping::Map(const RECT& px) const {
  CellRect cells = MapExact(px);
  cells.w = std::max(cells.w, 1);
  cells.h = std::max(cells.h, 1);
  return cells;
}

}  // namespace vek::ui::terminal
