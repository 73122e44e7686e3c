// Pixels of a window to character cells. At full size one cell is one dialog-font
// character (6 x 13 pixels: 4 x 8 dialog units); a terminal too small for the
// window scales it down by the same factor both ways. Rows of controls keep at
// least one line each: where scaling would put two rows on one line, everything
// below moves down a line.
#pragma once

#include <vector>

#include "framework/win_types.h"
#include "ui/terminal/cell_grid.h"

namespace vek::ui::terminal {

inline constexpr int kPixelsPerColumn = 6;
inline constexpr int kPixelsPerRow = 13;
// Control tops closer than this stand on one row (a label beside its field), as
// long as the row's tops stay within a line's height.
inline constexpr int kSameRowPixels = 8;

class CellMapping {
 public:
  // factor >= 1 shrinks; rowTops are the top edges of the controls, in pixels.
  explicit CellMapping(double factor = 1.0, std::vector<int> rowTops = {});

  // The factor at which a window of the given pixel size fits in the cells (1 when
  // it fits at full size).
  static double FitFactor(int widthPx, int heightPx, int columns, int rows);

  int Column(int xPx) const;
  int Row(int yPx) const;
  // A pixel rectangle as cells, at least one cell each way.
  CellRect Map(const RECT& px) const;
  // A width in pixels (a list column) as cells.
  int Columns(int widthPx) const;
  double Factor() const { return m_factor; }

 private:
  struct RowGroup {
    int first, last;  // pixel tops in the group
    int row;
    int shift;  // lines added above it
  };
  int UniformRow(int yPx) const;

  double m_factor;
  std::vector<RowGroup> m_groups;
};

}  // namespace vek::ui::terminal
