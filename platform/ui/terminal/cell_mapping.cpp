#include "ui/terminal/cell_mapping.h"

#include <algorithm>
#include <cmath>

namespace vek::ui::terminal {

CellMapping::CellMapping(double factor, std::vector<int> rowTops) : m_factor(std::max(factor, 1.0)) {
  std::sort(rowTops.begin(), rowTops.end());
  int shift = 0, previousRow = 0;
  for (int top : rowTops) {
    // A top close to the group's last joins it, as long as the group stays within a line.
    if (!m_groups.empty() && top - m_groups.back().last < kSameRowPixels &&
        top - m_groups.back().first < kPixelsPerRow) {
      m_groups.back().last = top;
      continue;
    }
    int uniform = UniformRow(top);
    int row = uniform + shift;
    if (!m_groups.empty() && row <= previousRow) row = previousRow + 1;
    shift = row - uniform;
    previousRow = row;
    m_groups.push_back(RowGroup{top, top, row, shift});
  }
}

double CellMapping::FitFactor(int widthPx, int heightPx, int columns, int rows) {
  if (columns <= 0 || rows <= 0) return 1.0;
  double across = static_cast<double>(widthPx) / kPixelsPerColumn / columns;
  double down = static_cast<double>(heightPx) / kPixelsPerRow / rows;
  return std::max({1.0, across, down});
}

int CellMapping::Column(int xPx) const {
  return static_cast<int>(std::lround(xPx / (kPixelsPerColumn * m_factor)));
}

int CellMapping::UniformRow(int yPx) const {
  return static_cast<int>(std::lround(yPx / (kPixelsPerRow * m_factor)));
}

int CellMapping::Row(int yPx) const {
  // The last group starting at or above the point decides the shift.
  const RowGroup* group = nullptr;
  for (const RowGroup& g : m_groups) {
    if (g.first > yPx) break;
    group = &g;
  }
  if (group == nullptr) return UniformRow(yPx);
  if (yPx <= group->last) return group->row;
  return UniformRow(yPx) + group->shift;
}

CellRect CellMapping::Map(const RECT& px) const {
  int left = Column(px.left), top = Row(px.top);
  int right = std::max(Column(px.right), left + 1), bottom = std::max(Row(px.bottom), top + 1);
  return CellRect{left, top, right - left, bottom - top};
}

int CellMapping::Columns(int widthPx) const {
  return static_cast<int>(std::lround(widthPx / (kPixelsPerColumn * m_factor)));
}

}  // namespace vek::ui::terminal
