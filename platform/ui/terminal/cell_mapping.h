// Pixels of a window to character cells. At full size one cell is one dialog-font
// character (6 x 13 pixels: 4 x 8 dialog units). A window fitted to a smaller
// screen maps each axis piecewise (see window_fit.h): between the edges of its
// controls each stretch takes the cells the fit gave it. A window taller than the
// screen shows a band of its rows scrolled (RowScroll).
#pragma once

#include <vector>

#include "framework/win_types.h"
#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

inline constexpr int kPixelsPerColumn = 6;
inline constexpr int kPixelsPerRow = 13;

// One axis: fixed points (pixel, cell), in order, with straight lines between them
// and full size (at the axis' scale) before the first and after the last.
class AxisMap {
 public:
  struct Point {
    int px;
    int cell;
  };
  // `pixelsPerCell` at full size; `scale` >= 1 shrinks what lies outside the points.
  explicit AxisMap(int pixelsPerCell = kPixelsPerColumn, std::vector<Point> points = {}, double scale = 1.0);

  int At(int px) const;
  // A length (a list's column, a drop-down's height) at the axis' scale.
  int Cells(int lengthPx) const;

 private:
  int m_pixelsPerCell;
  std::vector<Point> m_points;
  double m_scale;
};

// The rows [first, end) of a window's layout shown in `shown` rows from row `first`,
// `offset` rows of them scrolled off above; the rows below `end` move up by the rows
// the band hides.
struct RowScroll {
  int first = 0;
  int end = 0;
  int shown = 0;
  int offset = 0;

  bool Scrolls() const { return end - first > shown; }
  int Hidden() const { return end - first - shown; }
  bool InBand(int row) const { return Scrolls() && row >= first && row < end; }
  int Apply(int row) const;
};

class CellMapping {
 public:
  // Full size both ways.
  CellMapping();
  CellMapping(AxisMap columns, AxisMap rows);

  int Column(int xPx) const;
  // The row on the screen, scrolled.
  int Row(int yPx) const;
  // The row in the window's whole layout, before scrolling.
  int LayoutRow(int yPx) const { return m_rows.At(yPx); }
  // A pixel rectangle as cells, at least one cell each way.
  CellRect Map(const RECT& px) const;
  // As it maps, empty where the fit left it no cells (a picture squeezed out).
  CellRect MapExact(const RECT& px) const;
  // A width (a list column) or height in pixels as cells.
  int Columns(int widthPx) const { return m_columns.Cells(widthPx); }
  int Rows(int heightPx) const { return m_rows.Cells(heightPx); }

  void SetScroll(const RowScroll& scroll) { m_scroll = scroll; }
  const RowScroll& Scroll() const { return m_scroll; }

 private:
  AxisMap m_columns;
  AxisMap m_rows;
  RowScroll m_scroll;
};

}  // namespace vek::ui::terminal
