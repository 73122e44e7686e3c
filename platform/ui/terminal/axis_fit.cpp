#include "ui/terminal/axis_fit.h"

#include <algorithm>
#include <cmath>

namespace vek::ui::terminal {
namespace {

// Steps of the search for the largest squeeze that fits.
constexpr int kSqueezeSteps = 12;

}  // namespace

AxisFit::AxisFit(int pixelsPerCell, double scale) : m_pixelsPerCell(pixelsPerCell), m_scale(std::max(scale, 1.0)) {}

void AxisFit::AddPoint(int px) { m_points.push_back(px); }

void AxisFit::Require(int fromPx, int toPx, int cells) {
  AddPoint(fromPx);
  AddPoint(toPx);
  if (toPx > fromPx && cells > 0) m_requirements.push_back(Requirement{fromPx, toPx, cells});
}

AxisFit::Result AxisFit::Fit(int available) const {
  std::vector<int> points = m_points;
  std::sort(points.begin(), points.end());
  points.erase(std::unique(points.begin(), points.end()), points.end());
  Result result;
  if (points.empty()) return result;
  const std::size_t n = points.size();
  auto index = [&](int px) {
    return static_cast<std::size_t>(std::lower_bound(points.begin(), points.end(), px) - points.begin());
  };
  struct Need {
    std::size_t from, to;
    int cells;
  };
  std::vector<Need> needs;
  for (const Requirement& r : m_requirements) needs.push_back(Need{index(r.from), index(r.to), r.cells});
  const double cellPx = m_pixelsPerCell * m_scale;
  std::vector<double> full(n);
  for (std::size_t i = 0; i < n; ++i) full[i] = (points[i] - points[0]) / cellPx;
  // The narrower requirements first: a wider one around them then takes only what
  // it still lacks.
  std::stable_sort(needs.begin(), needs.end(), [&](const Need& a, const Need& b) {
    return full[a.to] - full[a.from] < full[b.to] - full[b.from];
  });

  // Every stretch squeezed alike, in whole cells; a requirement not met then takes
  // what it lacks from all the stretches it spans, in proportion to their full
  // sizes, and moves what follows it along. Stretching never brings two points
  // closer, so a requirement met stays met.
  auto layOut = [&](double squeeze) {
    std::vector<int> cells(n);
    for (std::size_t i = 0; i < n; ++i) cells[i] = static_cast<int>(std::lround(full[i] * squeeze));
    for (const Need& need : needs) {
      int lacking = need.cells - (cells[need.to] - cells[need.from]);
      if (lacking <= 0) continue;
      double span = full[need.to] - full[need.from];
      for (std::size_t k = need.from + 1; k < n; ++k)
        cells[k] += k >= need.to || span <= 0
                        ? lacking
                        : static_cast<int>(std::floor(lacking * (full[k] - full[need.from]) / span + 0.5));
    }
    return cells;
  };

  std::vector<int> cells = layOut(1.0);
  result.fits = cells.back() <= available;
  if (!result.fits) {
    // The largest squeeze that fits, if any does.
    double low = 0.0, high = 1.0;
    cells = layOut(low);
    result.fits = cells.back() <= available;
    for (int step = 0; result.fits && step < kSqueezeSteps; ++step) {
      double middle = (low + high) / 2;
      std::vector<int> tried = layOut(middle);
      if (tried.back() <= available) {
        low = middle;
        cells = std::move(tried);
      } else {
        high = middle;
      }
    }
  }
  // The first point lies where full size puts it, so the axis keeps its origin.
  const int origin = static_cast<int>(std::lround(points.front() / cellPx));
  for (std::size_t i = 0; i < n; ++i) result.points.push_back(AxisMap::Point{points[i], cells[i] + origin});
  result.extent = result.points.back().cell;
  return result;
}

}  // namespace vek::ui::terminal
