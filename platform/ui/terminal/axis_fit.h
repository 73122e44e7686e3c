// One axis of a window fitted into the cells it may take. The pixel positions that
// matter (the edges of the window's controls) are points on the axis, and
// requirements between points say how many cells must lie between them (a text's
// lines, a cell between a label and its field, a frame's border). At full size each
// stretch between two points takes cells in proportion to its pixels, and more
// where a requirement asks. A smaller screen gets every stretch squeezed alike,
// as far as it must, with what the requirements ask still kept: what gives way is
// what nothing requires (pictures, empty space).
#pragma once

#include <vector>

#include "ui/terminal/cell_mapping.h"

namespace vek::ui::terminal {

class AxisFit {
 public:
  // `pixelsPerCell` at full size; `scale` >= 1 divides the full-size cells.
  explicit AxisFit(int pixelsPerCell, double scale = 1.0);

  void AddPoint(int px);
  // The point `toPx` lies at least `cells` after `fromPx` (both become points).
  void Require(int fromPx, int toPx, int cells);

  struct Result {
    std::vector<AxisMap::Point> points;
    int extent = 0;  // the last point's cell
    bool fits = false;
  };
  // Full size when it fits in `available` cells, else shrunk to them; when even
  // the requirements alone take more, as tight as they allow, with `fits` false.
  Result Fit(int available) const;

 private:
  int m_pixelsPerCell;
  double m_scale;
  std::vector<int> m_points;
  struct Requirement {
    int from, to, cells;
  };
  std::vector<Requirement> m_requirements;
};

}  // namespace vek::ui::terminal
